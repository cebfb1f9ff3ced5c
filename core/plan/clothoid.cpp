#include "core/plan/clothoid.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tarnvel {
namespace {

// Gauss–Legendre, 8 nodes on [−1, 1]: for a piece turning by at most one
// radian its error is below 1e-22 of the piece's length.
constexpr std::array<double, 4> kNode = {0.18343464249564980494, 0.52553240991632898582,
                                         0.79666647741362673959, 0.96028985649753623168};
constexpr std::array<double, 4> kWeight = {0.36268378337836198296, 0.31370664587788728734,
                                           0.22238103445337447054, 0.10122853629037625915};

// Pieces of at most this much turning each.
constexpr double kTurnPerPiece = 1.0;

}  // namespace

LocalPoint ClothoidPoint(double k0, double c, double s) {
    if (s == 0) return {};
    if (c == 0) {
        if (k0 == 0) return {s, 0};
        // An arc: the chord, with 1 − cos written as 2 sin² so that a flat arc
        // keeps its digits.
        const double half = k0 * s / 2;
        const double sinHalf = std::sin(half);
        return {std::sin(k0 * s) / k0, 2 * sinHalf * sinHalf / k0};
    }
    // The turning rate is largest at one of the ends, so this bounds the
    // turning of each piece.
    const double rate = std::max(std::fabs(k0), std::fabs(k0 + c * s));
    const double pieces = std::clamp(std::ceil(rate * std::fabs(s) / kTurnPerPiece), 1.0, 1e6);
    const int n = static_cast<int>(pieces);
    const double h = s / n;
    double x = 0, y = 0;
    for (int j = 0; j < n; ++j) {
        const double mid = (j + 0.5) * h;
        double px = 0, py = 0;
        for (std::size_t i = 0; i < kNode.size(); ++i) {
            for (const double sign : {-1.0, 1.0}) {
                const double t = mid + sign * kNode[i] * h / 2;
                const double phi = ClothoidHeading(k0, c, t);
                px += kWeight[i] * std::cos(phi);
                py += kWeight[i] * std::sin(phi);
            }
        }
        x += px * h / 2;
        y += py * h / 2;
    }
    return {x, y};
}

}  // namespace tarnvel
