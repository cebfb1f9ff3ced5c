#include "output/page_svg.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace tarnvel {
namespace {

// Chinese fonts a Linux or Windows desktop has, in the order they are tried.
constexpr const char* kFonts = "'AR PL UMing CN','SimSun','宋体','Noto Serif CJK SC','Noto Sans CJK SC',serif";

constexpr std::array<const char*, kPageRoleCount> kClass = {
    "frame", "grid", "design", "ground", "tangent", "curve", "band", "text", "fill", "cut", "chain", "highlight",
    "straight", "arc", "spiral", "jd", "tick", "key"};

const char* ClassOf(PageRole role) { return kClass[static_cast<std::size_t>(role)]; }

// Millimetres to a hundredth, the shortest text that reads back, never in the
// locale's form. A point off the page by more than a metre is clipped anyway.
void AppendNumber(std::string& out, double v) {
    if (!std::isfinite(v)) v = 0;
    v = std::round(std::clamp(v, -1e6, 1e6) * 100) / 100;
    if (v == 0) v = 0;  // no "-0"
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    out.append(buffer, r.ptr);
}

std::string Number(double v) {
    std::string s;
    AppendNumber(s, v);
    return s;
}

std::string Colour(std::uint32_t rgb) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string s = "#";
    for (int shift = 20; shift >= 0; shift -= 4) s += kHex[(rgb >> shift) & 0xf];
    return s;
}

void AppendEscaped(std::string& out, const std::string& text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                // Control characters are not allowed in XML 1.0.
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
        }
    }
}

void AppendPoints(std::string& out, const std::vector<PagePoint>& points) {
    out += " points=\"";
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) out += ' ';
        AppendNumber(out, points[i].x);
        out += ',';
        AppendNumber(out, points[i].y);
    }
    out += '"';
}

void AppendStyles(std::string& out) {
    out += "<style>\n";
    out += "text{font-family:" + std::string(kFonts) + "}\n";
    for (int r = 0; r < kPageRoleCount; ++r) {
        const auto role = static_cast<PageRole>(r);
        const RoleStyle& style = StyleOf(role);
        const std::string colour = Colour(style.rgb);
        out += "polyline." + std::string(ClassOf(role)) + ",polygon." + ClassOf(role) + "{fill:none;stroke:" + colour +
               ";stroke-width:" + Number(style.lineWidth) + ";stroke-linejoin:round";
        if (style.dashed) out += ";stroke-dasharray:" + Number(style.lineWidth * 6 + 0.6) + " " + Number(style.lineWidth * 3 + 0.3);
        out += "}\n";
        out += "path." + std::string(ClassOf(role)) + "{stroke:none;fill:" + colour +
               ";fill-opacity:" + Number(style.fillOpacity) + "}\n";
        out += "text." + std::string(ClassOf(role)) + "{fill:" + colour + "}\n";
    }
    out += "</style>\n";
}

void AppendText(std::string& out, const PageText& text) {
    // The baseline from the anchor, along the text's upright.
    double baseline = -text.height * kTextDescent;
    if (text.vAlign == TextVAlign::Top) baseline = text.height * (1 - kTextDescent);
    if (text.vAlign == TextVAlign::Middle) baseline = text.height * (0.5 - kTextDescent);
    const char* anchor = text.hAlign == TextHAlign::Left ? "start" : text.hAlign == TextHAlign::Right ? "end" : "middle";
    out += "<text class=\"";
    out += ClassOf(text.role);
    out += "\" x=\"";
    AppendNumber(out, text.anchor.x);
    out += "\" y=\"";
    AppendNumber(out, text.anchor.y + baseline);
    out += "\" font-size=\"";
    AppendNumber(out, text.height);
    out += '"';
    if (text.hAlign != TextHAlign::Left) out += std::string(" text-anchor=\"") + anchor + '"';
    if (text.angle != 0) {
        out += " transform=\"rotate(";
        AppendNumber(out, -text.angle);
        out += ' ';
        AppendNumber(out, text.anchor.x);
        out += ' ';
        AppendNumber(out, text.anchor.y);
        out += ")\"";
    }
    out += '>';
    AppendEscaped(out, DrawnText(text.text));
    out += "</text>\n";
}

}  // namespace

std::string PageSvg(const Page& page, const SvgOptions& options) {
    const double width = std::isfinite(page.width) && page.width > 0 ? page.width : 1;
    const double height = std::isfinite(page.height) && page.height > 0 ? page.height : 1;
    std::string out;
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"";
    if (options.pixelsPerMm > 0)
        out += " width=\"" + Number(width * options.pixelsPerMm) + "\" height=\"" + Number(height * options.pixelsPerMm) + '"';
    else
        out += " width=\"" + Number(width) + "mm\" height=\"" + Number(height) + "mm\"";
    out += " viewBox=\"0 0 " + Number(width) + " " + Number(height) + "\">\n";
    AppendStyles(out);
    out += "<rect width=\"" + Number(width) + "\" height=\"" + Number(height) + "\" fill=\"white\"/>\n";
    for (const auto& area : page.areas) {
        if (area.outline.size() < 3) continue;
        out += "<path class=\"";
        out += ClassOf(area.role);
        out += "\" d=\"";
        for (std::size_t i = 0; i < area.outline.size(); ++i) {
            out += i == 0 ? 'M' : 'L';
            AppendNumber(out, area.outline[i].x);
            out += ' ';
            AppendNumber(out, area.outline[i].y);
        }
        out += "Z\"/>\n";
    }
    for (const auto& line : page.lines) {
        if (line.points.size() < 2) continue;
        out += line.closed ? "<polygon class=\"" : "<polyline class=\"";
        out += ClassOf(line.role);
        out += '"';
        AppendPoints(out, line.points);
        out += "/>\n";
    }
    for (const auto& text : page.texts)
        if (!text.text.empty()) AppendText(out, text);
    out += "</svg>\n";
    return out;
}

}  // namespace tarnvel
