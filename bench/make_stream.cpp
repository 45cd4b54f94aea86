// Writes a large HD DVD-shaped program stream for the benchmarks, without holding it in
// memory: 2048-byte packs, one VC-1 stream under 0xFD (about 90 % of the bytes), DD+, DTS and
// AC-3 audio and two subpicture streams, a time stamp on every access unit.
//
//   ombrix-bench-stream FILE MEBIBYTES            one file
//   ombrix-bench-stream --pair FOLDER MEBIBYTES   FEATURE_1.EVO and FEATURE_2.EVO, half each

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
    const std::uint64_t frame = 40000, audioUnit = 1792, subUnit = 8000;
    const std::uint64_t frames = bytes * 90 / 100 / frame;
    std::vector<StreamSource> streams;
    auto unit = [](std::size_t size, std::uint8_t a, std::uint8_t b, std::uint32_t phase) {
        Bytes u = filler(size, phase);
        u[0] = a;
        u[1] = b;
        return u;
    };
    streams.push_back(repeatedUnits(StreamSpec::Kind::Vc1Video, 0x55, vc1Frames(1, frame),
                                    vc1Frames(1, frame, false), frames));
    streams.back().withDts = true;
    streams.back().pstd = StreamSpec::Pstd::EveryPacket;
    const std::uint64_t audioUnits = bytes * 3 / 100 / audioUnit;
    for (std::uint8_t id : {std::uint8_t{0xC0}, std::uint8_t{0x89}, std::uint8_t{0x82}}) {
        const bool dts = id == 0x89;
        streams.push_back(repeatedUnits(StreamSpec::Kind::Audio, id, unit(audioUnit, dts ? 0x7F : 0x0B, dts ? 0xFE : 0x77, id),
                                        unit(audioUnit, dts ? 0x7F : 0x0B, dts ? 0xFE : 0x77, id + 1u), audioUnits));
        streams.back().ptsStep = 2880;
    }
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
