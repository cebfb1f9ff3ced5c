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
    // Doubles of 2^53 / 1000 and above are handled by exact decimal printing;
    // below it the scaled value and its rounding error fit the fast path.
    if (std::fabs(value) >= 9007199254740.992) return RoundTo3ByPrinting(value);

    // value * 1000 exactly is scaled + error (fma computes the error exactly).
    const double scaled = value * 1000.0;
    const double error = std::fma(value, 1000.0, -scaled);
    double n = std::nearbyint(scaled);
    // The exact product lies (scaled - n) + error away from n. Both parts are
    // exact, but their sum is not, so it is compared with one half through
    // exact differences: a sum rounded to 0.5 could hide which side it is on.
    const double fromN = scaled - n;     // exact: within 0.5 of n
    const double aboveHalf = fromN - 0.5;  // exact: a multiple of scaled's ulp, at most 1
    const double belowHalf = fromN + 0.5;
    // n is a whole number of magnitude below 2^53: its parity is that of the
    // integer it converts to exactly.
    const bool nIsOdd = (static_cast<std::int64_t>(n) & 1) != 0;
    if (aboveHalf > -error || (aboveHalf == -error && nIsOdd)) {
        n += 1;
    } else if (belowHalf < -error || (belowHalf == -error && nIsOdd)) {
        n -= 1;
    }
    // n is a whole number below 2^53, so this division gives the double nearest
    // to the multiple n / 1000.
    const double rounded = n / 1000.0;
    return rounded == 0 ? 0.0 : rounded;
}

namespace {

// Fixed-point text of a double whose value, scaled by 10^decimals and
// rounded, fits 64 bits: the double is m·2^e exactly, so m·10^d / 2^−e is
// divided in 128-bit integers and rounded half to even on the exact
// remainder, as the general conversion rounds. A listing prints millions of
// such numbers; this is several times faster than the general path. Returns
// the length written to `out` (at least 40 characters), or 0 when the value
// does not fit.
std::size_t SmallFixedText(double value, int decimals, char* out) {
    static constexpr std::uint64_t kPow10[] = {1,         10,         100,         1000,         10000,
                                               100000,    1000000,    10000000,    100000000,    1000000000,
                                               10000000000, 100000000000, 1000000000000};
    std::uint64_t bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = bits >> 63;
    const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (exponent == 0x7FF) return 0;
    const std::uint64_t m = exponent == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
    const int e = exponent == 0 ? -1074 : exponent - 1075;
    using U128 = unsigned __int128;
    std::uint64_t q = 0;
    std::uint64_t scaled64 = 0;
    if (e >= 0) {
        if (e > 10) return 0;
        const U128 scaled = static_cast<U128>(m << e) * kPow10[decimals];
        if (scaled >> 64) return 0;
        q = static_cast<std::uint64_t>(scaled);
    } else if (-e < 64 && !__builtin_mul_overflow(m, kPow10[decimals], &scaled64)) {
        // The usual case (a few decimals, a value below 2^63 / 10^d): 64 bits do.
        const int k = -e;
        const std::uint64_t whole = scaled64 >> k;
        const std::uint64_t rest = scaled64 - (whole << k);
        const std::uint64_t half = std::uint64_t{1} << (k - 1);
        q = whole + ((rest > half || (rest == half && (whole & 1))) ? 1 : 0);
    } else if (-e < 128) {
        const int k = -e;
        const U128 scaled = static_cast<U128>(m) * kPow10[decimals];
        const U128 whole = scaled >> k;
        const U128 rest = scaled - (whole << k);
        const U128 half = static_cast<U128>(1) << (k - 1);
        U128 rounded = whole;
        if (rest > half || (rest == half && (whole & 1))) ++rounded;
        if (rounded >> 64) return 0;
        q = static_cast<std::uint64_t>(rounded);
    }  // else far below the last decimal: rounds to zero
    // Digits from the right, two at a time.
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char digits[24];
    int n = 0;
    while (q >= 100) {
        const std::uint64_t pair = q % 100;
        q /= 100;
        digits[n++] = kPairs[2 * pair + 1];
        digits[n++] = kPairs[2 * pair];
    }
    if (q >= 10) {
        digits[n++] = kPairs[2 * q + 1];
        digits[n++] = kPairs[2 * q];
    } else {
        digits[n++] = static_cast<char>('0' + q);
    }
    const bool zero = n == 1 && digits[0] == '0';
    while (n < decimals + 1) digits[n++] = '0';
    std::size_t len = 0;
    if (negative && !zero) out[len++] = '-';
    for (int i = n - 1; i >= 0; --i) {
        out[len++] = digits[i];
        if (i == decimals && decimals > 0) out[len++] = '.';
    }
    return len;
}

}  // namespace

void AppendFixedText(std::string& out, double value, int decimals) {
    decimals = decimals < 0 ? 0 : (decimals > 12 ? 12 : decimals);
    char small[48];
    if (const std::size_t len = SmallFixedText(value, decimals, small)) {
        out.append(small, len);
        return;
    }
    // Not initialised: to_chars writes what is read. The largest double has
    // 309 integer digits.
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    // A value that rounds to zero carries no sign.
    if (!text.empty() && text.front() == '-' &&
        text.find_first_of("123456789") == std::string_view::npos)
        text.remove_prefix(1);
    out.append(text);
}

std::string FixedText(double value, int decimals) {
    std::string text;
    AppendFixedText(text, value, decimals);
    return text;
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
    // Only digits, signs, the point and an exponent: from_chars would also
    // take "inf", "nan" and hexadecimal forms.
    for (char c : view)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return std::nullopt;
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

}  // namespace tarnvel
