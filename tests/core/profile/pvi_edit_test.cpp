// The arithmetic of designing the grade line on the plot: where a dragged,
// slid or nudged PVI goes, the curve made from a dragged E, and the point a
// double click adds.

#include <cmath>
#include <optional>

#include <gtest/gtest.h>

#include "core/profile/pvi_edit.h"

namespace tarnvel {
namespace {

ProfilePoint Point(double station, double elevation, CurveSpec curve = {}) {
    return {Station{station, 0}, elevation, curve};
}

CurveSpec Radius(double r, CurveKind kind = CurveKind::ParabolaRadius) { return {kind, r, 0, 0, 0}; }

// Grades +2 %, −1 %, +1 %; curves R 2000 at 200 (E 0.225, 170–230) and R 3000 at 500.
Profile TwoCurves(CurveKind kind = CurveKind::ParabolaRadius) {
    ProfileModel model{"", LengthUnit::Metre,
                       {Point(0, 100), Point(200, 104, Radius(2000, kind)), Point(500, 101, Radius(3000, kind)),
                        Point(800, 104)},
                       {}};
    return *Profile::Resolve(model);
}

TEST(PviEdit, dragged_points_snap_slide_and_stay_between_their_neighbours) {
    const Profile profile = TwoCurves();
    struct Case {
        const char* name;
        std::size_t point;
        double station, elevation;
        DragMode mode;
        GradeSnap snap;
        std::optional<std::pair<double, double>> expected;  // label, elevation
    } cases[] = {
        {"free with snap: 10 m and a 0.05 % grade before", 1, 233.7, 105.31, DragMode::Free, {true, 10, 0.05},
         std::pair{230.0, 105.29}},
        {"free with a 0.01 % grade over 5 m steps", 2, 512.4, 99.0, DragMode::Free, {true, 5, 0.01},
         std::pair{510.0, 99.009}},
        {"free without snap: to the millimetre", 1, 233.7004, 105.31261, DragMode::Free, {false, 10, 0.05},
         std::pair{233.7, 105.313}},
        {"Ctrl keeps the grade before", 1, 266, 90, DragMode::KeepGradeIn, {true, 10, 0.05}, std::pair{270.0, 105.4}},
        {"Alt keeps the grade after", 1, 152, 120, DragMode::KeepGradeOut, {true, 20, 0.05}, std::pair{160.0, 104.4}},
        {"not past the next point", 1, 501, 100, DragMode::Free, {true, 1, 0.01}, std::nullopt},
        {"not onto the point before", 1, 0.2, 100, DragMode::Free, {true, 1, 0.01}, std::nullopt},
        {"the end points are not dragged", 3, 700, 100, DragMode::Free, {true, 1, 0.01}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto moved = DraggedPoint(profile, c.point, c.station, c.elevation, c.mode, c.snap);
        ASSERT_EQ(moved.has_value(), c.expected.has_value());
        if (!moved) continue;
        EXPECT_EQ(moved->station.value, c.expected->first);
        EXPECT_NEAR(moved->elevation, c.expected->second, 1e-9);
        EXPECT_EQ(moved->curve, profile.Model().points[c.point].curve);
        // The snapped grade is round to far below what any table shows.
        if (c.snap.on && c.mode == DragMode::Free) {
            const PointPlace before = PlaceOf(profile, c.point - 1);
            const double grade = (moved->elevation - before.elevation) / (moved->station.value - before.station) * 100;
            EXPECT_NEAR(grade, SnapToStep(grade, c.snap.gradeStep), 1e-9);
        }
    }
}

TEST(PviEdit, nudges_step_to_the_grid_and_radii_snap_to_round_values) {
    const Profile profile = TwoCurves();
    const GradeSnap snap{true, 20, 0.05};
    // Station +1 step: 500 is on the grid, so a whole step.
    EXPECT_EQ(NudgedPoint(profile, 2, 1, 0, snap)->station.value, 520);
    EXPECT_EQ(NudgedPoint(profile, 2, -1, 0, {true, 30, 0.05})->station.value, 480);
    // Grade before −1 % → −0.95 %: 104 − 0.95 × 3.
    EXPECT_NEAR(NudgedPoint(profile, 2, 0, 1, snap)->elevation, 101.15, 1e-9);
    EXPECT_FALSE(NudgedPoint(profile, 1, 0, 0, {true, 1000, 0.05}).has_value() &&
                 NudgedPoint(profile, 1, 1, 0, {true, 1000, 0.05}).has_value());

    const struct {
        double radius, snapped;
    } radii[] = {{30, 100}, {2649.9, 2600}, {2650, 2700}, {9960, 10000}, {12400, 12000}, {12500, 13000}};
    for (const auto& r : radii) EXPECT_EQ(SnapRadius(r.radius), r.snapped) << r.radius;
}

TEST(PviEdit, a_dragged_external_gives_the_curve_that_has_it) {
    // Δi = 3 %: a parabola's E = R × 0.0009 / 8.
    const Profile parabolas = TwoCurves();
    EXPECT_EQ(CurveForExternal(parabolas, 0, 0.45, {true, 10, 0.01})->radius, 4000);
    EXPECT_EQ(CurveForExternal(parabolas, 0, 0.3, {true, 10, 0.01})->radius, 2700);
    EXPECT_FALSE(CurveForExternal(parabolas, 0, -0.1, {}).has_value());
    // A circular arc is no parabola: the E it is asked for is the E it then has.
    for (CurveKind kind : {CurveKind::Circular, CurveKind::ParabolaRadius}) {
        const Profile profile = TwoCurves(kind);
        const auto reshaped = CurveForExternal(profile, 1, 0.5, {false, 10, 0.01});
        ASSERT_TRUE(reshaped.has_value());
        EXPECT_EQ(reshaped->kind, kind);
        ProfileModel model = WithPoint(profile.Model(), 2, {Station{500, 0}, 101, *reshaped});
        const auto resized = Profile::Resolve(model);
        ASSERT_TRUE(resized.has_value());
        EXPECT_NEAR(resized->Elements()[1].external, 0.5, 1e-6) << CurveKindName(kind);
    }
}

TEST(PviEdit, a_double_click_splits_a_grade_on_the_line_but_never_a_curve) {
    const Profile profile = TwoCurves();
    const auto split = SplitGradeAt(profile, 347.2, {true, 10, 0.01});
    ASSERT_TRUE(split.has_value());
    EXPECT_EQ(split->index, 2u);
    EXPECT_EQ(split->point.station.value, 350);
    EXPECT_NEAR(split->point.elevation, 102.5, 1e-9);
    EXPECT_EQ(split->point.curve.kind, CurveKind::None);
    // Inside a curve, on a PVI, at the ends: nothing.
    for (double station : {210.0, 200.0, 0.0, 799.9999}) EXPECT_FALSE(SplitGradeAt(profile, station, {false, 1, 0.01})) << station;
    // The line stays where it was.
    ProfileModel model = profile.Model();
    model.points.insert(model.points.begin() + static_cast<std::ptrdiff_t>(split->index), split->point);
    const auto after = Profile::Resolve(model);
    ASSERT_TRUE(after.has_value());
    for (double s = 0; s <= 800; s += 12.5) EXPECT_NEAR(after->At(s).elevation, profile.At(s).elevation, 1e-9) << s;
}

}  // namespace
}  // namespace tarnvel
