#pragma once
// Runs an analyser on bytes placed in the read buffer and records the lines it logs.

#include "engine/EngineHost.h"
#include "engine/Format.h"
#include "engine/State.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

namespace ombrix::testing {

using Lines = std::vector<std::string>;
using ByteVec = std::vector<std::uint8_t>;

// An engine host that records the log and writes numbers with a chosen decimal separator.
class RecordingHost : public EngineHost {
  public:
    Lines lines;
    char decimal = '.';

    void log(const std::string& text) override { lines.push_back(text); }
    void slog(const std::string&, std::uint8_t) override {}
    bool fastCheck() override { return false; }
    bool countFrames() override { return false; }
    bool details() override { return true; }
    bool videoTicked(int) override { return false; }
    bool audioTicked(int) override { return false; }
    bool subTicked(int) override { return false; }
    void setCancelEnabled(bool) override {}
    void processMessages() override {}
    void repaintWindow() override {}
    double now() override { return 0; }
    std::string timeText(double days) override { return formatTimeOfDay(days, "hh:mm:ss"); }
    std::string floatText(double value) override { return generalFloat(value, decimal); }
};

// A state whose read buffer holds `bytes` at `offset` (the rest of the buffer is `fill`), with
// the AC-3 tables filled as every pass fills them.
struct AnalyserRun {
    EngineState state;
    RecordingHost host;
    std::int32_t offset = 0;
    std::int32_t length = 0;

    explicit AnalyserRun(const ByteVec& bytes, std::int32_t at = 100, std::uint8_t fill = 0) {
        if (at < 0 || static_cast<std::size_t>(at) + bytes.size() > kReadBufSize)
            throw std::invalid_argument("chunk outside the read buffer");
        std::memset(state.ReadBuf, fill, kReadBufSize);
        if (!bytes.empty()) std::memcpy(state.ReadBuf + at, bytes.data(), bytes.size());
        state.fillAc3Tables();
        offset = at;
        length = static_cast<std::int32_t>(bytes.size());
    }
};

inline ByteVec operator+(ByteVec a, const ByteVec& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Writes fields MSB first, as the headers of the codecs lay them out.
class BitWriter {
  public:
    BitWriter& put(std::uint64_t value, int bits) {
        if (bits < 64 && (value >> bits) != 0) throw std::invalid_argument("value wider than its field");
        for (int i = bits - 1; i >= 0; --i) {
            if (used_ == 0) bytes_.push_back(0);
            if ((value >> i) & 1) bytes_.back() |= static_cast<std::uint8_t>(0x80 >> used_);
            used_ = (used_ + 1) % 8;
        }
        return *this;
    }
    // Pads the last byte with zero bits.
    ByteVec bytes() const { return bytes_; }
    std::size_t bitCount() const { return bytes_.size() * 8 - (used_ == 0 ? 0 : 8 - used_); }

  private:
    ByteVec bytes_;
    int used_ = 0;
};

// n bytes that hold no start code prefix (00 00 01) and no AC-3 or DTS sync pattern.
inline ByteVec neutral(std::size_t n, std::uint8_t value = 0xAA) {
    return ByteVec(n, value);
}

} // namespace ombrix::testing
