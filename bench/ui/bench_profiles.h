#pragma once
// The long profile the plot benchmarks draw and edit: PVIs 300 m apart
// rising and falling by a few metres, each with a parabola of R 3000 to 5000.

#include "core/profile/profile.h"

namespace tarnvel::bench {

inline Profile LongProfile(int pvis) {
    ProfileModel model{"bench", LengthUnit::Metre, {}, {}};
    for (int i = 0; i <= pvis + 1; ++i) {
        const bool end = i == 0 || i == pvis + 1;
        const double elevation = 100 + (i % 2) * 6.0 + (i % 7) * 0.5;
        model.points.push_back({Station{i * 300.0, 0}, elevation,
                                end ? CurveSpec{} : CurveSpec{CurveKind::ParabolaRadius, 3000.0 + (i % 5) * 500, 0, 0, 0}});
    }
    return *Profile::Resolve(model);
}

}  // namespace tarnvel::bench
