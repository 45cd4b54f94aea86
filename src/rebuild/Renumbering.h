#pragma once
// The three deciding routines of a rebuild: whether the packs of a stream key are left out
// (its stream sits in a slot whose check box is not ticked), and, for a key that is kept, its
// new number in the order in which the kept streams first occur.

#include <cstdint>

namespace ombrix {

struct EngineState;
struct RebuildState;
class EngineHost;

class Renumbering {
  public:
    // The stream table comes from `state`, the ticks from `host`, the numbers go to `numbers`.
    Renumbering(RebuildState& numbers, const EngineState& state, EngineHost& host)
        : numbers_(numbers), state_(state), host_(host) {}

    // Each yields true when the key's packs are to be left out. A kept key without a number
    // gets the next one of its kind.
    bool DropVideo(std::uint8_t key);
    bool DropAudio(std::uint8_t key);
    bool DropSub(std::uint8_t key);

    // The key's new number (kNoNewId when it has none).
    std::uint8_t newId(std::uint8_t key) const;

  private:
    RebuildState& numbers_;
    const EngineState& state_;
    EngineHost& host_;
};

} // namespace ombrix
