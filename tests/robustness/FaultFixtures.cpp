#include "FaultFixtures.h"

#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>

namespace ombrix::testing {

BuiltFile writeFaultInput(const std::string& path, std::size_t scale) {
    using Kind = StreamSpec::Kind;
    auto units = [](std::size_t count, std::size_t size) {
        std::vector<std::size_t> starts;
        for (std::size_t k = 0; k < count; ++k)
            starts.push_back(k * size);
        return starts;
    };
    const std::size_t frames = 10 * scale;
    std::vector<StreamSpec> streams;
    streams.push_back({Kind::Vc1Video, 0x55, vc1Frames(frames, 4000), units(frames, 4000)});
    streams.push_back({Kind::Audio, 0xC0, filler(frames * 1000, 1), units(frames, 1000)});
    streams.push_back({Kind::Audio, 0x89, filler(frames * 900, 2), units(frames, 900)});
    streams.push_back({Kind::Audio, 0xA2, filler(frames * 1500, 3), units(frames, 1500)});
    streams.push_back({Kind::Audio, 0xB3, filler(frames * 1200, 4), units(frames, 1200)});
    streams.push_back({Kind::Subpicture, 0x20, filler(frames * 300, 5), units(frames, 300)});
    MuxOptions opt;
    opt.videoBound = 1;
    opt.audioBound = 4;
    return writeStreams(path, streams, opt);
}

Bytes outputBefore(const BuiltFile& file, std::size_t stream, std::size_t cut) {
    Bytes out;
    for (const auto& p : file.mux.packets) {
        if (p.streamIndex != stream || p.fileOffset >= cut) continue;
        const std::size_t end = std::min(p.fileOffset + p.payloadSize, cut);
        out.insert(out.end(), file.mux.file.begin() + static_cast<std::ptrdiff_t>(p.fileOffset),
                   file.mux.file.begin() + static_cast<std::ptrdiff_t>(end));
    }
    return out;
}

bool isPrefix(const Bytes& part, const Bytes& whole) {
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

std::map<std::string, Bytes> filesIn(const std::string& dir) {
    std::map<std::string, Bytes> files;
    // Regular files only: a link to /dev/full reads as endless zeros.
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.is_regular_file() && !e.is_symlink())
            files[e.path().filename().string()] = readFile(e.path().string());
    return files;
}

} // namespace ombrix::testing
