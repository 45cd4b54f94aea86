#include "engine/Errors.h"
#include "engine/FileStream.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

namespace ombrix {
namespace {

using testing::TempDir;

std::string messageOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(FileStream, OpenAndCreateFailuresCarryThePathAndTheSystemsReason) {
    TempDir dir;
    const std::string missing = dir.file("missing.EVO");
    EXPECT_EQ(messageOf([&] { FileStream::openRead(missing); }),
              "Cannot open file \"" + missing + "\". No such file or directory.");
    const std::string inMissingFolder = dir.file("no-such-folder") + "/out.mpv";
    EXPECT_EQ(messageOf([&] { FileStream::create(inMissingFolder); }),
              "Cannot create file \"" + inMissingFolder + "\". No such file or directory.");
    EXPECT_EQ(messageOf([&] { FileStream::openRead(dir.path()); }),
              "Cannot open file \"" + dir.path() + "\". Is a directory.");
}

TEST(FileStream, WritesOfEverySizeArriveInOrderAndReadsGiveThemBack) {
    TempDir dir;
    const std::string path = dir.file("data.bin");
    std::vector<std::uint8_t> expected;
    {
        auto out = FileStream::create(path);
        // Small pieces, a piece that fills the buffer exactly, and one larger than the buffer.
        for (std::size_t n : {1u, 2047u, 2048u, 262144u - 4096u, 262144u, 700000u, 3u}) {
            std::vector<std::uint8_t> piece(n);
            std::iota(piece.begin(), piece.end(), static_cast<std::uint8_t>(expected.size()));
            out->write(piece.data(), piece.size());
            expected.insert(expected.end(), piece.begin(), piece.end());
        }
        EXPECT_EQ(out->position(), static_cast<std::int64_t>(expected.size()));
        out->close();
    }
    EXPECT_EQ(testing::readFile(path), expected);

    auto in = FileStream::openRead(path);
    EXPECT_EQ(in->size(), static_cast<std::int64_t>(expected.size()));
    std::vector<std::uint8_t> back(expected.size());
    std::size_t got = 0;
    // Pack-sized reads, then one large read to the end.
    for (int i = 0; i < 100; ++i) got += in->read(back.data() + got, 2048);
    got += in->read(back.data() + got, back.size() - got + 1000);
    EXPECT_EQ(got, expected.size());
    EXPECT_EQ(in->position(), in->size());
    EXPECT_EQ(back, expected);
    EXPECT_EQ(in->read(back.data(), 10), 0u);
}

TEST(FileStream, ViewsAndCopiedWritesArriveInTheOrderGiven) {
    TempDir dir;
    const std::string path = dir.file("views.bin");
    std::vector<std::uint8_t> block(262144);
    std::iota(block.begin(), block.end(), std::uint8_t{0});
    std::vector<std::uint8_t> expected;
    auto add = [&](std::size_t from, std::size_t n) {
        expected.insert(expected.end(), block.begin() + static_cast<std::ptrdiff_t>(from),
                        block.begin() + static_cast<std::ptrdiff_t>(from + n));
    };
    {
        auto out = FileStream::create(path);
        // Contiguous views, a gap, a copied header between views, more views than one gather.
        out->writeView(block.data(), 100);
        out->writeView(block.data() + 100, 50);
        add(0, 150);
        const std::uint8_t header[3] = {'S', 'P', 7};
        out->write(header, 3);
        expected.insert(expected.end(), header, header + 3);
        for (std::size_t k = 0; k < 200; ++k) {
            out->writeView(block.data() + 1000 + k * 10, 5);
            add(1000 + k * 10, 5);
        }
        out->commitViews();
        // The caller may reuse its memory once the views are committed.
        std::fill(block.begin(), block.begin() + 4000, 0xEE);
        out->writeView(block.data() + 5000, 70000);
        add(5000, 70000);
        EXPECT_EQ(out->position(), static_cast<std::int64_t>(expected.size()));
        out->close(); // commits what is left
    }
    EXPECT_EQ(testing::readFile(path), expected);
}

TEST(FileStream, AFullDeviceIsAWriteErrorNeverSilent) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    auto out = FileStream::create("/dev/full");
    std::vector<std::uint8_t> chunk(1000, 0xAB);
    // Buffered bytes fail when they reach the device: at the latest at close.
    EXPECT_EQ(messageOf([&] {
                  for (int i = 0; i < 10; ++i) out->write(chunk.data(), chunk.size());
                  out->close();
              }),
              "Stream write error");
    auto viewed = FileStream::create("/dev/full");
    EXPECT_EQ(messageOf([&] {
                  viewed->writeView(chunk.data(), chunk.size());
                  viewed->commitViews();
              }),
              "Stream write error");
    auto big = FileStream::create("/dev/full");
    std::vector<std::uint8_t> large(1 << 20, 1);
    EXPECT_EQ(messageOf([&] { big->write(large.data(), large.size()); }), "Stream write error");
}

} // namespace
} // namespace ombrix
