#pragma once
// The plot's legend, drawn when it shows a ground line: a short stroke, swatch
// or mark and its word for each of the design line, the ground line, fill,
// cut and the zero mark, in one row or one column, inside a light border, in
// a place that covers nothing already on the page.

#include <vector>

#include "core/drawing/label_layout.h"
#include "core/drawing/page.h"
#include "core/drawing/plot_page.h"

namespace tarnvel {

inline constexpr double kZeroMarkRadius = 4 * kPlotMmPerPixel;  // a 填挖交界's diamond

// A 填挖交界's mark (a diamond) about its point, as the plot and its legend draw it.
std::vector<PagePoint> ZeroMarkOutline(PagePoint centre);

// Inside the frame: its corners first, then a coarse walk over it, a row
// before a column. False, and nothing drawn, when no place is free.
bool PlaceLegendInFrame(Page& page, PageSpace& space, const PageBox& frame);
// A row above the frame's right end, clear of the chain breaks' texts, when
// it fits the page (`whole`).
void PlaceLegendAboveFrame(Page& page, PageSpace& space, const PageBox& frame, const PageBox& whole);

}  // namespace tarnvel
