// The rebuild's pack-by-pack copy over arbitrary bytes with an arbitrary stream table and
// arbitrary ticks, from a file in memory to an output that goes nowhere.
//
// Input: 5 bytes of ticks (video 0-1, audio 0-15, subpictures 0-15), 50 bytes of stream table
// (video slots 0-1, audio 0-15, subpictures 0-31; 0xFF is an empty slot), then the source.

#include "FuzzInput.h"
#include "engine/FileStream.h"
#include "engine/State.h"
#include "rebuild/Rebuild.h"
#include "rebuild/RebuildState.h"
#include "tests/support/FakeHost.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

using namespace ombrix;

namespace {

std::int32_t key(std::uint8_t b) {
    return b == 0xFF ? -1 : b;
}

struct Setup {
    EngineState st;
    testing::FakeHost host;
    RebuildState numbers;
    int fd = -1;
    std::string path;
    Setup() {
        fd = memfd_create("ombrix-rebuild-source", 0);
        if (fd < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        path = "/proc/self/fd/" + std::to_string(fd);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Setup setup;
    EngineState& st = setup.st;
    testing::FakeHost& host = setup.host;
    fuzz::FuzzInput in(data, size);

    const std::uint64_t ticks = in.bits(34);
    for (int i = 0; i < 2; ++i)
        host.video[static_cast<std::size_t>(i)] = in.bit(ticks, i);
    for (int i = 0; i < 16; ++i)
        host.audio[static_cast<std::size_t>(i)] = in.bit(ticks, 2 + i);
    for (int i = 0; i < 16; ++i)
        host.sub[static_cast<std::size_t>(i)] = in.bit(ticks, 18 + i);
    st.VideoKey.fill(-1);
    st.AudioKey.fill(-1);
    st.SubKey.fill(-1);
    for (int i = 0; i < 2; ++i)
        st.VideoKey[static_cast<std::size_t>(i)] = key(in.byte());
    for (auto& k : st.AudioKey)
        k = key(in.byte());
    for (auto& k : st.SubKey)
        k = key(in.byte());
    host.lines.clear();

    if (ftruncate(setup.fd, 0) != 0 ||
        pwrite(setup.fd, in.rest(), in.restSize(), 0) != static_cast<ssize_t>(in.restSize())) {
        std::perror("memfd");
        std::abort();
    }
    st.InFile = FileStream::openRead(setup.path);
    st.VideoOut[0] = FileStream::create("/dev/null");
    setup.numbers.reset();
    Rebuild(st, setup.numbers, host, "fuzz.EVO");
    st.closeAll();
    return 0;
}
