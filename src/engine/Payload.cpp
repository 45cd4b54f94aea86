#include "engine/Payload.h"

#include "analysers/Analysers.h"
#include "engine/EngineHost.h"
#include "engine/Format.h"
#include "engine/State.h"

#include <cstring>

namespace ombrix {

std::int32_t CountStartCodes(const std::uint8_t* data, std::size_t length, std::uint32_t code) {
    // A match ends at index k with data[k-1] == 0x01 and data[k] == the code's last byte, and
    // the bytes at k-2 and k-3 zero or before the chunk (the window starts as zero).
    const std::uint8_t last = static_cast<std::uint8_t>(code & 0xFF);
    std::int32_t count = 0;
    if (length < 2) return 0;
    const std::uint8_t* p = data;
    const std::uint8_t* end = data + length - 1; // a 0x01 must have one byte after it
    while (p < end) {
        p = static_cast<const std::uint8_t*>(std::memchr(p, 0x01, static_cast<std::size_t>(end - p)));
        if (!p) break;
        const std::size_t j = static_cast<std::size_t>(p - data);
        if (p[1] == last && (j < 1 || p[-1] == 0) && (j < 2 || p[-2] == 0)) ++count;
        ++p;
    }
    return count;
}

void PayloadHandler::chunk(std::int32_t offset, std::int32_t length, ParserRecord& rec) {
    // 1. Frame counting.
    if (rec.Kind == PacketKind::Video && host_.countFrames()) {
        const int slot = rec.VideoSlot;
        if (!demuxMode_ || host_.videoTicked(slot))
            state_.FrameCount[static_cast<std::size_t>(slot)] += CountStartCodes(
                state_.ReadBuf + offset, static_cast<std::size_t>(length), frameStartCode(rec.VideoKind));
    }
    if (!demuxMode_)
        report(offset, length, rec);
    else
        output(offset, length, rec);
}

void PayloadHandler::report(std::int32_t offset, std::int32_t length, ParserRecord& rec) {
    if (!host_.details()) return;
    if (rec.Kind == PacketKind::Audio) {
        const auto slot = static_cast<std::size_t>(rec.AudioSlot);
        if (state_.AudioReported[slot]) return;
        state_.AudioReported[slot] = true;
        host_.log("   First PTS = " + hex8(rec.AudioPts));
        if (rec.AudioPts < state_.MinPts) state_.MinPts = rec.AudioPts;
        if (rec.AudioKind == AudioCoding::DdPlus)
            AC3info(state_, host_, offset, length, rec.AudioSlot);
        else if (rec.AudioKind == AudioCoding::Dts)
            DTSinfo(state_, host_, offset, length, rec.AudioSlot);
    } else if (rec.Kind == PacketKind::Video) {
        const auto slot = static_cast<std::size_t>(rec.VideoSlot);
        if (state_.VideoReported[slot]) return;
        state_.VideoReported[slot] = true;
        host_.log("   First PTS = " + hex8(rec.VideoPts));
        if (rec.VideoPts < state_.MinPts) state_.MinPts = rec.VideoPts;
        switch (rec.VideoKind) {
        case VideoCoding::Vc1: VC1info(state_, host_, offset, length, rec.Dts, rec.VideoPts); break;
        case VideoCoding::H264: H264info(state_, host_, offset, length, rec.VideoPts, rec.Dts); break;
        case VideoCoding::Mpeg2: MPEG2info(state_, host_, offset, length, rec.VideoPts, rec.Dts); break;
        }
    }
}

void PayloadHandler::output(std::int32_t offset, std::int32_t length, ParserRecord& rec) {
    const std::uint8_t* data = state_.ReadBuf + offset;
    const auto n = static_cast<std::size_t>(length);
    FileStream* out = nullptr;
    if (rec.Kind == PacketKind::Video) {
        if (host_.videoTicked(rec.VideoSlot)) out = state_.VideoOut[static_cast<std::size_t>(rec.VideoSlot)].get();
    } else if (rec.Kind == PacketKind::Audio) {
        if (host_.audioTicked(rec.AudioSlot)) out = state_.AudioOut[static_cast<std::size_t>(rec.AudioSlot)].get();
    } else if (rec.Kind == PacketKind::Subpicture) {
        const int s = rec.SubSlot;
        if (s > 15 || !host_.subTicked(s)) return;
        out = state_.SubOut[static_cast<std::size_t>(s)].get();
        if (!out) return;
        auto& open = state_.SubRecordOpen[static_cast<std::size_t>(s)];
        if (rec.FirstChunk && rec.PacketHasPts) {
            // A record starts with every subpicture packet that carries its own time stamp.
            const std::uint32_t base = state_.MinPts == 0xFFFFFFFFu ? 0 : state_.MinPts;
            const std::uint32_t t = rec.PacketPts - base;
            const std::uint8_t header[10] = {'S',
                                             'P',
                                             static_cast<std::uint8_t>(t),
                                             static_cast<std::uint8_t>(t >> 8),
                                             static_cast<std::uint8_t>(t >> 16),
                                             static_cast<std::uint8_t>(t >> 24),
                                             0,
                                             0,
                                             0,
                                             0};
            out->write(header, sizeof header);
            open = true;
        }
        // A fragment of a unit whose start is not in the output has no record to belong to.
        if (!open) return;
    }
    if (out) out->write(data, n);
}

} // namespace ombrix
