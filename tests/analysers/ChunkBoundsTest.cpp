// Every analyser reads its chunk only: what follows the chunk in the read buffer never changes
// its lines, and a chunk at the very end of the buffer (or one said to run past it) is safe.

#include "HeaderFixtures.h"
#include "analysers/Analysers.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstring>
#include <functional>
#include <random>

namespace ombrix::testing {
namespace {

using Analyser = std::function<void(EngineState&, EngineHost&, std::int32_t, std::int32_t)>;

struct Family {
    const char* name;
    Analyser run;
    ByteVec header; // sprinkled into the random data
};

void PrintTo(const Family& c, std::ostream* os) {
    *os << c.name;
}

std::vector<Family> families() {
    return {
        {"AC3info",
         [](EngineState& s, EngineHost& h, std::int32_t o, std::int32_t l) { AC3info(s, h, o, l, 0); },
         ac3::eac3Header(767, 0, 3, 7, 1, 16)},
        {"DTSinfo",
         [](EngineState& s, EngineHost& h, std::int32_t o, std::int32_t l) { DTSinfo(s, h, o, l, 0); },
         dts::dtsCore({})},
        {"MPEG2info",
         [](EngineState& s, EngineHost& h, std::int32_t o, std::int32_t l) { MPEG2info(s, h, o, l, 1, 2); },
         mpeg2::sequenceHeader(720, 576, 2, 3, 15000) + mpeg2::sequenceExtension(0) +
             mpeg2::pictureHeader(1) + mpeg2::pictureCodingExtension()},
        {"VC1info",
         [](EngineState& s, EngineHost& h, std::int32_t o, std::int32_t l) { VC1info(s, h, o, l, 1, 2); },
         vc1::sequenceHeader({}) + ByteVec{0, 0, 1, 0x0D, 1, 2, 3, 4}},
        {"H264info",
         [](EngineState& s, EngineHost& h, std::int32_t o, std::int32_t l) { H264info(s, h, o, l, 1, 2); },
         h264::delimiter(0) + h264::parameterSet(100, 41)},
    };
}

class ChunkBounds : public ::testing::TestWithParam<Family> {};

TEST_P(ChunkBounds, BytesAfterTheChunkDoNotMatter) {
    const Family& f = GetParam();
    std::mt19937 random(7);
    EngineState state;
    state.fillAc3Tables();
    for (int round = 0; round < 300; ++round) {
        // Random bytes with a header somewhere; the chunk ends at a random point, often inside it.
        ByteVec data(300);
        for (auto& b : data)
            b = static_cast<std::uint8_t>(random() % 4 == 0 ? 0 : random());
        const std::size_t at = random() % 120;
        std::copy(f.header.begin(), f.header.end(), data.begin() + static_cast<std::ptrdiff_t>(at));
        const auto length = static_cast<std::int32_t>(at + random() % (f.header.size() + 4));
        const bool atBufferEnd = round % 3 == 0;
        const std::int32_t offset = atBufferEnd ? static_cast<std::int32_t>(kReadBufSize) - length
                                                : static_cast<std::int32_t>(random() % 1000);

        Lines seen[2];
        for (int variant = 0; variant < 2; ++variant) {
            std::memset(state.ReadBuf, variant == 0 ? 0x00 : 0xFF, kReadBufSize);
            std::memcpy(state.ReadBuf + offset, data.data(), static_cast<std::size_t>(length));
            if (!atBufferEnd) // what follows the chunk: the rest of the header, or other bytes
                std::memcpy(state.ReadBuf + offset + length, data.data() + length + (variant == 0 ? 0 : 7),
                            60);
            RecordingHost host;
            f.run(state, host, offset, length);
            seen[variant] = host.lines;
        }
        ASSERT_EQ(seen[0], seen[1]) << f.name << ", round " << round;
    }
}

TEST_P(ChunkBounds, ChunkSaidToRunPastTheBufferIsCutAtItsEnd) {
    const Family& f = GetParam();
    const auto at = static_cast<std::int32_t>(kReadBufSize - f.header.size());
    AnalyserRun whole(f.header, at);
    f.run(whole.state, whole.host, whole.offset, whole.length);
    AnalyserRun past(f.header, at);
    f.run(past.state, past.host, past.offset, past.length + 1000);
    EXPECT_FALSE(whole.host.lines.empty());
    EXPECT_EQ(past.host.lines, whole.host.lines);
    AnalyserRun outside(f.header, at);
    f.run(outside.state, outside.host, static_cast<std::int32_t>(kReadBufSize), 100);
    f.run(outside.state, outside.host, -50, 10);
    EXPECT_TRUE(outside.host.lines.empty());
}

INSTANTIATE_TEST_SUITE_P(Analysers, ChunkBounds, ::testing::ValuesIn(families()),
                         [](const ::testing::TestParamInfo<Family>& info) { return info.param.name; });

} // namespace
} // namespace ombrix::testing
