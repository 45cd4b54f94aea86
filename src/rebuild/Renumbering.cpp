#include "rebuild/Renumbering.h"

#include "engine/EngineHost.h"
#include "engine/State.h"
#include "rebuild/RebuildState.h"

namespace ombrix {

namespace {

// The first of the first `slots` entries that holds the key, or -1.
template <typename Table> int slotOf(const Table& table, int slots, std::uint8_t key) {
    for (int i = 0; i < slots; ++i)
        if (table[static_cast<std::size_t>(i)] == key) return i;
    return -1;
}

} // namespace

bool Renumbering::DropVideo(std::uint8_t key) {
    const int slot = slotOf(state_.VideoKey, 2, key);
    if (slot >= 0 && !host_.videoTicked(slot)) return true;
    std::uint8_t& id = numbers_.NewId[key];
    if (id == kNoNewId) {
        id = key == 0x55 || key == 0x56 ? static_cast<std::uint8_t>(0x55 + numbers_.NextVideo)
                                        : static_cast<std::uint8_t>((key & 0xFE) | numbers_.NextVideo);
        ++numbers_.NextVideo;
    }
    return false;
}

bool Renumbering::DropAudio(std::uint8_t key) {
    const int slot = slotOf(state_.AudioKey, 16, key);
    if (slot >= 0 && !host_.audioTicked(slot)) return true;
    std::uint8_t& id = numbers_.NewId[key];
    if (id == kNoNewId) {
        id = (key & 0xF0) == 0xC0 ? static_cast<std::uint8_t>(0xC0 | numbers_.NextAudio)
                                  : static_cast<std::uint8_t>((key & 0xF8) | numbers_.NextAudio);
        ++numbers_.NextAudio;
    }
    return false;
}

bool Renumbering::DropSub(std::uint8_t key) {
    const int slot = slotOf(state_.SubKey, 16, key);
    if (slot >= 0 && !host_.subTicked(slot)) return true;
    std::uint8_t& id = numbers_.NewId[key];
    if (id == kNoNewId) {
        id = static_cast<std::uint8_t>((key & 0xE0) | numbers_.NextSub);
        ++numbers_.NextSub;
    }
    return false;
}

std::uint8_t Renumbering::newId(std::uint8_t key) const {
    return numbers_.NewId[key];
}

} // namespace ombrix
