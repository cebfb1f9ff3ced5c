#include "core/profile/design_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/profile/grade_edit.h"
#include "core/text/check_text.h"
#include "core/text/messages.h"
#include "tests/check_cases.h"

namespace tarnvel {
namespace {

using test::CheckCase;
using test::Control;
using test::Point;
using test::Resolved;

class DesignChecks : public testing::TestWithParam<CheckCase> {};

TEST_P(DesignChecks, controls_and_criteria_give_the_worked_rows) {
    const CheckCase& c = GetParam();
    const Profile profile = Resolved(c.design);
    const ControlReport report = CheckControls(profile, c.controls);
    EXPECT_TRUE(report.problems.empty());
    const std::vector<CriterionViolation> violations = CheckCriteria(profile, c.criteria);
    EXPECT_EQ(ControlChecksCsv(profile, c.controls, report, {}), c.controlsCsv);
    EXPECT_EQ(CriteriaViolationsCsv(profile, violations, {}), c.criteriaCsv);
    EXPECT_EQ(report.Violated() || !violations.empty(), c.violated);
    // Every violation is a sentence that names its criterion.
    for (const CriterionViolation& v : violations)
        EXPECT_NE(DescribeCriterionViolation(v, LengthUnit::Metre).find(CriterionName(v.criterion)), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Cases, DesignChecks, testing::ValuesIn(test::CheckCases()),
                         [](const auto& info) { return info.param.name; });

// A road with a long chain at label 600 (back 600, ahead 500): labels 500 to
// 600 occur twice.
ProfileModel Chained() {
    ProfileModel m;
    m.points = {Point(0, 100), Point(400, 104, test::ByRadius(5000)), Point(Station{550, 2}, 106), Point(800, 109)};
    m.chains = {{600, 500}};
    return m;
}

TEST(ControlProblems, controls_that_cannot_be_checked_are_named_and_the_rest_checked) {
    const Profile profile = Resolved(Chained());
    struct Row {
        ControlPoint control;
        std::optional<ControlProblemKind> kind;  // nothing: checked
        std::string words;                       // in the message
    };
    const std::vector<Row> rows = {
        {Control(100, {}, {}), ControlProblemKind::NoBound, "没有最低高程"},
        {Control(100, 102, 101), ControlProblemKind::BoundsCrossed, "最低高程高于最高高程"},
        {Control(-10, 90, {}), ControlProblemKind::OutsideProfile, "起点为"},
        {Control(900, 90, {}), ControlProblemKind::OutsideProfile, "终点为"},
        {Control(550, 90, {}), ControlProblemKind::NotPlaced, "550"},  // twice on the road, which one?
        {{Station{550, 2}, 90.0, {}, "", 0}, std::nullopt, ""},
        {Control(100, 100.5, 100.5), std::nullopt, ""},  // both bounds equal: a fixed elevation
    };
    std::vector<ControlPoint> controls;
    for (const Row& r : rows) controls.push_back(r.control);
    const ControlReport report = CheckControls(profile, controls);
    std::size_t problem = 0, check = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        if (!rows[i].kind) {
            ASSERT_LT(check, report.checks.size());
            EXPECT_EQ(report.checks[check++].point, i);
            continue;
        }
        ASSERT_LT(problem, report.problems.size());
        const ControlProblem& p = report.problems[problem++];
        EXPECT_EQ(p.point, i);
        EXPECT_EQ(p.kind, *rows[i].kind);
        EXPECT_NE(DescribeControlProblem(p).find(rows[i].words), std::string::npos) << DescribeControlProblem(p);
    }
    EXPECT_EQ(problem, report.problems.size());
    EXPECT_EQ(check, report.checks.size());
    // The second 550 lies 50 along the road after the break: the third point.
    EXPECT_DOUBLE_EQ(report.checks[0].design, 106);
    EXPECT_EQ(report.checks[0].status, ControlStatus::Ok);
    EXPECT_DOUBLE_EQ(report.checks[1].design, 101);  // on the first grade of 1 %
    EXPECT_EQ(report.checks[1].status, ControlStatus::Above);
    EXPECT_DOUBLE_EQ(report.checks[1].margin, -0.5);
}

TEST(GradeEdits, a_new_grade_keeps_the_later_grades_and_a_new_length_the_later_lengths) {
    const Profile profile = Resolved(Chained());
    struct Row {
        const char* name;
        bool grade;  // else length
        std::size_t point;
        double value;
    };
    const Row rows[] = {
        {"grade after the start", true, 0, -0.5},
        {"grade of the last stretch", true, 2, 3},
        {"longer first stretch carries the rest along the road", false, 0, 450},
        {"shorter stretch, back across the chain break", false, 1, 150},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::optional<ProfileModel> edited =
            r.grade ? WithGradeAfter(profile, r.point, r.value) : WithLengthAfter(profile, r.point, r.value);
        ASSERT_TRUE(edited);
        ASSERT_TRUE(Profile::Resolve(*edited));
        const Profile after = Resolved(*edited);
        for (std::size_t i = 0; i + 1 < edited->points.size(); ++i) {
            SCOPED_TRACE(i);
            const double grade = GradeAfter(after, i), length = LengthAfter(after, i);
            double expectedGrade = GradeAfter(profile, i), expectedLength = LengthAfter(profile, i);
            if (i == r.point && r.grade) expectedGrade = r.value;
            if (i == r.point && !r.grade) {
                expectedLength = r.value;  // the same rise over the new length
                expectedGrade = GradeAfter(profile, i) * LengthAfter(profile, i) / r.value;
            }
            EXPECT_NEAR(grade, expectedGrade, 1e-12);
            EXPECT_NEAR(length, expectedLength, 1e-9);
        }
        // The points before the edited stretch are the user's as they were.
        for (std::size_t i = 0; i <= r.point; ++i) EXPECT_EQ(edited->points[i], profile.Model().points[i]);
    }
    // Points carried back across the chain break take the labels of their new places.
    const ProfileModel back = *WithLengthAfter(profile, 1, 150);
    EXPECT_EQ(back.points[2].station, (Station{550, 1}));
    EXPECT_EQ(back.points[3].station, (Station{700, 0}));
    EXPECT_FALSE(WithLengthAfter(profile, 1, 0));
    EXPECT_FALSE(WithGradeAfter(profile, 3, 1));  // the end has no grade after it
}

}  // namespace
}  // namespace tarnvel
