#include "AnalyserHarness.h"
#include "HeaderFixtures.h"
#include "analysers/Analysers.h"

#include <gtest/gtest.h>

#include <ostream>

namespace ombrix::testing {
namespace {

using namespace ac3;

Lines run(const ByteVec& bytes, std::int32_t slot = 0, char decimal = '.') {
    AnalyserRun r(bytes);
    r.host.decimal = decimal;
    AC3info(r.state, r.host, r.offset, r.length, slot);
    return r.host.lines;
}

struct Ac3Case {
    const char* name;
    ByteVec bytes;
    std::int32_t slot;
    char decimal;
    Lines expected;
};

void PrintTo(const Ac3Case& c, std::ostream* os) {
    *os << c.name;
}

class Ac3Report : public ::testing::TestWithParam<Ac3Case> {};

TEST_P(Ac3Report, LogsTheHeaderAsGiven) {
    const Ac3Case& c = GetParam();
    EXPECT_EQ(run(c.bytes, c.slot, c.decimal), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, Ac3Report,
    ::testing::Values(
        Ac3Case{"Eac3Frmsiz767",
                eac3Header(767, 0, 3, 7, 1, 16) + neutral(20),
                0,
                '.',
                {"   Stream 0 is Dolby Digital Plus", "   frame size = 1536, number of blocks per frame = 6",
                 "   bitrate = 384 kbit/s, sampling rate = 48 kHz",
                 "   mode = 3/2, bsid = 16, LFE present = 1"}},
        // 1 block per frame: 187.5 frames/s at 48 kHz; frame 2 x (511 + 1) bytes.
        Ac3Case{"Eac3OneBlockBsid11",
                eac3Header(511, 0, 0, 2, 0, 11),
                3,
                '.',
                {"   Stream 3 is Dolby Digital Plus", "   frame size = 1024, number of blocks per frame = 1",
                 "   bitrate = 1536 kbit/s, sampling rate = 48 kHz",
                 "   mode = 2/0, bsid = 11, LFE present = 0"}},
        // At 44.1 kHz a 6-block frame lasts 1536 / 44100 s: 1536 bytes make 352.8 kbit/s.
        Ac3Case{"Eac3At44k1WithDecimalComma",
                eac3Header(767, 1, 3, 1, 0, 16),
                15,
                ',',
                {"   Stream 15 is Dolby Digital Plus", "   frame size = 1536, number of blocks per frame = 6",
                 "   bitrate = 352 kbit/s, sampling rate = 44,1 kHz",
                 "   mode = 1/0, bsid = 16, LFE present = 0"}},
        Ac3Case{"Eac3At32k",
                eac3Header(383, 2, 2, 0, 1, 16),
                1,
                '.',
                {"   Stream 1 is Dolby Digital Plus", "   frame size = 768, number of blocks per frame = 3",
                 "   bitrate = 256 kbit/s, sampling rate = 32 kHz",
                 "   mode = 1+1, bsid = 16, LFE present = 1"}},
        Ac3Case{"Ac3Frmsizecod28",
                ac3Header(0, 28, 8, 0, 2) + neutral(8),
                0,
                '.',
                {"   Stream 0 is Dolby Digital", "   bitrate = 384 kbit/s, sampling rate = 48 kHz",
                 "   mode = 2/0, bsid = 8, bsmod =0"}},
        Ac3Case{"Ac3Frmsizecod30",
                ac3Header(0, 30, 6, 5, 7),
                2,
                '.',
                {"   Stream 2 is Dolby Digital", "   bitrate = 448 kbit/s, sampling rate = 48 kHz",
                 "   mode = 3/2, bsid = 6, bsmod =5"}},
        Ac3Case{"Ac3Highest640At44k1",
                ac3Header(1, 37, 8, 0, 3),
                0,
                '.',
                {"   Stream 0 is Dolby Digital", "   bitrate = 640 kbit/s, sampling rate = 44.1 kHz",
                 "   mode = 3/0, bsid = 8, bsmod =0"}},
        // bsid 17 and above take the AC-3 reading.
        Ac3Case{"Bsid17IsDolbyDigital",
                ac3Header(2, 0, 17, 1, 1),
                4,
                '.',
                {"   Stream 4 is Dolby Digital", "   bitrate = 32 kbit/s, sampling rate = 32 kHz",
                 "   mode = 1/0, bsid = 17, bsmod =1"}},
        Ac3Case{"Bsid31IsDolbyDigital",
                ac3Header(0, 2, 31, 7, 4),
                0,
                '.',
                {"   Stream 0 is Dolby Digital", "   bitrate = 40 kbit/s, sampling rate = 48 kHz",
                 "   mode = 2/1, bsid = 31, bsmod =7"}},
        Ac3Case{"SecondValidFrameIgnored",
                ac3Header(0, 28, 8, 0, 2) + neutral(10) + eac3Header(767, 0, 3, 7, 1, 16),
                0,
                '.',
                {"   Stream 0 is Dolby Digital", "   bitrate = 384 kbit/s, sampling rate = 48 kHz",
                 "   mode = 2/0, bsid = 8, bsmod =0"}},
        // fscod 3: reported with sampling rate 0, then the next sync word starts a new header.
        Ac3Case{"InvalidAc3ThenValid",
                ac3Header(3, 28, 8, 0, 2) + neutral(4) + ac3Header(0, 30, 8, 1, 7),
                0,
                '.',
                {"   Stream 0 is Dolby Digital", "   bitrate = 384 kbit/s, sampling rate = 0 kHz",
                 "   mode = 2/0, bsid = 8, bsmod =0", "   Stream 0 is Dolby Digital",
                 "   bitrate = 448 kbit/s, sampling rate = 48 kHz", "   mode = 3/2, bsid = 8, bsmod =1"}},
        // An E-AC-3 header without a sampling rate has no frame rate, so no bitrate either.
        Ac3Case{"InvalidEac3ThenValid",
                eac3Header(767, 3, 3, 7, 1, 16) + eac3Header(255, 0, 1, 2, 0, 16),
                0,
                '.',
                {"   Stream 0 is Dolby Digital Plus", "   frame size = 1536, number of blocks per frame = 6",
                 "   bitrate = 0 kbit/s, sampling rate = 0 kHz", "   mode = 3/2, bsid = 16, LFE present = 1",
                 "   Stream 0 is Dolby Digital Plus", "   frame size = 512, number of blocks per frame = 2",
                 "   bitrate = 384 kbit/s, sampling rate = 48 kHz",
                 "   mode = 2/0, bsid = 16, LFE present = 0"}},
        // Frame-size codes 38-63 are reserved: no bitrate, so the header is invalid; 36 is the
        // table's last entry.
        Ac3Case{"ReservedFrmsizecodThenValid",
                ac3Header(0, 63, 8, 0, 2) + ac3Header(0, 38, 8, 0, 2) + ac3Header(0, 36, 8, 0, 2),
                0,
                '.',
                {"   Stream 0 is Dolby Digital", "   bitrate = 0 kbit/s, sampling rate = 48 kHz",
                 "   mode = 2/0, bsid = 8, bsmod =0", "   Stream 0 is Dolby Digital",
                 "   bitrate = 0 kbit/s, sampling rate = 48 kHz", "   mode = 2/0, bsid = 8, bsmod =0",
                 "   Stream 0 is Dolby Digital", "   bitrate = 640 kbit/s, sampling rate = 48 kHz",
                 "   mode = 2/0, bsid = 8, bsmod =0"}},
        // A 0B 77 pair inside a header is no header byte: the header goes on after it.
        Ac3Case{"SyncPairInsideHeaderIsSkipped",
                ByteVec{0x0B, 0x77, 0x0B, 0x77, 0x00, 0x1C, 0x40, 0x40},
                0,
                '.',
                {"   Stream 0 is Dolby Digital", "   bitrate = 384 kbit/s, sampling rate = 48 kHz",
                 "   mode = 2/0, bsid = 8, bsmod =0"}},
        Ac3Case{"NoSyncWord", neutral(200), 0, '.', {}},
        Ac3Case{"HeaderCutByChunkEnd", ByteVec{0x0B, 0x77, 0x12, 0x34, 0x1C, 0x40}, 0, '.', {}}),
    [](const ::testing::TestParamInfo<Ac3Case>& info) { return info.param.name; });

TEST(Ac3Info, SyncWordSplitAcrossTheChunkStartIsNotFound) {
    // 0x0B is the last byte before the chunk.
    const ByteVec header = ac3Header(0, 28, 8, 0, 2);
    AnalyserRun r(header, 100);
    AC3info(r.state, r.host, r.offset + 1, r.length - 1, 0);
    EXPECT_TRUE(r.host.lines.empty());
}

TEST(Ac3Info, ReadsNothingBeyondTheChunk) {
    // The header's last byte lies right after the chunk.
    const ByteVec header = ac3Header(0, 28, 8, 0, 2);
    AnalyserRun r(header, 100);
    AC3info(r.state, r.host, r.offset, r.length - 1, 0);
    EXPECT_TRUE(r.host.lines.empty());
}

TEST(Ac3Info, EmptyOrNegativeChunkLogsNothing) {
    AnalyserRun r(ac3Header(0, 28, 8, 0, 2), 100);
    AC3info(r.state, r.host, r.offset, 0, 0);
    AC3info(r.state, r.host, r.offset, -5, 0);
    EXPECT_TRUE(r.host.lines.empty());
}

TEST(Ac3Info, ChunkAtTheEndOfTheReadBuffer) {
    const ByteVec header = ac3Header(0, 30, 8, 0, 2);
    AnalyserRun r(header, static_cast<std::int32_t>(kReadBufSize - header.size()));
    AC3info(r.state, r.host, r.offset, r.length, 0);
    EXPECT_EQ(r.host.lines,
              (Lines{"   Stream 0 is Dolby Digital", "   bitrate = 448 kbit/s, sampling rate = 48 kHz",
                     "   mode = 2/0, bsid = 8, bsmod =0"}));
}

} // namespace
} // namespace ombrix::testing
