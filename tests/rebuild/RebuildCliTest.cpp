// ombrix-cli rebuild, end to end through the executable.

#include "RebuildFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace ombrix::testing {
namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct CliRun {
    int code;
    std::string out, err;
};

CliRun cli(const TempDir& dir, const std::string& args) {
    const char* exe = std::getenv("OMBRIX_CLI");
    if (!exe) throw std::runtime_error("OMBRIX_CLI is not set");
    const std::string out = dir.file("stdout.txt"), err = dir.file("stderr.txt");
    const std::string command = "'" + std::string(exe) + "' " + args + " >'" + out + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readText(out), readText(err)};
}

struct RebuildCli : ::testing::Test {
    TempDir dir;
    std::string source = dir.file("cli.EVO");
    void SetUp() override {
        writeFile(source,
                  join({systemPack(1, 2), vc1Pack(), audioPack(0xC0), audioPack(0xC1), subPack(0x20)}));
    }
};

TEST_F(RebuildCli, KeepsTheChosenStreams) {
    const CliRun r =
        cli(dir, "rebuild --no-details --out '" + dir.path() + "' --streams v0,a01 '" + source + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string output = dir.file("cli.rebuilt.EVO");
    EXPECT_EQ(readFile(output), join({systemPack(1, 1), vc1Pack(), audioPack(0xC0)}));
    const std::string tail = "Opening file cli.EVO\nFile size: 0 Mbytes.\nCreating " + output + "\nDone.\n\n";
    ASSERT_GE(r.out.size(), tail.size());
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
}

TEST_F(RebuildCli, FailureGoesToStandardErrorWithExitCode1) {
    const std::string folder = dir.file("missing");
    const CliRun r = cli(dir, "rebuild --no-details --out '" + folder + "' '" + source + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Cannot create file \"" + folder + "/cli.rebuilt.EVO\". No such file or directory.\n");
    // The scan ended, the rebuild stopped after its first two lines.
    const std::string tail = "Done.\n\nOpening file cli.EVO\nFile size: 0 Mbytes.\n";
    ASSERT_GE(r.out.size(), tail.size());
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
}

bool haveFfmpeg() {
    return std::system("ffmpeg -version >/dev/null 2>&1 && ffprobe -version >/dev/null 2>&1") == 0;
}

int sh(const std::string& command) {
    return std::system(command.c_str());
}

// An independent reader: ffmpeg muxes a DVD-style file with MPEG-2 video and two Dolby Digital
// streams; after a rebuild that keeps the video and the second audio stream, ffprobe finds just
// those, the audio under id 0x80, and ffmpeg copies out the same bytes as from the source.
TEST_F(RebuildCli, FfmpegFindsTheKeptStreamsWithTheSameContent) {
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const std::string src = dir.file("ff.EVO");
    ASSERT_EQ(
        sh("ffmpeg -v error -y -f lavfi -i testsrc=size=160x120:rate=25 -f lavfi -i "
           "sine=f=440:sample_rate=48000 "
           "-f lavfi -i sine=f=880:sample_rate=48000 -t 2 -map 0:v -map 1:a -map 2:a -c:v mpeg2video -b:v 2M "
           "-c:a ac3 -b:a 192k -f dvd '" +
           src + "'"),
        0);
    const CliRun r =
        cli(dir, "rebuild --no-details --out '" + dir.path() + "' --streams v0,a01 '" + src + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string rebuilt = dir.file("ff.rebuilt.EVO");
    const std::string probe = dir.file("probe.txt");
    ASSERT_EQ(sh("ffprobe -v error -show_entries stream=id,codec_name -of compact '" + rebuilt + "' >'" +
                 probe + "'"),
              0);
    EXPECT_EQ(readText(probe), "stream|codec_name=dvd_nav_packet|id=0x1bf\n"
                               "stream|codec_name=mpeg2video|id=0x1e0|side_data|\n\n"
                               "stream|codec_name=ac3|id=0x80\n");
    auto copyOut = [&](const std::string& from, const std::string& map, const std::string& format,
                       const std::string& to) {
        return sh("ffmpeg -v error -y -i '" + from + "' -map " + map + " -c copy -f " + format + " '" + to +
                  "'");
    };
    const std::string audioBefore = dir.file("before.ac3"), audioAfter = dir.file("after.ac3");
    const std::string videoBefore = dir.file("before.m2v"), videoAfter = dir.file("after.m2v");
    ASSERT_EQ(copyOut(src, "0:i:0x81", "ac3", audioBefore), 0);
    ASSERT_EQ(copyOut(rebuilt, "0:i:0x80", "ac3", audioAfter), 0);
    ASSERT_EQ(copyOut(src, "0:v", "mpeg2video", videoBefore), 0);
    ASSERT_EQ(copyOut(rebuilt, "0:v", "mpeg2video", videoAfter), 0);
    const Bytes audio = readFile(audioAfter);
    EXPECT_GT(audio.size(), 40000u); // 2 s at 192 kbit/s
    EXPECT_EQ(audio, readFile(audioBefore));
    EXPECT_EQ(readFile(videoAfter), readFile(videoBefore));
}

} // namespace
} // namespace ombrix::testing
