#pragma once
// The engine pass over one open input file: block by block through the parser, with the
// progress line, the message pump, the fast-check limit and the system-header summary.

#include <cstdint>

namespace ombrix {

struct EngineState;
class EngineHost;

enum class PassMode : std::uint8_t { Scan = 0, Demux = 1 };

constexpr std::int64_t kProgressStep = 4194304;   // progress line and message pump
constexpr std::int64_t kRepaintStep = 67108864;   // whole-window repaint
constexpr std::int64_t kFastCheckLimit = 300000000;

// Runs the pass over state.InFile, which is open at its start; leaves it open.
void demux(EngineState& state, EngineHost& host, PassMode mode);

// The remaining-time estimate, in days, of a pass that started at `start`.
double remainingTime(double start, double now1, double now2, std::int64_t size, std::int64_t position);

} // namespace ombrix
