#include "io/result_report.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/worked_example.h"

namespace tarnvel::io {
namespace {

const std::string kTitleBlockBytes =
    "\r\n\r\n"
    "   \xB8\xDF\xB3\xCC\xBC\xC6\xCB\xE3\xB3\xC9\xB9\xFB\xB1\xED\r\n"
    " -----------------\r\n"
    "\r\n\r\n";
const std::string kFooterBytes =
    "\xBC\xC6\xCB\xE3\xA3\xBA" "Morlen    \xB8\xB4\xBA\xCB\xA3\xBA     \xBC\xE0\xC0\xED\xA3\xBA\r\n";
const std::string kHeaderBytes = "\xC0\xEF\xB3\xCC" "K   \xB8\xDF\xB3\xCC" "H\r\n";

using test::kStartUpListing;

TEST(ResultReport, start_up_listing_gives_the_216_byte_report) {
    const std::string expected = kTitleBlockBytes + kHeaderBytes +
                                 "16740   395.74\r\n16750   396.033\r\n16760   396.293\r\n"
                                 "16770   396.52\r\n16780   396.713\r\n16790   396.873\r\n"
                                 "16800   397\r\n" +
                                 "\r\n\r\n\r\n" + kFooterBytes;
    const std::string report = FormatResultReport(kStartUpListing);
    EXPECT_EQ(report, expected);
    EXPECT_EQ(report.size(), 216u);
    EXPECT_EQ(kTitleBlockBytes.size(), 47u);
}

struct ReportCase {
    const char* name;
    std::string listing;
    std::string body;  // the bytes between the title block and the footer
};

class ResultReportBody : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ResultReportBody, holds_the_listing_between_title_block_and_footer) {
    EXPECT_EQ(FormatResultReport(GetParam().listing), kTitleBlockBytes + GetParam().body + kFooterBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Listings, ResultReportBody,
    ::testing::Values(
        ReportCase{"header_only_gives_three_empty_lines", "里程K   高程H\r\n", kHeaderBytes + "\r\n\r\n\r\n"},
        ReportCase{"edited_without_final_line_end_gives_two", "16740   395.74", "16740   395.74\r\n\r\n\r\n"},
        ReportCase{"blanks_only_exported_as_they_are", "   ", "   \r\n\r\n\r\n"},
        ReportCase{"line_breaks_only", "\r\n", "\r\n\r\n\r\n\r\n"},
        ReportCase{"unencodable_character_becomes_question_mark", "16740 😀\r\n", "16740 ?\r\n\r\n\r\n\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// The heading of a profile report sits between the title and the listing; an
// empty value drops its line, and a name cannot break the heading apart.
TEST(ProfileReport, heading_names_what_was_listed_and_when) {
    const struct {
        const char* name;
        ProfileReportHeading heading;
        std::string lines;  // between the title's rule and the two empty lines
    } cases[] = {
        {"all four", {"G15", "主线", "K0+000.000 至 K1+000.000", "2026-12-07"},
         "项目：G15\r\n纵断面：主线\r\n范围：K0+000.000 至 K1+000.000\r\n日期：2026-12-07\r\n"},
        {"no profile name", {"road", "", "K0+000.000 至 K0+100.000", "2026-01-02"},
         "项目：road\r\n范围：K0+000.000 至 K0+100.000\r\n日期：2026-01-02\r\n"},
        {"line break in a name", {"a\r\nb", "x\ny", "", ""}, "项目：a  b\r\n纵断面：x y\r\n"},
    };
    const std::string title = "\r\n\r\n   高程计算成果表\r\n -----------------\r\n";
    for (const auto& c : cases)
        EXPECT_EQ(ProfileReportHead(c.heading), title + c.lines + "\r\n\r\n") << c.name;
}

}  // namespace
}  // namespace tarnvel::io
