// The analysers on the output of real encoders (Debian's ffmpeg), muxed into a program stream
// by the test builder and read with Read EVO: the reports carry what the encoder was told.

#include "ScanHarness.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <string>

namespace ombrix::testing {
namespace {

bool haveFfmpeg() {
    static const bool have = std::system("ffmpeg -hide_banner -version > /dev/null 2>&1") == 0;
    return have;
}

// Runs ffmpeg with the arguments and returns the file it wrote.
Bytes encode(const TempDir& dir, const std::string& args, const std::string& name) {
    const std::string out = dir.file(name);
    const std::string cmd = "ffmpeg -hide_banner -loglevel error -nostdin -y " + args + " '" + out + "'";
    if (std::system(cmd.c_str()) != 0) throw std::runtime_error("ffmpeg failed: " + cmd);
    return readFile(out);
}

const std::string kSine48 = "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=0.2 ";
const std::string kFiveOne = "-af 'pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0' ";

// A file of one stream; units start at the given offsets (the first at 0).
std::string muxFile(const TempDir& dir, StreamSpec::Kind kind, std::uint8_t id, Bytes data,
                    std::vector<std::size_t> unitStarts, std::uint64_t firstPts) {
    if (unitStarts.empty() || unitStarts.front() != 0) unitStarts.insert(unitStarts.begin(), 0);
    StreamSpec s{.kind = kind, .id = id, .data = std::move(data)};
    s.unitStarts = std::move(unitStarts);
    s.firstPts = firstPts;
    s.withDts = kind != StreamSpec::Kind::Audio;
    const std::string path = dir.file("SCAN.EVO");
    writeBytes(path, muxPacks({s}).file);
    return path;
}

// The number in a line "<prefix><number><rest>".
long numberAfter(const std::string& line, const std::string& prefix) {
    if (line.compare(0, prefix.size(), prefix) != 0) return -1;
    long v = -1;
    std::from_chars(line.data() + prefix.size(), line.data() + line.size(), v);
    return v;
}

#define REQUIRE_FFMPEG()                                                                                     \
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed"

TEST(EncoderOutput, EAc3FiveOneAt384k) {
    REQUIRE_FFMPEG();
    TempDir dir;
    const Bytes es = encode(dir, kSine48 + kFiveOne + "-c:a eac3 -b:a 384k -f eac3", "a.eac3");
    const auto path = muxFile(dir, StreamSpec::Kind::Audio, 0xC3, es, findAll(es, {0x0B, 0x77}), 0x2000);
    EXPECT_EQ(reportBlock(scanLog(path), "Dolby Digital Plus audio stream 3 found!"),
              (std::vector<std::string>{"   First PTS = 00002000", "   Stream 3 is Dolby Digital Plus",
                                        "   frame size = 1536, number of blocks per frame = 6",
                                        "   bitrate = 384 kbit/s, sampling rate = 48 kHz",
                                        "   mode = 3/2, bsid = 16, LFE present = 1"}));
}

TEST(EncoderOutput, EAc3StereoAt44k1) {
    REQUIRE_FFMPEG();
    TempDir dir;
    const Bytes es = encode(dir,
                            "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=0.2 -ac 2 -c:a eac3 "
                            "-b:a 192k -f eac3",
                            "b.eac3");
    const auto path = muxFile(dir, StreamSpec::Kind::Audio, 0xC0, es, findAll(es, {0x0B, 0x77}), 0x2000);
    const auto block = reportBlock(scanLog(path, ','), "Dolby Digital Plus audio stream 0 found!");
    ASSERT_EQ(block.size(), 5u);
    EXPECT_EQ(block[1], "   Stream 0 is Dolby Digital Plus");
    EXPECT_EQ(block[2].rfind("   frame size = ", 0), 0u);
    // The encoder rounds the frame to whole bytes: the rate is within a kbit/s of what it was given.
    const std::string rateLine = block[3];
    EXPECT_NEAR(numberAfter(rateLine, "   bitrate = "), 192, 1.0) << rateLine;
    EXPECT_EQ(rateLine.substr(rateLine.find(" kbit/s")), " kbit/s, sampling rate = 44,1 kHz");
    EXPECT_EQ(block[4], "   mode = 2/0, bsid = 16, LFE present = 0");
}

// A Dolby Digital stream gets no analyser; AC-3 frames in a Dolby Digital Plus stream do.
TEST(EncoderOutput, Ac3FramesAt448kAnd192k) {
    REQUIRE_FFMPEG();
    TempDir dir;
    const Bytes fiveOne = encode(dir, kSine48 + kFiveOne + "-c:a ac3 -b:a 448k -f ac3", "c.ac3");
    auto path = muxFile(dir, StreamSpec::Kind::Audio, 0xC1, fiveOne, findAll(fiveOne, {0x0B, 0x77}), 0x3000);
    EXPECT_EQ(reportBlock(scanLog(path), "Dolby Digital Plus audio stream 1 found!"),
              (std::vector<std::string>{"   First PTS = 00003000", "   Stream 1 is Dolby Digital",
                                        "   bitrate = 448 kbit/s, sampling rate = 48 kHz",
                                        "   mode = 3/2, bsid = 8, bsmod =0"}));

    const Bytes stereo = encode(dir,
                                "-f lavfi -i sine=frequency=440:sample_rate=32000:duration=0.2 -ac 2 "
                                "-c:a ac3 -b:a 192k -f ac3",
                                "d.ac3");
    path = muxFile(dir, StreamSpec::Kind::Audio, 0xC1, stereo, findAll(stereo, {0x0B, 0x77}), 0x3000);
    EXPECT_EQ(reportBlock(scanLog(path), "Dolby Digital Plus audio stream 1 found!"),
              (std::vector<std::string>{"   First PTS = 00003000", "   Stream 1 is Dolby Digital",
                                        "   bitrate = 192 kbit/s, sampling rate = 32 kHz",
                                        "   mode = 2/0, bsid = 8, bsmod =0"}));

    path = muxFile(dir, StreamSpec::Kind::Audio, 0x81, fiveOne, findAll(fiveOne, {0x0B, 0x77}), 0x3000);
    EXPECT_EQ(reportBlock(scanLog(path), "Dolby Digital audio stream 1 found!"),
              (std::vector<std::string>{"   First PTS = 00003000"}));
}

TEST(EncoderOutput, DtsFiveOneAndStereo) {
    REQUIRE_FFMPEG();
    TempDir dir;
    struct Case {
        std::string args;
        std::uint8_t id;
        const char* arrangement;
        const char* rate;
        bool lfe;
    };
    for (const Case& c : {Case{kSine48 + kFiveOne + "-c:a dca -strict -2 -b:a 1536k -f dts", 0x88,
                               "C + L + R + SL + SR", "1536", true},
                          Case{kSine48 + "-ac 2 -c:a dca -strict -2 -b:a 768k -f dts", 0x8A, "L + R (stereo)",
                               "768", false}}) {
        const Bytes es = encode(dir, c.args, "e.dts");
        const auto syncs = findAll(es, {0x7F, 0xFE, 0x80, 0x01});
        ASSERT_GE(syncs.size(), 2u);
        const auto path = muxFile(dir, StreamSpec::Kind::Audio, c.id, es, syncs, 0x4000);
        const auto block =
            reportBlock(scanLog(path), "DTS HD (DTS) audio stream " + std::to_string(c.id & 7) + " found!");
        // Every core header in the first packet is reported: nine lines each, all alike here.
        ASSERT_GE(block.size(), 10u) << c.args;
        ASSERT_EQ((block.size() - 1) % 9, 0u) << c.args;
        for (std::size_t i = 10; i < block.size(); ++i)
            EXPECT_EQ(block[i], block[1 + (i - 1) % 9]);
        EXPECT_EQ(block[0], "   First PTS = 00004000");
        // 512 samples a frame in 16 blocks of 32.
        EXPECT_EQ(block[1], "   PCM core samples = 32");
        EXPECT_EQ(block[2], "   PCM sample blocks = 16");
        // FSIZE is the frame's byte size less one.
        EXPECT_EQ(block[3], "   Primary frame byte size = " + std::to_string(syncs[1] - syncs[0] - 1));
        EXPECT_EQ(block[4], std::string("   Audio channel arrangement = ") + c.arrangement);
        EXPECT_EQ(block[5], "   Core audio sampling frequency = 48 kHz");
        EXPECT_EQ(block[6], std::string("   Transmission bitrate = ") + c.rate + " kbit/s");
        EXPECT_EQ(block[7].rfind(c.lfe ? "   LFE present = present (IF:" : "   LFE present = not present", 0),
                  0u)
            << block[7];
        EXPECT_EQ(block[8].rfind("   Encoder software rev. = ", 0), 0u);
        EXPECT_EQ(block[9].rfind("   Source PCM resolution = ", 0), 0u);
    }
}

TEST(EncoderOutput, Mpeg2Video) {
    REQUIRE_FFMPEG();
    TempDir dir;
    // A plain picture keeps the frames small, so the first packet holds several.
    const Bytes es =
        encode(dir,
               "-f lavfi -i color=c=gray:size=352x240:rate=30000/1001:duration=0.3 -c:v mpeg2video "
               "-b:v 4M -maxrate 6M -bufsize 1835k -aspect 16:9 -f mpeg2video",
               "f.m2v");
    const auto path =
        muxFile(dir, StreamSpec::Kind::Mpeg2Video, 0xE0, es, findAll(es, {0x00, 0x00, 0x01, 0x00}), 0x1B207);
    EXPECT_EQ(reportBlock(scanLog(path), "MPEG-2 video stream 0 found!"),
              (std::vector<std::string>{"   First PTS = 0001B207", "   Sequence Header found",
                                        "   0 frames before first Sequence Header", "   size = 352x240",
                                        "   Aspect ratio = 16:9", "   Frame rate = 29.97",
                                        "  Sequence header bitrate = 6000000 bps",
                                        "   Progressive Sequence = 1", "   First Video PTS = 0001B207"}));
}

TEST(EncoderOutput, H264HighProfileLevel41) {
    REQUIRE_FFMPEG();
    TempDir dir;
    const Bytes es =
        encode(dir,
               "-f lavfi -i color=c=gray:size=1920x1080:rate=24000/1001:duration=0.3 -c:v libx264 "
               "-profile:v high -level 4.1 -x264-params aud=1 -f h264",
               "g.264");
    const auto path = muxFile(dir, StreamSpec::Kind::H264Video, 0xE2, es,
                              findAll(es, {0x00, 0x00, 0x00, 0x01, 0x09}), 0x5000);
    EXPECT_EQ(reportBlock(scanLog(path), "H.264 video stream 0 found!"),
              (std::vector<std::string>{"   First PTS = 00005000", "   0 frames before first I-frame",
                                        "   High Profile", "   Level = 41"}));
}

TEST(EncoderOutput, H264MainProfileLevel30) {
    REQUIRE_FFMPEG();
    TempDir dir;
    const Bytes es = encode(dir,
                            "-f lavfi -i color=c=gray:size=720x576:rate=25:duration=0.3 -c:v libx264 "
                            "-profile:v main -level 3.0 -x264-params aud=1 -f h264",
                            "h.264");
    const auto path = muxFile(dir, StreamSpec::Kind::H264Video, 0xE3, es,
                              findAll(es, {0x00, 0x00, 0x00, 0x01, 0x09}), 0x5000);
    EXPECT_EQ(reportBlock(scanLog(path), "H.264 video stream 1 found!"),
              (std::vector<std::string>{"   First PTS = 00005000", "   0 frames before first I-frame",
                                        "   Main Profile", "   Level = 30"}));
}

} // namespace
} // namespace ombrix::testing
