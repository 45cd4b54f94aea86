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

} // namespace
} // namespace ombrix::testing
