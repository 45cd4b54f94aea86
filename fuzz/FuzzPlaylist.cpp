// The playlist reader on arbitrary bytes and on realistic playlists with a damaged stretch:
// the tag scanner (fed in blocks of a size the input chooses), the attribute tables of every
// tag line, the cut down to the title of the chosen EVO file, and the title's listing.
//
// Input: a flags byte (bits 0-1: the bytes alone, or put into the worked example or the large
// sample playlist in place of a stretch; bits 2-4 the block size; bits 5-7 the EVO base name),
// 4 bytes for where the stretch starts, 4 for its length (its low 16 bits), then the bytes.

#include "FuzzInput.h"
#include "engine/Errors.h"
#include "tests/xpl/SamplePlaylist.h"
#include "tests/xpl/WorkedExample.h"
#include "xpl/PlaylistAttributes.h"
#include "xpl/TagScanner.h"
#include "xpl/TitleListing.h"
#include "xpl/XplState.h"

#include <algorithm>
#include <array>
#include <string>

using namespace ombrix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string examples[2] = {testing::workedExampleText(), testing::lighthousePlaylist()};
    static const std::array<std::size_t, 8> blockSizes = {262144, 1, 2, 3, 7, 64, 1000, 4096};
    static const std::array<const char*, 8> baseNames = {"FEATURE_1", "FEATURE_2", "",   "F",
                                                         "Title",     "<",         "\"", "FEATURE"};
    fuzz::FuzzInput in(data, size);
    const std::uint8_t flags = in.byte();
    const std::uint32_t at = in.u32();
    const std::uint32_t cut = in.u32() & 0xFFFF;

    std::string text(reinterpret_cast<const char*>(in.rest()), in.restSize());
    if ((flags & 3) == 1 || (flags & 3) == 2) {
        const std::string& base = examples[(flags & 3) - 1];
        const std::size_t start = at % (base.size() + 1);
        const std::size_t end = std::min(base.size(), start + cut);
        text = base.substr(0, start) + text + base.substr(end);
    }
    const std::size_t blockSize = blockSizes[(flags >> 2) & 7];
    const std::string baseName = baseNames[(flags >> 5) & 7];

    XplState tables;
    xpl::TagScanner scanner;
    xpl::PlaylistAttributes attributes(tables);
    scanner.onLine = [&](const std::string& line) { attributes.collect(line); };
    try {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        for (std::size_t pos = 0; pos < text.size(); pos += blockSize)
            scanner.feed(bytes + pos, std::min(blockSize, text.size() - pos));
    } catch (const Error&) {
        // An attribute item whose index is no whole number ends the read: the user's error.
        return 0;
    }

    std::array<std::int32_t, 16> video{}, audio{}, sub{};
    video.fill(-1), audio.fill(-1), sub.fill(-1);
    std::vector<std::string>& lines = scanner.lines();
    if (xpl::trimToTitle(lines, baseName)) {
        const xpl::TitleListing listing =
            xpl::listTitle(lines, attributes.playlistTitle(), tables,
                           {std::span<std::int32_t, 16>(video), std::span<std::int32_t, 16>(audio),
                            std::span<std::int32_t, 16>(sub)});
        // A slot is either untouched or marked as listed; nothing else may land in the table.
        for (const auto* table : {&video, &audio, &sub})
            for (std::int32_t v : *table)
                if (v != -1 && v != xpl::kListedMarker) __builtin_trap();
        (void)listing;
    }
    return 0;
}
