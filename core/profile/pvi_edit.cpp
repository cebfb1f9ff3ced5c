#include "core/profile/pvi_edit.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

namespace tarnvel {
namespace {

constexpr double kMillimetre = 0.001;

// A station label moved by `adjust`, and its internal station, or nothing
// where the chain table cannot place it (inside a chain's gap).
template <class Adjust>
std::optional<std::pair<Station, double>> AdjustedLabel(const Profile& profile, Station label, Adjust adjust) {
    label.value = adjust(label.value);
    try {
        return std::pair{label, profile.InternalOf(label)};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool IsInner(const Profile& profile, std::size_t point) {
    return point > 0 && point + 1 < profile.Model().points.size();
}

}  // namespace

double SnapToStep(double value, double step) {
    if (!(step > 0)) return value;
    return std::round(value / step) * step;
}

double NextStep(double value, double step, int direction) {
    if (!(step > 0) || direction == 0) return value;
    // A value a hair off the grid (a label read from a file) counts as on it.
    const double k = value / step;
    const double near = std::round(k);
    const double on = std::abs(k - near) < 1e-9 * std::max(1.0, std::abs(k)) ? near : k;
    return (direction > 0 ? std::floor(on) + 1 : std::ceil(on) - 1) * step;
}

double SnapRadius(double radius) {
    const double snapped = radius < 10'000 ? SnapToStep(radius, 100) : SnapToStep(radius, 1'000);
    return std::max(100.0, snapped);
}

double CleanDecimals(double value) { return std::round(value * 1e9) / 1e9; }

// Divided, not multiplied by 0.001, so that the result is the double nearest
// to the millimetre value and reads back as it.
double RoundToMillimetre(double value) { return std::round(value * 1000) / 1000; }

PointPlace PlaceOf(const Profile& profile, std::size_t point) {
    const auto& points = profile.Model().points;
    if (point == 0) return {profile.StartStation(), points.front().elevation};
    if (point + 1 == points.size()) return {profile.EndStation(), points.back().elevation};
    const CurveElementsRow& row = profile.Elements()[point - 1];
    return {row.pviStation, row.pviElevation};
}

namespace {

// The label a station is moved to: snapped to the station step, or to the
// millimetre with snapping off, and its place along the road; nothing where
// that label does not lie on the road.
std::optional<std::pair<Station, double>> SnappedLabel(const Profile& profile, double station, const GradeSnap& snap) {
    try {
        return AdjustedLabel(profile, profile.LabelOf(station), [&](double value) {
            return snap.on ? SnapToStep(value, snap.stationStep) : RoundToMillimetre(value);
        });
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<ProfilePoint> DraggedPoint(const Profile& profile, std::size_t point, double station, double elevation,
                                         DragMode mode, const GradeSnap& snap) {
    if (!IsInner(profile, point) || !std::isfinite(station) || !std::isfinite(elevation)) return std::nullopt;
    const PointPlace before = PlaceOf(profile, point - 1), after = PlaceOf(profile, point + 1);
    const std::optional<std::pair<Station, double>> label = SnappedLabel(profile, station, snap);
    if (!label) return std::nullopt;
    const double s = label->second;
    if (!(s > before.station && s < after.station)) return std::nullopt;
    const CurveElementsRow& row = profile.Elements()[point - 1];
    double z = 0;
    switch (mode) {
    case DragMode::Free:
        if (snap.on && snap.gradeStep > 0) {
            const double grade = (elevation - before.elevation) / (s - before.station) * 100;
            z = CleanDecimals(before.elevation + SnapToStep(grade, snap.gradeStep) * (s - before.station) / 100);
        } else {
            z = RoundToMillimetre(elevation);
        }
        break;
    case DragMode::KeepGradeIn: z = CleanDecimals(before.elevation + row.gradeIn * (s - before.station) / 100); break;
    case DragMode::KeepGradeOut: z = CleanDecimals(after.elevation - row.gradeOut * (after.station - s) / 100); break;
    }
    return ProfilePoint{label->first, z, profile.Model().points[point].curve};
}

std::optional<ProfilePoint> NudgedPoint(const Profile& profile, std::size_t point, int stationSteps, int gradeSteps,
                                        const GradeSnap& snap) {
    if (!IsInner(profile, point)) return std::nullopt;
    const PointPlace before = PlaceOf(profile, point - 1), after = PlaceOf(profile, point + 1);
    ProfilePoint moved = profile.Model().points[point];
    PointPlace here = PlaceOf(profile, point);
    if (stationSteps != 0) {
        const auto label = AdjustedLabel(profile, moved.station, [&](double value) {
            return NextStep(value, snap.stationStep, stationSteps);
        });
        if (!label) return std::nullopt;
        moved.station = label->first;
        here.station = label->second;
    }
    if (!(here.station > before.station && here.station < after.station)) return std::nullopt;
    if (gradeSteps != 0) {
        const double run = here.station - before.station;
        const double grade = (here.elevation - before.elevation) / run * 100;
        moved.elevation = CleanDecimals(before.elevation + NextStep(grade, snap.gradeStep, gradeSteps) * run / 100);
    }
    return moved;
}

std::optional<CurveSpec> CurveForExternal(const Profile& profile, std::size_t element, double external,
                                          const GradeSnap& snap) {
    if (element >= profile.Elements().size() || !(external > 0) || !std::isfinite(external)) return std::nullopt;
    const CurveElementsRow& row = profile.Elements()[element];
    const double delta = std::abs(row.gradeOut - row.gradeIn) / 100;
    if (!(delta > 0)) return std::nullopt;
    CurveSpec reshaped = profile.Model().points[row.point].curve;
    auto radius = [&](double r) { return snap.on ? SnapRadius(r) : RoundToMillimetre(r); };
    // For a kind whose E is known now, the new size is the old one scaled by
    // the ratio of the two E: the curve is the same figure made larger.
    const double scale = row.external > 0 ? external / row.external : 0;
    switch (reshaped.kind) {
    case CurveKind::None:
    case CurveKind::ParabolaRadius:
        reshaped.kind = CurveKind::ParabolaRadius;
        reshaped.radius = radius(8 * external / (delta * delta));
        break;
    case CurveKind::Circular:
        if (!(scale > 0)) return std::nullopt;
        reshaped.radius = radius(reshaped.radius * scale);
        break;
    case CurveKind::ParabolaLength: {
        const double length = 8 * external / delta;
        reshaped.length = snap.on ? std::max(snap.stationStep, SnapToStep(length, snap.stationStep))
                              : RoundToMillimetre(length);
        break;
    }
    case CurveKind::Unsymmetric:
        if (!(scale > 0)) return std::nullopt;
        reshaped.lengthIn = RoundToMillimetre(reshaped.lengthIn * scale);
        reshaped.lengthOut = RoundToMillimetre(reshaped.lengthOut * scale);
        break;
    }
    if (!(reshaped.radius >= 0 && reshaped.length >= 0 && reshaped.lengthIn >= 0 && reshaped.lengthOut >= 0)) return std::nullopt;
    if (reshaped.kind == CurveKind::Unsymmetric && !(reshaped.lengthIn > 0 && reshaped.lengthOut > 0)) return std::nullopt;
    if (reshaped.kind == CurveKind::ParabolaLength && !(reshaped.length > 0)) return std::nullopt;
    return reshaped;
}

std::optional<SplitPoint> SplitGradeAt(const Profile& profile, double station, const GradeSnap& snap) {
    if (!(station > profile.StartStation() && station < profile.EndStation())) return std::nullopt;
    const std::optional<std::pair<Station, double>> label = SnappedLabel(profile, station, snap);
    if (!label) return std::nullopt;
    const double s = label->second;
    if (!(s > profile.StartStation() + kMillimetre && s < profile.EndStation() - kMillimetre)) return std::nullopt;
    for (const CurveElementsRow& row : profile.Elements()) {
        if (std::abs(s - row.pviStation) < kMillimetre) return std::nullopt;
        if (row.kind != CurveKind::None && s > row.startStation && s < row.endStation) return std::nullopt;
    }
    const auto& points = profile.Model().points;
    std::size_t index = 1;
    while (index + 1 < points.size() && PlaceOf(profile, index).station < s) ++index;
    return SplitPoint{index, ProfilePoint{label->first, CleanDecimals(profile.At(s).elevation), {}}};
}

ProfileModel WithPoint(const ProfileModel& model, std::size_t point, const ProfilePoint& value) {
    ProfileModel changed = model;
    if (point < changed.points.size()) changed.points[point] = value;
    return changed;
}

}  // namespace tarnvel
