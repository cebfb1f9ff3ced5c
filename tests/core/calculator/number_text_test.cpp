#include "core/calculator/number_text.h"
#include "core/profile/station.h"
#include "tests/worked_example.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace tarnvel {
namespace {

struct TextCase {
    const char* text;
    double value;
};

TEST(TextToNumber, ReadsTheNumberAtTheStartOfTheText) {
    const double kMax = std::numeric_limits<double>::max();
    const TextCase cases[] = {
        {"", 0},
        {"abc", 0},
        {"   ", 0},
        {"   -2.5", -2.5},
        {"\t\n7", 7},
        {"3.1%", 3.1},
        {"1,5", 1},
        {".5", 0.5},
        {"-.5", -0.5},
        {"5.", 5},
        {"+4", 4},
        {"16770     变坡点桩号K", 16770},
        {"016770.50", 16770.5},
        {"1 2", 1},
        {"1.2.3", 1.2},
        {"-", 0},
        {"-.", 0},
        {".", 0},
        {"nan", 0},
        {"inf", 0},
        {"-infinity", 0},
        {"0x10", 0},
        {"1E3", 1000},
        {"1.5e-2x", 0.015},
        {"1.5E+20", 1.5e20},
        {"2e", 2},
        {"2e+", 2},
        {"2e+x", 2},
        {"1e400", kMax},
        {"-1e400", -kMax},
        {"1e-400", 0},
        {"1e99999999999999999999", kMax},
        {"0e99999", 0},
        {"１２", 0},  // full-width digits are not digits
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextToNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(TextToNumber, HugeDigitStringsSaturateInsteadOfBecomingInfinite) {
    EXPECT_EQ(TextToNumber("1" + std::string(400, '0')), std::numeric_limits<double>::max());
    EXPECT_EQ(TextToNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(TextToNumber(std::string(100000, '9')), std::numeric_limits<double>::max());
}

TEST(TextToNumber, TellsANumberBeyondTheDoubleRange) {
    for (const auto& input : test::kOutOfRangeInputs) {
        bool outOfRange = false;
        const double value = input.input == 0 || input.input == 5 ? StationBoxToNumber(input.text, outOfRange)
                                                                  : TextToNumber(input.text, outOfRange);
        EXPECT_TRUE(outOfRange) << input.name;
        EXPECT_EQ(std::fabs(value), std::numeric_limits<double>::max()) << input.name;
    }
    // The largest double itself, numbers too small to tell from zero, and
    // texts without a number are within range.
    for (const std::string& text : {std::string("1.7976931348623157e308"), std::string("-1e-400"),
                                    "0." + std::string(400, '0') + "1", std::string("abc"),
                                    std::string("0e99999"), std::string("e400")}) {
        bool outOfRange = true;
        TextToNumber(text, outOfRange);
        EXPECT_FALSE(outOfRange) << text;
    }
}

TEST(TextToNumber, IgnoresTheProcessLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
    EXPECT_EQ(TextToNumber("396.67"), 396.67);
    EXPECT_EQ(TextToNumber("1,5"), 1);
    EXPECT_EQ(NumberToText(396.67), "396.67");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

struct FormatCase {
    double value;
    const char* text;
};

TEST(NumberToText, FifteenSignificantDigitsWithoutTrailingZeros) {
    const FormatCase cases[] = {
        {30.0, "30"},
        {0.15, "0.15"},
        {396.67, "396.67"},
        {395.74, "395.74"},
        {397.0, "397"},
        {3.1, "3.1"},
        {-2.5, "-2.5"},
        {-0.15, "-0.15"},
        {0.0, "0"},
        {-0.0, "0"},
        {59.99999999999999, "60"},
        {16740.999999999985, "16741"},
        {1.0 / 3.0, "0.333333333333333"},
        {0.1 + 0.2, "0.3"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.0, "999999999999999"},
        {999999999999999.9, "1E+15"},
        {1e15, "1E+15"},
        {-1.5e20, "-1.5E+20"},
        {1e-5, "0.00001"},
        {0.000123, "0.000123"},
        {1.5e-6, "1.5E-06"},
        {1e300, "1E+300"},
        {std::numeric_limits<double>::max(), "1.79769313486232E+308"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NumberToText(c.value), c.text) << c.value;
    }
}

// The straightforward conversion the fast one must agree with: fifteen digits
// correctly rounded from the exact value.
std::string ReferenceDigits(double v) {
    std::array<char, 40> buf{};
    auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::scientific, 14);
    std::string s(buf.data(), r.ptr);
    return s;
}

TEST(NumberToText, GivesTheFifteenDigitRoundingOfEveryNormalDouble) {
    std::mt19937_64 rng(20261207);
    for (int i = 0; i < 200000; ++i) {
        const double v = std::bit_cast<double>(rng());
        if (!std::isnormal(v)) continue;
        // The text reads back as a double whose own 15-digit rounding is the
        // 15-digit rounding of v: the text is that rounding, whatever its form.
        const std::string text = NumberToText(v);
        ASSERT_EQ(ReferenceDigits(TextToNumber(text)), ReferenceDigits(v)) << text;
    }
}

TEST(RoundTo3, NearestMultipleOfAThousandthOfTheExactValue) {
    const FormatCase cases[] = {
        {396.71333333333337, "396.713"},
        {59.99999999999999, "60"},
        {395.74, "395.74"},
        {397.0, "397"},
        {0.0005, "0.001"},  // just above the half-way point, by far less than an ulp of 0.5
        {-0.0005, "-0.001"},
        {1.2345, "1.234"},
        {1.0005, "1"},      // the double lies just below the half-way point
        {8.0045, "8.005"},  // the double lies just above it
        {0.0625, "0.062"},  // an exact tie goes to the even multiple
        {0.1875, "0.188"},
        {-0.0625, "-0.062"},
        {-0.0001, "0"},     // never "-0"
        {-1.0005, "-1"},
        {1e17, "1E+17"},
        {123456789012.3456, "123456789012.346"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NumberToText(RoundTo3(c.value)), c.text) << c.value;
    }
    EXPECT_FALSE(std::signbit(RoundTo3(-0.0001)));
}

double ReferenceRoundTo3(double v) {
    std::array<char, 400> buf{};
    auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, 3);
    double out = 0;
    std::from_chars(buf.data(), r.ptr, out);
    return out == 0 ? 0.0 : out;
}

TEST(RoundTo3, FastPathAgreesWithExactDecimalPrinting) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> station(-2e5, 2e5);
    std::uniform_int_distribution<int> exponent(-12, 16);
    for (int i = 0; i < 300000; ++i) {
        double v = station(rng);
        if (i % 3 == 1) v = std::ldexp(v, exponent(rng) * 3);
        // Values a hair away from a half-thousandth are the hard ones.
        const double halfway = (std::round(v * 2000) + 1) / 2000;
        if (i % 3 == 2) v = (i & 16) ? halfway : std::nextafter(halfway, (i & 8) ? 1e300 : -1e300);
        ASSERT_EQ(RoundTo3(v), ReferenceRoundTo3(v)) << std::hexfloat << v;
    }
}

// The general conversion, as fixed text is defined: to_chars from the exact
// value, no minus sign on a rounded zero.
std::string ReferenceFixed(double v, int decimals) {
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    std::string text(buf, res.ptr);
    if (text.front() == '-' && text.find_first_of("123456789") == std::string::npos) text.erase(0, 1);
    return text;
}

TEST(FixedText, FastPathAgreesWithTheGeneralConversion) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> value(-2e5, 2e5);
    std::uniform_int_distribution<int> exponent(-40, 60);
    std::uniform_int_distribution<int> places(0, 12);
    for (int i = 0; i < 300000; ++i) {
        const int d = places(rng);
        double v = value(rng);
        if (i % 4 == 1) v = std::ldexp(v, exponent(rng));
        // Exact ties and their neighbours: k/2^n with few bits round at the half.
        const double tie = (std::round(v * 64) + 0.5) / 64;
        if (i % 4 == 2) v = tie;
        if (i % 4 == 3) v = std::nextafter(tie, (i & 8) ? 1e300 : -1e300);
        ASSERT_EQ(FixedText(v, d), ReferenceFixed(v, d)) << std::hexfloat << v << " " << d;
    }
    for (double v : {0.0, -0.0, 0.5, 1.5, 2.5, -0.0004, 0.0005, 0.0015, 5e-324, 1.8e19, -9.3e18, 1e300,
                     std::numeric_limits<double>::max()})
        for (int d = 0; d <= 12; ++d) ASSERT_EQ(FixedText(v, d), ReferenceFixed(v, d)) << v << " " << d;
}

}  // namespace
}  // namespace tarnvel
