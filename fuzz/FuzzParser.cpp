// The parser with payload handling over arbitrary bytes: a scan (with or without "Detailed
// info", so every analyser is reached) or a demux into outputs that go nowhere, the bytes
// handed over in blocks of a size the input chooses, so that packets, headers and time stamps
// are cut at every place. Bytes of the read buffer after the block in hand can't be read.
//
// Input: a flags byte (bit 0 demux, bit 1 details, bit 2 count frames, bits 3-7 the block
// size), 5 bytes of ticks (video 0-1, audio 0-15, subpictures 0-15), 4 bytes of MinPts for a
// demux, then the stream.

#include "BufferGuard.h"
#include "FuzzInput.h"
#include "engine/FileStream.h"
#include "engine/Parser.h"
#include "engine/Payload.h"
#include "engine/State.h"
#include "tests/support/FakeHost.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

using namespace ombrix;

constexpr std::array<std::size_t, 16> kBlockSizes = {kReadBufSize, 1,   2,   3,    5,    7,    13,   64,
                                                     100,          188, 511, 2047, 2048, 2049, 4099, 65536};

struct Setup {
    EngineState st;
    testing::FakeHost host;
    Setup() {
        for (auto& out : st.VideoOut)
            out = FileStream::create("/dev/null");
        for (auto& out : st.AudioOut)
            out = FileStream::create("/dev/null");
        for (auto& out : st.SubOut)
            out = FileStream::create("/dev/null");
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Setup setup;
    EngineState& st = setup.st;
    testing::FakeHost& host = setup.host;
    fuzz::FuzzInput in(data, size);

    const std::uint8_t flags = in.byte();
    const bool demuxMode = (flags & 1) != 0;
    host.detailed = (flags & 2) != 0;
    host.count = (flags & 4) != 0;
    const std::size_t blockSize = kBlockSizes[(flags >> 3) % kBlockSizes.size()];
    const std::uint64_t ticks = in.bits(34);
    for (int i = 0; i < 2; ++i)
        host.video[static_cast<std::size_t>(i)] = in.bit(ticks, i);
    for (int i = 0; i < 16; ++i)
        host.audio[static_cast<std::size_t>(i)] = in.bit(ticks, 2 + i);
    for (int i = 0; i < 16; ++i)
        host.sub[static_cast<std::size_t>(i)] = in.bit(ticks, 18 + i);
    const std::uint32_t minPts = in.u32();
    host.lines.clear();

    st.fillAc3Tables();
    st.VideoKey.fill(-1);
    st.AudioKey.fill(-1);
    st.SubKey.fill(-1);
    st.VideoReported.fill(false);
    st.AudioReported.fill(false);
    st.SubRecordOpen.fill(false);
    st.FrameCount = {0, 0};
    st.MinPts = demuxMode ? minPts : 0xFFFFFFFFu;
    st.DemuxMode = demuxMode;

    PayloadHandler handler(st, host);
    handler.setDemuxMode(demuxMode);
    Parser parser(st, host, handler);
    parser.reset(demuxMode);

    const std::uint8_t* p = in.rest();
    std::size_t left = in.restSize();
    while (left > 0) {
        const std::size_t n = std::min(left, blockSize);
        std::memcpy(st.ReadBuf, p, n);
        {
            fuzz::OnlyReadable guard(st.ReadBuf, kReadBufSize, 0, n);
            parser.feed(n);
            // As the pass does before it refills the buffer: the outputs take the block's bytes.
            if (demuxMode) st.commitOutputViews();
        }
        p += n;
        left -= n;
    }
    return 0;
}
