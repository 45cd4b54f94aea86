#include "engine/Format.h"
#include "engine/State.h"

#include <gtest/gtest.h>

namespace ombrix {
namespace {

TEST(Format, Hex8IsEightUpperCaseDigits) {
    EXPECT_EQ(hex8(0), "00000000");
    EXPECT_EQ(hex8(0xC0000000u), "C0000000");
    EXPECT_EQ(hex8(0x0001ABCDu), "0001ABCD");
    EXPECT_EQ(hex8(0xFFFFFFFFu), "FFFFFFFF");
}

TEST(Format, TimeOfDayInTheLocalesClockFormat) {
    struct Case {
        double seconds;
        const char* format;
        const char* text;
    } cases[] = {
        {207.0, "h:mm:ss", "0:03:27"},
        {1800.0065, "h:mm:ss", "0:30:00"},        // 43,157 frames at 24000/1001
        {207.99967, "h:mm:ss", "0:03:28"},        // 4,987 frames at 23.976: rounded to the millisecond
        {13 * 3600 + 5 * 60 + 9, "HH:mm:ss", "13:05:09"},
        {13 * 3600 + 5 * 60 + 9, "h:mm:ss AP", "1:05:09 PM"},
        {30, "h:mm:ss AP", "12:00:30 AM"},
        {30, "hh:mm:ss ap", "12:00:30 am"},
        {3600 + 1.25, "H:mm:ss.zzz", "1:00:01.250"},
        {3600, "H 'h' mm", "1 h 00"},
        {86400 + 61, "h:mm:ss", "0:01:01"},       // a day and more wraps like a clock
    };
    for (const auto& c : cases) EXPECT_EQ(formatTimeOfDay(c.seconds / 86400.0, c.format), c.text) << c.format;
}

TEST(Format, GeneralFloatUsesTheGivenSeparatorAndNoTrailingZeros) {
    EXPECT_EQ(generalFloat(48000, '.'), "48000");
    EXPECT_EQ(generalFloat(44.1, ','), "44,1");
    EXPECT_EQ(generalFloat(23.976, '.'), "23.976");
    EXPECT_EQ(generalFloat(24000.0 / 1001.0, '.'), "23.976023976024");
    EXPECT_EQ(generalFloat(0.5, ','), "0,5");
}

TEST(Format, OleDateCountsDaysFromTheEndOf1899) {
    EXPECT_DOUBLE_EQ(oleDate(1899, 12, 30, 0), 0.0);
    EXPECT_DOUBLE_EQ(oleDate(1900, 1, 1, 0), 2.0);
    EXPECT_DOUBLE_EQ(oleDate(1970, 1, 1, 0), 25569.0);
    EXPECT_DOUBLE_EQ(oleDate(2026, 12, 11, 12 * 3600), 46367.5);
}

TEST(StreamTypeNames, NameEachKeyFamilyAndNothingElse) {
    struct Case {
        std::string (*fn)(std::int32_t);
        std::int32_t key;
        const char* name;
    } cases[] = {
        {VideoTypeName, -1, "No video stream"}, {VideoTypeName, 0x55, "VC-1.stream"},
        {VideoTypeName, 0x56, "VC-1.stream"},   {VideoTypeName, 0x57, ""},
        {VideoTypeName, 0xE0, "MPEG-2.stream"}, {VideoTypeName, 0xE1, "MPEG-2.stream"},
        {VideoTypeName, 0xE2, "H.264.stream"},  {VideoTypeName, 0xE3, "H.264.stream"},
        {VideoTypeName, 0xE4, ""},              {AudioTypeName, -1, "No audio stream"},
        {AudioTypeName, 0x80, "DD.stream"},     {AudioTypeName, 0x87, "DD.stream"},
        {AudioTypeName, 0x88, "DTSHD.stream"},  {AudioTypeName, 0x8F, "DTSHD.stream"},
        {AudioTypeName, 0xA0, "LPCM.stream"},   {AudioTypeName, 0xA8, ""},
        {AudioTypeName, 0xB7, "MLP.stream"},    {AudioTypeName, 0xB8, ""},
        {AudioTypeName, 0xC0, "DD+.stream"},    {AudioTypeName, 0xCF, "DD+.stream"},
        {AudioTypeName, 0x20, ""},              {SubTypeName, -1, "No subpicture stream"},
        {SubTypeName, 0x20, "Subpicture"},      {SubTypeName, 0x2F, "Subpicture"},
        {SubTypeName, 0x31, ""},                {SubTypeName, 0x60, "Ext.Subpicture"},
        {SubTypeName, 0x6F, "Ext.Subpicture"},  {SubTypeName, 0x70, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.fn(c.key), c.name) << std::hex << c.key;
}

} // namespace
} // namespace ombrix
