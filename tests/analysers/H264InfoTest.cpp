#include "AnalyserHarness.h"
#include "HeaderFixtures.h"
#include "analysers/Analysers.h"

#include <gtest/gtest.h>

#include <ostream>

namespace ombrix::testing {
namespace {

using namespace h264;

Lines run(const ByteVec& bytes) {
    AnalyserRun r(bytes);
    H264info(r.state, r.host, r.offset, r.length, 0x1B207, 0x1A000);
    return r.host.lines;
}

struct H264Case {
    const char* name;
    ByteVec bytes;
    Lines expected;
};

void PrintTo(const H264Case& c, std::ostream* os) {
    *os << c.name;
}

class H264Report : public ::testing::TestWithParam<H264Case> {};

TEST_P(H264Report, LogsDelimitersAndParameterSets) {
    EXPECT_EQ(run(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Chunks, H264Report,
    ::testing::Values(
        H264Case{"IDelimiterThenHighProfile",
                 delimiter(0) + parameterSet(100, 41) + pictureSet() + slice(),
                 {"   0 frames before first I-frame", "   High Profile", "   Level = 41"}},
        H264Case{"MainLevel1b", parameterSet(77, 11, true), {"   Main Profile", "   Level = 1b"}},
        H264Case{"MainLevel11", parameterSet(77, 11, false), {"   Main Profile", "   Level = 11"}},
        H264Case{"BaselineLevel1b", parameterSet(66, 11, true), {"   Baseline Profile", "   Level = 1b"}},
        H264Case{"ExtendedLevel1b", parameterSet(88, 11, true), {"   Extended Profile", "   Level = 1b"}},
        // In the High profiles constraint_set3_flag marks intra-only streams; level 1b is 9 there.
        H264Case{"High10IntraLevel11", parameterSet(110, 11, true), {"   High 10 Profile", "   Level = 11"}},
        H264Case{"HighLevel9", parameterSet(100, 9, true), {"   High Profile", "   Level = 9"}},
        H264Case{"BaselineLevel9", parameterSet(66, 9), {"   Baseline Profile", "   Level = 9"}},
        H264Case{"OtherProfiles",
                 parameterSet(122, 40) + parameterSet(144, 51) + parameterSet(244, 52) + parameterSet(0, 255),
                 {"   High 4:2:2 Profile", "   Level = 40", "   High 4:4:4 Profile", "   Level = 51",
                  "   Unknown Profile", "   Level = 52", "   Unknown Profile", "   Level = 255"}},
        H264Case{
            "NalRefIdc1Recognised", parameterSet(100, 30, false, 0x27), {"   High Profile", "   Level = 30"}},
        H264Case{"NalRefIdc2NotRecognised", parameterSet(100, 30, false, 0x47), {}},
        H264Case{"IFrameAfterTwoOthers",
                 delimiter(2) + slice(0x01) + delimiter(2) + slice(0x01) + delimiter(0) +
                     parameterSet(100, 41) + slice() + delimiter(0) + slice(),
                 {"   2 frames before first I-frame", "   High Profile", "   Level = 41"}},
        // primary_pic_type 1 may hold P slices: not an I-frame.
        H264Case{"IAndPIsNoIFrame",
                 delimiter(1) + slice(0x01) + delimiter(5) + slice(0x01) + delimiter(0) + slice(),
                 {"   2 frames before first I-frame"}},
        H264Case{"NoDelimiters",
                 parameterSet(77, 40) + pictureSet() + slice(),
                 {"   Main Profile", "   Level = 40"}},
        H264Case{"NoIFrame", delimiter(2) + slice(0x01) + delimiter(1) + slice(0x01), {}},
        H264Case{
            "ParameterSetCutAfterProfile", ByteVec{0x00, 0x00, 0x01, 0x67, 100, 0x00}, {"   High Profile"}},
        H264Case{"Nothing", neutral(300), {}}),
    [](const ::testing::TestParamInfo<H264Case>& info) { return info.param.name; });

TEST(H264Info, EmptyChunkLogsNothing) {
    AnalyserRun r(delimiter(0) + parameterSet(100, 41));
    H264info(r.state, r.host, r.offset, 0, 0, 0);
    H264info(r.state, r.host, r.offset, -1, 0, 0);
    EXPECT_TRUE(r.host.lines.empty());
}

TEST(H264Info, ParameterSetAtTheEndOfTheReadBuffer) {
    const ByteVec bytes = ByteVec{0x00, 0x00, 0x01, 0x67, 77, 0x10, 11};
    AnalyserRun r(bytes, static_cast<std::int32_t>(kReadBufSize - bytes.size()));
    H264info(r.state, r.host, r.offset, r.length, 0, 0);
    EXPECT_EQ(r.host.lines, (Lines{"   Main Profile", "   Level = 1b"}));
}

} // namespace
} // namespace ombrix::testing
