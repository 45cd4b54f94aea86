// ombrix-cli xpl, end to end: the log lines on standard output, then the XPL page's tree.

#include "SamplePlaylist.h"
#include "WorkedExample.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace ombrix {
namespace {

using testing::TempDir;

struct CliResult {
    int code;
    std::string out, err;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string quoted(const std::string& arg) {
    std::string q = "'";
    for (char c : arg)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class XplCli : public ::testing::Test {
  protected:
    TempDir dir;
    std::string evo, xpl;

    XplCli() {
        std::filesystem::create_directories(dir.file("HVDVD_TS"));
        std::filesystem::create_directories(dir.file("ADV_OBJ"));
        evo = dir.file("HVDVD_TS") + "/FEATURE_1.EVO";
        xpl = dir.file("ADV_OBJ") + "/VPLST000.XPL";
    }

    void writeXpl(const std::string& text) const {
        testing::writeFile(xpl, std::vector<std::uint8_t>(text.begin(), text.end()));
    }

    CliResult run(const std::vector<std::string>& args) const {
        const char* cli = std::getenv("OMBRIX_CLI");
        if (!cli) throw std::runtime_error("OMBRIX_CLI is not set");
        std::string command = quoted(cli);
        for (const std::string& a : args)
            command += " " + quoted(a);
        const std::string out = dir.file("stdout"), err = dir.file("stderr");
        command += " >" + quoted(out) + " 2>" + quoted(err) + " </dev/null";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out), slurp(err)};
    }
};

TEST_F(XplCli, WorkedExamplePrintsTheLogThenTheTree) {
    writeXpl(testing::workedExampleText());
    const CliResult r = run({"xpl", "--evo", evo, xpl});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Open VPLST000.XPL\n"
                     "Filesize: 662 bytes\n"
                     "VC-1.stream.0 found!\n"
                     "DD+.6ch.stream.00.en found!\n"
                     "DTS.stream.01.fr found!\n"
                     "RLE.stream.00.en found!\n"
                     "Done.\n"
                     "\n"
                     "Info\n"
                     "  Title: Demo\n"
                     "  Name: Main\n"
                     "  Duration: 01:30:00:00\n"
                     "Video\n"
                     "  VC-1.stream.0\n"
                     "Audio\n"
                     "  DD+.6ch.stream.00.en\n"
                     "  DTS.stream.01.fr\n"
                     "Subtitle\n"
                     "  RLE.stream.00.en\n"
                     "Chapter\n"
                     "  00:00:00:00: Start\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(XplCli, WithoutAnEvoFileNothingIsListed) {
    writeXpl(testing::workedExampleText());
    const CliResult r = run({"xpl", xpl});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Open VPLST000.XPL\nFilesize: 662 bytes\nDone.\n\nVideo\nAudio\nSubpicture\nChapter\n");
}

TEST_F(XplCli, TheSecondFileOfTheFeatureOnARealisticDisc) {
    writeXpl(testing::lighthousePlaylist());
    const CliResult r = run({"xpl", "--evo", dir.file("HVDVD_TS") + "/FEATURE_2.EVO", xpl});
    EXPECT_EQ(r.code, 0) << r.err;
    const std::string tail = "Chapter\n"
                             "  00:00:00:00: Chapter 1\n"
                             "  00:04:12:08: Chapter 2\n";
    ASSERT_NE(r.out.find(tail), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Audio\n  MLP.8ch.stream.00.English\n  DD+.6ch.stream.01.English\n"
                         "  DD+.6ch.stream.02.Fran\xC3\xA7"
                         "ais\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(
        r.out.find("2bitRLE.stream.10.Norsk found!\n8bitRLE.stream.11.Commentary found!\nDone.\n\nInfo\n"),
        std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.substr(r.out.size() - 26), "  02:04:58:05: Chapter 28\n");
}

TEST_F(XplCli, ABadIndexIsReportedAndEndsWithAnError) {
    const std::string text =
        "<Playlist>\n<SubpictureAttributeItem index=\"#1\" codec=\"RLE\"/>\n</Playlist>\n";
    writeXpl(text);
    const CliResult r = run({"xpl", "--evo", evo, xpl});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "Open VPLST000.XPL\nFilesize: " + std::to_string(text.size()) + " bytes\n");
    EXPECT_EQ(r.err, "'#1' is not a valid integer value\n");
}

TEST_F(XplCli, AMissingFileIsReportedAndEndsWithAnError) {
    const CliResult r = run({"xpl", "--evo", evo, xpl});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    const std::string prefix = "Cannot open file \"" + xpl + "\". ";
    EXPECT_EQ(r.err.substr(0, prefix.size()), prefix) << r.err;
}

} // namespace
} // namespace ombrix
