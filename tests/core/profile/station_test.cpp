#include "core/profile/station.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/calculator/number_text.h"
#include "core/text/messages.h"

namespace tarnvel {
namespace {

struct ParseCase {
    const char* text;
    double value;
    int occurrence;
};

TEST(ParseStation, ReadsPlainAndKNotation) {
    const ParseCase cases[] = {
        {"16770.5", 16770.5, 0},
        {"  16770.5\t", 16770.5, 0},
        {"-50", -50, 0},
        {"+5", 5, 0},
        {"1.5E+3", 1500, 0},
        {"K16+770", 16770, 0},
        {"k16+770", 16770, 0},
        {"K16+770.5", 16770.5, 0},
        {"16+770.500", 16770.5, 0},
        {"K0+005", 5, 0},
        {"K0+5", 5, 0},
        {"K0+999.9995", 999.9995, 0},
        {"K1+000", 1000, 0},
        {"-K0+050", -50, 0},
        {"K-0+050", -50, 0},
        {"-K0+000", 0, 0},
        {"K5+350(2)", 5350, 2},
        {"K5+350 (1) ", 5350, 1},
        {"16770(2)", 16770, 2},
        {"１６７７０．５", 16770.5, 0},
        {"Ｋ１６＋７７０", 16770, 0},
        {"　K16+770（２）", 16770, 2},
        // km × 1000.0 + 579.288 would give a different double than the label.
        {"K4+579.288", 4579.288, 0},
        {"K123456789+123.456", 123456789123.456, 0},
    };
    for (const auto& c : cases) {
        StationTextProblem problem;
        const auto station = ParseStation(c.text, &problem);
        ASSERT_TRUE(station.has_value()) << c.text << ": " << DescribeStationText(problem);
        EXPECT_EQ(station->value, c.value) << c.text;
        EXPECT_FALSE(c.value == 0 && std::signbit(station->value)) << c.text << " is -0";
        EXPECT_EQ(station->occurrence, c.occurrence) << c.text;
    }
}

struct RefusalCase {
    const char* text;
    const char* phrase;  // part of the reason given
};

TEST(ParseStation, RefusesMalformedTextsWithAReason) {
    const RefusalCase cases[] = {
        {"", "为空"},
        {"   ", "为空"},
        {"abc", "不是数字"},
        {"K+5", "公里数"},
        {"K1+", "米数"},
        {"K0+1000", "小于 1000"},
        {"K16", "“+”"},
        {"K16.5+000", "整数"},
        {"K1+000.", "小数点"},
        {"16770abc", "多余"},
        {"K16+770m", "多余"},
        {"--5", "不是数字"},
        {"-K-0+050", "公里数"},
        {"1e400", "超出"},
        {"-1e400", "超出"},
        {"nan", "不是数字"},
        {"inf", "不是数字"},
        {"0x10", "多余"},
        {"K5+350(0)", "序号"},
        {"K5+350(x)", "序号"},
        {"K5+350)", "括号"},
        {"(2)", "缺少"},
        {"1,5", "多余"},
    };
    for (const auto& c : cases) {
        StationTextProblem problem;
        EXPECT_FALSE(ParseStation(c.text, &problem).has_value()) << c.text;
        const std::string error = DescribeStationText(problem);
        EXPECT_NE(error.find(c.phrase), std::string::npos) << c.text << ": " << error;
        if (*c.text != ' ') {
            EXPECT_NE(error.find(c.text), std::string::npos) << error;
        }
    }
    EXPECT_FALSE(ParseStation("garbage").has_value());  // no error text wanted
    StationTextProblem problem;
    EXPECT_FALSE(ParseStation("K1+2" + std::string(100000, 'x'), &problem).has_value());
    EXPECT_LT(DescribeStationText(problem).size(), 200u);  // a pasted page is not quoted whole
}

struct FormatCase {
    double value;
    StationStyle style;
    int decimals;
    const char* text;
};

TEST(FormatStation, RoundsBeforeSplittingKilometres) {
    const auto K = StationStyle::K;
    const auto P = StationStyle::Plain;
    const FormatCase cases[] = {
        {16770.5, K, -1, "K16+770.500"},
        {16770.5, K, 0, "K16+770"},  // ties to even on the exact value: 16770.5 is exact
        {16771.5, K, 0, "K16+772"},
        {999.9995, K, 3, "K1+000.000"},  // the double lies just above the half-way point
        {999.9996, K, 3, "K1+000.000"},
        {999.9994, K, 3, "K0+999.999"},
        {16770.0005, K, 3, "K16+770.000"},  // and this one just below
        {5, K, 0, "K0+005"},
        {0, K, 3, "K0+000.000"},
        {-50, K, 3, "-K0+050.000"},
        {-0.0001, K, 3, "K0+000.000"},
        {-1234567.25, K, 2, "-K1234+567.25"},
        {1e20, K, 0, "K100000000000000000+000"},
        {4579.288, K, 3, "K4+579.288"},
        {16770.5, P, -1, "16770.5"},
        {16770.5, P, 3, "16770.500"},
        {-0.0004, P, 3, "0.000"},
        {999.9995, P, 3, "1000.000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatStation(c.value, c.style, c.decimals), c.text) << c.value;
    }
    EXPECT_EQ(FormatStation(Station{5350, 2}, K, 3), "K5+350.000(2)");
    EXPECT_EQ(FormatStation(Station{5350, 0}, P), "5350");
}

TEST(FormatStation, KTextReadsBackAsThePlainRounding) {
    std::mt19937_64 rng(16770);
    std::uniform_real_distribution<double> station(-3e6, 3e6);
    for (int i = 0; i < 20000; ++i) {
        const double v = station(rng);
        const int decimals = i % 7;
        const std::string k = FormatStation(v, StationStyle::K, decimals);
        const auto back = ParseStation(k);
        ASSERT_TRUE(back.has_value()) << k;
        ASSERT_EQ(back->value, ParseStation(FixedText(v, decimals))->value) << k;
    }
}

TEST(FixedText, RoundsTheExactValue) {
    EXPECT_EQ(FixedText(396.7125, 3), "396.712");  // the double is 396.71249999…
    EXPECT_EQ(FixedText(0.125, 2), "0.12");        // an exact tie goes to even
    EXPECT_EQ(FixedText(-0.0004, 3), "0.000");
    EXPECT_EQ(FixedText(-0.0006, 3), "-0.001");
    EXPECT_EQ(FixedText(2.5, 0), "2");
    EXPECT_EQ(FixedText(1.0 / 3.0, 15), "0.333333333333");  // at most 12 decimals
    EXPECT_EQ(FixedText(1e300, 0).size(), 301u);
}

struct BoxCase {
    const char* text;
    double value;
};

TEST(StationBoxToNumber, ReadsWhatABoxHolds) {
    const BoxCase cases[] = {
        {"K16+770.5", 16770.5},
        {"  Ｋ１６＋７７０ 变坡点", 16770},
        {"16+770", 16770},
        {"K5+350(2)", 5350},
        {"-K0+050", -50},
        {"16770     变坡点桩号K", 16770},
        {"３.５", 3.5},
        {"", 0},
        {"abc", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(StationBoxToNumber(c.text), c.value) << c.text;
}

TEST(FoldFullWidth, FoldsOnlyTheFullWidthAsciiForms) {
    EXPECT_EQ(FoldFullWidth("Ｋ１６＋７７０．５　（２）～"), "K16+770.5 (2)~");
    EXPECT_EQ(FoldFullWidth("桩号、。ｰ"), "桩号、。ｰ");  // other characters stay
    EXPECT_EQ(FoldFullWidth("\xEF\xBC"), "\xEF\xBC");    // a cut sequence stays as it is
}

}  // namespace
}  // namespace tarnvel
