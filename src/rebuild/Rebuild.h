#pragma once
// The copy of one source file of a rebuild, pack by pack, from state.InFile (open at its start)
// to state.VideoOut[0], with the progress line every 4 MiB, the message pump and Cancel.

#include <cstdint>
#include <string>

namespace ombrix {

struct EngineState;
struct RebuildState;
class EngineHost;

// Copies until the end of the file or a cancel; leaves both files open. `sourceName` is the
// source's file name without folder, for the progress line.
void Rebuild(EngineState& state, RebuildState& numbers, EngineHost& host, const std::string& sourceName);

// The progress line's remaining time, in days: the time spent scaled to the whole file, less
// the time spent, plus one second.
double rebuildRemainingTime(double elapsed, std::int64_t size, std::int64_t position);

} // namespace ombrix
