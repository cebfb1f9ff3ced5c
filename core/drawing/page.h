#pragma once
// A drawn page as plain primitives: lines, filled areas and anchored text in
// millimetres of the printed page, x to the right and y downwards from the
// page's top-left corner. Whatever is drawn — the on-screen plot, a PNG, a
// PDF or SVG sheet, a DXF drawing — is first built as pages, and each output
// is a thin backend that only draws them. How a primitive looks (colour, line
// width, dashes, the CAD layer) follows from its role alone, in one table, so
// that every output looks the same.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/profile/profile.h"

namespace tarnvel {

struct PagePoint {
    double x = 0, y = 0;  // mm from the top-left corner, y down

    friend bool operator==(const PagePoint&, const PagePoint&) = default;
};

enum class PageRole {
    Frame,       // the page border, the title block and the drawing area's frame
    Grid,        // the elevation grid and station ticks
    DesignLine,  // the design line: grades and curves
    GroundLine,  // the surveyed ground
    Tangent,     // grade lines extended over a curve (dashed)
    Curve,       // vertical-curve brackets and markers
    Band,        // the band table's rules
    Text,        // every text
    Fill,        // the area where the design lies above the ground
    Cut,         // the area where it lies below
    ChainBreak,  // a chain break's mark
    Highlight,   // a selected or queried place (screen only)
    // The plan: the centre line by the kind of its elements, the lines
    // through the 交点, the station ticks and the main points.
    PlanStraight,
    PlanArc,
    PlanSpiral,
    PlanTangent,
    PlanTick,
    PlanKey,
};
inline constexpr int kPageRoleCount = 18;

struct RoleStyle {
    std::uint32_t rgb = 0;     // 0xRRGGBB
    double lineWidth = 0.25;   // mm on the page
    bool dashed = false;
    double fillOpacity = 1.0;  // for areas: 0 (clear) to 1 (solid)
    std::string_view layer;    // CAD layer name
};

// The one table of looks.
const RoleStyle& StyleOf(PageRole role);

struct PageLine {
    PageRole role = PageRole::DesignLine;
    std::vector<PagePoint> points;  // at least two
    bool closed = false;
};

struct PageArea {
    PageRole role = PageRole::Fill;
    std::vector<PagePoint> outline;  // a simple polygon, closed implicitly
};

enum class TextHAlign { Left, Centre, Right };
enum class TextVAlign { Top, Middle, Bottom };  // of the text's box

struct PageText {
    PageRole role = PageRole::Text;
    PagePoint anchor;
    std::string text;         // UTF-8, one line
    double height = 2.5;      // mm, the height of a Chinese character (the font's em); capitals are lower
    double angle = 0;         // degrees counter-clockwise from the x axis (90: reads upwards)
    TextHAlign hAlign = TextHAlign::Left;
    TextVAlign vAlign = TextVAlign::Bottom;
};

// Where a page lies in the world, for an output in real coordinates (a DXF
// that lies on the survey's map): the page point (x, y) mm is the world point
// east = east + x × unitsPerMm, north = north − y × unitsPerMm, in `unit`.
struct PageWorld {
    double east = 0, north = 0;  // the world point of the page's top-left corner
    double unitsPerMm = 1;
    LengthUnit unit = LengthUnit::Metre;
};

struct Page {
    double width = 420, height = 297;  // mm (A3 landscape)
    std::vector<PageArea> areas;       // drawn first
    std::vector<PageLine> lines;
    std::vector<PageText> texts;       // drawn last
    std::optional<PageWorld> world = std::nullopt;  // none: the page is paper only
};

// The width a one-line text takes at the given height, in mm: Chinese and
// other wide characters are square, every other character half as wide. The
// fonts the backends use are chosen to keep to this, so that layouts decided
// here hold in every output.
double PageTextWidth(std::string_view text, double height);

// A text's box runs from the top of its em to the bottom; the baseline lies
// this share of the height above the bottom, where a Chinese character ends
// and descenders hang below it.
inline constexpr double kTextDescent = 0.12;

// An upright rectangle on the page, in mm.
struct PageBox {
    double left = 0, top = 0, right = 0, bottom = 0;

    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
    PageBox Grown(double by) const { return {left - by, top - by, right + by, bottom + by}; }
    bool Contains(const PageBox& inner) const {
        return inner.left >= left && inner.top >= top && inner.right <= right && inner.bottom <= bottom;
    }
    // Boxes that only touch along an edge do not overlap.
    bool Overlaps(const PageBox& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

// A text as every output draws it: each control character (a tab, a line
// break pasted with a project name, an escape) becomes a space, so that the
// PDF, the SVG, the DXF and the screen show the same text and none a box.
std::string DrawnText(std::string_view text);

// The upright box that holds a text's box, turned by its angle; with a
// margin, the text taken that many times as wide (a layout that keeps its
// neighbours apart).
PageBox TextBounds(const PageText& text, double widthMargin = 1);

// Whether the segment from a to b passes through the inside of the box.
bool SegmentMeetsBox(PagePoint a, PagePoint b, const PageBox& box);

// A line thinned to what an output shows: of each run of points within one
// column `resolution` wide, the first, the lowest, the highest and the last.
// The line still covers every column and every height it covered, with at
// most four points a column however many it was given. Points are offered in
// order of x, one at a time, so that a survey of millions is thinned without
// a copy; `kept` receives the indices of the points kept, in order.
class ColumnThinning {
public:
    ColumnThinning(double resolution, std::vector<std::size_t>& kept) : resolution_(resolution), kept_(kept) {}
    void Add(std::size_t index, double x, double y);
    void Finish();  // keeps the last column's points

private:
    void Keep(std::size_t index);
    double resolution_;
    std::vector<std::size_t>& kept_;
    bool open_ = false;
    double column_ = 0, lowY_ = 0, highY_ = 0;
    std::size_t first_ = 0, low_ = 0, high_ = 0, last_ = 0;
};

// The same for a whole polyline of page points.
std::vector<PagePoint> Thinned(const std::vector<PagePoint>& line, double resolution);

}  // namespace tarnvel
