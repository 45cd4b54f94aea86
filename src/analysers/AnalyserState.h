#pragma once
// What the stream analysers remember for themselves between calls.

#include <array>
#include <cstdint>
#include <string>

namespace ombrix {

struct AnalyserState {
    // The AC-3 analyser's own tables, which it fills at every call: audio blocks per E-AC-3
    // frame by numblkscod, and the channel mode names by acmod.
    std::array<std::uint32_t, 4> Ac3Blocks{};
    std::array<std::string, 8> Ac3ModeNames{};

    void fillAc3Tables();
};

} // namespace ombrix
