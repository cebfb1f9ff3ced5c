#include "core/drawing/plot_axes.h"

#include <algorithm>
#include <cmath>

namespace tarnvel {
namespace {

constexpr double kLeft = 72, kBottom = 40, kTop = 44, kRight = 16;
constexpr double kStationSpacing = 110, kElevationSpacing = 36;

int TickCount(double pixels, double spacing) { return std::max(1, static_cast<int>(pixels / spacing)); }

}  // namespace

DeviceRect PlotFrame(const DeviceRect& page) {
    // A page too small for the room around the frame gives it a share of
    // its size instead, so that the frame always lies on the page.
    const double width = std::max(page.width, 1.0), height = std::max(page.height, 1.0);
    const double sx = std::min(1.0, width / (4 * (kLeft + kRight)));
    const double sy = std::min(1.0, height / (4 * (kTop + kBottom)));
    return {page.left + kLeft * sx, page.top + kTop * sy, width - (kLeft + kRight) * sx,
            height - (kTop + kBottom) * sy};
}

PlotAxes AxesFor(const Profile& profile, const ViewTransform& transform, const DeviceRect& frame) {
    const WorldBox visible = transform.Visible(frame);
    const double from = std::max(visible.minStation, profile.StartStation());
    const double to = std::min(visible.maxStation, profile.EndStation());
    PlotAxes axes;
    if (from <= to) {
        const double step = NiceStep((visible.maxStation - visible.minStation) / TickCount(frame.width, kStationSpacing));
        axes.stations = StationTicks(profile, from, to, step);
    }
    const double step = NiceStep((visible.maxElevation - visible.minElevation) / TickCount(frame.height, kElevationSpacing));
    axes.elevations = ElevationTicks(visible.minElevation, visible.maxElevation, step);
    return axes;
}

}  // namespace tarnvel
