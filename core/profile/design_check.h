#pragma once
// Checks of a resolved profile against what the designer must respect:
// control elevations (控制标高: a bridge deck above, a culvert's cover below)
// and the designer's own criteria (设计标准: grades, grade lengths, radii,
// curve lengths). Tarnvel ships no standard's values: every limit here is the
// user's. Numbers come out; the message module and the text module word them.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/profile/profile.h"

namespace tarnvel {

// ---- Control elevations ----------------------------------------------------

// One control point: at `station` the design must lie at or above `lower`
// (最低) and at or below `upper` (最高); either may be absent, not both.
struct ControlPoint {
    Station station;
    std::optional<double> lower, upper;
    std::string name;     // 桥面, 涵洞最小填土, … ; may be empty
    std::size_t row = 0;  // the file's row, for messages; 0: named by its number

    friend bool operator==(const ControlPoint&, const ControlPoint&) = default;
};

enum class ControlStatus { Ok, Below, Above };

enum class ControlProblemKind {
    StationUnreadable,  // a cell that is no station (`text`)
    BoundUnreadable,    // a bound's cell that is no number (`text`)
    NoBound,            // neither 最低 nor 最高
    BoundsCrossed,      // 最低 above 最高
    NotPlaced,          // the chain table cannot place the label (`fault`)
    OutsideProfile,     // before the profile's start or after its end (`limit`)
};

struct ControlProblem {
    ControlProblemKind kind = ControlProblemKind::NoBound;
    std::size_t point = 0;  // index into the controls
    std::size_t row = 0;    // the file's row; 0 when named by its number
    Station station;
    Station limit;          // OutsideProfile: the profile's start or end label
    std::string text;       // the cell as written
    StationFault fault;     // NotPlaced
};

// The design at one control point.
struct ControlCheck {
    std::size_t point = 0;  // index into the controls
    double station = 0;     // internal
    double design = 0;
    // The distance to the nearer bound: design − 最低 or 最高 − design,
    // whichever is smaller; negative when the bound is violated.
    double margin = 0;
    ControlStatus status = ControlStatus::Ok;
};

struct ControlReport {
    std::vector<ControlCheck> checks;      // one for each control that could be placed, in order
    std::vector<ControlProblem> problems;  // the controls that could not be checked, in order
    bool Violated() const;                 // a check that is not Ok
};

// Every control against the profile. A design within rounding of a bound
// (1E-9 of the elevation) lies on it: margin 0, not a violation.
ControlReport CheckControls(const Profile& profile, const std::vector<ControlPoint>& controls);

// ---- Designer's criteria ----------------------------------------------------

// Each limit optional. Grades in percent (compared by their size, whatever
// their sign), lengths and radii in the profile's unit.
struct DesignCriteria {
    std::optional<double> maxGrade, minGrade, minGradeLength;
    std::optional<double> minCrestRadius, minSagRadius, minCurveLength;

    friend bool operator==(const DesignCriteria&, const DesignCriteria&) = default;
    bool Empty() const { return *this == DesignCriteria{}; }
};

enum class Criterion { MaxGrade, MinGrade, MinGradeLength, MinCrestRadius, MinSagRadius, MinCurveLength };
inline constexpr Criterion kCriteria[] = {Criterion::MaxGrade,       Criterion::MinGrade,
                                          Criterion::MinGradeLength, Criterion::MinCrestRadius,
                                          Criterion::MinSagRadius,   Criterion::MinCurveLength};

// The criterion's limit in `criteria`, and a way to set it.
std::optional<double>& CriterionLimit(DesignCriteria& criteria, Criterion criterion);
std::optional<double> CriterionLimit(const DesignCriteria& criteria, Criterion criterion);
// The key of the criteria file ("max_grade", …), and back.
const char* CriterionKey(Criterion criterion);
std::optional<Criterion> CriterionFromKey(std::string_view key);

// A limit the checks can use: finite, not negative, within 1E+12; a maximum
// grade above zero.
bool CriterionValueUsable(Criterion criterion, double value);

// One violation. Grades and grade lengths belong to the grade's first point
// (the point it starts from), radii and curve lengths to their PVI.
struct CriterionViolation {
    Criterion criterion = Criterion::MaxGrade;
    std::size_t point = 0;  // index into the model's points
    double station = 0;     // internal station of that point
    double value = 0;       // the grade (signed, %), the length or the radius
    double limit = 0;
    // How far inside the limit the value would have to move: positive, in
    // the value's unit (for a grade, of its size).
    double Shortfall() const;
};

// One violation per grade and criterion, then per curve and criterion, in
// the order of the points. A circular arc's or a parabola's radius is R as
// written; a parabola given by its length has R = L / |Δi|; an unsymmetrical
// parabola is as sharp as its sharper half, R = l1·L / (l2·|Δi|) for the
// shorter side l1. Curves between equal grades have no radius to check.
// Values within rounding (1E-9 of the limit) of it hold.
std::vector<CriterionViolation> CheckCriteria(const Profile& profile, const DesignCriteria& criteria);

// Which criteria a point's grade (the grade after it) and curve violate,
// for the tables: the violations of `all` with that point.
std::vector<CriterionViolation> ViolationsAt(const std::vector<CriterionViolation>& all, std::size_t point);

}  // namespace tarnvel
