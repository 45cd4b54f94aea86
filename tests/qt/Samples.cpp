#include "Samples.h"

#include "support/PsBuilder.h"

namespace ombrix::testing {

Sample writeSample(const std::string& path, std::size_t videoBytes) {
    constexpr std::size_t kFrameSize = 20000;
    const std::size_t frames = std::max<std::size_t>(1, videoBytes / kFrameSize);
    std::vector<StreamSpec> streams(4);
    streams[0].kind = StreamSpec::Kind::Vc1Video;
    streams[0].id = 0x55;
    streams[0].data = vc1Frames(frames, kFrameSize);
    for (std::size_t k = 0; k < frames; ++k)
        streams[0].unitStarts.push_back(k * kFrameSize);
    const std::size_t audioFrames = std::max<std::size_t>(1, frames / 4);
    streams[1].kind = StreamSpec::Kind::Audio;
    streams[1].id = 0x80;
    streams[1].data = ac3Frames(audioFrames);
    streams[2].kind = StreamSpec::Kind::Audio;
    streams[2].id = 0xC1;
    streams[2].data = ac3Frames(audioFrames);
    for (std::size_t k = 0; k < audioFrames; ++k) {
        streams[1].unitStarts.push_back(k * kAc3FrameSize);
        streams[2].unitStarts.push_back(k * kAc3FrameSize);
    }
    streams[3].kind = StreamSpec::Kind::Subpicture;
    streams[3].id = 0x20;
    streams[3].data = filler(3000);
    MuxOptions opt;
    opt.audioBound = 2;
    const MuxResult mux = muxPacks(streams, opt);
    writeBytes(path, mux.file);
    return {mux.file.size(), streams[0].data.size()};
}

} // namespace ombrix::testing
