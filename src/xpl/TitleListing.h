#pragma once
// From the scanned tag lines to the title that plays the chosen EVO file: cutting the lines
// down to that title, and listing its name, duration, tracks and chapters.

#include "xpl/XplState.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ombrix::xpl {

// Keeps only the title whose lines name `baseName` (case-sensitive): from the nearest line
// above the first mention that opens a title, to the first line after that which closes one.
// Returns false, leaving the lines as they are, when the name is not found or is found only
// on the first line.
bool trimToTitle(std::vector<std::string>& lines, const std::string& baseName);

struct XplTrack {
    enum class Kind { Video, Audio, Subtitle };
    Kind kind;
    // The video track number, or the audio or subtitle stream number, as the line gives it.
    std::int32_t number;
    std::string text;
};

// The texts under the five top-level nodes of the tree, and the tracks in the order listed.
struct TitleListing {
    std::vector<std::string> info, video, audio, subtitle, chapter;
    std::vector<XplTrack> tracks;
};

// Slots 0 to 15 of each kind of the stream table: a listed track or stream marks its slot
// with 1, so that one listed twice is shown once.
struct StreamSlots {
    std::span<std::int32_t, 16> video, audio, sub;
};

inline constexpr std::int32_t kListedMarker = 1;
inline constexpr std::int32_t kSlotCount = 16;

TitleListing listTitle(const std::vector<std::string>& lines, const std::string& playlistTitle,
                       const XplState& tables, StreamSlots slots);

} // namespace ombrix::xpl
