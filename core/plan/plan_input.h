#pragma once
// A horizontal alignment as a file or a table gives it, before it is
// resolved: either the 交点表 of a design (the start point, the 交点 with their
// radii and spirals, the end point) or the element list of a LandXML
// CoordGeom. Plain data: the readers fill it without judging it, and the plan
// core resolves and checks it, so a file and the window report the same
// problems in the same words.
//
// Coordinates as Chinese surveying writes them: X is north, Y is east, in the
// unit of the file (metres unless the file says otherwise and the reader
// converted it).

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "core/profile/chain.h"
#include "core/profile/profile.h"

namespace tarnvel {

struct PlanPoint {
    double north = 0;  // X
    double east = 0;   // Y

    friend bool operator==(const PlanPoint&, const PlanPoint&) = default;
};

// One row of a 交点表: the start point (起点), a 交点 JDi, or the end point
// (终点). The start and end rows carry no curve.
struct IntersectionPoint {
    std::string name;            // as given (QD, JD1, ZD, …); may be empty
    PlanPoint at;
    double radius = 0;           // R; 0 on the start and end rows
    double spiralIn = 0;         // Ls1, the spiral before the circular arc; 0: none
    double spiralOut = 0;        // Ls2, the spiral after it; 0: none
    std::size_t line = 0;        // the file's line (title rows counted); 0 when not from a file
    // The row's 桩号 where the table gives one, on the rows after the first
    // (the first row's is IntersectionTable::start): only compared with the
    // stations the chain of JDs gives.
    std::optional<Station> station;

    friend bool operator==(const IntersectionPoint&, const IntersectionPoint&) = default;
};

struct IntersectionTable {
    Station start;                          // the station label of the start point
    std::vector<IntersectionPoint> points;  // start, JD1 … JDn, end
    std::vector<ChainBreak> chains;         // the road's 断链, in order along it
    LengthUnit unit = LengthUnit::Metre;    // of coordinates, radii, lengths and stations

    friend bool operator==(const IntersectionTable&, const IntersectionTable&) = default;
};

enum class PlanElementKind { Line, Arc, Spiral };

inline constexpr double kPlanStraight = std::numeric_limits<double>::infinity();

// One element of a LandXML CoordGeom as the file states it. Directions are
// never taken from the file's `dir`/`theta` alone: real files carry
// placeholders there. The geometry comes from the points.
struct GivenElement {
    PlanElementKind kind = PlanElementKind::Line;
    std::size_t index = 0;                  // from 1, in file order
    std::string name;                       // the element's name attribute, if any
    PlanPoint start, end;
    std::optional<PlanPoint> center;        // Curve
    std::optional<PlanPoint> pi;            // Curve, Spiral: the PI when given
    std::optional<double> length;           // the length attribute when given
    // Curve: radius at both ends. Spiral: radiusStart and radiusEnd, kPlanStraight for INF.
    double radiusStart = kPlanStraight, radiusEnd = kPlanStraight;
    bool clockwise = false;                 // rot="cw" (a right-hand turn); Curve, Spiral
    std::optional<double> direction;        // dir (Line) or dirStart (Curve, Spiral), in radians; only compared
    std::optional<double> theta;            // Spiral: the angle it turns through (theta), in radians; only compared
    std::size_t line = 0;                   // the file's line, 0 when unknown
};

struct ElementList {
    std::string name;                       // Alignment@name
    double startStation = 0;                // staStart
    std::vector<GivenElement> elements;
    std::vector<ChainBreak> chains;         // the alignment's StaEquations, in order
    LengthUnit unit = LengthUnit::Metre;
};

}  // namespace tarnvel
