// Hostile playlists: numbers that are no whole numbers or lie outside every table, and tens of
// megabytes of nested tags. The read either ends with the conversion error or lists what it
// can; nothing is written outside the tables and the file is closed.

#include "CliRun.h"
#include "support/HeadlessPlatform.h"
#include "support/TempDir.h"
#include "window/Main.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace ombrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::TempDir;
namespace fs = std::filesystem;

std::string playlist(const std::string& items, const std::string& tracks) {
    return "<?xml version=\"1.0\"?>\r\n<Playlist displayName=\"Hostile\">\r\n" + items +
           "<Title displayName=\"Main\" titleDuration=\"01:30:00:00\">\r\n<Clip file=\"FEATURE_1.MAP\">\r\n" +
           tracks + "</Clip>\r\n</Title>\r\n</Playlist>\r\n";
}

struct Disc {
    TempDir dir;
    std::string evo = dir.file("HVDVD_TS") + "/FEATURE_1.EVO";
    std::string xpl = dir.file("ADV_OBJ") + "/VPLST000.XPL";
    Disc() {
        fs::create_directories(dir.file("HVDVD_TS"));
        fs::create_directories(dir.file("ADV_OBJ"));
        testing::writeFile(evo, {});
    }
    void write(const std::string& text) const { testing::writeFile(xpl, Bytes(text.begin(), text.end())); }
    testing::CliResult run() const { return testing::runCli(dir.path(), {"xpl", "--evo", evo, xpl}); }
};

struct Window {
    testing::HeadlessPlatform platform;
    TfMain w{platform};
    explicit Window(const Disc& d) {
        w.FormShow();
        w.FormActivate();
        w.eEVOfile.setText(d.evo);
        w.EVOadj();
    }
    void press() {
        try {
            w.bReadXPLClick();
        } catch (const std::exception& e) {
            platform.showError(e.what());
        }
    }
};

TEST(HostilePlaylist, AnIndexThatIsNoWholeNumberEndsTheReadWithTheConversionError) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"index=\"1.5\"", "1.5"},
        {"index=\"x\"", "x"},
        {"index=\"\"", ""},
        {"index=\"2147483648\"", "2147483648"},
        {"index=\"-2147483649\"", "-2147483649"},
        {"codec=\"no index\"", ""},
    };
    for (const auto& [attribute, shown] : cases) {
        SCOPED_TRACE(attribute);
        Disc d;
        const std::string text = playlist("<AudioAttributeItem " + attribute + "/>\r\n", "");
        d.write(text);
        const testing::CliResult r = d.run();
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "'" + shown + "' is not a valid integer value\n");
        EXPECT_EQ(r.out, (std::vector<std::string>{"Open VPLST000.XPL",
                                                   "Filesize: " + std::to_string(text.size()) + " bytes"}));

        Window win(d);
        win.press();
        EXPECT_EQ(win.platform.errors,
                  std::vector<std::string>{"'" + shown + "' is not a valid integer value"});
        EXPECT_EQ(win.w.st.InFile, nullptr);
    }
}

TEST(HostilePlaylist, NumbersOutsideTheTablesTickNoBoxAndTouchNoEntry) {
    Disc d;
    std::string items;
    for (const char* index : {"0", "9", "17", "2147483647", "-1", "-2147483648"})
        items += std::string("<AudioAttributeItem index=\"") + index + "\" codec=\"A" + index + "\"/>\r\n" +
                 "<VideoAttributeItem index=\"" + index + "\" codec=\"V" + index + "\"/>\r\n" +
                 "<SubpictureAttributeItem index=\"" + index + "\" codec=\"S" + index + "\"/>\r\n";
    std::string tracks;
    for (const char* n : {"0", "9", "16", "17", "2147483648", "2147483647", "-2147483648", "-1"}) {
        tracks += std::string("<Video track=\"") + n + "\" mediaAttr=\"" + n + "\"/>\r\n";
        tracks +=
            std::string("<Audio streamNumber=\"") + n + "\" mediaAttr=\"" + n + "\" description=\"a\"/>\r\n";
        tracks += std::string("<Subtitle streamNumber=\"") + n + "\" mediaAttr=\"" + n +
                  "\" description=\"s\"/>\r\n";
    }
    d.write(playlist(items, tracks));

    Window win(d);
    win.press();
    ASSERT_TRUE(win.platform.errors.empty()) << win.platform.errors[0];
    EXPECT_EQ(win.w.st.InFile, nullptr);
    const auto& log = win.w.mMessage.lines();
    EXPECT_EQ(std::count(log.begin(), log.end(), "Done."), 1);
    // Only the numbers 1 to 16 have boxes: 9 and 16 here (video: track 1 only).
    for (std::size_t i = 0; i < 16; ++i) {
        const bool listed = i == 8 || i == 15;
        EXPECT_EQ(win.w.cbAudio[i].checked(), listed) << "audio " << i;
        EXPECT_EQ(win.w.cbSub[i].checked(), listed) << "subpicture " << i;
        EXPECT_EQ(win.w.st.AudioKey[i], listed ? 1 : -1) << "audio slot " << i;
        EXPECT_EQ(win.w.st.SubKey[i], listed ? 1 : -1) << "subpicture slot " << i;
    }
    for (std::size_t i = 16; i < 32; ++i)
        EXPECT_EQ(win.w.st.SubKey[i], -1) << "subpicture slot " << i;
    for (const auto& cb : win.w.cbVideo)
        EXPECT_FALSE(cb.checked());
    // The attribute tables keep their entries 1 to 8 empty: every index lay outside them.
    for (int i = XplState::kFirstEntry; i <= XplState::kLastEntry; ++i) {
        const auto k = static_cast<std::size_t>(i);
        EXPECT_EQ(win.w.xpl.XPLaudio[k], "");
        EXPECT_EQ(win.w.xpl.XPLvideo[k], "");
        EXPECT_EQ(win.w.xpl.XPLsub[k], "");
    }

    const testing::CliResult r = d.run();
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
}

TEST(HostilePlaylist, FiftyMegabytesOfNestedTagsAreReadToTheEnd) {
    Disc d;
    // Closing tags without opening ones, then 50,000 tags of 1 KiB each, every one inside the last.
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "</x>";
    const std::string tag = "<Title displayName=\"" + std::string(1000, 'n') + "\">";
    const std::size_t nested = 50 * 1000 * 1000 / tag.size();
    text.reserve(text.size() + nested * tag.size());
    for (std::size_t i = 0; i < nested; ++i)
        text += tag;
    d.write(text);

    Window win(d);
    win.press();
    ASSERT_TRUE(win.platform.errors.empty()) << win.platform.errors[0];
    EXPECT_EQ(win.w.st.InFile, nullptr);
    const auto& log = win.w.mMessage.lines();
    EXPECT_EQ(std::count(log.begin(), log.end(), "Done."), 1);
    EXPECT_EQ(std::find(log.begin(), log.end(), "Filesize: " + std::to_string(text.size()) + " bytes") -
                  log.begin(),
              1);
    // The base name is nowhere, so the memo keeps every tag, each on its line; the indent stops
    // growing at its limit, so no line outgrows its tag by more than that.
    const auto& memo = win.w.mXPL.lines();
    EXPECT_EQ(memo.size(), 100000 + nested);
    const std::size_t longest = std::max_element(memo.begin(), memo.end(), [](const auto& a, const auto& b) {
                                    return a.size() < b.size();
                                })->size();
    EXPECT_LE(longest, tag.size() + 2 * 64);
    EXPECT_EQ(memo.back().substr(memo.back().size() - tag.size()), tag);
}

} // namespace
} // namespace ombrix
