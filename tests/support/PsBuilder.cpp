#include "support/PsBuilder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace ombrix::testing {

namespace {

void require(bool ok, const char* what) {
    if (!ok) throw std::invalid_argument(std::string("PsBuilder: ") + what);
}

void put16(Bytes& out, std::size_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

// MSB-first bit packing for the elementary-stream headers; the last byte is padded with zeros.
class BitWriter {
  public:
    void bits(std::uint64_t value, int count) {
        for (int i = count - 1; i >= 0; --i)
            bit((value >> i) & 1);
    }
    void bit(std::uint64_t b) {
        acc_ = static_cast<std::uint8_t>((acc_ << 1) | (b & 1));
        if (++used_ == 8) flushByte();
    }
    // Exp-Golomb codes of H.264.
    void ue(std::uint32_t v) {
        const std::uint64_t x = std::uint64_t{v} + 1;
        int len = 0;
        while ((x >> len) > 1)
            ++len;
        bits(0, len);
        bits(x, len + 1);
    }
    void se(std::int32_t v) {
        ue(v <= 0 ? static_cast<std::uint32_t>(-2 * v) : static_cast<std::uint32_t>(2 * v - 1));
    }
    // A 1 bit, then zeros up to the byte boundary (H.264 rbsp_trailing_bits, VC-1 flushing bits).
    void trailing() {
        bit(1);
        while (used_ != 0)
            bit(0);
    }
    Bytes take() {
        while (used_ != 0)
            bit(0);
        return std::move(out_);
    }

  private:
    void flushByte() {
        out_.push_back(acc_);
        acc_ = 0;
        used_ = 0;
    }
    Bytes out_;
    std::uint8_t acc_ = 0;
    int used_ = 0;
};

// H.264 emulation prevention: 00 00 followed by 00..03 gets an 03 between.
Bytes escapeNal(const Bytes& rbsp) {
    Bytes out;
    int zeros = 0;
    for (std::uint8_t b : rbsp) {
        if (zeros >= 2 && b <= 3) {
            out.push_back(3);
            zeros = 0;
        }
        out.push_back(b);
        zeros = b == 0 ? zeros + 1 : 0;
    }
    return out;
}

// Fills a unit from its header to exactly `size` bytes.
Bytes finishUnit(Bytes unit, std::size_t size, std::uint32_t phase, const char* what) {
    if (unit.size() > size) throw std::invalid_argument(std::string("PsBuilder: unit too small for ") + what);
    append(unit, filler(size - unit.size(), phase));
    return unit;
}

std::uint64_t splitmix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // namespace

// ---- Single pieces -------------------------------------------------------------------------

Bytes timeStampBytes(std::uint8_t prefix, std::uint64_t value) {
    require(prefix <= 0xF, "time stamp prefix wider than 4 bits");
    require(value <= kTimeStampMask, "time stamp wider than 33 bits");
    const std::uint32_t hi = static_cast<std::uint32_t>(value >> 30) & 0x7;
    const std::uint32_t mid = static_cast<std::uint32_t>(value >> 15) & 0x7FFF;
    const std::uint32_t lo = static_cast<std::uint32_t>(value) & 0x7FFF;
    return {static_cast<std::uint8_t>((prefix << 4) | (hi << 1) | 1), static_cast<std::uint8_t>(mid >> 7),
            static_cast<std::uint8_t>(((mid & 0x7F) << 1) | 1), static_cast<std::uint8_t>(lo >> 7),
            static_cast<std::uint8_t>(((lo & 0x7F) << 1) | 1)};
}

Bytes packHeaderBytes(std::uint64_t scr, std::uint32_t muxRate, std::uint16_t scrExtension) {
    require(scr <= kTimeStampMask, "SCR wider than 33 bits");
    require(scrExtension < 512, "SCR extension wider than 9 bits");
    require(muxRate < (1u << 22), "mux rate wider than 22 bits");
    const auto b = [](std::uint64_t v) { return static_cast<std::uint8_t>(v); };
    return {0x00,
            0x00,
            0x01,
            0xBA,
            b(0x44 | ((scr >> 27) & 0x38) | ((scr >> 28) & 0x03)), // '01', SCR[32..30], marker, SCR[29..28]
            b(scr >> 20),
            b(((scr >> 12) & 0xF8) | 0x04 |
              ((scr >> 13) & 0x03)), // SCR[27..20]; SCR[19..15], marker, SCR[14..13]
            b(scr >> 5),
            b(((scr << 3) & 0xF8) | 0x04 | ((scrExtension >> 7) & 0x03)), // SCR[4..0], marker, ext[8..7]
            b(((scrExtension << 1) & 0xFE) | 0x01),                       // ext[6..0], marker
            b(muxRate >> 14),
            b(muxRate >> 6),
            b(((muxRate << 2) & 0xFC) | 0x03),
            0xF8};
}

std::uint16_t systemBufferBound(std::uint8_t id) {
    if ((id >= 0xC0 && id <= 0xDF) || id == 0xB8) return 32;
    if ((id >= 0xE0 && id <= 0xEF) || id == 0xFD || id == 0xB9) return 0x2000 | 232;
    return 0x2000 | 58;
}

Bytes systemHeaderBytes(int videoBound, int audioBound, const std::vector<std::uint8_t>& streamIds,
                        std::uint32_t rateBound) {
    require(videoBound >= 0 && videoBound <= 16, "video bound outside 0..16");
    require(audioBound >= 0 && audioBound <= 32, "audio bound outside 0..32");
    require(rateBound < (1u << 22), "rate bound wider than 22 bits");
    Bytes out{0x00, 0x00, 0x01, 0xBB};
    put16(out, 6 + 3 * streamIds.size());
    out.push_back(static_cast<std::uint8_t>(0x80 | (rateBound >> 15)));
    out.push_back(static_cast<std::uint8_t>(rateBound >> 7));
    out.push_back(static_cast<std::uint8_t>((rateBound << 1) | 0x01));
    out.push_back(static_cast<std::uint8_t>(audioBound << 2));   // fixed_flag 0, CSPS_flag 0
    out.push_back(static_cast<std::uint8_t>(0xE0 | videoBound)); // audio lock, video lock, marker
    out.push_back(0x7F);
    for (std::uint8_t id : streamIds) {
        const std::uint16_t bound = systemBufferBound(id);
        out.push_back(id);
        out.push_back(static_cast<std::uint8_t>(0xC0 | (bound >> 8)));
        out.push_back(static_cast<std::uint8_t>(bound));
    }
    return out;
}

std::size_t pesHeaderDataLength(const PesOptions& opt) {
    std::size_t n = opt.stuffing;
    if (opt.pts) n += opt.dts ? 10 : 5;
    if (opt.pstd || opt.streamIdExtension) {
        n += 1;
        if (opt.pstd) n += 2;
        if (opt.streamIdExtension) n += 2;
    }
    return n;
}

Bytes pesHeaderBytes(std::uint8_t streamId, std::size_t payloadSize, const PesOptions& opt) {
    require(!opt.dts || opt.pts, "DTS without PTS");
    require(!opt.pstd || *opt.pstd <= 0x3FFF, "P-STD value wider than 14 bits");
    require(!opt.streamIdExtension || *opt.streamIdExtension <= 0x7F,
            "stream_id_extension wider than 7 bits");
    const std::size_t hdrLen = pesHeaderDataLength(opt);
    if (hdrLen > 0xFF) throw std::length_error("PsBuilder: PES header data longer than 255 bytes");
    const std::size_t length = 3 + hdrLen + payloadSize;
    if (!opt.lengthOverride && length > 0xFFFF)
        throw std::length_error("PsBuilder: PES packet longer than 65535");

    Bytes out{0x00, 0x00, 0x01, streamId};
    put16(out, opt.lengthOverride ? *opt.lengthOverride : length);
    out.push_back(0x81); // '10', not scrambled, original
    const bool ext = opt.pstd || opt.streamIdExtension;
    out.push_back(
        static_cast<std::uint8_t>((opt.pts ? (opt.dts ? 0xC0 : 0x80) : 0x00) | (ext ? 0x01 : 0x00)));
    out.push_back(opt.headerLengthOverride ? *opt.headerLengthOverride : static_cast<std::uint8_t>(hdrLen));
    if (opt.pts) append(out, timeStampBytes(opt.dts ? 0x3 : 0x2, *opt.pts));
    if (opt.dts) append(out, timeStampBytes(0x1, *opt.dts));
    if (ext) {
        out.push_back(
            static_cast<std::uint8_t>(0x0E | (opt.pstd ? 0x10 : 0) | (opt.streamIdExtension ? 0x01 : 0)));
        if (opt.pstd) put16(out, 0x4000 | *opt.pstd);
        if (opt.streamIdExtension) {
            out.push_back(0x81);                   // marker + PES_extension_field_length 1
            out.push_back(*opt.streamIdExtension); // stream_id_extension_flag 0
        }
    }
    out.insert(out.end(), opt.stuffing, 0xFF);
    return out;
}

Bytes pesPacket(std::uint8_t streamId, const Bytes& payload, const PesOptions& opt) {
    Bytes out = pesHeaderBytes(streamId, payload.size(), opt);
    append(out, payload);
    return out;
}

// ---- Substreams ----------------------------------------------------------------------------

Substream substreamKind(std::uint8_t id) {
    if (id >= 0x20 && id <= 0x3F) return Substream::Subpicture;
    if (id >= 0x60 && id <= 0x7F) return Substream::ExtendedSubpicture;
    if (id >= 0x80 && id <= 0x87) return Substream::Ac3;
    if (id >= 0x88 && id <= 0x8F) return Substream::Dts;
    if (id >= 0xA0 && id <= 0xA7) return Substream::Lpcm;
    if (id >= 0xB0 && id <= 0xB7) return Substream::Mlp;
    if (id >= 0xC0 && id <= 0xCF) return Substream::DdPlus;
    return Substream::Other;
}

namespace {
bool isSubpicture(std::uint8_t id) {
    const Substream k = substreamKind(id);
    return k == Substream::Subpicture || k == Substream::ExtendedSubpicture;
}
std::size_t extraBytes(std::uint8_t id) {
    const Substream k = substreamKind(id);
    return k == Substream::Lpcm ? 3 : k == Substream::Mlp ? 1 : 0;
}
} // namespace

std::size_t substreamHeaderSize(std::uint8_t id) {
    return isSubpicture(id) ? 1 : 4 + extraBytes(id);
}

Bytes audioSubstreamHeader(std::uint8_t id, const SubstreamHeader& h) {
    require(!isSubpicture(id), "subpicture id given as audio substream");
    const std::size_t extra = extraBytes(id);
    Bytes out{id, h.frameHeaders};
    put16(out, h.firstAccessUnit ? *h.firstAccessUnit : 1 + extra);
    if (h.extra) {
        require(h.extra->size() == extra, "substream extra bytes of the wrong size");
        append(out, *h.extra);
    } else if (substreamKind(id) == Substream::Lpcm) {
        append(out, {0x00, 0x01, 0x80});
    } else if (extra == 1) {
        out.push_back(0x00);
    }
    return out;
}

// ---- PsBuilder -----------------------------------------------------------------------------

PsBuilder& PsBuilder::packHeader(std::uint64_t scr, std::uint32_t muxRate, std::uint16_t scrExtension) {
    append(bytes_, packHeaderBytes(scr, muxRate, scrExtension));
    lastMuxRate_ = muxRate;
    return *this;
}

PsBuilder& PsBuilder::systemHeader(int videoBound, int audioBound, std::vector<std::uint8_t> streamIds) {
    append(bytes_, systemHeaderBytes(videoBound, audioBound, streamIds, lastMuxRate_));
    return *this;
}

PsBuilder& PsBuilder::pes(std::uint8_t streamId, const Bytes& payload, const PesOptions& opt) {
    append(bytes_, pesPacket(streamId, payload, opt));
    return *this;
}

PsBuilder& PsBuilder::vc1(const Bytes& payload, PesOptions opt, std::uint8_t extension) {
    if (!opt.streamIdExtension) opt.streamIdExtension = extension;
    return pes(0xFD, payload, opt);
}

PsBuilder& PsBuilder::audio(std::uint8_t substreamId, const Bytes& payload, const PesOptions& opt,
                            const SubstreamHeader& header) {
    Bytes body = audioSubstreamHeader(substreamId, header);
    append(body, payload);
    return pes(0xBD, body, opt);
}

PsBuilder& PsBuilder::subpicture(std::uint8_t substreamId, const Bytes& payload, const PesOptions& opt) {
    require(isSubpicture(substreamId), "subpicture id outside 0x20-0x3F and 0x60-0x7F");
    Bytes body{substreamId};
    append(body, payload);
    return pes(0xBD, body, opt);
}

PsBuilder& PsBuilder::padding(std::size_t contentLength, std::uint8_t fill) {
    return packet(0xBE, Bytes(contentLength, fill));
}

PsBuilder& PsBuilder::packet(std::uint8_t streamId, const Bytes& content) {
    if (content.size() > 0xFFFF) throw std::length_error("PsBuilder: packet longer than 65535");
    bytes_.insert(bytes_.end(), {0x00, 0x00, 0x01, streamId});
    put16(bytes_, content.size());
    append(bytes_, content);
    return *this;
}

PsBuilder& PsBuilder::raw(const Bytes& bytes) {
    append(bytes_, bytes);
    return *this;
}

PsBuilder& PsBuilder::padTo(std::size_t multiple) {
    require(multiple > 0, "padTo(0)");
    std::size_t gap = (multiple - bytes_.size() % multiple) % multiple;
    if (gap == 0) return *this;
    while (gap < 6)
        gap += multiple;
    constexpr std::size_t kMaxPacket = 6 + 0xFFFF;
    while (gap > 0) {
        std::size_t take = std::min(gap, kMaxPacket);
        if (gap - take != 0 && gap - take < 6) take = gap - 6; // leave room for a last packet
        padding(take - 6);
        gap -= take;
    }
    return *this;
}

void PsBuilder::writeFile(const std::string& path) const {
    writeBytes(path, bytes_);
}

void writeBytes(const std::string& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("PsBuilder: cannot create " + path);
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) throw std::runtime_error("PsBuilder: cannot write " + path);
}

// ---- Packs ---------------------------------------------------------------------------------

struct PackWriter::Impl {
    struct Stream {
        StreamSource src;
        std::uint8_t pesId = 0;
        std::uint64_t pos = 0;
        bool first = true;
    };
    std::vector<Stream> streams;
    MuxOptions opt;
    Bytes systemHeader;
    std::uint64_t rng = 0;
    std::uint64_t packs = 0;
    Bytes scratch;

    Impl(std::vector<StreamSource> sources, MuxOptions o) : opt(o), rng(o.shuffle) {
        require(opt.packSize >= kPackHeaderSize, "pack size below 14");
        std::vector<std::uint8_t> ids;
        for (auto& s : sources) {
            Stream st{std::move(s)};
            using K = StreamSpec::Kind;
            const std::uint8_t id = st.src.id;
            switch (st.src.kind) {
            case K::Mpeg2Video:
            case K::H264Video:
                require(id >= 0xE0 && id <= 0xEF, "video stream id outside 0xE0-0xEF");
                st.pesId = id;
                break;
            case K::Vc1Video:
                require(id <= 0x7F, "VC-1 stream_id_extension wider than 7 bits");
                st.pesId = 0xFD;
                break;
            case K::Audio:
                require(!isSubpicture(id), "audio stream with a subpicture id");
                st.pesId = 0xBD;
                break;
            case K::Subpicture:
                require(isSubpicture(id), "subpicture stream with an id outside 0x20-0x3F and 0x60-0x7F");
                st.pesId = 0xBD;
                break;
            }
            require(st.src.size == 0 || static_cast<bool>(st.src.read), "stream without a read callback");
            if (std::find(ids.begin(), ids.end(), st.pesId) == ids.end()) ids.push_back(st.pesId);
            streams.push_back(std::move(st));
        }
        if (opt.systemHeader)
            systemHeader = systemHeaderBytes(opt.videoBound, opt.audioBound, ids, opt.muxRate);
    }

    std::optional<UnitStart> unitAt(const Stream& s, std::uint64_t from) const {
        if (s.src.nextUnit) return s.src.nextUnit(from);
        if (from == 0) return UnitStart{0, 0};
        return std::nullopt;
    }

    Stream* pick() {
        std::uint64_t total = 0;
        for (auto& s : streams)
            total += s.src.size - s.pos;
        if (total == 0) return nullptr;
        std::uint64_t r = splitmix(rng) % total;
        for (auto& s : streams) {
            const std::uint64_t left = s.src.size - s.pos;
            if (r < left) return &s;
            r -= left;
        }
        return nullptr; // not reached
    }

    bool next(std::uint8_t* out, MuxResult::Packet* record) {
        Stream* sp = pick();
        if (!sp) return false;
        Stream& s = *sp;
        const auto& src = s.src;
        const std::size_t streamIndex = static_cast<std::size_t>(sp - streams.data());

        // Pack header and, in the first pack, the system header.
        const std::uint64_t ticks27 =
            packs * opt.packSize * 27000000ull / (std::uint64_t{opt.muxRate ? opt.muxRate : 1} * 50);
        Bytes head = packHeaderBytes((ticks27 / 300) & kTimeStampMask, opt.muxRate,
                                     static_cast<std::uint16_t>(ticks27 % 300));
        if (packs == 0) append(head, systemHeader);
        if (head.size() > opt.packSize) throw std::invalid_argument("PsBuilder: pack size too small");
        const std::size_t room = opt.packSize - head.size(); // for the PES packet and padding

        PesOptions base;
        using P = StreamSpec::Pstd;
        if (src.pstd == P::EveryPacket || (src.pstd == P::FirstPacket && s.first))
            base.pstd = s.pesId == 0xBD ? kPstdPrivate : kPstdVideo;
        if (src.kind == StreamSpec::Kind::Vc1Video) base.streamIdExtension = src.id;
        const std::size_t subHdr = s.pesId == 0xBD ? substreamHeaderSize(src.id) : 0;
        const std::size_t overNo = pesHeaderSize(base) + subHdr;
        const std::size_t tsLen = src.withDts ? 10 : 5;
        if (room < overNo + tsLen + 1) throw std::invalid_argument("PsBuilder: pack size too small");
        const std::size_t capNo = room - overNo;
        const std::size_t capPts = capNo - tsLen;
        const std::uint64_t left = src.size - s.pos;

        const bool align = src.alignUnits || src.kind == StreamSpec::Kind::Subpicture;
        const std::optional<UnitStart> u = unitAt(s, s.pos);
        std::uint64_t n = 0;
        bool withPts = false;
        if (align) {
            withPts = u && u->offset == s.pos;
            n = std::min<std::uint64_t>(withPts ? capPts : capNo, left);
            if (const auto after = unitAt(s, s.pos + 1)) n = std::min(n, after->offset - s.pos);
        } else if (u && u->offset < s.pos + std::min<std::uint64_t>(capPts, left)) {
            withPts = true;
            n = std::min<std::uint64_t>(capPts, left);
        } else {
            n = std::min<std::uint64_t>(capNo, left);
            if (u) n = std::min(n, u->offset - s.pos);
        }

        PesOptions pes = base;
        if (withPts) {
            pes.pts = (src.firstPts + u->index * src.ptsStep) & kTimeStampMask;
            if (src.withDts)
                pes.dts = (*pes.pts + (kTimeStampMask + 1) - (src.dtsLead ? *src.dtsLead : src.ptsStep)) &
                          kTimeStampMask;
        }
        std::size_t gap = room - (pesHeaderSize(pes) + subHdr + static_cast<std::size_t>(n));
        if (gap > 0 && gap < 6) {
            pes.stuffing = static_cast<std::uint8_t>(gap);
            gap = 0;
        }

        Bytes& b = scratch;
        b = std::move(head);
        const std::size_t packOffset = static_cast<std::size_t>(packs * opt.packSize);
        append(b, pesHeaderBytes(s.pesId, subHdr + static_cast<std::size_t>(n), pes));
        if (subHdr == 1) {
            b.push_back(src.id);
        } else if (subHdr > 1) {
            SubstreamHeader sh;
            sh.frameHeaders = 0;
            sh.firstAccessUnit = 0;
            for (auto v = unitAt(s, s.pos); v && v->offset < s.pos + n; v = unitAt(s, v->offset + 1)) {
                if (sh.frameHeaders == 0)
                    sh.firstAccessUnit =
                        static_cast<std::uint16_t>(1 + extraBytes(src.id) + (v->offset - s.pos));
                if (sh.frameHeaders == 0xFF) break;
                ++sh.frameHeaders;
            }
            append(b, audioSubstreamHeader(src.id, sh));
        }
        const std::size_t payloadAt = b.size();
        b.resize(payloadAt + static_cast<std::size_t>(n));
        src.read(s.pos, b.data() + payloadAt, static_cast<std::size_t>(n));
        if (gap > 0) {
            b.insert(b.end(), {0x00, 0x00, 0x01, 0xBE});
            put16(b, gap - 6);
            b.insert(b.end(), gap - 6, 0xFF);
        }
        std::memcpy(out, b.data(), b.size());

        if (record)
            *record = MuxResult::Packet{streamIndex,
                                        packOffset + payloadAt,
                                        static_cast<std::size_t>(n),
                                        pes.pts,
                                        pes.dts,
                                        packOffset,
                                        s.pos};
        s.pos += n;
        s.first = false;
        ++packs;
        return true;
    }
};

PackWriter::PackWriter(std::vector<StreamSource> streams, MuxOptions opt)
    : impl_(std::make_unique<Impl>(std::move(streams), opt)) {}
PackWriter::~PackWriter() = default;

bool PackWriter::nextPack(std::uint8_t* out, MuxResult::Packet* packet) {
    return impl_->next(out, packet);
}
std::uint64_t PackWriter::packsWritten() const {
    return impl_->packs;
}
std::size_t PackWriter::packSize() const {
    return impl_->opt.packSize;
}

std::uint64_t PackWriter::writeFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("PsBuilder: cannot create " + path);
    const std::size_t perWrite = std::max<std::size_t>(1, (1u << 20) / impl_->opt.packSize);
    Bytes buf(perWrite * impl_->opt.packSize);
    std::uint64_t written = 0;
    bool ok = true;
    for (bool more = true; more && ok;) {
        std::size_t used = 0;
        while (used < buf.size() && (more = impl_->next(buf.data() + used, nullptr)))
            used += impl_->opt.packSize;
        ok = std::fwrite(buf.data(), 1, used, f) == used;
        written += used;
    }
    if (std::fclose(f) != 0 || !ok) throw std::runtime_error("PsBuilder: cannot write " + path);
    return written;
}

MuxResult muxPacks(const std::vector<StreamSpec>& streams, const MuxOptions& opt) {
    std::vector<StreamSource> sources;
    for (const StreamSpec& given : streams) {
        const auto& starts = given.unitStarts;
        for (std::size_t i = 0; i < starts.size(); ++i) {
            require(starts[i] < given.data.size(), "unit start beyond the data");
            require(i == 0 || starts[i] > starts[i - 1], "unit starts not increasing");
        }
        const Bytes* data = &given.data;
        StreamSource src{given.kind,
                         given.id,
                         given.data.size(),
                         [data](std::uint64_t offset, std::uint8_t* out, std::size_t n) {
                             std::memcpy(out, data->data() + offset, n);
                         },
                         {}};
        if (!starts.empty()) {
            src.nextUnit = [&starts](std::uint64_t from) -> std::optional<UnitStart> {
                const auto it = std::lower_bound(starts.begin(), starts.end(), from);
                if (it == starts.end()) return std::nullopt;
                return UnitStart{*it, static_cast<std::uint64_t>(it - starts.begin())};
            };
        }
        src.firstPts = given.firstPts;
        src.ptsStep = given.ptsStep;
        src.withDts = given.withDts;
        src.dtsLead = given.dtsLead;
        src.alignUnits = given.alignUnits;
        src.pstd = given.pstd;
        sources.push_back(std::move(src));
    }
    PackWriter writer(std::move(sources), opt);
    MuxResult result;
    MuxResult::Packet packet{};
    for (;;) {
        result.file.resize(result.file.size() + opt.packSize);
        if (!writer.nextPack(result.file.data() + result.file.size() - opt.packSize, &packet)) break;
        result.packets.push_back(packet);
    }
    result.file.resize(result.file.size() - opt.packSize);
    return result;
}

StreamSource repeatedUnits(StreamSpec::Kind kind, std::uint8_t id, Bytes first, Bytes rest,
                           std::uint64_t count) {
    require(count == 0 || !first.empty(), "empty first unit");
    require(count <= 1 || !rest.empty(), "empty repeated unit");
    auto f = std::make_shared<const Bytes>(std::move(first));
    auto r = std::make_shared<const Bytes>(std::move(rest));
    const std::uint64_t fs = f->size(), rs = r->size();
    StreamSource src{kind, id, count == 0 ? 0 : fs + (count - 1) * rs, {}, {}};
    src.read = [f, r, fs, rs](std::uint64_t offset, std::uint8_t* out, std::size_t n) {
        while (n > 0) {
            const std::uint8_t* from;
            std::size_t avail;
            if (offset < fs) {
                from = f->data() + offset;
                avail = static_cast<std::size_t>(fs - offset);
            } else {
                const std::uint64_t in = (offset - fs) % rs;
                from = r->data() + in;
                avail = static_cast<std::size_t>(rs - in);
            }
            const std::size_t take = std::min(avail, n);
            std::memcpy(out, from, take);
            out += take;
            offset += take;
            n -= take;
        }
    };
    src.nextUnit = [fs, rs, count](std::uint64_t from) -> std::optional<UnitStart> {
        if (count == 0) return std::nullopt;
        if (from == 0) return UnitStart{0, 0};
        const std::uint64_t k = from <= fs ? 0 : (from - fs + rs - 1) / rs; // copies of rest before the unit
        if (k + 1 >= count) return std::nullopt;
        return UnitStart{fs + k * rs, k + 1};
    };
    return src;
}

// ---- Elementary-stream shaped payloads -----------------------------------------------------

Bytes filler(std::size_t n, std::uint32_t phase) {
    // Consecutive bytes differ by 37 (mod 255) and none is 0: no start code, no AC-3 sync word.
    Bytes out(n);
    std::uint32_t v = phase % 255;
    for (auto& b : out) {
        b = static_cast<std::uint8_t>(1 + v);
        v = (v + 37) % 255;
    }
    return out;
}

Bytes vc1Frames(std::size_t frames, std::size_t frameSize, bool withSequenceHeader) {
    Bytes out;
    out.reserve(frames * frameSize);
    for (std::size_t k = 0; k < frames; ++k) {
        Bytes unit;
        if (k == 0 && withSequenceHeader) {
            BitWriter w;      // advanced profile sequence header, 1920x1080 at 24000/1001
            w.bits(3, 2);     // profile: advanced
            w.bits(3, 3);     // level
            w.bits(1, 2);     // colordiff_format 4:2:0
            w.bits(7, 3);     // frmrtq_postproc
            w.bits(31, 5);    // bitrtq_postproc
            w.bits(0, 1);     // postprocflag
            w.bits(959, 12);  // max_coded_width / 2 - 1
            w.bits(539, 12);  // max_coded_height / 2 - 1
            w.bits(0, 4);     // pulldown, interlace, tfcntrflag, finterpflag
            w.bits(1, 1);     // reserved
            w.bits(0, 1);     // psf
            w.bits(1, 1);     // display_ext
            w.bits(1919, 14); // disp_horiz_size - 1
            w.bits(1079, 14); // disp_vert_size - 1
            w.bits(1, 1);     // aspect_ratio_flag
            w.bits(1, 4);     // aspect_ratio 1:1
            w.bits(1, 1);     // framerate_flag
            w.bits(0, 1);     // framerateind
            w.bits(2, 8);     // frameratenr: 24000
            w.bits(2, 4);     // frameratedr: 1001
            w.bits(0, 1);     // color_format_flag
            w.bits(0, 1);     // hrd_param_flag
            w.trailing();
            unit = {0x00, 0x00, 0x01, 0x0F};
            append(unit, w.take());
            BitWriter e; // entry point: closed, loop filter, variable-size transform
            e.bits(0b01001000010000000, 17);
            e.trailing();
            append(unit, {0x00, 0x00, 0x01, 0x0E});
            append(unit, e.take());
        }
        append(unit, {0x00, 0x00, 0x01, 0x0D});
        append(out, finishUnit(std::move(unit), frameSize, static_cast<std::uint32_t>(k), "a VC-1 frame"));
    }
    return out;
}

Bytes mpeg2Pictures(std::size_t pictures, std::size_t size) {
    Bytes out;
    out.reserve(pictures * size);
    for (std::size_t k = 0; k < pictures; ++k) {
        Bytes unit;
        if (k == 0) {
            BitWriter w;
            w.bits(720, 12);
            w.bits(480, 12);
            w.bits(2, 4);      // aspect ratio 4:3
            w.bits(4, 4);      // 30000/1001 frames per second
            w.bits(20000, 18); // 8 Mbit/s in 400 bit/s units
            w.bits(1, 1);      // marker
            w.bits(112, 10);   // vbv_buffer_size
            w.bits(0, 3);      // constrained_parameters, no quantiser matrices
            unit = {0x00, 0x00, 0x01, 0xB3};
            append(unit, w.take());
            BitWriter x;     // sequence extension
            x.bits(1, 4);    // extension id: sequence
            x.bits(0x48, 8); // main profile, main level
            x.bits(0, 1);    // progressive_sequence
            x.bits(1, 2);    // chroma 4:2:0
            x.bits(0, 4);    // size extensions
            x.bits(0, 12);   // bit rate extension
            x.bits(1, 1);    // marker
            x.bits(0, 8);    // vbv extension
            x.bits(0, 8);    // low_delay, frame rate extension
            append(unit, {0x00, 0x00, 0x01, 0xB5});
            append(unit, x.take());
            append(unit, {0x00, 0x00, 0x01, 0xB8, 0x00, 0x08, 0x00, 0x40}); // GOP: time code 0, closed
        }
        BitWriter p;
        p.bits(k & 0x3FF, 10);         // temporal_reference
        p.bits(k == 0 ? 1 : 2, 3);     // I, then P
        p.bits(0xFFFF, 16);            // vbv_delay
        if (k != 0) p.bits(0b0111, 4); // full_pel_forward_vector 0, forward_f_code 7
        p.bits(0, 1);                  // extra_bit_picture
        append(unit, {0x00, 0x00, 0x01, 0x00});
        append(unit, p.take());
        append(unit, {0x00, 0x00, 0x01, 0x01, 0x40}); // slice 1, quantiser_scale_code 8
        append(out, finishUnit(std::move(unit), size, static_cast<std::uint32_t>(k), "an MPEG-2 picture"));
    }
    return out;
}

Bytes h264AccessUnits(std::size_t units, std::size_t size) {
    Bytes out;
    out.reserve(units * size);
    for (std::size_t k = 0; k < units; ++k) {
        Bytes unit{0x00, 0x00, 0x00, 0x01, 0x09, 0xF0}; // access unit delimiter, any picture type
        if (k == 0) {
            BitWriter s; // main profile, level 4.1, 1920x1080 (1088 cropped by 8)
            s.bits(77, 8);
            s.bits(0x40, 8);
            s.bits(41, 8);
            s.ue(0);   // seq_parameter_set_id
            s.ue(0);   // log2_max_frame_num - 4
            s.ue(2);   // pic_order_cnt_type
            s.ue(1);   // max_num_ref_frames
            s.bit(0);  // gaps_in_frame_num_value_allowed
            s.ue(119); // width in macroblocks - 1
            s.ue(67);  // height in map units - 1
            s.bit(1);  // frame_mbs_only
            s.bit(1);  // direct_8x8_inference
            s.bit(1);  // frame_cropping
            s.ue(0);
            s.ue(0);
            s.ue(0);
            s.ue(4);  // bottom crop: 8 lines
            s.bit(0); // no VUI
            s.trailing();
            append(unit, {0x00, 0x00, 0x00, 0x01, 0x67});
            append(unit, escapeNal(s.take()));
            BitWriter p;
            p.ue(0);      // pic_parameter_set_id
            p.ue(0);      // seq_parameter_set_id
            p.bit(0);     // CAVLC
            p.bit(0);     // bottom_field_pic_order_in_frame_present
            p.ue(0);      // one slice group
            p.ue(0);      // num_ref_idx_l0_default - 1
            p.ue(0);      // num_ref_idx_l1_default - 1
            p.bit(0);     // weighted_pred
            p.bits(0, 2); // weighted_bipred_idc
            p.se(0);      // pic_init_qp - 26
            p.se(0);      // pic_init_qs - 26
            p.se(0);      // chroma_qp_index_offset
            p.bit(1);     // deblocking_filter_control_present
            p.bit(0);     // constrained_intra_pred
            p.bit(0);     // redundant_pic_cnt_present
            p.trailing();
            append(unit, {0x00, 0x00, 0x00, 0x01, 0x68});
            append(unit, escapeNal(p.take()));
        }
        append(unit, {0x00, 0x00, 0x01, static_cast<std::uint8_t>(k == 0 ? 0x65 : 0x41)});
        append(out, finishUnit(std::move(unit), size, static_cast<std::uint32_t>(k), "an H.264 access unit"));
    }
    return out;
}

Bytes ac3Frames(std::size_t frames) {
    Bytes out;
    out.reserve(frames * kAc3FrameSize);
    for (std::size_t k = 0; k < frames; ++k) {
        Bytes unit{0x0B, 0x77, 0x5A, 0xA5}; // sync word, crc1 (not computed)
        BitWriter w;
        w.bits(0, 2);  // fscod: 48 kHz
        w.bits(30, 6); // frmsizecod: 448 kbit/s, 1792 bytes
        w.bits(8, 5);  // bsid
        w.bits(0, 3);  // bsmod
        w.bits(2, 3);  // acmod 2/0
        w.bits(0, 2);  // dsurmod
        w.bits(0, 1);  // lfeon
        w.bits(27, 5); // dialnorm
        w.bits(0, 4);  // compre, langcode, audprodie, copyrightb
        w.bits(1, 1);  // origbs
        w.bits(0, 3);  // timecod1e, timecod2e, addbsie
        append(unit, w.take());
        append(out,
               finishUnit(std::move(unit), kAc3FrameSize, static_cast<std::uint32_t>(k), "an AC-3 frame"));
    }
    return out;
}

} // namespace ombrix::testing
