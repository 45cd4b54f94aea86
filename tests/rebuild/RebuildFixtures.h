#pragma once
// Packs and a headless window for the rebuild tests: each pack is a pack header, one packet
// and padding to 2048 bytes, the layout of an HD DVD file.

#include "support/HeadlessPlatform.h"
#include "support/PsBuilder.h"
#include "support/TempDir.h"
#include "window/Main.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ombrix::testing {

inline Bytes pack(const std::function<void(PsBuilder&)>& body, std::uint64_t scr = 0) {
    PsBuilder b;
    b.packHeader(scr);
    body(b);
    b.padTo(kPackSize);
    if (b.size() != kPackSize) throw std::logic_error("a test pack is not 2048 bytes long");
    return b.bytes();
}

inline PesOptions withPts(std::uint64_t pts = 90000) {
    PesOptions o;
    o.pts = pts;
    return o;
}

inline Bytes audioPack(std::uint8_t id, std::uint32_t phase = 0) {
    return pack([&](PsBuilder& b) { b.audio(id, filler(300, phase), withPts()); });
}
inline Bytes subPack(std::uint8_t id, std::uint32_t phase = 0) {
    return pack([&](PsBuilder& b) { b.subpicture(id, filler(300, phase), withPts()); });
}
inline Bytes vc1Pack(std::uint8_t extension = 0x55, std::uint32_t phase = 0) {
    return pack([&](PsBuilder& b) {
        PesOptions o = withPts();
        o.pstd = kPstdVideo;
        b.vc1(filler(400, phase), o, extension);
    });
}
// MPEG-2 / H.264 video (0xE0-0xEF) or MPEG audio (0xC0-0xDF) by PES stream id.
inline Bytes pesPack(std::uint8_t streamId, std::uint32_t phase = 0) {
    return pack([&](PsBuilder& b) { b.pes(streamId, filler(400, phase), withPts()); });
}
inline Bytes systemPack(int videoBound, int audioBound) {
    return pack([&](PsBuilder& b) { b.systemHeader(videoBound, audioBound, {0xE0, 0xBD, 0xFD}); });
}
inline Bytes paddingPack() {
    return pack([](PsBuilder&) {});
}
inline Bytes privateStream2Pack() {
    return pack([](PsBuilder& b) { b.packet(0xBF, filler(1000, 7)); });
}
// A 2048-byte block that does not begin with a pack start code.
inline Bytes strayBlock() {
    return filler(kPackSize, 3);
}

inline Bytes join(const std::vector<Bytes>& parts) {
    Bytes all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// The 2048-byte packs of a file (the last one may be short).
inline std::vector<Bytes> packsOf(const Bytes& file) {
    std::vector<Bytes> packs;
    for (std::size_t at = 0; at < file.size(); at += kPackSize)
        packs.emplace_back(file.begin() + static_cast<std::ptrdiff_t>(at),
                           file.begin() + static_cast<std::ptrdiff_t>(std::min(file.size(), at + kPackSize)));
    return packs;
}

// The program's window without a view, opened as at program start.
struct Window {
    HeadlessPlatform platform;
    TfMain w{platform};
    TempDir dir;
    // Every text panel 1 of the status line showed, in order.
    std::vector<std::string> progress;

    Window() {
        w.FormShow();
        w.FormActivate();
        w.StatusBar.onChange = [this] {
            const std::string& text = w.StatusBar.panels[1].text;
            if (progress.empty() || progress.back() != text) progress.push_back(text);
        };
    }
    // Writes the file into the test folder and chooses it as the EVO file.
    std::string source(const std::string& name, const Bytes& bytes) {
        const std::string path = dir.file(name);
        writeFile(path, bytes);
        choose(path);
        return path;
    }
    void choose(const std::string& path) {
        w.eEVOfile.setText(path);
        w.EVOadj();
    }
    // The log lines from `from` on.
    std::vector<std::string> logFrom(std::size_t from) const {
        const auto& lines = w.mMessage.lines();
        return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(from, lines.size())), lines.end()};
    }
    // Puts keys into the stream table as a scan would have, enables their boxes and ticks the
    // ones asked for.
    void streams(const std::vector<std::pair<int, bool>>& video,
                 const std::vector<std::pair<int, bool>>& audio,
                 const std::vector<std::pair<int, bool>>& sub) {
        w.st.VideoKey.fill(-1);
        w.st.AudioKey.fill(-1);
        w.st.SubKey.fill(-1);
        auto put = [](auto& table, auto& boxes, const std::vector<std::pair<int, bool>>& list) {
            for (std::size_t i = 0; i < list.size(); ++i) {
                table[i] = list[i].first;
                boxes[i].setEnabled(true);
                boxes[i].setChecked(list[i].second);
            }
        };
        put(w.st.VideoKey, w.cbVideo, video);
        put(w.st.AudioKey, w.cbAudio, audio);
        put(w.st.SubKey, w.cbSub, sub);
    }
};

} // namespace ombrix::testing
