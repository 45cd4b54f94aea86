// Tests of the test builder: hand-written bytes for each piece, an independent walk over every
// muxed pack, and ffprobe as an outside reader where it is installed.

#include "support/PsBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace ombrix::testing {
namespace {

using K = StreamSpec::Kind;

std::string hex(const Bytes& b) {
    std::string s;
    char buf[4];
    for (std::uint8_t v : b) {
        std::snprintf(buf, sizeof buf, "%02X ", v);
        s += buf;
    }
    if (!s.empty()) s.pop_back();
    return s;
}

Bytes slice(const Bytes& b, std::size_t from, std::size_t n) {
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from),
                 b.begin() + static_cast<std::ptrdiff_t>(from + n));
}

// ---- An independent reader ---------------------------------------------------------------

struct Walked {
    std::size_t offset;
    std::uint8_t id;
    std::size_t size; // whole packet
};

// Walks packets from `from` to exactly `to` by their own length fields. Empty error = fine.
std::vector<Walked> walk(const Bytes& b, std::size_t from, std::size_t to, std::string& error) {
    std::vector<Walked> out;
    std::size_t i = from;
    while (i < to) {
        if (to - i < 6 || b[i] != 0 || b[i + 1] != 0 || b[i + 2] != 1) {
            error = "no start code at " + std::to_string(i);
            return out;
        }
        const std::uint8_t id = b[i + 3];
        const std::size_t size =
            id == 0xBA ? 14 + (b[i + 13] & 7) : 6 + (std::size_t{b[i + 4]} << 8 | b[i + 5]);
        out.push_back({i, id, size});
        i += size;
    }
    if (i != to) error = "last packet runs " + std::to_string(i - to) + " bytes past " + std::to_string(to);
    return out;
}

std::optional<std::uint64_t> decodeTimeStamp(const std::uint8_t* p, std::uint8_t prefix) {
    if ((p[0] >> 4) != prefix || !(p[0] & 1) || !(p[2] & 1) || !(p[4] & 1)) return std::nullopt;
    return (std::uint64_t{p[0]} >> 1 & 7) << 30 | std::uint64_t{p[1]} << 22 |
           (std::uint64_t{p[2]} >> 1) << 15 | std::uint64_t{p[3]} << 7 | p[4] >> 1;
}

struct Pes {
    std::uint8_t id = 0;
    std::size_t offset = 0, end = 0;
    std::uint8_t headerLength = 0;
    std::optional<std::uint64_t> pts, dts;
    std::optional<std::uint16_t> pstd;
    std::optional<std::uint8_t> extension;
    std::size_t stuffing = 0;
    std::size_t payload = 0; // first byte after the PES header
    std::string error;
};

Pes readPes(const Bytes& b, const Walked& w) {
    Pes p;
    p.id = w.id;
    p.offset = w.offset;
    p.end = w.offset + w.size;
    const std::uint8_t* h = b.data() + w.offset;
    if ((h[6] & 0xC0) != 0x80) p.error = "no '10' marker";
    const std::uint8_t flags2 = h[7];
    if (flags2 & 0x3E) p.error = "flags the builder never sets";
    p.headerLength = h[8];
    std::size_t at = 9;
    const std::size_t headerEnd = 9 + p.headerLength;
    if ((flags2 & 0xC0) == 0x80) {
        p.pts = decodeTimeStamp(h + at, 0x2);
        at += 5;
    } else if ((flags2 & 0xC0) == 0xC0) {
        p.pts = decodeTimeStamp(h + at, 0x3);
        p.dts = decodeTimeStamp(h + at + 5, 0x1);
        at += 10;
        if (!p.dts) p.error = "bad DTS";
    } else if (flags2 & 0xC0) {
        p.error = "forbidden PTS_DTS_flags 01";
    }
    if ((flags2 & 0x80) && !p.pts) p.error = "bad PTS";
    if (flags2 & 0x01) {
        const std::uint8_t ext = h[at++];
        if ((ext & 0x0E) != 0x0E) p.error = "reserved extension bits not 111";
        if (ext & 0xE0) p.error = "extension flags the builder never sets";
        if (ext & 0x10) {
            if ((h[at] & 0xC0) != 0x40) p.error = "P-STD without '01'";
            p.pstd = static_cast<std::uint16_t>((h[at] & 0x3F) << 8 | h[at + 1]);
            at += 2;
        }
        if (ext & 0x01) {
            if (h[at] != 0x81) p.error = "extension 2 length byte not 81";
            p.extension = h[at + 1];
            at += 2;
        }
    }
    if (at > headerEnd) p.error = "header fields run past PES_header_data_length";
    for (std::size_t i = at; i < headerEnd; ++i)
        if (h[i] != 0xFF) p.error = "stuffing byte not FF";
    p.stuffing = headerEnd > at ? headerEnd - at : 0;
    p.payload = w.offset + headerEnd;
    if (p.payload > p.end) p.error = "header longer than the packet";
    return p;
}

// Offsets of every 00 00 01 xx in b, with xx.
std::vector<std::pair<std::size_t, std::uint8_t>> startCodes(const Bytes& b) {
    std::vector<std::pair<std::size_t, std::uint8_t>> out;
    for (std::size_t i = 0; i + 3 < b.size(); ++i)
        if (b[i] == 0 && b[i + 1] == 0 && b[i + 2] == 1) out.emplace_back(i, b[i + 3]);
    return out;
}

// ---- Time stamps, pack header, system header -----------------------------------------------

TEST(PsBuilderPieces, TimeStampsSplitThreeFifteenFifteenWithMarkers) {
    struct Case {
        std::uint8_t prefix;
        std::uint64_t value;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        {0x2, 0, {0x21, 0x00, 0x01, 0x00, 0x01}},
        {0x2, 0xC0000000, {0x27, 0x00, 0x01, 0x00, 0x01}},
        {0x2, 0x1C0000000, {0x2F, 0x00, 0x01, 0x00, 0x01}},
        {0x2, 90000, {0x21, 0x00, 0x05, 0xBF, 0x21}},
        {0x2, 1ull << 29, {0x21, 0x80, 0x01, 0x00, 0x01}},
        {0x1, 1ull << 15, {0x11, 0x00, 0x03, 0x00, 0x01}},
        {0x1, 0x7FFF, {0x11, 0x00, 0x01, 0xFF, 0xFF}},
        {0x3, 0x1FFFFFFFF, {0x3F, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(hex(timeStampBytes(c.prefix, c.value)), hex(c.expected));
    }
    EXPECT_THROW(timeStampBytes(0x2, 1ull << 33), std::invalid_argument);
}

TEST(PsBuilderPieces, PackHeaderPlacesEverySCRBitAndMarker) {
    EXPECT_EQ(hex(packHeaderBytes()), "00 00 01 BA 44 00 04 00 04 01 01 89 C3 F8");
    // One bit of the SCR base or extension at a time: bytes 4..9 of the pack header.
    struct Case {
        std::uint64_t scr;
        std::uint16_t ext;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        {1ull << 32, 0, {0x64, 0x00, 0x04, 0x00, 0x04, 0x01}},
        {1ull << 30, 0, {0x4C, 0x00, 0x04, 0x00, 0x04, 0x01}},
        {1ull << 29, 0, {0x46, 0x00, 0x04, 0x00, 0x04, 0x01}},
        {1ull << 28, 0, {0x45, 0x00, 0x04, 0x00, 0x04, 0x01}},
        {1ull << 27, 0, {0x44, 0x80, 0x04, 0x00, 0x04, 0x01}},
        {1ull << 20, 0, {0x44, 0x01, 0x04, 0x00, 0x04, 0x01}},
        {1ull << 19, 0, {0x44, 0x00, 0x84, 0x00, 0x04, 0x01}},
        {1ull << 15, 0, {0x44, 0x00, 0x0C, 0x00, 0x04, 0x01}},
        {1ull << 14, 0, {0x44, 0x00, 0x06, 0x00, 0x04, 0x01}},
        {1ull << 13, 0, {0x44, 0x00, 0x05, 0x00, 0x04, 0x01}},
        {1ull << 12, 0, {0x44, 0x00, 0x04, 0x80, 0x04, 0x01}},
        {1ull << 5, 0, {0x44, 0x00, 0x04, 0x01, 0x04, 0x01}},
        {1ull << 4, 0, {0x44, 0x00, 0x04, 0x00, 0x84, 0x01}},
        {1ull << 0, 0, {0x44, 0x00, 0x04, 0x00, 0x0C, 0x01}},
        {0, 1u << 8, {0x44, 0x00, 0x04, 0x00, 0x06, 0x01}},
        {0, 1u << 7, {0x44, 0x00, 0x04, 0x00, 0x05, 0x01}},
        {0, 1u << 6, {0x44, 0x00, 0x04, 0x00, 0x04, 0x81}},
        {0, 1u << 0, {0x44, 0x00, 0x04, 0x00, 0x04, 0x03}},
        {0x1FFFFFFFF, 0x1FF, {0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.scr) + " ext " + std::to_string(c.ext));
        EXPECT_EQ(hex(slice(packHeaderBytes(c.scr, kDvdMuxRate, c.ext), 4, 6)), hex(c.expected));
    }
    // program_mux_rate: 22 bits, then two marker bits.
    const std::vector<std::pair<std::uint32_t, Bytes>> rates = {{1, {0x00, 0x00, 0x07}},
                                                                {1u << 6, {0x00, 0x01, 0x03}},
                                                                {1u << 21, {0x80, 0x00, 0x03}},
                                                                {0x3FFFFF, {0xFF, 0xFF, 0xFF}},
                                                                {75600, {0x04, 0x9D, 0x43}}};
    for (const auto& [rate, expected] : rates) {
        SCOPED_TRACE(rate);
        EXPECT_EQ(hex(slice(packHeaderBytes(0, rate), 10, 4)), hex(expected) + " F8");
    }
    EXPECT_THROW(packHeaderBytes(1ull << 33), std::invalid_argument);
    EXPECT_THROW(packHeaderBytes(0, 1u << 22), std::invalid_argument);
    EXPECT_THROW(packHeaderBytes(0, kDvdMuxRate, 512), std::invalid_argument);
}

TEST(PsBuilderPieces, SystemHeaderAfterPackHeaderPutsIdAndBoundsAtTheOffsetsTheProgramReads) {
    PsBuilder b;
    b.packHeader().systemHeader(1, 2, {0xE0, 0xBD, 0xC0});
    const Bytes& p = b.bytes();
    ASSERT_EQ(p.size(), 14u + 12 + 9);
    EXPECT_EQ(p[17], 0xBB);
    EXPECT_EQ(p[23], 2 << 2);   // audio_bound 2, fixed 0, CSPS 0
    EXPECT_EQ(p[24], 0xE0 | 1); // audio lock, video lock, marker, video_bound 1
    EXPECT_EQ(hex(slice(p, 14, p.size() - 14)),
              "00 00 01 BB 00 0F 80 C4 E1 08 E1 7F E0 E0 E8 BD E0 3A C0 C0 20");

    // rate_bound follows the last pack header's mux rate.
    PsBuilder hd;
    hd.packHeader(0, 75600).systemHeader(1, 1);
    EXPECT_EQ(hex(slice(hd.bytes(), 14, 12)), "00 00 01 BB 00 06 82 4E A1 04 E1 7F");

    const std::vector<std::array<int, 4>> bounds = {// video, audio, byte 23, byte 24
                                                    {0, 0, 0x00, 0xE0},
                                                    {1, 1, 0x04, 0xE1},
                                                    {2, 8, 0x20, 0xE2},
                                                    {16, 32, 0x80, 0xF0}};
    for (const auto& [video, audio, b23, b24] : bounds) {
        SCOPED_TRACE(std::to_string(video) + "/" + std::to_string(audio));
        PsBuilder x;
        x.packHeader().systemHeader(video, audio);
        EXPECT_EQ(x.bytes()[23], b23);
        EXPECT_EQ(x.bytes()[24], b24);
    }
    for (const auto& [video, audio] : std::vector<std::pair<int, int>>{{17, 0}, {0, 33}, {-1, 0}, {0, -1}})
        EXPECT_THROW(systemHeaderBytes(video, audio), std::invalid_argument) << video << "/" << audio;
}

// ---- PES packets -----------------------------------------------------------------------------

TEST(PsBuilderPes, HeadersByteForByte) {
    struct Case {
        const char* name;
        Bytes built;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"PTS only", PsBuilder().pes(0xE0, {0xAA, 0xBB}, {.pts = 0xC0000000}).bytes(),
         "00 00 01 E0 00 0A 81 80 05 27 00 01 00 01 AA BB"},
        {"PTS and DTS", PsBuilder().pes(0xE0, {0xAA}, {.pts = 0x1C0000000, .dts = 90000}).bytes(),
         "00 00 01 E0 00 0E 81 C0 0A 3F 00 01 00 01 11 00 05 BF 21 AA"},
        {"no fields", PsBuilder().pes(0xE2, {0x01, 0x02}).bytes(), "00 00 01 E2 00 05 81 00 00 01 02"},
        {"VC-1 with PTS, P-STD and extension 0x55",
         PsBuilder().vc1({0x11, 0x22}, {.pts = 90000, .pstd = kPstdVideo}).bytes(),
         "00 00 01 FD 00 0F 81 81 0A 21 00 05 BF 21 1F 60 E8 81 55 11 22"},
        {"VC-1 second stream, extension only", PsBuilder().vc1({0x33}, {}, 0x56).bytes(),
         "00 00 01 FD 00 07 81 01 03 0F 81 56 33"},
        {"VC-1 extension from the options wins", PsBuilder().vc1({0x33}, {.streamIdExtension = 0x56}).bytes(),
         "00 00 01 FD 00 07 81 01 03 0F 81 56 33"},
        {"P-STD only, with stuffing", PsBuilder().pes(0xE0, {0x44}, {.pstd = 0x0010, .stuffing = 2}).bytes(),
         "00 00 01 E0 00 09 81 01 05 1E 40 10 FF FF 44"},
        {"damaged lengths",
         PsBuilder().pes(0xE0, {1, 2, 3}, {.lengthOverride = 0x1234, .headerLengthOverride = 7}).bytes(),
         "00 00 01 E0 12 34 81 00 07 01 02 03"},
        {"packet without header fields", PsBuilder().packet(0xBF, {0x00, 0x01}).bytes(),
         "00 00 01 BF 00 02 00 01"},
        {"padding", PsBuilder().padding(3, 0xAB).bytes(), "00 00 01 BE 00 03 AB AB AB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hex(c.built), c.expected) << c.name;
}

TEST(PsBuilderPes, LengthsAgreeWithTheHeaderForEveryOptionMix) {
    // Every combination of fields: the walk by PES_packet_length must land on the end, and the
    // independent header reader must find exactly the fields asked for.
    const Bytes payload = filler(100);
    for (int mask = 0; mask < 32; ++mask) {
        PesOptions o;
        if (mask & 1) o.pts = 0x123456789;
        if ((mask & 3) == 3) o.dts = 0x012345678;
        if (mask & 4) o.pstd = 0x3FFF;
        if (mask & 8) o.streamIdExtension = 0x7F;
        if (mask & 16) o.stuffing = 7;
        SCOPED_TRACE(mask);
        const Bytes b = pesPacket(0xFD, payload, o);
        EXPECT_EQ(b.size(), pesHeaderSize(o) + payload.size());
        std::string error;
        const auto w = walk(b, 0, b.size(), error);
        ASSERT_EQ(error, "");
        ASSERT_EQ(w.size(), 1u);
        const Pes p = readPes(b, w[0]);
        EXPECT_EQ(p.error, "");
        EXPECT_EQ(p.pts, o.pts);
        EXPECT_EQ(p.dts, o.dts);
        EXPECT_EQ(p.pstd, o.pstd);
        EXPECT_EQ(p.extension, o.streamIdExtension);
        EXPECT_EQ(p.stuffing, o.stuffing);
        EXPECT_EQ(slice(b, p.payload, b.size() - p.payload), payload);
    }
}

TEST(PsBuilderPes, RefusesWhatItCannotWrite) {
    EXPECT_THROW(pesPacket(0xE0, {}, {.dts = 1}), std::invalid_argument);
    EXPECT_THROW(pesPacket(0xE0, {}, {.pts = 1ull << 33}), std::invalid_argument);
    EXPECT_THROW(pesPacket(0xE0, {}, {.pts = 1, .dts = 1ull << 33}), std::invalid_argument);
    EXPECT_THROW(pesPacket(0xE0, {}, {.pstd = 0x4000}), std::invalid_argument);
    EXPECT_THROW(pesPacket(0xFD, {}, {.streamIdExtension = 0x80}), std::invalid_argument);
    EXPECT_THROW(pesPacket(0xE0, {}, {.pts = 0, .dts = 0, .stuffing = 250}), std::length_error);
    EXPECT_NO_THROW(pesPacket(0xE0, Bytes(0xFFFF - 3)));
    EXPECT_THROW(pesPacket(0xE0, Bytes(0xFFFF - 2)), std::length_error);
    // An overridden length is a damaged file on purpose: any payload goes.
    EXPECT_EQ(pesPacket(0xE0, Bytes(70000), {.lengthOverride = 0}).size(), 9u + 70000);
    EXPECT_THROW(PsBuilder().padding(0x10000), std::length_error);
}

// ---- Private stream 1 --------------------------------------------------------------------------

TEST(PsBuilderPrivateStream, AudioSubstreamHeadersByFamily) {
    struct Case {
        std::uint8_t id;
        Substream kind;
        const char* header;
    };
    const std::vector<Case> cases = {
        {0x80, Substream::Ac3, "80 01 00 01"},           {0x87, Substream::Ac3, "87 01 00 01"},
        {0x88, Substream::Dts, "88 01 00 01"},           {0x8F, Substream::Dts, "8F 01 00 01"},
        {0xA0, Substream::Lpcm, "A0 01 00 04 00 01 80"}, {0xA7, Substream::Lpcm, "A7 01 00 04 00 01 80"},
        {0xB0, Substream::Mlp, "B0 01 00 02 00"},        {0xB7, Substream::Mlp, "B7 01 00 02 00"},
        {0xC0, Substream::DdPlus, "C0 01 00 01"},        {0xCF, Substream::DdPlus, "CF 01 00 01"},
        {0xA8, Substream::Other, "A8 01 00 01"},         {0x90, Substream::Other, "90 01 00 01"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.id));
        EXPECT_EQ(substreamKind(c.id), c.kind);
        const Bytes h = audioSubstreamHeader(c.id);
        EXPECT_EQ(hex(h), c.header);
        EXPECT_EQ(substreamHeaderSize(c.id), h.size());
        // In a packet the substream header comes right after the PES header, the payload after it.
        const Bytes pkt = PsBuilder().audio(c.id, {0xDE, 0xAD}).bytes();
        EXPECT_EQ(hex(pkt), "00 00 01 BD 00 " + hex({static_cast<std::uint8_t>(3 + h.size() + 2)}) +
                                " 81 00 00 " + c.header + " DE AD");
    }
    EXPECT_EQ(hex(PsBuilder().audio(0xA1, {0xDE, 0xAD}, {.pts = 0}).bytes()),
              "00 00 01 BD 00 11 81 80 05 21 00 01 00 01 A1 01 00 04 00 01 80 DE AD");
    EXPECT_EQ(
        hex(audioSubstreamHeader(0xB1, {.frameHeaders = 2, .firstAccessUnit = 0x0123, .extra = Bytes{0x7E}})),
        "B1 02 01 23 7E");
    EXPECT_THROW(audioSubstreamHeader(0xB1, {.extra = Bytes{1, 2}}), std::invalid_argument);
    EXPECT_THROW(audioSubstreamHeader(0x80, {.extra = Bytes{1}}), std::invalid_argument);
    EXPECT_THROW(PsBuilder().audio(0x20, {}), std::invalid_argument);
}

TEST(PsBuilderPrivateStream, SubpicturesCarryOnlyTheIdByte) {
    for (std::uint8_t id : {0x20, 0x3F, 0x60, 0x7F}) {
        SCOPED_TRACE(int(id));
        EXPECT_EQ(substreamHeaderSize(id), 1u);
        EXPECT_EQ(hex(PsBuilder().subpicture(id, {0x01, 0x02}).bytes()),
                  "00 00 01 BD 00 06 81 00 00 " + hex({id}) + " 01 02");
    }
    EXPECT_EQ(substreamKind(0x21), Substream::Subpicture);
    EXPECT_EQ(substreamKind(0x61), Substream::ExtendedSubpicture);
    for (std::uint8_t id : {0x1F, 0x40, 0x5F, 0x80})
        EXPECT_THROW(PsBuilder().subpicture(id, {}), std::invalid_argument);
}

// ---- Padding to a boundary ---------------------------------------------------------------

TEST(PsBuilderPadTo, EndsOnAMultipleWithValidPaddingPackets) {
    struct Case {
        std::size_t start, multiple, end;
    };
    const std::vector<Case> cases = {
        {0, 2048, 0},       // already there: nothing
        {2048, 2048, 2048}, // likewise
        {14, 2048, 2048},   //
        {2042, 2048, 2048}, // exactly a 6-byte padding packet
        {2043, 2048, 4096}, // 5 left: on to the next multiple
        {2047, 2048, 4096}, //
        {1, 4, 8},          // multiple below 6: 3 left, 7 left, still one packet
        {1, 2, 8},          // 1, 3, 5 left: on to 7
        {10, 70000, 70000}, // more than one packet can hold
        {1, 65543, 65543},  // 65542: a full packet would leave 1, so the split leaves 6
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + " to " + std::to_string(c.multiple));
        PsBuilder b;
        b.raw(filler(c.start)).padTo(c.multiple);
        ASSERT_EQ(b.size(), c.end);
        std::string error;
        const auto packets = walk(b.bytes(), c.start, b.size(), error);
        EXPECT_EQ(error, "");
        std::size_t fill = 0;
        for (const auto& p : packets) {
            EXPECT_EQ(p.id, 0xBE);
            fill += p.size - 6;
            const auto from = b.bytes().begin() + static_cast<std::ptrdiff_t>(p.offset + 6);
            EXPECT_TRUE(std::all_of(from, from + static_cast<std::ptrdiff_t>(p.size - 6),
                                    [](std::uint8_t v) { return v == 0xFF; }));
        }
        EXPECT_EQ(fill + 6 * packets.size(), c.end - c.start);
    }
    EXPECT_THROW(PsBuilder().padTo(0), std::invalid_argument);
}

// ---- Files ---------------------------------------------------------------------------------

TEST(PsBuilderFiles, WritesTheBytesAndReportsFailure) {
    TempDir dir;
    PsBuilder b;
    b.packHeader(1234).vc1(vc1Frames(1, 100), {.pts = 5}).padTo(2048);
    b.writeFile(dir.file("a.evo"));
    EXPECT_EQ(readFile(dir.file("a.evo")), b.bytes());
    EXPECT_THROW(b.writeFile(dir.file("missing/a.evo")), std::runtime_error);
    if (std::filesystem::exists("/dev/full")) { // opens, then every write fails
        EXPECT_THROW(b.writeFile("/dev/full"), std::runtime_error);
    }
}

// ---- Elementary-stream shaped payloads -------------------------------------------------------

TEST(PsBuilderPayloads, EveryUnitHasItsCodesAndNothingElseLooksLikeOne) {
    struct Case {
        const char* name;
        Bytes data;
        std::size_t units, size;
        std::vector<std::uint8_t> firstCodes, otherCodes;
    };
    const std::vector<Case> cases = {
        {"VC-1", vc1Frames(5, 700), 5, 700, {0x0F, 0x0E, 0x0D}, {0x0D}},
        {"VC-1 without sequence header", vc1Frames(3, 4, false), 3, 4, {0x0D}, {0x0D}},
        {"MPEG-2", mpeg2Pictures(4, 500), 4, 500, {0xB3, 0xB5, 0xB8, 0x00, 0x01}, {0x00, 0x01}},
        {"H.264", h264AccessUnits(4, 300), 4, 300, {0x09, 0x67, 0x68, 0x65}, {0x09, 0x41}},
        {"AC-3", ac3Frames(3), 3, kAc3FrameSize, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.data.size(), c.units * c.size);
        std::map<std::size_t, std::vector<std::uint8_t>> perUnit;
        for (const auto& [at, code] : startCodes(c.data))
            perUnit[at / c.size].push_back(code);
        for (std::size_t k = 0; k < c.units; ++k) {
            SCOPED_TRACE(k);
            EXPECT_EQ(perUnit[k], k == 0 ? c.firstCodes : c.otherCodes);
            const std::size_t at = k * c.size;
            if (!perUnit[k].empty()) {
                // The unit's first code is its first byte (H.264 with a four-byte start code).
                const std::size_t lead = c.data[at + 2] == 1 ? 0 : 1;
                EXPECT_EQ(c.data[at + lead], 0);
                EXPECT_EQ(c.data[at + lead + 1], 0);
                EXPECT_EQ(c.data[at + lead + 2], 1);
                EXPECT_EQ(c.data[at + lead + 3], perUnit[k].front());
            }
        }
    }
    const Bytes ac3 = ac3Frames(3);
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(ac3[k * kAc3FrameSize], 0x0B);
        EXPECT_EQ(ac3[k * kAc3FrameSize + 1], 0x77);
        EXPECT_EQ(ac3[k * kAc3FrameSize + 4], 30); // 48 kHz, 448 kbit/s
    }
    EXPECT_EQ(h264AccessUnits(2, 300)[3], 0x01); // 00 00 00 01 09
    EXPECT_EQ(mpeg2Pictures(2, 500), mpeg2Pictures(2, 500));
}

TEST(PsBuilderPayloads, FillerHasNoZeroAndNoSyncWord) {
    for (std::uint32_t phase : {0u, 1u, 254u, 255u, 1000u}) {
        const Bytes f = filler(3000, phase);
        EXPECT_EQ(std::count(f.begin(), f.end(), 0), 0) << phase;
        for (std::size_t i = 0; i + 1 < f.size(); ++i)
            ASSERT_FALSE(f[i] == 0x0B && f[i + 1] == 0x77) << phase << " at " << i;
        std::set<std::uint8_t> distinct(f.begin(), f.end());
        EXPECT_EQ(distinct.size(), 255u);
    }
    EXPECT_NE(filler(10, 0), filler(10, 1));
}

TEST(PsBuilderPayloads, RefusesUnitsTooSmallForTheirCodes) {
    EXPECT_THROW(vc1Frames(1, 20), std::invalid_argument);
    EXPECT_THROW(vc1Frames(2, 3, false), std::invalid_argument);
    EXPECT_THROW(mpeg2Pictures(1, 30), std::invalid_argument);
    EXPECT_THROW(h264AccessUnits(1, 20), std::invalid_argument);
    EXPECT_TRUE(vc1Frames(0, 100).empty());
}

// ---- Muxed packs -------------------------------------------------------------------------------

std::vector<std::size_t> everyUnit(std::size_t units, std::size_t size) {
    std::vector<std::size_t> v;
    for (std::size_t k = 0; k < units; ++k)
        v.push_back(k * size);
    return v;
}

// Irregular unit starts from a draw: gaps of 1..maxGap bytes.
std::vector<std::size_t> irregularUnits(std::size_t dataSize, std::size_t maxGap, std::uint32_t draw) {
    std::vector<std::size_t> v;
    std::uint32_t x = draw * 2654435761u + 1;
    for (std::size_t at = 0; at < dataSize;) {
        v.push_back(at);
        x = x * 1664525u + 1013904223u;
        at += 1 + (x >> 8) % maxGap;
    }
    return v;
}

std::uint8_t pesIdOf(const StreamSpec& s) {
    if (s.kind == K::Vc1Video) return 0xFD;
    if (s.kind == K::Audio || s.kind == K::Subpicture) return 0xBD;
    return s.id;
}

struct MuxStats {
    std::size_t stuffedPackets = 0, paddedPackets = 0, fullPackets = 0, cutBeforeUnit = 0;
    std::set<std::size_t> stuffingSizes;
};

// Reads the whole mux back on its own and checks it against the streams and the records.
void verifyMux(const std::vector<StreamSpec>& streams, const MuxOptions& opt, const MuxResult& r,
               MuxStats& stats) {
    const Bytes& f = r.file;
    EXPECT_EQ(f.size() % opt.packSize, 0u);
    std::vector<Bytes> delivered(streams.size());
    std::vector<bool> seen(streams.size(), false);
    std::size_t packetIndex = 0;
    std::uint64_t lastScr27 = 0;
    for (std::size_t pack = 0; pack * opt.packSize < f.size(); ++pack) {
        const std::size_t at = pack * opt.packSize;
        SCOPED_TRACE("pack " + std::to_string(pack));
        std::string error;
        const auto w = walk(f, at, at + opt.packSize, error);
        EXPECT_EQ(error, "");
        if (!error.empty() || w.empty()) return;
        EXPECT_EQ(w[0].id, 0xBA);
        EXPECT_EQ(w[0].size, 14u);
        const std::uint8_t* ph = f.data() + at;
        const auto u = [](unsigned v) { return std::uint64_t{v}; };
        const std::uint64_t scr = (u(ph[4]) >> 3 & 7) << 30 | (u(ph[4]) & 3) << 28 | u(ph[5]) << 20 |
                                  (u(ph[6]) >> 3) << 15 | (u(ph[6]) & 3) << 13 | u(ph[7]) << 5 |
                                  u(ph[8]) >> 3;
        const std::uint64_t scr27 = scr * 300 + ((ph[8] & 3) << 7 | ph[9] >> 1);
        if (pack > 0) {
            EXPECT_GT(scr27, lastScr27);
        }
        lastScr27 = scr27;
        std::size_t i = 1;
        if (pack == 0 && opt.systemHeader) {
            ASSERT_GT(w.size(), 1u);
            EXPECT_EQ(w[1].id, 0xBB);
            EXPECT_EQ(w[1].offset, at + 14);
            std::vector<std::uint8_t> listed, expected;
            for (std::size_t e = w[1].offset + 12; e < w[1].offset + w[1].size; e += 3)
                listed.push_back(f[e]);
            for (const auto& s : streams)
                if (std::find(expected.begin(), expected.end(), pesIdOf(s)) == expected.end())
                    expected.push_back(pesIdOf(s));
            EXPECT_EQ(listed, expected);
            EXPECT_EQ(f[at + 23] >> 2, opt.audioBound);
            EXPECT_EQ(f[at + 24] & 0x1F, opt.videoBound);
            i = 2;
        }
        // Exactly one PES packet, then at most one padding packet.
        EXPECT_TRUE(w.size() == i + 1 || (w.size() == i + 2 && w[i + 1].id == 0xBE)) << w.size();
        if (w.size() <= i) return;
        if (w.size() == i + 2) ++stats.paddedPackets;
        const Pes p = readPes(f, w[i]);
        EXPECT_EQ(p.error, "");
        if (p.stuffing) {
            ++stats.stuffedPackets;
            stats.stuffingSizes.insert(p.stuffing);
            EXPECT_LT(p.stuffing, 6u);
            EXPECT_EQ(w.size(), i + 1) << "stuffing and padding in one pack";
        }
        if (w.size() == i + 1 && !p.stuffing) ++stats.fullPackets;

        // Which stream: PES id, then the extension or the substream id.
        std::size_t s = streams.size();
        std::size_t payload = p.payload;
        for (std::size_t k = 0; k < streams.size(); ++k) {
            const auto& st = streams[k];
            if (pesIdOf(st) != p.id) continue;
            if (st.kind == K::Vc1Video && p.extension != st.id) continue;
            if (p.id == 0xBD && f[p.payload] != st.id) continue;
            s = k;
        }
        ASSERT_LT(s, streams.size()) << "packet of no stream";
        const StreamSpec& st = streams[s];
        EXPECT_EQ(p.extension.has_value(), st.kind == K::Vc1Video);
        const bool wantPstd = st.pstd == StreamSpec::Pstd::EveryPacket ||
                              (st.pstd == StreamSpec::Pstd::FirstPacket && !seen[s]);
        EXPECT_EQ(p.pstd.has_value(), wantPstd);
        if (p.pstd) {
            EXPECT_EQ(*p.pstd, p.id == 0xBD ? kPstdPrivate : kPstdVideo);
        }
        seen[s] = true;

        const std::uint64_t dataOffset = delivered[s].size();
        std::size_t subHeader = 0;
        if (p.id == 0xBD) subHeader = substreamHeaderSize(st.id);
        payload += subHeader;
        const std::size_t size = p.end - payload;
        delivered[s].insert(delivered[s].end(), f.begin() + static_cast<std::ptrdiff_t>(payload),
                            f.begin() + static_cast<std::ptrdiff_t>(p.end));

        // The PTS is that of the first unit starting in the payload; no unit, no PTS.
        const std::vector<std::size_t> units =
            st.unitStarts.empty() ? std::vector<std::size_t>{0} : st.unitStarts;
        const auto first = std::lower_bound(units.begin(), units.end(), dataOffset);
        const auto past = std::lower_bound(units.begin(), units.end(), dataOffset + size);
        if (first != past) {
            const std::uint64_t k = static_cast<std::uint64_t>(first - units.begin());
            const std::uint64_t pts = (st.firstPts + k * st.ptsStep) & kTimeStampMask;
            EXPECT_EQ(p.pts, pts);
            if (st.withDts) {
                EXPECT_EQ(p.dts, (pts - (st.dtsLead ? *st.dtsLead : st.ptsStep)) & kTimeStampMask);
            } else {
                EXPECT_FALSE(p.dts.has_value());
            }
        } else {
            EXPECT_FALSE(p.pts.has_value());
        }
        if (st.alignUnits || st.kind == K::Subpicture) {
            EXPECT_TRUE(first == past || *first == dataOffset) << "unit inside an aligned packet";
        }
        const bool lastOfStream = dataOffset + size == st.data.size();
        const bool endsBeforeUnit = past != units.end() && *past == dataOffset + size;
        if (p.stuffing || w.size() == i + 2) {
            EXPECT_TRUE(lastOfStream || endsBeforeUnit) << "room left in a pack mid-stream";
            if (!lastOfStream && !p.pts) ++stats.cutBeforeUnit;
        }
        if (st.kind == K::Audio) {
            const std::uint8_t* sh = f.data() + p.payload;
            EXPECT_EQ(sh[1], past - first) << "frame headers";
            const std::size_t pointer = std::size_t{sh[2]} << 8 | sh[3];
            if (first != past) {
                EXPECT_EQ(pointer, 1 + (subHeader - 4) + (*first - dataOffset));
            } else {
                EXPECT_EQ(pointer, 0u);
            }
        }

        // The builder's record says the same.
        ASSERT_LT(packetIndex, r.packets.size());
        const auto& rec = r.packets[packetIndex++];
        EXPECT_EQ(rec.streamIndex, s);
        EXPECT_EQ(rec.fileOffset, payload);
        EXPECT_EQ(rec.payloadSize, size);
        EXPECT_EQ(rec.pts, p.pts);
        EXPECT_EQ(rec.dts, p.dts);
        EXPECT_EQ(rec.packOffset, at);
        EXPECT_EQ(rec.dataOffset, dataOffset);
    }
    EXPECT_EQ(packetIndex, r.packets.size());
    for (std::size_t k = 0; k < streams.size(); ++k)
        EXPECT_TRUE(delivered[k] == streams[k].data) << "stream " << k;
}

void verifyMux(const std::vector<StreamSpec>& streams, const MuxOptions& opt, const MuxResult& r) {
    MuxStats stats;
    verifyMux(streams, opt, r, stats);
}

TEST(PsBuilderMux, DiscLayoutsReadBackPackByPack) {
    struct Case {
        const char* name;
        std::vector<StreamSpec> streams;
        MuxOptions opt;
    };
    StreamSpec mpeg2{K::Mpeg2Video, 0xE0, mpeg2Pictures(12, 5000), everyUnit(12, 5000)};
    mpeg2.ptsStep = 3003;
    StreamSpec ac3{K::Audio, 0x80, ac3Frames(20), everyUnit(20, kAc3FrameSize)};
    ac3.ptsStep = 2880;
    StreamSpec vc1a{K::Vc1Video, 0x55, vc1Frames(10, 7000), everyUnit(10, 7000)};
    StreamSpec vc1b{K::Vc1Video, 0x56, vc1Frames(6, 3000), everyUnit(6, 3000)};
    vc1b.pstd = StreamSpec::Pstd::EveryPacket;
    StreamSpec ddp{K::Audio, 0xC0, filler(9000, 3), irregularUnits(9000, 700, 1)};
    StreamSpec lpcm{K::Audio, 0xA0, filler(7000, 4), irregularUnits(7000, 300, 2)};
    StreamSpec mlp{K::Audio, 0xB1, filler(5000, 5), irregularUnits(5000, 900, 3)};
    mlp.pstd = StreamSpec::Pstd::None;
    StreamSpec dts{K::Audio, 0x88, filler(3000, 6), {}};
    StreamSpec sub{K::Subpicture, 0x20, filler(6000, 7), {0, 1500, 1501, 4000}};
    StreamSpec esub{K::Subpicture, 0x61, filler(2500, 8), {0, 2100}};
    StreamSpec h264{K::H264Video, 0xE2, h264AccessUnits(15, 2500), irregularUnits(15 * 2500, 4000, 4)};
    h264.withDts = true;
    h264.firstPts = 1000; // DTS wraps below zero
    StreamSpec h264b{K::H264Video, 0xE3, h264AccessUnits(8, 1000), everyUnit(8, 1000)};
    h264b.withDts = true;
    h264b.dtsLead = 7507;
    h264b.alignUnits = true;
    StreamSpec late{K::Mpeg2Video, 0xE1, mpeg2Pictures(3, 3000), {2500, 6000}}; // no unit at 0
    late.firstPts = kTimeStampMask - 1000;                                      // PTS wraps

    const std::vector<Case> cases = {
        {"DVD: MPEG-2 + AC-3", {mpeg2, ac3}, {}},
        {"HD DVD: two VC-1 + DD+ + LPCM + MLP + DTS + subpictures",
         {vc1a, vc1b, ddp, lpcm, mlp, dts, sub, esub},
         {.videoBound = 2, .audioBound = 4, .shuffle = 7}},
        {"H.264 with DTS", {h264, h264b, ac3}, {.shuffle = 3}},
        {"no system header, late first unit", {late, dts}, {.shuffle = 9, .systemHeader = false}},
        {"small packs", {mpeg2, sub, lpcm}, {.packSize = 200, .shuffle = 11}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MuxResult r = muxPacks(c.streams, c.opt);
        ASSERT_FALSE(r.file.empty());
        verifyMux(c.streams, c.opt, r);
    }
}

TEST(PsBuilderMux, EveryEndingOfAStreamFillsThePackExactly) {
    // Sizes across the first packs' room: the last packet leaves 0, 1..5 (stuffing) or 6 and
    // more (padding) bytes; all must read back.
    MuxStats total;
    for (K kind : {K::Audio, K::Vc1Video}) {
        for (std::size_t size = 1960; size <= 2060; ++size) {
            SCOPED_TRACE(size);
            const std::vector<StreamSpec> s = {{kind,
                                                static_cast<std::uint8_t>(kind == K::Audio ? 0xA2 : 0x55),
                                                filler(size),
                                                {0, size - 1}}};
            const MuxResult r = muxPacks(s);
            MuxStats st;
            verifyMux(s, {}, r, st);
            total.stuffedPackets += st.stuffedPackets;
            total.paddedPackets += st.paddedPackets;
            total.fullPackets += st.fullPackets;
            total.stuffingSizes.insert(st.stuffingSizes.begin(), st.stuffingSizes.end());
        }
    }
    EXPECT_EQ(total.stuffingSizes, (std::set<std::size_t>{1, 2, 3, 4, 5}));
    EXPECT_GT(total.paddedPackets, 0u);
    EXPECT_GT(total.fullPackets, 0u);
}

TEST(PsBuilderMux, UnitsJustPastThePtsRoomEndThePacketEarly) {
    // The second packet starts without a unit; a unit starting where only a packet without PTS
    // would reach (its last 5 bytes) must start the next packet instead. Sweep that unit over the
    // second packet's room, with and without DTS.
    std::size_t cuts = 0;
    for (bool withDts : {false, true}) {
        for (std::size_t unit = 3990; unit <= 4060; ++unit) {
            SCOPED_TRACE(std::to_string(unit) + (withDts ? " with DTS" : ""));
            std::vector<StreamSpec> s = {{K::H264Video, 0xE2, filler(9000), {0, unit, unit + 1}}};
            s[0].withDts = withDts;
            const MuxResult r = muxPacks(s);
            MuxStats st;
            verifyMux(s, {}, r, st);
            cuts += st.cutBeforeUnit;
        }
    }
    EXPECT_GE(cuts, 10u); // 4 (PTS) and 9 (PTS+DTS) positions cut short with stuffing, more with padding
}

TEST(PsBuilderMux, ShuffleChangesTheOrderOnlyAndFirstPackSCRIsZero) {
    const std::vector<StreamSpec> s = {{K::Vc1Video, 0x55, vc1Frames(10, 4000), everyUnit(10, 4000)},
                                       {K::Audio, 0x81, ac3Frames(10), everyUnit(10, kAc3FrameSize)}};
    const MuxResult a = muxPacks(s, {.shuffle = 1});
    const MuxResult again = muxPacks(s, {.shuffle = 1});
    const MuxResult b = muxPacks(s, {.shuffle = 2});
    EXPECT_EQ(a.file, again.file);
    std::vector<std::size_t> orderA, orderB;
    for (const auto& p : a.packets)
        orderA.push_back(p.streamIndex);
    for (const auto& p : b.packets)
        orderB.push_back(p.streamIndex);
    EXPECT_NE(orderA, orderB);
    EXPECT_EQ(orderA.size(), orderB.size());
    verifyMux(s, {.shuffle = 2}, b);
    // SCR of pack k = k * 2048 bytes at 25200 * 50 bytes/s: pack 1 at 43885 ticks of 27 MHz = 146 * 300 + 85.
    EXPECT_EQ(hex(slice(a.file, 0, 14)), "00 00 01 BA 44 00 04 00 04 01 01 89 C3 F8");
    EXPECT_EQ(hex(slice(a.file, 2048, 14)), hex(packHeaderBytes(146, kDvdMuxRate, 85)));
}

TEST(PsBuilderMux, RefusesStreamsItCannotLayOut) {
    const Bytes d = filler(100);
    EXPECT_THROW(muxPacks({{K::Mpeg2Video, 0xC0, d, {}}}), std::invalid_argument);
    EXPECT_THROW(muxPacks({{K::Vc1Video, 0x80, d, {}}}), std::invalid_argument);
    EXPECT_THROW(muxPacks({{K::Audio, 0x20, d, {}}}), std::invalid_argument);
    EXPECT_THROW(muxPacks({{K::Subpicture, 0x80, d, {}}}), std::invalid_argument);
    EXPECT_THROW(muxPacks({{K::Audio, 0x80, d, {5, 5}}}), std::invalid_argument);
    EXPECT_THROW(muxPacks({{K::Audio, 0x80, d, {100}}}), std::invalid_argument);
    EXPECT_THROW(muxPacks({{K::Audio, 0x80, d, {}}}, {.packSize = 40}), std::invalid_argument);
    EXPECT_TRUE(muxPacks({{K::Audio, 0x80, {}, {}}}).file.empty());
}

// ---- Streaming to disk -------------------------------------------------------------------------

TEST(PsBuilderPackWriter, RepeatedUnitsGiveTheSameFileAsTheWholeStreamInMemory) {
    const std::size_t frames = 60, frameSize = 5000, audioFrames = 70;
    // The in-memory stream made of the same units.
    Bytes vc1 = vc1Frames(1, frameSize);
    const Bytes rest = vc1Frames(1, frameSize, false);
    for (std::size_t k = 1; k < frames; ++k)
        vc1.insert(vc1.end(), rest.begin(), rest.end());
    Bytes ac3;
    for (std::size_t k = 0; k < audioFrames; ++k) {
        const Bytes one = ac3Frames(1);
        ac3.insert(ac3.end(), one.begin(), one.end());
    }
    const std::vector<StreamSpec> same = {{K::Vc1Video, 0x55, vc1, everyUnit(frames, frameSize)},
                                          {K::Audio, 0x80, ac3, everyUnit(audioFrames, kAc3FrameSize)}};
    const MuxResult expected = muxPacks(same, {.shuffle = 5});

    auto sources = [&] {
        return std::vector<StreamSource>{
            repeatedUnits(K::Vc1Video, 0x55, vc1Frames(1, frameSize), vc1Frames(1, frameSize, false), frames),
            repeatedUnits(K::Audio, 0x80, ac3Frames(1), ac3Frames(1), audioFrames)};
    };
    PackWriter inMemory(sources(), {.shuffle = 5});
    Bytes streamed(inMemory.packSize());
    MuxResult::Packet rec{};
    for (std::size_t i = 0; inMemory.nextPack(streamed.data(), &rec); ++i) {
        SCOPED_TRACE(i);
        ASSERT_LT(i, expected.packets.size());
        EXPECT_TRUE(std::equal(streamed.begin(), streamed.end(),
                               expected.file.begin() + static_cast<std::ptrdiff_t>(i * 2048)));
        EXPECT_EQ(rec.fileOffset, expected.packets[i].fileOffset);
        EXPECT_EQ(rec.pts, expected.packets[i].pts);
        EXPECT_EQ(rec.dataOffset, expected.packets[i].dataOffset);
    }
    EXPECT_EQ(inMemory.packsWritten(), expected.packets.size());
    EXPECT_FALSE(inMemory.nextPack(streamed.data()));

    TempDir dir;
    PackWriter toDisk(sources(), {.shuffle = 5});
    EXPECT_EQ(toDisk.writeFile(dir.file("big.evo")), expected.file.size());
    EXPECT_TRUE(readFile(dir.file("big.evo")) == expected.file);
    verifyMux(same, {.shuffle = 5}, expected);

    PackWriter nowhere(sources());
    EXPECT_THROW(nowhere.writeFile(dir.file("missing/big.evo")), std::runtime_error);
    if (std::filesystem::exists("/dev/full")) { // opens, then every write fails
        PackWriter full(sources());
        EXPECT_THROW(full.writeFile("/dev/full"), std::runtime_error);
    }
}

TEST(PsBuilderPackWriter, RepeatedUnitsReadAcrossUnitBoundaries) {
    const Bytes first = filler(7, 1), rest = filler(5, 2);
    const StreamSource s = repeatedUnits(K::Audio, 0x80, first, rest, 4);
    Bytes whole = first;
    for (int k = 0; k < 3; ++k)
        whole.insert(whole.end(), rest.begin(), rest.end());
    ASSERT_EQ(s.size, whole.size());
    for (std::size_t from = 0; from < whole.size(); ++from)
        for (std::size_t n = 0; from + n <= whole.size(); n += 3) {
            Bytes got(n);
            s.read(from, got.data(), n);
            ASSERT_EQ(got, slice(whole, from, n)) << from << "+" << n;
        }
    // Units at 0, 7, 12, 17.
    const std::vector<std::pair<std::uint64_t, std::optional<std::uint64_t>>> next = {
        {0, 0}, {1, 7}, {7, 7}, {8, 12}, {12, 12}, {13, 17}, {17, 17}, {18, std::nullopt}};
    for (const auto& [from, offset] : next) {
        SCOPED_TRACE(from);
        const auto u = s.nextUnit(from);
        ASSERT_EQ(u.has_value(), offset.has_value());
        if (u) {
            EXPECT_EQ(u->offset, *offset);
            EXPECT_EQ(u->index, *offset == 0 ? 0 : (*offset == 7 ? 1 : (*offset == 12 ? 2 : 3)));
        }
    }
}

// ---- ffprobe as an outside reader ----------------------------------------------------------

constexpr const char* kFfprobe = "/usr/bin/ffprobe";

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        while (std::size_t n = std::fread(buf, 1, sizeof buf, p))
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

std::vector<std::string> lines(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) out.push_back(line);
    return out;
}

// One line per stream; a trailing "|side_data|" (ffprobe's MPEG-2 buffer properties) is dropped.
std::string probeStreams(const std::string& path) {
    std::string out;
    for (std::string line :
         lines(run(std::string(kFfprobe) +
                   " -v error -show_entries stream=id,codec_name,width,height,sample_rate,channels"
                   " -of compact=nk=0 '" +
                   path + "' 2>/dev/null"))) {
        if (line.rfind("stream|", 0) != 0) continue;
        const std::string side = "|side_data|";
        if (line.size() > side.size() && line.compare(line.size() - side.size(), side.size(), side) == 0)
            line.resize(line.size() - side.size());
        out += line + "\n";
    }
    return out;
}

// "pts,pos" of every packet of the first video stream.
std::vector<std::string> probeVideoPackets(const std::string& path) {
    return lines(run(std::string(kFfprobe) +
                     " -v error -select_streams v:0 -show_entries packet=pts,pos -of csv=p=0 '" + path +
                     "' 2>/dev/null"));
}

// The lines ffprobe should print for the video: unit k at firstPts + k*step, found in the PES
// packet that carries unit k's PTS (its start: the pack start + pack header, + system header in pack 0).
std::vector<std::string> expectedVideoPackets(const MuxResult& r, std::size_t stream,
                                              std::size_t systemHeader) {
    std::vector<std::string> out;
    for (const auto& p : r.packets)
        if (p.streamIndex == stream && p.pts)
            out.push_back(std::to_string(*p.pts) + "," +
                          std::to_string(p.packOffset + 14 + (p.packOffset == 0 ? systemHeader : 0)));
    return out;
}

TEST(PsBuilderWithFfprobe, ReadsAnMpeg2AndAc3MuxAsAnMpegProgramStream) {
    if (!std::filesystem::exists(kFfprobe)) GTEST_SKIP() << "no ffprobe";
    const std::size_t pictures = 30;
    StreamSpec video{K::Mpeg2Video, 0xE0, mpeg2Pictures(pictures, 6000), everyUnit(pictures, 6000)};
    video.ptsStep = 3003;
    StreamSpec audio{K::Audio, 0x80, ac3Frames(40), everyUnit(40, kAc3FrameSize)};
    audio.ptsStep = 2880;
    const MuxResult r = muxPacks({video, audio});
    TempDir dir;
    writeBytes(dir.file("a.vob"), r.file);

    EXPECT_EQ(probeStreams(dir.file("a.vob")),
              "stream|codec_name=mpeg2video|width=720|height=480|id=0x1e0\n"
              "stream|codec_name=ac3|sample_rate=48000|channels=2|id=0x80\n");
    const auto packets = probeVideoPackets(dir.file("a.vob"));
    EXPECT_EQ(packets, expectedVideoPackets(r, 0, 18));
    ASSERT_EQ(packets.size(), pictures);
    for (std::size_t k = 0; k < pictures; ++k)
        EXPECT_EQ(packets[k].substr(0, packets[k].find(',')), std::to_string(90000 + k * 3003));
}

TEST(PsBuilderWithFfprobe, ReadsVc1UnderStreamIdExtensionAndLpcmAfterItsSevenByteHeader) {
    if (!std::filesystem::exists(kFfprobe)) GTEST_SKIP() << "no ffprobe";
    const std::size_t frames = 24;
    StreamSpec video{K::Vc1Video, 0x55, vc1Frames(frames, 9000), everyUnit(frames, 9000)};
    Bytes pcm(48000 * 4 / 5);
    for (std::size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<std::uint8_t>(i * 7);
    StreamSpec lpcm{K::Audio, 0xA0, pcm, everyUnit(pcm.size() / 320, 320)};
    const MuxResult r = muxPacks({video, lpcm}, {.shuffle = 4});
    TempDir dir;
    writeBytes(dir.file("a.evo"), r.file);

    EXPECT_EQ(probeStreams(dir.file("a.evo")),
              "stream|codec_name=vc1|width=1920|height=1080|id=0xfd55\n"
              "stream|codec_name=pcm_dvd|sample_rate=48000|channels=2|id=0xa0\n");
    const auto packets = probeVideoPackets(dir.file("a.evo"));
    EXPECT_EQ(packets, expectedVideoPackets(r, 0, 18));
    EXPECT_EQ(packets.size(), frames);
}

TEST(PsBuilderWithFfprobe, ReadsH264UnderItsVideoStreamId) {
    if (!std::filesystem::exists(kFfprobe)) GTEST_SKIP() << "no ffprobe";
    StreamSpec video{K::H264Video, 0xE2, h264AccessUnits(10, 5000), everyUnit(10, 5000)};
    TempDir dir;
    writeBytes(dir.file("a.evo"), muxPacks({video}).file);
    EXPECT_EQ(probeStreams(dir.file("a.evo")), "stream|codec_name=h264|width=1920|height=1080|id=0x1e2\n");
}

} // namespace
} // namespace ombrix::testing
