#include "AnalyserHarness.h"
#include "HeaderFixtures.h"
#include "analysers/Analysers.h"
#include "analysers/DtsBitReader.h"

#include <gtest/gtest.h>

#include <ostream>

namespace ombrix::testing {
namespace {

using namespace dts;

const Lines k51Lines = {"   PCM core samples = 32",
                        "   PCM sample blocks = 16",
                        "   Primary frame byte size = 2012",
                        "   Audio channel arrangement = C + L + R + SL + SR",
                        "   Core audio sampling frequency = 48 kHz",
                        "   Transmission bitrate = 1536 kbit/s",
                        "   LFE present = present (IF:64)",
                        "   Encoder software rev. = 7, Current",
                        "   Source PCM resolution = 24 bits"};

Lines run(const ByteVec& bytes) {
    AnalyserRun r(bytes);
    DTSinfo(r.state, r.host, r.offset, r.length, 0);
    return r.host.lines;
}

struct DtsCase {
    const char* name;
    ByteVec bytes;
    Lines expected;
};

void PrintTo(const DtsCase& c, std::ostream* os) {
    *os << c.name;
}

class DtsReport : public ::testing::TestWithParam<DtsCase> {};

TEST_P(DtsReport, LogsEveryHeaderField) {
    EXPECT_EQ(run(GetParam().bytes), GetParam().expected);
}

DtsFields with(void (*change)(DtsFields&)) {
    DtsFields f;
    change(f);
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Headers, DtsReport,
    ::testing::Values(
        DtsCase{"Core51", neutral(7) + dtsCore({}) + neutral(40), k51Lines},
        DtsCase{"FrequencyExtension",
                dtsCore(with([](DtsFields& f) { f.extAudio = 1, f.extAudioId = 2; })) + neutral(8),
                {"   PCM core samples = 32", "   PCM sample blocks = 16", "   Primary frame byte size = 2012",
                 "   Audio channel arrangement = C + L + R + SL + SR",
                 "   Core audio sampling frequency = 48 kHz", "   Transmission bitrate = 1536 kbit/s",
                 "   Extension audio = Frequency extension", "   LFE present = present (IF:64)",
                 "   Encoder software rev. = 7, Current", "   Source PCM resolution = 24 bits"}},
        DtsCase{"HeaderCrc",
                dtsCore(with([](DtsFields& f) { f.cpf = 1, f.hcrc = 0x0BEF, f.vernum = 8, f.pcmr = 5; })) +
                    neutral(8),
                {"   PCM core samples = 32", "   PCM sample blocks = 16", "   Primary frame byte size = 2012",
                 "   Audio channel arrangement = C + L + R + SL + SR",
                 "   Core audio sampling frequency = 48 kHz", "   Transmission bitrate = 1536 kbit/s",
                 "   LFE present = present (IF:64)", "   Header CRC = 0BEF",
                 "   Encoder software rev. = 8, Future rev. (incompatible",
                 "   Source PCM resolution = 24 bits, DTS ES"}},
        DtsCase{"StereoAt44k1",
                dtsCore(with([](DtsFields& f) {
                    f.shortCount = 0, f.nblks = 127, f.fsize = 16383, f.amode = 2, f.sfreq = 8, f.rate = 22,
                    f.extAudio = 1, f.extAudioId = 0, f.lff = 0, f.vernum = 0, f.pcmr = 0;
                })) +
                    neutral(8),
                {"   PCM core samples = 1", "   PCM sample blocks = 128",
                 "   Primary frame byte size = 16383", "   Audio channel arrangement = L + R (stereo)",
                 "   Core audio sampling frequency = 44,1 kHz", "   Transmission bitrate = 1411,2 kbit/s",
                 "   Extension audio = Channel extension", "   LFE present = not present",
                 "   Encoder software rev. = 0, Future rev. (compatible)",
                 "   Source PCM resolution = 16 bits"}},
        DtsCase{"InvalidAndReservedCodes",
                dtsCore(with([](DtsFields& f) {
                    f.amode = 16, f.sfreq = 0, f.rate = 31, f.extAudio = 1, f.extAudioId = 7, f.lff = 3,
                    f.vernum = 15, f.pcmr = 4;
                })) +
                    neutral(8),
                {"   PCM core samples = 32", "   PCM sample blocks = 16", "   Primary frame byte size = 2012",
                 "   Audio channel arrangement = User defined", "   Core audio sampling frequency = Invalid",
                 "   Transmission bitrate = Loss-less kbit/s", "   Extension audio = Reserved",
                 "   LFE present = invalid", "   Encoder software rev. = 15, Future rev. (incompatible",
                 "   Source PCM resolution = "}},
        DtsCase{"Amode63AndPcmr7",
                dtsCore(with([](DtsFields& f) { f.amode = 63, f.sfreq = 7, f.rate = 29, f.pcmr = 7; })) +
                    neutral(8),
                {"   PCM core samples = 32", "   PCM sample blocks = 16", "   Primary frame byte size = 2012",
                 "   Audio channel arrangement = User defined",
                 "   Core audio sampling frequency = 22,05 kHz", "   Transmission bitrate = open kbit/s",
                 "   LFE present = present (IF:64)", "   Encoder software rev. = 7, Current",
                 "   Source PCM resolution = "}},
        DtsCase{"ExtensionSyncWords",
                neutral(3) + ByteVec{0x5A, 0x5A, 0x5A, 0x5A} + neutral(5) + ByteVec{0x1D, 0x95, 0xF2, 0x62} +
                    neutral(2),
                {"   Channel extension found", "   96 kHz extensiond found"}},
        // The chunk's last byte is never taken by the search.
        DtsCase{"SyncWordEndingTheChunk", neutral(10) + ByteVec{0x7F, 0xFE, 0x80, 0x01}, {}},
        DtsCase{"NoSyncWord", neutral(300), {}}),
    [](const ::testing::TestParamInfo<DtsCase>& info) { return info.param.name; });

TEST(DtsInfo, TwoCoreHeadersInOneChunkAreBothReported) {
    DtsFields second;
    second.amode = 2;
    second.sfreq = 12;
    second.rate = 15;
    second.lff = 1;
    const ByteVec bytes = dtsCore({}) + neutral(90) + dtsCore(second) + neutral(90);
    Lines expected = k51Lines;
    for (const char* line :
         {"   PCM core samples = 32", "   PCM sample blocks = 16", "   Primary frame byte size = 2012",
          "   Audio channel arrangement = L + R (stereo)", "   Core audio sampling frequency = 24 kHz",
          "   Transmission bitrate = 768 kbit/s", "   LFE present = present (IF:128)",
          "   Encoder software rev. = 7, Current", "   Source PCM resolution = 24 bits"})
        expected.push_back(line);
    EXPECT_EQ(run(bytes), expected);
}

TEST(DtsInfo, ExtensionSyncAfterACoreHeader) {
    EXPECT_EQ(run(dtsCore({}) + neutral(20) + ByteVec{0x5A, 0x5A, 0x5A, 0x5A} + neutral(1)), [] {
        Lines l = k51Lines;
        l.push_back("   Channel extension found");
        return l;
    }());
}

// A header that the chunk cuts off reports the fields that lie wholly in the chunk; the bytes
// after the chunk (here the rest of the very header) are not read.
TEST(DtsInfo, HeaderCutOffByTheChunkReportsTheFieldsInside) {
    const ByteVec header = dtsCore({}) + neutral(10);
    struct Cut {
        std::size_t headerBytes; // of the header after the sync word
        std::size_t lines;
    };
    // Field ends (bits): SHORT 6, NBLKS 14, FSIZE 28, AMODE 34, SFREQ 38, RATE 43, LFF 55,
    // VERNUM 61, PCMR 66.
    for (const Cut cut : {Cut{0, 0}, Cut{1, 1}, Cut{2, 2}, Cut{3, 2}, Cut{4, 3}, Cut{5, 5}, Cut{6, 6},
                          Cut{7, 7}, Cut{8, 8}, Cut{9, 9}}) {
        AnalyserRun r(header);
        DTSinfo(r.state, r.host, r.offset, static_cast<std::int32_t>(4 + cut.headerBytes), 0);
        const Lines want(k51Lines.begin(), k51Lines.begin() + static_cast<std::ptrdiff_t>(cut.lines));
        EXPECT_EQ(r.host.lines, want) << cut.headerBytes << " header bytes in the chunk";
    }
}

TEST(DtsInfo, HeaderAtTheEndOfTheReadBuffer) {
    // The reader reads ahead past the header's last byte, which is the buffer's last byte.
    const ByteVec header = dtsCore({});
    ASSERT_EQ(header.size(), 13u);
    AnalyserRun whole(header, static_cast<std::int32_t>(kReadBufSize - header.size()));
    DTSinfo(whole.state, whole.host, whole.offset, whole.length, 0);
    EXPECT_EQ(whole.host.lines, k51Lines);

    AnalyserRun cut(ByteVec(header.begin(), header.begin() + 8), static_cast<std::int32_t>(kReadBufSize - 8));
    DTSinfo(cut.state, cut.host, cut.offset, cut.length, 0);
    EXPECT_EQ(cut.host.lines, Lines(k51Lines.begin(), k51Lines.begin() + 3));
}

TEST(DtsInfo, EmptyChunkLogsNothing) {
    AnalyserRun r(dtsCore({}));
    DTSinfo(r.state, r.host, r.offset, 0, 0);
    DTSinfo(r.state, r.host, r.offset, -1, 0);
    DTSinfo(r.state, r.host, r.offset, 1, 0);
    EXPECT_TRUE(r.host.lines.empty());
}

// Reads of every width at every bit alignment give the stream's bits, most significant first,
// and leave the position 4 + B div 8 bytes after the start.
TEST(DtsBitReader, ReadsBitsMostSignificantFirst) {
    ByteVec data(64);
    std::uint32_t x = 0x12345678;
    for (auto& b : data) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 23);
    }
    auto reference = [&](std::size_t bit, int n) {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i, ++bit)
            v = (v << 1) | ((data[bit / 8] >> (7 - bit % 8)) & 1u);
        return v;
    };
    for (int first = 0; first <= 7; ++first) {
        for (int n = 1; n <= 16; ++n) {
            DtsBitReader reader(data.data(), data.size());
            reader.initbits();
            std::size_t bit = 0;
            if (first > 0) {
                reader.skipbits(first);
                bit += static_cast<std::size_t>(first);
            }
            for (int k = 0; k < 12; ++k) {
                const int width = k % 3 == 2 ? 17 - n : n; // mix widths so all alignments meet
                ASSERT_EQ(reader.getbits(width), reference(bit, width))
                    << "first " << first << ", width " << width << ", at bit " << bit;
                bit += static_cast<std::size_t>(width);
                ASSERT_EQ(reader.position, 4 + bit / 8);
                ASSERT_EQ(reader.used, static_cast<int>(bit % 8));
            }
        }
    }
}

TEST(DtsBitReader, BytesPastTheChunkReadAsZero) {
    const ByteVec data = {0xFF, 0xFF};
    DtsBitReader reader(data.data(), data.size());
    reader.initbits();
    EXPECT_EQ(reader.window, 0xFFFF0000u);
    EXPECT_TRUE(reader.fieldInChunk(16));
    EXPECT_FALSE(reader.fieldInChunk(17));
    EXPECT_EQ(reader.getbits(12), 0xFFFu);
    EXPECT_TRUE(reader.fieldInChunk(4));
    EXPECT_FALSE(reader.fieldInChunk(5));
    EXPECT_EQ(reader.getbits(8), 0xF0u);
}

} // namespace
} // namespace ombrix::testing
