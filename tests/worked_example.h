#pragma once
// The start-up example's continuous listing (16740 to 16800 by 10), exactly as
// the listing box holds it, for the tests of every part that produces or
// writes it.

#include <string_view>

namespace tarnvel::test {

inline constexpr std::string_view kStartUpListing =
    "里程K   高程H\r\n"
    "16740   395.74\r\n"
    "16750   396.033\r\n"
    "16760   396.293\r\n"
    "16770   396.52\r\n"
    "16780   396.713\r\n"
    "16790   396.873\r\n"
    "16800   397\r\n";

}  // namespace tarnvel::test

#include "core/profile.h"

namespace tarnvel::test {

// The start-up curve (PVI K16+770 at 396.67, grades 3.1 % and 1.1 %, R 3000)
// as a whole profile: a start point 770 behind the PVI and an end point 730
// ahead of it, on the same grades. Every station of it gives the single-curve
// calculator's elevation.
inline ProfileModel StartUpProfile() {
    ProfileModel model;
    model.points = {
        {{16000, 0}, 396.67 - 3.1 * 7.7, {}},
        {{16770, 0}, 396.67, {CurveKind::ParabolaRadius, 3000, 0, 0, 0}},
        {{17500, 0}, 396.67 + 1.1 * 7.3, {}},
    };
    return model;
}

}  // namespace tarnvel::test
