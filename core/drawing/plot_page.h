#pragma once
// The plot of a profile in one view as a page: the frame, the grid and the
// axes, the design line sampled for what the view can show, the marks, and
// the labels that fit. The window paints this page, the PNG and the PDF sheet
// paint it, the SVG writes it: one layout, one choice of labels, every output.
//
// The view is given in device pixels (a widget, an image); the page is in
// millimetres at kPlotMmPerPixel, so that the line widths and text heights of
// the one table of looks come out as a screen shows them.
//
// With a ground line the page also draws the ground, shades fill and cut
// between the two lines, marks every 填挖交界 and carries a small legend in a
// place that covers no line.

#include <vector>

#include "core/drawing/drawn_ground.h"
#include "core/drawing/page.h"
#include "core/drawing/profile_drawing.h"
#include "core/drawing/view_transform.h"
#include "core/profile/ground_line.h"
#include "core/profile/profile.h"

namespace tarnvel {

inline constexpr double kPlotMmPerPixel = 0.25;
inline constexpr double kPlotTextHeight = 3.0;  // mm: a 12-pixel em
inline constexpr double kPlotLineStep = kPlotTextHeight * 1.2;  // from one line of a label to the next
// Placed texts keep this far from each other and from the lines, so that
// nothing even touches.
inline constexpr double kPlotClearance = 0.4;

// The extent a fitted view shows: the drawing's, grown to hold the ground.
WorldBox PlotExtent(const ProfileDrawing& drawing, const DrawnGround* ground);

// The view that shows the whole drawing on a page of the given size, with
// room for the axes and a margin inside the frame for the end labels.
ViewTransform FitPlotView(const WorldBox& extent, const DeviceRect& page, double exaggeration);

// `page` is the device rectangle the page stands for; `selectedPvi` (an index
// into Profile::Elements(), or kNoPvi) is drawn highlighted. Without a
// ground (nullptr) the page holds the design line alone.
Page PlotPage(const Profile& profile, const ProfileDrawing& drawing, const ViewTransform& view,
              const DeviceRect& page, int selectedPvi = kNoPvi, const DrawnGround* ground = nullptr);

// The frame of the plot on its page, in mm.
PageBox PlotFrameOnPage(const DeviceRect& page);

}  // namespace tarnvel
