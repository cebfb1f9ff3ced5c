#include "core/drawing/page.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "core/text/text_width.h"

namespace tarnvel {
namespace {

// Layer names are the Chinese words a CAD user on a Chinese desktop expects;
// several roles share a layer where a drafter would keep them together.
constexpr std::array<RoleStyle, kPageRoleCount> kStyles = {{
    /* Frame      */ {0x000000, 0.35, false, 1.0, "图框"},
    /* Grid       */ {0xd8d8d8, 0.13, false, 1.0, "图框"},
    /* DesignLine */ {0x000000, 0.50, false, 1.0, "设计线"},
    /* GroundLine */ {0x7a4a1e, 0.25, false, 1.0, "地面线"},
    /* Tangent    */ {0x606060, 0.18, true, 1.0, "竖曲线"},
    /* Curve      */ {0x004080, 0.25, false, 1.0, "竖曲线"},
    /* Band       */ {0x000000, 0.25, false, 1.0, "资料栏"},
    /* Text       */ {0x000000, 0.18, false, 1.0, "文字"},
    /* Fill       */ {0xe8a040, 0.0, false, 0.35, "填挖"},
    /* Cut        */ {0x4080e0, 0.0, false, 0.35, "填挖"},
    /* ChainBreak */ {0xc00000, 0.25, true, 1.0, "图框"},
    /* Highlight  */ {0xe67800, 0.50, false, 1.0, "文字"},
    /* PlanStraight */ {0x000000, 0.50, false, 1.0, "中线-直线"},
    /* PlanArc      */ {0xc00000, 0.50, false, 1.0, "中线-圆曲线"},
    /* PlanSpiral   */ {0x0060c0, 0.50, false, 1.0, "中线-缓和曲线"},
    /* PlanTangent  */ {0x606060, 0.18, false, 1.0, "交点线"},
    /* PlanTick     */ {0x000000, 0.18, false, 1.0, "桩号"},
    /* PlanKey      */ {0x004080, 0.25, false, 1.0, "主点"},
}};

}  // namespace

const RoleStyle& StyleOf(PageRole role) { return kStyles[static_cast<std::size_t>(role)]; }

double PageTextWidth(std::string_view text, double height) {
    return static_cast<double>(DisplayWidth(text)) * height * 0.5;
}

PageBox TextBounds(const PageText& text, double widthMargin) {
    const double width = PageTextWidth(text.text, text.height) * widthMargin;
    double left = 0, top = 0;  // of the unturned box, relative to the anchor
    if (text.hAlign == TextHAlign::Centre) left = -width / 2;
    if (text.hAlign == TextHAlign::Right) left = -width;
    if (text.vAlign == TextVAlign::Middle) top = -text.height / 2;
    if (text.vAlign == TextVAlign::Bottom) top = -text.height;
    if (text.angle == 0)
        return {text.anchor.x + left, text.anchor.y + top, text.anchor.x + left + width,
                text.anchor.y + top + text.height};
    // Counter-clockwise on the page, whose y runs downwards.
    // A text reading upwards, the one turn a sheet uses, is turned exactly.
    const double a = text.angle * std::numbers::pi / 180;
    const double c = text.angle == 90 ? 0 : std::cos(a), s = text.angle == 90 ? 1 : std::sin(a);
    PageBox box{INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (const double x : {left, left + width})
        for (const double y : {top, top + text.height}) {
            const double px = text.anchor.x + x * c + y * s;
            const double py = text.anchor.y - x * s + y * c;
            box = {std::min(box.left, px), std::min(box.top, py), std::max(box.right, px), std::max(box.bottom, py)};
        }
    return box;
}

bool SegmentMeetsBox(PagePoint a, PagePoint b, const PageBox& box) {
    // Liang and Barsky: the part of the segment within each pair of edges.
    const double dx = b.x - a.x, dy = b.y - a.y;
    double t0 = 0, t1 = 1;
    auto edge = [&](double p, double q) {
        if (p == 0) return q > 0;
        const double t = q / p;
        if (p < 0) {
            if (t >= t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t <= t0) return false;
            t1 = std::min(t1, t);
        }
        return true;
    };
    return edge(-dx, a.x - box.left) && edge(dx, box.right - a.x) && edge(-dy, a.y - box.top) &&
           edge(dy, box.bottom - a.y) && t0 < t1;
}

std::string DrawnText(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c < 0x20 || c == 0x7F) {
            out[i] = ' ';
        } else if (c == 0xC2 && i + 1 < out.size() && static_cast<unsigned char>(out[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(out[i + 1]) <= 0x9F) {
            out.replace(i, 2, " ");  // a C1 control, U+0080 to U+009F
        }
    }
    return out;
}

void ColumnThinning::Keep(std::size_t index) {
    if (kept_.empty() || kept_.back() != index) kept_.push_back(index);
}

void ColumnThinning::Add(std::size_t index, double x, double y) {
    const double column = std::floor(x / resolution_);
    if (open_ && column == column_) {
        if (y < lowY_) lowY_ = y, low_ = index;
        if (y > highY_) highY_ = y, high_ = index;
        last_ = index;
        return;
    }
    Finish();
    open_ = true;
    column_ = column;
    first_ = low_ = high_ = last_ = index;
    lowY_ = highY_ = y;
}

void ColumnThinning::Finish() {
    if (!open_) return;
    Keep(first_);
    Keep(std::min(low_, high_));
    Keep(std::max(low_, high_));
    Keep(last_);
    open_ = false;
}

std::vector<PagePoint> Thinned(const std::vector<PagePoint>& line, double resolution) {
    std::vector<std::size_t> kept;
    ColumnThinning thinning(resolution, kept);
    for (std::size_t i = 0; i < line.size(); ++i) thinning.Add(i, line[i].x, line[i].y);
    thinning.Finish();
    std::vector<PagePoint> out;
    out.reserve(kept.size());
    for (const std::size_t i : kept)
        if (out.empty() || !(out.back() == line[i])) out.push_back(line[i]);
    return out;
}

}  // namespace tarnvel
