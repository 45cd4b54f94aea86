#pragma once
// The renumbering of a rebuild, shared by both files of a split feature.

#include <array>
#include <cstdint>

namespace ombrix {

// A NewId entry that holds no new number yet.
inline constexpr std::uint8_t kNoNewId = 255;

struct RebuildState {
    // The new number of each stream key, kNoNewId until one is given.
    std::array<std::uint8_t, 256> NewId{};
    // How many keys of each kind have been given a new number.
    std::uint8_t NextVideo = 0, NextAudio = 0, NextSub = 0;

    // The start of a rebuild: no key has a new number.
    void reset() {
        NewId.fill(kNoNewId);
        NextVideo = NextAudio = NextSub = 0;
    }
};

} // namespace ombrix
