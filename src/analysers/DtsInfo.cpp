// DTSinfo: the fields of every DTS core frame header in a DTS stream's first chunk, and the
// sync words of the channel and 96 kHz extensions.

#include "analysers/Analysers.h"
#include "analysers/Chunk.h"
#include "analysers/DtsBitReader.h"
#include "engine/EngineHost.h"
#include "engine/State.h"

#include <array>
#include <cstdint>
#include <string>

namespace ombrix {

namespace {

const std::array<const char*, 16> kChannelArrangement = {"A (mono)",
                                                         "A+B (dual mono)",
                                                         "L + R (stereo)",
                                                         "(L+R) + (L-R) (sum-difference)",
                                                         "LT + RT (left and right total)",
                                                         "C + L + R",
                                                         "L + R + S",
                                                         "C + L + R + S",
                                                         "L + R + SL + SR",
                                                         "C + L + R + SL + SR",
                                                         "CL + CR + L + R + SL + SR",
                                                         "C + L + R + LR + RR + OV",
                                                         "CF + CR + LF + RF + LR + RR",
                                                         "CL + C + CR + L + R + SL + SR",
                                                         "CL + CR + L + R + SL1 + SL2 + SR1 + SR2",
                                                         "CL + C + CR + L + R + SL + S + SR"};

const std::array<const char*, 16> kSamplingFrequency = {
    "Invalid",  "8 kHz",   "16 kHz",  "32 kHz", "Invalid", "Invalid", "11,025 kHz", "22,05 kHz",
    "44,1 kHz", "Invalid", "Invalid", "12 kHz", "24 kHz",  "48 kHz",  "Invalid",    "Invalid"};

const std::array<const char*, 32> kBitRate = {
    "32",     "56",   "64",   "96",   "112",  "128",  "192",  "224",  "256",      "320",      "384",
    "448",    "512",  "576",  "640",  "768",  "960",  "1024", "1152", "1280",     "1344",     "1408",
    "1411,2", "1472", "1536", "1920", "2048", "3072", "3840", "open", "Variable", "Loss-less"};

const std::array<const char*, 8> kExtensionAudio = {"Channel extension",
                                                    "Reserved",
                                                    "Frequency extension",
                                                    "Channel and Frequency extension",
                                                    "Reserved",
                                                    "Reserved",
                                                    "Reserved",
                                                    "Reserved"};

const std::array<const char*, 4> kLfe = {"not present", "present (IF:128)", "present (IF:64)", "invalid"};

const std::array<const char*, 8> kPcmResolution = {"16 bits", "16 bits, DTS ES", "20 bits", "20 bits, DTS ES",
                                                   "",        "24 bits, DTS ES", "24 bits", ""};

std::string revisionSuffix(std::uint32_t vernum) {
    if (vernum <= 6) return ", Future rev. (compatible)";
    if (vernum == 7) return ", Current";
    return ", Future rev. (incompatible";
}

// Reads one core header after its sync word and logs a line per reported field. A field that
// runs past the end of the chunk ends the header: its line and those after it are not logged.
void reportCoreHeader(DtsBitReader& bits, EngineHost& host) {
    std::uint32_t value = 0;
    auto get = [&](int n) { return bits.fieldInChunk(n) && (value = bits.getbits(n), true); };
    auto skip = [&](int n) { return bits.fieldInChunk(n) && (bits.skipbits(n), true); };

    if (!skip(1)) return; // FTYPE
    if (!get(5)) return;  // SHORT
    host.log("   PCM core samples = " + std::to_string(value + 1));
    if (!get(1)) return; // CPF
    const bool crcPresent = value == 1;
    if (!get(7)) return; // NBLKS
    host.log("   PCM sample blocks = " + std::to_string(value + 1));
    if (!get(14)) return; // FSIZE
    host.log("   Primary frame byte size = " + std::to_string(value));
    if (!get(6)) return; // AMODE
    host.log(std::string("   Audio channel arrangement = ") +
             (value < kChannelArrangement.size() ? kChannelArrangement[value] : "User defined"));
    if (!get(4)) return; // SFREQ
    host.log(std::string("   Core audio sampling frequency = ") + kSamplingFrequency[value]);
    if (!get(5)) return; // RATE
    host.log(std::string("   Transmission bitrate = ") + kBitRate[value] + " kbit/s");
    for (int i = 0; i < 5; ++i) // fixed bit, DYNF, TIMEF, AUXF, HDCD
        if (!skip(1)) return;
    if (!get(3)) return; // EXT_AUDIO_ID
    const std::uint32_t extAudioId = value;
    if (!get(1)) return; // EXT_AUDIO
    if (value == 1) host.log(std::string("   Extension audio = ") + kExtensionAudio[extAudioId]);
    if (!skip(1)) return; // ASPF
    if (!get(2)) return;  // LFF
    host.log(std::string("   LFE present = ") + kLfe[value]);
    if (!skip(1)) return; // HFLAG
    if (crcPresent) {
        if (!get(16)) return; // HCRC
        host.log("   Header CRC = " + hexDigits(value, 4));
    }
    if (!skip(1)) return; // FILTS
    if (!get(4)) return;  // VERNUM
    host.log("   Encoder software rev. = " + std::to_string(value) + revisionSuffix(value));
    if (!skip(2)) return; // CHIST
    if (!get(3)) return;  // PCMR
    host.log(std::string("   Source PCM resolution = ") + kPcmResolution[value]);
}

} // namespace

void DTSinfo(EngineState& state, EngineHost& host, std::int32_t offset, std::int32_t length, std::int32_t) {
    const Chunk chunk(state, offset, length);
    DtsBitReader bits(chunk.data, chunk.size);
    // The chunk's last byte is never taken by the search.
    while (chunk.size > 0 && bits.position < chunk.size - 1) {
        bits.window = (bits.window << 8) | bits.byteAt(bits.position);
        ++bits.position;
        switch (bits.window) {
        case 0x7FFE8001u:
            bits.initbits();
            reportCoreHeader(bits, host);
            break;
        case 0x5A5A5A5Au:
            host.log("   Channel extension found");
            break;
        case 0x1D95F262u:
            host.log("   96 kHz extensiond found");
            break;
        default:
            break;
        }
    }
}

} // namespace ombrix
