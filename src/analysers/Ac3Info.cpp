// AC3info: the coding parameters of a Dolby Digital Plus stream's first chunk, read from the
// first valid AC-3 or E-AC-3 syncframe header in it.

#include "analysers/Analysers.h"
#include "analysers/Chunk.h"
#include "engine/EngineHost.h"
#include "engine/State.h"

#include <cstdint>
#include <string>

namespace ombrix {

namespace {

// The frame header fields, as both the AC-3 and the E-AC-3 reading take them.
struct Ac3Header {
    std::uint32_t frameSizeWord = 0; // E-AC-3 frmsiz
    std::uint32_t fscod = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t bitRate = 0;
    std::uint32_t blocks = 0;
    std::uint32_t acmod = 0;
    std::uint32_t lfeon = 0;
    std::uint32_t bsid = 0;
    std::uint32_t bsmod = 0;
};

bool isEac3(const Ac3Header& h) {
    return h.bsid >= 11 && h.bsid <= 16;
}

} // namespace

void AC3info(EngineState& state, EngineHost& host, std::int32_t offset, std::int32_t length,
             std::int32_t slot) {
    AnalyserState& own = state.analysers;
    own.fillAc3Tables();
    const Chunk chunk(state, offset, length);

    std::uint32_t window = 0;
    int countdown = 0;
    bool headerTaken = false;
    Ac3Header h;

    for (const std::uint8_t byte : chunk) {
        window = (window << 8) | byte;
        if ((window & 0xFFFF) == 0x0B77) {
            if (!headerTaken) {
                countdown = 5;
                headerTaken = true;
            }
            continue;
        }
        if (countdown == 0) continue;
        --countdown;
        switch (countdown) {
        case 4: // byte 1
            h.frameSizeWord = (byte & 7u) << 8;
            break;
        case 3: // byte 2
            h.frameSizeWord |= byte;
            break;
        case 2: { // byte 3
            h.fscod = byte >> 6;
            h.sampleRate = static_cast<std::uint32_t>(state.AC3SampleRate[h.fscod]);
            // frmsizecod div 2: the table knows 0-18; the codes above it are reserved.
            const std::uint32_t rateIndex = (byte >> 1) & 0x1F;
            h.bitRate = rateIndex < state.AC3BitRate.size()
                            ? static_cast<std::uint32_t>(state.AC3BitRate[rateIndex])
                            : 0;
            h.blocks = own.Ac3Blocks[(byte >> 4) & 3];
            h.acmod = (byte >> 1) & 7;
            h.lfeon = byte & 1;
            break;
        }
        case 1: // byte 4
            h.bsid = byte >> 3;
            h.bsmod = byte & 7;
            break;
        case 0: { // byte 5: judge and report
            const std::string stream = "   Stream " + std::to_string(slot);
            if (isEac3(h)) {
                const std::uint32_t frameSize = (h.frameSizeWord + 1) * 2;
                if (h.sampleRate == 0) {
                    headerTaken = false;
                    // The rate code is reserved: no frame rate, so no bitrate either.
                    h.bitRate = 0;
                } else {
                    // Frame bytes times frames per second (a frame holds 256 samples per block).
                    h.bitRate = static_cast<std::uint32_t>(std::uint64_t{frameSize} * 8 * h.sampleRate /
                                                           (256 * std::uint64_t{h.blocks}));
                }
                host.log(stream + " is Dolby Digital Plus");
                host.log("   frame size = " + std::to_string(frameSize) +
                         ", number of blocks per frame = " + std::to_string(h.blocks));
                host.log("   bitrate = " + std::to_string(h.bitRate / 1000) +
                         " kbit/s, sampling rate = " + host.floatText(h.sampleRate / 1000.0) + " kHz");
                host.log("   mode = " + own.Ac3ModeNames[h.acmod] + ", bsid = " + std::to_string(h.bsid) +
                         ", LFE present = " + std::to_string(h.lfeon));
            } else {
                h.acmod = byte >> 5;
                if (h.sampleRate == 0 || h.bitRate == 0) headerTaken = false;
                host.log(stream + " is Dolby Digital");
                host.log("   bitrate = " + std::to_string(h.bitRate / 1000) +
                         " kbit/s, sampling rate = " + host.floatText(h.sampleRate / 1000.0) + " kHz");
                host.log("   mode = " + own.Ac3ModeNames[h.acmod] + ", bsid = " + std::to_string(h.bsid) +
                         ", bsmod =" + std::to_string(h.bsmod));
            }
            break;
        }
        }
    }
}

} // namespace ombrix
