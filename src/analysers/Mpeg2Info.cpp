// MPEG2info: the sequence header and sequence extension fields of an MPEG-2 video stream's
// first chunk, the pictures before the first sequence header, illegal picture coding types
// and the first video PTS.

#include "analysers/Analysers.h"
#include "analysers/Chunk.h"
#include "engine/EngineHost.h"
#include "engine/State.h"

#include <array>
#include <cstdint>
#include <string>

namespace ombrix {

namespace {

const std::array<const char*, 16> kAspectRatio = {
    "forbidden", "square samples", "4:3",      "16:9",     "2.21:1",   "reserved", "reserved", "reserved",
    "reserved",  "reserved",       "reserved", "reserved", "reserved", "reserved", "reserved", "reserved"};

const std::array<const char*, 16> kFrameRate = {
    "forbidden", "23.976",   "24",       "25",       "29.97",    "30",       "50",       "59.94",
    "60",        "reserved", "reserved", "reserved", "reserved", "reserved", "reserved", "reserved"};

} // namespace

void MPEG2info(EngineState& state, EngineHost& host, std::int32_t offset, std::int32_t length,
               std::uint32_t videoPts, std::uint32_t) {
    const Chunk chunk(state, offset, length);

    std::uint32_t window = 0;
    int sequenceHeader = 0;   // bytes of a sequence header still to be looked at
    int pictureHeader = 0;    // bytes of a picture header still to be looked at
    int extensionId = 0;      // the next byte is an extension_start_code_identifier
    int pictureCodingExt = 0; // bytes of a picture coding extension still to be counted
    int sequenceExt = 0;      // the next byte is the sequence extension's second byte
    bool sequenceHeaderSeen = false;
    bool detailsDone = false;
    std::uint32_t picturesBefore = 0;
    int firstPts = 0;

    for (const std::uint8_t byte : chunk) {
        window = (window << 8) | byte;
        if (window == 0x00000100u) {
            pictureHeader = 2;
        } else if (window == 0x000001B3u) {
            sequenceHeader = 7;
            if (!sequenceHeaderSeen) {
                host.log("   Sequence Header found");
                host.log("   " + std::to_string(picturesBefore) + " frames before first Sequence Header");
                sequenceHeaderSeen = true;
                firstPts = 2;
            }
            picturesBefore = 0;
        } else if (sequenceHeader != 0) {
            --sequenceHeader;
            if (detailsDone) continue;
            switch (sequenceHeader) {
            case 4:
                host.log("   size = " + std::to_string((window >> 12) & 0xFFF) + "x" +
                         std::to_string(window & 0xFFF));
                break;
            case 3:
                host.log(std::string("   Aspect ratio = ") + kAspectRatio[(window >> 4) & 0xF]);
                host.log(std::string("   Frame rate = ") + kFrameRate[window & 0xF]);
                break;
            case 0:
                host.log("  Sequence header bitrate = " + std::to_string(((window >> 6) & 0x3FFFF) * 400) +
                         " bps");
                break;
            default:
                break;
            }
        } else if (pictureHeader != 0) {
            if (--pictureHeader == 0) {
                const std::uint32_t type = (window >> 3) & 7;
                if (type == 0 || type >= 4)
                    host.log("   illegal picture_coding_type = " + std::to_string(type));
            }
        } else if (window == 0x000001B5u) {
            extensionId = 1;
        } else if (extensionId != 0) {
            extensionId = 0;
            const int id = byte >> 4;
            if (id == 8) {
                ++picturesBefore;
                if (sequenceHeaderSeen) pictureCodingExt = 5;
            } else if (id == 1) {
                sequenceExt = 1;
            }
        } else if (pictureCodingExt != 0) {
            if (--pictureCodingExt == 1 && firstPts != 0 && --firstPts == 0)
                host.log("   First Video PTS = " + hexDigits(videoPts, 8));
        } else if (sequenceExt != 0) {
            sequenceExt = 0;
            if (!detailsDone) {
                host.log("   Progressive Sequence = " + std::to_string((byte >> 3) & 1));
                detailsDone = true;
            }
        }
    }
}

} // namespace ombrix
