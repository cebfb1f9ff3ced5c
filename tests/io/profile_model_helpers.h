#pragma once
// Short spellings of profile models for the file tests.

#include <string>

#include "core/profile.h"

namespace tarnvel::io::testing {

inline CurveSpec ByRadius(double r) { return {CurveKind::ParabolaRadius, r, 0, 0, 0}; }
inline CurveSpec ByLength(double l) { return {CurveKind::ParabolaLength, 0, l, 0, 0}; }
inline CurveSpec Unsym(double in, double out) { return {CurveKind::Unsymmetric, 0, 0, in, out}; }
inline CurveSpec Circle(double r) { return {CurveKind::Circular, r, 0, 0, 0}; }

inline ProfilePoint Point(double station, double elevation, CurveSpec curve = {}, int occurrence = 0) {
    return {Station{station, occurrence}, elevation, curve};
}

// Every curve kind once, with grades that leave room for each curve.
inline ProfileModel EveryKind() {
    ProfileModel m;
    m.name = "主线 K0-K2";
    m.points = {Point(0, 100),
                Point(300, 106, ByLength(120)),
                Point(600, 100.5, ByRadius(8000)),
                Point(900, 104.25, Unsym(60, 90.5)),
                Point(1200, 101, Circle(12000)),
                Point(1500.125, 99.875)};
    return m;
}

}  // namespace tarnvel::io::testing
