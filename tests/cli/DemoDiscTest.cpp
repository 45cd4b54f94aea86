// The demo disc that tools/run opens: it must show a newcomer every kind of stream with sensible
// details, a feature that runs on into its second file, and a playlist that lists its tracks.

#include "support/DemoDisc.h"
#include "support/HeadlessPlatform.h"
#include "support/TempDir.h"
#include "window/Main.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace ombrix {
namespace {

using Lines = std::vector<std::string>;

class DemoDiscWindow : public ::testing::Test {
  protected:
    testing::TempDir dir;
    testing::DemoDisc disc = testing::makeDemoDisc(dir.file("disc"));
    testing::HeadlessPlatform platform;
    TfMain w{platform};

    DemoDiscWindow() {
        w.FormActivate();
        w.eWorkdir.setText(dir.file("out"));
        std::filesystem::create_directories(dir.file("out"));
        // What `Ombrix FILE` does with its argument.
        w.WMDropFiles({disc.feature1});
    }

    Lines checkedCaptions() const {
        Lines c;
        for (const CheckBox& cb : w.cbVideo)
            if (cb.checked()) c.push_back(cb.caption());
        for (const CheckBox& cb : w.cbAudio)
            if (cb.checked()) c.push_back(cb.caption());
        for (const CheckBox& cb : w.cbSub)
            if (cb.checked()) c.push_back(cb.caption());
        return c;
    }
    Lines logMatching(const std::string& part) const {
        Lines out;
        for (const std::string& l : w.mMessage.lines())
            if (l.find(part) != std::string::npos) out.push_back(l);
        return out;
    }
};

TEST_F(DemoDiscWindow, TheDropFillsBothFieldsAndReadEvoFindsEveryStreamOfBothFiles) {
    EXPECT_EQ(w.eEVOfile.text(), disc.feature1);
    EXPECT_EQ(w.eXPLfile.text(), disc.playlist);
    ASSERT_TRUE(w.bCheck.enabled());

    w.bCheckClick();
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_EQ(logMatching("found!"),
              (Lines{"Dolby Digital Plus audio stream 0 found!", "DTS HD (DTS) audio stream 1 found!",
                     "VC-1 video stream 0 found!", "Subpicture stream 0 found!", "Subpicture stream 1 found!",
                     "DTS HD (DTS) audio stream 1 found!", "VC-1 video stream 0 found!",
                     "Dolby Digital Plus audio stream 0 found!", "Subpicture stream 0 found!",
                     "Subpicture stream 1 found!"}));
    EXPECT_EQ(logMatching("Continue on"), Lines{"Continue on FEATURE_2.EVO"});
    // Detailed info of each family, once per file.
    for (const std::string line :
         {"   Size = 1920x1080", "   Advanced Profile", "   Frame Rate = 23.976023976024 (24000/1001)",
          "   mode = 3/2, bsid = 16, LFE present = 1", "   bitrate = 640 kbit/s, sampling rate = 48 kHz",
          "   Audio channel arrangement = C + L + R + SL + SR", "   Transmission bitrate = 1536 kbit/s"})
        EXPECT_EQ(logMatching(line), (Lines{line, line})) << line;
    // The second file's time stamps run on from the first's: 360 frames of 3754 ticks later.
    EXPECT_EQ(logMatching("   First PTS = 0001"),
              (Lines{"   First PTS = 00015F90", "   First PTS = 000160BC", "   First PTS = 00015F90"}));
    EXPECT_EQ(logMatching("   First PTS = 0015F"),
              (Lines{"   First PTS = 0015FFCC", "   First PTS = 0015FEA0", "   First PTS = 0015FEA0"}));
    EXPECT_EQ(logMatching("frames ("), Lines{"720 frames (0:00:30 s) count in video stream 0."});
    EXPECT_EQ(checkedCaptions(),
              (Lines{"VC-1.stream.0", "DD+.stream.00", "DTSHD.stream.01", "Subpicture.00", "Subpicture.01"}));
    EXPECT_TRUE(w.bDemux.enabled());
    EXPECT_TRUE(w.bRebuild.enabled());
}

TEST_F(DemoDiscWindow, DemuxWritesEachStreamOfBothFilesExactlyAndSubpicturesAsSupRecords) {
    w.bCheckClick();
    w.bDemuxClick();
    ASSERT_TRUE(platform.errors.empty()) << platform.errors.front();
    const std::string base = dir.file("out") + "/FEATURE_1_FEATURE_2.";
    const struct {
        std::string name;
        std::size_t stream; // index in the files' stream lists
    } outputs[] = {{"VC-1.stream.0.mpv", 0},
                   {"DD+.stream.00.mpa", 1},
                   {"DTSHD.stream.01.mpa", 2},
                   {"Subpicture.00.sup", 3},
                   {"Subpicture.01.sup", 4}};
    Lines created;
    for (const auto& o : outputs)
        created.push_back("Creating " + base + o.name);
    EXPECT_EQ(logMatching("Creating "), created);
    // SUP time stamps count from the smallest first PTS of audio and video: one second.
    constexpr std::uint32_t kFirstPts = 90000;
    for (const auto& o : outputs) {
        testing::Bytes expected = testing::expectedOutput(disc.first, o.stream, kFirstPts);
        const testing::Bytes second = testing::expectedOutput(disc.second, o.stream, kFirstPts);
        expected.insert(expected.end(), second.begin(), second.end());
        std::ifstream in(base + o.name, std::ios::binary);
        const testing::Bytes written{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(written.size(), expected.size()) << o.name;
        EXPECT_TRUE(written == expected) << o.name;
    }
}

TEST_F(DemoDiscWindow, ReadXplListsTheTitlesTracksAndChaptersAndTicksTheirBoxes) {
    w.bReadXPLClick();
    EXPECT_TRUE(platform.errors.empty());
    const auto leaf = [](std::string t) { return TreeNode{std::move(t), {}}; };
    EXPECT_EQ(
        w.tvXPL.nodes(),
        (std::vector<TreeNode>{
            {"Info",
             {leaf("Title: Ombrix demo disc"), leaf("Name: Demo feature"), leaf("Duration: 00:00:30:00")}},
            {"Video", {leaf("VC-1.stream.0")}},
            {"Audio", {leaf("DD+.6ch.stream.00.English"), leaf("DTS.6ch.stream.01.Deutsch")}},
            {"Subtitle", {leaf("2bitRLE.stream.00.English"), leaf("2bitRLE.stream.01.Deutsch")}},
            {"Chapter",
             {leaf("00:00:00:00: Opening"), leaf("00:00:10:00: The harbour"),
              leaf("00:00:20:00: Night falls")}}}));
    EXPECT_EQ(
        logMatching("found!"),
        (Lines{"VC-1.stream.0 found!", "DD+.6ch.stream.00.English found!", "DTS.6ch.stream.01.Deutsch found!",
               "2bitRLE.stream.00.English found!", "2bitRLE.stream.01.Deutsch found!"}));
    EXPECT_EQ(checkedCaptions(),
              (Lines{"VC-1.stream.0", "DD+.6ch.stream.00.English", "DTS.6ch.stream.01.Deutsch",
                     "2bitRLE.stream.00.English", "2bitRLE.stream.01.Deutsch"}));
}

TEST(DemoDisc, IsAFewMegabytesPerFileAndTheSameEveryTime) {
    testing::TempDir dir;
    const auto a = testing::makeDemoDisc(dir.file("a"));
    const auto b = testing::makeDemoDisc(dir.file("b"));
    for (const auto& [x, y] :
         {std::pair{a.feature1, b.feature1}, {a.feature2, b.feature2}, {a.playlist, b.playlist}}) {
        std::ifstream fx(x, std::ios::binary), fy(y, std::ios::binary);
        const std::string bx{std::istreambuf_iterator<char>(fx), {}},
            by{std::istreambuf_iterator<char>(fy), {}};
        EXPECT_EQ(bx, by) << x;
    }
    for (const auto& f : {a.feature1, a.feature2}) {
        const auto size = std::filesystem::file_size(f);
        EXPECT_GE(size, 2u << 20) << f;
        EXPECT_LE(size, 10u << 20) << f;
        EXPECT_EQ(size % 2048, 0u) << f;
    }
}

} // namespace
} // namespace ombrix
