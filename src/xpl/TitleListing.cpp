#include "xpl/TitleListing.h"

#include "xpl/Attributes.h"

#include <set>
#include <string_view>

namespace ombrix::xpl {

namespace {

bool contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

const std::string& entry(const std::array<std::string, 9>& table, std::int32_t number) {
    static const std::string none;
    if (number < XplState::kFirstEntry || number > XplState::kLastEntry) return none;
    return table[static_cast<std::size_t>(number)];
}

// Whether a track numbered `number` is listed for the first time: by its slot for the
// numbers 1 to 16, by the numbers already seen for any other (which have no slot).
class FirstListing {
  public:
    explicit FirstListing(std::span<std::int32_t, 16> slots) : slots_(slots) {}
    bool claim(std::int32_t number) {
        if (number < 1 || number > kSlotCount) return outside_.insert(number).second;
        std::int32_t& slot = slots_[static_cast<std::size_t>(number - 1)];
        if (slot != -1) return false;
        slot = kListedMarker;
        return true;
    }

  private:
    std::span<std::int32_t, 16> slots_;
    std::set<std::int32_t> outside_;
};

// "0" before a stream's slot number below 10.
std::string streamSlotText(std::int32_t number) {
    const std::int64_t slot = std::int64_t{number} - 1; // the lowest number has a slot text too
    return (slot < 10 ? "0" : "") + std::to_string(slot);
}

} // namespace

bool trimToTitle(std::vector<std::string>& lines, const std::string& baseName) {
    std::size_t named = 0;
    while (named < lines.size() && !contains(lines[named], baseName))
        ++named;
    if (named == lines.size() || named == 0) return false;

    for (std::size_t i = named; i-- > 0;) {
        if (contains(upperCase(lines[i]), "<TITLE ")) {
            lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (contains(upperCase(lines[i]), "</TITLE")) {
            if (i > 0) lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1, lines.end());
            break;
        }
    }
    return true;
}

TitleListing listTitle(const std::vector<std::string>& lines, const std::string& playlistTitle,
                       const XplState& tables, StreamSlots slots) {
    TitleListing out;
    if (!playlistTitle.empty()) out.info.push_back("Title: " + playlistTitle);

    // One holder per lookup: a line without the attribute shows the last value found.
    std::string titleName, titleDuration, audioDescription, subDescription, chapterBegin, chapterName;
    FirstListing video(slots.video), audio(slots.audio), sub(slots.sub);

    for (const std::string& line : lines) {
        const std::string upper = upperCase(line);
        if (contains(upper, "<TITLE ")) {
            out.info.push_back("Name: " + GetAttr(line, "displayName", titleName));
            out.info.push_back("Duration: " + GetAttr(line, "titleDuration", titleDuration));
        }
        if (contains(upper, "<VIDEO ")) {
            const std::int32_t t = GetAttrInt(line, "track");
            if (video.claim(t)) {
                std::string text = entry(tables.XPLvideo, GetAttrInt(line, "mediaAttr")) + ".stream." +
                                   std::to_string(std::int64_t{t} - 1);
                out.video.push_back(text);
                out.tracks.push_back({XplTrack::Kind::Video, t, std::move(text)});
            }
        }
        if (contains(upper, "<AUDIO ")) {
            const std::int32_t s = GetAttrInt(line, "streamNumber");
            if (audio.claim(s)) {
                std::string text = entry(tables.XPLaudio, GetAttrInt(line, "mediaAttr")) + ".stream." +
                                   streamSlotText(s) + "." + GetAttr(line, "description", audioDescription);
                out.audio.push_back(text);
                out.tracks.push_back({XplTrack::Kind::Audio, s, std::move(text)});
            }
        }
        if (contains(upper, "<SUBTITLE ")) {
            const std::int32_t s = GetAttrInt(line, "streamNumber");
            if (sub.claim(s)) {
                std::string text = entry(tables.XPLsub, GetAttrInt(line, "mediaAttr")) + ".stream." +
                                   streamSlotText(s) + "." + GetAttr(line, "description", subDescription);
                out.subtitle.push_back(text);
                out.tracks.push_back({XplTrack::Kind::Subtitle, s, std::move(text)});
            }
        }
        if (contains(upper, "<CHAPTER ")) {
            const std::string& begin = GetAttr(line, "titleTimeBegin", chapterBegin);
            out.chapter.push_back(begin + ": " + GetAttr(line, "displayName", chapterName));
        }
    }
    return out;
}

} // namespace ombrix::xpl
