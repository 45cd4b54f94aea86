// A file over 4 GiB, sparse, with the same streams before 4 GiB and after it, scanned and
// demuxed to its end: every size, position and count is 64-bit wide.

#include "CliRun.h"
#include "FaultFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace ombrix {
namespace {

using testing::Bytes;
using testing::CliResult;
namespace fs = std::filesystem;

constexpr std::uint64_t kSecondCopyAt = (std::uint64_t{4} << 30) + 10 * 2048;

std::string frameLine(const std::vector<std::string>& log) {
    for (auto it = log.rbegin(); it != log.rend(); ++it)
        if (it->find(" frames (") != std::string::npos) return *it;
    return {};
}

TEST(LargeFile, OverFourGibibytesIsScannedAndDemuxedToItsEnd) {
    testing::TempDir dir;
    const std::string small = dir.file("SMALL.EVO");
    const testing::BuiltFile file = testing::writeFaultInput(small, 4);
    const std::string ref = dir.file("ref");
    fs::create_directory(ref);
    const CliResult once = testing::runCli(dir.path(), {"demux", "--no-fast", "--out", ref, small});
    ASSERT_EQ(once.code, 0) << once.err;
    const auto single = testing::filesIn(ref);
    ASSERT_EQ(single.size(), 6u);

    // The same packs at the start and after 4 GiB of zeros (no packets); the file is sparse.
    const std::string big = dir.file("LARGE.EVO");
    {
        std::ofstream out(big, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.mux.file.data()),
                  static_cast<std::streamsize>(file.mux.file.size()));
        out.seekp(static_cast<std::streamoff>(kSecondCopyAt));
        out.write(reinterpret_cast<const char*>(file.mux.file.data()),
                  static_cast<std::streamsize>(file.mux.file.size()));
        ASSERT_TRUE(out.good());
    }
    const std::uint64_t size = kSecondCopyAt + file.mux.file.size();
    ASSERT_EQ(fs::file_size(big), size);

    const std::string out = dir.file("out");
    fs::create_directory(out);
    const CliResult r = testing::runCli(dir.path(), {"demux", "--no-fast", "--out", out, big});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string sizeLine = "File size: " + std::to_string(size / 1048576) + " Mbytes.";
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), sizeLine), 2) << "the scan's and the demux's";
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), "Done."), 2);

    // Both copies' frames are counted and both copies' payloads written.
    const std::string oneCount = frameLine(once.out);
    ASSERT_FALSE(oneCount.empty());
    const int frames = std::stoi(oneCount.substr(0, oneCount.find(' ')));
    EXPECT_EQ(frameLine(r.out).rfind(std::to_string(2 * frames) + " frames (", 0), 0u) << frameLine(r.out);
    const auto written = testing::filesIn(out);
    ASSERT_EQ(written.size(), single.size());
    for (const auto& [name, bytes] : single) {
        const std::string bigName = "LARGE" + name.substr(std::string("SMALL").size());
        ASSERT_TRUE(written.count(bigName)) << bigName;
        Bytes twice = bytes;
        twice.insert(twice.end(), bytes.begin(), bytes.end());
        EXPECT_EQ(written.at(bigName), twice) << bigName;
    }
}

} // namespace
} // namespace ombrix
