// Choosing the source files: drops, the two browse buttons, and the path rules that follow.

#include "window/Main.h"
#include "window/PathRules.h"

#include <filesystem>

namespace ombrix {

namespace {
constexpr const char* kXplName = "VPLST000.XPL";
constexpr std::size_t kMaxDroppedPath = 259; // the system's path limit of 260 with its terminating zero
} // namespace

void TfMain::WMDropFiles(const std::vector<std::string>& paths) {
    // A drop while a pass runs would change the files the pass depends on: the view refuses
    // it, and so does the model.
    if (passRunning_ || paths.empty()) return;
    std::string path = paths.front();
    if (path.size() > kMaxDroppedPath) path.resize(kMaxDroppedPath);
    const std::string ext = UpperCase(ExtractFileExt(path));
    if (ext == ".EVO" || ext == ".VOB") {
        eEVOfile.setText(path);
        EVOadj();
    } else if (ext == ".XPL") {
        eXPLfile.setText(path);
        XPLadj();
    }
}

void TfMain::bbEVOClick() {
    if (!bbEVO.usable()) return;
    odEVOfile.initialDir = st.EVOdir;
    platform_.runOpenDialog(odEVOfile);
    eEVOfile.setText(odEVOfile.fileName);
    EVOadj();
    setFocus(bCheck);
    Resetcbs();
}

void TfMain::bbXPLClick() {
    if (!bbXPL.usable()) return;
    odXPL.initialDir = st.XPLdir;
    platform_.runOpenDialog(odXPL);
    eXPLfile.setText(odXPL.fileName);
    XPLadj();
}

void TfMain::EVOadj() {
    const std::string& path = eEVOfile.text();
    bCheck.setEnabled(!path.empty());
    st.EVOname = ExtractFileName(path);
    st.OutBase = CutExt(st.EVOname);
    st.EVOdir = ExtractFilePath(path);
    odEVOfile.initialDir = st.EVOdir;
    eXPLfile.setText(kXplName);
    const std::string xplDir = swapLastFolder(st.EVOdir, "HVDVD_TS", "ADV_OBJ");
    if (!xplDir.empty()) {
        st.XPLdir = xplDir;
        odXPL.initialDir = st.XPLdir;
        st.XPLname = kXplName;
        odXPL.fileName = st.XPLname;
        eXPLfile.setText(st.XPLdir + st.XPLname);
    }
    bReadXPL.setEnabled(!st.XPLname.empty());
}

void TfMain::XPLadj() {
    const std::string& path = eXPLfile.text();
    st.XPLname = ExtractFileName(path);
    st.XPLdir = ExtractFilePath(path);
    bReadXPL.setEnabled(!st.XPLname.empty());
    const std::string evoDir = swapLastFolder(st.XPLdir, "ADV_OBJ", "HVDVD_TS");
    if (!evoDir.empty()) {
        st.EVOdir = evoDir;
        odEVOfile.initialDir = st.EVOdir;
    }
}

std::string TfMain::getsecond(const std::string& path) {
    const std::string candidate = secondCandidate(path);
    if (candidate.empty()) return "";
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(candidate), ec) ? candidate : "";
}

} // namespace ombrix
