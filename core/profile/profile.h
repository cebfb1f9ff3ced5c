#pragma once
// A whole road profile: a start point, any number of grade change points
// (PVIs), an end point. Grades follow from neighbouring points; each PVI may
// carry one vertical curve. The model holds what the user or a file gives
// (stations as labels); Resolve checks it and turns it into a Profile
// evaluator that works on internal stations (see chain.h). Numbers come out;
// text is the business of whoever shows them.
//
// Units: every length is in the profile's own unit (metres unless a file says
// otherwise), grades in percent: a positive grade rises as the station grows.

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/profile/chain.h"
#include "core/profile/station.h"

namespace tarnvel {

enum class LengthUnit { Metre, Foot, USSurveyFoot };

enum class CurveKind {
    None,             // a plain grade break
    ParabolaRadius,   // symmetric parabola given by R: L = R × |i2 − i1| / 100
    ParabolaLength,   // symmetric parabola given by its horizontal length L
    Unsymmetric,      // parabola with its own lengths before and after the PVI
    Circular,         // exact circular arc of radius R tangent to both grades
};

struct CurveSpec {
    CurveKind kind = CurveKind::None;
    double radius = 0;     // ParabolaRadius, Circular
    double length = 0;     // ParabolaLength: horizontal length
    double lengthIn = 0;   // Unsymmetric: horizontal length before the PVI
    double lengthOut = 0;  // Unsymmetric: horizontal length after the PVI

    friend bool operator==(const CurveSpec&, const CurveSpec&) = default;
};

struct ProfilePoint {
    Station station;
    double elevation = 0;
    CurveSpec curve;  // must be None on the first and the last point

    friend bool operator==(const ProfilePoint&, const ProfilePoint&) = default;
};

struct ProfileModel {
    std::string name;                  // as the file names it; may be empty
    LengthUnit unit = LengthUnit::Metre;
    std::vector<ProfilePoint> points;  // in order along the road
    std::vector<ChainBreak> chains;    // station equations, in order along the road

    friend bool operator==(const ProfileModel&, const ProfileModel&) = default;
};

// Where a problem is, so that a table can mark the cell and a file reader can
// name its row.
enum class ProfileField { Whole, Station, Elevation, Curve, Chain };

// What is wrong with a model, or (for a note) what Resolve adjusted in it.
enum class ProblemCode {
    TooFewPoints,         // `count` points
    ChainInvalid,         // `chain` says why
    StationOutOfRange,    // beyond 1E+12 or not finite
    ElevationOutOfRange,
    StationUnplaceable,   // the chain table cannot place it: `station` says why
    CurveOnStart,
    CurveOnEnd,
    CurveValueNotPositive,  // `value` names the quantity
    CurveValueTooLarge,
    NotIncreasing,        // not after point `other`
    GradeTooSteep,        // from point `other` to this one
    CurveTooLong,         // its ends cannot be computed
    CurveStartBeyond,     // starts `amount` before point `other`
    CurveEndBeyond,       // ends `amount` after point `other`
    CurvesOverlap,        // overlaps the curve of point `other` by `amount`
    CurvesMeetAdjusted,   // a note: overlapped that curve by `amount`, within rounding; both now meet halfway
};

enum class CurveValue { Radius, Length, LengthIn, LengthOut };

struct ProfileProblem {
    std::size_t point = 0;  // index into points (or into chains for ProfileField::Chain)
    ProfileField field = ProfileField::Whole;
    ProblemCode code = ProblemCode::TooFewPoints;
    Station label;            // the point's station as the model gives it
    std::size_t other = 0;    // the neighbouring point concerned
    Station otherLabel;
    double amount = 0;        // a length in `unit`
    std::size_t count = 0;
    CurveValue value = CurveValue::Radius;
    LengthUnit unit = LengthUnit::Metre;
    ChainProblem chain;
    StationFault station;
};

// A computed value at one internal station.
struct ProfileValue {
    double elevation = 0;
    double grade = 0;  // percent
};

// The elements of one PVI's curve. For a PVI without a curve the lengths are
// 0 and start and end fall on the PVI. A quantity that a kind does not have
// (the radius of an unsymmetrical parabola) is NaN.
struct CurveElementsRow {
    std::size_t point = 0;         // index into the model's points
    double pviStation = 0;         // internal station
    double pviElevation = 0;
    double gradeIn = 0;            // percent
    double gradeOut = 0;           // percent
    bool crest = false;            // gradeOut < gradeIn; never from the sign of R
    CurveKind kind = CurveKind::None;
    double radius = 0;             // R; for a parabola given by L, L × 100 / |Δi| (NaN when Δi = 0)
    double length = 0;             // horizontal length from start to end
    double tangentIn = 0;          // horizontal distance PVI − start
    double tangentOut = 0;         // horizontal distance end − PVI
    double external = 0;           // |elevation of the curve at the PVI − PVI elevation|
    double startStation = 0, startElevation = 0;
    double endStation = 0, endElevation = 0;
    std::optional<double> extremeStation;    // high or low point strictly inside the curve
    std::optional<double> extremeElevation;
};

// Whether the grade changes at the row's PVI. A change below a millionth of
// a percent is the rounding of a file's elevations (1.9999999999990399 for
// 2), not a design: such a PVI is neither crest nor sag and has no kind.
bool GradeChanges(const CurveElementsRow& row);

// Thrown by queries for a station outside the profile (never extrapolated).
// Its fault names the station label and the profile's first and last.
class ProfileRangeError : public StationError {
public:
    using StationError::StationError;
};

// Neighbouring curves that overlap by no more than this (1 mm, in the
// profile's unit) are taken as touching: design files carry 4 to 6 decimals,
// so curves that meet are written a little over. A station this close beyond
// an end reads as that end, for the same reason.
double RoundingTolerance(LengthUnit unit);

// The internal station itself, or `start` or `end` where it lies beyond them
// by RoundingTolerance or less; throws ProfileRangeError further out. The
// profile and the plan place stations the same way.
double OnRoad(double internal, double start, double end, const Chainage& chains, LengthUnit unit);
// A label to its internal station; a label within RoundingTolerance inside a
// short chain's gap reads as the break. Throws StationError otherwise.
double LabelOnRoad(const Chainage& chains, const Station& label, LengthUnit unit);

// One stretch of the design line between two consecutive key stations: a
// grade line, one half of a parabola, or a circular arc. Internal detail of
// the evaluator, public only so that it can live in a vector here.
struct ProfilePiece {
    enum class Shape { Line, Parabola, Circle };
    Shape shape = Shape::Line;
    double from = 0, to = 0;   // internal stations, from < to
    // Line and Parabola: z(s) = z0 + slope0 × d + curvature × d², d = s − origin
    // (slope0 as a slope, not in percent). Circle: origin and z0 are the arc's
    // start point, slope0 = r·sin a1 and curvature = r·cos a1 for the first
    // grade's angle a1, so that elevations are taken from the start point
    // without the cancellation of centre minus radius.
    double origin = 0, z0 = 0, slope0 = 0, curvature = 0;
    // Circle: centre (cx, cz), radius r; the arc lies above the centre for a
    // crest and below it for a sag
    double cx = 0, cz = 0, r = 0;
    bool crest = false;
};

// What a resolved profile keeps besides its model. Everything: the pieces of
// the design line and the curve elements, for any number of queries (the
// window, a listing, a drawing). Model: the checked model and its internal
// stations only, about a quarter of the memory; the pieces and the elements
// are made again on each pass from start to end (ValuesAt, ForEachElement),
// which suits a whole command that passes over a large profile once or twice.
enum class ProfileKeep { Everything, Model };

class Profile {
public:
    // Checks the model and builds the evaluator. On any problem returns nothing
    // and fills `problems` with every problem found (not only the first):
    // fewer than two points; a non-finite number; stations not strictly
    // increasing along the road; a curve on the first or last point; a radius
    // or length that is not positive; a curve reaching past the neighbouring
    // PVI or end point ("超出…米"); two curves that overlap (by how many
    // units); an invalid chain table; a station label that the chain table
    // cannot place. Back-to-back curves (end of one = start of the next) are
    // valid, and so are curves overlapping by RoundingTolerance or less: the
    // two then meet halfway (see AdjustedSpec in the resolver), and Notes()
    // says so once for each such pair.
    static std::optional<Profile> Resolve(const ProfileModel& model,
                                          std::vector<ProfileProblem>* problems = nullptr,
                                          ProfileKeep keep = ProfileKeep::Everything);
    // The same, keeping the model given instead of a copy of it.
    static std::optional<Profile> Resolve(ProfileModel&& model, std::vector<ProfileProblem>* problems = nullptr,
                                          ProfileKeep keep = ProfileKeep::Everything);

    const ProfileModel& Model() const { return model_; }
    // What Resolve adjusted (ProblemCode::CurvesMeetAdjusted), for the user to be told once.
    const std::vector<ProfileProblem>& Notes() const { return notes_; }
    const Chainage& Chains() const { return chainage_; }
    double StartStation() const;  // internal
    double EndStation() const;    // internal

    // Elevation and grade at an internal station within [start, end]; throws
    // ProfileRangeError outside (see OnProfile). On a PVI without a curve the grade is the
    // grade ahead of it, and so on every boundary: the grade of the part that
    // continues.
    ProfileValue At(double internal) const;

    // The internal station itself, or the start or end station where it lies
    // beyond them by RoundingTolerance or less (a station published to fewer
    // decimals than the file, or a label taken through the chain table and
    // back); throws ProfileRangeError when it lies further out.
    double OnProfile(double internal) const;

    // The same for a label: Chains().ToInternal, then At.
    ProfileValue AtLabel(const Station& label) const;

    // At for many internal stations, in any order, in one pass from start to
    // end: the values in the order asked. Throws as At does for the first
    // station (in that order) outside the profile.
    std::vector<ProfileValue> ValuesAt(std::span<const double> internals) const;

    // One row for every PVI (not the first and last points), in order.
    // Throws std::logic_error on a profile that keeps only its model; every
    // profile can give them through ForEachElement.
    const std::vector<CurveElementsRow>& Elements() const;
    // The same rows one at a time, in order, whatever the profile keeps.
    void ForEachElement(const std::function<void(const CurveElementsRow&)>& row) const;
    std::size_t ElementCount() const { return model_.points.size() - 2; }

    // The design line as pieces from start to end, for code that solves
    // against its formulas (see profile_piece.h). Throws std::logic_error on
    // a profile that keeps only its model.
    const std::vector<ProfilePiece>& Pieces() const;

    // Internal station to label and back, through the chain table. A label
    // within RoundingTolerance inside a short chain's gap (a break's station
    // published to fewer decimals) reads as the break.
    Station LabelOf(double internal) const { return chainage_.ToLabel(internal); }
    double InternalOf(const Station& label) const;

private:
    Profile() = default;
    friend class ProfileCursor;
    // The index of the last piece starting at or before an internal station.
    std::size_t PieceAt(double internal) const;

    // The curve of point i as resolved: made to meet a neighbour, or as given.
    const CurveSpec& CurveOf(std::size_t i) const;
    // Every piece and every elements row in order, made from the model, the
    // stations and the adjusted curves; the one way both are made.
    // `known`: the grades and extents the checks computed, where at hand.
    struct Known;
    void Walk(const std::function<void(const ProfilePiece&)>& piece,
              const std::function<void(const CurveElementsRow&)>* row, const Known* known = nullptr) const;

    ProfileModel model_;
    Chainage chainage_;
    ProfileKeep keep_ = ProfileKeep::Everything;
    std::vector<double> internal_;  // the points' internal stations (ProfileKeep::Model)
    // Curves made to meet a neighbour within rounding, by point, in order.
    std::vector<std::pair<std::size_t, CurveSpec>> adjusted_;
    std::vector<CurveElementsRow> elements_;
    std::vector<ProfilePiece> pieces_;
    std::vector<ProfileProblem> notes_;
};

// Fast evaluation of increasing stations (a listing): remembers the piece it
// found last, so that a monotone walk costs O(1) a station.
class ProfileCursor {
public:
    // Throws std::logic_error for a profile that keeps only its model.
    explicit ProfileCursor(const Profile& profile);
    ProfileValue At(double internal);

private:
    const Profile& profile_;
    std::size_t piece_ = 0;
};

// Words for the kinds, for texts and files.
const char* CurveKindName(CurveKind kind);      // "ParabolaRadius" → "抛物线(R)", ...
const char* LengthUnitName(LengthUnit unit);    // "米", "英尺", "美国测量英尺"
const char* LengthUnitSymbol(LengthUnit unit);  // "m", "ft", "ftUS"

}  // namespace tarnvel
