#pragma once
// A profile model that the file tests write and read in every form.

#include <string>

#include "core/profile/profile.h"
#include "tests/profile_builders.h"

namespace tarnvel::io::testing {

using test::Arc;
using test::ByLength;
using test::ByRadius;
using test::Point;
using test::Unsym;

// Every curve kind once, with grades that leave room for each curve.
inline ProfileModel EveryKind() {
    ProfileModel m;
    m.name = "主线 K0-K2";
    m.points = {Point(0, 100),
                Point(300, 106, ByLength(120)),
                Point(600, 100.5, ByRadius(8000)),
                Point(900, 104.25, Unsym(60, 90.5)),
                Point(1200, 101, Arc(12000)),
                Point(1500.125, 99.875)};
    return m;
}

}  // namespace tarnvel::io::testing
