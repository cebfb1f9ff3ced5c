#pragma once
// The design the table fuzzers check what they read against: every kind of
// vertical curve and a long chain, so that any station the bytes give meets
// a grade, a curve or the break.

#include "core/profile/profile.h"

namespace tarnvel::fuzz {

inline const Profile& FuzzDesign() {
    static const Profile profile = *Profile::Resolve(
        {"", LengthUnit::Metre,
         {{{0, 0}, 100, {}},
          {{400, 0}, 104, {CurveKind::ParabolaRadius, 8000, 0, 0, 0}},
          {{800, 0}, 101, {CurveKind::Circular, 5000, 0, 0, 0}},
          {{1200, 0}, 106, {CurveKind::Unsymmetric, 0, 0, 80, 120}},
          {{1600, 0}, 103, {}}},
         {{900, 950}}});
    return profile;
}

}  // namespace tarnvel::fuzz
