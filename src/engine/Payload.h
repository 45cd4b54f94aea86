#pragma once
// What happens to each payload chunk: frame counting, the first-time-stamp reports with the
// analyser calls of a scan, and in a demux the append to the slot's output file.

#include "engine/Parser.h"

#include <cstddef>
#include <cstdint>

namespace ombrix {

struct EngineState;
class EngineHost;

// The 32-bit value that starts a frame in each video coding.
constexpr std::uint32_t frameStartCode(VideoCoding coding) {
    return coding == VideoCoding::Mpeg2 ? 0x00000100u : coding == VideoCoding::H264 ? 0x00000109u : 0x0000010Du;
}

// Counts the frame start codes in data[0..length): the 32-bit window over the chunk's bytes,
// starting from 0, equals the code (so a code whose leading zeros lie before the chunk counts).
std::int32_t CountStartCodes(const std::uint8_t* data, std::size_t length, std::uint32_t code);

class PayloadHandler : public PayloadSink {
public:
    PayloadHandler(EngineState& state, EngineHost& host) : state_(state), host_(host) {}
    void setDemuxMode(bool demux) { demuxMode_ = demux; }
    void chunk(std::int32_t offset, std::int32_t length, ParserRecord& rec) override;

private:
    void report(std::int32_t offset, std::int32_t length, ParserRecord& rec);
    void output(std::int32_t offset, std::int32_t length, ParserRecord& rec);

    EngineState& state_;
    EngineHost& host_;
    bool demuxMode_ = false;
};

} // namespace ombrix
