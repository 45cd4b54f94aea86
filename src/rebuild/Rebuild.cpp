#include "rebuild/Rebuild.h"

#include "engine/EngineHost.h"
#include "engine/Errors.h"
#include "engine/Pass.h"
#include "engine/State.h"
#include "rebuild/PackRewrite.h"
#include "rebuild/RebuildState.h"
#include "rebuild/Renumbering.h"

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
    // The block area keeps the previous block's bytes behind a short last block.
    std::uint8_t* block = state.ReadBuf;
    const std::int64_t size = in.size();
    do {
        const std::size_t n = in.read(block, kPackSize);
        const std::int64_t pos = in.position();
        if (n == 0 && pos < size) throw Error("Stream read error");
        // An empty source reads nothing at position 0: there is nothing to estimate.
        if (pos > 0 && pos % kProgressStep == 0) {
            const double remaining = rebuildRemainingTime(host.now() - start, size, pos);
            host.slog("Rebuilding " + sourceName + " " + std::to_string(pos / 1048576) + "/" +
                          std::to_string(size / 1048576) +
                          " Mbytes, Remaining time: " + host.timeText(remaining),
                      1);
            host.processMessages();
        }
        if (n > 0 && rebuildBlock(block, renumbering, host)) out.write(block, n);
    } while (in.position() < size && !state.Cancelled);
    host.setCancelEnabled(false);
}

} // namespace ombrix
