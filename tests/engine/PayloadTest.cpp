#include "support/FakeHost.h"
#include "engine/Pass.h"
#include "engine/State.h"
#include "support/PsBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace ombrix {
namespace {

using testing::Bytes;
using testing::FakeHost;
using testing::PsBuilder;
using testing::TempDir;

struct DemuxRun {
    TempDir dir;
    EngineState state;
    FakeHost host;

    // Runs a demux pass over the bytes with subpicture slot 0's and video slot 0's outputs open.
    Bytes demuxSub(const Bytes& file, std::uint32_t minPts) {
        testing::writeFile(dir.file("in.EVO"), file);
        state.InFile = FileStream::openRead(dir.file("in.EVO"));
        state.SubOut[0] = FileStream::create(dir.file("sub.sup"));
        state.VideoOut[0] = FileStream::create(dir.file("video.mpv"));
        state.MinPts = minPts;
        state.SubRecordOpen.fill(false);
        demux(state, host, PassMode::Demux);
        state.closeAll();
        return testing::readFile(dir.file("sub.sup"));
    }
};

Bytes sup(std::uint32_t t, const Bytes& data) {
    Bytes b = {'S', 'P', static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(t >> 8),
               static_cast<std::uint8_t>(t >> 16), static_cast<std::uint8_t>(t >> 24), 0, 0, 0, 0};
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(SupRecords, StartWithEverySubpicturePacketThatCarriesItsOwnTimeStamp) {
    PsBuilder b;
    b.packHeader()
        .pes(0xE0, {9, 9}, {.pts = 0x50000})
        .subpicture(0x20, {1, 2, 3}, {.pts = 0x12000})
        .pes(0xE0, {9, 9}, {.pts = 0x51000})
        .subpicture(0x20, {4, 5}) // the same unit goes on; the video PTS before it starts nothing
        .subpicture(0x20, {6}, {.pts = 0x10000}) // equal to MinPts: a record with time 0
        .subpicture(0x20, {7, 8}, {.pts = 0x0FFFF}); // before MinPts: modulo 2^32
    DemuxRun run;
    EXPECT_EQ(run.demuxSub(b.bytes(), 0x10000),
              sup(0x2000, {1, 2, 3, 4, 5}) + sup(0, {6}) + sup(0xFFFFFFFF, {7, 8}));
    EXPECT_EQ(testing::readFile(run.dir.file("video.mpv")), (Bytes{9, 9, 9, 9}));
}

TEST(SupRecords, AFragmentBeforeTheFirstRecordIsLeftOut) {
    PsBuilder b;
    b.packHeader().subpicture(0x20, {1, 2}).subpicture(0x20, {3}, {.pts = 0x30000}).subpicture(0x20, {4});
    DemuxRun run;
    EXPECT_EQ(run.demuxSub(b.bytes(), 0x10000), sup(0x20000, {3, 4}));
}

TEST(SupRecords, WithoutAReportedFirstTimeStampTimesAreTakenAsTheyAre) {
    PsBuilder b;
    b.packHeader().subpicture(0x20, {1}, {.pts = 0x12345});
    DemuxRun run;
    EXPECT_EQ(run.demuxSub(b.bytes(), 0xFFFFFFFF), sup(0x12345, {1}));
}

TEST(SupRecords, AUnitOverABlockBoundaryGetsOneHeader) {
    const Bytes data = testing::filler(3000);
    PsBuilder b;
    b.packHeader();
    while (b.size() < 262144 - 1000) b.padding(std::min<std::size_t>(60000, 262144 - 1000 - b.size() - 6));
    b.subpicture(0x20, data, {.pts = 0x20000});
    DemuxRun run;
    EXPECT_EQ(run.demuxSub(b.bytes(), 0x10000), sup(0x10000, data));
}

TEST(Output, UntickedOrUnopenedSlotsGetNothingAndOnlyTickedVideoCountsFrames) {
    PsBuilder b;
    b.packHeader()
        .pes(0xE0, {0, 0, 1, 0, 7, 0, 0, 1, 0}, {.pts = 1})
        .pes(0xE1, {0, 0, 1, 0, 8}, {.pts = 2})
        .audio(0x82, {1, 2, 3})
        .audio(0x83, {4, 5, 6})
        .subpicture(0x21, {7}, {.pts = 9});
    TempDir dir;
    testing::writeFile(dir.file("in.EVO"), b.bytes());
    EngineState state;
    FakeHost host;
    host.video = {false, true};
    host.audio[3] = false;
    state.InFile = FileStream::openRead(dir.file("in.EVO"));
    state.VideoOut[0] = FileStream::create(dir.file("v0"));
    state.VideoOut[1] = FileStream::create(dir.file("v1"));
    state.AudioOut[2] = FileStream::create(dir.file("a2"));
    state.AudioOut[3] = FileStream::create(dir.file("a3"));
    demux(state, host, PassMode::Demux); // subpicture slot 1 has no open file
    state.closeAll();
    EXPECT_TRUE(testing::readFile(dir.file("v0")).empty());
    EXPECT_EQ(testing::readFile(dir.file("v1")), (Bytes{0, 0, 1, 0, 8}));
    EXPECT_EQ(testing::readFile(dir.file("a2")), (Bytes{1, 2, 3}));
    EXPECT_TRUE(testing::readFile(dir.file("a3")).empty());
    EXPECT_EQ(state.FrameCount, (std::array<std::int32_t, 2>{0, 1}));
    EXPECT_TRUE(host.lines.empty());
}

TEST(Reports, EachStreamsFirstTimeStampOnceAndMinPts) {
    PsBuilder b;
    b.packHeader()
        .audio(0x82, {1}, {.pts = 0x4000})
        .audio(0x82, {1}, {.pts = 0x1000}) // the same stream again: no report
        .pes(0xE2, {0, 0, 0, 1, 9, 0, 0, 1, 9}, {.pts = 0x3000, .dts = 0x2800});
    TempDir dir;
    testing::writeFile(dir.file("in.EVO"), b.bytes());
    EngineState state;
    FakeHost host;
    state.MinPts = 0xFFFFFFFF;
    state.InFile = FileStream::openRead(dir.file("in.EVO"));
    demux(state, host, PassMode::Scan);
    ASSERT_GE(host.lines.size(), 4u);
    host.lines.resize(4); // the H.264 analyser's lines follow
    EXPECT_EQ(host.lines, (std::vector<std::string>{"Dolby Digital audio stream 2 found!", "   First PTS = 00004000",
                                                     "H.264 video stream 0 found!", "   First PTS = 00003000"}));
    EXPECT_EQ(state.MinPts, 0x3000u);
    EXPECT_EQ(state.FrameCount[0], 2) << "H.264 frames are access unit delimiters";
}

} // namespace
} // namespace ombrix
