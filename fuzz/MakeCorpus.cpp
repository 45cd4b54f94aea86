// Writes the starting corpora of the fuzz targets into one folder per target: small, fixed files
// from the test builder, each starting with the settings bytes its target reads first.
//
//   ombrix-fuzz-corpus DIR   ->  DIR/parser, DIR/analysers, DIR/playlist, DIR/rebuild

#include "engine/FileStream.h"
#include "engine/Pass.h"
#include "engine/State.h"
#include "support/PsBuilder.h"
#include "tests/analysers/HeaderFixtures.h"
#include "tests/support/FakeHost.h"
#include "tests/xpl/SamplePlaylist.h"
#include "tests/xpl/WorkedExample.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace ombrix;
using namespace ombrix::testing;
namespace fs = std::filesystem;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes repeat(const Bytes& unit, std::size_t times) {
    Bytes out;
    for (std::size_t i = 0; i < times; ++i)
        out = out + unit;
    return out;
}

void put(const fs::path& folder, const std::string& name, const Bytes& bytes) {
    fs::create_directories(folder);
    writeBytes((folder / name).string(), bytes);
}

Bytes fromText(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// Every family the program knows, a few packs each.
std::vector<StreamSpec> everyFamily() {
    const Bytes eac3 = ac3::eac3Header(0x1FF, 0, 3, 7, 1, 16) + filler(1018);
    const Bytes dts = dts::dtsCore(dts::DtsFields{}) + filler(2000);
    std::vector<StreamSpec> s;
    s.push_back({StreamSpec::Kind::Vc1Video, 0x55, vc1Frames(4, 1500), {0, 1500, 3000, 4500}});
    s.push_back({StreamSpec::Kind::Mpeg2Video, 0xE0, mpeg2Pictures(3, 1200), {0, 1200, 2400}});
    s.push_back({StreamSpec::Kind::H264Video, 0xE2, h264AccessUnits(3, 1200), {0, 1200, 2400}});
    s.push_back({StreamSpec::Kind::Audio, 0xC0, repeat(eac3, 2), {0, eac3.size()}});
    s.push_back({StreamSpec::Kind::Audio, 0x80, ac3Frames(2), {0, kAc3FrameSize}});
    s.push_back({StreamSpec::Kind::Audio, 0x89, repeat(dts, 2), {0, dts.size()}});
    s.push_back({StreamSpec::Kind::Audio, 0xA0, filler(3000, 1)});
    s.push_back({StreamSpec::Kind::Audio, 0xB0, filler(3000, 2)});
    s.push_back({StreamSpec::Kind::Subpicture, 0x20, filler(2500, 3), {0, 1500}});
    s.push_back({StreamSpec::Kind::Subpicture, 0x61, filler(900, 4)});
    return s;
}

std::vector<StreamSpec> hdDvdFeature() {
    const Bytes eac3 = ac3::eac3Header(0x1FF, 0, 3, 7, 1, 16) + filler(1018);
    std::vector<StreamSpec> s;
    s.push_back({StreamSpec::Kind::Vc1Video, 0x55, vc1Frames(6, 2500), {0, 2500, 5000, 7500, 10000, 12500}});
    s.push_back({StreamSpec::Kind::Audio, 0xC0, repeat(eac3, 3), {0, 1024, 2048}});
    s.push_back({StreamSpec::Kind::Audio, 0x89, dts::dtsCore(dts::DtsFields{}) + filler(2000)});
    s.push_back({StreamSpec::Kind::Subpicture, 0x20, filler(1800, 5)});
    return s;
}

// The stream table a scan of the file finds: 2 video, 16 audio and 32 subpicture bytes.
Bytes streamTableOf(const fs::path& folder, const Bytes& file) {
    fs::create_directories(folder);
    const std::string path = (folder / "scan.tmp").string();
    writeBytes(path, file);
    EngineState st;
    FakeHost host;
    st.InFile = FileStream::openRead(path);
    demux(st, host, PassMode::Scan);
    st.closeAll();
    fs::remove(path);
    Bytes table;
    auto add = [&](std::int32_t k) { table.push_back(k < 0 ? 0xFF : static_cast<std::uint8_t>(k)); };
    for (int i = 0; i < 2; ++i)
        add(st.VideoKey[static_cast<std::size_t>(i)]);
    for (auto k : st.AudioKey)
        add(k);
    for (auto k : st.SubKey)
        add(k);
    return table;
}

Bytes u32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

void parserCorpus(const fs::path& dir, const Bytes& all, const Bytes& feature) {
    const Bytes allTicked = {0xFF, 0xFF, 0xFF, 0xFF, 0x03};
    // flags: bit 0 demux, bit 1 details, bit 2 count, bits 3-7 block size (0 = whole buffer).
    put(dir, "scan-details", Bytes{0x06} + allTicked + u32(0) + all);
    put(dir, "scan-small-blocks", Bytes{0x06 | 6 << 3} + allTicked + u32(0) + all);
    put(dir, "demux", Bytes{0x05} + allTicked + u32(90000) + all);
    put(dir, "demux-odd-blocks",
        Bytes{0x05 | 11 << 3} + Bytes{0x55, 0x55, 0x55, 0x55, 0x01} + u32(0) + feature);
    put(dir, "scan-feature", Bytes{0x06 | 13 << 3} + allTicked + u32(0) + feature);
}

void analyserCorpus(const fs::path& dir) {
    // which, place (0 start, 1 end, 2 position), position, slot, PTS, DTS, chunk.
    auto sample = [&](const std::string& name, std::uint8_t which, std::uint8_t place, const Bytes& chunk) {
        put(dir, name, Bytes{which, place} + u32(1000) + Bytes{3} + u32(90000) + u32(86000) + chunk);
    };
    const Bytes eac3 = ac3::eac3Header(0x1FF, 0, 3, 7, 1, 16);
    const Bytes ac3 = ac3::ac3Header(0, 28, 8, 0, 7);
    sample("eac3", 0, 0, eac3 + filler(200) + eac3);
    sample("ac3-at-end", 0, 1, filler(10) + ac3);
    sample("dts", 1, 2, dts::dtsCore(dts::DtsFields{}));
    dts::DtsFields crc;
    crc.cpf = 1;
    sample("dts-crc-at-end", 1, 1, dts::dtsCore(crc));
    const Bytes mpeg2 = mpeg2::sequenceHeader(720, 480, 2, 4, 5000) + mpeg2::sequenceExtension(0) +
                        mpeg2::gopHeader() + mpeg2::picture(1) + mpeg2::pictureHeader(2);
    sample("mpeg2", 2, 0, mpeg2);
    sample("mpeg2-at-end", 2, 1, mpeg2);
    vc1::Vc1Sequence aspect15;
    aspect15.aspect = 15;
    aspect15.aspectWidth = 16;
    aspect15.aspectHeight = 9;
    sample("vc1", 3, 2, vc1::sequenceHeader(vc1::Vc1Sequence{}) + vc1::entryPoint() + vc1::frames(2));
    sample("vc1-aspect-at-end", 3, 1, vc1::frames(1) + vc1::sequenceHeader(aspect15));
    const Bytes h264 = h264::delimiter(0) + h264::parameterSet(100, 41) + h264::pictureSet() + h264::slice();
    sample("h264", 4, 0, h264 + h264::delimiter(1) + h264::slice(0x41));
    sample("h264-at-end", 4, 1, h264::delimiter(0) + h264::parameterSet(77, 40, true));
}

void playlistCorpus(const fs::path& dir) {
    // flags (bits 0-1 where the bytes go, 2-4 block size, 5-7 base name), position, length, bytes.
    auto sample = [&](const std::string& name, std::uint8_t flags, std::uint32_t at, std::uint32_t cut,
                    const std::string& text) {
        put(dir, name, Bytes{flags} + u32(at) + u32(cut) + fromText(text));
    };
    sample("worked-example", 0, 0, 0, workedExampleText());
    sample("worked-example-bytewise", 1 << 2, 0, 0, workedExampleText());
    sample("lighthouse", 0, 0, 0, lighthousePlaylist());
    sample("lighthouse-feature-2", 1 << 5 | 5 << 2, 0, 0, lighthousePlaylist());
    sample("bad-index-in-example", 1, 120, 3, "x1");
    sample("deep-nesting-in-lighthouse", 2, 500, 0,
         std::string(300, '<') + "Title FEATURE_1 " + std::string(300, '>'));
    sample("cut-example", 1, 300, 200, "<Audio streamNumber=\"2147483647\" mediaAttr=\"9\"/>");
}

void rebuildCorpus(const fs::path& dir, const Bytes& all, const Bytes& feature) {
    const Bytes allTicked = {0xFF, 0xFF, 0xFF, 0xFF, 0x03};
    put(dir, "every-family", allTicked + streamTableOf(dir, all) + all);
    put(dir, "feature", allTicked + streamTableOf(dir, feature) + feature);
    put(dir, "feature-some-unticked",
        Bytes{0x05, 0x00, 0x01, 0x00, 0x00} + streamTableOf(dir, feature) + feature);
    Bytes shortLast = feature;
    shortLast.resize(shortLast.size() - 700);
    put(dir, "feature-short-last-pack", allTicked + streamTableOf(dir, feature) + shortLast);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("Usage: ombrix-fuzz-corpus DIR\n", stderr);
        return 2;
    }
    try {
        const fs::path dir = argv[1];
        MuxOptions small;
        small.shuffle = 7;
        const Bytes all = muxPacks(everyFamily(), small).file;
        const Bytes feature = muxPacks(hdDvdFeature()).file;
        parserCorpus(dir / "parser", all, feature);
        analyserCorpus(dir / "analysers");
        playlistCorpus(dir / "playlist");
        rebuildCorpus(dir / "rebuild", all, feature);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ombrix-fuzz-corpus: %s\n", e.what());
        return 1;
    }
    return 0;
}
