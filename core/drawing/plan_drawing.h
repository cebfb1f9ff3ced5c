#pragma once
// The plan (平面图) of a route as a page of primitives: the centre line from
// the exact geometry, each straight, arc and spiral in a role of its own (so
// that a CAD drawing has them on their own layers), the 交点 with the lines
// through them, the main points and the station ticks with their 公里桩 and
// 百米桩 labels, a north arrow and a scale bar. The window draws it for its
// view (PlanViewPage); the command line and 导出平面图 draw one sheet at a
// fixed scale with the 曲线要素表 beside the route (BuildPlanSheet).
//
// Plan coordinates are X north, Y east; on the page east is to the right and
// north up. Curves are sampled from Plan::At until no chord strays further
// from the curve than the page's tolerance.

#include <optional>
#include <string>
#include <vector>

#include "core/drawing/page.h"
#include "core/plan/plan.h"

namespace tarnvel {

struct PlanExtent {
    double minNorth = 0, minEast = 0, maxNorth = 0, maxEast = 0;
    bool Meets(const PlanExtent& other) const {
        return minNorth <= other.maxNorth && other.minNorth <= maxNorth && minEast <= other.maxEast &&
               other.minEast <= maxEast;
    }
};

// What the drawings need of a route, worked out once: the 交点 (the table's,
// or those of a route of elements where its curves are framed by straights)
// and the extents of the elements, so that a view draws only what it shows.
struct PlanFigure {
    std::vector<CurveTableRow> intersections;  // with α, R, Ls, T, L, E; empty when there are none
    std::vector<PlanPoint> tangentLine;        // start, JD1 … JDn, end; empty without 交点
    std::vector<PlanExtent> elements;          // one per element of the route
    PlanExtent extent;                         // of the centre line and the 交点
};
PlanFigure MakePlanFigure(const Plan& plan);

// Where the world lies on the page.
struct PlanViewport {
    PageBox frame;         // the drawing area, mm: the route is drawn within it
    PlanPoint centre;      // the world point at the frame's centre
    double mmPerUnit = 1;  // page millimetres per unit of the route's length

    PagePoint ToPage(const PlanPoint& p) const {
        return {(frame.left + frame.right) / 2 + (p.east - centre.east) * mmPerUnit,
                (frame.top + frame.bottom) / 2 - (p.north - centre.north) * mmPerUnit};
    }
    PlanPoint ToWorld(const PagePoint& p) const {
        return {centre.north - (p.y - (frame.top + frame.bottom) / 2) / mmPerUnit,
                centre.east + (p.x - (frame.left + frame.right) / 2) / mmPerUnit};
    }
    // The world the frame shows.
    PlanExtent Visible() const;
    // The page in the world, for an output in real coordinates.
    PageWorld World(LengthUnit unit) const;
};

// The view that shows the whole route in the frame, with a margin for the labels.
PlanViewport FitPlanViewport(const PlanFigure& figure, const PageBox& frame);

inline constexpr double kPlanTickInterval = 20;  // station ticks, in the route's unit

// The screen's drawing: a page of `width` × `height` mm, the route drawn over
// the whole of it. `marked` (internal) is a station chosen elsewhere, drawn
// highlighted.
struct PlanViewOptions {
    double textHeight = 3.0;         // mm
    double chordTolerance = 0.0625;  // mm: a quarter of a pixel at 0.25 mm a pixel
    std::optional<double> marked;
};
Page PlanViewPage(const Plan& plan, const PlanFigure& figure, const PlanViewport& view, double width, double height,
                  const PlanViewOptions& options = {});

// The paper's: one page as large as the route needs at 1:`scale`, in a
// frame with the title and the 曲线要素表, placed in the world.
struct PlanSheetOptions {
    int scale = 2000;     // 1:n
    std::string title;    // above the drawing: "平面图" and the route's name
};
struct PlanSheet {
    Page page;
    PlanViewport view;  // where the route lies on the page
};
PlanSheet BuildPlanSheet(const Plan& plan, const PlanFigure& figure, const PlanSheetOptions& options);

// Page millimetres per unit of the route at 1:scale.
double PaperMmPerUnit(LengthUnit unit, int scale);

// A PDF page larger than this (200 inches) most readers refuse to open; the
// SVG writer clips its numbers beyond a kilometre. A DXF has no paper.
inline constexpr double kLargestPdfPageMm = 5080;
inline constexpr double kLargestSvgPageMm = 1e6;

}  // namespace tarnvel
