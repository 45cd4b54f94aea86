// The Read EVO and Demux commands: they open the files, run the engine pass over the EVO file
// (and its second file), and turn what the pass found into the stream check boxes.

#include "engine/Pass.h"
#include "window/Main.h"
#include "window/PathRules.h"

#include <tuple>

namespace ombrix {

namespace {

// Closes every file a command left open when an error ends it.
struct CloseOnError {
    EngineState& state;
    ~CloseOnError() { state.closeAllQuietly(); }
};

using KeyTables = std::tuple<std::array<std::int32_t, 16>, std::array<std::int32_t, 16>, std::array<std::int32_t, 32>>;

KeyTables keys(const EngineState& s) { return {s.VideoKey, s.AudioKey, s.SubKey}; }

// After both files of a feature: every stream found in either file keeps its slot; where both
// put a stream in one slot, the first file's stays.
void mergeFirstFileKeys(EngineState& s, const KeyTables& first) {
    auto merge = [](auto& now, const auto& before) {
        for (std::size_t i = 0; i < now.size(); ++i)
            if (before[i] != -1) now[i] = before[i];
    };
    merge(s.VideoKey, std::get<0>(first));
    merge(s.AudioKey, std::get<1>(first));
    merge(s.SubKey, std::get<2>(first));
}

std::string mebibytes(std::int64_t bytes) { return std::to_string(bytes / 1048576); }

} // namespace

void TfMain::frameReport(bool demuxRate) {
    for (int slot = 0; slot < 2; ++slot) {
        const std::int32_t count = st.FrameCount[static_cast<std::size_t>(slot)];
        if (count <= 0) continue;
        // Read EVO takes 24000/1001 frames per second, Demux 23.976.
        const double seconds = demuxRate ? count / 23.976 : count / 24000.0 * 1001.0;
        log(std::to_string(count) + " frames (" + timeText(seconds / 86400.0) +
            " s) count in video stream " + std::to_string(slot) + ".");
    }
}

void TfMain::bCheckClick() {
    if (!bCheck.usable()) return;
    PassGuard guard(*this);
    bCheck.setEnabled(false);
    bDemux.setEnabled(false);
    bRebuild.setEnabled(false);
    Resetcbs();
    PageControl.setActivePage(tsStatus);

    st.FrameCount = {0, 0};
    st.MinPts = 0xFFFFFFFFu;

    const std::string second = startOutBase();

    {
        CloseOnError cleanup{st};
        log("Opening file " + st.EVOname);
        st.InFile = FileStream::openRead(eEVOfile.text());
        slog("Reading " + ExtractFileName(st.InFile->path()) + " ", 0);
        log("File size: " + mebibytes(st.InFile->size()) + " Mbytes.");
        demux(st, *this, PassMode::Scan);
        if (goesOnWith(second)) {
            const KeyTables first = keys(st);
            slog("Reading " + openSecondFile(second), 0);
            demux(st, *this, PassMode::Scan);
            mergeFirstFileKeys(st, first);
        }
        st.closeAll();
    }

    auto show = [](CheckBox& cb, std::int32_t key, const std::string& caption) {
        cb.setEnabled(key >= 0);
        cb.setChecked(cb.enabled());
        if (cb.checked()) cb.setCaption(caption);
    };
    for (int i = 0; i < 2; ++i) {
        const auto k = st.VideoKey[static_cast<std::size_t>(i)];
        show(cbVideo[static_cast<std::size_t>(i)], k, VideoTypeName(k) + videoSuffix(i));
    }
    for (int i = 0; i < 16; ++i) {
        const auto k = st.AudioKey[static_cast<std::size_t>(i)];
        show(cbAudio[static_cast<std::size_t>(i)], k, AudioTypeName(k) + twoDigitSuffix(i));
    }
    for (int i = 0; i < 16; ++i) {
        const auto k = st.SubKey[static_cast<std::size_t>(i)];
        show(cbSub[static_cast<std::size_t>(i)], k, SubTypeName(k) + twoDigitSuffix(i));
    }

    log("Done.");
    log("");
    slog("Ready", 0);
    slog("", 1);
    frameReport(false);
    if (st.FrameCount[0] + st.FrameCount[1] > 0) log("");
    bCheck.setEnabled(true);
    cbVideoClick();
}

std::string TfMain::startOutBase() {
    st.OutBase = CutExt(st.EVOname);
    if (!cbContinue.checked()) return "";
    const std::string second = getsecond(eEVOfile.text());
    if (!second.empty()) st.OutBase += "_" + CutExt(ExtractFileName(second));
    return second;
}

std::string TfMain::openSecondFile(const std::string& second) {
    st.InFile->close();
    st.InFile.reset();
    st.InFile = FileStream::openRead(second);
    const std::string name = ExtractFileName(second);
    log("Continue on " + name);
    return name;
}

std::string TfMain::outputPrefix(const std::string& folder) const {
    if (folder.empty()) return "";
    return withTrailingSeparator(folder) + st.OutBase;
}

void TfMain::bDemuxClick() {
    if (!bDemux.usable()) return;
    PassGuard guard(*this);
    bDemux.setEnabled(false);
    bRebuild.setEnabled(false);
    PageControl.setActivePage(tsStatus);
    const std::string folder = eWorkdir.text();

    st.FrameCount = {0, 0};
    const std::string second = startOutBase();
    const std::string prefix = outputPrefix(folder);

    {
        CloseOnError cleanup{st};
        log("Opening file " + st.EVOname);
        slog("Opening", 0);
        st.InFile = FileStream::openRead(eEVOfile.text());
        log("File size: " + mebibytes(st.InFile->size()) + " Mbytes.");

        auto create = [&](FileHolder& holder, const CheckBox& cb, const std::string& ext) {
            if (!cb.checked()) return;
            const std::string name = prefix + "." + cb.caption() + "." + ext;
            holder = FileStream::create(name);
            log("Creating " + name);
        };
        for (std::size_t i = 0; i < 2; ++i) create(st.VideoOut[i], cbVideo[i], eVideoExt.text());
        for (std::size_t i = 0; i < 16; ++i) create(st.AudioOut[i], cbAudio[i], eAudioExt.text());
        for (std::size_t i = 0; i < 16; ++i) create(st.SubOut[i], cbSub[i], eSubExt.text());
        st.SubRecordOpen.fill(false);

        slog("Demuxing " + ExtractFileName(st.InFile->path()), 0);
        demux(st, *this, PassMode::Demux);
        if (goesOnWith(second)) {
            const KeyTables first = keys(st);
            slog("Demuxing " + openSecondFile(second), 0);
            demux(st, *this, PassMode::Demux);
            mergeFirstFileKeys(st, first);
        }
        st.closeAll();
    }

    log("Done.");
    log("");
    slog("Ready", 0);
    slog("", 1);
    frameReport(true);
    bDemux.setEnabled(true);
    bRebuild.setEnabled(true);
}

} // namespace ombrix
