#pragma once
// Built EVO files for the window's tests: VC-1 video, a Dolby Digital and a Dolby Digital Plus
// stream and one subpicture stream, in 2048-byte packs.

#include <cstddef>
#include <string>

namespace ombrix::testing {

struct Sample {
    std::size_t fileSize = 0;
    std::size_t videoBytes = 0; // the elementary VC-1 data a demux writes for video stream 0
};

// Writes the sample to path; about videoBytes of video make up most of the file.
Sample writeSample(const std::string& path, std::size_t videoBytes);

} // namespace ombrix::testing
