#include "rebuild/PackRewrite.h"

#include "engine/EngineHost.h"
#include "rebuild/Renumbering.h"

#include <algorithm>

namespace ombrix {

namespace {

constexpr std::uint8_t kSystemHeader = 0xBB;
constexpr std::uint8_t kPrivateStream1 = 0xBD;
constexpr std::uint8_t kExtendedStreamId = 0xFD;

bool in(std::uint8_t v, std::uint8_t lo, std::uint8_t hi) {
    return v >= lo && v <= hi;
}

// Private stream 1 sub-streams with an audio check box: Dolby Digital and DTS, LPCM, MLP,
// Dolby Digital Plus.
bool isAudioSubstream(std::uint8_t id) {
    return in(id, 0x80, 0x8F) || in(id, 0xA0, 0xA7) || in(id, 0xB0, 0xB7) || in(id, 0xC0, 0xCF);
}

// Sub-streams with a subpicture check box: subpictures and extended subpictures of slots 0-15.
bool isSubpictureSubstream(std::uint8_t id) {
    return in(id, 0x20, 0x2F) || in(id, 0x60, 0x6F);
}

bool startsWithPackStartCode(const std::uint8_t* b) {
    return b[0] == 0 && b[1] == 0 && b[2] == 1 && b[3] == 0xBA;
}

} // namespace

void setSystemHeaderBounds(std::uint8_t* block, EngineHost& host) {
    int video = 0;
    for (int slot = 0; slot < 2; ++slot)
        video += host.videoTicked(slot) ? 1 : 0;
    int audio = 0;
    for (int slot = 0; slot < 16; ++slot)
        audio += host.audioTicked(slot) ? 1 : 0;
    block[24] = static_cast<std::uint8_t>((block[24] & 0xE0) + video);
    block[23] = static_cast<std::uint8_t>((block[23] & 0x03) + 4 * audio);
}

namespace {

// The drop test and the new id of the packet that starts at `at` of the block (its stream id
// at at + 3, its header data length h at at + 8, the last header byte at at + 8 + h, the first
// payload byte at at + 9 + h). Returns true when the packet's stream is left out.
bool examinePacket(std::uint8_t* block, std::size_t at, Renumbering& renumbering) {
    const std::uint8_t sid = block[at + 3];
    const std::size_t h = block[at + 8];
    std::uint8_t* idByte = nullptr;
    bool dropped = false;
    if (sid == kPrivateStream1) {
        std::uint8_t* sub = block + at + 9 + h;
        if (isAudioSubstream(*sub)) {
            dropped = renumbering.DropAudio(*sub);
            idByte = sub;
        } else if (isSubpictureSubstream(*sub)) {
            dropped = renumbering.DropSub(*sub);
            idByte = sub;
        }
    } else if (sid == kExtendedStreamId) {
        std::uint8_t* ext = block + at + 8 + h;
        if (*ext == 0x55 || *ext == 0x56) {
            dropped = renumbering.DropVideo(*ext);
            idByte = ext;
        }
    } else if (in(sid, 0xE0, 0xE3)) {
        dropped = renumbering.DropVideo(sid);
        idByte = block + at + 3;
    } else if (in(sid, 0xC0, 0xDF)) {
        dropped = renumbering.DropAudio(sid);
        idByte = block + at + 3;
    }
    if (idByte) *idByte = renumbering.newId(*idByte);
    return dropped;
}

// A pack that begins with a system header may carry a media packet after it (a disc's
// navigation pack carries private stream 2 there). That packet follows the drop tests too; a
// packet left out becomes padding of the same length, so the system header stays.
void examinePacketAfterSystemHeader(std::uint8_t* block, Renumbering& renumbering) {
    const std::size_t at = 20 + (static_cast<std::size_t>(block[18]) << 8 | block[19]);
    // A packet whose header is not wholly inside the pack is not looked at.
    if (at + 9 >= kPackSize || at + 9 + block[at + 8] >= kPackSize) return;
    if (block[at] != 0 || block[at + 1] != 0 || block[at + 2] != 1) return;
    if (!examinePacket(block, at, renumbering)) return;
    const std::size_t length = static_cast<std::size_t>(block[at + 4]) << 8 | block[at + 5];
    block[at + 3] = 0xBE;
    const std::size_t end = std::min(kPackSize, at + 6 + length);
    std::fill(block + at + 6, block + end, 0xFF);
}

} // namespace

bool rebuildBlock(std::uint8_t* block, Renumbering& renumbering, EngineHost& host) {
    const std::uint8_t sid = block[17];
    if (sid == kSystemHeader) setSystemHeaderBounds(block, host);
    if (!startsWithPackStartCode(block)) return false;
    if (sid == kSystemHeader) {
        examinePacketAfterSystemHeader(block, renumbering);
        return true;
    }
    return !examinePacket(block, 14, renumbering);
}

} // namespace ombrix
