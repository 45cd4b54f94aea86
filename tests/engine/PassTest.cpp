#include "support/FakeHost.h"
#include "engine/Errors.h"
#include "engine/Pass.h"
#include "engine/State.h"
#include "support/PsBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ombrix {
namespace {

using testing::Bytes;
using testing::FakeHost;
using testing::PsBuilder;
using testing::TempDir;

// A pass over a file, as the commands run it.
struct PassRun {
    TempDir dir;
    EngineState state;
    FakeHost host;

    void open(const std::string& path) { state.InFile = FileStream::openRead(path); }
    void run(PassMode mode) { demux(state, host, mode); }
};

// A file of `size` bytes that holds only zeros past its first bytes (sparse on disk).
void sparseFile(const std::string& path, const Bytes& head, std::uintmax_t size) {
    testing::writeFile(path, head);
    std::filesystem::resize_file(path, size);
}

Bytes firstPackWithSystemHeader(int videoBound, int audioBound) {
    PsBuilder b;
    b.packHeader().systemHeader(videoBound, audioBound).padTo(2048);
    return b.bytes();
}

TEST(Pass, SummarisesTheSystemHeaderOfAFileAtLeastOneBlockLong) {
    struct Case {
        int video, audio;
        const char* line;
    } cases[] = {
        {1, 3, "It contains 1 video stream and 3 audio streams."},
        {2, 1, "It contains 2 video streams and 1 audio stream."},
        {0, 0, "It contains 0 video stream and 0 audio stream."},
        {3, 5, "It contains 3 video streams and 5 audio streams."},
    };
    for (const auto& c : cases) {
        PassRun p;
        sparseFile(p.dir.file("a.EVO"), firstPackWithSystemHeader(c.video, c.audio), 300000);
        p.open(p.dir.file("a.EVO"));
        p.run(PassMode::Scan);
        EXPECT_EQ(p.host.lines, std::vector<std::string>{c.line});
        // A demux doesn't summarise.
        PassRun d;
        sparseFile(d.dir.file("a.EVO"), firstPackWithSystemHeader(c.video, c.audio), 300000);
        d.open(d.dir.file("a.EVO"));
        d.run(PassMode::Demux);
        EXPECT_TRUE(d.host.lines.empty());
    }
    // Shorter than one block: no summary, no progress.
    PassRun shortFile;
    sparseFile(shortFile.dir.file("a.EVO"), firstPackWithSystemHeader(1, 1), 100000);
    shortFile.open(shortFile.dir.file("a.EVO"));
    shortFile.run(PassMode::Scan);
    EXPECT_TRUE(shortFile.host.lines.empty());
    EXPECT_TRUE(shortFile.host.statusTexts.empty());
}

TEST(Pass, ShowsProgressEveryFourMebibytesWithTheRemainingTime) {
    PassRun p;
    sparseFile(p.dir.file("a.EVO"), {}, 100 * 1048576);
    p.open(p.dir.file("a.EVO"));
    // The clock moves one second at every reading: the pass starts at t, block 16's two
    // readings are t+1 s and t+2 s.
    p.host.clockStep = 1.0 / 86400;
    p.run(PassMode::Scan);
    ASSERT_EQ(p.host.statusTexts.size(), 25u);
    EXPECT_EQ(p.host.pumps, 25);
    // elapsed 1 s for 4 of 100 MiB: 25 s in all, 2 s gone, plus one second.
    EXPECT_EQ(p.host.statusTexts[0], (std::pair<std::string, int>{"4/100 Mbytes, Remaining time: 0:00:24", 1}));
    EXPECT_EQ(p.host.statusTexts[1].first.substr(0, 22), "8/100 Mbytes, Remainin");
    EXPECT_EQ(p.host.statusTexts[24].first.substr(0, 13), "100/100 Mbyte");
    EXPECT_EQ(p.host.repaints, 1) << "the whole window is repainted at 64 MiB";
    EXPECT_FALSE(p.host.cancelEnabled);
}

TEST(Pass, FastCheckStopsAScanAfterTheBlockThatPassesThreeHundredMillionBytes) {
    PassRun p;
    sparseFile(p.dir.file("big.EVO"), {}, 1000000000);
    p.open(p.dir.file("big.EVO"));
    p.state.FrameCount = {5, 6};
    p.run(PassMode::Scan);
    EXPECT_EQ(p.state.InFile->position(), 1145 * 262144);
    EXPECT_TRUE(p.state.Cancelled);
    EXPECT_EQ(p.state.FrameCount, (std::array<std::int32_t, 2>{0, 0}));

    // Without the option, or in a demux, the whole file is read.
    PassRun all;
    sparseFile(all.dir.file("big.EVO"), {}, 400000000);
    all.open(all.dir.file("big.EVO"));
    all.run(PassMode::Demux);
    EXPECT_EQ(all.state.InFile->position(), 400000000);
    EXPECT_FALSE(all.state.Cancelled);
}

TEST(Pass, CancelAtAPumpEndsThePassAfterTheBlockInHand) {
    PassRun p;
    sparseFile(p.dir.file("a.EVO"), {}, 50 * 1048576);
    p.open(p.dir.file("a.EVO"));
    p.state.FrameCount = {3, 0};
    p.host.onPump = [&] { p.state.Cancelled = true; };
    p.run(PassMode::Scan);
    EXPECT_EQ(p.state.InFile->position(), 4 * 1048576);
    EXPECT_EQ(p.state.FrameCount[0], 0);
    EXPECT_FALSE(p.host.cancelEnabled);

    // A new pass clears the flag and runs to the end; an empty file reads nothing.
    PassRun empty;
    testing::writeFile(empty.dir.file("e.EVO"), {});
    empty.open(empty.dir.file("e.EVO"));
    empty.state.Cancelled = true;
    empty.run(PassMode::Demux);
    EXPECT_FALSE(empty.state.Cancelled);
    EXPECT_TRUE(empty.state.DemuxMode);
}

TEST(Pass, ResetsTheStreamTableAndTheReportsButKeepsCountsAndMinPts) {
    PassRun p;
    PsBuilder b;
    b.packHeader().audio(0x82, {1, 2, 3});
    testing::writeFile(p.dir.file("a.EVO"), b.bytes());
    p.state.VideoKey.fill(0x55);
    p.state.AudioReported.fill(true);
    p.state.FrameCount = {7, 8};
    p.state.MinPts = 0x1234;
    p.open(p.dir.file("a.EVO"));
    p.run(PassMode::Scan);
    EXPECT_EQ(p.state.VideoKey[0], -1);
    EXPECT_EQ(p.state.AudioKey[2], 0x82);
    EXPECT_EQ(p.state.AudioKey[0], -1);
    EXPECT_EQ(p.state.FrameCount, (std::array<std::int32_t, 2>{7, 8}));
    EXPECT_EQ(p.state.AC3BitRate[18], 640000);
    EXPECT_EQ(p.state.AC3SampleRate[1], 44100);
    EXPECT_FALSE(p.state.DemuxMode);
}

} // namespace
} // namespace ombrix
