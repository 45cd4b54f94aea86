#include "engine/State.h"

#include "engine/Errors.h"

#include <exception>

namespace ombrix {

EngineState::EngineState()
    : ReadBufStore(std::make_unique<std::uint8_t[]>(kReadBufSize)), ReadBuf(ReadBufStore.get()) {}

void EngineState::fillAc3Tables() {
    AC3SampleRate = {48000, 44100, 32000, 0};
    AC3BitRate = {32000,  40000,  48000,  56000,  64000,  80000,  96000,  112000, 128000, 160000,
                  192000, 224000, 256000, 320000, 384000, 448000, 512000, 576000, 640000};
}

namespace {
template <typename Fn> void forEachOutput(EngineState& s, Fn fn) {
    for (auto& h : s.VideoOut) fn(h);
    for (auto& h : s.AudioOut) fn(h);
    for (auto& h : s.SubOut) fn(h);
}
template <typename Fn> void forEachHolder(EngineState& s, Fn fn) {
    fn(s.InFile);
    forEachOutput(s, fn);
}
} // namespace

void EngineState::commitOutputViews() {
    forEachOutput(*this, [](FileHolder& h) {
        if (h) h->commitViews();
    });
}

void EngineState::closeAll() {
    std::exception_ptr first;
    forEachHolder(*this, [&](FileHolder& h) {
        if (!h) return;
        try {
            h->close();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
        h.reset();
    });
    if (first) std::rethrow_exception(first);
}

void EngineState::closeAllQuietly() noexcept {
    forEachHolder(*this, [](FileHolder& h) {
        if (!h) return;
        try {
            h->close();
        } catch (...) {
        }
        h.reset();
    });
}

std::string VideoTypeName(std::int32_t key) {
    if (key == -1) return "No video stream";
    if (key == 0x55 || key == 0x56) return "VC-1.stream";
    if (key == 0xE0 || key == 0xE1) return "MPEG-2.stream";
    if (key == 0xE2 || key == 0xE3) return "H.264.stream";
    return "";
}

std::string AudioTypeName(std::int32_t key) {
    if (key == -1) return "No audio stream";
    if (key >= 0x80 && key <= 0x87) return "DD.stream";
    if (key >= 0x88 && key <= 0x8F) return "DTSHD.stream";
    if (key >= 0xA0 && key <= 0xA7) return "LPCM.stream";
    if (key >= 0xB0 && key <= 0xB7) return "MLP.stream";
    if (key >= 0xC0 && key <= 0xCF) return "DD+.stream";
    return "";
}

std::string SubTypeName(std::int32_t key) {
    if (key == -1) return "No subpicture stream";
    if (key >= 0x20 && key <= 0x2F) return "Subpicture";
    if (key >= 0x60 && key <= 0x6F) return "Ext.Subpicture";
    return "";
}

} // namespace ombrix
