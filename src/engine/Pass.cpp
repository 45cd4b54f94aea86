#include "engine/Pass.h"

#include "engine/EngineHost.h"
#include "engine/Errors.h"
#include "engine/Parser.h"
#include "engine/Payload.h"
#include "engine/State.h"

#include <string>

namespace ombrix {

double remainingTime(double start, double now1, double now2, std::int64_t size, std::int64_t position) {
    const double elapsed = now1 - start;
    return start + elapsed * static_cast<double>(size) / static_cast<double>(position) - now2 + 1.0 / 86400.0;
}

void demux(EngineState& state, EngineHost& host, PassMode mode) {
    const bool demuxMode = mode == PassMode::Demux;
    host.setCancelEnabled(true);
    state.Cancelled = false;
    state.DemuxMode = demuxMode;

    PayloadHandler handler(state, host);
    handler.setDemuxMode(demuxMode);
    Parser parser(state, host, handler);
    parser.reset(demuxMode);
    const double start = host.now();

    state.fillAc3Tables();
    state.VideoKey.fill(-1);
    state.AudioKey.fill(-1);
    state.SubKey.fill(-1);
    state.AudioReported.fill(false);
    state.VideoReported.fill(false);

    FileStream& in = *state.InFile;
    const std::int64_t size = in.size();
    while (in.position() < size && !state.Cancelled) {
        if (demuxMode) state.commitOutputViews();
        const std::size_t count = in.read(state.ReadBuf, kReadBufSize);
        if (count == 0) throw Error("Stream read error");
        const std::int64_t pos = in.position();

        if (pos % kProgressStep == 0) {
            const double elapsedAt = host.now();
            const double nowAt = host.now();
            const double rest = remainingTime(start, elapsedAt, nowAt, size, pos);
            host.slog(std::to_string(pos / 1048576) + "/" + std::to_string(size / 1048576) +
                          " Mbytes, Remaining time: " + host.timeText(rest),
                      1);
            host.processMessages();
        }
        if (!demuxMode && host.fastCheck() && pos > kFastCheckLimit) state.Cancelled = true;
        if (pos % kRepaintStep == 0) host.repaintWindow();
        if (!demuxMode && pos == static_cast<std::int64_t>(kReadBufSize) && state.ReadBuf[16] == 0x01 &&
            state.ReadBuf[17] == 0xBB) {
            const int v = state.ReadBuf[24] & 0x1F;
            const int a = state.ReadBuf[23] >> 2;
            host.log("It contains " + std::to_string(v) + " video stream" + (v > 1 ? "s" : "") + " and " +
                     std::to_string(a) + " audio stream" + (a > 1 ? "s." : "."));
        }
        parser.feed(count);
    }
    if (demuxMode) state.commitOutputViews();
    if (state.Cancelled) state.FrameCount.fill(0);
    host.setCancelEnabled(false);
}

} // namespace ombrix
