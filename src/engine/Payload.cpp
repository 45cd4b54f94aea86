#include "engine/Payload.h"

#include "analysers/Analysers.h"
#include "engine/EngineHost.h"
#include "engine/Format.h"
#include "engine/State.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <immintrin.h>
#endif

namespace ombrix {

namespace {

// A match at j: data[j] == 0x01, data[j+1] == the code's last byte, and data[j-1], data[j-2]
// zero or before the chunk (the 32-bit window starts as zero).
inline bool matchAt(const std::uint8_t* d, std::size_t j, std::uint8_t last) {
    return d[j] == 1 && d[j + 1] == last && (j < 1 || d[j - 1] == 0) && (j < 2 || d[j - 2] == 0);
}

// Counts matches at j in [from, to) one position at a time.
inline std::int32_t countScalar(const std::uint8_t* d, std::size_t from, std::size_t to, std::uint8_t last) {
    std::int32_t n = 0;
    for (std::size_t j = from; j < to; ++j) n += matchAt(d, j, last);
    return n;
}

#if defined(__SSE2__) || defined(_M_X64)
// Sixteen positions at a time: the four bytes of each window compared at once.
std::int32_t countSse2(const std::uint8_t* d, std::size_t from, std::size_t to, std::uint8_t last, std::size_t& done) {
    const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi8(1), tail = _mm_set1_epi8(static_cast<char>(last));
    std::int32_t n = 0;
    std::size_t j = from;
    for (; j + 16 <= to; j += 16) {
        const auto at = [&](std::size_t k) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + k)); };
        const __m128i m = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(at(j - 2), zero), _mm_cmpeq_epi8(at(j - 1), zero)),
                                        _mm_and_si128(_mm_cmpeq_epi8(at(j), one), _mm_cmpeq_epi8(at(j + 1), tail)));
        n += __builtin_popcount(static_cast<unsigned>(_mm_movemask_epi8(m)));
    }
    done = j;
    return n;
}
#endif

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#define OMBRIX_HAVE_AVX2_PATH 1
// Sixty-four positions at a time: find the 0x01 bytes, then check each one's window. In
// compressed video a 0x01 turns up about every 256 bytes, so most blocks have none.
__attribute__((target("avx2"))) std::int32_t countAvx2(const std::uint8_t* d, std::size_t from, std::size_t to,
                                                        std::uint8_t last, std::size_t& done) {
    const __m256i one = _mm256_set1_epi8(1);
    std::int32_t n = 0;
    std::size_t j = from;
    for (; j + 64 <= to; j += 64) {
        const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + j));
        const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + j + 32));
        const __m256i eqLo = _mm256_cmpeq_epi8(lo, one), eqHi = _mm256_cmpeq_epi8(hi, one);
        if (_mm256_testz_si256(_mm256_or_si256(eqLo, eqHi), _mm256_or_si256(eqLo, eqHi))) continue;
        std::uint64_t ones = static_cast<std::uint32_t>(_mm256_movemask_epi8(eqLo)) |
                             static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(eqHi))) << 32;
        while (ones) {
            const std::size_t k = j + static_cast<std::size_t>(__builtin_ctzll(ones));
            n += d[k + 1] == last && d[k - 1] == 0 && d[k - 2] == 0;
            ones &= ones - 1;
        }
    }
    done = j;
    return n;
}
const bool kHasAvx2 = __builtin_cpu_supports("avx2");
#endif

} // namespace

std::int32_t CountStartCodes(const std::uint8_t* data, std::size_t length, std::uint32_t code) {
    const std::uint8_t last = static_cast<std::uint8_t>(code & 0xFF);
    if (length < 2) return 0;
    const std::size_t end = length - 1; // a match needs the byte after its 0x01
    // The first two positions look before the chunk; the vector loops start at 2.
    const std::size_t head = std::min<std::size_t>(2, end);
    std::int32_t count = countScalar(data, 0, head, last);
    std::size_t j = head;
#ifdef OMBRIX_HAVE_AVX2_PATH
    if (kHasAvx2) count += countAvx2(data, j, end, last, j);
#endif
#if defined(__SSE2__) || defined(_M_X64)
    count += countSse2(data, j, end, last, j);
#endif
    return count + countScalar(data, j, end, last);
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
    // The chunk goes to the file from the read buffer itself; the pass commits it before the
    // next block is read.
    if (out) out->writeView(data, n);
}

} // namespace ombrix
