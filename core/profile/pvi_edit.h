#pragma once
// Designing the grade line by hand (拉坡): the arithmetic behind dragging a
// PVI or a curve on the plot, adding and removing PVIs and nudging them, kept
// apart from any widget so that it runs alone under test. The plot only turns
// the mouse into stations and elevations; what the point becomes is decided
// here, always from the profile as it was when the gesture began, so that a
// drag never accumulates rounding from one frame to the next.
//
// Stations are internal unless a name says label; grades are in percent.
// Snapping works on labels: a designer wants K1+250, not an internal station
// that only becomes round after a chain break.

#include <cstddef>
#include <optional>

#include "core/profile/profile.h"

namespace tarnvel {

struct GradeSnap {
    bool on = true;
    double stationStep = 10;  // label units (1, 5, 10, 20 m)
    double gradeStep = 0.01;  // percent (0.01, 0.05, 0.1)
};

// The nearest multiple of `step` (the value itself for a step ≤ 0).
double SnapToStep(double value, double step);
// The next multiple of `step` above (`direction` > 0) or below the value;
// a value already on the grid moves a whole step.
double NextStep(double value, double step, int direction);
// Round radii: 100 steps below 10,000, 1,000 steps from there; never below 100.
double SnapRadius(double radius);
// The binary noise of a sum of round numbers dropped (rounded to 1e-9), so
// that a snapped elevation is written as "102.9625", not "102.96250000000001".
double CleanDecimals(double value);
// Rounded to the millimetre (0.001 of the unit): what an unsnapped drag gives.
double RoundToMillimetre(double value);

// How a dragged PVI moves: freely (station and elevation), or sliding along
// the grade before it or the grade after it so that that grade stays.
enum class DragMode { Free, KeepGradeIn, KeepGradeOut };

// The internal station and the elevation of the model's point `point`.
struct PointPlace {
    double station = 0;
    double elevation = 0;
};
PointPlace PlaceOf(const Profile& profile, std::size_t point);

// The PVI `point` (an inner point of the profile's model) put under the mouse
// at `station`, `elevation`. With snapping the station label goes to the
// step and, when moving freely, the elevation so that the grade before the
// PVI is a multiple of the grade step (the grade after follows; dragging the
// next PVI rounds it in turn). Without snapping both go to the millimetre.
// Nothing when the station cannot be labelled or is not strictly between the
// neighbouring points.
std::optional<ProfilePoint> DraggedPoint(const Profile& profile, std::size_t point, double station, double elevation,
                                         DragMode mode, const GradeSnap& snap);

// The arrow keys: the station label to the next multiple of the station step
// (`stationSteps` = ±1), or the grade before the PVI to the next multiple of
// the grade step (`gradeSteps` = ±1), the station kept. Nothing when the
// point would reach a neighbour.
std::optional<ProfilePoint> NudgedPoint(const Profile& profile, std::size_t point, int stationSteps, int gradeSteps,
                                        const GradeSnap& snap);

// The curve of the element `element` (an index into Elements()) made so that
// its external distance E becomes `external`, its grades kept. E grows in
// proportion to the curve's size for every kind, so the kind is kept and its
// size scaled; a PVI without a curve gets a parabola given by R = 8E / Δi².
// With snapping a radius goes to SnapRadius and a parabola's length to the
// station step. Nothing when the grades do not change or E is not positive.
std::optional<CurveSpec> CurveForExternal(const Profile& profile, std::size_t element, double external,
                                          const GradeSnap& snap);

// A new PVI on the design line at `station` (its label snapped to the step
// when snapping): it lies on the grade, so the line does not change. Where
// the model gets it (`index`: the points from there on move one down), or
// nothing when the station lies on a vertical curve, outside the profile or
// within a millimetre of a point.
struct SplitPoint {
    std::size_t index = 0;
    ProfilePoint point;
};
std::optional<SplitPoint> SplitGradeAt(const Profile& profile, double station, const GradeSnap& snap);

// One edit of the PVI table that a gesture on the plot asks for: a point
// moved or its curve changed (`value` is the whole point as it becomes), a
// point inserted at `point` (the points from there on move one down), or
// the point `point` removed.
struct PointEdit {
    enum class Kind { Move, Curve, Insert, Remove };
    Kind kind = Kind::Move;
    std::size_t point = 0;
    ProfilePoint value;
};

// The model with point `point` replaced: what a drag shows before the table
// takes it.
ProfileModel WithPoint(const ProfileModel& model, std::size_t point, const ProfilePoint& value);

}  // namespace tarnvel
