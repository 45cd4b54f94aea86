#include "support/SampleDisc.h"

#include <algorithm>
#include <filesystem>

namespace ombrix::testing {

std::vector<std::size_t> BuiltFile::firstAppearance() const {
    std::vector<std::size_t> order;
    for (const auto& p : mux.packets)
        if (std::find(order.begin(), order.end(), p.streamIndex) == order.end()) order.push_back(p.streamIndex);
    return order;
}

BuiltFile writeStreams(const std::string& path, std::vector<StreamSpec> streams, MuxOptions opt) {
    BuiltFile f;
    f.path = path;
    f.mux = muxPacks(streams, opt);
    f.streams = std::move(streams);
    writeBytes(path, f.mux.file);
    return f;
}

Bytes expectedOutput(const BuiltFile& file, std::size_t stream, std::uint32_t ptsBase) {
    Bytes out;
    const bool sup = file.streams[stream].kind == StreamSpec::Kind::Subpicture;
    bool open = false;
    for (const auto& p : file.mux.packets) {
        if (p.streamIndex != stream) continue;
        if (sup && p.pts) {
            const auto t = static_cast<std::uint32_t>(*p.pts) - ptsBase;
            const std::uint8_t h[10] = {'S',
                                        'P',
                                        static_cast<std::uint8_t>(t),
                                        static_cast<std::uint8_t>(t >> 8),
                                        static_cast<std::uint8_t>(t >> 16),
                                        static_cast<std::uint8_t>(t >> 24),
                                        0,
                                        0,
                                        0,
                                        0};
            out.insert(out.end(), h, h + 10);
            open = true;
        }
        if (sup && !open) continue;
        out.insert(out.end(), file.mux.file.begin() + static_cast<std::ptrdiff_t>(p.fileOffset),
                   file.mux.file.begin() + static_cast<std::ptrdiff_t>(p.fileOffset + p.payloadSize));
    }
    return out;
}

namespace {

std::vector<std::size_t> evenUnits(std::size_t count, std::size_t size) {
    std::vector<std::size_t> starts;
    for (std::size_t k = 0; k < count; ++k) starts.push_back(k * size);
    return starts;
}

StreamSpec video(std::size_t frames, std::size_t frameSize, std::uint64_t firstPts, bool sequenceHeader) {
    StreamSpec s{.kind = StreamSpec::Kind::Vc1Video, .id = 0x55, .data = vc1Frames(frames, frameSize, sequenceHeader)};
    s.unitStarts = evenUnits(frames, frameSize);
    s.firstPts = firstPts;
    s.ptsStep = 3754;
    s.withDts = true;
    s.pstd = StreamSpec::Pstd::EveryPacket;
    return s;
}

StreamSpec audio(std::uint8_t id, std::size_t units, std::size_t unitSize, std::uint64_t firstPts,
                 std::uint32_t phase) {
    StreamSpec s{.kind = StreamSpec::Kind::Audio, .id = id, .data = filler(units * unitSize, phase)};
    // Each unit starts with a sync word the analysers look for.
    for (std::size_t k = 0; k < units; ++k) {
        s.data[k * unitSize] = id >= 0xC0 ? 0x0B : 0x7F;
        s.data[k * unitSize + 1] = id >= 0xC0 ? 0x77 : 0xFE;
    }
    s.unitStarts = evenUnits(units, unitSize);
    s.firstPts = firstPts;
    s.ptsStep = 2880;
    return s;
}

StreamSpec subpicture(std::uint8_t id, std::size_t units, std::size_t unitSize, std::uint64_t firstPts,
                      std::uint32_t phase) {
    StreamSpec s{.kind = StreamSpec::Kind::Subpicture, .id = id, .data = filler(units * unitSize, phase)};
    s.unitStarts = evenUnits(units, unitSize);
    s.firstPts = firstPts;
    s.ptsStep = 90000;
    return s;
}

} // namespace

FeaturePair makeFeaturePair(const std::string& folder, std::size_t frames, std::size_t frameSize) {
    std::filesystem::create_directories(folder);
    const std::uint64_t start1 = 90000;
    const std::uint64_t start2 = start1 + frames * 3754;
    const std::size_t audioUnits = frames * 2;
    const std::size_t subUnits = std::max<std::size_t>(2, frames / 16);
    FeaturePair pair;
    MuxOptions opt;
    opt.videoBound = 1;
    opt.audioBound = 2;
    pair.first = writeStreams((std::filesystem::path(folder) / "FEATURE_1.EVO").string(),
                              {video(frames, frameSize, start1, true), audio(0xC0, audioUnits, 1000, start1 + 600, 1),
                               subpicture(0x20, subUnits, 3000, start1 + 45000, 2),
                               subpicture(0x21, subUnits, 2000, start1 + 45000, 3)},
                              opt);
    opt.audioBound = 3;
    opt.shuffle = 2;
    pair.second = writeStreams((std::filesystem::path(folder) / "FEATURE_2.EVO").string(),
                               {video(frames, frameSize, start2, true), audio(0xC0, audioUnits, 1000, start2 + 600, 4),
                                audio(0x89, audioUnits, 1100, start2 + 700, 5),
                                subpicture(0x20, subUnits, 3000, start2 + 45000, 6)},
                               opt);
    return pair;
}

} // namespace ombrix::testing
