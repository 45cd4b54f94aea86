#include "AnalyserHarness.h"
#include "HeaderFixtures.h"
#include "analysers/Analysers.h"

#include <gtest/gtest.h>

namespace ombrix::testing {
namespace {

using namespace mpeg2;

const ByteVec kSequence = sequenceHeader(720, 480, 2, 4, 0x3FFFF);

Lines run(const ByteVec& bytes, std::uint32_t pts = 0x1B207) {
    AnalyserRun r(bytes);
    MPEG2info(r.state, r.host, r.offset, r.length, pts, 0x12345);
    return r.host.lines;
}

TEST(Mpeg2Info, WellFormedChunkReportsInOrder) {
    const ByteVec chunk =
        kSequence + sequenceExtension(0) + gopHeader() + picture(1) + picture(2) + picture(3);
    EXPECT_EQ(run(chunk), (Lines{"   Sequence Header found", "   0 frames before first Sequence Header",
                                 "   size = 720x480", "   Aspect ratio = 4:3", "   Frame rate = 29.97",
                                 "  Sequence header bitrate = 104857200 bps", "   Progressive Sequence = 0",
                                 "   First Video PTS = 0001B207"}));
}

TEST(Mpeg2Info, FieldsAndTheFirstPts) {
    const ByteVec chunk =
        sequenceHeader(1920, 1080, 3, 1, 20000) + sequenceExtension(1) + picture(1) + picture(3);
    EXPECT_EQ(
        run(chunk, 0xFFFFFFFF),
        (Lines{"   Sequence Header found", "   0 frames before first Sequence Header", "   size = 1920x1080",
               "   Aspect ratio = 16:9", "   Frame rate = 23.976", "  Sequence header bitrate = 8000000 bps",
               "   Progressive Sequence = 1", "   First Video PTS = FFFFFFFF"}));
}

TEST(Mpeg2Info, AspectRatioAndFrameRateCodes) {
    const char* aspects[16] = {"forbidden", "square samples", "4:3",      "16:9",     "2.21:1",   "reserved",
                               "reserved",  "reserved",       "reserved", "reserved", "reserved", "reserved",
                               "reserved",  "reserved",       "reserved", "reserved"};
    const char* rates[16] = {"forbidden", "23.976",   "24",       "25",       "29.97",    "30",
                             "50",        "59.94",    "60",       "reserved", "reserved", "reserved",
                             "reserved",  "reserved", "reserved", "reserved"};
    for (std::uint32_t code = 0; code < 16; ++code) {
        const Lines lines = run(sequenceHeader(352, 288, code, code, 1));
        ASSERT_EQ(lines.size(), 6u) << code;
        EXPECT_EQ(lines[3], std::string("   Aspect ratio = ") + aspects[code]) << code;
        EXPECT_EQ(lines[4], std::string("   Frame rate = ") + rates[code]) << code;
        EXPECT_EQ(lines[5], "  Sequence header bitrate = 400 bps");
    }
}

TEST(Mpeg2Info, WithoutSequenceExtensionEverySequenceHeaderReportsItsFields) {
    const ByteVec chunk = sequenceHeader(352, 240, 1, 5, 2875) + picture(1) + picture(2) +
                          sequenceHeader(352, 288, 2, 3, 2876) + picture(1);
    EXPECT_EQ(run(chunk),
              (Lines{"   Sequence Header found", "   0 frames before first Sequence Header",
                     "   size = 352x240", "   Aspect ratio = square samples", "   Frame rate = 30",
                     "  Sequence header bitrate = 1150000 bps", "   First Video PTS = 0001B207",
                     "   size = 352x288", "   Aspect ratio = 4:3", "   Frame rate = 25",
                     "  Sequence header bitrate = 1150400 bps"}));
}

TEST(Mpeg2Info, AfterTheSequenceExtensionLaterSequenceHeadersReportNothing) {
    const ByteVec chunk = kSequence + sequenceExtension(1) + picture(1) +
                          sequenceHeader(1440, 1080, 3, 3, 100) + sequenceExtension(0) + picture(2);
    EXPECT_EQ(run(chunk), (Lines{"   Sequence Header found", "   0 frames before first Sequence Header",
                                 "   size = 720x480", "   Aspect ratio = 4:3", "   Frame rate = 29.97",
                                 "  Sequence header bitrate = 104857200 bps", "   Progressive Sequence = 1",
                                 "   First Video PTS = 0001B207"}));
}

TEST(Mpeg2Info, SequenceExtensionBeforeAnySequenceHeader) {
    const ByteVec chunk = sequenceExtension(1) + picture(2) + kSequence + picture(1);
    EXPECT_EQ(run(chunk), (Lines{"   Progressive Sequence = 1", "   Sequence Header found",
                                 "   1 frames before first Sequence Header"}));
}

TEST(Mpeg2Info, PicturesBeforeTheFirstSequenceHeaderAreCountedByTheirCodingExtensions) {
    // A picture header without a coding extension (MPEG-1) does not count.
    const ByteVec chunk = picture(2) + picture(3) + pictureHeader(3) + slice() + kSequence + picture(1);
    const Lines lines = run(chunk);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "   Sequence Header found");
    EXPECT_EQ(lines[1], "   2 frames before first Sequence Header");
    // Only one picture after the sequence header: no first-video-PTS line.
    EXPECT_EQ(lines.back(), "  Sequence header bitrate = 104857200 bps");
}

TEST(Mpeg2Info, IllegalPictureCodingTypes) {
    ByteVec chunk;
    for (std::uint32_t type : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 4u})
        chunk = chunk + picture(type);
    EXPECT_EQ(run(chunk),
              (Lines{"   illegal picture_coding_type = 0", "   illegal picture_coding_type = 4",
                     "   illegal picture_coding_type = 5", "   illegal picture_coding_type = 6",
                     "   illegal picture_coding_type = 7", "   illegal picture_coding_type = 4"}));
}

TEST(Mpeg2Info, HeaderCutByTheChunkEndReportsWhatWasSeen) {
    const ByteVec bytes = kSequence + sequenceExtension(0);
    struct Cut {
        std::size_t bytes;
        std::size_t lines;
    };
    // After the start code: size at byte 3, aspect and rate at byte 4, bitrate at byte 7.
    for (const Cut cut : {Cut{4, 2}, Cut{6, 2}, Cut{7, 3}, Cut{8, 5}, Cut{10, 5}, Cut{11, 6}}) {
        AnalyserRun r(bytes);
        MPEG2info(r.state, r.host, r.offset, static_cast<std::int32_t>(cut.bytes), 0, 0);
        EXPECT_EQ(r.host.lines.size(), cut.lines) << cut.bytes << " bytes";
    }
}

// The window starts at zero: a start code whose zero bytes lie before the chunk is still seen,
// one whose 01 byte lies before it is not.
TEST(Mpeg2Info, StartCodeAtTheChunkStart) {
    const ByteVec bytes = kSequence + sequenceExtension(0) + picture() + picture();
    for (std::int32_t skip : {1, 2}) {
        AnalyserRun r(bytes);
        MPEG2info(r.state, r.host, r.offset + skip, r.length - skip, 7, 0);
        EXPECT_EQ(r.host.lines.size(), 8u) << skip;
    }
    AnalyserRun r(bytes);
    MPEG2info(r.state, r.host, r.offset + 3, r.length - 3, 7, 0);
    EXPECT_EQ(r.host.lines, (Lines{"   Progressive Sequence = 0"}));
}

TEST(Mpeg2Info, EmptyChunkOrNoStartCodes) {
    EXPECT_TRUE(run(neutral(500)).empty());
    AnalyserRun r(kSequence);
    MPEG2info(r.state, r.host, r.offset, 0, 0, 0);
    MPEG2info(r.state, r.host, r.offset, -3, 0, 0);
    EXPECT_TRUE(r.host.lines.empty());
}

} // namespace
} // namespace ombrix::testing
