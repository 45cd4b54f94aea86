// Micro-benchmarks: the parser over 2048-byte packs in memory, and frame counting over video
// payload, in bytes per second.

#include "engine/Parser.h"
#include "engine/Payload.h"
#include "engine/State.h"
#include "support/FakeHost.h"
#include "support/PsBuilder.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

using namespace ombrix;
using namespace ombrix::testing;



Bytes randomVideo(std::size_t n);

Bytes block() {
    std::vector<StreamSpec> streams = {
        {.kind = StreamSpec::Kind::Vc1Video, .id = 0x55, .data = randomVideo(240000)},
        {.kind = StreamSpec::Kind::Audio, .id = 0xC0, .data = filler(12000)},
        {.kind = StreamSpec::Kind::Subpicture, .id = 0x20, .data = filler(3000, 1)},
    };
    streams[0].unitStarts = {0, 40000, 80000, 120000, 160000, 200000};
    Bytes file = muxPacks(streams).file;
    file.resize(std::min<std::size_t>(file.size(), kReadBufSize) / 2048 * 2048);
    return file;
}

void parserScan(benchmark::State& s) {
    EngineState state;
    FakeHost host; // details off: nothing is logged
    host.detailed = false;
    host.count = s.range(0) != 0;
    PayloadHandler handler(state, host);
    Parser parser(state, host, handler);
    const Bytes b = block();
    std::memcpy(state.ReadBuf, b.data(), b.size());
    parser.reset(false);
    state.VideoKey.fill(-1), state.AudioKey.fill(-1), state.SubKey.fill(-1);
    for (auto _ : s) parser.feed(b.size());
    s.SetBytesProcessed(static_cast<std::int64_t>(s.iterations() * b.size()));
}
BENCHMARK(parserScan)->Arg(0)->Arg(1);

// Compressed video looks random: a 0x01 byte every 256 bytes or so.
Bytes randomVideo(std::size_t n) {
    Bytes v(n);
    std::uint32_t x = 12345;
    for (auto& b : v) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    for (std::size_t at = 0; at + 4 < n; at += 32768) v[at] = 0, v[at + 1] = 0, v[at + 2] = 1, v[at + 3] = 0x0D;
    return v;
}

void frameCounting(benchmark::State& s) {
    const Bytes v = randomVideo(static_cast<std::size_t>(s.range(0)));
    std::int64_t n = 0;
    for (auto _ : s) {
        n += CountStartCodes(v.data(), v.size(), 0x10D);
        benchmark::DoNotOptimize(n);
    }
    s.SetBytesProcessed(static_cast<std::int64_t>(s.iterations() * v.size()));
}
BENCHMARK(frameCounting)->Arg(2000)->Arg(262144);

} // namespace

BENCHMARK_MAIN();
