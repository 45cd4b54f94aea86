#include "xpl/Attributes.h"
#include "engine/Errors.h"
#include "xpl/PlaylistAttributes.h"

#include <gtest/gtest.h>

namespace ombrix::xpl {
namespace {

struct LookupCase {
    const char* what;
    std::string line;
    std::string name;
    std::string value;
};

void PrintTo(const LookupCase& c, std::ostream* os) {
    *os << c.what;
}

class GetAttrLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(GetAttrLookup, FindsTheValue) {
    std::string holder = "before";
    EXPECT_EQ(GetAttr(GetParam().line, GetParam().name, holder), GetParam().value);
    EXPECT_EQ(holder, GetParam().value);
}

const std::string kLongGap(260, ' ');

INSTANTIATE_TEST_SUITE_P(
    Cases, GetAttrLookup,
    ::testing::Values(
        LookupCase{"plain", R"(<Audio streamNumber="2" description="fr"/>)", "description", "fr"},
        LookupCase{"the name in any letter case, the value in its own",
                   R"(<Title displayName="Main Feature">)", "DISPLAYNAME", "Main Feature"},
        LookupCase{"blanks around the equals sign", R"(<a  codec = "DD+" />)", "codec", "DD+"},
        LookupCase{"the first occurrence, also inside a longer name",
                   R"(<Chapter displayNameShort="S" displayName="Long"/>)", "displayName", "S"},
        LookupCase{"the first occurrence, also inside a value", R"(<Item codec="index=7" index="2"/>)",
                   "index", " index="},
        LookupCase{"single quotes are not quotes", R"(<a x='1' y="2"/>)", "x", "2"},
        LookupCase{"no double quote after the name gives an empty value", R"(<a x=1 y=2/>)", "x", ""},
        LookupCase{"one double quote only gives an empty value", R"(<a x="1/>)", "x", ""},
        LookupCase{"an empty value", R"(<a x="" y="2"/>)", "x", ""},
        LookupCase{"no equals sign: the next quoted text", R"(<a x "v"/>)", "x", "v"},
        LookupCase{"the value must close within 255 characters after the name",
                   "<a x=" + std::string(250, ' ') + "\"abcdef\"/>", "x", ""},
        LookupCase{"a value closing at the 255th character counts",
                   "<a x=" + std::string(250, ' ') + "\"ab\"/>", "x", "ab"},
        LookupCase{"a value beyond the window is not seen", "<a x=" + kLongGap + "\"v\"/>", "x", ""}),
    [](const ::testing::TestParamInfo<LookupCase>& info) { return "case" + std::to_string(info.index); });

TEST(GetAttr, AFailedLookupLeavesTheHolderWithItsLastValue) {
    std::string holder;
    EXPECT_EQ(GetAttr(R"(<Chapter displayName="One"/>)", "displayName", holder), "One");
    EXPECT_EQ(GetAttr(R"(<Chapter titleTimeBegin="00:10:00:00"/>)", "displayName", holder), "One");
    EXPECT_EQ(GetAttr(R"(<Chapter displayName=""/>)", "displayName", holder), "");
    EXPECT_EQ(GetAttr(R"(<Chapter/>)", "displayName", holder), "");
    EXPECT_EQ(GetAttr(R"(<Chapter displayName="Two"/>)", "displayName", holder), "Two");
}

struct IntCase {
    std::string line;
    std::int32_t value;
};

TEST(GetAttrInt, WholeNumbersOrZero) {
    const IntCase cases[] = {
        {R"(<Audio streamNumber="11"/>)", 11},
        {R"(<Audio streamNumber="-3"/>)", -3},
        {R"(<Audio streamNumber="+4"/>)", 4},
        {R"(<Audio streamNumber="007"/>)", 7},
        {R"(<Audio streamNumber="2147483647"/>)", 2147483647},
        {R"(<Audio streamNumber="2147483648"/>)", 0},
        {R"(<Audio streamNumber="1a"/>)", 0},
        {R"(<Audio streamNumber=" 1"/>)", 0},
        {R"(<Audio streamNumber="1.0"/>)", 0},
        {R"(<Audio streamNumber=""/>)", 0},
        {R"(<Audio streamNumber="+"/>)", 0},
        {R"(<Audio streamNumber="+-1"/>)", 0},
        {R"(<Audio mediaAttr="1"/>)", 0},
    };
    for (const IntCase& c : cases)
        EXPECT_EQ(GetAttrInt(c.line, "streamNumber"), c.value) << c.line;
}

TEST(GetAttrInt, UsesAFreshHolderEachTime) {
    EXPECT_EQ(GetAttrInt(R"(<Video track="2"/>)", "track"), 2);
    EXPECT_EQ(GetAttrInt(R"(<Video mediaAttr="1"/>)", "track"), 0);
}

TEST(StrToInt, NamesTheTextThatIsNotANumber) {
    EXPECT_EQ(StrToInt("12"), 12);
    for (const std::string text : {"one", "", "1 ", "0x10"}) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "no error for '" << text << "'";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "'" + text + "' is not a valid integer value");
        }
    }
}

// --- the attribute tables and the playlist title -------------------------------------------

struct Collected {
    XplState tables;
    PlaylistAttributes attributes{tables};
    void lines(std::initializer_list<std::string> lines) {
        for (const std::string& line : lines)
            attributes.collect(line);
    }
};

TEST(PlaylistAttributes, CodecsByIndexWithTheChannelSuffix) {
    Collected c;
    c.lines({R"(  <VideoAttributeItem index="1" codec="VC-1"/>)",
             R"(  <VideoAttributeItem index="2" codec="H.264"/>)",
             R"(  <AudioAttributeItem index="1" codec="DD+" channels="6"/>)",
             R"(  <AudioAttributeItem index="3" codec="MLP" channels=""/>)",
             R"(  <AudioAttributeItem index="8" codec="DTS-HD"/>)",
             R"(  <SubpictureAttributeItem index="1" codec="2bitRLE"/>)"});
    EXPECT_EQ(c.tables.XPLvideo[1], "VC-1");
    EXPECT_EQ(c.tables.XPLvideo[2], "H.264");
    EXPECT_EQ(c.tables.XPLaudio[1], "DD+.6ch");
    EXPECT_EQ(c.tables.XPLaudio[2], "");
    EXPECT_EQ(c.tables.XPLaudio[3], "MLP");
    EXPECT_EQ(c.tables.XPLaudio[8], "DTS-HD");
    EXPECT_EQ(c.tables.XPLsub[1], "2bitRLE");
}

TEST(PlaylistAttributes, ChannelsComeFromTheItemAloneWhileCodecAndIndexUseHolders) {
    Collected c;
    c.lines({R"(<AudioAttributeItem index="1" codec="DD+" channels="6"/>)",
             // no channels here: no suffix, although the item before had one
             R"(<AudioAttributeItem index="2" codec="DTS"/>)",
             // no codec: the last codec found stands
             R"(<AudioAttributeItem index="3" channels="2"/>)"});
    EXPECT_EQ(c.tables.XPLaudio[1], "DD+.6ch");
    EXPECT_EQ(c.tables.XPLaudio[2], "DTS");
    EXPECT_EQ(c.tables.XPLaudio[3], "DTS.2ch");
    // no index: the entry of the last index found is overwritten
    c.lines({R"(<AudioAttributeItem codec="LPCM"/>)"});
    EXPECT_EQ(c.tables.XPLaudio[3], "LPCM");
    EXPECT_EQ(c.tables.XPLaudio[2], "DTS");
}

TEST(PlaylistAttributes, TheLaterItemOfAnIndexWinsAndEachKindHasItsOwnHolders) {
    Collected c;
    c.lines(
        {R"(<AudioAttributeItem index="1" codec="DD"/>)", R"(<VideoAttributeItem index="2" codec="VC-1"/>)",
         R"(<AudioAttributeItem index="1" codec="DD+"/>)",
         R"(<SubpictureAttributeItem codec="RLE" index="5"/>)", R"(<VideoAttributeItem codec="MPEG-2"/>)"});
    EXPECT_EQ(c.tables.XPLaudio[1], "DD+");
    EXPECT_EQ(c.tables.XPLvideo[2], "MPEG-2");
    EXPECT_EQ(c.tables.XPLsub[5], "RLE");
}

TEST(PlaylistAttributes, AnIndexOutsideOneToEightIsNotKept) {
    Collected c;
    c.tables.XPLaudio[1] = "kept";
    c.lines({R"(<AudioAttributeItem index="0" codec="A"/>)", R"(<AudioAttributeItem index="9" codec="B"/>)",
             R"(<AudioAttributeItem index="-1" codec="C"/>)",
             R"(<AudioAttributeItem index="100000" codec="D"/>)"});
    EXPECT_EQ(c.tables.XPLaudio[0], "");
    for (std::size_t i = 2; i < c.tables.XPLaudio.size(); ++i)
        EXPECT_EQ(c.tables.XPLaudio[i], "") << i;
    EXPECT_EQ(c.tables.XPLaudio[1], "kept");
}

TEST(PlaylistAttributes, AnIndexThatIsNotAWholeNumberEndsTheRead) {
    struct Case {
        std::vector<std::string> lines;
        std::string message;
    };
    const Case cases[] = {
        {{R"(<VideoAttributeItem index="one" codec="VC-1"/>)"}, "'one' is not a valid integer value"},
        {{R"(<AudioAttributeItem index="1.5" codec="DD+"/>)"}, "'1.5' is not a valid integer value"},
        // the first item of its kind without an index: its holder is still empty
        {{R"(<AudioAttributeItem index="1" codec="DD+"/>)", R"(<SubpictureAttributeItem codec="RLE"/>)"},
         "'' is not a valid integer value"},
    };
    for (const Case& k : cases) {
        Collected c;
        try {
            for (const std::string& line : k.lines)
                c.attributes.collect(line);
            ADD_FAILURE() << "no error for " << k.lines.back();
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), k.message);
        }
    }
}

TEST(PlaylistAttributes, TheTagNamesAreCaseSensitive) {
    Collected c;
    c.lines({R"(<videoattributeitem index="1" codec="VC-1"/>)",
             R"(<AUDIOATTRIBUTEITEM index="1" codec="DD+"/>)", R"(<playlist displayName="lower"/>)"});
    EXPECT_EQ(c.tables.XPLvideo[1], "");
    EXPECT_EQ(c.tables.XPLaudio[1], "");
    EXPECT_EQ(c.attributes.playlistTitle(), "");
}

TEST(PlaylistAttributes, ThePlaylistTitleIsTheLastDisplayNameOfATagNamingPlaylist) {
    Collected c;
    c.lines({R"(<Playlist xmlns="http://www.dvdforum.org/2005/HDDVDVideo/Playlist" displayName="Disc">)"});
    EXPECT_EQ(c.attributes.playlistTitle(), "Disc");
    // a closing tag has no displayName: the title stays
    c.lines({R"(</Playlist>)"});
    EXPECT_EQ(c.attributes.playlistTitle(), "Disc");
    // a displayName on a line without "Playlist" does not count
    c.lines({R"(<Title displayName="Main">)"});
    EXPECT_EQ(c.attributes.playlistTitle(), "Disc");
    c.lines({R"(<PlaylistApplication displayName="Second">)"});
    EXPECT_EQ(c.attributes.playlistTitle(), "Second");
}

} // namespace
} // namespace ombrix::xpl
