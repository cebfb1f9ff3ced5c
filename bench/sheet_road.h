#pragma once
// The road the sheet benchmarks draw: a PVI every 400 m with parabolic curves,
// and a surveyed ground point every 10 m wandering a few metres about the design.

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/drawing/sheet.h"
#include "core/profile/profile.h"

namespace tarnvel::bench {

inline Profile SheetRoad(double metres) {
    ProfileModel model{"bench", LengthUnit::Metre, {}, {}};
    const int last = static_cast<int>(metres / 400);
    for (int i = 0; i <= last; ++i) {
        const bool end = i == 0 || i == last;
        model.points.push_back({Station{i * 400.0, 0}, 100 + (i % 2) * 6.0 + (i % 7) * 0.5,
                                end ? CurveSpec{} : CurveSpec{CurveKind::ParabolaRadius, 4000.0 + (i % 5) * 500, 0, 0, 0}});
    }
    return *Profile::Resolve(model);
}

inline SheetGround SheetRoadGround(const Profile& profile) {
    SheetGround ground;
    const double end = profile.EndStation();
    for (double s = 0; s <= end; s += 10) {
        ground.stations.push_back(s);
        ground.elevations.push_back(profile.At(s).elevation + 3 * std::sin(s / 170));
    }
    const auto st = ground.stations, z = ground.elevations;
    ground.at = [st, z](double at) -> std::optional<double> {
        const auto i = std::min<std::size_t>(static_cast<std::size_t>(at / 10), st.size() - 2);
        return z[i] + (at - st[i]) / 10 * (z[i + 1] - z[i]);
    };
    for (std::size_t i = 0; i + 1 < st.size(); ++i) {
        const double a = profile.At(st[i]).elevation - z[i], b = profile.At(st[i + 1]).elevation - z[i + 1];
        if (a * b < 0) ground.zeroPoints.push_back(st[i] + 10 * a / (a - b));
    }
    return ground;
}

}  // namespace tarnvel::bench
