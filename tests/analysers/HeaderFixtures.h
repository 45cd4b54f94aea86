#pragma once
// Byte fixtures of the headers the analysers read, written field by field.

#include "AnalyserHarness.h"

#include <cstdint>

namespace ombrix::testing::ac3 {

// An E-AC-3 syncframe header: sync word, strmtyp 0, substreamid 0, frmsiz, fscod, numblkscod,
// acmod, lfeon, bsid, dialnorm 0, then one more byte.
inline ByteVec eac3Header(std::uint32_t frmsiz, std::uint32_t fscod, std::uint32_t numblkscod,
                          std::uint32_t acmod, std::uint32_t lfeon, std::uint32_t bsid) {
    BitWriter w;
    w.put(0x0B77, 16).put(0, 2).put(0, 3).put(frmsiz, 11);
    w.put(fscod, 2).put(numblkscod, 2).put(acmod, 3).put(lfeon, 1);
    w.put(bsid, 5).put(0, 5).put(0, 6);
    return w.bytes();
}

// An AC-3 syncframe header: sync word, crc1 0x1234, fscod, frmsizecod, bsid, bsmod, acmod.
inline ByteVec ac3Header(std::uint32_t fscod, std::uint32_t frmsizecod, std::uint32_t bsid,
                         std::uint32_t bsmod, std::uint32_t acmod) {
    BitWriter w;
    w.put(0x0B77, 16).put(0x1234, 16).put(fscod, 2).put(frmsizecod, 6).put(bsid, 5).put(bsmod, 3);
    w.put(acmod, 3).put(0, 5);
    return w.bytes();
}

} // namespace ombrix::testing::ac3

namespace ombrix::testing::dts {

struct DtsFields {
    std::uint32_t ftype = 1, shortCount = 31, cpf = 0, nblks = 15, fsize = 2012, amode = 9, sfreq = 13,
                  rate = 24, extAudioId = 0, extAudio = 0, lff = 2, hcrc = 0, vernum = 7, pcmr = 6;
};

// The sync word and a core header with these fields; the flags between them are set to 1 so
// that a reader that loses a bit shows it.
inline ByteVec dtsCore(const DtsFields& f) {
    BitWriter w;
    w.put(0x7FFE8001, 32);
    w.put(f.ftype, 1).put(f.shortCount, 5).put(f.cpf, 1).put(f.nblks, 7).put(f.fsize, 14).put(f.amode, 6);
    w.put(f.sfreq, 4).put(f.rate, 5).put(0, 1).put(1, 1).put(1, 1).put(1, 1).put(1, 1);
    w.put(f.extAudioId, 3).put(f.extAudio, 1).put(1, 1).put(f.lff, 2).put(1, 1);
    if (f.cpf) w.put(f.hcrc, 16);
    w.put(1, 1).put(f.vernum, 4).put(3, 2).put(f.pcmr, 3);
    return w.bytes();
}

} // namespace ombrix::testing::dts

namespace ombrix::testing::mpeg2 {

inline ByteVec sequenceHeader(std::uint32_t width, std::uint32_t height, std::uint32_t aspect,
                              std::uint32_t frameRate, std::uint32_t bitRate) {
    BitWriter w;
    w.put(0x000001B3, 32).put(width, 12).put(height, 12).put(aspect, 4).put(frameRate, 4).put(bitRate, 18);
    w.put(1, 1).put(112, 10).put(0, 1).put(0, 1).put(0, 1);
    return w.bytes();
}

// Main profile at main level, 4:2:0.
inline ByteVec sequenceExtension(std::uint32_t progressive) {
    BitWriter w;
    w.put(0x000001B5, 32).put(1, 4).put(0x48, 8).put(progressive, 1).put(1, 2).put(0, 2).put(0, 2);
    w.put(0, 12).put(1, 1).put(0, 8).put(0, 1).put(0, 2).put(0, 5);
    return w.bytes();
}

inline ByteVec gopHeader() {
    return {0x00, 0x00, 0x01, 0xB8, 0x00, 0x08, 0x00, 0x40};
}

inline ByteVec pictureHeader(std::uint32_t codingType, std::uint32_t temporalReference = 5) {
    BitWriter w;
    w.put(0x00000100, 32).put(temporalReference, 10).put(codingType, 3).put(0xFFFF, 16).put(0x7, 3);
    return w.bytes();
}

inline ByteVec pictureCodingExtension() {
    BitWriter w;
    w.put(0x000001B5, 32).put(8, 4).put(0x1111, 16).put(0, 2).put(3, 2);
    for (int i = 0; i < 10; ++i)
        w.put(i % 2, 1);
    w.put(0, 6);
    return w.bytes();
}

inline ByteVec slice() {
    return ByteVec{0x00, 0x00, 0x01, 0x01} + neutral(40);
}

inline ByteVec picture(std::uint32_t codingType = 1) {
    return pictureHeader(codingType) + pictureCodingExtension() + slice();
}

} // namespace ombrix::testing::mpeg2

namespace ombrix::testing::vc1 {

// An advanced-profile sequence header in the standard's field order.
struct Vc1Sequence {
    std::uint32_t profile = 3, level = 3, colordiff = 1, frmrtq = 7, bitrtq = 31, postproc = 0;
    std::uint32_t width = 959, height = 539; // MAX_CODED_WIDTH / HEIGHT: (size - 2) / 2
    std::uint32_t pulldown = 1, interlace = 0, tfcntr = 0, finterp = 0, psf = 0;
    bool displayExt = true;
    std::uint32_t dispWidth = 1919, dispHeight = 1079; // size - 1
    bool aspectFlag = true;
    std::uint32_t aspect = 1, aspectWidth = 0, aspectHeight = 0;
    bool frameRateFlag = true;
    std::uint32_t frameRateInd = 0, frameRateNr = 1, frameRateDr = 2, frameRateExp = 0;
};

inline ByteVec sequenceHeader(const Vc1Sequence& s) {
    BitWriter w;
    w.put(0x0000010F, 32).put(s.profile, 2).put(s.level, 3).put(s.colordiff, 2).put(s.frmrtq, 3);
    w.put(s.bitrtq, 5).put(s.postproc, 1).put(s.width, 12).put(s.height, 12).put(s.pulldown, 1);
    w.put(s.interlace, 1).put(s.tfcntr, 1).put(s.finterp, 1).put(1, 1).put(s.psf, 1).put(s.displayExt, 1);
    if (s.displayExt) {
        w.put(s.dispWidth, 14).put(s.dispHeight, 14).put(s.aspectFlag, 1);
        if (s.aspectFlag) {
            w.put(s.aspect, 4);
            if (s.aspect == 15) w.put(s.aspectWidth, 8).put(s.aspectHeight, 8);
        }
        w.put(s.frameRateFlag, 1);
        if (s.frameRateFlag) {
            w.put(s.frameRateInd, 1);
            if (s.frameRateInd)
                w.put(s.frameRateExp, 16);
            else
                w.put(s.frameRateNr, 8).put(s.frameRateDr, 4);
        }
        w.put(0, 1); // COLOR_FORMAT_FLAG
    }
    w.put(0, 1); // HRD_PARAM_FLAG
    return w.bytes() + ByteVec{0x80};
}

inline ByteVec entryPoint() {
    return {0x00, 0x00, 0x01, 0x0E, 0x48, 0x8A, 0xF3, 0x80};
}
inline ByteVec frame() {
    return ByteVec{0x00, 0x00, 0x01, 0x0D} + neutral(30);
}
inline ByteVec frames(int n) {
    ByteVec out;
    for (int i = 0; i < n; ++i)
        out = out + frame();
    return out;
}

} // namespace ombrix::testing::vc1

namespace ombrix::testing::h264 {

inline ByteVec delimiter(std::uint32_t primaryPicType) {
    return {0x00, 0x00, 0x00, 0x01, 0x09, static_cast<std::uint8_t>(primaryPicType << 5 | 0x10)};
}

// A sequence parameter set NAL unit: header byte, profile_idc, constraint flags (set3 in bit 4),
// level_idc, then the rest of the set.
inline ByteVec parameterSet(std::uint32_t profileIdc, std::uint32_t levelIdc, bool constraintSet3 = false,
                            std::uint8_t header = 0x67) {
    return ByteVec{0x00,
                   0x00,
                   0x00,
                   0x01,
                   header,
                   static_cast<std::uint8_t>(profileIdc),
                   static_cast<std::uint8_t>(constraintSet3 ? 0x10 : 0x00),
                   static_cast<std::uint8_t>(levelIdc),
                   0xE5,
                   0x88,
                   0x07,
                   0x80};
}

inline ByteVec pictureSet() {
    return {0x00, 0x00, 0x00, 0x01, 0x68, 0xEE, 0x3C, 0x80};
}
inline ByteVec slice(std::uint8_t header = 0x65) {
    return ByteVec{0x00, 0x00, 0x01, header} + neutral(40);
}

} // namespace ombrix::testing::h264
