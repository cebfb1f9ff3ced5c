#include "core/plan/clothoid.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tarnvel {
namespace {

// Gauss–Legendre on [−1, 1], the positive half of the nodes. 8 nodes: for a
// piece turning by at most one radian the error is below 1e-22 of the
// piece's length. 4 nodes, for pieces turning by at most 0.2 radian (most
// spirals of a road): below 1e-15 of it, at half the cost.
constexpr std::array<double, 4> kNode8 = {0.18343464249564980494, 0.52553240991632898582,
                                          0.79666647741362673959, 0.96028985649753623168};
constexpr std::array<double, 4> kWeight8 = {0.36268378337836198296, 0.31370664587788728734,
                                            0.22238103445337447054, 0.10122853629037625915};
constexpr std::array<double, 2> kNode4 = {0.33998104358485626480, 0.86113631159405257522};
constexpr std::array<double, 2> kWeight4 = {0.65214515486254614263, 0.34785484513745385737};

// Pieces of at most this much turning each.
constexpr double kTurnPerPiece = 1.0;
constexpr double kTurnForFourNodes = 0.2;

template <std::size_t N>
void AddPiece(double k0, double c, double mid, double h, const std::array<double, N>& nodes,
              const std::array<double, N>& weights, double& x, double& y) {
    double px = 0, py = 0;
    for (std::size_t i = 0; i < N; ++i) {
        for (const double sign : {-1.0, 1.0}) {
            const double phi = ClothoidHeading(k0, c, mid + sign * nodes[i] * h / 2);
            px += weights[i] * std::cos(phi);
            py += weights[i] * std::sin(phi);
        }
    }
    x += px * h / 2;
    y += py * h / 2;
}

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
    const double turning = rate * std::fabs(s);
    const double pieces = std::clamp(std::ceil(turning / kTurnPerPiece), 1.0, 1e6);
    const int n = static_cast<int>(pieces);
    const double h = s / n;
    double x = 0, y = 0;
    for (int j = 0; j < n; ++j) {
        if (turning / n <= kTurnForFourNodes) AddPiece(k0, c, (j + 0.5) * h, h, kNode4, kWeight4, x, y);
        else AddPiece(k0, c, (j + 0.5) * h, h, kNode8, kWeight8, x, y);
    }
    return {x, y};
}

}  // namespace tarnvel
