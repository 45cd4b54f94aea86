#include "rebuild/PackRewrite.h"

#include "engine/EngineHost.h"
#include "rebuild/Renumbering.h"

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

bool rebuildBlock(std::uint8_t* block, Renumbering& renumbering, EngineHost& host) {
    const std::uint8_t sid = block[17];
    if (sid == kSystemHeader) setSystemHeaderBounds(block, host);
    const std::size_t h = block[22];
    if (!startsWithPackStartCode(block)) return false;

    // The byte that names the packet's stream, when a drop test covers it.
    std::uint8_t* idByte = nullptr;
    bool dropped = false;
    if (sid == kPrivateStream1) {
        std::uint8_t* sub = block + 23 + h;
        if (isAudioSubstream(*sub)) {
            dropped = renumbering.DropAudio(*sub);
            idByte = sub;
        } else if (isSubpictureSubstream(*sub)) {
            dropped = renumbering.DropSub(*sub);
            idByte = sub;
        }
    } else if (sid == kExtendedStreamId) {
        std::uint8_t* ext = block + 22 + h;
        if (*ext == 0x55 || *ext == 0x56) {
            dropped = renumbering.DropVideo(*ext);
            idByte = ext;
        }
    } else if (in(sid, 0xE0, 0xE3)) {
        dropped = renumbering.DropVideo(sid);
        idByte = block + 17;
    } else if (in(sid, 0xC0, 0xDF)) {
        dropped = renumbering.DropAudio(sid);
        idByte = block + 17;
    }
    if (idByte) *idByte = renumbering.newId(*idByte);
    return !dropped;
}

} // namespace ombrix
