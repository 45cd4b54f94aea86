// A Read EVO with "Detailed info" of a feature whose two files hold all five analysed families:
// each stream's report block comes in file order, under its found and first-PTS lines.

#include "HeaderFixtures.h"
#include "ScanHarness.h"
#include "engine/Format.h"
#include "support/SampleDisc.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ombrix::testing {
namespace {

namespace fs = std::filesystem;
using Kind = StreamSpec::Kind;

// `units` copies of `unit` padded with neutral bytes to `unitSize`; `first` starts unit 0.
StreamSpec stream(Kind kind, std::uint8_t id, const ByteVec& first, const ByteVec& unit, std::size_t unitSize,
                  std::size_t units, std::uint64_t firstPts) {
    StreamSpec s{.kind = kind, .id = id, .data = {}};
    for (std::size_t k = 0; k < units; ++k) {
        s.unitStarts.push_back(s.data.size());
        const ByteVec& u = k == 0 ? first : unit;
        s.data.insert(s.data.end(), u.begin(), u.end());
        s.data.resize(s.data.size() + (unitSize - u.size() % unitSize) % unitSize, 0xAA);
    }
    s.firstPts = firstPts;
    s.withDts = kind != Kind::Audio;
    return s;
}

// The found lines and the report lines of a log, without the command's own lines.
std::vector<std::string> reportLines(const std::vector<std::string>& log) {
    std::vector<std::string> out;
    for (const auto& line : log)
        if ((!line.empty() && line[0] == ' ') || line.find(" found!") != std::string::npos)
            out.push_back(line);
    return out;
}

TEST(ScanReport, AllFiveFamiliesInFileOrderAcrossBothFiles) {
    TempDir dir;
    const fs::path folder = fs::path(dir.path()) / "HVDVD_TS";
    fs::create_directories(folder);

    const ByteVec vc1Frame = ByteVec{0x00, 0x00, 0x01, 0x0D} + neutral(20);
    const StreamSpec vc1 =
        stream(Kind::Vc1Video, 0x55, vc1::sequenceHeader({}) + vc1::entryPoint() + vc1Frame, vc1Frame, 300,
               40, 0x1B207);
    const ByteVec mpeg2Picture = mpeg2::pictureHeader(2) + mpeg2::pictureCodingExtension() + mpeg2::slice();
    const StreamSpec mpeg2 = stream(
        Kind::Mpeg2Video, 0xE1,
        mpeg2::sequenceHeader(1920, 1080, 3, 1, 0x3FFFF) + mpeg2::sequenceExtension(1) + mpeg2::gopHeader() +
            mpeg2::pictureHeader(1) + mpeg2::pictureCodingExtension() + mpeg2::slice(),
        mpeg2Picture, 150, 40, 0x1C000);
    const ByteVec eac3 = ac3::eac3Header(767, 0, 3, 7, 1, 16);
    const StreamSpec ddPlus = stream(Kind::Audio, 0xC2, eac3, eac3, 1536, 8, 0x1A000);
    const ByteVec core = dts::dtsCore({});
    const StreamSpec dtsStream = stream(Kind::Audio, 0x89, core, core, 2048, 6, 0x1A100);

    const ByteVec aud = h264::delimiter(0);
    const StreamSpec avc =
        stream(Kind::H264Video, 0xE2, aud + h264::parameterSet(100, 41) + h264::pictureSet() + h264::slice(),
               h264::delimiter(2) + h264::slice(0x01), 250, 40, 0x30000);
    const ByteVec eac3At44 = ac3::eac3Header(767, 1, 3, 2, 0, 16);
    const StreamSpec ddPlus44 = stream(Kind::Audio, 0xC2, eac3At44, eac3At44, 1536, 8, 0x2F000);

    MuxOptions opt;
    opt.videoBound = 2;
    opt.audioBound = 2;
    const BuiltFile first =
        writeStreams((folder / "FEATURE_1.EVO").string(), {vc1, ddPlus, mpeg2, dtsStream}, opt);
    const BuiltFile second = writeStreams((folder / "FEATURE_2.EVO").string(), {ddPlus44, avc}, opt);

    auto blockOf = [](const StreamSpec& s) -> std::vector<std::string> {
        const std::string pts = "   First PTS = " + hex8(static_cast<std::uint32_t>(s.firstPts));
        switch (s.kind) {
        case Kind::Vc1Video:
            return {"VC-1 video stream 0 found!",
                    pts,
                    "   Sequence Header found",
                    "   0 frames before first I-frame",
                    "   Advanced Profile",
                    "   Level = 3",
                    "   Chroma Format = 4:2:0",
                    "   Size = 1920x1080",
                    "   Pulldown = 1",
                    "   Interlace = 0",
                    "   Display Horizontal size = 1920",
                    "   Display Vertical size = 1080",
                    "   Aspect ratio = 1:1 (square samples)",
                    "   Frame Rate = 23,976023976024 (24000/1001)",
                    "   First Video PTS = 000000000001B207"};
        case Kind::Mpeg2Video:
            return {"MPEG-2 video stream 1 found!", pts,
                    "   Sequence Header found",     "   0 frames before first Sequence Header",
                    "   size = 1920x1080",          "   Aspect ratio = 16:9",
                    "   Frame rate = 23.976",       "  Sequence header bitrate = 104857200 bps",
                    "   Progressive Sequence = 1",  "   First Video PTS = 0001C000"};
        case Kind::H264Video:
            return {"H.264 video stream 0 found!", pts, "   0 frames before first I-frame", "   High Profile",
                    "   Level = 41"};
        default:
            break;
        }
        if (s.id == 0x89)
            return {"DTS HD (DTS) audio stream 1 found!",
                    pts,
                    "   PCM core samples = 32",
                    "   PCM sample blocks = 16",
                    "   Primary frame byte size = 2012",
                    "   Audio channel arrangement = C + L + R + SL + SR",
                    "   Core audio sampling frequency = 48 kHz",
                    "   Transmission bitrate = 1536 kbit/s",
                    "   LFE present = present (IF:64)",
                    "   Encoder software rev. = 7, Current",
                    "   Source PCM resolution = 24 bits"};
        if (s.data[4] >> 6 == 0) // fscod 0
            return {"Dolby Digital Plus audio stream 2 found!",
                    pts,
                    "   Stream 2 is Dolby Digital Plus",
                    "   frame size = 1536, number of blocks per frame = 6",
                    "   bitrate = 384 kbit/s, sampling rate = 48 kHz",
                    "   mode = 3/2, bsid = 16, LFE present = 1"};
        return {"Dolby Digital Plus audio stream 2 found!",
                pts,
                "   Stream 2 is Dolby Digital Plus",
                "   frame size = 1536, number of blocks per frame = 6",
                "   bitrate = 352 kbit/s, sampling rate = 44,1 kHz",
                "   mode = 2/0, bsid = 16, LFE present = 0"};
    };
    std::vector<std::string> expected;
    for (const BuiltFile* f : {&first, &second})
        for (std::size_t i : f->firstAppearance()) {
            const auto block = blockOf(f->streams[i]);
            expected.insert(expected.end(), block.begin(), block.end());
        }

    const auto log = scanLog(first.path, ',');
    EXPECT_EQ(reportLines(log), expected);
    // Both files' streams are reported: the second file's after its "Continue on" line.
    const auto cont = std::find(log.begin(), log.end(), "Continue on FEATURE_2.EVO");
    ASSERT_NE(cont, log.end());
    EXPECT_EQ(reportLines({cont, log.end()}).front(),
              blockOf(second.streams[second.firstAppearance()[0]])[0]);
}

TEST(ScanReport, WithoutDetailedInfoOnlyTheFoundLines) {
    TempDir dir;
    const ByteVec eac3 = ac3::eac3Header(767, 0, 3, 7, 1, 16);
    const ByteVec vc1Frame = ByteVec{0x00, 0x00, 0x01, 0x0D} + neutral(20);
    const BuiltFile f = writeStreams(
        dir.file("MOVIE.EVO"),
        {stream(Kind::Vc1Video, 0x55, vc1::sequenceHeader({}) + vc1Frame, vc1Frame, 300, 10, 90000),
         stream(Kind::Audio, 0xC0, eac3, eac3, 1536, 4, 90000)});
    HeadlessPlatform platform;
    TfMain w(platform);
    w.FormShow();
    w.FormActivate();
    w.cbDetails.setChecked(false);
    w.WMDropFiles({f.path});
    w.bCheckClick();
    ASSERT_TRUE(platform.errors.empty()) << platform.errors.front();
    const auto lines = reportLines(w.mMessage.lines());
    EXPECT_EQ(lines.size(), 2u);
    for (const auto& line : lines)
        EXPECT_NE(line.find(" found!"), std::string::npos) << line;
}

} // namespace
} // namespace ombrix::testing
