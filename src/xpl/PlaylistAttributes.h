#pragma once
// What the reader remembers from the tag lines as they are scanned: the playlist's title and
// the codec descriptions of the attribute items, which the title's tracks refer to by number.

#include "xpl/XplState.h"

#include <string>

namespace ombrix::xpl {

class PlaylistAttributes {
  public:
    explicit PlaylistAttributes(XplState& tables) : tables_(tables) {}

    // Looks at one tag line. An attribute item whose index is not a whole number ends the
    // read with "'<index>' is not a valid integer value".
    void collect(const std::string& line);

    const std::string& playlistTitle() const { return title_; }

  private:
    struct ItemHolders {
        std::string index, codec;
    };
    void store(std::array<std::string, 9>& table, const std::string& line, ItemHolders& holders,
               bool withChannels);

    XplState& tables_;
    std::string title_;
    ItemHolders video_, audio_, sub_;
};

} // namespace ombrix::xpl
