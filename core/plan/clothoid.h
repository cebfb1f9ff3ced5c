#pragma once
// The path of an element whose curvature changes linearly with length: a
// straight (both curvatures 0), a circular arc (both equal) or a clothoid
// (transition spiral), also one between two radii. The position is the exact
// integral of the heading, never the textbook's truncated series: that series
// is off by a centimetre at R 300, Ls 100 and by decimetres on sharp curves.
//
// Local frame: x along the tangent at the element's start, y across it, and
// the heading φ(t) = k0·t + (k1 − k0)·t² / (2·L) measured the same way as y
// (a positive curvature turns towards positive y). The plan uses it with
// azimuths clockwise from north, so that positive y is to the right.

namespace tarnvel {

struct LocalPoint {
    double x = 0;  // along the start tangent
    double y = 0;  // across it, towards the side of positive curvature
};

// ∫₀ˢ (cos φ(t), sin φ(t)) dt for φ(t) = k0·t + c·t²/2. Closed forms for a
// straight and an arc; otherwise Gauss–Legendre quadrature over pieces of at
// most one radian of turning each, which is exact to about 1e-15 of the
// length however long or sharp the spiral (no series in the turning angle,
// whose terms grow with it). s may be 0; k0 and c are finite.
LocalPoint ClothoidPoint(double k0, double c, double s);

// The heading φ(s) itself.
inline double ClothoidHeading(double k0, double c, double s) { return k0 * s + c * s * s / 2; }

}  // namespace tarnvel
