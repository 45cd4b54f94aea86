#include "rebuild/Rebuild.h"

#include "engine/EngineHost.h"
#include "engine/Errors.h"
#include "engine/Pass.h"
#include "engine/State.h"
#include "rebuild/PackRewrite.h"
#include "rebuild/RebuildState.h"
#include "rebuild/Renumbering.h"

#include <algorithm>
#include <array>

namespace ombrix {

double rebuildRemainingTime(double elapsed, std::int64_t size, std::int64_t position) {
    return elapsed * static_cast<double>(size) / static_cast<double>(position) - elapsed + 1.0 / 86400.0;
}

void Rebuild(EngineState& state, RebuildState& numbers, EngineHost& host, const std::string& sourceName) {
    host.setCancelEnabled(true);
    state.DemuxMode = true;
    state.Cancelled = false;
    const double start = host.now();

    FileStream& in = *state.InFile;
    FileStream& out = *state.VideoOut[0];
    Renumbering renumbering(numbers, state, host);
    const std::int64_t size = in.size();

    // The copy goes pack by pack, but reads a whole read buffer of packs at a time and writes
    // each run of kept packs in one piece, straight from the buffer. The pack area of a short
    // last block still holds the bytes of the pack before it, as one 2048-byte area would.
    std::uint8_t* buf = state.ReadBuf;
    std::array<std::uint8_t, kPackSize> previous;
    std::copy_n(buf, kPackSize, previous.begin());
    std::int64_t pos = in.position();
    do {
        out.commitViews(); // the kept packs of the last block, before the buffer is refilled
        const std::size_t got = in.read(buf, kReadBufSize);
        if (got == 0 && in.position() < size) throw Error("Stream read error");
        std::size_t runStart = 0, runLength = 0;
        auto flushRun = [&] {
            if (runLength) out.writeView(buf + runStart, runLength);
            runLength = 0;
        };
        std::size_t at = 0;
        for (; at < got && !state.Cancelled; at += kPackSize) {
            const std::size_t n = std::min(kPackSize, got - at);
            pos += static_cast<std::int64_t>(n);
            // An empty source reads nothing at position 0: there is nothing to estimate.
            if (pos % kProgressStep == 0) {
                flushRun();
                const double remaining = rebuildRemainingTime(host.now() - start, size, pos);
                host.slog("Rebuilding " + sourceName + " " + std::to_string(pos / 1048576) + "/" +
                              std::to_string(size / 1048576) +
                              " Mbytes, Remaining time: " + host.timeText(remaining),
                          1);
                host.processMessages();
            }
            std::uint8_t* pack = buf + at;
            if (n < kPackSize) {
                // The short last block: its bytes over the previous pack's.
                std::uint8_t* behind = at >= kPackSize ? buf + at - kPackSize : previous.data();
                std::array<std::uint8_t, kPackSize> area;
                std::copy_n(behind, kPackSize, area.begin());
                std::copy_n(pack, n, area.begin());
                flushRun();
                if (rebuildBlock(area.data(), renumbering, host)) out.write(area.data(), n);
                continue;
            }
            if (rebuildBlock(pack, renumbering, host)) {
                if (!runLength) runStart = at;
                runLength += n;
            } else {
                flushRun();
            }
        }
        flushRun();
        if (at >= kPackSize) std::copy_n(buf + at - kPackSize, kPackSize, previous.begin());
    } while (pos < size && !state.Cancelled);
    out.commitViews();
    host.setCancelEnabled(false);
}

} // namespace ombrix
