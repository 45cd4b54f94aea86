// The window model driven as a user would: choose files, press Read EVO and Demux, tick and
// untick, cancel; and what the user then sees.

#include "engine/Errors.h"
#include "support/HeadlessPlatform.h"
#include "support/SampleDisc.h"
#include "support/TempDir.h"
#include "window/Main.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ombrix {
namespace {

using testing::Bytes;
using testing::HeadlessPlatform;
using testing::TempDir;
namespace fs = std::filesystem;

struct Window {
    HeadlessPlatform platform;
    TfMain w{platform};
    Window() {
        w.FormShow();
        w.FormActivate();
    }
    void choose(const std::string& path) { w.WMDropFiles({path}); }
    // The platform's boundary: an error ends the handler and is shown.
    void press(void (TfMain::*handler)()) {
        try {
            (w.*handler)();
        } catch (const std::exception& e) {
            platform.showError(e.what());
        }
    }
    std::vector<std::string> log() const { return w.mMessage.lines(); }
    bool anyFileOpen() const {
        auto open = [](const auto& holders) {
            for (const auto& h : holders)
                if (h) return true;
            return false;
        };
        return w.st.InFile || open(w.st.VideoOut) || open(w.st.AudioOut) || open(w.st.SubOut);
    }
};

struct Feature {
    TempDir dir;
    std::string folder = (fs::path(dir.path()) / "HVDVD_TS").string();
    testing::FeaturePair pair = testing::makeFeaturePair(folder);
    std::string out = (fs::path(dir.path()) / "out").string();
    Feature() { fs::create_directories(out); }
};

std::string foundLine(const testing::StreamSpec& s) {
    switch (s.kind) {
    case testing::StreamSpec::Kind::Vc1Video: return "VC-1 video stream " + std::to_string(s.id - 0x55) + " found!";
    case testing::StreamSpec::Kind::Subpicture: return "Subpicture stream " + std::to_string(s.id & 31) + " found!";
    default:
        return s.id >= 0xC0 ? "Dolby Digital Plus audio stream " + std::to_string(s.id & 15) + " found!"
                            : "DTS HD (DTS) audio stream " + std::to_string(s.id & 7) + " found!";
    }
}

std::vector<std::string> foundLines(const testing::BuiltFile& f) {
    std::vector<std::string> lines;
    for (auto i : f.firstAppearance()) lines.push_back(foundLine(f.streams[i]));
    return lines;
}

TEST(WindowModel, StartsWithEveryCommandDisabledAndTheBoxesReset) {
    HeadlessPlatform p;
    TfMain w(p);
    for (const Button* b : {&w.bCheck, &w.bReadXPL, &w.bDemux, &w.bRebuild, &w.bCancel}) EXPECT_FALSE(b->enabled());
    EXPECT_TRUE(w.bbEVO.enabled());
    EXPECT_TRUE(w.bbXPL.enabled());
    EXPECT_TRUE(w.bClear.enabled());
    EXPECT_EQ(w.StatusBar.panels[0].text, " Ready");
    EXPECT_EQ(w.StatusBar.panels[0].width, 40);
    EXPECT_EQ(w.StatusBar.panels[1].text, " Select or drop an EVO file to demux");
    EXPECT_EQ(w.StatusBar.hint(), " Select or drop an EVO file to demux");
    EXPECT_EQ(w.focused, &w.bbEVO);
    EXPECT_EQ(w.eEVOfile.tooltip(), "Drop here the source EVO file");
    w.FormShow();
    w.FormActivate();
    for (const auto& cb : w.cbVideo) EXPECT_EQ(cb.caption(), "No video stream");
    for (const auto& cb : w.cbAudio) EXPECT_EQ(cb.caption(), "No audio stream");
    for (const auto& cb : w.cbSub) {
        EXPECT_EQ(cb.caption(), "No subpicture");
        EXPECT_FALSE(cb.enabled());
        EXPECT_FALSE(cb.checked());
    }
    EXPECT_FALSE(w.bDemux.enabled());
    for (const CheckBox* cb : {&w.cbContinue, &w.cbFastCheck, &w.cbCountFr, &w.cbDetails}) EXPECT_TRUE(cb->checked());
    EXPECT_EQ(w.eVideoExt.text() + w.eAudioExt.text() + w.eSubExt.text(), "mpvmpasup");
}

TEST(WindowModel, LogAndStatusLine) {
    Window win;
    win.w.log("Done.");
    win.w.log("");
    EXPECT_EQ(win.log(), (std::vector<std::string>{"Done.", ""}));
    win.w.slog("Ready", 0);
    EXPECT_EQ(win.w.StatusBar.panels[0].text, " Ready");
    EXPECT_EQ(win.w.StatusBar.panels[0].width, 6 * 7) << "the text with the letter a, in the bar's font";
    EXPECT_EQ(win.w.StatusBar.hint(), " Select or drop an EVO file to demux");
    win.w.slog("", 1);
    EXPECT_EQ(win.w.StatusBar.panels[1].text, " ");
    EXPECT_EQ(win.w.StatusBar.panels[1].width, 12);
    EXPECT_EQ(win.w.StatusBar.hint(), "");
    EXPECT_EQ(win.platform.statusRepaints, 2);
    win.w.bClearClick();
    EXPECT_TRUE(win.log().empty());
}

TEST(ReadEvo, ScansBothFilesOfAFeatureAndOffersEveryStreamOfEither) {
    Feature f;
    Window win;
    win.w.cbDetails.setChecked(false);
    win.choose(f.pair.first.path);
    EXPECT_TRUE(win.w.bCheck.enabled());
    win.press(&TfMain::bCheckClick);
    ASSERT_TRUE(win.platform.errors.empty()) << win.platform.errors[0];

    std::vector<std::string> expected = {"Opening file FEATURE_1.EVO", "File size: 0 Mbytes.",
                                         "It contains 1 video stream and 2 audio streams."};
    const auto first = foundLines(f.pair.first), second = foundLines(f.pair.second);
    expected.insert(expected.end(), first.begin(), first.end());
    expected.push_back("Continue on FEATURE_2.EVO");
    expected.push_back("It contains 1 video stream and 3 audio streams.");
    expected.insert(expected.end(), second.begin(), second.end());
    // 48 VC-1 frames a file at 24000/1001: 96 frames are 4.004 s.
    expected.insert(expected.end(), {"Done.", "", "96 frames (0:00:04 s) count in video stream 0.", ""});
    EXPECT_EQ(win.log(), expected);
    EXPECT_EQ(win.w.st.OutBase, "FEATURE_1_FEATURE_2");

    // Subpicture 0x21 is only in the first file, DTS 0x89 only in the second: both get boxes.
    EXPECT_EQ(win.w.cbVideo[0].caption(), "VC-1.stream.0");
    EXPECT_EQ(win.w.cbAudio[0].caption(), "DD+.stream.00");
    EXPECT_EQ(win.w.cbAudio[1].caption(), "DTSHD.stream.01");
    EXPECT_EQ(win.w.cbSub[0].caption(), "Subpicture.00");
    EXPECT_EQ(win.w.cbSub[1].caption(), "Subpicture.01");
    for (CheckBox* cb : {&win.w.cbVideo[0], &win.w.cbAudio[0], &win.w.cbAudio[1], &win.w.cbSub[0], &win.w.cbSub[1]})
        EXPECT_TRUE(cb->enabled() && cb->checked());
    EXPECT_FALSE(win.w.cbVideo[1].enabled());
    EXPECT_EQ(win.w.cbVideo[1].caption(), "No video stream");
    EXPECT_FALSE(win.w.cbAudio[2].checked());
    EXPECT_TRUE(win.w.bCheck.enabled());
    EXPECT_TRUE(win.w.bDemux.enabled());
    EXPECT_TRUE(win.w.bRebuild.enabled());
    EXPECT_FALSE(win.w.bCancel.enabled());
    EXPECT_EQ(win.w.StatusBar.panels[0].text, " Ready");
    EXPECT_EQ(win.w.StatusBar.panels[1].text, " ");
    EXPECT_FALSE(win.anyFileOpen());
    EXPECT_EQ(win.w.st.MinPts, 0xFFFFFFFFu) << "without details no first PTS is reported";
}

TEST(ReadEvo, WithoutTheSecondFileOptionScansOneFile) {
    Feature f;
    Window win;
    win.w.cbContinue.setChecked(false);
    win.w.cbDetails.setChecked(false);
    win.choose(f.pair.first.path);
    win.press(&TfMain::bCheckClick);
    auto expected = std::vector<std::string>{"Opening file FEATURE_1.EVO", "File size: 0 Mbytes.",
                                             "It contains 1 video stream and 2 audio streams."};
    for (auto& l : foundLines(f.pair.first)) expected.push_back(l);
    expected.insert(expected.end(), {"Done.", "", "48 frames (0:00:02 s) count in video stream 0.", ""});
    EXPECT_EQ(win.log(), expected);
    EXPECT_EQ(win.w.st.OutBase, "FEATURE_1");
    EXPECT_FALSE(win.w.cbAudio[1].enabled());
}

TEST(ReadEvo, DetailsPutTheFirstTimeStampRightAfterEachFoundLineAndSetMinPts) {
    TempDir dir;
    using testing::StreamSpec;
    std::vector<StreamSpec> streams = {
        {.kind = StreamSpec::Kind::Audio, .id = 0x81, .data = testing::filler(4000), .firstPts = 0x20000},
        {.kind = StreamSpec::Kind::Audio, .id = 0xA2, .data = testing::filler(4000, 1), .firstPts = 0x18000},
        {.kind = StreamSpec::Kind::Subpicture, .id = 0x20, .data = testing::filler(3000, 2), .firstPts = 0x30000},
    };
    auto file = testing::writeStreams(dir.file("x.VOB"), streams);
    Window win;
    win.choose(file.path);
    win.press(&TfMain::bCheckClick);
    std::vector<std::string> expected = {"Opening file x.VOB", "File size: 0 Mbytes."};
    for (auto i : file.firstAppearance()) {
        expected.push_back(foundLine(streams[i]).find("DTS") != std::string::npos
                               ? (streams[i].id == 0x81 ? "Dolby Digital audio stream 1 found!"
                                                        : "LPCM audio stream 2 found!")
                               : foundLine(streams[i]));
        char pts[9];
        std::snprintf(pts, sizeof pts, "%08X", static_cast<unsigned>(streams[i].firstPts));
        expected.push_back(std::string("   First PTS = ") + pts);
    }
    expected.insert(expected.end(), {"Done.", ""});
    EXPECT_EQ(win.log(), expected);
    EXPECT_EQ(win.w.st.MinPts, 0x18000u) << "audio and video first PTS lower it; subpictures don't";
    // A VOB file: Demux is enabled, Rebuild is not.
    EXPECT_TRUE(win.w.bDemux.enabled());
    EXPECT_FALSE(win.w.bRebuild.enabled());
}

TEST(Demux, WritesBothFilesOfAFeatureIntoTheSameOutputs) {
    Feature f;
    Window win;
    win.choose(f.pair.first.path);
    win.press(&TfMain::bCheckClick);
    const std::uint32_t minPts = win.w.st.MinPts;
    EXPECT_EQ(minPts, 90000u);
    win.w.eWorkdir.setText(f.out);
    win.w.bClearClick();
    win.press(&TfMain::bDemuxClick);
    ASSERT_TRUE(win.platform.errors.empty()) << win.platform.errors[0];

    const std::string prefix = (fs::path(f.out) / "FEATURE_1_FEATURE_2").string();
    const std::vector<std::string> names = {prefix + ".VC-1.stream.0.mpv", prefix + ".DD+.stream.00.mpa",
                                            prefix + ".DTSHD.stream.01.mpa", prefix + ".Subpicture.00.sup",
                                            prefix + ".Subpicture.01.sup"};
    std::vector<std::string> expected = {"Opening file FEATURE_1.EVO", "File size: 0 Mbytes."};
    for (auto& n : names) expected.push_back("Creating " + n);
    expected.insert(expected.end(),
                    {"Continue on FEATURE_2.EVO", "Done.", "", "96 frames (0:00:04 s) count in video stream 0."});
    EXPECT_EQ(win.log(), expected);

    auto both = [&](std::size_t inFirst, std::optional<std::size_t> inSecond) {
        Bytes b = testing::expectedOutput(f.pair.first, inFirst, minPts);
        if (inSecond) {
            Bytes s = testing::expectedOutput(f.pair.second, *inSecond, minPts);
            b.insert(b.end(), s.begin(), s.end());
        }
        return b;
    };
    EXPECT_EQ(testing::readFile(names[0]), both(0, 0));
    EXPECT_EQ(testing::readFile(names[1]), both(1, 1));
    EXPECT_EQ(testing::readFile(names[2]), testing::expectedOutput(f.pair.second, 2, minPts));
    EXPECT_EQ(testing::readFile(names[3]), both(2, 3));
    EXPECT_EQ(testing::readFile(names[4]), testing::expectedOutput(f.pair.first, 3, minPts));
    // The first SUP record: "SP", 45000 ticks after the first video PTS, four zeros.
    const Bytes sup = testing::readFile(names[3]);
    EXPECT_EQ(Bytes(sup.begin(), sup.begin() + 10), (Bytes{'S', 'P', 0xC8, 0xAF, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(win.w.bDemux.enabled());
    EXPECT_TRUE(win.w.bRebuild.enabled());
    EXPECT_FALSE(win.anyFileOpen());
}

TEST(Demux, OutputNamesFollowTheFolderTheCaptionAndTheExtension) {
    Feature f;
    struct Case {
        std::string folder;
        std::string prefix;
    } cases[] = {
        {f.out, (fs::path(f.out) / "FEATURE_1").string()},
        {f.out + "/", f.out + "/FEATURE_1"},
        {"", ""}, // the current folder, names starting with a full stop
    };
    for (const auto& c : cases) {
        Window win;
        win.w.cbContinue.setChecked(false);
        win.choose(f.pair.first.path);
        win.press(&TfMain::bCheckClick);
        for (auto* cb : {&win.w.cbAudio[0], &win.w.cbSub[1]}) cb->setChecked(false);
        win.w.eWorkdir.setText(c.folder);
        win.w.eVideoExt.setText("vc1");
        win.w.bClearClick();
        const fs::path before = fs::current_path();
        fs::current_path(f.out);
        win.press(&TfMain::bDemuxClick);
        fs::current_path(before);
        ASSERT_TRUE(win.platform.errors.empty()) << win.platform.errors[0];
        const auto log = win.log();
        ASSERT_GE(log.size(), 4u);
        EXPECT_EQ(log[2], "Creating " + c.prefix + ".VC-1.stream.0.vc1");
        EXPECT_EQ(log[3], "Creating " + c.prefix + ".Subpicture.00.sup");
        EXPECT_TRUE(fs::exists(fs::path(f.out) / "FEATURE_1.VC-1.stream.0.vc1") ||
                    fs::exists(fs::path(f.out) / ".VC-1.stream.0.vc1"));
    }
    EXPECT_TRUE(fs::exists(fs::path(f.out) / ".VC-1.stream.0.vc1"));
}

TEST(Demux, CountsFramesOnlyOfTickedVideoAtTheDemuxRate) {
    Feature f;
    Window win;
    win.w.cbContinue.setChecked(false);
    win.choose(f.pair.first.path);
    win.press(&TfMain::bCheckClick);
    win.w.eWorkdir.setText(f.out);
    win.w.bClearClick();
    win.press(&TfMain::bDemuxClick);
    EXPECT_EQ(win.log().back(), "48 frames (0:00:02 s) count in video stream 0.");
    win.w.cbVideo[0].setChecked(false);
    win.w.bClearClick();
    win.press(&TfMain::bDemuxClick);
    EXPECT_EQ(win.log().back(), "") << "no frame report when the video isn't ticked";
}

TEST(Commands, CancelStopsAScanAtOnceButAsksFirstDuringADemux) {
    Feature f;
    // Big enough for a message pump: 4 MiB of VC-1.
    testing::FeaturePair big = testing::makeFeaturePair(f.folder + "big", 720, 6000);
    for (bool yes : {false, true}) {
        Window win;
        win.w.cbContinue.setChecked(false);
        win.choose(big.first.path);
        int pumps = 0;
        win.platform.onPump = [&] {
            ++pumps;
            EXPECT_TRUE(win.w.bCancel.usable());
            EXPECT_FALSE(win.w.bbEVO.usable()) << "browsing is held back during a pass";
            EXPECT_FALSE(win.w.cbVideo[0].usable());
            win.w.bCancelClick();
        };
        win.press(&TfMain::bCheckClick);
        EXPECT_TRUE(win.platform.questions.empty()) << "a scan is cancelled without a question";
        EXPECT_TRUE(win.w.st.Cancelled);
        EXPECT_EQ(win.log()[win.log().size() - 2], "Done.") << "no frame report after a cancel";
        EXPECT_TRUE(win.w.cbVideo[0].checked()) << "the streams found so far are offered";

        win.platform.answers = {yes};
        win.w.eWorkdir.setText(f.out);
        win.press(&TfMain::bDemuxClick);
        EXPECT_EQ(win.platform.questions, std::vector<std::string>{"Are you sure to stop demuxing?"});
        EXPECT_EQ(win.w.st.Cancelled, yes);
        const auto size = fs::file_size(fs::path(f.out) / "FEATURE_1.VC-1.stream.0.mpv");
        if (yes)
            EXPECT_LT(size, big.first.streams[0].data.size());
        else
            EXPECT_EQ(size, big.first.streams[0].data.size());
        EXPECT_TRUE(win.w.bbEVO.usable());
    }
}

TEST(Commands, AnInputThatCantBeOpenedEndsReadEvo) {
    TempDir dir;
    Window win;
    const std::string missing = dir.file("FEATURE_1.EVO");
    win.choose(missing);
    win.press(&TfMain::bCheckClick);
    ASSERT_EQ(win.platform.errors.size(), 1u);
    EXPECT_EQ(win.platform.errors[0], "Cannot open file \"" + missing + "\". No such file or directory.");
    EXPECT_EQ(win.log(), std::vector<std::string>{"Opening file FEATURE_1.EVO"});
    EXPECT_FALSE(win.w.bCheck.enabled());
    EXPECT_FALSE(win.w.bDemux.enabled());
    EXPECT_FALSE(win.w.bRebuild.enabled());
    EXPECT_FALSE(win.anyFileOpen());
    EXPECT_TRUE(win.w.bbEVO.usable()) << "the window stays usable";
    win.choose(missing);
    EXPECT_TRUE(win.w.bCheck.enabled()) << "choosing the file again enables Read EVO";
}

TEST(Commands, AnOutputThatCantBeCreatedEndsDemuxWithItsFilesClosed) {
    Feature f;
    Window win;
    win.w.cbContinue.setChecked(false);
    win.choose(f.pair.first.path);
    win.press(&TfMain::bCheckClick);
    win.w.eWorkdir.setText(f.out + "/missing");
    win.w.bClearClick();
    win.press(&TfMain::bDemuxClick);
    ASSERT_EQ(win.platform.errors.size(), 1u);
    const std::string name = f.out + "/missing/FEATURE_1.VC-1.stream.0.mpv";
    EXPECT_EQ(win.platform.errors[0], "Cannot create file \"" + name + "\". No such file or directory.");
    EXPECT_EQ(win.log(), (std::vector<std::string>{"Opening file FEATURE_1.EVO", "File size: 0 Mbytes."}));
    EXPECT_FALSE(win.w.bDemux.enabled());
    EXPECT_FALSE(win.w.bRebuild.enabled());
    EXPECT_FALSE(win.anyFileOpen());
    win.w.cbAudio[0].click();
    EXPECT_TRUE(win.w.bDemux.enabled()) << "ticking a box sets Demux by the boxes again";
}

TEST(Commands, StreamBoxesSetDemuxAndRebuild) {
    Feature f;
    Window win;
    win.choose(f.pair.first.path);
    win.press(&TfMain::bCheckClick);
    std::vector<CheckBox*> ticked;
    auto all = [&](auto& boxes) {
        for (auto& cb : boxes)
            if (cb.checked()) ticked.push_back(&cb);
    };
    all(win.w.cbVideo), all(win.w.cbAudio), all(win.w.cbSub);
    ASSERT_EQ(ticked.size(), 5u);
    for (std::size_t i = 0; i + 1 < ticked.size(); ++i) ticked[i]->click();
    EXPECT_TRUE(win.w.bDemux.enabled());
    EXPECT_TRUE(win.w.bRebuild.enabled());
    ticked.back()->click();
    EXPECT_FALSE(win.w.bDemux.enabled());
    EXPECT_FALSE(win.w.bRebuild.enabled());
    win.w.cbVideo[1].click();
    EXPECT_FALSE(win.w.cbVideo[1].checked()) << "a disabled box can't be ticked";
}

TEST(SourceSelection, DropsTakeTheFirstPathAndOnlyKnownExtensions) {
    Window win;
    win.w.WMDropFiles({"/discs/a/movie.evo", "/discs/b/other.EVO", "/x.XPL"});
    EXPECT_EQ(win.w.eEVOfile.text(), "/discs/a/movie.evo");
    EXPECT_EQ(win.w.eXPLfile.text(), "VPLST000.XPL");
    win.w.WMDropFiles({"/discs/ADV_OBJ/VPLST000.XPL"});
    EXPECT_EQ(win.w.eEVOfile.text(), "/discs/a/movie.evo");
    EXPECT_EQ(win.w.eXPLfile.text(), "/discs/ADV_OBJ/VPLST000.XPL");
    EXPECT_EQ(win.w.st.EVOdir, "/discs/HVDVD_TS/");
    for (const char* ignored : {"/discs/notes.txt", "/discs/HVDVD_TS", ""}) {
        win.w.WMDropFiles({ignored});
        EXPECT_EQ(win.w.eEVOfile.text(), "/discs/a/movie.evo");
    }
    win.w.WMDropFiles({});
    win.w.WMDropFiles({"/dvd/VIDEO_TS/VTS_01_1.vob"});
    EXPECT_EQ(win.w.eEVOfile.text(), "/dvd/VIDEO_TS/VTS_01_1.vob");
    EXPECT_EQ(win.w.focused, &win.w.bbEVO) << "a drop doesn't move the focus";
}

TEST(SourceSelection, DroppingKeepsTheTicksBrowsingResetsThem) {
    Feature f;
    Window win;
    win.choose(f.pair.first.path);
    win.press(&TfMain::bCheckClick);
    win.choose(f.pair.second.path);
    EXPECT_TRUE(win.w.cbVideo[0].checked());
    EXPECT_TRUE(win.w.bDemux.enabled());

    win.platform.dialogResults = {f.pair.first.path};
    win.w.bbEVOClick();
    EXPECT_EQ(win.w.eEVOfile.text(), f.pair.first.path);
    EXPECT_FALSE(win.w.cbVideo[0].checked());
    EXPECT_FALSE(win.w.bDemux.enabled());
    EXPECT_EQ(win.w.focused, &win.w.bCheck);
    EXPECT_EQ(win.platform.dialogsShown.back().title, "Choose the EVO file to demux");
    EXPECT_EQ(win.platform.dialogsShown.back().initialDir, f.folder + "/");

    // A cancelled dialog takes the last confirmed name again.
    win.platform.dialogResults = {std::nullopt};
    win.w.bbEVOClick();
    EXPECT_EQ(win.w.eEVOfile.text(), f.pair.first.path);
    EXPECT_TRUE(win.w.bCheck.enabled());

    // The XPL dialog after an EVO from HVDVD_TS, cancelled: the filled-in bare name.
    win.platform.dialogResults = {std::nullopt};
    win.w.bbXPLClick();
    EXPECT_EQ(win.w.eXPLfile.text(), "VPLST000.XPL");
    EXPECT_EQ(win.w.st.XPLdir, "");
    EXPECT_TRUE(win.w.bReadXPL.enabled());
    EXPECT_EQ(win.platform.dialogsShown.back().filter, "XPL|VPLST000.XPL");
}

TEST(SourceSelection, ACancelledFirstBrowseLeavesNothingToRead) {
    Window win;
    win.platform.dialogResults = {std::nullopt};
    win.w.bbEVOClick();
    EXPECT_EQ(win.w.eEVOfile.text(), "");
    EXPECT_FALSE(win.w.bCheck.enabled());
    EXPECT_EQ(win.w.focused, &win.w.bbEVO) << "a disabled button can't take the focus";
}

TEST(WindowModel, TheLogoStaysAtItsPlaceInNarrowWindowsAndCentresInWideOnes) {
    Window win;
    for (auto [width, left] : {std::pair{370, 153}, {432, 153}, {433, 153}, {600, 237}, {1001, 437}}) {
        win.w.frame.width = width;
        win.w.FormResize();
        EXPECT_EQ(win.w.logoLeft, left) << width;
    }
}

TEST(WindowModel, ClosingDuringAPassWaitsForThePassToEnd) {
    Feature f;
    testing::FeaturePair big = testing::makeFeaturePair(f.folder + "big", 720, 6000);
    Window win;
    win.choose(big.first.path);
    bool mayClose = true;
    win.platform.onPump = [&] {
        mayClose = win.w.FormClose();
        EXPECT_FALSE(win.platform.closed);
    };
    win.press(&TfMain::bCheckClick);
    EXPECT_FALSE(mayClose);
    EXPECT_TRUE(win.platform.closed) << "the window closes when the pass's command has returned";
    EXPECT_EQ(win.log()[win.log().size() - 4], "Done.");
    EXPECT_EQ(win.log()[win.log().size() - 2], "1440 frames (0:01:00 s) count in video stream 0.")
        << "the pass ran to its end";
}

} // namespace
} // namespace ombrix
