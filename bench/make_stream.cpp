// Writes a large HD DVD-shaped program stream for the benchmarks, without holding it in
// memory: 2048-byte packs, one VC-1 stream under 0xFD (about 90 % of the bytes), DD+, DTS and
// AC-3 audio and two subpicture streams, a time stamp on every access unit.
//
//   ombrix-bench-stream FILE MEBIBYTES            one file
//   ombrix-bench-stream --pair FOLDER MEBIBYTES   FEATURE_1.EVO and FEATURE_2.EVO, half each

#include "analysers/HeaderFixtures.h"
#include "support/PsBuilder.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

using namespace ombrix::testing;

namespace {

std::uint64_t writeOne(const std::string& path, std::uint64_t bytes, std::uint64_t firstPts) {
    // Shares of the payload: video 90 %, audio 9 %, subpictures 1 %.
    const std::uint64_t frame = 40000, audioUnit = 1792, dtsUnit = 2013, subUnit = 8000;
    const std::uint64_t frames = bytes * 90 / 100 / frame;
    std::vector<StreamSource> streams;
    streams.push_back(repeatedUnits(StreamSpec::Kind::Vc1Video, 0x55, vc1Frames(1, frame),
                                    vc1Frames(1, frame, false), frames));
    streams.back().withDts = true;
    streams.back().pstd = StreamSpec::Pstd::EveryPacket;
    // Audio units with real syncframe headers (the rest of each frame is filler), so that
    // other tools, too, can take the streams' parameters from them.
    const Bytes ddPlus = ac3::eac3Header(audioUnit / 2 - 1, 0, 3, 7, 1, 16);
    const Bytes ac3 = ac3::ac3Header(0, 28, 8, 0, 7);
    dts::DtsFields core;
    core.fsize = static_cast<std::uint32_t>(dtsUnit - 1);
    const Bytes dtsCore = dts::dtsCore(core);
    auto audioStream = [&](std::uint8_t id, const Bytes& head, std::uint64_t size, std::uint64_t count,
                           std::uint32_t ticks) {
        Bytes first = filler(size, id), rest = filler(size, id + 1u);
        std::copy(head.begin(), head.end(), first.begin());
        std::copy(head.begin(), head.end(), rest.begin());
        streams.push_back(repeatedUnits(StreamSpec::Kind::Audio, id, first, rest, count));
        streams.back().ptsStep = ticks;
    };
    audioStream(0xC0, ddPlus, audioUnit, bytes / 100 / audioUnit, 2880); // 1536 samples at 48 kHz
    audioStream(0x89, dtsCore, dtsUnit, bytes / 100 / dtsUnit, 960);    // 512 samples
    audioStream(0x82, ac3, audioUnit, bytes / 100 / audioUnit, 2880);
    const std::uint64_t subUnits = bytes / 200 / subUnit;
    for (std::uint8_t id : {std::uint8_t{0x20}, std::uint8_t{0x21}}) {
        streams.push_back(repeatedUnits(StreamSpec::Kind::Subpicture, id, filler(subUnit, id), filler(subUnit, id + 1u),
                                        subUnits));
        streams.back().ptsStep = 90000;
    }
    for (auto& s : streams) s.firstPts = firstPts;
    MuxOptions opt;
    opt.videoBound = 1;
    opt.audioBound = 3;
    PackWriter writer(std::move(streams), opt);
    return writer.writeFile(path);
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 4 && std::string(argv[1]) == "--pair") {
            const std::uint64_t half = std::strtoull(argv[3], nullptr, 10) * 1048576 / 2;
            std::filesystem::create_directories(argv[2]);
            const auto folder = std::filesystem::path(argv[2]);
            writeOne((folder / "FEATURE_1.EVO").string(), half, 90000);
            writeOne((folder / "FEATURE_2.EVO").string(), half, 90000 + half / 40000 * 3754);
            return 0;
        }
        if (argc == 3) {
            writeOne(argv[1], std::strtoull(argv[2], nullptr, 10) * 1048576, 90000);
            return 0;
        }
        std::fprintf(stderr, "Usage: ombrix-bench-stream FILE MEBIBYTES | --pair FOLDER MEBIBYTES\n");
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ombrix-bench-stream: %s\n", e.what());
        return 1;
    }
}
