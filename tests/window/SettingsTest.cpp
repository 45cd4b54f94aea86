// Loading and saving the user's settings through the window's activation and close.

#include "engine/Errors.h"
#include "support/HeadlessPlatform.h"
#include "window/Main.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <tuple>

namespace ombrix {
namespace {

using testing::HeadlessPlatform;
using Value = testing::MemorySettingsStore::Value;
using Bytes = std::vector<std::uint8_t>;

const std::vector<std::string> kAllSaved = {"WindowState", "Top",      "Left",     "Width",     "Height",
                                            "TreeWidth",   "AudioExt", "VideoExt", "SubExt",    "Workdir",
                                            "EVOdir",      "XPLdir",   "Continue", "FastCheck", "CountFrames",
                                            "Details",     "Install"};

Bytes littleEndian(double days) {
    const auto bits = std::bit_cast<std::uint64_t>(days);
    Bytes b;
    for (int i = 0; i < 8; ++i)
        b.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    return b;
}

struct Look {
    int left, top, width, height, state, treeWidth;
    std::string audio, video, sub, workdir, evoDir, xplDir;
    bool cont, fast, count, details;
    bool operator==(const Look&) const = default;
};

Look look(TfMain& w) {
    return {w.frame.left,
            w.frame.top,
            w.frame.width,
            w.frame.height,
            w.frame.state,
            w.tvXPL.width(),
            w.eAudioExt.text(),
            w.eVideoExt.text(),
            w.eSubExt.text(),
            w.eWorkdir.text(),
            w.st.EVOdir,
            w.st.XPLdir,
            w.cbContinue.checked(),
            w.cbFastCheck.checked(),
            w.cbCountFr.checked(),
            w.cbDetails.checked()};
}

std::ostream& operator<<(std::ostream& os, const Look& l) {
    return os << l.left << ',' << l.top << ' ' << l.width << 'x' << l.height << " state " << l.state
              << " tree " << l.treeWidth << " ext " << l.video << '/' << l.audio << '/' << l.sub
              << " workdir '" << l.workdir << "' evo '" << l.evoDir << "' xpl '" << l.xplDir << "' options "
              << l.cont << l.fast << l.count << l.details;
}

const Look kDefaults = {0,    0,    370,  380, WindowFrame::Normal, 96, "mpa", "mpv", "sup", "", "", "",
                        true, true, true, true};

class SettingsTest : public ::testing::Test {
  protected:
    HeadlessPlatform platform;
    testing::MemorySettingsStore& store = platform.store;

    void preset(std::initializer_list<std::pair<const std::string, Value>> values) {
        store.keyExists = true;
        store.values = values;
    }

    // A user's choices, all different from the defaults.
    static void customise(TfMain& w) {
        w.frame.left = 120;
        w.frame.top = -8;
        w.frame.width = 640;
        w.frame.height = 512;
        w.tvXPL.setWidth(150);
        w.eAudioExt.setText("ac3");
        w.eVideoExt.setText("vc1");
        w.eSubExt.setText("sub");
        w.eWorkdir.setText("D:\\Out\\");
        w.st.EVOdir = "E:\\HVDVD_TS\\";
        w.st.XPLdir = "E:\\ADV_OBJ\\";
        w.cbContinue.setChecked(false);
        w.cbFastCheck.setChecked(true);
        w.cbCountFr.setChecked(false);
        w.cbDetails.setChecked(true);
    }
};

TEST_F(SettingsTest, FirstRunKeepsTheLayoutDefaultsAndCreatesNoKey) {
    TfMain w(platform);
    w.FormActivate();
    EXPECT_EQ(look(w), kDefaults);
    EXPECT_FALSE(store.keyExists);
    EXPECT_TRUE(store.writeOrder.empty());
    EXPECT_EQ(w.cbVideo[0].caption(), "No video stream");
}

TEST_F(SettingsTest, KeyThatCannotBeOpenedLoadsAndSavesNothing) {
    store.openFails = true;
    store.values = {{"Width", 800}};
    TfMain w(platform);
    w.FormActivate();
    EXPECT_EQ(look(w), kDefaults);
    customise(w);
    EXPECT_TRUE(w.FormClose());
    EXPECT_TRUE(store.writeOrder.empty());
    EXPECT_EQ(store.values.size(), 1u);
    EXPECT_TRUE(platform.errors.empty());
}

TEST_F(SettingsTest, NormalCloseSavesAllSeventeenValuesInOrderAndInstallOnce) {
    platform.clock = 46372.625; // 2026-12-16 15:00
    platform.clockStep = 1.0;
    TfMain w(platform);
    w.FormActivate();
    customise(w);
    ASSERT_TRUE(w.FormClose());
    EXPECT_FALSE(store.keyOpen);

    EXPECT_EQ(store.writeOrder, kAllSaved);
    const std::map<std::string, Value> expected = {
        {"WindowState", 0},
        {"Top", -8},
        {"Left", 120},
        {"Width", 640},
        {"Height", 512},
        {"TreeWidth", 150},
        {"AudioExt", std::string("ac3")},
        {"VideoExt", std::string("vc1")},
        {"SubExt", std::string("sub")},
        {"Workdir", std::string("D:\\Out\\")},
        {"EVOdir", std::string("E:\\HVDVD_TS\\")},
        {"XPLdir", std::string("E:\\ADV_OBJ\\")},
        {"Continue", 0},
        {"FastCheck", 1},
        {"CountFrames", 0},
        {"Details", 1},
        {"Install", Bytes{0x00, 0x00, 0x00, 0x00, 0x94, 0xA4, 0xE6, 0x40}},
    };
    EXPECT_EQ(store.values, expected);
    EXPECT_EQ(std::get<Bytes>(store.values["Install"]), littleEndian(46372.625));

    // A second close in a later session leaves "Install" as the first one wrote it.
    store.writeOrder.clear();
    TfMain again(platform);
    again.FormActivate();
    ASSERT_TRUE(again.FormClose());
    EXPECT_EQ(store.writeOrder, std::vector<std::string>(kAllSaved.begin(), kAllSaved.end() - 1));
    EXPECT_EQ(std::get<Bytes>(store.values["Install"]), littleEndian(46372.625));
}

TEST_F(SettingsTest, WhatOneSessionSavesTheNextOneRestores) {
    Look saved;
    {
        TfMain w(platform);
        w.FormActivate();
        customise(w);
        w.frame.state = WindowFrame::Minimized;
        saved = look(w);
        ASSERT_TRUE(w.FormClose());
    }
    TfMain next(platform);
    next.FormActivate();
    EXPECT_EQ(look(next), saved);
}

TEST_F(SettingsTest, MaximisedCloseKeepsTheEarlierBoundsAndTheNextStartMaximisesAfterPlacing) {
    preset({{"WindowState", 0}, {"Top", 40}, {"Left", 30}, {"Width", 500}, {"Height", 420}});
    {
        TfMain w(platform);
        w.FormActivate();
        w.frame.state = WindowFrame::Maximized;
        w.frame.left = 0;
        w.frame.top = 0;
        w.frame.width = 1920;
        w.frame.height = 1080;
        ASSERT_TRUE(w.FormClose());
    }
    EXPECT_EQ(store.writeOrder, (std::vector<std::string>{"WindowState", "TreeWidth", "AudioExt", "VideoExt",
                                                          "SubExt", "Workdir", "EVOdir", "XPLdir", "Continue",
                                                          "FastCheck", "CountFrames", "Details", "Install"}));
    EXPECT_EQ(store.values["WindowState"], Value(2));
    EXPECT_EQ(store.values["Top"], Value(40));
    EXPECT_EQ(store.values["Left"], Value(30));
    EXPECT_EQ(store.values["Width"], Value(500));
    EXPECT_EQ(store.values["Height"], Value(420));

    // Every change the view is told about, in order: the bounds come before the state.
    TfMain next(platform);
    std::vector<std::tuple<int, int, int, int, int>> seen;
    next.frame.onChange = [&] {
        seen.emplace_back(next.frame.left, next.frame.top, next.frame.width, next.frame.height,
                          next.frame.state);
    };
    next.FormActivate();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), std::make_tuple(30, 40, 500, 420, int(WindowFrame::Maximized)));
    for (std::size_t i = 0; i + 1 < seen.size(); ++i)
        EXPECT_EQ(std::get<4>(seen[i]), WindowFrame::Normal) << i;
}

TEST_F(SettingsTest, KeyHoldingOnlyFastCheckOffChangesOnlyThatOption) {
    preset({{"FastCheck", 0}});
    TfMain w(platform);
    w.FormActivate();
    Look expected = kDefaults;
    expected.fast = false;
    EXPECT_EQ(look(w), expected);
}

TEST_F(SettingsTest, OptionsAreStoredAsNumbersAndAnyNonZeroNumberReadsTicked) {
    {
        TfMain w(platform);
        w.FormActivate();
        w.cbCountFr.setChecked(false);
        ASSERT_TRUE(w.FormClose());
    }
    EXPECT_EQ(store.values["CountFrames"], Value(0));
    EXPECT_EQ(store.values["Continue"], Value(1));

    preset({{"Continue", -1}, {"FastCheck", 7}, {"CountFrames", 0}, {"Details", 0x10000}});
    TfMain w(platform);
    w.FormActivate();
    EXPECT_TRUE(w.cbContinue.checked());
    EXPECT_TRUE(w.cbFastCheck.checked());
    EXPECT_FALSE(w.cbCountFr.checked());
    EXPECT_TRUE(w.cbDetails.checked());
}

TEST_F(SettingsTest, StoredNumbersApplyAsTheyAreExceptBelowTheMinimumSize) {
    struct Case {
        int width, height, left, top;
        int wantWidth, wantHeight;
    } cases[] = {
        {200, 100, -50, 5000, 370, 380}, {369, 379, 0, 0, 370, 380}, {370, 380, 3000, -3000, 370, 380},
        {4000, 3000, 1, 2, 4000, 3000},  {-10, 0, 0, 0, 370, 380},
    };
    for (const Case& c : cases) {
        preset({{"Width", c.width},
              {"Height", c.height},
              {"Left", c.left},
              {"Top", c.top},
              {"TreeWidth", 2000}});
        TfMain w(platform);
        w.FormActivate();
        EXPECT_EQ(w.frame.width, c.wantWidth) << c.width;
        EXPECT_EQ(w.frame.height, c.wantHeight) << c.height;
        EXPECT_EQ(w.frame.left, c.left);
        EXPECT_EQ(w.frame.top, c.top);
        EXPECT_EQ(w.tvXPL.width(), 2000);
    }
}

TEST_F(SettingsTest, WindowStateNumbersThatNameNoStateLeaveTheStateAlone) {
    for (int stored : {-1, 3, 255}) {
        preset({{"WindowState", stored}, {"Width", 600}});
        TfMain w(platform);
        w.FormActivate();
        EXPECT_EQ(w.frame.state, WindowFrame::Normal) << stored;
        EXPECT_EQ(w.frame.width, 600);
    }
    preset({{"WindowState", 1}});
    TfMain w(platform);
    w.FormActivate();
    EXPECT_EQ(w.frame.state, WindowFrame::Minimized);
}

TEST_F(SettingsTest, WrongTypedValueStopsTheLoadNamingItAndKeepsWhatCameBefore) {
    const std::map<std::string, Value> full = {
        {"WindowState", 0},
        {"Top", 11},
        {"Left", 22},
        {"Width", 600},
        {"Height", 500},
        {"TreeWidth", 120},
        {"AudioExt", std::string("ac3")},
        {"VideoExt", std::string("vc1")},
        {"SubExt", std::string("sub")},
        {"Workdir", std::string("D:\\")},
        {"EVOdir", std::string("E:\\")},
        {"XPLdir", std::string("F:\\")},
        {"Continue", 0},
        {"FastCheck", 0},
        {"CountFrames", 0},
        {"Details", 0},
    };
    // The load order, and what each value shows once applied.
    const std::vector<std::string> order = {
        "Width",  "Height",  "Top",    "Left",   "WindowState", "TreeWidth", "AudioExt",    "VideoExt",
        "SubExt", "Workdir", "EVOdir", "XPLdir", "Continue",    "FastCheck", "CountFrames", "Details"};
    const Look all = {22,    11,     600,    500,    0,     120,   "ac3", "vc1",
                      "sub", "D:\\", "E:\\", "F:\\", false, false, false, false};
    auto part = [&](std::size_t applied) {
        Look l = kDefaults;
        const Look* src[] = {&kDefaults, &all};
        auto from = [&](std::size_t i) { return src[i < applied ? 1 : 0]; };
        l.width = from(0)->width;
        l.height = from(1)->height;
        l.top = from(2)->top;
        l.left = from(3)->left;
        l.state = from(4)->state;
        l.treeWidth = from(5)->treeWidth;
        l.audio = from(6)->audio;
        l.video = from(7)->video;
        l.sub = from(8)->sub;
        l.workdir = from(9)->workdir;
        l.evoDir = from(10)->evoDir;
        l.xplDir = from(11)->xplDir;
        l.cont = from(12)->cont;
        l.fast = from(13)->fast;
        l.count = from(14)->count;
        l.details = from(15)->details;
        return l;
    };

    for (std::size_t bad = 0; bad < order.size(); ++bad) {
        const std::string& name = order[bad];
        SCOPED_TRACE(name);
        store.keyExists = true;
        store.values = full;
        // A text where a number belongs, a number where a text belongs, binary data anywhere.
        if (std::holds_alternative<std::int32_t>(full.at(name)))
            store.values[name] = std::string("1");
        else
            store.values[name] = 1;
        for (const Value& wrong : {store.values[name], Value(Bytes{1, 2, 3, 4, 5, 6, 7, 8})}) {
            store.values[name] = wrong;
            TfMain w(platform);
            try {
                w.RegRead();
                ADD_FAILURE() << "no error";
            } catch (const Error& e) {
                EXPECT_STREQ(e.what(), ("Invalid data type for '" + name + "'").c_str());
            }
            EXPECT_EQ(look(w), part(bad));
            EXPECT_FALSE(store.keyOpen);
        }
    }
}

TEST_F(SettingsTest, WrongTypedInstallIsNeverLookedAt) {
    preset({{"Install", std::string("yesterday")}, {"Width", 640}});
    TfMain w(platform);
    w.FormActivate();
    EXPECT_EQ(w.frame.width, 640);
    ASSERT_TRUE(w.FormClose());
    EXPECT_EQ(store.values["Install"], Value(std::string("yesterday")));
    EXPECT_EQ(store.writeOrder.back(), "Details");
}

TEST_F(SettingsTest, FailedLoadAtActivationStillResetsTheStreamBoxes) {
    preset({{"Width", 640}, {"TreeWidth", std::string("wide")}});
    TfMain w(platform);
    EXPECT_THROW(w.FormActivate(), Error);
    EXPECT_EQ(w.frame.width, 640);
    for (const auto& cb : w.cbVideo)
        EXPECT_EQ(cb.caption(), "No video stream");
    for (const auto& cb : w.cbAudio)
        EXPECT_EQ(cb.caption(), "No audio stream");
    for (const auto& cb : w.cbSub)
        EXPECT_EQ(cb.caption(), "No subpicture");
    EXPECT_FALSE(w.bDemux.enabled());
}

} // namespace
} // namespace ombrix
