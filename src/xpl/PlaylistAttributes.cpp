#include "xpl/PlaylistAttributes.h"

#include "xpl/Attributes.h"

namespace ombrix::xpl {

void PlaylistAttributes::collect(const std::string& line) {
    if (line.find("Playlist") != std::string::npos) GetAttr(line, "displayName", title_);
    if (line.find("VideoAttributeItem") != std::string::npos) store(tables_.XPLvideo, line, video_, false);
    if (line.find("AudioAttributeItem") != std::string::npos) store(tables_.XPLaudio, line, audio_, true);
    if (line.find("SubpictureAttributeItem") != std::string::npos) store(tables_.XPLsub, line, sub_, false);
}

void PlaylistAttributes::store(std::array<std::string, 9>& table, const std::string& line,
                               ItemHolders& holders, bool withChannels) {
    const std::int32_t index = StrToInt(GetAttr(line, "index", holders.index));
    std::string text = GetAttr(line, "codec", holders.codec);
    if (withChannels) {
        std::string channels;
        GetAttr(line, "channels", channels);
        if (!channels.empty()) text += "." + channels + "ch";
    }
    // The tables have entries 1 to 8; an item numbered otherwise is not kept.
    if (index >= XplState::kFirstEntry && index <= XplState::kLastEntry)
        table[static_cast<std::size_t>(index)] = std::move(text);
}

} // namespace ombrix::xpl
