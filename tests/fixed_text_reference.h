#pragma once
// Fixed-point text by exact decimal printing (std::to_chars), the sign
// dropped where the rounded value is zero: what the program's fast formatter
// must write byte for byte. Shared by the tests, the fuzz target and the
// benchmark; the program itself never uses it.

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>

namespace tarnvel::testing {

inline std::string ReferenceFixedText(double value, int decimals) {
    decimals = std::clamp(decimals, 0, 12);
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    if (!text.empty() && text.front() == '-' && text.find_first_of("123456789") == std::string_view::npos)
        text.remove_prefix(1);
    return std::string(text);
}

}  // namespace tarnvel::testing
