#include "window/Main.h"

#include "engine/Format.h"
#include "window/PathRules.h"

#include <filesystem>

namespace ombrix {

namespace {
constexpr const char* kNoVideo = "No video stream";
constexpr const char* kNoAudio = "No audio stream";
constexpr const char* kNoSub = "No subpicture";
} // namespace

std::string TfMain::twoDigitSuffix(int slot) {
    return std::string(".") + static_cast<char>('0' + slot / 10) + static_cast<char>('0' + slot % 10);
}

TfMain::TfMain(Platform& platform) : platform_(platform) {
    caption = std::string(kProductName) + " " + OMBRIX_VERSION;
    frame.width = 370; // outer size of the designed client area (362 x 346) with a frame
    frame.height = 380;

    eEVOfile.readOnly = true;
    eEVOfile.setHint("Drop here the source EVO file|You cannot write here directly");
    bbEVO.setHint("Browse an EVO file");
    bCheck.setCaption("Read EVO");
    bCheck.setHint("Read the source EVO file to detect streams");
    bCheck.setEnabled(false);
    eXPLfile.readOnly = true;
    eXPLfile.setHint("Drop here the VPLST000.XPL");
    bbXPL.setHint("Browse the HD DVD disc's VPLST000.XPL");
    bReadXPL.setCaption("Read XPL");
    bReadXPL.setHint("Read the XPL file to detect stream infos");
    bReadXPL.setEnabled(false);
    bDemux.setCaption("Demux");
    bDemux.setHint("Demux the source EVO to streams");
    bDemux.setEnabled(false);
    bRebuild.setCaption("Rebuild");
    bRebuild.setEnabled(false);
    imLogo.setHint("HD DVD logo :-)");
    bCancel.setCaption("Cancel");
    bCancel.setHint("You can stop the actual process");
    bCancel.setEnabled(false);
    bClear.setCaption("Clear");

    pageCaptions = {"Status", "Video", "Audio", "Subpicture", "XPL", "Options"};
    pageHints = {"", "Check the desired video stream", "Check the desired audio streams",
                 "Check the desired subpicture streams", "", ""};

    // Design captions; the first activation resets the boxes to their empty-slot captions.
    for (auto& cb : cbVideo) cb.setCaption("Video stream");
    for (auto& cb : cbAudio) cb.setCaption("Audio stream");
    for (auto& cb : cbSub) cb.setCaption("Subpicture");
    for (std::size_t i = 1; i < cbSub.size(); ++i) cbSub[i].setHint(pageHints[tsSubpicture]);
    auto boxes = [this](auto fn) {
        for (auto& cb : cbVideo) fn(cb);
        for (auto& cb : cbAudio) fn(cb);
        for (auto& cb : cbSub) fn(cb);
    };
    boxes([this](CheckBox& cb) {
        cb.setEnabled(false);
        cb.onClick = [this] { cbVideoClick(); };
    });

    tvXPL.setHint("Infos from your XPL file");
    tvXPL.setNodes({{"Video", {}}, {"Audio", {}}, {"Subpicture", {}}, {"Chapter", {}}});
    mXPL.setHint("This is your XPL file (part of it)");

    lVideoExt = "Extensions (video, audio, subtitle)";
    eVideoExt.setText("mpv");
    eVideoExt.maxLength = 5;
    eAudioExt.setText("mpa");
    eAudioExt.maxLength = 5;
    eSubExt.setText("sup");
    eSubExt.maxLength = 5;
    eSubExt.setHint("This is real .sup format, don't change!");
    lWorkdir = "Output folder";
    eWorkdir.setHint("Destination directory for the demuxed streams");
    cbContinue.setCaption("Continue with second  EVO");
    cbContinue.setHint("Demux continues with FEATURE_2.EVO (if it exists) after finishing FEATURE_1.EVO");
    cbFastCheck.setCaption("Fast EVO checking");
    cbFastCheck.setHint("Read EVO checks only the first ~300 MB of the file");
    cbCountFr.setCaption("Count frames");
    cbCountFr.setHint("Works only if the process hasn't cancelled by Fast EVO checking");
    cbDetails.setCaption("Detailed info");
    cbDetails.setHint("Detailed information about streams");
    for (CheckBox* cb : {&cbContinue, &cbFastCheck, &cbCountFr, &cbDetails}) cb->setChecked(true);

    StatusBar.panels[0] = {" Ready", 40};
    StatusBar.panels[1] = {" Select or drop an EVO file to demux", 50};
    StatusBar.setHint(" Select or drop an EVO file to demux");

    odEVOfile.title = "Choose the EVO file to demux";
    odEVOfile.filter = "EVOB files (HD DVD)|*.evo|VOB files (DVD)|*.vob";
    odEVOfile.defaultExt = "EVO";
    odEVOfile.pathMustExist = true;
    odEVOfile.fileMustExist = true;
    odEVOfile.noDereferenceLinks = true;
    odXPL.filter = "XPL|VPLST000.XPL";
    odXPL.defaultExt = "*.xpl";

    focused = &bbEVO;
}

// --- log and status line ---------------------------------------------------------------------

void TfMain::log(const std::string& text) { mMessage.append(text); }

void TfMain::slog(const std::string& text, std::uint8_t panel) {
    StatusPanel& p = StatusBar.panels[panel & 1];
    p.text = " " + text;
    p.width = platform_.textWidth(p.text + "a");
    if (panel == 1) StatusBar.setHint(text);
    StatusBar.update();
    platform_.repaintStatusBar();
}

void TfMain::bClearClick() { mMessage.clear(); }

std::string TfMain::timeText(double days) { return formatTimeOfDay(days, platform_.longTimeFormat()); }

std::string TfMain::floatText(double value) { return generalFloat(value, platform_.decimalSeparator()); }

void TfMain::setFocus(Control& control) {
    if (!control.usable()) return; // a disabled control can't take the focus
    focused = &control;
    if (onFocusChange) onFocusChange();
}

// --- stream check boxes and command states -----------------------------------------------------

void TfMain::Resetcbs() {
    for (auto& cb : cbVideo) {
        cb.setEnabled(false);
        cb.setCaption(kNoVideo);
        cb.setChecked(false);
    }
    for (auto& cb : cbAudio) {
        cb.setEnabled(false);
        cb.setCaption(kNoAudio);
        cb.setChecked(false);
    }
    for (auto& cb : cbSub) {
        cb.setEnabled(false);
        cb.setCaption(kNoSub);
        cb.setChecked(false);
    }
    cbVideoClick();
}

void TfMain::cbVideoClick() {
    bool any = false;
    for (auto& cb : cbVideo) any = any || cb.checked();
    for (auto& cb : cbAudio) any = any || cb.checked();
    for (auto& cb : cbSub) any = any || cb.checked();
    bDemux.setEnabled(any);
    if (UpperCase(ExtractFileExt(eEVOfile.text())) == ".EVO") bRebuild.setEnabled(any);
}

void TfMain::bCancelClick() {
    if (!bCancel.usable()) return;
    if (st.DemuxMode && !platform_.askYesNo("Are you sure to stop demuxing?")) return;
    st.Cancelled = true;
}

// --- window events ---------------------------------------------------------------------------

void TfMain::FormShow() {
    // The view registers the window as a drop target; nothing else happens here.
}

void TfMain::FormActivate() {
    if (activated_) return;
    activated_ = true;
    try {
        RegRead();
    } catch (...) {
        // A stored value of the wrong type stops the load; the boxes still start empty.
        Resetcbs();
        throw;
    }
    Resetcbs();
}

void TfMain::FormResize() {
    logoLeft = frame.width <= 432 ? 153 : frame.width / 2 - 63;
    frame.update();
}

bool TfMain::FormClose() {
    if (closePending_) return false;
    RegWrite();
    if (passRunning_) {
        closePending_ = true;
        return false;
    }
    return true;
}

// --- pass guard --------------------------------------------------------------------------------

void TfMain::setHeldForPass(bool held) {
    for (Control* c : std::initializer_list<Control*>{&bCheck, &bReadXPL, &bDemux, &bRebuild, &bbEVO, &bbXPL})
        c->setHeld(held);
    for (auto& cb : cbVideo) cb.setHeld(held);
    for (auto& cb : cbAudio) cb.setHeld(held);
    for (auto& cb : cbSub) cb.setHeld(held);
}

TfMain::PassGuard::PassGuard(TfMain& w) : w_(w) {
    w_.passRunning_ = true;
    w_.setHeldForPass(true);
}

TfMain::PassGuard::~PassGuard() {
    w_.passRunning_ = false;
    w_.setHeldForPass(false);
    if (w_.closePending_) w_.platform_.closeWindow();
}

} // namespace ombrix
