#pragma once
// An independent model of fill, cut and zero points, written apart from the
// core's solver: the ground interpolated by a plain scan, the design taken
// from the evaluator, design − ground sampled densely (every ground point
// included) and each change of sign closed in by bisection.

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "core/profile/profile.h"

namespace tarnvel::test {

struct SampledGround {
    std::vector<double> stations;  // internal, increasing
    std::vector<double> elevations;

    std::optional<double> At(double s) const {
        if (s < stations.front() || s > stations.back()) return std::nullopt;
        for (std::size_t i = 0; i + 1 < stations.size(); ++i) {
            if (s > stations[i + 1]) continue;
            const double t = (s - stations[i]) / (stations[i + 1] - stations[i]);
            return elevations[i] * (1 - t) + elevations[i + 1] * t;
        }
        return elevations.back();
    }
};

struct IndependentResult {
    std::vector<double> zeros;
    double fillLength = 0, cutLength = 0;
    double highestFill = 0, deepestCut = 0;  // 0 where there is none
};

inline IndependentResult Independent(const Profile& profile, const SampledGround& ground, double step = 0.02) {
    const auto f = [&](double s) { return profile.At(s).elevation - *ground.At(s); };
    std::vector<double> samples;
    const double a = ground.stations.front(), b = ground.stations.back();
    for (double i = 0;; ++i) {
        const double s = a + i * step;
        if (s >= b) break;
        samples.push_back(s);
    }
    samples.insert(samples.end(), ground.stations.begin(), ground.stations.end());
    std::sort(samples.begin(), samples.end());

    IndependentResult r;
    std::optional<std::size_t> lastSigned;  // the last sample with a sign
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double v = f(samples[i]);
        r.highestFill = std::max(r.highestFill, v);
        r.deepestCut = std::min(r.deepestCut, v);
        if (v == 0) continue;
        if (lastSigned && (f(samples[*lastSigned]) > 0) != (v > 0)) {
            double lo = samples[*lastSigned], hi = samples[i];
            const bool loPositive = f(lo) > 0;
            for (int k = 0; k < 80 && hi - lo > 1e-10; ++k) {
                const double mid = lo + (hi - lo) / 2;
                const double fm = f(mid);
                if (fm == 0) {
                    lo = hi = mid;
                    break;
                }
                ((fm > 0) == loPositive ? lo : hi) = mid;
            }
            r.zeros.push_back(lo + (hi - lo) / 2);
        }
        lastSigned = i;
    }
    std::vector<double> bounds{a};
    bounds.insert(bounds.end(), r.zeros.begin(), r.zeros.end());
    bounds.push_back(b);
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        const double mid = (bounds[i] + bounds[i + 1]) / 2;
        (f(mid) > 0 ? r.fillLength : r.cutLength) += bounds[i + 1] - bounds[i];
    }
    return r;
}

}  // namespace tarnvel::test
