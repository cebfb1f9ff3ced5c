// The plan drawing against the published cases: the main points, the ticks
// and the 交点 lie on the page where the published coordinates put them, the
// labels carry the published stations, and a view draws nothing beyond its
// frame.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "core/drawing/plan_drawing.h"
#include "core/profile/station.h"
#include "tests/plan_cases.h"

namespace tarnvel {
namespace {

Plan Resolved(const test::PlanCase& c) {
    std::vector<PlanProblem> problems;
    std::optional<Plan> plan = Plan::Resolve(test::TableOf(c), &problems);
    if (!plan) throw std::runtime_error("case does not resolve");
    return std::move(*plan);
}

const test::PlanCase& Case(std::string_view name) {
    static const std::vector<test::PlanCase> cases = test::PublishedPlanCases();
    return *std::find_if(cases.begin(), cases.end(), [&](const test::PlanCase& c) { return c.name == name; });
}

// The world point of a page point, in the published coordinates.
double Distance(const PlanPoint& a, double north, double east) { return std::hypot(a.north - north, a.east - east); }

// The key labels of a page: "ZH K23+235.805" read back as the word and the station.
std::vector<std::pair<std::string, double>> KeyLabels(const Page& page) {
    std::vector<std::pair<std::string, double>> labels;
    for (const PageText& t : page.texts) {
        const std::size_t space = t.text.find(' ');
        if (space == std::string::npos) continue;
        if (const auto station = ParseStation(t.text.substr(space + 1)))
            labels.push_back({t.text.substr(0, space), station->value});
    }
    return labels;
}

struct PointRow {
    const char* name;
    const char* planCase;
    int scale;
    double station, north, east;  // published
    PageRole role;                // a main point's mark or a tick
    const char* word;             // the main point's label word; "" for a tick
};

// Published points: the main points of the unsymmetrical spirals and of the
// US feet spiral, and the 20 m tick at K23+400.
const PointRow kPoints[] = {
    {"ZH of the unsymmetrical spirals", "unsymmetrical spirals K23+400", 2000, 23235.8046, 50163.9401, 52526.5284,
     PageRole::PlanKey, "ZH"},
    {"HZ of the unsymmetrical spirals", "unsymmetrical spirals K23+400", 1000, 23490.9003, 50334.6935, 52394.9427,
     PageRole::PlanKey, "HZ"},
    {"a tick on the circular arc", "unsymmetrical spirals K23+400", 500, 23400, 50244.5432, 52395.2700,
     PageRole::PlanTick, ""},
    {"TS in US feet", "US feet spiral (Carlson)", 2000, 9288.00, 4583.08, 4244.46, PageRole::PlanKey, "ZH"},
    {"SC in US feet", "US feet spiral (Carlson)", 5000, 9638.00, 4758.34, 4546.82, PageRole::PlanKey, "HY"},
};

TEST(PlanDrawing, marks_and_ticks_lie_where_the_published_coordinates_put_them) {
    for (const PointRow& row : kPoints) {
        SCOPED_TRACE(row.name);
        const test::PlanCase& c = Case(row.planCase);
        const Plan plan = Resolved(c);
        const PlanSheet sheet = BuildPlanSheet(plan, MakePlanFigure(plan), {row.scale, "平面图"});
        // The published coordinates' own tolerance, and a hundredth of a millimetre of paper.
        const double within = c.pointTolerance + 0.01 / sheet.view.mmPerUnit;
        const auto mark = std::find_if(sheet.page.lines.begin(), sheet.page.lines.end(), [&](const PageLine& l) {
            return l.role == row.role && Distance(sheet.view.ToWorld(l.points.front()), row.north, row.east) <= within;
        });
        ASSERT_NE(mark, sheet.page.lines.end());
        if (row.role == PageRole::PlanTick) {
            // To the left: towards the published point 20 m left of the station.
            const PlanPoint end = sheet.view.ToWorld(mark->points.back());
            const test::CasePoint& left = *std::find_if(c.at.begin(), c.at.end(), [](const auto& p) { return p.offset == -20; });
            EXPECT_LT(Distance(end, left.north, left.east), 20 - 0.5 / sheet.view.mmPerUnit);
        } else {
            const auto labels = KeyLabels(sheet.page);
            EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](const auto& l) {
                return l.first == row.word && std::fabs(l.second - row.station) <= c.tolerance + 0.0005;
            }));
        }
    }
}

// Every main point of the class-2 highway's table is labelled with its
// published station on a sheet at 1:2000; where two coincide (JD1's HZ is
// JD2's ZY) one label serves both.
TEST(PlanDrawing, the_sheet_labels_every_published_main_point_and_tabulates_every_jd) {
    const test::PlanCase& c = Case("class-2 highway 直线、曲线及转角表");
    const Plan plan = Resolved(c);
    const PlanFigure figure = MakePlanFigure(plan);
    const PlanSheet sheet = BuildPlanSheet(plan, figure, {2000, "平面图"});
    const auto labels = KeyLabels(sheet.page);
    for (const test::CaseCurve& curve : c.curves)
        for (const double station : {curve.zh, curve.hy, curve.qz, curve.yh, curve.hz}) {
            EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                                    [&](const auto& l) { return std::fabs(l.second - station) <= c.tolerance; }))
                << curve.name << " " << station;
        }
    // The JD lines pass through every published 交点, and the table names each.
    for (const test::CaseJd& jd : c.points) {
        const bool onLine = std::any_of(sheet.page.lines.begin(), sheet.page.lines.end(), [&](const PageLine& l) {
            return l.role == PageRole::PlanTangent &&
                   std::any_of(l.points.begin(), l.points.end(), [&](const PagePoint& p) {
                       return Distance(sheet.view.ToWorld(p), jd.north, jd.east) <= 1e-6;
                   });
        });
        EXPECT_TRUE(onLine) << jd.name;
        if (jd.radius > 0) {
            EXPECT_TRUE(std::any_of(sheet.page.texts.begin(), sheet.page.texts.end(),
                                    [&](const PageText& t) { return t.text == jd.name; }))
                << jd.name;
        }
    }
    // Nothing of the route lies outside the drawing area.
    for (const PageLine& line : sheet.page.lines) {
        if (line.role != PageRole::PlanStraight && line.role != PageRole::PlanArc && line.role != PageRole::PlanSpiral)
            continue;
        for (const PagePoint& p : line.points) EXPECT_TRUE(sheet.view.frame.Contains({p.x, p.y, p.x, p.y}));
    }
    // The page lies in the world: its corner maps back through the placement.
    ASSERT_TRUE(sheet.page.world);
    const PlanPoint corner = sheet.view.ToWorld({0, 0});
    EXPECT_NEAR(sheet.page.world->east, corner.east, 1e-6);
    EXPECT_NEAR(sheet.page.world->north, corner.north, 1e-6);
}

// A view zoomed into one curve draws the curve to its tolerance and nothing
// beyond the page, and the arc's chords stay within a quarter pixel of it.
TEST(PlanDrawing, a_zoomed_view_is_clipped_and_sampled_to_its_tolerance) {
    const test::PlanCase& c = Case("class-2 highway 直线、曲线及转角表");
    const Plan plan = Resolved(c);
    const PlanFigure figure = MakePlanFigure(plan);
    const CurveTableRow& jd3 = plan.CurveTable()[2];
    PlanViewport view;
    view.frame = {0, 0, 200, 120};
    view.centre = plan.At(jd3.qz).at;
    view.mmPerUnit = 2;  // 1:500
    PlanViewOptions options;
    const Page page = PlanViewPage(plan, figure, view, 200, 120, options);
    int arcPoints = 0;
    for (const PageLine& line : page.lines) {
        if (line.role == PageRole::Highlight || line.role == PageRole::Frame) continue;
        for (const PagePoint& p : line.points) {
            EXPECT_TRUE(view.frame.Grown(1e-9).Contains({p.x, p.y, p.x, p.y}));
        }
        if (line.role != PageRole::PlanArc) continue;
        for (std::size_t i = 1; i < line.points.size(); ++i) {
            ++arcPoints;
            // The chord's middle lies within the tolerance of the circle.
            const PagePoint a = line.points[i - 1], b = line.points[i];
            const PlanPoint mid = view.ToWorld({(a.x + b.x) / 2, (a.y + b.y) / 2});
            const double sag = jd3.radius - std::hypot(mid.north - jd3.centre.north, mid.east - jd3.centre.east);
            EXPECT_LE(sag * view.mmPerUnit, options.chordTolerance + 1e-6);
        }
    }
    EXPECT_GT(arcPoints, 5);
    // The other curves lie outside the view and are not drawn.
    const auto arcs = std::count_if(page.lines.begin(), page.lines.end(), [](const PageLine& l) { return l.role == PageRole::PlanArc; });
    EXPECT_EQ(arcs, 1);
}

}  // namespace
}  // namespace tarnvel
