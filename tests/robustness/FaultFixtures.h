#pragma once
// Inputs for the fault tests and what the program must have written from them.

#include "support/SampleDisc.h"

#include <cstdint>
#include <map>
#include <string>

namespace ombrix::testing {

// VC-1 0x55, DD+ 0xC0, DTS 0x89, LPCM 0xA2, MLP 0xB3 and subpicture 0x20, in 2048-byte packs,
// about `scale` × 100 KB.
BuiltFile writeFaultInput(const std::string& path, std::size_t scale = 1);

// The bytes a demux of the file cut after `cut` bytes must write for an audio or video stream:
// its payload bytes that lie before the cut.
Bytes outputBefore(const BuiltFile& file, std::size_t stream, std::size_t cut);

bool isPrefix(const Bytes& part, const Bytes& whole);

// Every regular file in a folder by name, with its contents (links are left out).
std::map<std::string, Bytes> filesIn(const std::string& dir);

} // namespace ombrix::testing
