#pragma once
// Short spellings of profile models, shared by the core, file and plot tests.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/profile/profile.h"
#include "core/text/messages.h"

namespace tarnvel::test {

inline CurveSpec ByRadius(double r) { return {CurveKind::ParabolaRadius, r, 0, 0, 0}; }
inline CurveSpec ByLength(double l) { return {CurveKind::ParabolaLength, 0, l, 0, 0}; }
inline CurveSpec Unsym(double in, double out) { return {CurveKind::Unsymmetric, 0, 0, in, out}; }
inline CurveSpec Arc(double r) { return {CurveKind::Circular, r, 0, 0, 0}; }

inline ProfilePoint Point(double station, double elevation, CurveSpec curve = {}, int occurrence = 0) {
    return {Station{station, occurrence}, elevation, curve};
}
inline ProfilePoint Point(Station station, double elevation, CurveSpec curve = {}) {
    return {station, elevation, curve};
}

// The evaluator of a model the test expects to be valid; the first problem
// is reported otherwise.
inline Profile Resolved(const ProfileModel& model) {
    std::vector<ProfileProblem> problems;
    auto profile = Profile::Resolve(model, &problems);
    EXPECT_TRUE(profile.has_value()) << (problems.empty() ? "" : DescribeProfileProblem(problems.front()));
    return std::move(*profile);
}

}  // namespace tarnvel::test
