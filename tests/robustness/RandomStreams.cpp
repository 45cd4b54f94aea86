#include "RandomStreams.h"

#include <algorithm>
#include <random>
#include <vector>

namespace ombrix::testing {
namespace {

using Kind = StreamSpec::Kind;

// The family's first id: the number within the family is added to it.
struct Family {
    Kind kind;
    std::uint8_t base;
};

const Family kVideo[] = {{Kind::Vc1Video, 0x55}, {Kind::Mpeg2Video, 0xE0}, {Kind::H264Video, 0xE2}};
const Family kAudio[] = {
    {Kind::Audio, 0x80}, {Kind::Audio, 0x88}, {Kind::Audio, 0xA0}, {Kind::Audio, 0xB0}, {Kind::Audio, 0xC0}};
const Family kSub[] = {{Kind::Subpicture, 0x20}, {Kind::Subpicture, 0x60}};

StreamSpec randomStream(std::mt19937& rng, const Family& f) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    StreamSpec s{f.kind, f.base};
    const auto units = static_cast<std::size_t>(pick(1, 8));
    const auto unitSize = static_cast<std::size_t>(pick(f.kind == Kind::Subpicture ? 40 : 60, 4000));
    switch (f.kind) {
    case Kind::Vc1Video:
        s.data = vc1Frames(units, unitSize);
        break;
    case Kind::Mpeg2Video:
        s.data = mpeg2Pictures(units, std::max<std::size_t>(unitSize, 200));
        break;
    case Kind::H264Video:
        s.data = h264AccessUnits(units, std::max<std::size_t>(unitSize, 200));
        break;
    default:
        s.data = filler(units * unitSize, static_cast<std::uint32_t>(rng()));
        break;
    }
    const std::size_t size = s.data.size() / units;
    for (std::size_t k = 0; k < units; ++k)
        s.unitStarts.push_back(k * size);
    s.firstPts = 90000 + static_cast<std::uint64_t>(pick(0, 200000));
    s.ptsStep = static_cast<std::uint32_t>(pick(1, 6000));
    s.withDts = f.kind != Kind::Audio && f.kind != Kind::Subpicture && pick(0, 1) == 1;
    s.alignUnits = pick(0, 3) == 0;
    s.pstd = static_cast<StreamSpec::Pstd>(pick(0, 2));
    return s;
}

// Gives the streams of each kind the numbers 0, 1, ... in the order of their first packet.
void numberInOrder(std::vector<StreamSpec>& streams, const MuxResult& mux) {
    std::vector<std::size_t> order;
    for (const auto& p : mux.packets)
        if (std::find(order.begin(), order.end(), p.streamIndex) == order.end())
            order.push_back(p.streamIndex);
    int video = 0, audio = 0, sub = 0;
    for (std::size_t i : order) {
        StreamSpec& s = streams[i];
        int& next = s.kind == Kind::Audio ? audio : s.kind == Kind::Subpicture ? sub : video;
        s.id = static_cast<std::uint8_t>(s.id + next++);
    }
}

} // namespace

RandomFile writeRandomStreams(const std::string& path, std::uint32_t draw) {
    std::mt19937 rng(draw);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    RandomFile r;
    std::vector<StreamSpec> streams;
    do {
        r.video = pick(0, 2);
        r.audio = pick(0, 5);
        r.sub = pick(0, 3);
    } while (r.video + r.audio + r.sub == 0);
    for (int i = 0; i < r.video; ++i)
        streams.push_back(randomStream(rng, kVideo[pick(0, 2)]));
    for (int i = 0; i < r.audio; ++i)
        streams.push_back(randomStream(rng, kAudio[pick(0, 4)]));
    for (int i = 0; i < r.sub; ++i)
        streams.push_back(randomStream(rng, kSub[pick(0, 1)]));

    MuxOptions opt;
    opt.shuffle = static_cast<std::uint32_t>(rng());
    opt.systemHeader = false;
    // The interleave depends on the streams' sizes only, so numbering after a first mux keeps it.
    numberInOrder(streams, muxPacks(streams, opt));

    // As on a disc, the system header travels in a pack of its own at the start (where the
    // navigation pack is), with the bounds a rebuild that keeps every stream writes.
    PsBuilder nav;
    nav.packHeader(0).systemHeader(r.video, r.audio).padTo(kPackSize);
    MuxResult mux = muxPacks(streams, opt);
    mux.file.insert(mux.file.begin(), nav.bytes().begin(), nav.bytes().end());
    for (auto& p : mux.packets) {
        p.fileOffset += kPackSize;
        p.packOffset += kPackSize;
    }
    r.file.path = path;
    r.file.streams = std::move(streams);
    r.file.mux = std::move(mux);
    writeBytes(path, r.file.mux.file);
    return r;
}

} // namespace ombrix::testing
