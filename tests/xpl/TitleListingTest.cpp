#include "xpl/TitleListing.h"
#include "WorkedExample.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ombrix::xpl {
namespace {

using Lines = std::vector<std::string>;

// --- trimming ----------------------------------------------------------------------------

struct TrimCase {
    const char* what;
    Lines lines;
    std::string base;
    bool found;
    Lines kept;
};

void PrintTo(const TrimCase& c, std::ostream* os) {
    *os << c.what;
}

class TrimToTitle : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimToTitle, KeepsTheTitleThatNamesTheBase) {
    Lines lines = GetParam().lines;
    EXPECT_EQ(trimToTitle(lines, GetParam().base), GetParam().found);
    EXPECT_EQ(lines, GetParam().kept);
}

const Lines kTwoTitles = {
    R"(<Playlist displayName="Disc">)",
    R"(  <Title displayName="Intro" titleDuration="00:01:00:00">)",
    R"(    <PrimaryAudioVideoClip src="file:///dvddisc/HVDVD_TS/INTRO.MAP"/>)",
    R"(  </Title>)",
    R"(  <Title displayName="FEATURE_1" titleDuration="02:00:00:00">)",
    R"(    <PrimaryAudioVideoClip src="file:///dvddisc/HVDVD_TS/FEATURE_1.MAP"/>)",
    R"(  </Title>)",
    R"(</Playlist>)",
};

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimToTitle,
    ::testing::Values(
        TrimCase{"the worked example keeps its ten title lines", testing::workedExampleMemo(), "FEATURE_1",
                 true,
                 Lines(testing::workedExampleMemo().begin() + 6, testing::workedExampleMemo().begin() + 16)},
        TrimCase{"the second title names the base", kTwoTitles, "INTRO", true,
                 Lines(kTwoTitles.begin() + 1, kTwoTitles.begin() + 4)},
        TrimCase{"base name absent: all lines stay", kTwoTitles, "BONUS_1", false, kTwoTitles},
        TrimCase{"base name only on line 0 counts as absent", kTwoTitles, "Disc", false, kTwoTitles},
        TrimCase{"an empty base name is on line 0", kTwoTitles, "", false, kTwoTitles},
        TrimCase{"no lines", {}, "FEATURE_1", false, {}},
        TrimCase{"the search is case-sensitive", kTwoTitles, "feature_1", false, kTwoTitles},
        TrimCase{"the base only in the title's own start tag: the previous title is taken", kTwoTitles,
                 "FEATURE_1\"", true, Lines(kTwoTitles.begin() + 1, kTwoTitles.begin() + 4)},
        TrimCase{"the base only in the first title's start tag and no title above: the front stays",
                 {"<Playlist>", "  <Title displayName=\"FEATURE_1\">", "  </Title>", "  <Title x=\"2\">",
                  "  </Title>"},
                 "FEATURE_1",
                 true,
                 {"<Playlist>", "  <Title displayName=\"FEATURE_1\">", "  </Title>"}},
        TrimCase{"title tags match in any letter case",
                 {"<p>", "<TITLE a=\"1\">", "<c src=\"F.MAP\"/>", "</title>", "<x/>"},
                 "F.MAP",
                 true,
                 {"<TITLE a=\"1\">", "<c src=\"F.MAP\"/>", "</title>"}},
        TrimCase{"\"<TITLE\" must be followed by a blank",
                 {"<p>", "<TitleSet a=\"1\">", "<c src=\"F\"/>", "</Title>"},
                 "F",
                 true,
                 {"<p>", "<TitleSet a=\"1\">", "<c src=\"F\"/>", "</Title>"}},
        TrimCase{"no closing title tag: the end stays",
                 {"<p>", "<Title a=\"1\">", "<c src=\"F\"/>", "<d/>"},
                 "F",
                 true,
                 {"<Title a=\"1\">", "<c src=\"F\"/>", "<d/>"}},
        TrimCase{"a closing title tag on the new first line cuts nothing",
                 {"<p>", "<Title a=\"</TITLE>\">", "<c src=\"F\"/>", "</Title>", "<d/>"},
                 "F",
                 true,
                 {"<Title a=\"</TITLE>\">", "<c src=\"F\"/>", "</Title>", "<d/>"}}),
    [](const ::testing::TestParamInfo<TrimCase>& info) { return "case" + std::to_string(info.index); });

// --- listing -----------------------------------------------------------------------------

struct Slots {
    std::array<std::int32_t, 16> video, audio;
    std::array<std::int32_t, 32> sub;
    Slots() {
        video.fill(-1);
        audio.fill(-1);
        sub.fill(-1);
    }
    StreamSlots view() {
        return {std::span<std::int32_t, 16>(video), std::span<std::int32_t, 16>(audio),
                std::span<std::int32_t, 16>(sub.data(), 16)};
    }
};

XplState exampleTables() {
    XplState t;
    t.XPLvideo[1] = "VC-1";
    t.XPLaudio[1] = "DD+.6ch";
    t.XPLaudio[2] = "DTS";
    t.XPLsub[1] = "RLE";
    return t;
}

TEST(ListTitle, WorkedExample) {
    Lines lines = testing::workedExampleMemo();
    ASSERT_TRUE(trimToTitle(lines, "FEATURE_1"));
    Slots slots;
    const TitleListing l = listTitle(lines, "Demo", exampleTables(), slots.view());
    EXPECT_EQ(l.info, (Lines{"Title: Demo", "Name: Main", "Duration: 01:30:00:00"}));
    EXPECT_EQ(l.video, (Lines{"VC-1.stream.0"}));
    EXPECT_EQ(l.audio, (Lines{"DD+.6ch.stream.00.en", "DTS.stream.01.fr"}));
    EXPECT_EQ(l.subtitle, (Lines{"RLE.stream.00.en"}));
    EXPECT_EQ(l.chapter, (Lines{"00:00:00:00: Start"}));
    ASSERT_EQ(l.tracks.size(), 4u);
    EXPECT_EQ(l.tracks[0].kind, XplTrack::Kind::Video);
    EXPECT_EQ(l.tracks[1].kind, XplTrack::Kind::Audio);
    EXPECT_EQ(l.tracks[2].number, 2);
    EXPECT_EQ(l.tracks[3].kind, XplTrack::Kind::Subtitle);
    EXPECT_EQ(l.tracks[3].text, "RLE.stream.00.en");
    std::array<std::int32_t, 16> video, audio;
    std::array<std::int32_t, 32> sub;
    video.fill(-1), audio.fill(-1), sub.fill(-1);
    video[0] = audio[0] = audio[1] = sub[0] = 1;
    EXPECT_EQ(slots.video, video);
    EXPECT_EQ(slots.audio, audio);
    EXPECT_EQ(slots.sub, sub);
}

TEST(ListTitle, NoPlaylistTitleNoTitleNode) {
    Slots slots;
    const TitleListing l =
        listTitle({R"(<Title displayName="Main" titleDuration="1">)"}, "", {}, slots.view());
    EXPECT_EQ(l.info, (Lines{"Name: Main", "Duration: 1"}));
}

TEST(ListTitle, StreamNumbersAreWrittenAsSlotsWithALeadingZeroBelowTen) {
    struct Case {
        int number;
        std::string text;
    };
    const Case cases[] = {{1, "DTS.stream.00.x"},
                          {2, "DTS.stream.01.x"},
                          {10, "DTS.stream.09.x"},
                          {11, "DTS.stream.10.x"},
                          {16, "DTS.stream.15.x"}};
    XplState tables;
    tables.XPLaudio[2] = "DTS";
    tables.XPLsub[2] = "DTS";
    for (const Case& c : cases) {
        const std::string n = std::to_string(c.number);
        Slots slots;
        const TitleListing l =
            listTitle({"<Audio streamNumber=\"" + n + "\" mediaAttr=\"2\" description=\"x\"/>",
                       "<Subtitle streamNumber=\"" + n + "\" mediaAttr=\"2\" description=\"x\"/>"},
                      "", tables, slots.view());
        EXPECT_EQ(l.audio, Lines{c.text});
        EXPECT_EQ(l.subtitle, Lines{c.text});
        EXPECT_EQ(slots.audio[static_cast<std::size_t>(c.number - 1)], 1);
        EXPECT_EQ(slots.sub[static_cast<std::size_t>(c.number - 1)], 1);
    }
}

TEST(ListTitle, ATrackListedTwiceIsShownOnceAndItsSecondLineReadsNothing) {
    // The second clip of a feature lists the same tracks again.
    const Lines lines = {
        R"(<Title displayName="Feature" titleDuration="02:10:00:00">)",
        R"(<Clip src="FEATURE_1.MAP">)",
        R"(<Video track="1" mediaAttr="1"/>)",
        R"(<Audio streamNumber="1" mediaAttr="1" description="English"/>)",
        R"(<Subtitle streamNumber="3" mediaAttr="1" description="Deutsch"/>)",
        R"(<Clip src="FEATURE_2.MAP">)",
        R"(<Video track="1" mediaAttr="2"/>)",
        R"(<Audio streamNumber="1" mediaAttr="2" description="Other"/>)",
        R"(<Subtitle streamNumber="3" mediaAttr="1" description="Other"/>)",
        // no description: the holder still has the first line's, since the duplicate read none
        R"(<Audio streamNumber="2" mediaAttr="1"/>)",
        R"(<Subtitle streamNumber="4" mediaAttr="1"/>)",
        R"(</Title>)",
    };
    Slots slots;
    const TitleListing l = listTitle(lines, "", exampleTables(), slots.view());
    EXPECT_EQ(l.video, (Lines{"VC-1.stream.0"}));
    EXPECT_EQ(l.audio, (Lines{"DD+.6ch.stream.00.English", "DD+.6ch.stream.01.English"}));
    EXPECT_EQ(l.subtitle, (Lines{"RLE.stream.02.Deutsch", "RLE.stream.03.Deutsch"}));
    EXPECT_EQ(l.tracks.size(), 5u);
}

TEST(ListTitle, AChapterWithoutANameShowsThePreviousName) {
    const Lines lines = {
        R"(<Chapter titleTimeBegin="00:00:00:00" displayName="Opening"/>)",
        R"(<Chapter titleTimeBegin="00:12:30:10"/>)",
        R"(<Chapter displayName="Finale"/>)",
        R"(<ChapterList>)",
        R"(<chapter titleTimeBegin="01:40:00:00" displayName="Credits"/>)",
    };
    Slots slots;
    const TitleListing l = listTitle(lines, "", {}, slots.view());
    EXPECT_EQ(l.chapter, (Lines{"00:00:00:00: Opening", "00:12:30:10: Opening", "00:12:30:10: Finale",
                                "01:40:00:00: Credits"}));
}

TEST(ListTitle, TitleNameAndDurationKeepTheirLastValues) {
    const Lines lines = {
        R"(<Title displayName="One" titleDuration="00:10:00:00">)",
        R"(</Title>)",
        R"(<Title titleDuration="00:20:00:00">)",
        R"(<Title displayName="Three">)",
    };
    Slots slots;
    const TitleListing l = listTitle(lines, "", {}, slots.view());
    EXPECT_EQ(l.info, (Lines{"Name: One", "Duration: 00:10:00:00", "Name: One", "Duration: 00:20:00:00",
                             "Name: Three", "Duration: 00:20:00:00"}));
}

TEST(ListTitle, VideoTracksOtherThanOneAreListedInTheirSlots) {
    XplState tables;
    tables.XPLvideo[1] = "VC-1";
    tables.XPLvideo[2] = "MPEG-2";
    Slots slots;
    const TitleListing l =
        listTitle({R"(<Video track="2" mediaAttr="2"/>)", R"(<Video track="16" mediaAttr="1"/>)"}, "", tables,
                  slots.view());
    EXPECT_EQ(l.video, (Lines{"MPEG-2.stream.1", "VC-1.stream.15"}));
    EXPECT_EQ(slots.video[1], 1);
    EXPECT_EQ(slots.video[15], 1);
    EXPECT_EQ(slots.video[0], -1);
}

TEST(ListTitle, NumbersOutsideTheirRangesTouchNoSlotAndAreShownOnce) {
    XplState tables = exampleTables();
    const Lines lines = {
        R"(<Video mediaAttr="1"/>)",                                   // track missing: 0
        R"(<Video track="17" mediaAttr="1"/>)",                        // past the 16 slots
        R"(<Audio streamNumber="0" mediaAttr="1" description="a"/>)",  // 0
        R"(<Audio mediaAttr="2" description="b"/>)",                   // missing: 0 again
        R"(<Audio streamNumber="17" mediaAttr="1" description="c"/>)", // past the 16 slots
        R"(<Subtitle streamNumber="-2" mediaAttr="1" description="d"/>)",
        R"(<Subtitle streamNumber="32" mediaAttr="1" description="e"/>)",
        R"(<Audio streamNumber="3" mediaAttr="9" description="f"/>)", // no entry 9
        R"(<Audio streamNumber="4" description="g"/>)",               // mediaAttr missing: 0
        R"(<Video track="-2147483648" mediaAttr="1"/>)",              // the lowest number there is
        R"(<Audio streamNumber="-2147483648" mediaAttr="1" description="h"/>)",
    };
    Slots slots;
    slots.sub[16] = 7; // beyond the reader's slots: left alone
    const TitleListing l = listTitle(lines, "", tables, slots.view());
    EXPECT_EQ(l.video, (Lines{"VC-1.stream.-1", "VC-1.stream.16", "VC-1.stream.-2147483649"}));
    EXPECT_EQ(l.audio, (Lines{"DD+.6ch.stream.0-1.a", "DD+.6ch.stream.16.c", ".stream.02.f", ".stream.03.g",
                              "DD+.6ch.stream.0-2147483649.h"}));
    EXPECT_EQ(l.subtitle, (Lines{"RLE.stream.0-3.d", "RLE.stream.31.e"}));
    EXPECT_TRUE(std::all_of(slots.video.begin(), slots.video.end(), [](int k) { return k == -1; }));
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_EQ(slots.audio[i], i == 2 || i == 3 ? 1 : -1) << i;
    for (std::size_t i = 0; i < 32; ++i)
        EXPECT_EQ(slots.sub[i], i == 16 ? 7 : -1) << i;
    ASSERT_EQ(l.tracks.size(), 10u);
    EXPECT_EQ(l.tracks[0].number, 0);
    EXPECT_EQ(l.tracks[1].number, 17);
}

TEST(ListTitle, OnlyTagsWithABlankAfterTheirNameAreTracks) {
    // Track navigation entries name the tracks too, but are not the clip's tracks.
    const Lines lines = {
        R"(<VideoTrack number="1"/>)",
        R"(<AudioTrack number="1" streamNumber="1" description="x"/>)",
        R"(<SubtitleTrack number="1" streamNumber="1"/>)",
        R"(<ChapterList>)",
        R"(<Titles a="1">)",
    };
    Slots slots;
    const TitleListing l = listTitle(lines, "", exampleTables(), slots.view());
    EXPECT_TRUE(l.video.empty());
    EXPECT_TRUE(l.audio.empty());
    EXPECT_TRUE(l.subtitle.empty());
    EXPECT_TRUE(l.chapter.empty());
    EXPECT_TRUE(l.info.empty());
}

TEST(ListTitle, TagNamesMatchInAnyLetterCase) {
    Slots slots;
    const TitleListing l = listTitle({R"(<VIDEO track="1" mediaAttr="1"/>)",
                                      R"(<audio streamNumber="1" mediaAttr="1" description="en"/>)"},
                                     "", exampleTables(), slots.view());
    EXPECT_EQ(l.video, (Lines{"VC-1.stream.0"}));
    EXPECT_EQ(l.audio, (Lines{"DD+.6ch.stream.00.en"}));
}

} // namespace
} // namespace ombrix::xpl
