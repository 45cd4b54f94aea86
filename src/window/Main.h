#pragma once
// The program's one window as data: its controls, the shared state of the commands, and the
// handlers that the view calls when the user clicks, ticks, drops or closes.

#include "engine/EngineHost.h"
#include "engine/State.h"
#include "rebuild/RebuildState.h"
#include "window/Controls.h"
#include "window/Platform.h"
#include "xpl/XplState.h"

#include <array>
#include <string>
#include <vector>

namespace ombrix {

inline constexpr const char* kProductName = "Ombrix";
inline constexpr const char* kApplicationTitle = "HD DVD Ombrix";

// The page indexes of PageControl.
enum Page : int { tsStatus = 0, tsVideo = 1, tsAudio = 2, tsSubpicture = 3, tsXPL = 4, tsOption = 5 };

class TfMain : public EngineHost {
public:
    explicit TfMain(Platform& platform);
    TfMain(const TfMain&) = delete;
    TfMain& operator=(const TfMain&) = delete;

    // --- controls -------------------------------------------------------------------------
    WindowFrame frame;
    std::string caption;
    Edit eEVOfile, eXPLfile;
    Button bbEVO, bCheck, bbXPL, bReadXPL, bDemux, bRebuild, bCancel, bClear;
    Control imLogo;
    int logoLeft = 153;
    Pages PageControl;
    std::array<std::string, 6> pageCaptions;
    std::array<std::string, 6> pageHints;
    Memo mMessage;
    std::array<CheckBox, 8> cbVideo;
    std::array<CheckBox, 16> cbAudio;
    std::array<CheckBox, 16> cbSub;
    Tree tvXPL;
    Memo mXPL;
    Edit eVideoExt, eAudioExt, eSubExt, eWorkdir;
    std::string lVideoExt, lWorkdir;
    CheckBox cbContinue, cbFastCheck, cbCountFr, cbDetails;
    StatusLine StatusBar;
    OpenDialog odEVOfile, odXPL;
    // The control that has the keyboard focus; the view follows it.
    Control* focused = nullptr;
    std::function<void()> onFocusChange;

    // --- shared state ---------------------------------------------------------------------
    EngineState st;
    XplState xpl;
    RebuildState rebuild;

    // --- handlers -------------------------------------------------------------------------
    void FormShow();
    void FormActivate();
    void FormResize();
    // Returns true when the window may close now; during a pass it closes when the pass's
    // command returns.
    bool FormClose();
    void WMDropFiles(const std::vector<std::string>& paths);
    void bbEVOClick();
    void bbXPLClick();
    void bCheckClick();
    void bDemuxClick();
    void bReadXPLClick();
    void bRebuildClick();
    void bCancelClick();
    void bClearClick();
    void cbVideoClick();
    void Resetcbs();
    void EVOadj();
    void XPLadj();
    void RegRead();
    void RegWrite();

    std::string getsecond(const std::string& path);

    // --- the log and the status line -------------------------------------------------------
    void log(const std::string& text) override;
    void slog(const std::string& text, std::uint8_t panel) override;

    // --- what the engine reads --------------------------------------------------------------
    bool fastCheck() override { return cbFastCheck.checked(); }
    bool countFrames() override { return cbCountFr.checked(); }
    bool details() override { return cbDetails.checked(); }
    bool videoTicked(int slot) override { return cbVideo[static_cast<std::size_t>(slot)].checked(); }
    bool audioTicked(int slot) override { return cbAudio[static_cast<std::size_t>(slot)].checked(); }
    bool subTicked(int slot) override { return cbSub[static_cast<std::size_t>(slot)].checked(); }
    void setCancelEnabled(bool enabled) override { bCancel.setEnabled(enabled); }
    void processMessages() override { platform_.processMessages(); }
    void repaintWindow() override { platform_.repaintWindow(); }
    double now() override { return platform_.now(); }
    std::string timeText(double days) override;
    std::string floatText(double value) override;

    Platform& platform() { return platform_; }
    // A pass is running: the actions that would disturb it are held back.
    bool passRunning() const { return passRunning_; }
    bool closePending() const { return closePending_; }
    void setFocus(Control& control);

    // Captions of the stream boxes after a reset, and their slot suffixes.
    static std::string videoSuffix(int slot) { return "." + std::to_string(slot); }
    static std::string twoDigitSuffix(int slot);

    // Holds back, for the length of a command with a pass, every control whose use would
    // disturb it; ends by closing the window when that was asked for meanwhile.
    class PassGuard {
    public:
        explicit PassGuard(TfMain& w);
        ~PassGuard();
        PassGuard(const PassGuard&) = delete;
        PassGuard& operator=(const PassGuard&) = delete;

    private:
        TfMain& w_;
    };

private:
    void setHeldForPass(bool held);
    std::string outputPrefix(const std::string& folder) const;
    // OutBase for a command: the EVO file's name without extension, with "_" and the second
    // file's when the option asks to go on with one; returns the second file's path or "".
    std::string startOutBase();
    // Closes the first file and opens the second into InFile, logging "Continue on " + its
    // name; returns that name. Called only when the option is ticked, nothing was cancelled
    // and there is a second file.
    std::string openSecondFile(const std::string& second);
    bool goesOnWith(const std::string& second) const { return cbContinue.checked() && !st.Cancelled && !second.empty(); }
    void frameReport(bool demuxRate);

    Platform& platform_;
    bool activated_ = false;
    bool passRunning_ = false;
    bool closePending_ = false;
    friend class PassGuard;
};

} // namespace ombrix
