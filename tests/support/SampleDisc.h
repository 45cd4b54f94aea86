#pragma once
// Small HD DVD-shaped files for tests and the sample disc: a feature split over
// HVDVD_TS/FEATURE_1.EVO and FEATURE_2.EVO, built with the pack muxer, with everything a test
// needs to know what the program must find and write.

#include "support/PsBuilder.h"

#include <string>
#include <vector>

namespace ombrix::testing {

struct BuiltFile {
    std::string path;
    std::vector<StreamSpec> streams;
    MuxResult mux;
    // Streams in the order of their first packet in the file.
    std::vector<std::size_t> firstAppearance() const;
};

struct FeaturePair {
    BuiltFile first, second;
};

// FEATURE_1.EVO: VC-1 0x55, DD+ 0xC0, subpictures 0x20 and 0x21; FEATURE_2.EVO: VC-1 0x55,
// DD+ 0xC0, DTS 0x89 and subpicture 0x20 — time stamps run on from the first file into the
// second. `framesPerFile` VC-1 frames of `frameSize` bytes each; the other streams scale along.
FeaturePair makeFeaturePair(const std::string& hvdvdTsFolder, std::size_t framesPerFile = 48,
                            std::size_t frameSize = 6000);

// Writes one file of the given streams (2048-byte packs, a system header first).
BuiltFile writeStreams(const std::string& path, std::vector<StreamSpec> streams, MuxOptions opt = {});

// The bytes a demux must write for stream i of a file: its payloads; for subpictures SUP
// records: "SP", PTS - base (little-endian, 32 bits), four zero bytes, then the unit's data.
Bytes expectedOutput(const BuiltFile& file, std::size_t stream, std::uint32_t ptsBase = 0);

} // namespace ombrix::testing
