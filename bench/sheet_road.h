#pragma once
// The road the sheet benchmarks draw: a PVI every 400 m with parabolic curves,
// and a surveyed ground point every 10 m wandering a few metres about the design.

#include <cmath>

#include "core/drawing/drawn_ground.h"
#include "core/drawing/sheet.h"
#include "core/profile/ground_line.h"
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

// The ground line and what the drawings take of it, held together.
struct SheetRoadGround {
    explicit SheetRoadGround(const Profile& profile) : line(Survey(profile)), drawn(MakeDrawnGround(profile, line)) {}
    SheetRoadGround(const SheetRoadGround&) = delete;
    SheetRoadGround& operator=(const SheetRoadGround&) = delete;

    static GroundLine Survey(const Profile& profile) {
        GroundModel model;
        model.stations = GroundStations::Internal;
        for (double s = 0; s <= profile.EndStation(); s += 10)
            model.points.push_back({Station{s, 0}, profile.At(s).elevation + 3 * std::sin(s / 170), 0});
        return *GroundLine::Make(std::move(model), profile);
    }

    GroundLine line;
    DrawnGround drawn;
};

}  // namespace tarnvel::bench
