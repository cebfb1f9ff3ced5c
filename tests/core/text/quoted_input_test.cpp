// What a message quotes of the input: short, whole characters, and nothing a
// terminal would act on.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text/quoted_input.h"

namespace tarnvel {
namespace {

TEST(QuotedInput, is_short_whole_and_shows_what_a_terminal_would_act_on) {
    const struct {
        const char* name;
        std::string text;
        std::size_t most;
        std::string quoted;
    } cases[] = {
        {"plain text as it is", "K16+770.5", kQuotedBytes, "K16+770.5"},
        {"forty bytes fit", std::string(40, 'a'), kQuotedBytes, std::string(40, 'a')},
        {"longer is cut and marked", std::string(41, 'a'), kQuotedBytes, std::string(40, 'a') + "…"},
        {"cut before a whole character", std::string(38, 'a') + "高程", kQuotedBytes, std::string(38, 'a') + "…"},
        {"a title and a clear-screen escape", "\x1b]0;t\x07\x1b[2J", kQuotedBytes, "\\x1b]0;t\\x07\\x1b[2J"},
        {"a NUL does not end it", std::string("a\0b", 3), kQuotedBytes, "a\\x00b"},
        {"tab, line breaks and DEL", "a\tb\r\n\x7f", kQuotedBytes, "a\\x09b\\x0d\\x0a\\x7f"},
        {"a C1 control", "a\xc2\x9b" "2J", kQuotedBytes, "a\\u009b2J"},
        {"a right-to-left override", "a\xe2\x80\xae" "b", kQuotedBytes, "a\\u202eb"},
        {"bytes that are not UTF-8 (GBK)", "\xb5\xd8\xc3\xe6", kQuotedBytes, "\\xb5\\xd8\\xc3\\xe6"},
        {"a cut-off character", "a\xe9\xab", kQuotedBytes, "a\\xe9\\xab"},
        {"an escape is not cut in half", std::string(38, 'a') + "\x1b", kQuotedBytes, std::string(38, 'a') + "…"},
        {"a path is shown whole", std::string(300, 'p') + "\x1b", std::string::npos, std::string(300, 'p') + "\\x1b"},
    };
    for (const auto& c : cases) EXPECT_EQ(QuotedInput(c.text, c.most), c.quoted) << c.name;
}

TEST(QuotedList, names_the_first_ten_and_counts_all) {
    EXPECT_EQ(QuotedList({"A/P", "B/\x1b"}, "条"), "“A/P”、“B/\\x1b”");
    std::vector<std::string> many;
    for (int i = 0; i < 12; ++i) many.push_back(std::to_string(i));
    EXPECT_EQ(QuotedList(many, "个"), "“0”、“1”、“2”、“3”、“4”、“5”、“6”、“7”、“8”、“9”等 12 个");
}

}  // namespace
}  // namespace tarnvel
