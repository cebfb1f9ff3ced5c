#pragma once
// Design and ground lines that the core, file and command-line tests all
// check against the same independent model (ground_model.h): one table, so
// that the three cannot drift apart.

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "core/profile/ground_line.h"
#include "tests/profile_builders.h"

namespace tarnvel::test {

struct GroundCase {
    std::string name;
    ProfileModel design;
    GroundModel ground;
};
inline void PrintTo(const GroundCase& c, std::ostream* os) { *os << c.name; }

inline GroundModel Ground(std::vector<GroundPoint> points) {
    GroundModel model;
    for (std::size_t i = 0; i < points.size(); ++i) points[i].row = i + 2;  // under a header row
    model.points = std::move(points);
    return model;
}

// A ground that zigzags across the design line: `amplitude` above and below
// it at every `spacing`, so that it crosses every piece of the design.
inline GroundModel Zigzag(const ProfileModel& design, double from, double to, double spacing, double amplitude) {
    const Profile profile = Resolved(design);
    std::vector<GroundPoint> points;
    int sign = 1;
    for (double s = from; s <= to; s += spacing, sign = -sign)
        points.push_back({Station{s, 0}, profile.At(s).elevation + sign * amplitude, 0});
    return Ground(std::move(points));
}

inline std::vector<GroundCase> GroundCases() {
    ProfileModel sag{"sag", LengthUnit::Metre,
                     {Point(0, 100), Point(500, 95, ByRadius(10000)), Point(1000, 102)}, {}};
    ProfileModel crestArc{"crest arc", LengthUnit::Metre,
                          {Point(0, 50), Point(400, 58, Arc(5000)), Point(900, 53)}, {}};
    ProfileModel crestParabola{"crest", LengthUnit::Metre,
                               {Point(0, 200), Point(300, 206, ByRadius(8000)), Point(700, 203,
                                ByLength(160)), Point(1000, 209)}, {}};
    ProfileModel sagArc{"sag arc", LengthUnit::Metre,
                        {Point(0, 20), Point(300, 17, Arc(3000)), Point(600, 23)}, {}};
    ProfileModel unsym{"unsym", LengthUnit::Metre,
                       {Point(0, 30), Point(250, 35, Unsym(120, 60)), Point(500, 31)}, {}};
    ProfileModel longChain{"long chain", LengthUnit::Metre,
                           {Point(0, 10), Point(400, 14, ByRadius(6000)), Point(Station{550, 2}, 12)},
                           {{600, 500}}};
    ProfileModel plain{"plain", LengthUnit::Metre, {Point(0, 10), Point(100, 11), Point(200, 10)}, {}};
    return {
        {"grade line and sag parabola", sag,
         Ground({{{50, 0}, 99.0}, {{300, 0}, 97.5}, {{500, 0}, 95.9}, {{700, 0}, 96.0}, {{950, 0}, 101.0}})},
        {"crest arc and grade line", crestArc,
         Ground({{{100, 0}, 53}, {{380, 0}, 57.5}, {{420, 0}, 57.0}, {{800, 0}, 55}})},
        {"zigzag over crest and sag parabolas", crestParabola, Zigzag(crestParabola, 3, 997, 7.3, 0.3)},
        {"zigzag over a sag arc", sagArc, Zigzag(sagArc, 240.5, 360, 4.1, 0.05)},
        {"zigzag over an unsymmetrical parabola", unsym, Zigzag(unsym, 100, 330, 9.7, 0.2)},
        {"behind a long chain", longChain,
         Ground({{{20, 0}, 9.9}, {{350, 0}, 14.1}, {{590, 1}, 13.0}, {{520, 2}, 12.4}, {{540, 2}, 12.0}})},
        {"crossing at a ground point on a PVI", plain,
         Ground({{{20, 0}, 10.5}, {{100, 0}, 11}, {{180, 0}, 9.9}})},
    };
}

}  // namespace tarnvel::test
