#pragma once
// The renumbering of a rebuild, shared by both files of a split feature.

#include <array>
#include <cstdint>

namespace ombrix {

struct RebuildState {
    std::array<std::uint8_t, 256> NewId{};
    std::uint8_t NextVideo = 0, NextAudio = 0, NextSub = 0;
};

} // namespace ombrix
