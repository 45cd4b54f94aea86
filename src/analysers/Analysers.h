#pragma once
// The stream analysers: each reads one payload chunk of the read buffer (the first chunk of a
// stream in a scan with "Detailed info") and writes the stream's coding parameters to the log.

#include <cstdint>

namespace ombrix {

struct EngineState;
class EngineHost;

// Dolby Digital Plus (E-AC-3) and AC-3 syncframes.
void AC3info(EngineState& state, EngineHost& host, std::int32_t offset, std::int32_t length,
             std::int32_t slot);
// DTS core headers.
void DTSinfo(EngineState& state, EngineHost& host, std::int32_t offset, std::int32_t length,
             std::int32_t slot);
// VC-1 sequence and entry-point headers.
void VC1info(EngineState& state, EngineHost& host, std::int32_t offset, std::int32_t length,
             std::uint32_t dts, std::int64_t videoPts);
// H.264 access unit delimiters and parameter sets.
void H264info(EngineState& state, EngineHost& host, std::int32_t offset, std::int32_t length,
              std::uint32_t videoPts, std::uint32_t dts);
// MPEG-2 sequence headers.
void MPEG2info(EngineState& state, EngineHost& host, std::int32_t offset, std::int32_t length,
               std::uint32_t videoPts, std::uint32_t dts);

} // namespace ombrix
