#include "core/calculator/number_text.h"
#include "core/profile/station.h"
#include "tests/fixed_text_reference.h"
#include "tests/worked_example.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The fast formatter against exact decimal printing, for every decimals
// setting: random bit patterns (every exponent, so the whole double range and
// both the fast path and the fallback), station-sized values, and the hard
// ones, exact ties at the last decimal and their neighbours.
TEST(FixedText, WritesTheBytesOfExactDecimalPrinting) {
    std::mt19937_64 rng(16);
    std::uniform_real_distribution<double> station(-2e6, 2e6);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int decimals = 0; decimals <= 12; ++decimals) {
        // Ties q / 2^(decimals + 1), q odd, within the binary fast path's range.
        const double limit = std::min(std::ldexp(9007199254740992.0 / std::pow(10.0, decimals), decimals), 0x1p52);
        std::uniform_int_distribution<std::int64_t> odd(-static_cast<std::int64_t>(limit),
                                                        static_cast<std::int64_t>(limit));
        for (int i = 0; i < 12000; ++i) {
            double v = 0;
            switch (i % 4) {
                case 0: v = std::bit_cast<double>(bits(rng)); break;
                case 1: v = station(rng); break;
                case 2: v = std::ldexp(static_cast<double>(odd(rng) | 1), -(decimals + 1)); break;  // a tie
                case 3: {
                    const double tie = std::ldexp(static_cast<double>(odd(rng) | 1), -(decimals + 1));
                    v = std::nextafter(tie, (i & 4) ? 1e300 : -1e300);
                    break;
                }
            }
            ASSERT_EQ(FixedText(v, decimals), testing::ReferenceFixedText(v, decimals))
                << std::hexfloat << v << " with " << decimals << " decimals";
        }
    }
    // The edges of the range: zeros, the smallest and largest doubles, 2^53.
    const double edges[] = {0.0, -0.0, 5e-324, -5e-324, std::numeric_limits<double>::max(),
                            -std::numeric_limits<double>::max(), 9007199254740992.0, 9007199254740991.5,
                            4503599627370495.5, -0.5, 0.5, 1.5, 999999.9999995};
    for (int decimals = 0; decimals <= 12; ++decimals)
        for (double v : edges)
            EXPECT_EQ(FixedText(v, decimals), testing::ReferenceFixedText(v, decimals)) << std::hexfloat << v;
}

}  // namespace
}  // namespace tarnvel
