#include "io/parameter_file.h"

#include <gtest/gtest.h>

#include <string>

#include "io/gbk.h"

namespace tarnvel::io {
namespace {

using namespace std::string_literals;

const ParameterTexts kStartUp = {"16770", "396.67", "3.1", "1.1", "3000"};

std::string Blanks(std::size_t n) { return std::string(n, ' '); }

TEST(ParameterFileFormat, start_up_values_give_the_exact_bytes) {
    const std::string expected =
        "16770" + Blanks(24) + "\xB1\xE4\xC6\xC2\xB5\xE3\xD7\xAE\xBA\xC5\x4B\r\n" +
        "396.67" + Blanks(23) + "\xB1\xE4\xC6\xC2\xB5\xE3\xB8\xDF\xB3\xCC\x48\r\n" +
        "3.1" + Blanks(26) + "\xB5\xDA\xD2\xBB\xD7\xDD\xC6\xC2\x49\x31\x25\r\n" +
        "1.1" + Blanks(26) + "\xB5\xDA\xB6\xFE\xD7\xDD\xC6\xC2\x49\x32\x25\r\n" +
        "3000" + Blanks(25) + "\xCA\xFA\xC7\xFA\xCF\xDF\xB0\xEB\xBE\xB6\x52\r\n";
    EXPECT_EQ(FormatParameterFile(kStartUp), expected);
    EXPECT_EQ(expected.size(), 5u * (29 + 11 + 2));
}

// Where each value ends and its label begins, counted in bytes of the file.
struct LayoutCase {
    const char* name;
    std::string value;
    std::string expectedLine1;  // without the label and CR LF
};

class ParameterFileLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ParameterFileLayout, puts_the_label_after_the_value_on_the_same_line) {
    ParameterTexts texts = kStartUp;
    texts[0] = GetParam().value;
    const std::string file = FormatParameterFile(texts);
    const std::string label = Utf8ToGbk(kParameterLabels[0]) + "\r\n";
    const std::size_t lineEnd = file.find("\r\n") + 2;
    EXPECT_EQ(file.substr(0, lineEnd), GetParam().expectedLine1 + label);
    // The other four lines are untouched, so the file still has five lines.
    EXPECT_EQ(file.substr(lineEnd), FormatParameterFile(kStartUp).substr(42));
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParameterFileLayout,
    ::testing::Values(
        LayoutCase{"empty_value_gives_blanks_then_label", "", Blanks(29)},
        LayoutCase{"leading_blanks_kept_as_typed", "  12", "  12" + Blanks(25)},
        LayoutCase{"twenty_eight_bytes_fill_to_column_29", std::string(28, '7'), std::string(28, '7') + " "},
        LayoutCase{"twenty_nine_bytes_get_one_blank", std::string(29, '7'), std::string(29, '7') + " "},
        LayoutCase{"forty_bytes_get_one_blank", std::string(40, '1'), std::string(40, '1') + " "},
        LayoutCase{"chinese_value_counted_in_bytes", "一二三", "\xD2\xBB\xB6\xFE\xC8\xFD" + Blanks(23)},
        LayoutCase{"unencodable_character_becomes_question_mark", "5😀", "5?" + Blanks(27)},
        LayoutCase{"line_breaks_in_value_become_blanks", "1\r\n2\n3\r", "1  2 3 " + Blanks(22)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParameterFileFormat, labels_stand_in_column_30_on_every_line) {
    const std::string file = FormatParameterFile({"", "-2.5", "1e3", "abc", "0.000001"});
    std::size_t start = 0;
    for (std::size_t i = 0; i < kParameterCount; ++i) {
        const std::size_t end = file.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        EXPECT_EQ(file.substr(start + kLabelColumn - 1, end - start - (kLabelColumn - 1)),
                  Utf8ToGbk(kParameterLabels[i]))
            << "line " << i + 1;
        start = end + 2;
    }
    EXPECT_EQ(start, file.size());
}

struct ReadCase {
    const char* name;
    std::string bytes;
    ParameterFileFault fault;
    ParameterTexts texts;  // when fault is None
};

class ParameterFileReading : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ParameterFileReading, follows_the_line_rules) {
    const ParsedParameterFile parsed = ParseParameterFile(GetParam().bytes);
    EXPECT_EQ(parsed.fault, GetParam().fault);
    if (GetParam().fault == ParameterFileFault::None) {
        EXPECT_EQ(parsed.texts, GetParam().texts);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ParameterFileReading,
    ::testing::Values(
        ReadCase{"written_start_up_file", FormatParameterFile(kStartUp), ParameterFileFault::None, kStartUp},
        ReadCase{"numbers_only", "16770\r\n396.67\r\n3.1\r\n1.1\r\n3000\r\n", ParameterFileFault::None, kStartUp},
        ReadCase{"labels_in_any_column",
                 "16770 \xB1\xE4\r\n396.67\t\t\xB1\xE4\r\n   3.1\xB5\xDA\r\n1.1" + Blanks(60) + "x\r\n3000R\r\n",
                 ParameterFileFault::None, kStartUp},
        ReadCase{"last_line_without_line_end", "16770\r\n396.67\r\n3.1\r\n1.1\r\n3000",
                 ParameterFileFault::None, kStartUp},
        ReadCase{"sixth_line_ignored", "16770\r\n396.67\r\n3.1\r\n1.1\r\n3000\r\n99\r\n\x00\x01garbage"s,
                 ParameterFileFault::None, kStartUp},
        ReadCase{"cr_alone_ends_a_line", "16770\r396.67\r3.1\r1.1\r3000\r", ParameterFileFault::None, kStartUp},
        ReadCase{"leading_zero_and_trailing_zero_normalised", "016770.50   label\r\n-0\r\n.5\r\n-2.50\r\n3e3\r\n",
                 ParameterFileFault::None, {"16770.5", "0", "0.5", "-2.5", "3000"}},
        ReadCase{"line_not_a_number_loads_as_0", "abc\r\n\r\n   \r\n\xB1\xE4 5\r\n\xFF" "7\r\n",
                 ParameterFileFault::None, {"0", "0", "0", "0", "0"}},
        // Never the largest double in their place: that would read as a value.
        ReadCase{"numbers_beyond_the_double_range_stay_as_written",
                 "1e400 label\r\n-" + std::string(400, '9') + "\r\n3.1\r\n1.1\r\n1e-400\r\n",
                 ParameterFileFault::None, {"1e400", "-" + std::string(400, '9'), "3.1", "1.1", "0"}},
        // Texts are saved as typed; they load as the boxes read them.
        ReadCase{"station_in_k_notation_and_full_width_digits",
                 FormatParameterFile({"K16+770.5", "３９６．６７", "－３．１", "1.1", "3000"}),
                 ParameterFileFault::None, {"16770.5", "396.67", "-3.1", "1.1", "3000"}},
        ReadCase{"lf_inside_a_line_is_ordinary", "\n16770\r\n396.67\n9\r\n3.1\r\n1.1\r\n3000\r\n",
                 ParameterFileFault::None, kStartUp},
        ReadCase{"lf_line_ends_make_one_line", "16770\n396.67\n3.1\n1.1\n3000\n",
                 ParameterFileFault::TooFewLines, {}},
        ReadCase{"four_lines", "16770\r\n396.67\r\n3.1\r\n1.1\r\n", ParameterFileFault::TooFewLines, {}},
        ReadCase{"empty_file", "", ParameterFileFault::TooFewLines, {}},
        ReadCase{"empty_fifth_line_counts", "1\r\n2\r\n3\r\n4\r\n\r\n", ParameterFileFault::None,
                 {"1", "2", "3", "4", "0"}},
        ReadCase{"nul_in_a_line", "16770\r\n39\x00" "6\r\n3\r\n1\r\n3\r\n"s,
                 ParameterFileFault::Binary, {}},
        ReadCase{"nul_in_short_file", "\x7F" "ELF\x00\x01"s, ParameterFileFault::Binary, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The reader is handed at most one byte more than the limit; what lies beyond
// the limit only tells it that the file goes on.
struct LimitCase {
    const char* name;
    std::string bytes;
    ParameterFileFault fault;
};

class ParameterFileReadLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(ParameterFileReadLimit, refuses_lines_beyond_the_limit) {
    EXPECT_EQ(ParseParameterFile(GetParam().bytes).fault, GetParam().fault);
}

const std::string kFourLines = "1\r\n2\r\n3\r\n4\r\n";

INSTANTIATE_TEST_SUITE_P(
    Sizes, ParameterFileReadLimit,
    ::testing::Values(
        LimitCase{"no_line_end_in_limit_plus_one", std::string(kParameterFileReadLimit + 1, '5'),
                  ParameterFileFault::TooLong},
        LimitCase{"fifth_line_ends_at_end_of_file_exactly_at_limit",
                  kFourLines + std::string(kParameterFileReadLimit - kFourLines.size(), '5'),
                  ParameterFileFault::None},
        LimitCase{"fifth_line_end_just_inside_limit",
                  kFourLines + std::string(kParameterFileReadLimit - kFourLines.size() - 1, '5') + "\r\n",
                  ParameterFileFault::None},
        LimitCase{"fifth_line_end_just_beyond_limit",
                  kFourLines + std::string(kParameterFileReadLimit - kFourLines.size(), '5') + "\r",
                  ParameterFileFault::TooLong},
        LimitCase{"binary_beyond_limit_is_not_looked_at",
                  kFourLines + "5\r\n" + std::string(kParameterFileReadLimit, '\0'),
                  ParameterFileFault::None},
        LimitCase{"endless_zero_bytes", std::string(kParameterFileReadLimit + 1, '\0'),
                  ParameterFileFault::Binary}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParameterFileRoundTrip, numeric_texts_come_back_in_their_number_form) {
    const ParameterTexts typed = {"16770.500", " -0.0", "+3.1%", "1,5", "3000 m"};
    const ParsedParameterFile parsed = ParseParameterFile(FormatParameterFile(typed));
    ASSERT_EQ(parsed.fault, ParameterFileFault::None);
    EXPECT_EQ(parsed.texts, (ParameterTexts{"16770.5", "0", "3.1", "1", "3000"}));
}

}  // namespace
}  // namespace tarnvel::io
