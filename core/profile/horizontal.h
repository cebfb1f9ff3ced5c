#pragma once
// The road's horizontal alignment, as far as the 直线及平曲线 band of a sheet
// needs it: straights, circular curves and transition spirals in order along
// the road, each with the internal stations where it starts and ends, the way
// it turns and its radii. Nothing about coordinates or bearings is kept: the
// band shows where the road turns, which way and how sharply, not where it
// lies on the map.

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

namespace tarnvel {

enum class HorizontalKind { Line, Arc, Spiral };
enum class HorizontalTurn { Left, Right };  // seen along the road: counter-clockwise is left

inline constexpr double kStraightRadius = std::numeric_limits<double>::infinity();

struct HorizontalPiece {
    HorizontalKind kind = HorizontalKind::Line;
    double start = 0, end = 0;  // internal stations, start < end
    HorizontalTurn turn = HorizontalTurn::Right;  // arcs and spirals only
    // An arc has one radius at both ends; a spiral runs from one radius to the
    // other, infinite at a straight end. A line's are both infinite.
    double radiusStart = kStraightRadius, radiusEnd = kStraightRadius;

    double Length() const { return end - start; }
};

struct HorizontalAlignment {
    std::vector<HorizontalPiece> pieces;  // in order along the road, each starting where the last ends
};

// Why a file's horizontal geometry cannot be used. The element is counted
// from 1 in the order of the file; `text` is the attribute as the file wrote
// it (shortened), empty when it is missing.
enum class HorizontalProblemKind {
    Length,         // no usable length: neither the attribute nor coordinates to compute it from
    Radius,         // a curve's radius is not a positive number
    SpiralRadius,   // a spiral's end radius is neither INF nor a positive number
    SpiralStraight, // a spiral with both ends straight: it would not turn
    Rotation,       // rot is neither "cw" nor "ccw"
    Element,        // an element the band cannot draw (its name in `element`)
    Stations,       // the stations run past the largest this program places
    StartStation,   // the alignment's staStart is not a number (`element` is empty)
    LengthMismatch, // a line's or arc's length is not the one its coordinates give (`value`)
    LengthBelowChord, // a spiral's or arc's length is shorter than from its start to its end (`value`)
    TinyRadius,     // a radius below the band's precision, which it would label R=0
};
struct HorizontalProblem {
    HorizontalProblemKind kind = HorizontalProblemKind::Length;
    std::size_t index = 0;  // the element, from 1
    std::string element;    // its name: Line, Curve, Spiral, …
    std::string text;
    double value = 0;       // what the coordinates give, for the length kinds
};

// Radii are labelled to the millimetre: a smaller one would read "R=0".
inline constexpr double kSmallestBandRadius = 0.001;

}  // namespace tarnvel
