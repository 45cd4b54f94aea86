#pragma once
// The demo disc: a small HD DVD feature to try the program on. HVDVD_TS/FEATURE_1.EVO and
// FEATURE_2.EVO (a few MB each) carry VC-1 video (1920x1080, Advanced Profile, 24000/1001, a
// sequence header and entry point every second), a Dolby Digital Plus 5.1 stream (0xC0), a DTS
// 5.1 stream (0x89) with real frame headers, and two subpicture streams (0x20, 0x21); the time
// stamps of FEATURE_2 run on from those of FEATURE_1. ADV_OBJ/VPLST000.XPL names both files as
// the clips of one title, with languages and chapters.

#include "support/SampleDisc.h"

#include <string>

namespace ombrix::testing {

struct DemoDisc {
    std::string root;     // the disc's folder
    std::string feature1; // root/HVDVD_TS/FEATURE_1.EVO
    std::string feature2; // root/HVDVD_TS/FEATURE_2.EVO
    std::string playlist; // root/ADV_OBJ/VPLST000.XPL
    BuiltFile first, second;
};

inline constexpr std::size_t kDemoFramesPerFile = 360; // 15 s at 24000/1001
inline constexpr std::uint32_t kDemoFrameTicks = 3754; // 90 kHz ticks per frame

// Writes the demo disc into `root` (made when missing; files already there are replaced).
DemoDisc makeDemoDisc(const std::string& root);

// The playlist's text (LF line ends, tabs).
std::string demoPlaylist();

} // namespace ombrix::testing
