#include "core/profile/grade_edit.h"

#include "core/profile/pvi_edit.h"

#include <cmath>

namespace tarnvel {
double LengthAfter(const Profile& profile, std::size_t i) {
    return PlaceOf(profile, i + 1).station - PlaceOf(profile, i).station;
}

double GradeAfter(const Profile& profile, std::size_t i) {
    const auto& p = profile.Model().points;
    return (p[i + 1].elevation - p[i].elevation) / LengthAfter(profile, i) * 100;
}

std::optional<ProfileModel> WithGradeAfter(const Profile& profile, std::size_t i, double grade) {
    ProfileModel model = profile.Model();
    if (i + 1 >= model.points.size() || !std::isfinite(grade)) return std::nullopt;
    const double next = model.points[i].elevation + grade / 100 * LengthAfter(profile, i);
    const double rise = next - model.points[i + 1].elevation;
    if (!std::isfinite(next)) return std::nullopt;
    model.points[i + 1].elevation = next;
    for (std::size_t k = i + 2; k < model.points.size(); ++k) model.points[k].elevation += rise;
    return model;
}

std::optional<ProfileModel> WithLengthAfter(const Profile& profile, std::size_t i, double length) {
    ProfileModel model = profile.Model();
    if (i + 1 >= model.points.size() || !std::isfinite(length) || !(length > 0)) return std::nullopt;
    const double shift = length - LengthAfter(profile, i);
    const double from = PlaceOf(profile, i).station;
    for (std::size_t k = i + 1; k < model.points.size(); ++k) {
        // Point i + 1 from point i and the length typed, so that the label reads as typed.
        const double at = k == i + 1 ? from + length : PlaceOf(profile, k).station + shift;
        if (!std::isfinite(at)) return std::nullopt;
        model.points[k].station = profile.LabelOf(at);
    }
    return model;
}

}  // namespace tarnvel
