// H264info: profile and level of every sequence parameter set in an H.264 video stream's
// first chunk, and the access units before the first one that holds only I slices.

#include "analysers/Analysers.h"
#include "analysers/Chunk.h"
#include "engine/EngineHost.h"
#include "engine/State.h"

#include <cstdint>
#include <string>

namespace ombrix {

namespace {

const char* profileLine(std::uint32_t profileIdc) {
    switch (profileIdc) {
    case 66:
        return "   Baseline Profile";
    case 77:
        return "   Main Profile";
    case 88:
        return "   Extended Profile";
    case 100:
        return "   High Profile";
    case 110:
        return "   High 10 Profile";
    case 122:
        return "   High 4:2:2 Profile";
    case 144:
        return "   High 4:4:4 Profile";
    default:
        return "   Unknown Profile";
    }
}

// Level 1b is written as level_idc 11 with constraint_set3_flag only in the Baseline, Main and
// Extended profiles; in the others constraint_set3_flag means something else.
bool isLevel1b(std::uint32_t profileIdc, std::uint32_t levelIdc, bool constraintSet3) {
    return levelIdc == 11 && constraintSet3 && (profileIdc == 66 || profileIdc == 77 || profileIdc == 88);
}

} // namespace

void H264info(EngineState& state, EngineHost& host, std::int32_t offset, std::int32_t length, std::uint32_t,
              std::uint32_t) {
    const Chunk chunk(state, offset, length);

    std::uint32_t window = 0;
    int delimiter = 0;    // the next byte is an access unit delimiter's payload
    int parameterSet = 0; // bytes of a sequence parameter set still to be looked at
    std::uint32_t accessUnits = 0;
    bool iSeen = false;
    std::uint32_t profileIdc = 0;
    bool constraintSet3 = false;

    for (const std::uint8_t byte : chunk) {
        window = (window << 8) | byte;
        if (window == 0x00000109u) {
            delimiter = 1;
        } else if (delimiter != 0) {
            delimiter = 0;
            const std::uint32_t primaryPicType = byte >> 5;
            if (!iSeen && primaryPicType == 0) {
                host.log("   " + std::to_string(accessUnits) + " frames before first I-frame");
                iSeen = true;
            }
            ++accessUnits;
        } else if (window == 0x00000127u || window == 0x00000167u) {
            parameterSet = 4;
        } else if (parameterSet != 0) {
            switch (--parameterSet) {
            case 3:
                profileIdc = byte;
                host.log(profileLine(profileIdc));
                break;
            case 2:
                constraintSet3 = (byte >> 4) & 1;
                break;
            case 1:
                host.log(isLevel1b(profileIdc, byte, constraintSet3) ? std::string("   Level = 1b")
                                                                     : "   Level = " + std::to_string(byte));
                break;
            default:
                break;
            }
        }
    }
}

} // namespace ombrix
