#pragma once
// The program-stream parser: reads the bytes of each block one at a time, finds PES packets
// by their start codes, reads their headers and time stamps and the substream header of
// private stream 1, records new streams in the stream table, reports them in a scan, and hands
// each payload chunk of the read buffer on whole.

#include <cstddef>
#include <cstdint>

namespace ombrix {

struct EngineState;
class EngineHost;

enum class PacketKind : std::uint8_t { None, Video, Audio, Skip, System, MpegAudio, Private, Subpicture };
enum class VideoCoding : std::uint8_t { Mpeg2, H264, Vc1 };
enum class AudioCoding : std::uint8_t { Ac3, DdPlus, Dts, Lpcm, Mlp };

// Where the parser stands; one record per pass, carried from block to block.
struct ParserRecord {
    std::uint32_t Code = 0;
    bool InPayload = false;
    PacketKind Kind = PacketKind::None;
    std::int32_t PesLeft = 0;
    std::uint8_t LenStep = 0;
    std::int32_t SkipLeft = 0;
    std::uint8_t HdrStep = 0;
    std::uint8_t Flags2 = 0;
    std::uint8_t HdrLeft = 0;
    std::uint8_t PtsStep = 0;
    std::uint8_t PtsDtsStep = 0;
    std::uint8_t ExtStep = 0;
    std::uint8_t ExtFlags = 0;
    std::uint8_t PstdStep = 0;
    std::uint8_t ExtIdStep = 0;
    std::uint8_t PrivStep = 0;
    std::uint8_t LpcmStep = 0;
    std::uint8_t MlpStep = 0;
    std::uint32_t PtsAcc = 0;
    std::uint32_t Pts = 0;
    std::uint32_t Dts = 0;
    std::uint32_t VideoPts = 0;
    std::uint32_t AudioPts = 0;
    std::int32_t VideoSlot = -1;
    std::int32_t AudioSlot = -1;
    std::int32_t SubSlot = -1;
    VideoCoding VideoKind = VideoCoding::Mpeg2;
    AudioCoding AudioKind = AudioCoding::Ac3;

    // The current packet's own header carried a PTS (PacketPts); set at its start code.
    bool PacketHasPts = false;
    std::uint32_t PacketPts = 0;
    // The next chunk handed on is the first of the current packet.
    bool FirstChunk = false;
};

// Receives the payload chunks: offset and length (at least 1) in the read buffer.
class PayloadSink {
public:
    virtual ~PayloadSink() = default;
    virtual void chunk(std::int32_t offset, std::int32_t length, ParserRecord& rec) = 0;
};

class Parser {
public:
    Parser(EngineState& state, EngineHost& host, PayloadSink& sink) : state_(state), host_(host), sink_(sink) {}

    void reset(bool demuxMode);
    // Feeds bytes 0 to count-1 of the read buffer.
    void feed(std::size_t count);

    ParserRecord& record() { return rec_; }

private:
    void startCode(std::uint8_t b);
    void headerComplete();
    void afterTimeStamps();
    void subpictureRules(std::uint8_t b);
    void audioRules();
    void enterPayload();

    EngineState& state_;
    EngineHost& host_;
    PayloadSink& sink_;
    ParserRecord rec_;
    bool demuxMode_ = false;
};

} // namespace ombrix
