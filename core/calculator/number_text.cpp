#include "core/calculator/number_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>


namespace tarnvel {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal exponent of the first significant digit of a digit string with a
// decimal point and exponent, used only to tell overflow from underflow.
struct Scanned {
    std::string_view number;  // the characters that make up the number
    bool hasDigits = false;
    bool allZero = true;
    long long magnitude = 0;  // decimal position of the leading significant digit
};

Scanned Scan(std::string_view text, std::size_t& pos) {
    Scanned s;
    const std::size_t begin = pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    long long intDigits = 0;
    long long leadingFractionZeros = 0;
    bool seenSignificant = false;
    while (pos < text.size() && IsDigit(text[pos])) {
        s.hasDigits = true;
        if (text[pos] != '0') seenSignificant = true;
        if (seenSignificant) ++intDigits;
        ++pos;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && IsDigit(text[pos])) {
            s.hasDigits = true;
            if (text[pos] != '0') seenSignificant = true;
            if (!seenSignificant) ++leadingFractionZeros;
            ++pos;
        }
    }
    s.allZero = !seenSignificant;
    if (!s.hasDigits) {
        s.number = {};
        return s;
    }
    // An exponent counts only when at least one digit follows it.
    long long exponent = 0;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t e = pos + 1;
        bool negative = false;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) negative = text[e++] == '-';
        if (e < text.size() && IsDigit(text[e])) {
            while (e < text.size() && IsDigit(text[e])) {
                if (exponent < 100'000'000) exponent = exponent * 10 + (text[e] - '0');
                ++e;
            }
            if (negative) exponent = -exponent;
            pos = e;
        }
    }
    s.magnitude = (intDigits > 0 ? intDigits : -leadingFractionZeros) + exponent;
    s.number = text.substr(begin, pos - begin);
    return s;
}

// Printing with three decimals rounds the exact binary value (ties to even);
// reading that back gives the double nearest to that multiple of 0.001.
double RoundTo3ByPrinting(double value) {
    std::array<char, 400> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                                   std::chars_format::fixed, 3);
    double rounded = 0.0;
    std::from_chars(buf.data(), res.ptr, rounded);
    return rounded == 0 ? 0.0 : rounded;
}

// The rounding error of the product a × b = p, exactly (Dekker's product:
// each factor split into halves of 26 bits, whose products are exact). Exact
// while nothing overflows or underflows; here |a| and |b| are below 2^53, and
// a product that underflows is far too small to be near a rounding tie. Plain
// arithmetic instead of fma, which is a library call on most builds; the build
// never contracts a * b + c into one, which would break the split.
double ProductError(double a, double b, double p) {
    constexpr double kSplitter = 134217729.0;  // 2^27 + 1
    const double ca = kSplitter * a;
    const double aHigh = ca - (ca - a);
    const double aLow = a - aHigh;
    const double cb = kSplitter * b;
    const double bHigh = cb - (cb - b);
    const double bLow = b - bHigh;
    return ((aHigh * bHigh - p) + aHigh * bLow + aLow * bHigh) + aLow * bLow;
}

// The whole number nearest to the exact value of value × 10^decimals (an
// exact tie to the even one) in `nearest`, when that product lies below 2^53;
// false otherwise. (A flag and an out-parameter rather than an optional: the
// listing calls this millions of times, and an optional returned through
// memory stalls each call.) The product is computed as scaled + error, both exact, and
// compared with the halfway points through exact differences only: a sum
// rounded to 0.5 could hide which side of it the product lies.
bool ScaledNearest(double value, int decimals, std::int64_t& nearest) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4,  1e5,  1e6,
                                         1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
    const double power = kPowers[decimals];  // exact: 10^12 < 2^53
    const double scaled = value * power;
    if (!(std::fabs(scaled) < 9007199254740992.0)) return false;  // also NaN and infinities
    // The whole number nearest to scaled, ties to even, without a library
    // call: adding and taking away 2^52 leaves no fraction bits, and the
    // additions round to nearest even. From 2^52 on, scaled is whole already.
    double n = scaled;
    if (scaled > 0 && scaled < 0x1p52) n = (scaled + 0x1p52) - 0x1p52;
    if (scaled < 0 && scaled > -0x1p52) n = (scaled - 0x1p52) + 0x1p52;
    const double fromN = scaled - n;       // exact: within 0.5 of n
    // The product's rounding error is at most half an ulp of scaled, below
    // |scaled| × 2^-53: where scaled lies farther than twice that from the
    // halfway points, n is the nearest whichever way the error goes. (The
    // margin 0.5 − |fromN| is exact from 0.25 on; below that it exceeds any
    // error of a product under 2^50, and from 2^50 on fromN is a multiple of
    // 0.25 and the margin exact.)
    if (0.5 - std::fabs(fromN) > std::fabs(scaled) * 0x1p-52) {
        nearest = static_cast<std::int64_t>(n);
        return true;
    }
    const double error = ProductError(value, power, scaled);
    const double aboveHalf = fromN - 0.5;  // exact: a multiple of scaled's ulp, at most 1
    const double belowHalf = fromN + 0.5;
    // n is a whole number of magnitude at most 2^53: its parity is that of
    // the integer it converts to exactly.
    const bool nIsOdd = (static_cast<std::int64_t>(n) & 1) != 0;
    if (aboveHalf > -error || (aboveHalf == -error && nIsOdd)) {
        n += 1;
    } else if (belowHalf < -error || (belowHalf == -error && nIsOdd)) {
        n -= 1;
    }
    nearest = static_cast<std::int64_t>(n);
    return true;
}

// "00" to "99": two digits per division.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The text of scaled / 10^decimals (|scaled| < 2^53, decimals 0 to 12) with
// exactly `decimals` decimals, written backwards so that it ends just before
// `end`; returns where it begins. A zero carries no sign.
constexpr std::size_t kScaledTextCapacity = 32;  // 16 digits, 12 leading zeros, point and sign
char* WriteScaledText(std::int64_t scaled, int decimals, char* end) {
    auto magnitude = static_cast<std::uint64_t>(scaled < 0 ? -scaled : scaled);
    char* p = end;
    int fraction = decimals;
    for (; fraction >= 2; fraction -= 2) {
        const auto pair = static_cast<std::size_t>(magnitude % 100) * 2;
        magnitude /= 100;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    }
    if (fraction == 1) {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    if (decimals > 0) *--p = '.';
    while (magnitude >= 100) {
        const auto pair = static_cast<std::size_t>(magnitude % 100) * 2;
        magnitude /= 100;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    }
    if (magnitude >= 10) {
        const auto pair = static_cast<std::size_t>(magnitude) * 2;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    } else {
        *--p = static_cast<char>('0' + magnitude);
    }
    if (scaled < 0) *--p = '-';
    return p;
}

}  // namespace

double TextToNumber(std::string_view text) {
    bool outOfRange = false;
    return TextToNumber(text, outOfRange);
}

double TextToNumber(std::string_view text, bool& outOfRange) {
    outOfRange = false;
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n')) ++pos;
    const Scanned s = Scan(text, pos);
    if (!s.hasDigits) return 0.0;
    const bool negative = s.number.front() == '-';
    std::string_view unsignedPart = s.number;
    if (unsignedPart.front() == '+' || unsignedPart.front() == '-') unsignedPart.remove_prefix(1);

    double value = 0.0;
    const auto [end, ec] =
        std::from_chars(unsignedPart.data(), unsignedPart.data() + unsignedPart.size(), value,
                        std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        outOfRange = !s.allZero && s.magnitude > 0;
        value = outOfRange ? std::numeric_limits<double>::max() : 0.0;
    } else if (ec != std::errc() || std::isinf(value)) {
        outOfRange = std::isinf(value);
        value = outOfRange ? std::numeric_limits<double>::max() : 0.0;
    }
    return negative ? -value : value;
}

std::string NumberToText(double value) {
    char text[kNumberTextCapacity];
    return std::string(text, WriteNumberText(value, text));
}

std::size_t WriteNumberText(double value, char* out) {
    if (value == 0 || !std::isfinite(value)) {  // the program never holds a non-finite value
        out[0] = '0';
        return 1;
    }

    // 15 significant digits, correctly rounded from the exact binary value.
    // The shortest form that reads back as the same double is that rounding
    // whenever it has no more than 15 digits (15-digit decimals are farther apart
    // than normal doubles, so no other one can lie closer); only longer forms,
    // and subnormal values with their fewer bits, need the slower conversion.
    std::array<char, 32> buf{};
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                             std::chars_format::scientific);
    std::string_view sci(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));
    const std::size_t mantissaChars = sci.find('e') - (sci.front() == '-' ? 1 : 0);
    const std::size_t mantissaDigits = mantissaChars > 1 ? mantissaChars - 1 : mantissaChars;
    if (mantissaDigits > 15 || std::fabs(value) < std::numeric_limits<double>::min()) {
        res = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                            std::chars_format::scientific, 14);
        sci = std::string_view(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));
    }

    const bool negative = sci.front() == '-';
    if (negative) sci.remove_prefix(1);
    const std::size_t ePos = sci.find('e');
    int exponent = 0;
    std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+'), sci.data() + sci.size(),
                    exponent);
    // The significant digits without the point, trailing zeros dropped.
    char digits[16] = {};
    int count = 0;
    for (char c : sci.substr(0, ePos))
        if (c != '.') digits[count++] = c;
    while (count > 1 && digits[count - 1] == '0') --count;

    char* to = out;
    const auto put = [&to](char c) { *to++ = c; };
    const auto putDigits = [&to, &digits](int from, int until) {
        for (int i = from; i < until; ++i) *to++ = digits[i];
    };
    if (negative) put('-');
    if (exponent >= 15 || exponent < -5) {
        put(digits[0]);
        if (count > 1) {
            put('.');
            putDigits(1, count);
        }
        put('E');
        put(exponent < 0 ? '-' : '+');
        const int magnitude = std::abs(exponent);
        if (magnitude < 10) put('0');
        to = std::to_chars(to, out + kNumberTextCapacity, magnitude).ptr;
    } else if (exponent < 0) {
        put('0');
        put('.');
        for (int i = 0; i < -exponent - 1; ++i) put('0');
        putDigits(0, count);
    } else if (count <= exponent + 1) {
        putDigits(0, count);
        for (int i = 0; i < exponent + 1 - count; ++i) put('0');
    } else {
        putDigits(0, exponent + 1);
        put('.');
        putDigits(exponent + 1, count);
    }
    return static_cast<std::size_t>(to - out);
}

double RoundTo3(double value) {
    if (!std::isfinite(value)) return value;
    std::int64_t n = 0;
    // Beyond 2^53 thousandths the rounding is left to exact decimal printing.
    if (!ScaledNearest(value, 3, n)) return RoundTo3ByPrinting(value);
    // n is a whole number of at most 2^53, so this division gives the double
    // nearest to the multiple n / 1000.
    const double rounded = static_cast<double>(n) / 1000.0;
    return rounded == 0 ? 0.0 : rounded;
}

std::size_t WriteFixedText(double value, int decimals, char* out) {
    decimals = decimals < 0 ? 0 : (decimals > 12 ? 12 : decimals);
    std::int64_t scaled = 0;
    if (!ScaledNearest(value, decimals, scaled)) {
        // Beyond 2^53 units of the last decimal (or not finite): exact decimal
        // printing, which is slower but rare for a profile.
        const auto res = std::to_chars(out, out + kFixedTextCapacity, value, std::chars_format::fixed, decimals);
        std::string_view text(out, static_cast<std::size_t>(res.ptr - out));
        // A value that rounds to zero carries no sign.
        if (!text.empty() && text.front() == '-' && text.find_first_of("123456789") == std::string_view::npos) {
            std::memmove(out, out + 1, text.size() - 1);
            return text.size() - 1;
        }
        return text.size();
    }
    char text[kScaledTextCapacity];
    const char* begin = WriteScaledText(scaled, decimals, text + sizeof text);
    const auto length = static_cast<std::size_t>(text + sizeof text - begin);
    std::memcpy(out, begin, length);
    return length;
}

void AppendFixedText(std::string& out, double value, int decimals) {
    decimals = decimals < 0 ? 0 : (decimals > 12 ? 12 : decimals);
    // A listing appends millions of these: the text is made once, in place,
    // and copied once.
    if (std::int64_t scaled = 0; ScaledNearest(value, decimals, scaled)) {
        char text[kScaledTextCapacity];
        const char* begin = WriteScaledText(scaled, decimals, text + sizeof text);
        out.append(begin, static_cast<std::size_t>(text + sizeof text - begin));
        return;
    }
    char buf[kFixedTextCapacity];
    out.append(buf, WriteFixedText(value, decimals, buf));
}

std::string FixedText(double value, int decimals) {
    std::string text;
    AppendFixedText(text, value, decimals);
    return text;
}

std::size_t PlainNumberLength(std::string_view s) {
    const auto digitsFrom = [s](std::size_t at) {
        std::size_t n = 0;
        while (at + n < s.size() && s[at + n] >= '0' && s[at + n] <= '9') ++n;
        return n;
    };
    std::size_t pos = 0;
    if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) ++pos;
    std::size_t digits = digitsFrom(pos);
    pos += digits;
    if (pos < s.size() && s[pos] == '.') {
        const std::size_t fraction = digitsFrom(pos + 1);
        digits += fraction;
        pos += 1 + fraction;
    }
    if (digits == 0) return 0;
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        std::size_t e = pos + 1;
        if (e < s.size() && (s[e] == '-' || s[e] == '+')) ++e;
        const std::size_t exponent = digitsFrom(e);
        if (exponent == 0) return 0;
        pos = e + exponent;
    }
    return pos;
}

std::optional<double> ReadWholeNumber(std::string_view text) {
    // Folding costs an allocation; plain ASCII text needs none.
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    const std::string folded = ascii ? std::string() : FoldFullWidth(text);
    std::string_view view = ascii ? text : std::string_view(folded);
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!view.empty() && blank(view.front())) view.remove_prefix(1);
    while (!view.empty() && blank(view.back())) view.remove_suffix(1);
    // from_chars takes no plus sign, but people write one.
    if (view.size() > 1 && view.front() == '+' && view[1] != '-') view.remove_prefix(1);
    if (view.empty()) return std::nullopt;
    // The grammar first: from_chars would also take "inf", "nan" and
    // hexadecimal forms.
    if (PlainNumberLength(view) != view.size()) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
    if (error != std::errc() || end != view.data() + view.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string FoldFullWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        if (i + 2 < text.size()) {
            const auto b1 = static_cast<unsigned char>(text[i + 1]);
            const auto b2 = static_cast<unsigned char>(text[i + 2]);
            // U+FF01..U+FF5E are EF BC 81..EF BC BF and EF BD 80..EF BD 9E.
            if (b0 == 0xEF && (b1 == 0xBC || b1 == 0xBD) && b2 >= 0x80 && b2 <= 0xBF) {
                const unsigned code = 0xFF00u + (b1 == 0xBD ? 0x40u : 0u) + (b2 - 0x80u);
                if (code >= 0xFF01 && code <= 0xFF5E) {
                    out.push_back(static_cast<char>(code - 0xFEE0u));
                    i += 2;
                    continue;
                }
            }
            if (b0 == 0xE3 && b1 == 0x80 && b2 == 0x80) {  // ideographic space
                out.push_back(' ');
                i += 2;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

std::string NormalizedHeaderWord(std::string_view text) {
    std::string out;
    for (char c : FoldFullWidth(text)) {
        if (c == ' ' || c == '\t' || c == '_' || c == '-' || c == '\r' || c == '\n') continue;
        out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}


}  // namespace tarnvel

namespace tarnvel {

void AppendDegreesText(std::string& out, double degrees, int secondDecimals) {
    if (!std::isfinite(degrees)) {
        out += NumberToText(degrees);
        return;
    }
    secondDecimals = std::clamp(secondDecimals, 0, 6);
    // Rounded once, in whole units of the last decimal of the seconds, before
    // the split: 10°59′59.99996″ prints as 11°00′00.0″.
    const double scale = std::pow(10.0, secondDecimals);
    const double units = std::round(std::fabs(degrees) * 3600 * scale);
    const double perMinute = 60 * scale, perDegree = 3600 * scale;
    const double d = std::floor(units / perDegree);
    const double m = std::floor((units - d * perDegree) / perMinute);
    const double s = (units - d * perDegree - m * perMinute) / scale;
    if (degrees < 0 && units > 0) out += '-';
    AppendFixedText(out, d, 0);
    out += "°";
    if (m < 10) out += '0';
    AppendFixedText(out, m, 0);
    out += "′";
    if (s < 10) out += '0';
    AppendFixedText(out, s, secondDecimals);
    out += "″";
}

std::string DegreesText(double degrees, int secondDecimals) {
    std::string out;
    AppendDegreesText(out, degrees, secondDecimals);
    return out;
}

}  // namespace tarnvel
