#include "io/landxml_scan.h"

namespace tarnvel::io {
namespace {

bool NameEnd(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>'; }

std::string_view LocalPart(std::string_view name) {
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

}  // namespace

std::optional<std::vector<ElementContent>> FindElementContents(std::string_view bytes, std::string_view local,
                                                               std::size_t pieceBytes) {
    std::vector<ElementContent> found;
    bool inside = false;
    std::size_t depth = 0;      // inside the element, of its descendants
    std::size_t lastCut = 0;
    // Called where the element's content may be cut: between two children.
    const auto mayCut = [&](std::size_t at) {
        ElementContent& c = found.back();
        if (at < c.end && at - lastCut >= pieceBytes) {
            c.cuts.push_back(at);
            lastCut = at;
        }
    };
    std::size_t i = 0;
    while ((i = bytes.find('<', i)) != std::string_view::npos) {
        const std::string_view rest = bytes.substr(i);
        // Comments, CDATA and processing instructions hold no tags.
        const auto skipTo = [&](std::string_view open, std::string_view close) -> std::optional<std::size_t> {
            const std::size_t end = bytes.find(close, i + open.size());
            if (end == std::string_view::npos) return std::nullopt;
            return end + close.size();
        };
        std::optional<std::size_t> next;
        if (rest.starts_with("<!--")) next = skipTo("<!--", "-->");
        else if (rest.starts_with("<![CDATA[")) next = skipTo("<![CDATA[", "]]>");
        else if (rest.starts_with("<?")) next = skipTo("<?", "?>");
        else if (rest.starts_with("<!")) return std::nullopt;  // a document type may declare entities
        if (next) {
            i = *next;
            if (inside && depth == 0) mayCut(i);
            continue;
        }
        if (rest.size() < 2) return std::nullopt;
        if (rest.starts_with("</")) {
            std::size_t n = 2;
            while (n < rest.size() && !NameEnd(rest[n])) ++n;
            const std::size_t close = bytes.find('>', i + n);
            if (close == std::string_view::npos) return std::nullopt;
            if (inside) {
                if (depth == 0) {
                    if (LocalPart(rest.substr(2, n - 2)) != local) return std::nullopt;
                    found.back().end = i;
                    inside = false;
                } else if (--depth == 0) {
                    mayCut(close + 1);
                }
            }
            i = close + 1;
            continue;
        }
        // A start tag: its end is the first '>' outside a quoted value.
        std::size_t n = 1;
        while (n < rest.size() && !NameEnd(rest[n])) ++n;
        const std::string_view name = rest.substr(1, n - 1);
        std::size_t k = i + n;
        while (k < bytes.size() && bytes[k] != '>') {
            if (bytes[k] == '"' || bytes[k] == '\'') {
                k = bytes.find(bytes[k], k + 1);
                if (k == std::string_view::npos) return std::nullopt;
            }
            ++k;
        }
        if (k >= bytes.size()) return std::nullopt;
        const bool empty = bytes[k - 1] == '/';
        const bool isLocal = LocalPart(name) == local;
        if (inside) {
            if (isLocal) return std::nullopt;
            if (depth == 0) ++found.back().children;
            if (!empty) ++depth;
            else if (depth == 0) mayCut(k + 1);
        } else if (isLocal && !empty) {
            ElementContent c;
            c.nameOffset = i + 1;
            c.begin = k + 1;
            c.end = bytes.size();
            found.push_back(c);
            inside = true;
            depth = 0;
            lastCut = c.begin;
        }
        i = k + 1;
    }
    if (inside) return std::nullopt;
    return found;
}

void BlankContent(std::string& bytes, const ElementContent& content) {
    for (std::size_t i = content.begin; i < content.end; ++i)
        if (bytes[i] != '\n') bytes[i] = ' ';
}

}  // namespace tarnvel::io
