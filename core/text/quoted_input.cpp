#include "core/text/quoted_input.h"

#include <cstdint>

namespace tarnvel {
namespace {

// The length of the well-formed UTF-8 character at the start of `s` and its
// code point, or 0 when the first byte does not start one.
std::size_t CharAt(std::string_view s, std::uint32_t& cp) {
    const auto lead = static_cast<unsigned char>(s[0]);
    std::size_t n = 0;
    std::uint32_t min = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) n = 2, min = 0x80, cp = lead & 0x1Fu;
    else if (lead >= 0xE0 && lead <= 0xEF) n = 3, min = 0x800, cp = lead & 0x0Fu;
    else if (lead >= 0xF0 && lead <= 0xF4) n = 4, min = 0x10000, cp = lead & 0x07u;
    else return 0;
    if (s.size() < n) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto c = static_cast<unsigned char>(s[k]);
        if ((c & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (c & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

bool Bidi(std::uint32_t cp) {
    return (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069) || cp == 0x200E || cp == 0x200F ||
           cp == 0x061C;
}

std::string Hex(std::uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4) out[static_cast<std::size_t>(i)] = kDigits[value & 0xFu];
    return out;
}

}  // namespace

std::string QuotedList(const std::vector<std::string>& names, std::string_view unit) {
    constexpr std::size_t kListed = 10;
    std::string list;
    for (std::size_t i = 0; i < names.size() && i < kListed; ++i) {
        if (i > 0) list += "、";
        list += "“" + QuotedInput(names[i]) + "”";
    }
    if (names.size() > kListed) list += "等 " + std::to_string(names.size()) + " " + std::string(unit);
    return list;
}

std::string QuotedInput(std::string_view text, std::size_t most) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        std::uint32_t cp = 0;
        const std::size_t n = CharAt(text.substr(i), cp);
        std::string piece;
        if (n == 0) piece = "\\x" + Hex(static_cast<unsigned char>(text[i]), 2);
        else if (cp < 0x20 || cp == 0x7F) piece = "\\x" + Hex(cp, 2);
        else if ((cp >= 0x80 && cp <= 0x9F) || Bidi(cp)) piece = "\\u" + Hex(cp, 4);
        else piece = text.substr(i, n);
        if (out.size() + piece.size() > most) return out + "…";
        out += piece;
        i += n == 0 ? 1 : n;
    }
    return out;
}

}  // namespace tarnvel
