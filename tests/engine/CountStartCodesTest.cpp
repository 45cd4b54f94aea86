#include "engine/Payload.h"

#include <gtest/gtest.h>

#include <random>

namespace ombrix {
namespace {

// The byte rule itself: a 32-bit window over the chunk, starting at zero.
std::int32_t byteRule(const std::vector<std::uint8_t>& d, std::uint32_t code) {
    std::uint32_t r = 0;
    std::int32_t n = 0;
    for (auto b : d) {
        r = (r << 8) | b;
        if (r == code) ++n;
    }
    return n;
}

TEST(CountStartCodes, CountsCodesWhoseZerosLieBeforeTheChunk) {
    using V = std::vector<std::uint8_t>;
    struct Case {
        V bytes;
        std::uint32_t code;
        std::int32_t count;
    } cases[] = {
        {{0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0xB3}, 0x100, 2}, // two pictures and a sequence header
        {{1, 0}, 0x100, 1},                                  // the zeros were in the previous chunk
        {{0, 1, 0}, 0x100, 1},
        {{0}, 0x100, 0},
        {{}, 0x100, 0},
        {{0, 0, 1}, 0x100, 0},                               // the last byte is in the next chunk
        {{5, 1, 0}, 0x100, 0},
        {{5, 0, 1, 0}, 0x100, 0},
        {{0, 0, 0, 1, 9}, 0x109, 1},                         // H.264 access unit delimiter
        {{0, 0, 1, 0x0D, 0, 0, 1, 0x0F, 0, 0, 1, 0x0D}, 0x10D, 2},
        {{0, 0, 1, 0, 0, 1, 0}, 0x100, 2},                   // overlapping windows
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CountStartCodes(c.bytes.data(), c.bytes.size(), c.code), c.count);
        EXPECT_EQ(byteRule(c.bytes, c.code), c.count) << "the table itself is wrong";
    }
}

TEST(CountStartCodes, AgreesWithTheByteRuleOnStartCodeRichData) {
    std::mt19937 rng(7);
    for (std::uint32_t code : {0x100u, 0x109u, 0x10Du}) {
        for (int trial = 0; trial < 200; ++trial) {
            std::vector<std::uint8_t> d(static_cast<std::size_t>(rng() % 3000));
            // Mostly zeros, ones and the code's last byte, so that codes and near-codes are common.
            const std::uint8_t alphabet[] = {0, 0, 0, 1, 1, static_cast<std::uint8_t>(code), 0xB3, 0x55};
            for (auto& b : d) b = alphabet[rng() % sizeof alphabet];
            ASSERT_EQ(CountStartCodes(d.data(), d.size(), code), byteRule(d, code));
        }
    }
}

} // namespace
} // namespace ombrix
