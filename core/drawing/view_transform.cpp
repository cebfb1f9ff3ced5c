#include "core/drawing/view_transform.h"

#include <algorithm>
#include <cmath>

namespace tarnvel {

ViewTransform ViewTransform::Fit(const WorldBox& box, const DeviceRect& rect, double exaggeration) {
    ViewTransform t;
    t.exaggeration_ = exaggeration > 0 && std::isfinite(exaggeration) ? exaggeration : 1;
    double length = box.maxStation - box.minStation;
    double height = box.maxElevation - box.minElevation;
    if (!(length > 0) || !std::isfinite(length)) length = 1;
    // A level road still gets a band of height, a hundredth of its length.
    if (!(height > 0) || !std::isfinite(height)) height = length / 100;
    const double width = std::max(rect.width, 1.0);
    const double tall = std::max(rect.height, 1.0);
    t.scale_ = std::min(width / length, tall / (height * t.exaggeration_));
    const double midStation = box.minStation + (box.maxStation - box.minStation) / 2;
    const double midElevation = box.minElevation + (box.maxElevation - box.minElevation) / 2;
    t.offsetX_ = rect.left + width / 2 - midStation * t.scale_;
    t.offsetY_ = rect.top + tall / 2 + midElevation * t.scale_ * t.exaggeration_;
    return t;
}

WorldBox ViewTransform::Visible(const DeviceRect& rect) const {
    const WorldPoint a = ToWorld({rect.left, rect.top + rect.height});
    const WorldPoint b = ToWorld({rect.left + rect.width, rect.top});
    return {a.station, b.station, a.elevation, b.elevation};
}

void ViewTransform::ZoomAbout(DevicePoint fixed, double factor) {
    if (!(factor > 0) || !std::isfinite(factor)) return;
    const WorldPoint w = ToWorld(fixed);
    scale_ *= factor;
    offsetX_ = fixed.x - w.station * scale_;
    offsetY_ = fixed.y + w.elevation * scale_ * exaggeration_;
}

void ViewTransform::SetExaggerationAbout(DevicePoint fixed, double exaggeration) {
    if (!(exaggeration > 0) || !std::isfinite(exaggeration)) return;
    const WorldPoint w = ToWorld(fixed);
    exaggeration_ = exaggeration;
    offsetY_ = fixed.y + w.elevation * scale_ * exaggeration_;
}

void ViewTransform::PanBy(double dx, double dy) {
    offsetX_ += dx;
    offsetY_ += dy;
}

}  // namespace tarnvel
