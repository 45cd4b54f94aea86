#include "SamplePlaylist.h"
#include "WorkedExample.h"
#include "engine/Errors.h"
#include "support/HeadlessPlatform.h"
#include "support/TempDir.h"
#include "window/Main.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ombrix {
namespace {

using Lines = std::vector<std::string>;
using testing::HeadlessPlatform;
using testing::TempDir;

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

TreeNode node(std::string text, Lines children = {}) {
    TreeNode n{std::move(text), {}};
    for (std::string& c : children)
        n.children.push_back({std::move(c), {}});
    return n;
}

const std::vector<TreeNode> kDesignTree = {node("Video"), node("Audio"), node("Subpicture"), node("Chapter")};

// The window with a disc folder: the EVO file is chosen in HVDVD_TS, which puts the playlist's
// path (ADV_OBJ/VPLST000.XPL) into the XPL field.
class ReadXpl : public ::testing::Test {
  protected:
    TempDir dir;
    HeadlessPlatform platform;
    TfMain w{platform};
    Lines progress;                           // every text panel 1 showed
    std::vector<bool> memoVisibleWhileFilled; // the memo's visibility at each change of its lines
    std::size_t logStart = 0;

    ReadXpl() {
        std::filesystem::create_directories(dir.file("HVDVD_TS"));
        std::filesystem::create_directories(dir.file("ADV_OBJ"));
        w.FormActivate();
        w.StatusBar.onChange = [this] {
            if (progress.empty() || progress.back() != w.StatusBar.panels[1].text)
                progress.push_back(w.StatusBar.panels[1].text);
        };
        w.mXPL.onChange = [this] {
            if (w.mXPL.lines() != lastMemo_) memoVisibleWhileFilled.push_back(w.mXPL.visible());
            lastMemo_ = w.mXPL.lines();
        };
    }

    std::string xplPath() const { return dir.file("ADV_OBJ") + "/VPLST000.XPL"; }
    void writeXpl(const std::string& text) const { testing::writeFile(xplPath(), bytesOf(text)); }
    void chooseEvo(const std::string& name) {
        w.eEVOfile.setText(dir.file("HVDVD_TS") + "/" + name);
        w.EVOadj();
    }
    // Presses Read XPL; returns the lines it logged.
    Lines press() {
        logStart = w.mMessage.lines().size();
        progress.clear();
        memoVisibleWhileFilled.clear();
        w.bReadXPLClick();
        return logged();
    }
    Lines logged() const {
        return Lines(w.mMessage.lines().begin() + static_cast<std::ptrdiff_t>(logStart),
                     w.mMessage.lines().end());
    }

    void expectAllBoxesReset() const {
        for (const CheckBox& cb : w.cbVideo) {
            EXPECT_FALSE(cb.enabled());
            EXPECT_FALSE(cb.checked());
            EXPECT_EQ(cb.caption(), "No video stream");
        }
        for (const CheckBox& cb : w.cbAudio) {
            EXPECT_FALSE(cb.checked());
            EXPECT_EQ(cb.caption(), "No audio stream");
        }
        for (const CheckBox& cb : w.cbSub) {
            EXPECT_FALSE(cb.checked());
            EXPECT_EQ(cb.caption(), "No subpicture");
        }
        EXPECT_FALSE(w.bDemux.enabled());
    }
    void expectTableEmpty() const {
        for (auto k : w.st.VideoKey)
            EXPECT_EQ(k, -1);
        for (auto k : w.st.AudioKey)
            EXPECT_EQ(k, -1);
        for (auto k : w.st.SubKey)
            EXPECT_EQ(k, -1);
    }

  private:
    Lines lastMemo_;
};

TEST_F(ReadXpl, WorkedExample) {
    chooseEvo("FEATURE_1.EVO");
    writeXpl(testing::workedExampleText());
    ASSERT_EQ(testing::workedExampleText().size(), 662u);
    ASSERT_TRUE(w.bReadXPL.usable());

    EXPECT_EQ(press(), (Lines{"Open VPLST000.XPL", "Filesize: 662 bytes", "VC-1.stream.0 found!",
                              "DD+.6ch.stream.00.en found!", "DTS.stream.01.fr found!",
                              "RLE.stream.00.en found!", "Done.", ""}));

    // The memo: the ten lines of the title, with their indentation.
    EXPECT_EQ(w.mXPL.lines(), (Lines{
                                  R"(  <Title displayName="Main" titleDuration="01:30:00:00">)",
                                  R"(    <Clip file="FEATURE_1.MAP">)",
                                  R"(      <Video track="1" mediaAttr="1"/>)",
                                  R"(      <Audio streamNumber="1" mediaAttr="1" description="en"/>)",
                                  R"(      <Audio streamNumber="2" mediaAttr="2" description="fr"/>)",
                                  R"(      <Subtitle streamNumber="1" mediaAttr="1" description="en"/>)",
                                  R"(    </Clip>)",
                                  R"(    <!-- chapters -->)",
                                  R"(    <Chapter titleTimeBegin="00:00:00:00" displayName="Start"/>)",
                                  R"(  </Title>)",
                              }));
    EXPECT_TRUE(w.mXPL.visible());
    EXPECT_EQ(memoVisibleWhileFilled, (std::vector<bool>{false}));

    EXPECT_EQ(w.xpl.XPLvideo[1], "VC-1");
    EXPECT_EQ(w.xpl.XPLaudio[1], "DD+.6ch");
    EXPECT_EQ(w.xpl.XPLaudio[2], "DTS");
    EXPECT_EQ(w.xpl.XPLsub[1], "RLE");
    for (std::size_t i = 2; i <= 8; ++i) {
        EXPECT_EQ(w.xpl.XPLvideo[i], "");
        EXPECT_EQ(w.xpl.XPLsub[i], "");
        if (i > 2) {
            EXPECT_EQ(w.xpl.XPLaudio[i], "");
        }
    }

    EXPECT_EQ(w.tvXPL.nodes(),
              (std::vector<TreeNode>{node("Info", {"Title: Demo", "Name: Main", "Duration: 01:30:00:00"}),
                                     node("Video", {"VC-1.stream.0"}),
                                     node("Audio", {"DD+.6ch.stream.00.en", "DTS.stream.01.fr"}),
                                     node("Subtitle", {"RLE.stream.00.en"}),
                                     node("Chapter", {"00:00:00:00: Start"})}));

    EXPECT_TRUE(w.cbVideo[0].enabled());
    EXPECT_TRUE(w.cbVideo[0].checked());
    EXPECT_EQ(w.cbVideo[0].caption(), "VC-1.stream.0");
    const struct {
        const CheckBox& cb;
        std::string text;
    } ticked[] = {{w.cbAudio[0], "DD+.6ch.stream.00.en"},
                  {w.cbAudio[1], "DTS.stream.01.fr"},
                  {w.cbSub[0], "RLE.stream.00.en"}};
    for (const auto& t : ticked) {
        EXPECT_TRUE(t.cb.enabled()) << t.text;
        EXPECT_TRUE(t.cb.checked()) << t.text;
        EXPECT_EQ(t.cb.caption(), t.text);
        EXPECT_EQ(t.cb.hint(), t.text);
    }
    for (std::size_t i = 1; i < 8; ++i)
        EXPECT_FALSE(w.cbVideo[i].checked()) << i;
    for (std::size_t i = 2; i < 16; ++i) {
        EXPECT_FALSE(w.cbAudio[i].enabled()) << i;
        EXPECT_EQ(w.cbAudio[i].caption(), "No audio stream") << i;
    }
    for (std::size_t i = 1; i < 16; ++i) {
        EXPECT_FALSE(w.cbSub[i].enabled()) << i;
        EXPECT_EQ(w.cbSub[i].caption(), "No subpicture") << i;
    }

    std::array<std::int32_t, 16> video, audio;
    std::array<std::int32_t, 32> sub;
    video.fill(-1), audio.fill(-1), sub.fill(-1);
    video[0] = audio[0] = audio[1] = sub[0] = 1;
    EXPECT_EQ(w.st.VideoKey, video);
    EXPECT_EQ(w.st.AudioKey, audio);
    EXPECT_EQ(w.st.SubKey, sub);

    // The progress during the read, then empty; Ready; the buttons and the page.
    EXPECT_EQ(progress.front(), " 662/662 bytes");
    EXPECT_EQ(w.StatusBar.panels[1].text, " ");
    EXPECT_EQ(w.StatusBar.panels[0].text, " Ready");
    EXPECT_TRUE(w.bReadXPL.enabled());
    EXPECT_TRUE(w.bDemux.enabled());
    EXPECT_TRUE(w.bRebuild.enabled()); // the chosen file is an .EVO
    EXPECT_EQ(w.PageControl.activePage(), tsXPL);
    EXPECT_EQ(w.st.InFile, nullptr);
}

TEST_F(ReadXpl, AVobSourceLeavesRebuildAlone) {
    chooseEvo("FEATURE_1.VOB");
    writeXpl(testing::workedExampleText());
    press();
    EXPECT_TRUE(w.bDemux.enabled());
    EXPECT_FALSE(w.bRebuild.enabled());
}

TEST_F(ReadXpl, AnEmptyFileLogsOnlyTheFrameOfTheCommand) {
    chooseEvo("FEATURE_1.EVO");
    writeXpl("");
    EXPECT_EQ(press(), (Lines{"Open VPLST000.XPL", "Filesize: 0 bytes", "Done.", ""}));
    EXPECT_TRUE(w.mXPL.lines().empty());
    EXPECT_EQ(w.tvXPL.nodes(), kDesignTree);
    EXPECT_EQ(progress, (Lines{" Select or drop an EVO file to demux", " "}));
    expectAllBoxesReset();
    expectTableEmpty();
}

TEST_F(ReadXpl, WithoutTheBaseNameTheWholeFileStaysAndNothingIsListed) {
    const std::string text = testing::workedExampleText();
    struct Case {
        const char* evo;
        std::string xpl;
    };
    const Case cases[] = {
        {"BONUS_1.EVO", text},   // absent
        {"feature_1.evo", text}, // the search is case-sensitive
        {"xml.EVO", text},       // only on the first line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.evo);
        chooseEvo(c.evo);
        writeXpl(c.xpl);
        // A scan had found streams before: the read empties the table all the same.
        w.st.AudioKey[3] = 0x80;
        EXPECT_EQ(press(), (Lines{"Open VPLST000.XPL", "Filesize: 662 bytes", "Done.", ""}));
        EXPECT_EQ(w.mXPL.lines(), testing::workedExampleMemo());
        EXPECT_EQ(w.tvXPL.nodes(), kDesignTree);
        expectAllBoxesReset();
        expectTableEmpty();
        EXPECT_EQ(w.xpl.XPLaudio[1], "DD+.6ch");
    }
}

TEST_F(ReadXpl, AFoundBaseNameWithoutTracksLeavesDemuxOff) {
    chooseEvo("FEATURE_1.EVO");
    writeXpl(testing::workedExampleText());
    press();
    ASSERT_TRUE(w.bDemux.enabled());
    writeXpl("<Playlist displayName=\"P\">\n<Title displayName=\"T\" titleDuration=\"1\">\n"
             "<Clip src=\"FEATURE_1.MAP\"/>\n</Title>\n</Playlist>\n");
    press();
    EXPECT_EQ(w.tvXPL.nodes(),
              (std::vector<TreeNode>{node("Info", {"Title: P", "Name: T", "Duration: 1"}), node("Video"),
                                     node("Audio"), node("Subtitle"), node("Chapter")}));
    expectAllBoxesReset();
}

TEST_F(ReadXpl, TheAttributeTablesOutliveTheRead) {
    chooseEvo("FEATURE_1.EVO");
    writeXpl(testing::workedExampleText());
    press();
    // A playlist that names only audio entry 2, but uses entry 1 as well.
    writeXpl("<Playlist>\n<AudioAttributeItem index=\"2\" codec=\"MLP\" channels=\"8\"/>\n"
             "<Title displayName=\"T\" titleDuration=\"1\">\n<Clip src=\"FEATURE_1.MAP\"/>\n"
             "<Audio streamNumber=\"1\" mediaAttr=\"1\" description=\"en\"/>\n"
             "<Audio streamNumber=\"2\" mediaAttr=\"2\" description=\"en\"/>\n</Title>\n</Playlist>\n");
    press();
    EXPECT_EQ(w.xpl.XPLaudio[1], "DD+.6ch");
    EXPECT_EQ(w.xpl.XPLaudio[2], "MLP.8ch");
    EXPECT_EQ(w.cbAudio[0].caption(), "DD+.6ch.stream.00.en");
    EXPECT_EQ(w.cbAudio[1].caption(), "MLP.8ch.stream.01.en");
    // No playlist title this time: no "Title: " node.
    EXPECT_EQ(w.tvXPL.nodes().front(), node("Info", {"Name: T", "Duration: 1"}));
}

TEST_F(ReadXpl, AVideoTrackOtherThanOneIsListedButTicksNoBox) {
    chooseEvo("FEATURE_1.EVO");
    const std::string text = "<Playlist>\n<VideoAttributeItem index=\"1\" codec=\"VC-1\"/>\n<Title a=\"\">\n"
                             "<Clip src=\"FEATURE_1.MAP\"/>\n<Video track=\"2\" mediaAttr=\"1\"/>\n</Title>\n"
                             "</Playlist>\n";
    writeXpl(text);
    EXPECT_EQ(press(), (Lines{"Open VPLST000.XPL", "Filesize: " + std::to_string(text.size()) + " bytes",
                              "VC-1.stream.1 found!", "Done.", ""}));
    EXPECT_EQ(w.tvXPL.nodes()[1], node("Video", {"VC-1.stream.1"}));
    expectAllBoxesReset();
    EXPECT_EQ(w.st.VideoKey[1], 1);
}

TEST_F(ReadXpl, StreamNumbersOutsideOneToSixteenTickNoBox) {
    chooseEvo("FEATURE_1.EVO");
    writeXpl("<Playlist>\n<AudioAttributeItem index=\"1\" codec=\"DD+\"/>\n<Title a=\"\">\n"
             "<Clip src=\"FEATURE_1.MAP\"/>\n"
             "<Audio streamNumber=\"17\" mediaAttr=\"1\" description=\"x\"/>\n"
             "<Audio mediaAttr=\"1\" description=\"y\"/>\n"
             "<Subtitle streamNumber=\"0\" mediaAttr=\"1\" description=\"z\"/>\n"
             "<Subtitle streamNumber=\"16\" mediaAttr=\"1\" description=\"w\"/>\n</Title>\n</Playlist>\n");
    const Lines log = press();
    EXPECT_EQ(Lines(log.begin() + 2, log.end()),
              (Lines{"DD+.stream.16.x found!", "DD+.stream.0-1.y found!", ".stream.0-1.z found!",
                     ".stream.15.w found!", "Done.", ""}));
    for (const CheckBox& cb : w.cbAudio)
        EXPECT_FALSE(cb.checked());
    for (std::size_t i = 0; i < 15; ++i)
        EXPECT_FALSE(w.cbSub[i].checked()) << i;
    EXPECT_TRUE(w.cbSub[15].checked());
    EXPECT_EQ(w.cbSub[15].caption(), ".stream.15.w");
    for (std::size_t i = 0; i < 32; ++i)
        EXPECT_EQ(w.st.SubKey[i], i == 15 ? 1 : -1) << i;
}

TEST_F(ReadXpl, ANonIntegerIndexEndsTheCommandAndClosesTheFile) {
    chooseEvo("FEATURE_1.EVO");
    w.mXPL.setLines({"from before"});
    const std::string text = "<Playlist>\r\n<VideoAttributeItem index=\"1\" codec=\"VC-1\"/>\r\n"
                             "<AudioAttributeItem index=\"first\" codec=\"DD+\"/>\r\n<Title>\r\n</Title>\r\n";
    writeXpl(text);
    logStart = w.mMessage.lines().size();
    try {
        w.bReadXPLClick();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "'first' is not a valid integer value");
    }
    EXPECT_EQ(logged(), (Lines{"Open VPLST000.XPL", "Filesize: " + std::to_string(text.size()) + " bytes"}));
    EXPECT_EQ(w.st.InFile, nullptr);
    // The file is closed: it can be replaced at once.
    std::filesystem::remove(xplPath());
    EXPECT_FALSE(std::filesystem::exists(xplPath()));
    // The memo is shown again with what was read, up to the bad item; Read XPL can be pressed.
    EXPECT_TRUE(w.mXPL.visible());
    EXPECT_EQ(w.mXPL.lines(), (Lines{"<Playlist>", "  <VideoAttributeItem index=\"1\" codec=\"VC-1\"/>",
                                     "  <AudioAttributeItem index=\"first\" codec=\"DD+\"/>"}));
    EXPECT_TRUE(w.bReadXPL.usable());
    EXPECT_EQ(w.xpl.XPLvideo[1], "VC-1");
    EXPECT_EQ(w.PageControl.activePage(), tsXPL);
}

TEST_F(ReadXpl, AFileThatCannotBeOpenedEndsTheCommandBeforeTheMemoIsTouched) {
    chooseEvo("FEATURE_1.EVO"); // ADV_OBJ/VPLST000.XPL does not exist
    w.mXPL.setLines({"from before"});
    logStart = w.mMessage.lines().size();
    try {
        w.bReadXPLClick();
        FAIL() << "no error";
    } catch (const Error& e) {
        const std::string prefix = "Cannot open file \"" + xplPath() + "\". ";
        EXPECT_EQ(std::string(e.what()).substr(0, prefix.size()), prefix);
        EXPECT_GT(std::string(e.what()).size(), prefix.size()); // the system's reason follows
    }
    EXPECT_TRUE(logged().empty());
    EXPECT_EQ(w.mXPL.lines(), Lines{"from before"});
    EXPECT_TRUE(w.mXPL.visible());
    EXPECT_TRUE(w.bReadXPL.usable());
    EXPECT_EQ(w.st.InFile, nullptr);
    expectAllBoxesReset();
}

TEST_F(ReadXpl, NothingHappensWhileTheButtonIsHeldOrDisabled) {
    chooseEvo("FEATURE_1.EVO");
    writeXpl(testing::workedExampleText());
    w.bReadXPL.setHeld(true);
    EXPECT_TRUE(press().empty());
    w.bReadXPL.setHeld(false);
    w.bReadXPL.setEnabled(false);
    EXPECT_TRUE(press().empty());
    EXPECT_EQ(w.tvXPL.nodes(), kDesignTree);
}

// A tag, a closing tag or a comment split between the first two 262,144-byte blocks gives the
// same lines as one that is not: whitespace between two tags moves the block boundary.
class ReadXplBlocks : public ReadXpl, public ::testing::WithParamInterface<std::string> {};

TEST_P(ReadXplBlocks, TheBoundaryFallsAt) {
    const std::string marker = GetParam();
    const std::string text = testing::workedExampleText();
    const std::size_t cut = text.find("<Title"); // the padding goes before the Title line
    const std::size_t at = text.find(marker, cut);
    ASSERT_NE(at, std::string::npos);
    // The boundary falls just before the marker's last byte.
    const std::size_t lastByte = at + marker.size() - 1;
    const std::string padded = text.substr(0, cut) + std::string(262144 - lastByte, ' ') + text.substr(cut);
    ASSERT_EQ(padded.substr(262144 - (marker.size() - 1), marker.size()), marker);
    chooseEvo("FEATURE_1.EVO");
    writeXpl(padded);
    const std::string size = std::to_string(padded.size());
    EXPECT_EQ(press(), (Lines{"Open VPLST000.XPL", "Filesize: " + size + " bytes", "VC-1.stream.0 found!",
                              "DD+.6ch.stream.00.en found!", "DTS.stream.01.fr found!",
                              "RLE.stream.00.en found!", "Done.", ""}));
    EXPECT_EQ(w.mXPL.lines(),
              Lines(testing::workedExampleMemo().begin() + 6, testing::workedExampleMemo().begin() + 16));
    EXPECT_EQ(progress, (Lines{" 262144/" + size + " bytes", " " + size + "/" + size + " bytes", " "}));
}

INSTANTIATE_TEST_SUITE_P(Markers, ReadXplBlocks,
                         ::testing::Values("<T",                     // "<" ends the first block
                                           "<Title displayName=\"M", // inside a value
                                           "</",                     // between "<" and "/" of </Clip>
                                           "\"/>",                   // between "/" and ">"
                                           "\"2\"\r\n",              // between CR and LF inside a tag
                                           "<!-",                    // inside "<!--"
                                           "-->"));                  // between the hyphens and ">"

// --- a whole disc's playlist ------------------------------------------------------------------

Lines featureAudio() {
    return {"MLP.8ch.stream.00.English", "DD+.6ch.stream.01.English",
            "DD+.6ch.stream.02.Fran\xC3\xA7"
            "ais",
            "DTS.6ch.stream.03.Deutsch", "DD+.2ch.stream.04.Director's commentary"};
}

Lines featureSubtitles() {
    return {"2bitRLE.stream.00.English",
            "2bitRLE.stream.01.English SDH",
            "2bitRLE.stream.02.Fran\xC3\xA7"
            "ais",
            "2bitRLE.stream.03.Deutsch",
            "2bitRLE.stream.04.Espa\xC3\xB1ol",
            "2bitRLE.stream.05.Italiano",
            "2bitRLE.stream.06.Nederlands",
            "2bitRLE.stream.07.Portugu\xC3\xAAs",
            "2bitRLE.stream.08.Dansk",
            "2bitRLE.stream.09.Suomi",
            "2bitRLE.stream.10.Norsk",
            "8bitRLE.stream.11.Commentary"};
}

class ReadXplDisc : public ReadXpl {
  protected:
    ReadXplDisc() { writeXpl(testing::lighthousePlaylist()); }
};

TEST_F(ReadXplDisc, EitherFileOfTheFeatureGivesTheFeatureTitle) {
    const std::string size = std::to_string(testing::lighthousePlaylist().size());
    ASSERT_GT(testing::lighthousePlaylist().size(), 10000u);
    Lines chapters;
    for (std::size_t i = 0; i < testing::lighthouseChapterTimes().size(); ++i)
        chapters.push_back(testing::lighthouseChapterTimes()[i] + ": Chapter " + std::to_string(i + 1));
    const std::vector<TreeNode> tree = {
        node("Info",
             {"Title: The Lighthouse Keeper", "Name: The Lighthouse Keeper", "Duration: 02:07:45:18"}),
        node("Video", {"VC-1.stream.0"}), node("Audio", featureAudio()), node("Subtitle", featureSubtitles()),
        node("Chapter", chapters)};
    Lines log = {"Open VPLST000.XPL", "Filesize: " + size + " bytes", "VC-1.stream.0 found!"};
    for (const std::string& a : featureAudio())
        log.push_back(a + " found!");
    for (const std::string& s : featureSubtitles())
        log.push_back(s + " found!");
    log.push_back("Done.");
    log.push_back("");

    for (const char* evo : {"FEATURE_1.EVO", "FEATURE_2.EVO"}) {
        SCOPED_TRACE(evo);
        chooseEvo(evo);
        EXPECT_EQ(press(), log);
        EXPECT_EQ(w.tvXPL.nodes(), tree);
        ASSERT_EQ(w.mXPL.lines().size(), 92u);
        EXPECT_EQ(w.mXPL.lines().front(),
                  R"(    <Title id="FeatureTitle" titleNumber="2" titleDuration="02:07:45:18" )"
                  R"(displayName="The Lighthouse Keeper" parentalLevel="us:4" onEnd="ExtrasTitle">)");
        EXPECT_EQ(w.mXPL.lines()[2], R"(        <Video track="1" mediaAttr="1" angleNumber="1"/>)");
        EXPECT_EQ(w.mXPL.lines().back(), "    </Title>");
        EXPECT_EQ(w.cbVideo[0].caption(), "VC-1.stream.0");
        for (std::size_t i = 0; i < 16; ++i) {
            EXPECT_EQ(w.cbAudio[i].checked(), i < 5) << i;
            EXPECT_EQ(w.cbAudio[i].caption(), i < 5 ? featureAudio()[i] : "No audio stream") << i;
            EXPECT_EQ(w.cbSub[i].checked(), i < 12) << i;
            EXPECT_EQ(w.cbSub[i].caption(), i < 12 ? featureSubtitles()[i] : "No subpicture") << i;
        }
        EXPECT_EQ(w.cbSub[2].hint(), "2bitRLE.stream.02.Fran\xC3\xA7"
                                     "ais");
        EXPECT_EQ(w.xpl.XPLvideo[2], "MPEG-2");
        EXPECT_EQ(w.xpl.XPLaudio[3], "MLP.8ch");
        EXPECT_EQ(w.xpl.XPLsub[2], "8bitRLE");
    }
}

TEST_F(ReadXplDisc, TheExtrasTitle) {
    chooseEvo("EXTRAS_1.EVO");
    press();
    EXPECT_EQ(w.tvXPL.nodes(),
              (std::vector<TreeNode>{
                  node("Info", {"Title: The Lighthouse Keeper", "Name: Making of", "Duration: 00:24:10:00"}),
                  node("Video", {"MPEG-2.stream.0"}), node("Audio", {"DD+.2ch.stream.00.English"}),
                  node("Subtitle", {"8bitRLE.stream.00.English", "8bitRLE.stream.01.Fran\xC3\xA7"
                                                                 "ais"}),
                  node("Chapter", {"00:00:00:00: The coast", "00:08:15:00: Building the set",
                                   "00:16:40:12: Building the set"})}));
    EXPECT_EQ(w.mXPL.lines().size(), 13u);
}

TEST_F(ReadXplDisc, AClipAboveEveryTitleKeepsTheFrontOfTheFileUpToTheFirstTitleEnd) {
    // The first-play clip stands in FirstPlayTitle, which is no "<Title ": nothing above it is
    // cut, and the first closing title tag below it is the trailer's.
    chooseEvo("FP_LOGO.EVO");
    press();
    EXPECT_EQ(w.mXPL.lines().front(), R"(<?xml version="1.0" encoding="UTF-8"?>)");
    EXPECT_EQ(w.mXPL.lines().back(), "    </Title>");
    EXPECT_EQ(w.tvXPL.nodes(),
              (std::vector<TreeNode>{
                  node("Info", {"Title: The Lighthouse Keeper", "Name: Trailer", "Duration: 00:02:31:12"}),
                  node("Video", {"MPEG-2.stream.0"}), node("Audio", {"DD+.2ch.stream.00.Logo sound"}),
                  node("Subtitle"), node("Chapter", {"00:00:00:00: Trailer"})}));
}

TEST_F(ReadXplDisc, AfterAReadOfBothFilesTheChosenFilesTitleIsStillFound) {
    chooseEvo("FEATURE_1.EVO");
    w.st.OutBase = "FEATURE_1_FEATURE_2"; // as Read EVO leaves it with "Continue with second  EVO"
    press();
    EXPECT_EQ(w.tvXPL.nodes()[1], node("Video", {"VC-1.stream.0"}));
    EXPECT_EQ(w.st.OutBase, "FEATURE_1");
}

} // namespace
} // namespace ombrix
