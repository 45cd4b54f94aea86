#include "xpl/TagScanner.h"
#include "WorkedExample.h"

#include <gtest/gtest.h>

namespace ombrix::xpl {
namespace {

using Lines = std::vector<std::string>;

Lines scan(const std::string& text) {
    TagScanner s;
    s.feed(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return s.lines();
}

// The same bytes handed over in two blocks, split before byte `at`.
Lines scanSplit(const std::string& text, std::size_t at) {
    TagScanner s;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    s.feed(bytes, at);
    s.feed(bytes + at, text.size() - at);
    return s.lines();
}

TEST(TagScanner, WorkedExampleGivesSeventeenIndentedLines) {
    EXPECT_EQ(scan(testing::workedExampleText()), testing::workedExampleMemo());
}

TEST(TagScanner, StateCarriesAcrossBlocksAtEverySplit) {
    // Every split point: inside a tag, between "<" and "/", between the hyphens of "-->",
    // between a "/" and its ">", inside a line break that falls in a tag.
    const std::string text = testing::workedExampleText();
    for (std::size_t at = 0; at <= text.size(); ++at)
        ASSERT_EQ(scanSplit(text, at), testing::workedExampleMemo()) << "split before byte " << at;
}

struct ScanCase {
    const char* what;
    std::string text;
    Lines lines;
};

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.what;
}

class TagScannerRules : public ::testing::TestWithParam<ScanCase> {};

TEST_P(TagScannerRules, Lines) {
    EXPECT_EQ(scan(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TagScannerRules,
    ::testing::Values(
        ScanCase{
            "nesting", "<a>\r\n<b>\r\n<c/>\r\n</b>\r\n</a>", {"<a>", "  <b>", "    <c/>", "  </b>", "</a>"}},
        ScanCase{"text between tags is dropped", "<a>some text<b/>more</a>", {"<a>", "  <b/>", "</a>"}},
        ScanCase{"line breaks and tabs in a tag become one space",
                 "<a\r\n\tx=\"1\"\r\n\r\ny=\"2\"/>",
                 {"<a x=\"1\" y=\"2\"/>"}},
        ScanCase{"ordinary spaces stay as they are", "<a  x=\"1\"   y=\"2\"/>", {"<a  x=\"1\"   y=\"2\"/>"}},
        ScanCase{"a control code after a space adds none, a space after one is kept",
                 "<a \tx=\"1\"\t y/>",
                 {"<a x=\"1\"  y/>"}},
        ScanCase{"other control codes count like line breaks",
                 std::string("<a\x01\x00\x1f"
                             "b/>",
                             8),
                 {"<a b/>"}},
        ScanCase{"bytes of 128 and above are copied one by one",
                 "<a t=\"\xC3\xA9\xFF\"/>",
                 {"<a t=\"\xC3\xA9\xFF\"/>"}},
        ScanCase{"a processing instruction opens no level",
                 "<?xml version=\"1.0\"?>\n<a/>",
                 {"<?xml version=\"1.0\"?>", "<a/>"}},
        ScanCase{
            "a comment opens no level", "<a><!-- x --><b/></a>", {"<a>", "  <!-- x -->", "  <b/>", "</a>"}},
        ScanCase{"a declaration opens a level that never closes",
                 "<!DOCTYPE p><a><b/></a><c/>",
                 {"<!DOCTYPE p>", "  <a>", "    <b/>", "  </a>", "  <c/>"}},
        ScanCase{"a \">\" in a value ends the line; the tag's own \">\" adds an indent-only line",
                 "<r><a v=\"x>y\"/></r>",
                 {"<r>", "  <a v=\"x>", "    ", "</r>"}},
        ScanCase{"a \">\" between tags adds an indent-only line", "<a>1 > 0</a>", {"<a>", "  ", "</a>"}},
        ScanCase{"a closing tag at depth 0 loses its \"</\" and the depth goes below 0",
                 "</a><b><c/>",
                 {"a>", "<b>", "<c/>"}},
        ScanCase{"no indentation while the depth is 0 or less",
                 "</x></y><a><b/></a><c><d/>",
                 {"x>", "y>", "<a>", "<b/>", "a>", "<c>", "<d/>"}},
        ScanCase{"a tag without its \">\" at the end of the file is not written", "<a/><b x=\"1\"", {"<a/>"}},
        ScanCase{"an empty file gives no lines", "", {}}),
    [](const ::testing::TestParamInfo<ScanCase>& info) { return "case" + std::to_string(info.index); });

TEST(TagScanner, IndentationStopsGrowingAtItsLimit) {
    std::string text;
    for (int i = 0; i < 70; ++i)
        text += "<a>";
    text += "<b/>";
    const Lines lines = scan(text);
    ASSERT_EQ(lines.size(), 71u);
    EXPECT_EQ(lines[63], std::string(126, ' ') + "<a>");
    EXPECT_EQ(lines[64], std::string(128, ' ') + "<a>");
    EXPECT_EQ(lines[70], std::string(128, ' ') + "<b/>");
}

TEST(TagScanner, DeepNestingOfARandomFileStaysLinearInSize) {
    // A file that is not a playlist: "<" without matching closing tags, 200,000 times.
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += "<x>";
    TagScanner s;
    s.feed(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    EXPECT_EQ(s.depth(), 200000);
    EXPECT_EQ(s.lines().back(), std::string(128, ' ') + "<x>");
    std::size_t total = 0;
    for (const std::string& line : s.lines())
        total += line.size();
    EXPECT_LE(total, 200000u * (128 + 3));
}

TEST(TagScanner, EveryLineIsReportedAsItIsAdded) {
    TagScanner s;
    Lines seen;
    s.onLine = [&](const std::string& line) {
        seen.push_back(line);
        EXPECT_EQ(s.lines().back(), line);
    };
    const std::string text = "<a>\n<b/>\n</a>";
    s.feed(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    EXPECT_EQ(seen, (Lines{"<a>", "  <b/>", "</a>"}));
}

} // namespace
} // namespace ombrix::xpl
