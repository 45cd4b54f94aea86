// The command line as scripts use it: the real executable, its standard output, standard error
// and exit code.

#include "support/HeadlessPlatform.h"
#include "support/SampleDisc.h"
#include "support/TempDir.h"
#include "window/Main.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace ombrix {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

struct Result {
    int code = -1;
    std::vector<std::string> out;
    std::string err;
};

std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> v;
    for (std::string l; std::getline(in, l);) v.push_back(l);
    return v;
}

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

Result cli(const TempDir& dir, const std::vector<std::string>& args) {
    const char* exe = std::getenv("OMBRIX_CLI");
    EXPECT_NE(exe, nullptr) << "OMBRIX_CLI names the command line";
    std::string cmd = quote(exe ? exe : "ombrix-cli");
    for (const auto& a : args) cmd += " " + quote(a);
    cmd += " >" + quote(dir.file("stdout")) + " 2>" + quote(dir.file("stderr")) + " </dev/null";
    const int status = std::system(cmd.c_str());
    Result r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = lines(dir.file("stdout"));
    std::ifstream e(dir.file("stderr"));
    std::stringstream ss;
    ss << e.rdbuf();
    r.err = ss.str();
    return r;
}

TEST(CommandLine, DemuxOfASplitFeatureWritesAndLogsWhatTheWindowDoes) {
    TempDir dir;
    const std::string folder = (fs::path(dir.path()) / "HVDVD_TS").string();
    auto pair = testing::makeFeaturePair(folder);
    const std::string viaCli = dir.file("cli"), viaWindow = dir.file("window");
    fs::create_directories(viaCli);
    fs::create_directories(viaWindow);

    const Result r = cli(dir, {"demux", "--out", viaCli, pair.first.path});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "") << "no progress display when standard error is no terminal";

    // The same clicks in the window model.
    testing::HeadlessPlatform platform;
    TfMain w(platform);
    w.FormShow();
    w.FormActivate();
    w.WMDropFiles({pair.first.path});
    w.bCheckClick();
    w.eWorkdir.setText(viaWindow);
    w.bDemuxClick();
    std::vector<std::string> expected = w.mMessage.lines();
    for (auto& line : expected) {
        const auto at = line.find(viaWindow);
        if (at != std::string::npos) line.replace(at, viaWindow.size(), viaCli);
    }
    EXPECT_EQ(r.out, expected);

    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(viaWindow)) {
        const auto name = entry.path().filename();
        EXPECT_EQ(testing::readFile((fs::path(viaCli) / name).string()), testing::readFile(entry.path().string()))
            << name;
        ++files;
    }
    EXPECT_EQ(files, 5u);
}

TEST(CommandLine, KeepsOnlyTheNamedStreams) {
    TempDir dir;
    auto pair = testing::makeFeaturePair((fs::path(dir.path()) / "HVDVD_TS").string(), 16, 3000);
    const Result r = cli(dir, {"demux", "--no-continue", "--streams", "a00,s01", "--audio-ext", "ec3", "--out",
                               dir.path(), pair.first.path});
    EXPECT_EQ(r.code, 0) << r.err;
    std::vector<std::string> creating;
    for (const auto& l : r.out)
        if (l.rfind("Creating ", 0) == 0) creating.push_back(l);
    EXPECT_EQ(creating, (std::vector<std::string>{"Creating " + dir.file("FEATURE_1.DD+.stream.00.ec3"),
                                                  "Creating " + dir.file("FEATURE_1.Subpicture.01.sup")}));
    EXPECT_EQ(testing::readFile(dir.file("FEATURE_1.DD+.stream.00.ec3")), pair.first.streams[1].data);

    const Result missing = cli(dir, {"demux", "--streams", "a05", pair.first.path});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "The file has no stream a05.\n");
}

TEST(CommandLine, ExitCodesAndMessages) {
    TempDir dir;
    const std::string missing = dir.file("none.EVO");
    const Result notThere = cli(dir, {"scan", missing});
    EXPECT_EQ(notThere.code, 1);
    EXPECT_EQ(notThere.err, "Cannot open file \"" + missing + "\". No such file or directory.\n");
    EXPECT_EQ(notThere.out, std::vector<std::string>{"Opening file none.EVO"});

    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"scan"}, {"scan", "--bogus", "x"}, {"frobnicate", "x"}, {"scan", "a", "b"}, {"demux", "--out"},
             {"demux", "--streams", "q7", missing}}) {
        const Result r = cli(dir, args);
        EXPECT_EQ(r.code, 2) << (args.empty() ? "(none)" : args[0]);
        EXPECT_NE(r.err, "");
    }
    const Result help = cli(dir, {"--help"});
    EXPECT_EQ(help.code, 0);
    ASSERT_FALSE(help.out.empty());
    EXPECT_EQ(help.out[0], "Usage: ombrix-cli COMMAND [options] FILE");
}

TEST(CommandLine, CtrlCCancelsThePassAndExits130) {
    if (std::system("command -v timeout >/dev/null 2>&1") != 0) GTEST_SKIP() << "no timeout command";
    TempDir dir;
    // Zeros hold no packet: a long scan that finds nothing.
    const std::string big = dir.file("big.EVO");
    testing::writeFile(big, {});
    fs::resize_file(big, 8ull << 30);
    const char* exe = std::getenv("OMBRIX_CLI");
    ASSERT_NE(exe, nullptr);
    const std::string cmd = "timeout --preserve-status -s INT 1 " + quote(exe) + " scan --no-fast " + quote(big) +
                            " >" + quote(dir.file("stdout")) + " 2>" + quote(dir.file("stderr"));
    const int status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    const auto out = lines(dir.file("stdout"));
    // The command ended as a cancelled one: its closing lines, no frame report.
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(out[out.size() - 2], "Done.");
    EXPECT_EQ(out.back(), "");
}

} // namespace
} // namespace ombrix
