// Faults in the middle of a pass, in the window model: an input that gets shorter while it is
// read, and an output on a full device. The error ends the command, every file is closed, and
// what was written before stays.

#include "FaultFixtures.h"
#include "engine/Errors.h"
#include "engine/FileStream.h"
#include "support/HeadlessPlatform.h"
#include "support/TempDir.h"
#include "window/Main.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ombrix {
namespace {

using testing::Bytes;
using testing::TempDir;
namespace fs = std::filesystem;

// Over 4 MiB, so that the pass pumps the window's messages once on its way.
constexpr std::size_t kScale = 60;
constexpr std::uintmax_t kShrunk = 4194304 + 5000;

struct Window {
    testing::HeadlessPlatform platform;
    TfMain w{platform};
    TempDir dir;
    std::string input = dir.file("SHRINK.EVO");
    testing::BuiltFile file = testing::writeFaultInput(input, kScale);
    std::string out = dir.file("out");

    Window() {
        w.FormShow();
        w.FormActivate();
        w.cbFastCheck.setChecked(false);
        fs::create_directory(out);
        w.eWorkdir.setText(out);
        w.WMDropFiles({input});
    }
    void press(void (TfMain::*handler)()) {
        try {
            (w.*handler)();
        } catch (const std::exception& e) {
            platform.showError(e.what());
        }
    }
    // At the first message pump (after 4 MiB) the file loses all but 5000 of its later bytes.
    void shrinkAtThePump() {
        platform.onPump = [this] {
            if (fs::file_size(input) > kShrunk) fs::resize_file(input, kShrunk);
        };
    }
    bool anyFileOpen() const {
        auto open = [](const auto& holders) {
            return std::any_of(holders.begin(), holders.end(), [](const auto& h) { return h != nullptr; });
        };
        return w.st.InFile || open(w.st.VideoOut) || open(w.st.AudioOut) || open(w.st.SubOut);
    }
    std::size_t doneLines() const {
        const auto& l = w.mMessage.lines();
        return static_cast<std::size_t>(std::count(l.begin(), l.end(), "Done."));
    }
};

TEST(ShrinkingInput, ScanEndsWithAReadErrorAndClosesTheFile) {
    Window win;
    ASSERT_GT(fs::file_size(win.input), kShrunk + 1000000);
    win.shrinkAtThePump();
    win.press(&TfMain::bCheckClick);
    EXPECT_EQ(win.platform.errors, std::vector<std::string>{"Stream read error"});
    EXPECT_EQ(win.platform.pumps, 1);
    EXPECT_FALSE(win.anyFileOpen());
    EXPECT_EQ(win.doneLines(), 0u);
}

TEST(ShrinkingInput, DemuxKeepsEveryPayloadByteReadBeforeTheFileGotShorter) {
    Window win;
    win.press(&TfMain::bCheckClick);
    ASSERT_TRUE(win.platform.errors.empty());
    win.shrinkAtThePump();
    win.press(&TfMain::bDemuxClick);
    EXPECT_EQ(win.platform.errors, std::vector<std::string>{"Stream read error"});
    EXPECT_FALSE(win.anyFileOpen());
    EXPECT_EQ(win.doneLines(), 1u) << "the scan's alone";
    EXPECT_FALSE(win.w.bDemux.enabled());

    // Every audio and video output holds the payloads before the new end, to the byte.
    const auto written = testing::filesIn(win.out);
    ASSERT_EQ(written.size(), 6u);
    std::size_t matched = 0;
    for (std::size_t s = 0; s < 5; ++s) {
        const Bytes expected = testing::outputBefore(win.file, s, kShrunk);
        for (const auto& [name, bytes] : written)
            matched += bytes == expected;
    }
    EXPECT_EQ(matched, 5u);
}

TEST(ShrinkingInput, RebuildKeepsEveryPackReadBeforeTheFileGotShorter) {
    Window win;
    win.press(&TfMain::bCheckClick);
    win.press(&TfMain::bRebuildClick);
    ASSERT_TRUE(win.platform.errors.empty());
    const std::string rebuilt = (fs::path(win.out) / "SHRINK.rebuilt.EVO").string();
    const Bytes whole = testing::readFile(rebuilt);
    ASSERT_EQ(whole.size(), win.file.mux.file.size()) << "every pack is kept";

    win.shrinkAtThePump();
    win.press(&TfMain::bRebuildClick);
    EXPECT_EQ(win.platform.errors, std::vector<std::string>{"Stream read error"});
    EXPECT_FALSE(win.anyFileOpen());
    EXPECT_EQ(testing::readFile(rebuilt), Bytes(whole.begin(), whole.begin() + kShrunk));
}

TEST(FullDevice, DemuxErrorClosesEveryFileAndKeepsTheOtherOutputs) {
    Window win;
    win.press(&TfMain::bCheckClick);
    win.press(&TfMain::bDemuxClick);
    ASSERT_TRUE(win.platform.errors.empty());
    const auto whole = testing::filesIn(win.out);
    ASSERT_EQ(whole.size(), 6u);

    // The last output to be created goes to a device that is always full.
    const std::string victim = std::prev(whole.end())->first;
    fs::remove(fs::path(win.out) / victim);
    fs::create_symlink("/dev/full", fs::path(win.out) / victim);
    win.press(&TfMain::bDemuxClick);
    EXPECT_EQ(win.platform.errors, std::vector<std::string>{"Stream write error"});
    EXPECT_FALSE(win.anyFileOpen());
    EXPECT_FALSE(win.w.bDemux.enabled());
    const auto written = testing::filesIn(win.out);
    ASSERT_EQ(written.size(), 5u);
    for (const auto& [name, bytes] : written)
        EXPECT_TRUE(testing::isPrefix(bytes, whole.at(name))) << name;
}

// A pipe would keep the open waiting for a writer, the window hanging; a device has no size.
TEST(NotAFile, APipeOrADeviceIsRefusedAtOnce) {
    TempDir dir;
    const std::string pipe = dir.file("PIPE.EVO");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    auto open = [](const std::string& path) {
        try {
            FileStream::openRead(path);
            return std::string("opened");
        } catch (const Error& e) {
            return std::string(e.what());
        }
    };
    auto opening = std::async(std::launch::async, open, pipe);
    if (opening.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Let the waiting open go, so that the test can end.
        const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
        FAIL() << "the open waited for a writer";
    }
    EXPECT_EQ(opening.get(), "Cannot open file \"" + pipe + "\". Operation not supported.");
    EXPECT_EQ(open("/dev/zero"), "Cannot open file \"/dev/zero\". Operation not supported.");
}

} // namespace
} // namespace ombrix
