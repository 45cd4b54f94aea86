#include "AnalyserHarness.h"
#include "HeaderFixtures.h"
#include "analysers/Analysers.h"

#include <gtest/gtest.h>

#include <ostream>

namespace ombrix::testing {
namespace {

using namespace vc1;

Vc1Sequence with(void (*change)(Vc1Sequence&)) {
    Vc1Sequence s;
    change(s);
    return s;
}

Lines run(const ByteVec& bytes, std::int64_t pts = 0x1B207, char decimal = '.') {
    AnalyserRun r(bytes);
    r.host.decimal = decimal;
    VC1info(r.state, r.host, r.offset, r.length, 0xABCDEF, pts);
    return r.host.lines;
}

const Lines kHeaderLines = {"   Sequence Header found",
                            "   0 frames before first I-frame",
                            "   Advanced Profile",
                            "   Level = 3",
                            "   Chroma Format = 4:2:0",
                            "   Size = 1920x1080",
                            "   Pulldown = 1",
                            "   Interlace = 0",
                            "   Display Horizontal size = 1920",
                            "   Display Vertical size = 1080",
                            "   Aspect ratio = 1:1 (square samples)"};

Lines plus(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Vc1Info, HdDvdSequenceHeaderReportsInOrder) {
    const ByteVec chunk = sequenceHeader({}) + entryPoint() + frames(3);
    EXPECT_EQ(run(chunk), plus(kHeaderLines, {"   Frame Rate = 23.976023976024 (24000/1001)",
                                              "   First Video PTS = 000000000001B207"}));
}

TEST(Vc1Info, FirstVideoPtsNeedsTwoFramesAfterTheSequenceHeader) {
    EXPECT_EQ(run(sequenceHeader({}) + entryPoint() + frame()),
              plus(kHeaderLines, {"   Frame Rate = 23.976023976024 (24000/1001)"}));
    const Lines lines = run(sequenceHeader({}) + frames(2), 0xFFFFFFFF);
    EXPECT_EQ(lines.back(), "   First Video PTS = 00000000FFFFFFFF");
    // The 4th byte after the second frame start code must be in the chunk.
    const ByteVec shortChunk =
        sequenceHeader({}) + frame() + ByteVec{0x00, 0x00, 0x01, 0x0D, 0xAA, 0xAA, 0xAA};
    EXPECT_EQ(run(shortChunk).back(), "   Frame Rate = 23.976023976024 (24000/1001)");
}

struct RateCase {
    const char* name;
    Vc1Sequence seq;
    char decimal;
    Lines expected; // the lines after the aspect ratio line
};

void PrintTo(const RateCase& c, std::ostream* os) {
    *os << c.name;
}

class Vc1FrameRate : public ::testing::TestWithParam<RateCase> {};

TEST_P(Vc1FrameRate, ReportsTheCodes) {
    const RateCase& c = GetParam();
    const Lines lines = run(sequenceHeader(c.seq) + frame(), 0, c.decimal);
    ASSERT_GE(lines.size(), kHeaderLines.size());
    EXPECT_EQ(Lines(lines.begin() + static_cast<std::ptrdiff_t>(kHeaderLines.size()), lines.end()),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, Vc1FrameRate,
    ::testing::Values(
        RateCase{"Nr1Dr2DecimalComma", {}, ',', {"   Frame Rate = 23,976023976024 (24000/1001)"}},
        RateCase{"Nr1Dr1",
                 with([](Vc1Sequence& s) { s.frameRateDr = 1; }),
                 '.',
                 {"   Frame Rate = 24 (24000/1000)"}},
        RateCase{"Nr2Dr1",
                 with([](Vc1Sequence& s) { s.frameRateNr = 2, s.frameRateDr = 1; }),
                 '.',
                 {"   Frame Rate = 25 (25000/1000)"}},
        RateCase{"Nr5Dr2",
                 with([](Vc1Sequence& s) { s.frameRateNr = 5; }),
                 '.',
                 {"   Frame Rate = 59.9400599400599 (60000/1001)"}},
        RateCase{"Nr7Dr1",
                 with([](Vc1Sequence& s) { s.frameRateNr = 7, s.frameRateDr = 1; }),
                 '.',
                 {"   Frame Rate = 72 (72000/1000)"}},
        RateCase{"ForbiddenNumerator",
                 with([](Vc1Sequence& s) { s.frameRateNr = 0; }),
                 '.',
                 {"   Forbidden Frame Rate!", "   Frame Rate = 0 (0/1001)"}},
        RateCase{"ReservedNumerator",
                 with([](Vc1Sequence& s) { s.frameRateNr = 255, s.frameRateDr = 1; }),
                 '.',
                 {"   Reserved Frame Rate!", "   Frame Rate = 0 (0/1000)"}},
        // No denominator: the rate is shown as 0.
        RateCase{"ForbiddenDenominator",
                 with([](Vc1Sequence& s) { s.frameRateDr = 0; }),
                 '.',
                 {"   Forbidden Frame Rate!", "   Frame Rate = 0 (24000/0)"}},
        RateCase{"ReservedDenominator",
                 with([](Vc1Sequence& s) { s.frameRateNr = 3, s.frameRateDr = 15; }),
                 '.',
                 {"   Reserved Frame Rate!", "   Frame Rate = 0 (30000/0)"}},
        RateCase{"BothForbidden",
                 with([](Vc1Sequence& s) { s.frameRateNr = 0, s.frameRateDr = 0; }),
                 '.',
                 {"   Forbidden Frame Rate!", "   Forbidden Frame Rate!", "   Frame Rate = 0 (0/0)"}},
        RateCase{"ReservedAndForbidden",
                 with([](Vc1Sequence& s) { s.frameRateNr = 8, s.frameRateDr = 0; }),
                 '.',
                 {"   Reserved Frame Rate!", "   Forbidden Frame Rate!", "   Frame Rate = 0 (0/0)"}},
        RateCase{"Exp766",
                 with([](Vc1Sequence& s) { s.frameRateInd = 1, s.frameRateExp = 766; }),
                 '.',
                 {"   Frame Rate =23.96875"}},
        RateCase{"Exp0",
                 with([](Vc1Sequence& s) { s.frameRateInd = 1, s.frameRateExp = 0; }),
                 ',',
                 {"   Frame Rate =0,03125"}},
        RateCase{"ExpMax",
                 with([](Vc1Sequence& s) { s.frameRateInd = 1, s.frameRateExp = 0xFFFF; }),
                 '.',
                 {"   Frame Rate =2048"}}),
    [](const ::testing::TestParamInfo<RateCase>& info) { return info.param.name; });

TEST(Vc1Info, AspectRatioNames) {
    const char* names[15] = {"unspecified",          "1:1 (square samples)",  "12:11 (704x576 4:3)",
                             "10:11 (704x480 4:3)",  "16:11 (704x576 16:9)",  "40:33 (704x480 16:9)",
                             "24:11 (352x576 4:3)",  "20:11 (352x480 4:3)",   "32:11 (352x576 16:9)",
                             "80:33 (352x480 16:9)", "18:11 (48$576 4:3)",    "15:11 (48$480 4:3)",
                             "64:33 (528x576 16:9)", "160:99 (528x480 16:9)", "Reserved"};
    for (std::uint32_t code = 0; code < 15; ++code) {
        Vc1Sequence s;
        s.aspect = code;
        const Lines lines = run(sequenceHeader(s));
        ASSERT_EQ(lines.size(), 12u) << code;
        EXPECT_EQ(lines[10], std::string("   Aspect ratio = ") + names[code]);
        EXPECT_EQ(lines[11], "   Frame Rate = 23.976023976024 (24000/1001)");
    }
}

// ASPECT_RATIO 15 carries its own aspect sizes, two bytes before FRAMERATE_FLAG.
TEST(Vc1Info, ExplicitAspectRatioSkipsItsSizeBytes) {
    Vc1Sequence s;
    s.aspect = 15;
    s.aspectWidth = 0x40; // would read as FRAMERATE_FLAG 0
    s.aspectHeight = 0xFF;
    s.frameRateNr = 2;
    s.frameRateDr = 1;
    const Lines lines = run(sequenceHeader(s) + frames(2));
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[10], "   Aspect ratio = ");
    EXPECT_EQ(lines[11], "   Frame Rate = 25 (25000/1000)");
    EXPECT_EQ(lines[12], "   First Video PTS = 000000000001B207");
}

TEST(Vc1Info, ReservedProfileLevelAndChroma) {
    const Lines lines =
        run(sequenceHeader(with([](Vc1Sequence& s) { s.profile = 0, s.level = 5, s.colordiff = 2; })));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(Lines(lines.begin() + 2, lines.begin() + 5),
              (Lines{"   Reserved Profile", "   Level = Reserved", "   Chroma Format = Reserved"}));
    const Lines more = run(sequenceHeader(with([](Vc1Sequence& s) {
        s.profile = 2, s.level = 4, s.colordiff = 3, s.width = 4095, s.height = 0, s.pulldown = 0,
        s.interlace = 1;
    })));
    ASSERT_GE(more.size(), 8u);
    EXPECT_EQ(Lines(more.begin() + 2, more.begin() + 8),
              (Lines{"   Reserved Profile", "   Level = 4", "   Chroma Format = Reserved", "   Size = 8192x2",
                     "   Pulldown = 0", "   Interlace = 1"}));
}

TEST(Vc1Info, FramesBeforeTheFirstSequenceHeader) {
    const Lines lines = run(frames(3) + sequenceHeader({}) + frames(2));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "   3 frames before first I-frame");
}

// Until a frame-rate line has been logged, every sequence header is reported again in full.
TEST(Vc1Info, WithoutFrameRateLaterSequenceHeadersAreReportedAgain) {
    const Lines noDisplay = {"   Sequence Header found", "   Advanced Profile", "   Level = 3",
                             "   Chroma Format = 4:2:0", "   Size = 1920x1080", "   Pulldown = 1",
                             "   Interlace = 0"};
    Vc1Sequence first;
    first.displayExt = false;
    Vc1Sequence second;
    second.frameRateFlag = false;
    const ByteVec chunk = sequenceHeader(first) + frames(1) + sequenceHeader(second) + frames(1) +
                          sequenceHeader({}) + frames(1) + sequenceHeader({}) + frames(2);
    Lines expected = noDisplay;
    expected.insert(expected.begin() + 1, "   0 frames before first I-frame");
    expected = plus(expected, noDisplay);
    expected =
        plus(expected, {"   Display Horizontal size = 1920", "   Display Vertical size = 1080",
                        "   Aspect ratio = 1:1 (square samples)", "   First Video PTS = 000000000001B207"});
    expected = plus(expected, noDisplay);
    expected = plus(expected, {"   Display Horizontal size = 1920", "   Display Vertical size = 1080",
                               "   Aspect ratio = 1:1 (square samples)",
                               "   Frame Rate = 23.976023976024 (24000/1001)"});
    EXPECT_EQ(run(chunk), expected);
}

TEST(Vc1Info, NoSequenceHeaderOrEmptyChunkLogsNothing) {
    EXPECT_TRUE(run(frames(5) + entryPoint()).empty());
    AnalyserRun r(sequenceHeader({}));
    VC1info(r.state, r.host, r.offset, 0, 0, 0);
    VC1info(r.state, r.host, r.offset, -1, 0, 0);
    EXPECT_TRUE(r.host.lines.empty());
}

TEST(Vc1Info, HeaderCutByTheChunkEnd) {
    const ByteVec header = sequenceHeader({});
    AnalyserRun r(header);
    // Bytes 0-8 after the start code: up to the display horizontal size.
    VC1info(r.state, r.host, r.offset, 4 + 9, 0, 0);
    EXPECT_EQ(r.host.lines, Lines(kHeaderLines.begin(), kHeaderLines.begin() + 9));
}

} // namespace
} // namespace ombrix::testing
