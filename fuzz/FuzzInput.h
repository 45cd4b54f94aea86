#pragma once
// Reads the fuzzer's bytes as the settings of one run (options, ticks, stream tables, sizes)
// followed by the data. Running out of bytes gives zeros, so every input is a valid run.

#include <cstddef>
#include <cstdint>

namespace ombrix::fuzz {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = v << 8 | byte();
        return v;
    }
    bool bit(std::uint64_t bits, int k) const { return (bits >> k & 1u) != 0; }
    std::uint64_t bits(int count) {
        std::uint64_t v = 0;
        for (int i = 0; i < (count + 7) / 8; ++i)
            v |= std::uint64_t{byte()} << (8 * i);
        return v;
    }

    const std::uint8_t* rest() const { return data_ + (pos_ < size_ ? pos_ : size_); }
    std::size_t restSize() const { return pos_ < size_ ? size_ - pos_ : 0; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace ombrix::fuzz
