#pragma once
// The test builder: states the bytes of a program stream (.EVO / .VOB) in readable steps, so a
// test, benchmark or demo says "a pack header, a VC-1 packet with PTS 90000, padding to 2048"
// instead of a hex dump. Three levels:
//   - single pieces (pack header, system header, PES packet, substream headers, time stamps),
//   - PsBuilder, which chains pieces into a byte vector,
//   - muxPacks / PackWriter, which lay elementary streams out in 2048-byte packs the way a disc
//     author's muxer does (one PES packet per pack, padding to fill), in memory or straight to
//     disk for files of several GB.
// Plus elementary-stream shaped payloads (vc1Frames, mpeg2Pictures, h264AccessUnits, ac3Frames)
// that carry the start codes the program counts and filler free of 00 00 01.
//
// Every invalid request (a value wider than its field, a packet longer than 65535 bytes, ...)
// throws std::invalid_argument or std::length_error; damaged layouts are asked for explicitly
// (PesOptions::lengthOverride, headerLengthOverride, raw()).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ombrix::testing {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint64_t kTimeStampMask = (std::uint64_t{1} << 33) - 1;
inline constexpr std::size_t kPackHeaderSize = 14;
inline constexpr std::size_t kPackSize = 2048;
inline constexpr std::uint32_t kDvdMuxRate = 25200; // units of 50 bytes/s: 10.08 Mbit/s

struct PesOptions {
    std::optional<std::uint64_t> pts{};  // 33-bit 90 kHz
    std::optional<std::uint64_t> dts{};  // only with pts
    std::optional<std::uint16_t> pstd{}; // bit 13 scale, bits 12-0 size -> PES extension with P-STD field
    // PES extension with flag 2 and this stream_id_extension (7 bits)
    std::optional<std::uint8_t> streamIdExtension{};
    std::uint8_t stuffing = 0; // 0xFF bytes at the end of the header
    // Written instead of the true PES_packet_length / PES_header_data_length (damaged files).
    std::optional<std::uint16_t> lengthOverride{};
    std::optional<std::uint8_t> headerLengthOverride{};
};

// P-STD field values (scale bit 13 + 13-bit size) as DVD and HD DVD muxers write them.
inline constexpr std::uint16_t kPstdVideo = 0x2000 | 232;  // scale 1024 bytes, 232 units
inline constexpr std::uint16_t kPstdPrivate = 0x2000 | 58; // private stream 1
inline constexpr std::uint16_t kPstdMpegAudio = 32;        // scale 128 bytes, 32 units

// ---- Single pieces -------------------------------------------------------------------------

// The 5 bytes of a PTS or DTS: prefix nibble (0x2 PTS only, 0x3 PTS before DTS, 0x1 DTS), then
// the 33-bit value split 3/15/15 with a marker bit after each part.
Bytes timeStampBytes(std::uint8_t prefix, std::uint64_t value);

// 14-byte pack header. scr is the 33-bit base (90 kHz), scrExtension the 9-bit 27 MHz remainder
// (0..299 in a valid file), muxRate the 22-bit program_mux_rate; pack_stuffing_length is 0.
Bytes packHeaderBytes(std::uint64_t scr = 0, std::uint32_t muxRate = kDvdMuxRate,
                      std::uint16_t scrExtension = 0);

// System header: 12 bytes + 3 per stream entry. Flags: fixed 0, CSPS 0, audio and video lock 1,
// packet rate restriction 0. Each entry's buffer bound is systemBufferBound(id).
Bytes systemHeaderBytes(int videoBound, int audioBound, const std::vector<std::uint8_t>& streamIds = {},
                        std::uint32_t rateBound = kDvdMuxRate);
// The entry's 14 bits: scale bit 13 (0: 128-byte units for MPEG audio 0xC0-0xDF and 0xB8, 1:
// 1024-byte units otherwise) and size (32 for audio, 232 for video 0xE0-0xEF, 0xFD, 0xB9, 58 else).
std::uint16_t systemBufferBound(std::uint8_t streamId);

// Bytes of a PES packet header from 00 00 01 up to the payload, for a packet that will carry
// payloadSize bytes after it. PES_packet_length covers the header rest + payloadSize.
Bytes pesHeaderBytes(std::uint8_t streamId, std::size_t payloadSize, const PesOptions& opt = {});
// The true PES_header_data_length for these options (time stamps, extension, stuffing).
std::size_t pesHeaderDataLength(const PesOptions& opt);
// Bytes before the payload: 9 + pesHeaderDataLength.
inline std::size_t pesHeaderSize(const PesOptions& opt) {
    return 9 + pesHeaderDataLength(opt);
}
// Header + payload.
Bytes pesPacket(std::uint8_t streamId, const Bytes& payload, const PesOptions& opt = {});

// ---- Private stream 1 substreams -----------------------------------------------------------

enum class Substream { Ac3, Dts, Lpcm, Mlp, DdPlus, Subpicture, ExtendedSubpicture, Other };
// AC-3 0x80-0x87, DTS 0x88-0x8F, LPCM 0xA0-0xA7, MLP 0xB0-0xB7, DD+ 0xC0-0xCF, subpictures
// 0x20-0x3F, extended subpictures 0x60-0x7F; anything else is Other.
Substream substreamKind(std::uint8_t substreamId);
// Bytes before the payload the program delivers: 7 LPCM, 5 MLP, 1 subpictures, 4 otherwise.
std::size_t substreamHeaderSize(std::uint8_t substreamId);

// The header of an audio substream: id, number of frame headers, first access unit pointer
// (counted from the pointer's last byte, so 1 means the byte after the pointer), then the extra
// bytes of LPCM (3) and MLP (1).
struct SubstreamHeader {
    std::uint8_t frameHeaders = 1;
    std::optional<std::uint16_t> firstAccessUnit{}; // default: the first payload byte (1 + extra bytes)
    std::optional<Bytes> extra{}; // default LPCM 00 01 80 (frame 0; 16 bit, 48 kHz, 2 channels; range 0x80),
                                  // MLP 00; must have the family's size (other families: none)
};
// Audio ids only (a subpicture id throws std::invalid_argument); 4, 7 or 5 bytes.
Bytes audioSubstreamHeader(std::uint8_t substreamId, const SubstreamHeader& h = {});

// ---- PsBuilder -----------------------------------------------------------------------------

class PsBuilder {
public:
    PsBuilder& packHeader(std::uint64_t scr = 0, std::uint32_t muxRate = kDvdMuxRate,
                          std::uint16_t scrExtension = 0);
    // rate_bound is the mux rate of the last pack header (kDvdMuxRate before any).
    PsBuilder& systemHeader(int videoBound, int audioBound, std::vector<std::uint8_t> streamIds = {});
    PsBuilder& pes(std::uint8_t streamId, const Bytes& payload, const PesOptions& opt = {});
    // 0xFD with a PES extension carrying stream_id_extension: opt.streamIdExtension when set,
    // `extension` otherwise (0x55 first video stream, 0x56 second).
    PsBuilder& vc1(const Bytes& payload, PesOptions opt = {}, std::uint8_t extension = 0x55);
    // 0xBD + audioSubstreamHeader(substreamId, header) + payload.
    PsBuilder& audio(std::uint8_t substreamId, const Bytes& payload, const PesOptions& opt = {},
                     const SubstreamHeader& header = {});
    // 0xBD + the id byte + payload; ids 0x20-0x3F and 0x60-0x7F only.
    PsBuilder& subpicture(std::uint8_t substreamId, const Bytes& payload, const PesOptions& opt = {});
    // 00 00 01 BE, length, contentLength bytes of fill (at most 65535).
    PsBuilder& padding(std::size_t contentLength, std::uint8_t fill = 0xFF);
    // 00 00 01 <streamId>, length, content: a packet without PES header fields, as the program
    // stream map (0xBC), padding (0xBE) and private stream 2 (0xBF) are.
    PsBuilder& packet(std::uint8_t streamId, const Bytes& content);
    PsBuilder& raw(const Bytes& bytes);
    // Padding packets up to the next multiple of `multiple` (nothing when already there). A padding
    // packet needs 6 bytes, so when fewer remain the padding runs on to the multiple after that
    // (and further if `multiple` itself is below 6): the result is always a valid stream whose
    // size is a multiple. Gaps over 65541 bytes are filled with several packets.
    PsBuilder& padTo(std::size_t multiple);

    const Bytes& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }
    // Throws std::runtime_error when the file can't be written.
    void writeFile(const std::string& path) const;

private:
    Bytes bytes_;
    std::uint32_t lastMuxRate_ = kDvdMuxRate;
};

// Writes bytes to path; throws std::runtime_error on failure.
void writeBytes(const std::string& path, const Bytes& bytes);

// ---- Whole streams of packs ----------------------------------------------------------------

// Each pack: pack header (+ system header in the first pack) + one PES packet + a padding packet
// filling the pack to exactly packSize bytes. When fewer than 6 bytes would be left for the padding
// packet, they go into the PES header as stuffing instead, so a pack never holds a gap.
//
// Per packet: a PTS when an access unit starts in its payload: that of the first unit starting
// there (PTS of unit k = firstPts + k*ptsStep, modulo 2^33); with withDts, a DTS dtsLead before it
// (ptsStep when unset). Where taking the packet's full room would let a unit start in it without
// room for the PTS, the payload ends right before that unit. P-STD field per `pstd` (value
// kPstdVideo for video, kPstdPrivate for private stream 1). VC-1 packets always carry the stream_id
// extension. Audio packets' substream headers count the frame headers starting in the payload and
// point at the first (0 / 0 when none starts there).
struct StreamSpec {
    enum class Kind { Mpeg2Video, H264Video, Vc1Video, Audio, Subpicture };
    enum class Pstd { None, FirstPacket, EveryPacket };
    Kind kind;
    std::uint8_t id; // PES stream id (0xE0..0xEF), stream_id_extension (0x55/0x56), or substream id
    Bytes data{};    // the elementary stream
    std::vector<std::size_t> unitStarts{}; // increasing offsets of access units / subpicture units in data;
                                           // empty = one unit at offset 0
    std::uint64_t firstPts = 90000;
    std::uint32_t ptsStep = 3754;
    bool withDts = false;                   // video: PTS+DTS headers
    std::optional<std::uint32_t> dtsLead{}; // PTS - DTS; default ptsStep
    bool alignUnits = false;                // every unit starts a new packet (always so for subpictures)
    Pstd pstd = Pstd::FirstPacket;
};

struct MuxOptions {
    int videoBound = 1;
    int audioBound = 1;
    std::size_t packSize = kPackSize;
    // Interleave order: the next pack goes to a stream drawn (from this shuffle) with weight = its bytes left.
    std::uint32_t shuffle = 1;
    std::uint32_t muxRate = kDvdMuxRate; // pack k's SCR = the time of byte k*packSize at this rate
    bool systemHeader = true;            // in the first pack, listing the PES stream ids in use
};

struct MuxResult {
    Bytes file;
    // One record per PES packet in file order. The payload bytes a demuxer must deliver for stream i
    // are, in order, file[fileOffset, fileOffset + payloadSize) of its packets, which together equal
    // StreamSpec::data.
    struct Packet {
        std::size_t streamIndex;
        std::size_t fileOffset; // first payload byte (after PES header and substream header)
        std::size_t payloadSize;
        std::optional<std::uint64_t> pts{};
        std::optional<std::uint64_t> dts{};
        std::size_t packOffset = 0;   // start of the pack
        std::uint64_t dataOffset = 0; // offset of the payload in the stream's data
    };
    std::vector<Packet> packets;
};

MuxResult muxPacks(const std::vector<StreamSpec>& streams, const MuxOptions& opt = {});

// A stream for PackWriter: the elementary data comes from a callback, so files of several GB need
// no memory. Same layout rules and fields as StreamSpec.
struct UnitStart {
    std::uint64_t offset; // in the stream's data
    std::uint64_t index;  // unit number k (PTS = firstPts + k*ptsStep)
};
struct StreamSource {
    StreamSpec::Kind kind;
    std::uint8_t id;
    std::uint64_t size; // bytes of elementary data
    // Fills out with data bytes [offset, offset + n).
    std::function<void(std::uint64_t offset, std::uint8_t* out, std::size_t n)> read{};
    // The first unit starting at or after `from`; empty function = one unit at offset 0.
    std::function<std::optional<UnitStart>(std::uint64_t from)> nextUnit{};
    std::uint64_t firstPts = 90000;
    std::uint32_t ptsStep = 3754;
    bool withDts = false;
    std::optional<std::uint32_t> dtsLead{};
    bool alignUnits = false;
    StreamSpec::Pstd pstd = StreamSpec::Pstd::FirstPacket;
};

// `count` units: `first`, then count - 1 copies of `rest`, each a unit (e.g. vc1Frames(1, n) and
// vc1Frames(1, n, false)). Holds only the two units.
StreamSource repeatedUnits(StreamSpec::Kind kind, std::uint8_t id, Bytes first, Bytes rest,
                           std::uint64_t count);

// Writes packs one at a time; muxPacks is this writer over in-memory streams.
class PackWriter {
public:
    explicit PackWriter(std::vector<StreamSource> streams, MuxOptions opt = {});
    ~PackWriter();
    PackWriter(const PackWriter&) = delete;
    PackWriter& operator=(const PackWriter&) = delete;

    // Writes the next pack (packSize bytes) to out and returns true, or returns false once every
    // stream is written. Fills *packet (offsets relative to the first pack) when given.
    bool nextPack(std::uint8_t* out, MuxResult::Packet* packet = nullptr);
    std::uint64_t packsWritten() const;
    std::size_t packSize() const;
    // Writes all remaining packs to path; returns the number of bytes written. Throws
    // std::runtime_error when the file can't be written.
    std::uint64_t writeFile(const std::string& path);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// ---- Elementary-stream shaped payloads -----------------------------------------------------
// Not decodable, but each unit starts with the codes the program counts and the filler between
// codes never holds a 00 00 01 sequence. Every unit is exactly the given size (std::invalid_argument
// when too small for its codes), so unit k starts at k * size.

// Frame 0 (with the sequence header): 00 00 01 0F sequence header, 00 00 01 0E entry point, then
// 00 00 01 0D; every other frame: 00 00 01 0D.
Bytes vc1Frames(std::size_t frames, std::size_t frameSize, bool withSequenceHeader = true);
// Picture 0: 00 00 01 B3 sequence header (720x480, 29.97 Hz), 00 00 01 B5 sequence extension
// (MPEG-2 main profile), 00 00 01 B8 GOP header; every picture: 00 00 01 00 picture header (I first, P
// after), then 00 00 01 01 slice.
Bytes mpeg2Pictures(std::size_t pictures, std::size_t size);
// Every unit: 00 00 00 01 09 access unit delimiter; unit 0 then SPS (1920x1080) and PPS; then a
// slice NAL unit (00 00 01 65 in unit 0, 00 00 01 41 after).
Bytes h264AccessUnits(std::size_t units, std::size_t size);
// AC-3 sync frames of 1792 bytes (448 kbit/s, 48 kHz, 2/0 channels): 0B 77, header, filler.
inline constexpr std::size_t kAc3FrameSize = 1792;
Bytes ac3Frames(std::size_t frames);
// n filler bytes (never 00, so never part of a start code); `phase` varies the pattern.
Bytes filler(std::size_t n, std::uint32_t phase = 0);

} // namespace ombrix::testing
