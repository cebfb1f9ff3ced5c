#include "core/drawing/view_transform.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

// Cuts a segment to the box (Liang and Barsky); false when nothing of it is inside.
bool ClipSegment(DevicePoint& a, DevicePoint& b, const DeviceRect& box) {
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) return false;
    const double dx = b.x - a.x, dy = b.y - a.y;
    double t0 = 0, t1 = 1;
    auto edge = [&](double p, double q) {
        if (p == 0) return q >= 0;
        const double t = q / p;
        if (p < 0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
        return true;
    };
    if (!edge(-dx, a.x - box.left) || !edge(dx, box.left + box.width - a.x) || !edge(-dy, a.y - box.top) ||
        !edge(dy, box.top + box.height - a.y))
        return false;
    const DevicePoint start = a;
    if (t0 > 0) a = {start.x + dx * t0, start.y + dy * t0};
    if (t1 < 1) b = {start.x + dx * t1, start.y + dy * t1};
    return true;
}

// Cuts a polygon to the box (Sutherland and Hodgman): the box is convex, so
// the part inside is one polygon, perhaps with edges along the box.
std::vector<DevicePoint> ClipPolygon(std::vector<DevicePoint> polygon, const DeviceRect& box) {
    for (const auto& p : polygon)
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return {};
    const double right = box.left + box.width, bottom = box.top + box.height;
    // Each edge: which side is inside, and where a segment crosses it.
    for (int edge = 0; edge < 4 && !polygon.empty(); ++edge) {
        auto inside = [&](const DevicePoint& p) {
            switch (edge) {
                case 0: return p.x >= box.left;
                case 1: return p.x <= right;
                case 2: return p.y >= box.top;
                default: return p.y <= bottom;
            }
        };
        auto cross = [&](const DevicePoint& a, const DevicePoint& b) {
            const bool vertical = edge < 2;
            const double at = edge == 0 ? box.left : edge == 1 ? right : edge == 2 ? box.top : bottom;
            const double t = vertical ? (at - a.x) / (b.x - a.x) : (at - a.y) / (b.y - a.y);
            return vertical ? DevicePoint{at, a.y + (b.y - a.y) * t} : DevicePoint{a.x + (b.x - a.x) * t, at};
        };
        std::vector<DevicePoint> out;
        out.reserve(polygon.size() + 4);
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const DevicePoint& a = polygon[(i + polygon.size() - 1) % polygon.size()];
            const DevicePoint& b = polygon[i];
            const bool ina = inside(a), inb = inside(b);
            if (inb) {
                if (!ina) out.push_back(cross(a, b));
                out.push_back(b);
            } else if (ina) {
                out.push_back(cross(a, b));
            }
        }
        polygon = std::move(out);
    }
    return polygon;
}

}  // namespace tarnvel
