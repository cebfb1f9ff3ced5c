#pragma once
// The frame a plot is drawn in and the ticks of its two axes for a view: the
// window, the SVG and the PDF sheet all lay out the same way.

#include <vector>

#include "core/profile/profile.h"
#include "core/drawing/profile_drawing.h"
#include "core/drawing/view_transform.h"

namespace tarnvel {

// The part of a page left for the drawing itself: room on the left for the
// elevations, below for the stations, above for the chain breaks.
DeviceRect PlotFrame(const DeviceRect& page);

struct PlotAxes {
    std::vector<AxisTick> stations;    // position: internal station
    std::vector<AxisTick> elevations;  // position: elevation
};

// Ticks far enough apart for their text: about 110 pixels between station
// labels and 36 between elevations.
PlotAxes AxesFor(const Profile& profile, const ViewTransform& transform, const DeviceRect& frame);

}  // namespace tarnvel
