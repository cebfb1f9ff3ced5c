#include "core/drawing/plot_legend.h"

#include <algorithm>
#include <vector>

namespace tarnvel {
namespace {

struct LegendShape {
    PageBox box;
    bool row = true;
};
constexpr const char* kLegendWords[] = {"设计线", "地面线", "填方", "挖方", "填挖交界"};
constexpr double kSymbol = 5, kSymbolGap = 1, kEntryGap = 3, kPad = 1.2;

LegendShape LegendSize(bool row) {
    double width = 0, height = 0;
    for (const char* word : kLegendWords) {
        const double entry = kSymbol + kSymbolGap + PageTextWidth(word, kPlotTextHeight);
        if (row) {
            width += entry + (width > 0 ? kEntryGap : 0);
            height = kPlotTextHeight;
        } else {
            width = std::max(width, entry);
            height += kPlotTextHeight + (height > 0 ? kPlotLineStep - kPlotTextHeight : 0);
        }
    }
    return {{0, 0, width + 2 * kPad, height + 2 * kPad}, row};
}

bool LegendFits(const PageSpace& space, const PageBox& box, const PageBox& area) {
    const PageBox clear = box.Grown(kPlotClearance);
    return area.Contains(box) && space.FreeOfBoxes(clear) && space.FreeOfSegments(clear);
}

void DrawLegend(Page& page, PageSpace& space, const LegendShape& shape) {
    const PageBox& b = shape.box;
    space.AddBox(b);
    page.lines.push_back({PageRole::Grid, {{b.left, b.top}, {b.right, b.top}, {b.right, b.bottom}, {b.left, b.bottom}}, true});
    double x = b.left + kPad, top = b.top + kPad;
    int entry = 0;
    for (const char* word : kLegendWords) {
        const double middle = top + kPlotTextHeight / 2;
        const PagePoint left{x, middle}, right{x + kSymbol, middle};
        switch (entry) {
            case 0: page.lines.push_back({PageRole::DesignLine, {left, right}, false}); break;
            case 1: page.lines.push_back({PageRole::GroundLine, {left, right}, false}); break;
            case 2:
            case 3: {
                const double h = kPlotTextHeight * 0.8 / 2;
                page.areas.push_back({entry == 2 ? PageRole::Fill : PageRole::Cut,
                                      {{x, middle - h}, {x + kSymbol, middle - h}, {x + kSymbol, middle + h}, {x, middle + h}}});
                break;
            }
            default:
                page.lines.push_back({PageRole::GroundLine, ZeroMarkOutline({x + kSymbol / 2, middle}), true});
                break;
        }
        page.texts.push_back({PageRole::Text, {x + kSymbol + kSymbolGap, top}, word, kPlotTextHeight, 0,
                               TextHAlign::Left, TextVAlign::Top});
        const double width = kSymbol + kSymbolGap + PageTextWidth(word, kPlotTextHeight);
        if (shape.row) x += width + kEntryGap;
        else top += kPlotLineStep;
        ++entry;
    }
}

}  // namespace

std::vector<PagePoint> ZeroMarkOutline(PagePoint c) {
    const double r = kZeroMarkRadius;
    return {{c.x, c.y - r}, {c.x + r, c.y}, {c.x, c.y + r}, {c.x - r, c.y}};
}

bool PlaceLegendInFrame(Page& page, PageSpace& space, const PageBox& frame) {
    const PageBox inside = frame.Grown(-1);
    for (const bool row : {true, false}) {
        LegendShape shape = LegendSize(row);
        const double w = shape.box.Width(), h = shape.box.Height();
        std::vector<PagePoint> corners{{inside.right - w, inside.top}, {inside.left, inside.top},
                                       {inside.right - w, inside.bottom - h}, {inside.left, inside.bottom - h}};
        constexpr int kSteps = 8;
        for (int r = 0; r <= kSteps; ++r)
            for (int c = kSteps; c >= 0; --c)
                corners.push_back({inside.left + (inside.Width() - w) * c / kSteps,
                                   inside.top + (inside.Height() - h) * r / kSteps});
        for (const PagePoint& at : corners) {
            shape.box = {at.x, at.y, at.x + w, at.y + h};
            if (!LegendFits(space, shape.box, inside)) continue;
            DrawLegend(page, space, shape);
            return true;
        }
    }
    return false;
}

void PlaceLegendAboveFrame(Page& page, PageSpace& space, const PageBox& frame, const PageBox& whole) {
    LegendShape shape = LegendSize(true);
    const double w = shape.box.Width(), h = shape.box.Height();
    shape.box = {frame.right - w, frame.top - 0.5 - h, frame.right, frame.top - 0.5};
    if (LegendFits(space, shape.box, whole)) DrawLegend(page, space, shape);
}

}  // namespace tarnvel
