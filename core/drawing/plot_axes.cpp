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
    return {page.left + kLeft, page.top + kTop, std::max(1.0, page.width - kLeft - kRight),
            std::max(1.0, page.height - kTop - kBottom)};
}

PlotAxes AxesFor(const Profile& profile, const ViewTransform& transform, const DeviceRect& frame) {
    const WorldBox visible = transform.Visible(frame);
    const double from = std::max(visible.minStation, profile.StartStation());
    const double to = std::min(visible.maxStation, profile.EndStation());
    PlotAxes axes;
    if (from <= to) {
        const double step = NiceStep(visible.maxStation - visible.minStation, TickCount(frame.width, kStationSpacing));
        axes.stations = StationTicks(profile, from, to, step);
    }
    const double step = NiceStep(visible.maxElevation - visible.minElevation, TickCount(frame.height, kElevationSpacing));
    axes.elevations = ElevationTicks(visible.minElevation, visible.maxElevation, step);
    return axes;
}

}  // namespace tarnvel
