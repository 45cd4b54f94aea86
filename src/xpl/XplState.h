#pragma once
// What the playlist reader keeps for the length of the program.

#include <array>
#include <string>

namespace ombrix {

struct XplState {
    static constexpr int kFirstEntry = 1;
    static constexpr int kLastEntry = 8;
    // The codec descriptions of the attribute items, numbered 1 to 8 (index 0 unused); a
    // later read overwrites only the entries its file names.
    std::array<std::string, 9> XPLvideo, XPLaudio, XPLsub;
};

} // namespace ombrix
