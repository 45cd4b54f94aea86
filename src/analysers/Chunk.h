#pragma once
// The bytes of one payload chunk in the read buffer, and the small texts the analysers share.

#include "engine/State.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace ombrix {

// The chunk [offset, offset + length) of the read buffer, cut to the buffer: an analyser never
// reads outside it, whatever offset and length it is given. A length of 0 or less is empty.
struct Chunk {
    const std::uint8_t* data;
    std::size_t size;

    Chunk(const EngineState& state, std::int32_t offset, std::int32_t length) : data(state.ReadBuf), size(0) {
        const auto bufSize = static_cast<std::int64_t>(kReadBufSize);
        const std::int64_t begin = std::clamp<std::int64_t>(offset, 0, bufSize);
        const std::int64_t end = std::clamp<std::int64_t>(std::int64_t{offset} + length, begin, bufSize);
        data = state.ReadBuf + begin;
        size = static_cast<std::size_t>(end - begin);
    }

    const std::uint8_t* begin() const { return data; }
    const std::uint8_t* end() const { return data + size; }
};

// `digits` upper-case hexadecimal digits of value, zero-padded.
inline std::string hexDigits(std::uint64_t value, int digits) {
    static const char hex[] = "0123456789ABCDEF";
    std::string s(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        s[static_cast<std::size_t>(i)] = hex[value & 0xF];
    return s;
}

} // namespace ombrix
