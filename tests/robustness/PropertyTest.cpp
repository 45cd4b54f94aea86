// Nothing lost, over a few hundred randomly built streams (fixed random draws): a demux writes every
// ticked stream's payloads and nothing else, a rebuild that keeps everything reproduces its
// input, and a scan tells the same every time.

#include "RandomStreams.h"
#include "support/HeadlessPlatform.h"
#include "support/TempDir.h"
#include "window/Main.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

namespace ombrix {
namespace {

using testing::Bytes;
using testing::HeadlessPlatform;
using testing::TempDir;
namespace fs = std::filesystem;

constexpr std::uint32_t kCases = 300;

struct Window {
    HeadlessPlatform platform;
    TfMain w{platform};
    Window() {
        w.FormShow();
        w.FormActivate();
        w.cbFastCheck.setChecked(false);
    }
};

std::vector<Bytes> filesIn(const std::string& dir) {
    std::vector<Bytes> files;
    for (const auto& e : fs::directory_iterator(dir))
        files.push_back(testing::readFile(e.path().string()));
    std::sort(files.begin(), files.end());
    return files;
}

// The box of a stream as the scan offers it: its slot in its kind's table.
CheckBox& boxOf(TfMain& w, const testing::StreamSpec& s) {
    using Kind = testing::StreamSpec::Kind;
    auto slotIn = [&](const auto& keys) {
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == s.id) return i;
        ADD_FAILURE() << "stream " << int(s.id) << " is in no slot";
        return std::size_t{0};
    };
    if (s.kind == Kind::Audio) return w.cbAudio[slotIn(w.st.AudioKey)];
    if (s.kind == Kind::Subpicture) return w.cbSub[slotIn(w.st.SubKey)];
    return w.cbVideo[slotIn(w.st.VideoKey)];
}

TEST(NothingLost, EveryTickedStreamIsDemuxedToExactlyItsPayloads) {
    for (std::uint32_t draw = 1; draw <= kCases; ++draw) {
        SCOPED_TRACE("draw " + std::to_string(draw));
        TempDir dir;
        const auto r = testing::writeRandomStreams(dir.file("RANDOM.EVO"), draw);
        const std::string out = dir.file("out");
        fs::create_directory(out);
        Window win;
        win.w.WMDropFiles({r.file.path});
        win.w.bCheckClick();
        win.w.eWorkdir.setText(out);

        // Untick a random part of the streams, keeping at least one.
        std::mt19937 rng(draw);
        std::vector<bool> keep(r.file.streams.size());
        for (std::size_t i = 0; i < keep.size(); ++i)
            keep[i] = rng() % 3 != 0;
        keep[rng() % keep.size()] = true;
        for (std::size_t i = 0; i < keep.size(); ++i) {
            CheckBox& cb = boxOf(win.w, r.file.streams[i]);
            ASSERT_TRUE(cb.checked());
            if (!keep[i]) cb.setChecked(false);
        }
        win.w.bDemuxClick();
        ASSERT_TRUE(win.platform.errors.empty()) << win.platform.errors[0];

        // SUP time stamps count from the first audio or video time stamp, from 0 without one.
        const std::uint32_t base = win.w.st.MinPts == 0xFFFFFFFFu ? 0 : win.w.st.MinPts;
        std::vector<Bytes> expected;
        for (std::size_t i = 0; i < keep.size(); ++i)
            if (keep[i]) expected.push_back(testing::expectedOutput(r.file, i, base));
        std::sort(expected.begin(), expected.end());
        ASSERT_EQ(filesIn(out), expected);
    }
}

TEST(NothingLost, RebuildKeepingEveryStreamNumberedInOrderReproducesTheInput) {
    for (std::uint32_t draw = 1; draw <= kCases; ++draw) {
        SCOPED_TRACE("draw " + std::to_string(draw));
        TempDir dir;
        const auto r = testing::writeRandomStreams(dir.file("RANDOM.EVO"), 10000 + draw);
        Window win;
        win.w.WMDropFiles({r.file.path});
        win.w.bCheckClick();
        win.w.eWorkdir.setText(dir.path());
        ASSERT_TRUE(win.w.bRebuild.usable());
        win.w.bRebuildClick();
        ASSERT_TRUE(win.platform.errors.empty()) << win.platform.errors[0];
        ASSERT_EQ(testing::readFile(dir.file("RANDOM.rebuilt.EVO")), r.file.mux.file);
    }
}

TEST(NothingLost, ScanningTheSameFileTwiceGivesTheSameLog) {
    for (std::uint32_t draw = 1; draw <= kCases; ++draw) {
        SCOPED_TRACE("draw " + std::to_string(draw));
        TempDir dir;
        const auto r = testing::writeRandomStreams(dir.file("RANDOM.EVO"), 20000 + draw);
        Window win;
        win.w.WMDropFiles({r.file.path});
        win.w.bCheckClick();
        const std::vector<std::string> first = win.w.mMessage.lines();
        win.w.bCheckClick();
        const std::vector<std::string> both = win.w.mMessage.lines();
        ASSERT_EQ(both.size(), 2 * first.size());
        ASSERT_EQ(
            std::vector<std::string>(both.begin() + static_cast<std::ptrdiff_t>(first.size()), both.end()),
            first);
        // The log names every stream the file holds.
        const auto found = std::count_if(first.begin(), first.end(), [](const std::string& l) {
            return l.find(" found!") != std::string::npos;
        });
        ASSERT_EQ(static_cast<std::size_t>(found), r.file.streams.size());
    }
}

} // namespace
} // namespace ombrix
