#include "core/text/text_width.h"

#include <algorithm>
#include <cstdint>

namespace tarnvel {

std::size_t DisplayWidth(std::string_view text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {  // most cells are digits: no decoding
            ++width;
            ++i;
            continue;
        }
        std::uint32_t cp = lead;
        std::size_t n = 1;
        if (lead >= 0xF0) cp = lead & 0x07u, n = 4;
        else if (lead >= 0xE0) cp = lead & 0x0Fu, n = 3;
        else if (lead >= 0xC0) cp = lead & 0x1Fu, n = 2;
        for (std::size_t k = 1; k < n && i + k < text.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        i += n;
        const bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
                          (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                          (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                          (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}

void AppendPadded(std::string& out, std::string_view text, std::size_t width, bool right) {
    const std::size_t w = DisplayWidth(text);
    const std::size_t pad = w < width ? width - w : 0;
    if (right) out.append(pad, ' ');
    out += text;
    if (!right) out.append(pad, ' ');
}

void AppendAlignedTable(std::string& out, const std::vector<std::vector<std::string>>& rows,
                        std::string_view lineEnd) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        if (widths.size() < row.size()) widths.resize(row.size(), 0);
        for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], DisplayWidth(row[i]));
    }
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) out += "  ";
            AppendPadded(out, row[i], widths[i], true);
        }
        out.erase(out.find_last_not_of(' ') + 1);
        out += lineEnd;
    }
}

}  // namespace tarnvel
