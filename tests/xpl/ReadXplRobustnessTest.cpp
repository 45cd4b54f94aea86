// Damaged playlists: random mixtures of the playlist's own pieces and stray bytes never make
// Read XPL touch anything out of its bounds; each read ends normally or with the bad-index
// error, and leaves the window usable.

#include "engine/Errors.h"
#include "support/HeadlessPlatform.h"
#include "support/TempDir.h"
#include "window/Main.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace ombrix {
namespace {

const char* const kPieces[] = {
    "<",
    ">",
    "/",
    "?",
    "-",
    "\"",
    "=",
    " ",
    "\r\n",
    "\t",
    "<!--",
    "-->",
    "/>",
    "</",
    "<Title ",
    "</Title>",
    "<Video ",
    "<Audio ",
    "<Subtitle ",
    "<Chapter ",
    "<Playlist ",
    "track=",
    "mediaAttr=",
    "streamNumber=",
    "description=",
    "displayName=",
    "titleDuration=",
    "titleTimeBegin=",
    "index=",
    "codec=",
    "channels=",
    "\"1\"",
    "\"2\"",
    "\"0\"",
    "\"-1\"",
    "\"9\"",
    "\"16\"",
    "\"17\"",
    "\"32\"",
    "\"2147483647\"",
    "\"-2147483648\"",
    "FEATURE_1",
    "VideoAttributeItem ",
    "AudioAttributeItem ",
    "SubpictureAttributeItem ",
};

std::string randomPlaylist(std::mt19937& rng) {
    std::uniform_int_distribution<int> pieces(0, static_cast<int>(std::size(kPieces)) - 1);
    std::uniform_int_distribution<int> length(0, 400);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> stray(0, 9);
    std::string text;
    const int n = length(rng);
    for (int i = 0; i < n; ++i) {
        if (stray(rng) == 0)
            text += static_cast<char>(byte(rng));
        else
            text += kPieces[pieces(rng)];
    }
    return text;
}

TEST(ReadXplRobustness, RandomPlaylistsEndCleanly) {
    testing::TempDir dir;
    std::filesystem::create_directories(dir.file("HVDVD_TS"));
    std::filesystem::create_directories(dir.file("ADV_OBJ"));
    const std::string xpl = dir.file("ADV_OBJ") + "/VPLST000.XPL";
    testing::HeadlessPlatform platform;
    TfMain w(platform);
    w.FormActivate();
    w.eEVOfile.setText(dir.file("HVDVD_TS") + "/FEATURE_1.EVO");
    w.EVOadj();

    std::mt19937 rng(20070514);
    int completed = 0, badIndex = 0;
    for (int round = 0; round < 400; ++round) {
        const std::string text = randomPlaylist(rng);
        testing::writeFile(xpl, std::vector<std::uint8_t>(text.begin(), text.end()));
        try {
            w.bReadXPLClick();
            ++completed;
            ASSERT_EQ(w.mMessage.lines().back(), "");
            ASSERT_EQ(w.mMessage.lines()[w.mMessage.lines().size() - 2], "Done.");
            for (auto k : w.st.VideoKey)
                ASSERT_TRUE(k == -1 || k == 1);
            for (auto k : w.st.AudioKey)
                ASSERT_TRUE(k == -1 || k == 1);
            for (std::size_t i = 0; i < w.st.SubKey.size(); ++i)
                ASSERT_TRUE(w.st.SubKey[i] == -1 || (i < 16 && w.st.SubKey[i] == 1)) << i;
            // A ticked box is one whose slot the playlist listed.
            for (std::size_t i = 0; i < 16; ++i) {
                ASSERT_EQ(w.cbAudio[i].checked(), w.st.AudioKey[i] == 1) << i;
                ASSERT_EQ(w.cbSub[i].checked(), w.st.SubKey[i] == 1) << i;
            }
        } catch (const Error& e) {
            ++badIndex;
            const std::string message = e.what();
            const std::string tail = "' is not a valid integer value";
            ASSERT_GE(message.size(), tail.size() + 1) << message;
            ASSERT_EQ(message.substr(message.size() - tail.size()), tail) << message;
        }
        ASSERT_EQ(w.st.InFile, nullptr);
        ASSERT_TRUE(w.mXPL.visible());
        ASSERT_TRUE(w.bReadXPL.usable());
    }
    // Both ways of ending were met.
    EXPECT_GT(completed, 50);
    EXPECT_GT(badIndex, 50);
}

} // namespace
} // namespace ombrix
