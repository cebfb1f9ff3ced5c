#pragma once
// World (internal station, elevation) to device (pixels, y down) and back.
// One scale for the stations; the elevations take that scale times the
// vertical exaggeration, so that zooming keeps the exaggeration.

#include <vector>

#include "core/drawing/profile_drawing.h"

namespace tarnvel {

struct DevicePoint {
    double x = 0, y = 0;
};

struct DeviceRect {
    double left = 0, top = 0, width = 0, height = 0;
};

class ViewTransform {
public:
    ViewTransform() = default;

    // The whole box centred in the rectangle at the given exaggeration, as
    // large as fits. A box without height (a level road) or without length
    // is given some, so that the scale stays finite.
    static ViewTransform Fit(const WorldBox& box, const DeviceRect& rect, double exaggeration);

    DevicePoint ToDevice(WorldPoint p) const {
        return {offsetX_ + p.station * scale_, offsetY_ - p.elevation * scale_ * exaggeration_};
    }
    WorldPoint ToWorld(DevicePoint d) const {
        return {(d.x - offsetX_) / scale_, (offsetY_ - d.y) / (scale_ * exaggeration_)};
    }
    // The world box that the device rectangle shows.
    WorldBox Visible(const DeviceRect& rect) const;

    double Scale() const { return scale_; }  // pixels per unit of station
    double Exaggeration() const { return exaggeration_; }

    // Zooms by `factor` (> 1 enlarges) keeping the world point under `fixed` in place.
    void ZoomAbout(DevicePoint fixed, double factor);
    // Changes the exaggeration keeping the world point under `fixed` in place.
    void SetExaggerationAbout(DevicePoint fixed, double exaggeration);
    void PanBy(double dx, double dy);

    friend bool operator==(const ViewTransform&, const ViewTransform&) = default;

private:
    double scale_ = 1;
    double exaggeration_ = 1;
    double offsetX_ = 0, offsetY_ = 0;
};

// Cuts the segment a–b to the rectangle, moving its ends onto the border;
// false when nothing of it is inside (or a point is not finite).
bool ClipSegment(DevicePoint& a, DevicePoint& b, const DeviceRect& box);
// Cuts a polygon to the rectangle: the part inside, perhaps with edges along
// the border; empty when nothing is inside (or a point is not finite).
std::vector<DevicePoint> ClipPolygon(std::vector<DevicePoint> polygon, const DeviceRect& box);

}  // namespace tarnvel
