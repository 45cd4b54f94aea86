#pragma once
// Randomly built program streams for the property tests: a few video, audio and subpicture
// streams of every family, of random sizes and packet layouts, each in a slot of its own, and
// numbered in the order in which they first appear in the file (so that a rebuild that keeps
// them all gives every stream the number it already has). The first pack holds the system
// header alone.

#include "support/SampleDisc.h"

#include <cstdint>
#include <string>

namespace ombrix::testing {

struct RandomFile {
    BuiltFile file;
    int video = 0, audio = 0, sub = 0;
};

// Deterministic for a draw; at least one stream.
RandomFile writeRandomStreams(const std::string& path, std::uint32_t draw);

} // namespace ombrix::testing
