#include "io/exact_number.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

#include "core/station.h"

namespace tarnvel::io {

std::string ExactNumberText(double value) {
    // Fixed notation of a double needs at most 309 digits before the point
    // and about 770 after it; the shortest round-trip form is far shorter.
    std::array<char, 1100> buffer{};
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    if (error != std::errc()) return "0";
    return std::string(buffer.data(), end);
}

std::optional<double> ReadExactNumber(std::string_view text) {
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

}  // namespace tarnvel::io
