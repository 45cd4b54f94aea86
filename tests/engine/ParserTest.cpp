#include "support/FakeHost.h"
#include "engine/Parser.h"
#include "engine/State.h"
#include "support/PsBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace ombrix {
namespace {

using testing::Bytes;
using testing::FakeHost;
using testing::PesOptions;
using testing::PsBuilder;

// What the parser handed on: the chunks' bytes per kind and slot, and the record at each chunk.
struct RecordingSink : PayloadSink {
    EngineState* state = nullptr;
    std::map<std::pair<PacketKind, int>, Bytes> payload;
    std::vector<ParserRecord> records;
    std::vector<std::int32_t> lengths;
    void chunk(std::int32_t offset, std::int32_t length, ParserRecord& rec) override {
        const int slot = rec.Kind == PacketKind::Video   ? rec.VideoSlot
                         : rec.Kind == PacketKind::Audio ? rec.AudioSlot
                                                         : rec.SubSlot;
        auto& out = payload[{rec.Kind, slot}];
        out.insert(out.end(), state->ReadBuf + offset, state->ReadBuf + offset + length);
        records.push_back(rec);
        lengths.push_back(length);
    }
};

struct ParseRun {
    EngineState state;
    FakeHost host;
    RecordingSink sink;
    Parser parser{state, host, sink};

    explicit ParseRun(bool demuxMode = false) {
        sink.state = &state;
        state.VideoKey.fill(-1);
        state.AudioKey.fill(-1);
        state.SubKey.fill(-1);
        parser.reset(demuxMode);
    }
    // Feeds the bytes in blocks of the given size, as a pass does.
    ParseRun& feed(const Bytes& bytes, std::size_t block = kReadBufSize) {
        for (std::size_t at = 0; at < bytes.size(); at += block) {
            const std::size_t n = std::min(block, bytes.size() - at);
            std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), n, state.ReadBuf);
            parser.feed(n);
        }
        return *this;
    }
    Bytes of(PacketKind k, int slot) { return sink.payload[{k, slot}]; }
};

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes bytesOf(std::size_t n, std::uint8_t first = 1) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(first + i * 7 % 200);
    return b;
}

TEST(Parser, FindsEachStreamFamilyInItsSlotAndReportsItOnce) {
    const Bytes data = bytesOf(40);
    struct Case {
        std::function<void(PsBuilder&)> packet;
        const char* line;
        std::array<std::int32_t, 16>* (*table)(EngineState&);
        int slot;
        std::int32_t key;
        PacketKind kind;
    };
    auto video = [](EngineState& s) { return &s.VideoKey; };
    auto audio = [](EngineState& s) { return &s.AudioKey; };
    const Case cases[] = {
        {[&](PsBuilder& b) { b.pes(0xE0, data); }, "MPEG-2 video stream 0 found!", video, 0, 0xE0, PacketKind::Video},
        {[&](PsBuilder& b) { b.pes(0xE1, data); }, "MPEG-2 video stream 1 found!", video, 1, 0xE1, PacketKind::Video},
        {[&](PsBuilder& b) { b.pes(0xE3, data); }, "H.264 video stream 1 found!", video, 1, 0xE3, PacketKind::Video},
        {[&](PsBuilder& b) { b.vc1(data, {}, 0x55); }, "VC-1 video stream 0 found!", video, 0, 0x55, PacketKind::Video},
        {[&](PsBuilder& b) { b.vc1(data, {.pstd = testing::kPstdVideo}, 0x56); }, "VC-1 video stream 1 found!", video,
         1, 0x56, PacketKind::Video},
        {[&](PsBuilder& b) { b.audio(0x80, data); }, "Dolby Digital audio stream 0 found!", audio, 0, 0x80,
         PacketKind::Audio},
        {[&](PsBuilder& b) { b.audio(0x89, data); }, "DTS HD (DTS) audio stream 1 found!", audio, 1, 0x89,
         PacketKind::Audio},
        {[&](PsBuilder& b) { b.audio(0xC9, data); }, "Dolby Digital Plus audio stream 9 found!", audio, 9, 0xC9,
         PacketKind::Audio},
        {[&](PsBuilder& b) { b.audio(0xA3, data); }, "LPCM audio stream 3 found!", audio, 3, 0xA3, PacketKind::Audio},
        {[&](PsBuilder& b) { b.audio(0xB4, data); }, "Dolby TrueHD (MLP) audio stream 4 found!", audio, 4, 0xB4,
         PacketKind::Audio},
    };
    for (const auto& c : cases) {
        PsBuilder b;
        b.packHeader();
        c.packet(b);
        c.packet(b); // the second packet of the same stream reports nothing
        ParseRun run;
        run.feed(b.bytes());
        EXPECT_EQ(run.host.lines, std::vector<std::string>{c.line});
        EXPECT_EQ((*c.table(run.state))[static_cast<std::size_t>(c.slot)], c.key) << c.line;
        Bytes twice = data;
        twice.insert(twice.end(), data.begin(), data.end());
        // The payload starts right after the PES header and the substream's own header bytes.
        EXPECT_EQ(run.of(c.kind, c.slot), twice) << c.line;

        ParseRun demux(true);
        demux.feed(b.bytes());
        EXPECT_TRUE(demux.host.lines.empty()) << "a demux logs no found lines";
        EXPECT_EQ(demux.of(c.kind, c.slot), twice) << c.line;
    }
}

TEST(Parser, SubpictureStreamsAndTheirFirstTimeStamp) {
    PsBuilder b;
    b.packHeader()
        .subpicture(0x21, bytesOf(30), {.pts = 0x12345})
        .subpicture(0x65, bytesOf(20))
        .subpicture(0x31, bytesOf(10), {.pts = 0x100});
    ParseRun run;
    run.feed(b.bytes());
    EXPECT_EQ(run.host.lines, (std::vector<std::string>{"Subpicture stream 1 found!", "   First PTS = 00012345",
                                                         "Extended subpicture stream 5 found!",
                                                         "Subpicture stream 17 found!", "   First PTS = 00000100"}));
    EXPECT_EQ(run.state.SubKey[1], 0x21);
    EXPECT_EQ(run.state.SubKey[5], 0x65);
    EXPECT_EQ(run.state.SubKey[17], 0x31);
    EXPECT_EQ(run.of(PacketKind::Subpicture, 1), bytesOf(30)) << "the payload starts after the id byte";

    FakeHost quiet;
    ParseRun brief;
    brief.host.detailed = false;
    brief.feed(b.bytes());
    EXPECT_EQ(brief.host.lines.size(), 3u) << "without details no first-PTS lines";
}

TEST(Parser, FamiliesShareSlotsAndTheFirstKeyStays) {
    PsBuilder b;
    b.packHeader().audio(0x80, bytesOf(8)).audio(0xC0, bytesOf(8, 50)).pes(0xE0, bytesOf(8)).pes(0xE2, bytesOf(8));
    ParseRun run;
    run.feed(b.bytes());
    EXPECT_EQ(run.state.AudioKey[0], 0x80);
    EXPECT_EQ(run.state.VideoKey[0], 0xE0);
    EXPECT_EQ(run.host.lines,
              (std::vector<std::string>{"Dolby Digital audio stream 0 found!", "MPEG-2 video stream 0 found!"}));
    // Every packet of the slot is routed to it.
    Bytes both = bytesOf(8);
    const Bytes second = bytesOf(8, 50);
    both.insert(both.end(), second.begin(), second.end());
    EXPECT_EQ(run.of(PacketKind::Audio, 0), both);
}

TEST(Parser, DropsWhatNoFamilyClaims) {
    PsBuilder b;
    b.packHeader()
        .vc1(bytesOf(16), {}, 0x57)           // an extension that is no VC-1 stream
        .audio(0xA8, bytesOf(16))             // not LPCM
        .raw({0, 0, 1, 0xBD, 0, 8, 0x81, 0x80, 0, 0xB8, 1, 2, 3, 4}) // not MLP
        .padding(12, 0x00)
        .raw({0, 0, 1, 0xC0, 0, 7, 0x81, 0x80, 0, 9, 9, 9, 9}); // MPEG audio
    ParseRun run;
    run.feed(b.bytes());
    EXPECT_TRUE(run.host.lines.empty());
    EXPECT_TRUE(run.sink.payload.empty());
    EXPECT_EQ(run.state.VideoKey[0], -1);
    EXPECT_EQ(run.state.AudioKey[0], -1);
    EXPECT_EQ(run.state.AudioKey[8], -1);
}

TEST(Parser, NoStartCodeIsSeenInsidePaddingOrPayload) {
    PsBuilder b;
    b.packHeader();
    b.raw({0, 0, 1, 0xBE, 0, 8, 0xFF, 0, 0, 1, 0xE0, 0, 0x10, 0xFF}); // padding holding 00 00 01 E0
    b.audio(0x81, {0, 0, 1, 0xE1, 0, 20, 0x81, 0x80, 0});            // payload holding a video header
    ParseRun run;
    run.feed(b.bytes());
    EXPECT_EQ(run.state.VideoKey[0], -1);
    EXPECT_EQ(run.state.VideoKey[1], -1);
    EXPECT_EQ(run.host.lines, std::vector<std::string>{"Dolby Digital audio stream 1 found!"});
}

TEST(Parser, AssemblesTimeStamps) {
    // 0x27 00 01 00 01 is the PTS 0x1C0000000: its low 32 bits are 0xC0000000.
    ParseRun ptsOnly(true);
    ptsOnly.feed(Bytes{0, 0, 1, 0xE0, 0, 12, 0x81, 0x80, 5, 0x27, 0, 1, 0, 1, 0xAA, 0xBB});
    ASSERT_EQ(ptsOnly.sink.records.size(), 1u);
    EXPECT_EQ(ptsOnly.sink.records[0].Pts, 0xC0000000u);
    EXPECT_EQ(ptsOnly.sink.records[0].VideoPts, 0u) << "a PTS alone doesn't reach the video register";

    ParseRun both(true);
    PsBuilder b;
    b.pes(0xE0, {0xAA}, {.pts = 0x1C0000000ull, .dts = 0x123456789ull});
    both.feed(b.bytes());
    ASSERT_EQ(both.sink.records.size(), 1u);
    EXPECT_EQ(both.sink.records[0].Pts, 0xC0000000u);
    EXPECT_EQ(both.sink.records[0].VideoPts, 0xC0000000u);
    EXPECT_EQ(both.sink.records[0].Dts, 0x23456789u);
    EXPECT_TRUE(both.sink.records[0].PacketHasPts);
}

TEST(Parser, TimeStampRegistersFollowTheirRules) {
    // A subpicture packet without a PTS after a video packet with one: the pending PTS stays.
    ParseRun demux(true);
    PsBuilder b;
    b.pes(0xE0, {1, 2}, {.pts = 0x5000}).subpicture(0x20, {3, 4});
    demux.feed(b.bytes());
    ASSERT_EQ(demux.sink.records.size(), 2u);
    EXPECT_EQ(demux.sink.records[1].Pts, 0x5000u);
    EXPECT_FALSE(demux.sink.records[1].PacketHasPts);

    // A video stream found after an audio packet gets VideoPts 0: the audio rules cleared Pts.
    ParseRun scan;
    PsBuilder c;
    c.audio(0x80, {1}, {.pts = 0x7000}).pes(0xE0, {2}, {.pts = 0x8000});
    scan.feed(c.bytes());
    ASSERT_EQ(scan.sink.records.size(), 2u);
    EXPECT_EQ(scan.sink.records[0].AudioPts, 0x7000u);
    EXPECT_EQ(scan.sink.records[1].VideoPts, 0u);

    // VC-1 found with a PTS: VideoPts is that PTS.
    ParseRun vc1;
    PsBuilder d;
    d.vc1({1}, {.pts = 0x9000, .pstd = testing::kPstdVideo});
    vc1.feed(d.bytes());
    ASSERT_EQ(vc1.sink.records.size(), 1u);
    EXPECT_EQ(vc1.sink.records[0].VideoPts, 0x9000u);
}

TEST(Parser, APacketOverTheEndOfABlockIsDeliveredInTwoChunks) {
    PsBuilder b;
    b.packHeader();
    const Bytes data = bytesOf(2000);
    b.vc1(data, {.pts = 90000, .pstd = testing::kPstdVideo});
    ParseRun run;
    run.feed(b.bytes(), 1500);
    ASSERT_EQ(run.sink.lengths.size(), 2u);
    EXPECT_EQ(run.sink.lengths[0] + run.sink.lengths[1], 2000);
    EXPECT_EQ(run.of(PacketKind::Video, 0), data);
    EXPECT_TRUE(run.sink.records[0].FirstChunk);
    EXPECT_FALSE(run.sink.records[1].FirstChunk);
}

TEST(Parser, EveryBlockSizeGivesTheSameStreamsAndPayloads) {
    using testing::StreamSpec;
    std::vector<StreamSpec> streams = {
        {.kind = StreamSpec::Kind::Vc1Video, .id = 0x55, .data = testing::vc1Frames(40, 3000)},
        {.kind = StreamSpec::Kind::Audio, .id = 0xC0, .data = bytesOf(9000)},
        {.kind = StreamSpec::Kind::Audio, .id = 0x8B, .data = bytesOf(7000, 3)},
        {.kind = StreamSpec::Kind::Audio, .id = 0xA1, .data = bytesOf(5000, 5)},
        {.kind = StreamSpec::Kind::Audio, .id = 0xB2, .data = bytesOf(5000, 9)},
        {.kind = StreamSpec::Kind::Subpicture, .id = 0x20, .data = bytesOf(6000, 11), .unitStarts = {0, 2500}},
    };
    for (auto& s : streams) s.withDts = s.kind == StreamSpec::Kind::Vc1Video;
    const auto mux = testing::muxPacks(streams);
    ParseRun whole;
    whole.feed(mux.file);
    ASSERT_EQ(whole.host.lines.size(), 7u);
    EXPECT_EQ(whole.of(PacketKind::Video, 0), streams[0].data);
    EXPECT_EQ(whole.of(PacketKind::Audio, 0), streams[1].data);
    EXPECT_EQ(whole.of(PacketKind::Audio, 3), streams[2].data);
    EXPECT_EQ(whole.of(PacketKind::Audio, 1), streams[3].data);
    EXPECT_EQ(whole.of(PacketKind::Audio, 2), streams[4].data);
    EXPECT_EQ(whole.of(PacketKind::Subpicture, 0), streams[5].data);
    for (std::size_t block : {1u, 2u, 3u, 5u, 13u, 2047u, 2049u, 65536u}) {
        ParseRun split;
        split.feed(mux.file, block);
        EXPECT_EQ(split.host.lines, whole.host.lines) << block;
        EXPECT_EQ(split.sink.payload, whole.sink.payload) << block;
    }
}

TEST(Parser, AHeaderThatEndsWithItsExtensionStillReadsTheSubstreamHeader) {
    // Private stream 1 with a P-STD field and no time stamp, as the first packet of a stream
    // often is; and an extension flags byte with no field at all.
    const Bytes data = bytesOf(30);
    PsBuilder b;
    b.pes(0xBD, Bytes{0x81, 1, 0, 1} + data, {.pstd = testing::kPstdPrivate});
    b.raw({0, 0, 1, 0xBD, 0, 9, 0x81, 0x01, 1, 0x0E, 0x82, 1, 0, 1, 0x42});
    ParseRun run;
    run.feed(b.bytes());
    EXPECT_EQ(run.host.lines, (std::vector<std::string>{"Dolby Digital audio stream 1 found!",
                                                         "Dolby Digital audio stream 2 found!"}));
    EXPECT_EQ(run.of(PacketKind::Audio, 1), data);
    EXPECT_EQ(run.of(PacketKind::Audio, 2), Bytes{0x42});
}

TEST(Parser, ShortPacketLengthsNeverStallOrRewind) {
    // PES_packet_length 0 and 3: smaller than the header they announce.
    for (std::uint16_t len : {0, 3, 8}) {
        PsBuilder b;
        b.pes(0xE0, bytesOf(20), {.pts = 90000, .lengthOverride = len});
        b.audio(0x81, bytesOf(10));
        ParseRun run;
        run.feed(b.bytes());
        for (auto n : run.sink.lengths) EXPECT_GE(n, 1);
        // The parser went on and found the next packet.
        EXPECT_EQ(run.state.AudioKey[1], 0x81) << len;
    }
}

} // namespace
} // namespace ombrix
