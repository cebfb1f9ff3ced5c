#include "core/profile/station.h"

#include <charconv>
#include <cmath>
#include <string>

#include "core/calculator/number_text.h"

namespace tarnvel {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::size_t CountDigits(std::string_view s, std::size_t pos) {
    std::size_t n = 0;
    while (pos + n < s.size() && IsDigit(s[pos + n])) ++n;
    return n;
}

// The pieces of a K-notation label, as digit strings.
struct KParts {
    bool negative = false;
    std::string_view km;        // whole kilometres
    std::string_view metres;    // metres below 1000, without the fraction
    std::string_view fraction;  // the digits after the full stop, possibly none
    std::size_t end = 0;        // where the label ends in the text
};

// Reads "[-]K16+770.5", "K-0+050" or "16+770.5" from the start of `s`. Returns
// false when the text does not start with that shape; `why` then says what is
// missing (empty when the text is not K notation at all).
bool ReadK(std::string_view s, KParts& k, StationTextFault& why) {
    std::size_t pos = 0;
    bool sign = false;
    if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) {
        k.negative = s[pos] == '-';
        sign = true;
        ++pos;
    }
    bool hasK = false;
    if (pos < s.size() && (s[pos] == 'K' || s[pos] == 'k')) {
        hasK = true;
        ++pos;
        if (!sign && pos < s.size() && (s[pos] == '-' || s[pos] == '+')) {
            k.negative = s[pos] == '-';
            ++pos;
        }
    }
    const std::size_t kmDigits = CountDigits(s, pos);
    const bool plus = pos + kmDigits < s.size() && s[pos + kmDigits] == '+';
    if (!hasK && !plus) return false;  // not K notation
    if (kmDigits == 0) {
        why = StationTextFault::KWithoutKm;
        return false;
    }
    if (!plus) {
        why = pos + kmDigits < s.size() && s[pos + kmDigits] == '.'
                  ? StationTextFault::KmNotWhole
                  : StationTextFault::KmWithoutPlus;
        return false;
    }
    k.km = s.substr(pos, kmDigits);
    pos += kmDigits + 1;
    const std::size_t mDigits = CountDigits(s, pos);
    if (mDigits == 0) {
        why = StationTextFault::PlusWithoutMetres;
        return false;
    }
    if (mDigits > 3) {
        why = StationTextFault::MetresTooMany;
        return false;
    }
    k.metres = s.substr(pos, mDigits);
    pos += mDigits;
    if (pos < s.size() && s[pos] == '.') {
        const std::size_t fDigits = CountDigits(s, pos + 1);
        if (fDigits == 0) {
            why = StationTextFault::FractionEmpty;
            return false;
        }
        k.fraction = s.substr(pos + 1, fDigits);
        pos += 1 + fDigits;
    }
    k.end = pos;
    return true;
}

// The decimal text km × 1000 + metres, built digit by digit so that the value
// read from it is the double nearest to the exact label.
std::string KText(const KParts& k) {
    std::string text;
    text.reserve(k.km.size() + 4 + k.fraction.size());
    if (k.negative) text.push_back('-');
    text.append(k.km);
    text.append(3 - k.metres.size(), '0');
    text.append(k.metres);
    if (!k.fraction.empty()) {
        text.push_back('.');
        text.append(k.fraction);
    }
    return text;
}

enum class ReadStatus { Ok, OutOfRange };

ReadStatus ReadDecimal(std::string_view text, double& value) {
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    double v = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v,
                                           std::chars_format::general);
    if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(v))
        return ReadStatus::OutOfRange;
    value = negative && v != 0 ? -v : v;
    return ReadStatus::Ok;
}

// "(2)" at the end of a label: the occurrence. Returns false when the suffix is
// there but malformed.
bool SplitOccurrence(std::string_view& s, int& occurrence, StationTextFault& why) {
    if (s.empty() || s.back() != ')') return true;
    const std::size_t open = s.rfind('(');
    if (open == std::string_view::npos) {
        why = StationTextFault::UnpairedBracket;
        return false;
    }
    const std::string_view digits = s.substr(open + 1, s.size() - open - 2);
    int n = 0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (digits.empty() || ec != std::errc() || ptr != digits.data() + digits.size() || n < 1 ||
        n > kMostOccurrences) {
        why = StationTextFault::BadOccurrence;
        return false;
    }
    occurrence = n;
    s = Trim(s.substr(0, open));
    return true;
}

}  // namespace

std::string MessageExcerpt(std::string_view text) {
    constexpr std::size_t kMost = 40;
    if (text.size() <= kMost) return std::string(text);
    std::size_t cut = kMost;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return std::string(text.substr(0, cut)) + "…";
}

std::optional<Station> ParseStation(std::string_view text, StationTextProblem* problem) {
    const std::string folded = FoldFullWidth(text);
    std::string_view s = Trim(folded);
    StationTextFault why = StationTextFault::None;
    const auto refuse = [&](StationTextFault reason) -> std::optional<Station> {
        if (problem) *problem = {reason, MessageExcerpt(Trim(text))};
        return std::nullopt;
    };
    if (s.empty()) return refuse(StationTextFault::Empty);

    Station station;
    if (!SplitOccurrence(s, station.occurrence, why)) return refuse(why);
    if (s.empty()) return refuse(StationTextFault::NoLabel);

    KParts k;
    std::string number;
    if (ReadK(s, k, why)) {
        if (k.end != s.size()) return refuse(StationTextFault::TrailingText);
        number = KText(k);
    } else if (why != StationTextFault::None) {
        return refuse(why);
    } else {
        const std::size_t length = PlainNumberLength(s);
        if (length == 0) return refuse(StationTextFault::NotANumber);
        if (length != s.size()) return refuse(StationTextFault::TrailingAfterNumber);
        number = std::string(s);
    }
    if (ReadDecimal(number, station.value) != ReadStatus::Ok) return refuse(StationTextFault::OutOfRange);
    return station;
}

double StationBoxToNumber(std::string_view text) {
    bool outOfRange = false;
    return StationBoxToNumber(text, outOfRange);
}

double StationBoxToNumber(std::string_view text, bool& outOfRange) {
    const std::string folded = FoldFullWidth(text);
    std::string_view s = folded;
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    KParts k;
    StationTextFault why = StationTextFault::None;
    if (ReadK(s, k, why)) return TextToNumber(KText(k), outOfRange);
    return TextToNumber(s, outOfRange);
}

StationTextFault StationBoxProblem(std::string_view text) {
    const std::string folded = FoldFullWidth(text);
    std::string_view s = folded;
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    KParts k;
    StationTextFault why = StationTextFault::None;
    ReadK(s, k, why);
    return why;
}

std::string FormatStation(double value, StationStyle style, int decimals) {
    if (style == StationStyle::Plain)
        return decimals < 0 ? NumberToText(value) : FixedText(value, decimals);
    if (!std::isfinite(value)) return NumberToText(value);

    // Round first, then split the integer digits: the last three are metres,
    // so a carry from the metres into the kilometres is already done.
    const std::string rounded = FixedText(value, decimals < 0 ? 3 : decimals);
    std::string_view fixed = rounded;
    const bool negative = fixed.front() == '-';
    if (negative) fixed.remove_prefix(1);
    const std::size_t point = fixed.find('.');
    const std::string_view whole = fixed.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : fixed.substr(point);

    std::string out;
    out.reserve(fixed.size() + 6);
    if (negative) out.push_back('-');
    out.push_back('K');
    if (whole.size() <= 3) {
        out += "0+";
        out.append(3 - whole.size(), '0');
        out.append(whole);
    } else {
        out.append(whole.substr(0, whole.size() - 3));
        out.push_back('+');
        out.append(whole.substr(whole.size() - 3));
    }
    out.append(fraction);
    return out;
}

std::string StationInMessage(double value) {
    std::string text = FormatStation(value, StationStyle::K, 6);
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

std::string FormatStation(const Station& station, StationStyle style, int decimals) {
    std::string out = FormatStation(station.value, style, decimals);
    if (station.occurrence >= 1) {
        out.push_back('(');
        out += std::to_string(station.occurrence);
        out.push_back(')');
    }
    return out;
}

}  // namespace tarnvel
