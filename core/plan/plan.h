#pragma once
// The road's horizontal alignment, resolved: a 交点表 or a CoordGeom element
// list (plan_input.h) turned into one chain of elements — straights, circular
// arcs, clothoids — each placed by internal station, with the 直线、曲线及转角表
// of a 交点表 and the main points. Directions come from the coordinates, never
// from a file's direction attributes alone. Numbers come out; text is the
// business of whoever shows them (core/text/messages.*, the output vocabulary).
//
// Coordinates: X north, Y east; azimuths in radians clockwise from north, in
// [0, 2π); offsets positive to the right of increasing station (左负右正).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/plan/plan_input.h"
#include "core/profile/chain.h"
#include "core/profile/horizontal.h"
#include "core/profile/profile.h"

namespace tarnvel {

enum class PlanTurn { Left, Right };

// One element of the resolved chain.
struct PlanElement {
    PlanElementKind kind = PlanElementKind::Line;
    double start = 0;       // internal station at its start
    double length = 0;      // > 0
    PlanPoint from;         // position at its start
    double azimuth = 0;     // of the tangent at its start
    // Signed curvature (1/R) at both ends, positive turning right
    // (clockwise); 0 at a straight end. Equal on an arc.
    double k0 = 0, k1 = 0;
    std::size_t point = 0;  // the 交点 it belongs to (index into the table's points), 0 for a tangent
    std::size_t given = 0;  // the element of the list it came from (from 1), 0 for a table

    double End() const { return start + length; }
};

// One 交点 of a table with everything the 直线、曲线及转角表 shows. Stations
// are internal; the angles in radians.
struct CurveTableRow {
    std::size_t point = 0;        // index into the table's points (1 … n)
    std::string name;
    PlanPoint at;
    double station = 0;           // of the JD, chained: JD(i+1) = JD(i) + distance − J(i)
    PlanTurn turn = PlanTurn::Right;
    double deflection = 0;        // α, > 0
    double radius = 0;
    double spiralIn = 0, spiralOut = 0;  // Ls1, Ls2
    double betaIn = 0, betaOut = 0;      // β01, β02
    double shiftIn = 0, shiftOut = 0;    // p1, p2 from the exact clothoid
    double offsetIn = 0, offsetOut = 0;  // q1, q2 from the exact clothoid
    double tangentIn = 0, tangentOut = 0;  // T1, T2
    double arcLength = 0;         // Ly, the circular part (0 where the spirals meet)
    double length = 0;            // L = Ls1 + Ly + Ls2
    double external = 0;          // E = |JD − centre| − R
    double difference = 0;        // J = T1 + T2 − L
    PlanPoint centre;
    double zh = 0, hy = 0, qz = 0, yh = 0, hz = 0;  // ZY = zh = hy, YZ = yh = hz without spirals
    double legIn = 0, legOut = 0; // distances to the previous and next point
};

enum class PlanKeyKind { Start, End, ZH, HY, QZ, YH, HZ, ZY, YZ };

struct PlanKeyPoint {
    double internal = 0;
    PlanKeyKind kind = PlanKeyKind::Start;
    std::size_t point = 0;  // the 交点 (table) or 0
};

// Where a problem lies.
enum class PlanField { Whole, Point, North, East, Radius, SpiralIn, SpiralOut, Station, Chain, Element };

enum class PlanProblemCode {
    TooFewPoints,        // `count` points
    ValueOutOfRange,     // `field` of point `point` not finite or beyond 1E+12
    RadiusNotPositive,   // R ≤ 0 (`amount`)
    SpiralNegative,      // Ls1 or Ls2 (`field`) below 0 (`amount`)
    DuplicatePoint,      // the same coordinates as point `other`
    LegTooShort,         // `amount` from point `other`: within rounding of nothing
    DeflectionZero,      // a radius where the road runs straight on (α = `angle`)
    DeflectionTooLarge,  // the road turns back on itself (α = `angle`)
    SpiralsTooLong,      // β01 + β02 = `angle` exceeds α = `amount` (radians both)
    TangentsOverlap,     // T2 of point `other` + T1 of `point` exceed their distance by `amount`
    ChainInvalid,        // `chain` says why
    StationUnplaceable,  // the start label: `station` says why
    // An element list; `point` is the element (index into the list).
    NoElements,
    ElementLength,       // a length not positive or missing (`amount`)
    ElementRadius,       // a radius not positive (`amount`)
    ElementGap,          // starts `amount` away from where element `other` ends
    ElementKink,         // turns by `angle` against element `other`'s end
    ElementEndMisfit,    // placed from its start, length and radii it ends `amount` from its given end
    ElementTurnsTooFar,  // turns by `angle`, more than two full turns
    ElementUnusable,     // its geometry cannot be made from what is given (a spiral with both ends straight)
    // Notes: the file's own values that disagree with its coordinates.
    DirectionDiffers,    // given `given`, the coordinates `angle` (radians)
    LengthDiffers,       // given `given`, the coordinates `amount`
    AngleDiffers,        // a spiral's theta `given`, its radii and length `angle` (radians)
    RadiusDiffers,       // given `given`, the coordinates `amount`
    StationDiffers,      // the row's 桩号 `given` (a label), the chain of JDs `amount` (a label)
    // Why a route of elements has no 交点表 (RecoverIntersections).
    NoIntersection,      // element `point` is not part of a spiral–arc–spiral of one radius between straights
};

struct PlanProblem {
    PlanProblemCode code = PlanProblemCode::TooFewPoints;
    PlanField field = PlanField::Whole;
    std::size_t point = 0;     // index into the points or elements
    std::string name;          // the point's or element's name as given
    std::size_t line = 0;      // its line in the file, 0 when not from one
    PlanElementKind element = PlanElementKind::Line;
    std::size_t other = 0;
    std::string otherName;
    double amount = 0;         // a length in `unit`
    double angle = 0;          // radians
    double given = 0;
    std::size_t count = 0;
    LengthUnit unit = LengthUnit::Metre;
    ChainProblem chain;
    StationFault station;
};

// A place on the route.
struct PlanPose {
    PlanPoint at;
    double azimuth = 0;  // of the centre line's tangent, [0, 2π)
};

// The answer of 坐标反算.
enum class InverseFault { None, BeyondEnds, TooFar };
struct PlanFoot {
    InverseFault fault = InverseFault::None;
    double internal = 0;  // the foot's internal station
    double offset = 0;    // signed, positive to the right
};

class Plan {
public:
    // Checks the table and builds the alignment; on any problem returns
    // nothing and fills `problems` with every problem found.
    static std::optional<Plan> Resolve(const IntersectionTable& table, std::vector<PlanProblem>* problems = nullptr);
    static std::optional<Plan> Resolve(const ElementList& list, std::vector<PlanProblem>* problems = nullptr);

    const std::vector<PlanElement>& Elements() const { return elements_; }
    // One row per 交点 of a table (empty for an element list).
    const std::vector<CurveTableRow>& CurveTable() const { return curves_; }
    // The main points and both ends, in order along the road.
    const std::vector<PlanKeyPoint>& KeyPoints() const { return keys_; }
    // What Resolve noticed without refusing (the file's values that disagree
    // with its coordinates).
    const std::vector<PlanProblem>& Notes() const { return notes_; }
    const Chainage& Chains() const { return chainage_; }
    LengthUnit Unit() const { return unit_; }
    bool FromTable() const { return fromTable_; }
    double StartStation() const { return start_; }
    double EndStation() const { return end_; }

    // The internal station itself, or the start or end where it lies beyond
    // them by RoundingTolerance or less; throws ProfileRangeError further out.
    double OnRoute(double internal) const;
    double InternalOf(const Station& label) const;
    Station LabelOf(double internal) const { return chainage_.ToLabel(internal); }

    // The centre line at an internal station within [start, end] (see OnRoute).
    PlanPose At(double internal) const;
    // The element holding an internal station (the later one on a boundary).
    std::size_t ElementAt(double internal) const;
    PlanPose AtInElement(std::size_t element, double internal) const;

    // The nearest foot of a perpendicular from `p` anywhere on the route
    // within `maxOffset`; a point with none is reported as beyond the ends
    // (it lies past the start or end within reach of it) or too far.
    PlanFoot Inverse(const PlanPoint& p, double maxOffset) const;

private:
    Plan() = default;
    void Finish();  // key points, the search tree
    void NearestIn(std::size_t node, const PlanPoint& p, double& best, PlanFoot& foot) const;

    struct Box {
        double minN = 0, minE = 0, maxN = 0, maxE = 0;
    };
    struct Node {
        Box box;
        std::size_t left = 0, right = 0;  // children; for a leaf, the range of leafElements_
        bool leaf = false;
    };
    // What the foot search needs of an element again and again, computed once.
    struct Footing {
        double cosStart = 1, sinStart = 0;  // of the start azimuth
        PlanPose end;                       // the pose at its end
        double cosEnd = 1, sinEnd = 0;
        PlanPoint centre;                   // an arc's
        double radialStart = 0;             // an arc's: azimuth from the centre to the start
    };
    void FeetOn(std::size_t element, const PlanPoint& p, double& best, PlanFoot& foot) const;

    std::vector<PlanElement> elements_;
    std::vector<double> starts_;  // the elements' starts, for binary search
    std::vector<CurveTableRow> curves_;
    std::vector<PlanKeyPoint> keys_;
    std::vector<PlanProblem> notes_;
    Chainage chainage_;
    LengthUnit unit_ = LengthUnit::Metre;
    bool fromTable_ = false;
    double start_ = 0, end_ = 0;
    std::vector<Node> nodes_;
    std::vector<Footing> footings_;
    std::vector<std::size_t> leafElements_;
};

// The 交点表 of a route read as elements: one JD where the tangents framing
// each group of curves meet (the route's ends count as tangents), the group
// a spiral from the straight, an arc and a spiral back, of one radius (any of
// the three may be missing). Resolved, the table gives the same route. A
// group that is anything else (a partial clothoid, a reverse or compound
// curve without a straight) gives nothing and `problem` names its element.
std::optional<IntersectionTable> RecoverIntersections(const Plan& plan, PlanProblem* problem = nullptr);

// The sheet's 直线及平曲线 band of a plan, whichever way it was entered: one
// piece per element, at the same internal stations.
HorizontalAlignment HorizontalOf(const Plan& plan);

// A point `offset` to the right of a pose (to the left when negative).
PlanPoint OffsetPoint(const PlanPose& pose, double offset);

// Fast evaluation of increasing stations (a listing): remembers the element
// it found last.
class PlanCursor {
public:
    explicit PlanCursor(const Plan& plan) : plan_(plan) {}
    PlanPose At(double internal);

private:
    const Plan& plan_;
    std::size_t element_ = 0;
};

// The word of a key point as the drawings write it: "ZH", "起点", …
const char* PlanKeyName(PlanKeyKind kind);

}  // namespace tarnvel
