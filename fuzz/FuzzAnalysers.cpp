// Each analyser alone on an arbitrary chunk placed anywhere in the read buffer, the end
// included. Only the chunk's bytes can be read: a read before or after it is a finding.
//
// Input: the analyser (byte 0 modulo 5), where the chunk lies (byte 1: 0 at the start, 1 at the
// very end of the buffer, otherwise a position from the next 4 bytes), the audio slot, the two
// time stamps, then the chunk.

#include "BufferGuard.h"
#include "FuzzInput.h"
#include "analysers/Analysers.h"
#include "engine/State.h"
#include "tests/support/FakeHost.h"

#include <algorithm>
#include <cstring>

using namespace ombrix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static EngineState st;
    static testing::FakeHost host;
    fuzz::FuzzInput in(data, size);

    const std::uint8_t which = in.byte() % 5;
    const std::uint8_t place = in.byte();
    const std::uint32_t position = in.u32();
    const auto slot = static_cast<std::int32_t>(in.byte() % 16);
    const std::uint32_t pts = in.u32();
    const std::uint32_t dts = in.u32();

    const std::size_t length = std::min(in.restSize(), kReadBufSize);
    std::size_t offset = 0;
    if (place % 3 == 1)
        offset = kReadBufSize - length;
    else if (place % 3 == 2)
        offset = position % (kReadBufSize - length + 1);
    std::memcpy(st.ReadBuf + offset, in.rest(), length);
    host.lines.clear();
    st.fillAc3Tables();

    fuzz::OnlyReadable guard(st.ReadBuf, kReadBufSize, offset, length);
    const auto off = static_cast<std::int32_t>(offset);
    const auto len = static_cast<std::int32_t>(length);
    switch (which) {
    case 0:
        AC3info(st, host, off, len, slot);
        break;
    case 1:
        DTSinfo(st, host, off, len, slot);
        break;
    case 2:
        MPEG2info(st, host, off, len, pts, dts);
        break;
    case 3:
        VC1info(st, host, off, len, dts, pts);
        break;
    default:
        H264info(st, host, off, len, pts, dts);
        break;
    }
    return 0;
}
