#pragma once
// What the playlist reader keeps for the length of the program.

#include <array>
#include <string>

namespace ombrix {

struct XplState {
    // The codec descriptions of the attribute items, numbered 1 to 8 (index 0 unused).
    std::array<std::string, 9> XPLvideo, XPLaudio, XPLsub;
};

} // namespace ombrix
