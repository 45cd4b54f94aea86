// Faults met by the real command line: full file systems, cut inputs, missing and forbidden
// folders and files. Each checks the message, the exit code and what was written before the
// fault.

#include "CliRun.h"
#include "FaultFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <sys/mount.h>
#include <unistd.h>

namespace ombrix {
namespace {

using testing::Bytes;
using testing::CliResult;
using testing::TempDir;
namespace fs = std::filesystem;

struct Disc {
    TempDir dir;
    std::string input = dir.file("FAULT.EVO");
    testing::BuiltFile file = testing::writeFaultInput(input, 4);
    std::string reference = dir.file("reference");
    std::map<std::string, Bytes> demuxed, rebuilt;

    Disc() {
        fs::create_directory(reference);
        CliResult r = run({"demux", "--out", reference, input});
        EXPECT_EQ(r.code, 0) << r.err;
        demuxed = testing::filesIn(reference);
        EXPECT_EQ(demuxed.size(), 6u);
        const std::string rb = dir.file("reference-rebuild");
        fs::create_directory(rb);
        r = run({"rebuild", "--out", rb, input});
        EXPECT_EQ(r.code, 0) << r.err;
        rebuilt = testing::filesIn(rb);
        EXPECT_EQ(rebuilt.size(), 1u);
    }
    CliResult run(const std::vector<std::string>& args) const { return testing::runCli(dir.path(), args); }
    // The output's file name that holds exactly this stream's full output.
    std::string nameOf(std::size_t stream) const {
        const Bytes whole = testing::outputBefore(file, stream, file.mux.file.size());
        for (const auto& [name, bytes] : demuxed)
            if (bytes == whole) return name;
        ADD_FAILURE() << "no output holds stream " << stream;
        return {};
    }
};

// What a run that failed on writing must show: the write error alone on standard error, exit
// code 1, no "Done." after the files were created.
void expectWriteError(const CliResult& r, std::size_t created) {
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Stream write error\n");
    EXPECT_EQ(r.created().size(), created);
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.back().rfind("Creating ", 0), 0u) << "the log ends with the last file created";
}

TEST(FullDisk, DemuxIntoAnOutputThatIsDevFullKeepsTheOtherOutputsIntact) {
    Disc d;
    const std::string out = d.dir.file("out");
    fs::create_directory(out);
    const std::string full = d.nameOf(1); // the DD+ stream
    fs::create_symlink("/dev/full", fs::path(out) / full);

    const CliResult r = d.run({"demux", "--out", out, d.input});
    expectWriteError(r, 6);
    const auto written = testing::filesIn(out);
    ASSERT_EQ(written.size(), 5u) << "the other outputs, without the link";
    for (const auto& [name, bytes] : written) {
        EXPECT_TRUE(testing::isPrefix(bytes, d.demuxed.at(name))) << name;
    }
}

struct SmallTmpfs {
    std::string path;
    bool mounted = false;
    SmallTmpfs(const std::string& where, const std::string& size) : path(where) {
        fs::create_directory(path);
        mounted = ::mount("tmpfs", path.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
    }
    ~SmallTmpfs() {
        if (mounted) ::umount(path.c_str());
    }
};

TEST(FullDisk, DemuxOntoAFullFileSystemKeepsWhatWasWritten) {
    Disc d;
    SmallTmpfs fsys(d.dir.file("small"), "64k");
    if (!fsys.mounted) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    const CliResult r = d.run({"demux", "--out", fsys.path, d.input});
    expectWriteError(r, 6);
    const auto written = testing::filesIn(fsys.path);
    ASSERT_EQ(written.size(), 6u);
    std::size_t total = 0;
    for (const auto& [name, bytes] : written) {
        EXPECT_TRUE(testing::isPrefix(bytes, d.demuxed.at(name))) << name;
        total += bytes.size();
    }
    EXPECT_GT(total, 0u) << "the file system took what it had room for";
}

TEST(FullDisk, RebuildIntoAnOutputThatIsDevFull) {
    Disc d;
    const std::string out = d.dir.file("devfull");
    fs::create_directory(out);
    fs::create_symlink("/dev/full", fs::path(out) / d.rebuilt.begin()->first);
    const CliResult r = d.run({"rebuild", "--out", out, d.input});
    expectWriteError(r, 1);
}

TEST(FullDisk, RebuildOntoAFullFileSystemKeepsWhatWasWritten) {
    Disc d;
    const std::string name = d.rebuilt.begin()->first;
    const Bytes& whole = d.rebuilt.begin()->second;
    SmallTmpfs fsys(d.dir.file("small"), "64k");
    if (!fsys.mounted) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    const CliResult r = d.run({"rebuild", "--out", fsys.path, d.input});
    expectWriteError(r, 1);
    const Bytes written = testing::readFile((fs::path(fsys.path) / name).string());
    EXPECT_GT(written.size(), 0u);
    EXPECT_LT(written.size(), whole.size());
    EXPECT_TRUE(testing::isPrefix(written, whole));
}

// Where a cut input ends, counted from the start of a pack in the middle of the file.
struct Cut {
    const char* where;
    std::size_t (*offset)(const testing::BuiltFile& f, const testing::MuxResult::Packet& p);
};

const testing::MuxResult::Packet& audioPacketInTheMiddle(const testing::BuiltFile& f, std::uint8_t id) {
    const auto& packets = f.mux.packets;
    for (std::size_t i = packets.size() / 2; i < packets.size(); ++i)
        if (f.streams[packets[i].streamIndex].id == id && packets[i].pts) return packets[i];
    throw std::logic_error("no such packet");
}

class TruncatedInput : public ::testing::TestWithParam<Cut> {};

TEST_P(TruncatedInput, ScansAndDemuxesEveryByteBeforeTheCut) {
    Disc d;
    // An LPCM packet with a time stamp, in a pack of its own (no system header before it).
    const auto& p = audioPacketInTheMiddle(d.file, 0xA2);
    const std::size_t cut = GetParam().offset(d.file, p);
    ASSERT_GT(cut, p.packOffset);
    ASSERT_LT(cut, p.packOffset + testing::kPackSize);
    const std::string input = d.dir.file("CUT.EVO");
    testing::writeFile(
        input, Bytes(d.file.mux.file.begin(), d.file.mux.file.begin() + static_cast<std::ptrdiff_t>(cut)));

    const std::string out = d.dir.file("out");
    fs::create_directory(out);
    const CliResult r = d.run({"demux", "--out", out, input});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.done());
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), "Done."), 2) << "the scan and the demux end";
    const auto written = testing::filesIn(out);
    for (std::size_t s = 0; s < 5; ++s) {
        const std::string name = d.nameOf(s);
        const std::string cutName = "CUT" + name.substr(std::string("FAULT").size());
        ASSERT_TRUE(written.count(cutName)) << cutName;
        EXPECT_EQ(written.at(cutName), testing::outputBefore(d.file, s, cut)) << cutName;
    }
}

// Payload offsets: the LPCM substream header is the 7 bytes before the payload, the PES header
// (9 bytes, then PTS and extension) starts right after the 14-byte pack header.
INSTANTIATE_TEST_SUITE_P(
    Cuts, TruncatedInput,
    ::testing::Values(Cut{"PackHeader", [](const auto&, const auto& p) { return p.packOffset + 7; }},
                      Cut{"PesStartCode", [](const auto&, const auto& p) { return p.packOffset + 16; }},
                      Cut{"PesLength", [](const auto&, const auto& p) { return p.packOffset + 19; }},
                      Cut{"PesFlags", [](const auto&, const auto& p) { return p.packOffset + 22; }},
                      Cut{"TimeStamp", [](const auto&, const auto& p) { return p.packOffset + 14 + 9 + 2; }},
                      Cut{"SubstreamId", [](const auto&, const auto& p) { return p.fileOffset - 7 + 1; }},
                      Cut{"SubstreamHeader", [](const auto&, const auto& p) { return p.fileOffset - 3; }},
                      Cut{"Payload",
                          [](const auto&, const auto& p) { return p.fileOffset + p.payloadSize / 2; }},
                      Cut{"LastByteOfPack",
                          [](const auto&, const auto& p) { return p.packOffset + testing::kPackSize - 1; }}),
    [](const auto& info) { return std::string(info.param.where); });

TEST(MissingOrForbidden, OutputFolderThatDoesNotExist) {
    Disc d;
    const std::string out = d.dir.file("no-such-folder");
    // The first file to be created is the one the message names; none is created.
    for (const auto& [command, first] :
         {std::pair<std::string, std::string>{"demux", d.nameOf(0)}, {"rebuild", "FAULT.rebuilt.EVO"}}) {
        SCOPED_TRACE(command);
        const CliResult r = d.run({command, "--out", out, d.input});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.created().empty());
        EXPECT_EQ(r.err, "Cannot create file \"" + out + "/" + first + "\". No such file or directory.\n");
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), "Done."), 1) << "the scan's alone";
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST(MissingOrForbidden, OutputFolderThatIsAFile) {
    Disc d;
    const std::string out = d.dir.file("a-file");
    testing::writeFile(out, {1, 2, 3});
    const CliResult r = d.run({"demux", "--out", out, d.input});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.created().empty());
    EXPECT_EQ(r.err, "Cannot create file \"" + out + "/" + d.nameOf(0) + "\". Not a directory.\n");
    EXPECT_EQ(testing::readFile(out), (Bytes{1, 2, 3}));
}

TEST(MissingOrForbidden, OutputFolderWithoutWritePermission) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions don't hold for root (see OutputFolderThatIsAFile)";
    Disc d;
    const std::string out = d.dir.file("read-only");
    fs::create_directory(out);
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_exec);
    const CliResult r = d.run({"demux", "--out", out, d.input});
    fs::permissions(out, fs::perms::owner_all);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.created().empty());
    EXPECT_EQ(r.err, "Cannot create file \"" + out + "/" + d.nameOf(0) + "\". Permission denied.\n");
    EXPECT_TRUE(fs::is_empty(out));
}

TEST(MissingOrForbidden, InputWithoutReadPermission) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions don't hold for root";
    Disc d;
    fs::permissions(d.input, fs::perms::owner_write);
    const CliResult r = d.run({"scan", d.input});
    fs::permissions(d.input, fs::perms::owner_all);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Cannot open file \"" + d.input + "\". Permission denied.\n");
}

TEST(MissingOrForbidden, InputThatDoesNotExistOrIsAFolder) {
    Disc d;
    for (const char* command : {"scan", "demux", "rebuild"}) {
        SCOPED_TRACE(command);
        const std::string missing = d.dir.file("NONE.EVO");
        CliResult r = d.run({command, "--out", d.dir.path(), missing});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "Cannot open file \"" + missing + "\". No such file or directory.\n");
        const std::string folder = d.dir.file("FOLDER.EVO");
        fs::create_directories(folder);
        r = d.run({command, "--out", d.dir.path(), folder});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "Cannot open file \"" + folder + "\". Is a directory.\n");
        EXPECT_TRUE(r.created().empty());
    }
}

} // namespace
} // namespace ombrix
