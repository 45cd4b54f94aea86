// VC1info: the advanced-profile sequence header fields of a VC-1 video stream's first chunk,
// the frames before the first sequence header and the first video PTS.

#include "analysers/Analysers.h"
#include "analysers/Chunk.h"
#include "engine/EngineHost.h"
#include "engine/State.h"

#include <array>
#include <cstdint>
#include <string>

namespace ombrix {

namespace {

const std::array<const char*, 16> kAspectRatio = {"unspecified",
                                                  "1:1 (square samples)",
                                                  "12:11 (704x576 4:3)",
                                                  "10:11 (704x480 4:3)",
                                                  "16:11 (704x576 16:9)",
                                                  "40:33 (704x480 16:9)",
                                                  "24:11 (352x576 4:3)",
                                                  "20:11 (352x480 4:3)",
                                                  "32:11 (352x576 16:9)",
                                                  "80:33 (352x480 16:9)",
                                                  "18:11 (48$576 4:3)",
                                                  "15:11 (48$480 4:3)",
                                                  "64:33 (528x576 16:9)",
                                                  "160:99 (528x480 16:9)",
                                                  "Reserved",
                                                  ""};

const std::array<std::uint32_t, 8> kFrameRateNumerator = {0, 24000, 25000, 30000, 50000, 60000, 48000, 72000};
const std::array<std::uint32_t, 3> kFrameRateDenominator = {0, 1000, 1001};

// ASPECT_RATIO 15 is followed by ASPECT_HORIZ_SIZE and ASPECT_VERT_SIZE, one byte each.
constexpr int kAspectRatioExplicit = 15;

} // namespace

void VC1info(EngineState& state, EngineHost& host, std::int32_t offset, std::int32_t length, std::uint32_t,
             std::int64_t videoPts) {
    const Chunk chunk(state, offset, length);

    std::uint32_t window = 0;
    std::uint32_t framesCounted = 0;
    int frameHeader = 0;    // bytes to the point of a frame header where the first-PTS countdown moves
    int sequenceHeader = 0; // bytes of a sequence header still to be looked at
    int display = 0;        // bytes of the display extension still to be looked at
    int aspect = 0;         // bytes from the aspect ratio to the FRAMERATE_FLAG byte
    int frameRate = 0;      // bytes to the end of the frame-rate fields
    bool sequenceHeaderSeen = false;
    bool frameRateDone = false;
    int firstPts = 0;

    for (const std::uint8_t byte : chunk) {
        window = (window << 8) | byte;
        if (window == 0x0000010Du) {
            ++framesCounted;
            if (sequenceHeaderSeen) frameHeader = 4;
        } else if (frameHeader != 0) {
            if (--frameHeader == 0 && firstPts != 0 && --firstPts == 0)
                host.log("   First Video PTS = " + hexDigits(static_cast<std::uint64_t>(videoPts), 16));
        } else if (window == 0x0000010Fu) {
            if (!frameRateDone) {
                host.log("   Sequence Header found");
                sequenceHeader = 6;
            }
            if (!sequenceHeaderSeen) {
                host.log("   " + std::to_string(framesCounted) + " frames before first I-frame");
                sequenceHeaderSeen = true;
                firstPts = 2;
            }
        } else if (sequenceHeader != 0) {
            --sequenceHeader;
            if (frameRateDone) continue;
            switch (sequenceHeader) {
            case 5: {
                host.log((byte >> 6) == 3 ? "   Advanced Profile" : "   Reserved Profile");
                const std::uint32_t level = (byte >> 3) & 7;
                host.log(level > 4 ? std::string("   Level = Reserved")
                                   : "   Level = " + std::to_string(level));
                host.log(((byte >> 1) & 3) == 1 ? "   Chroma Format = 4:2:0" : "   Chroma Format = Reserved");
                break;
            }
            case 1:
                host.log("   Size = " + std::to_string(2 * ((window >> 12) & 0xFFF) + 2) + "x" +
                         std::to_string(2 * (window & 0xFFF) + 2));
                break;
            case 0:
                host.log("   Pulldown = " + std::to_string((byte >> 7) & 1));
                host.log("   Interlace = " + std::to_string((byte >> 6) & 1));
                if ((byte >> 1) & 1) display = 4;
                break;
            default:
                break;
            }
        } else if (display != 0) {
            --display;
            if (frameRateDone) continue;
            if (display == 2) {
                host.log("   Display Horizontal size = " + std::to_string(((window >> 3) & 0x3FFF) + 1));
            } else if (display == 0) {
                host.log("   Display Vertical size = " + std::to_string(((window >> 5) & 0x3FFF) + 1));
                if ((byte >> 4) & 1) {
                    const int ratio = byte & 0xF;
                    // FRAMERATE_FLAG is in the next byte, or after the two aspect size bytes.
                    aspect = ratio == kAspectRatioExplicit ? 3 : 1;
                    host.log(std::string("   Aspect ratio = ") +
                             kAspectRatio[static_cast<std::size_t>(ratio)]);
                }
            }
        } else if (aspect != 0) {
            if (--aspect == 0 && !frameRateDone && (byte >> 7) == 1) frameRate = 2;
        } else if (frameRate != 0) {
            if (--frameRate != 0 || frameRateDone) continue;
            if ((window >> 22) & 1) { // FRAMERATEIND
                const std::uint32_t exp = (window >> 6) & 0xFFFF;
                host.log("   Frame Rate =" + host.floatText((exp + 1) / 32.0));
            } else {
                const std::uint32_t nr = (window >> 14) & 0xFF;
                const std::uint32_t dr = (window >> 10) & 0xF;
                std::uint32_t numerator = 0;
                std::uint32_t denominator = 0;
                if (nr == 0)
                    host.log("   Forbidden Frame Rate!");
                else if (nr <= 7)
                    numerator = kFrameRateNumerator[nr];
                else
                    host.log("   Reserved Frame Rate!");
                if (dr == 0)
                    host.log("   Forbidden Frame Rate!");
                else if (dr <= 2)
                    denominator = kFrameRateDenominator[dr];
                else
                    host.log("   Reserved Frame Rate!");
                // Without a denominator there is no rate: it is shown as 0.
                const double rate = denominator == 0 ? 0.0 : static_cast<double>(numerator) / denominator;
                host.log("   Frame Rate = " + host.floatText(rate) + " (" + std::to_string(numerator) + "/" +
                         std::to_string(denominator) + ")");
            }
            frameRateDone = true;
        }
    }
}

} // namespace ombrix
