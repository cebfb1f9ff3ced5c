// The drawing of a profile checked against the profile's own numbers: the
// design line against At() (on the drawing and on its page), the tangents
// against the PVIs, the texts against the labels a surveyor reads on the
// drawings.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "output/drawing_svg.h"
#include "core/drawing/plot_page.h"
#include "core/drawing/profile_drawing.h"
#include "core/drawing/view_transform.h"
#include "tests/profile_builders.h"
#include "core/text/messages.h"

namespace tarnvel {
namespace {

using test::Arc;
using test::ByRadius;
using test::Point;
using test::Unsym;

struct DrawingCase {
    const char* name;
    ProfileModel model;
    std::vector<std::string> pviStations;    // first line of each PVI label
    std::vector<std::string> gradeTexts;     // percent of each grade, start to end
    std::vector<std::string> chainTexts;     // "back=ahead description" of each break
    std::vector<std::string> curveLines;     // lines some PVI label must hold
    std::vector<std::string> extremeLines;   // the high and low points' labels, line by line, in order
};

void PrintTo(const DrawingCase& c, std::ostream* os) { *os << c.name; }

std::vector<DrawingCase> Cases() {
    return {
        {"crest_and_sag",
         {"A", LengthUnit::Metre,
          {Point(0, 100), Point(300, 106, ByRadius(5000)), Point(700, 102, Arc(8000)), Point(1000, 105)}, {}},
         {"K0+300.000", "K0+700.000"},
         {"2.000%", "-1.000%", "1.000%"},
         {},
         {"H=106.000", "R=5000", "T=75.000", "R=8000"},
         // The sag is a symmetric circle: its low point is under the PVI, E below it.
         {"最高点 K0+325.000", "H=105.500", "最低点 K0+700.000", "H=102.400"}},
        {"unsymmetric_and_plain_break",
         {"B", LengthUnit::Metre,
          {Point(1000, 50), Point(1200, 54, Unsym(60, 120)), Point(1500, 48), Point(1800, 51.6)}, {}},
         {"K1+200.000", "K1+500.000"},
         {"2.000%", "-2.000%", "1.200%"},
         {},
         {"L=180.000", "T1=60.000", "T2=120.000"},
         // Level where the first parabola's grade, 2 % falling to 2/3 % down, crosses zero.
         {"最高点 K1+185.000", "H=53.250"}},
        // Labels behind the long chain occur twice; the PVI beyond it is the
        // second K0+480, and its curve spans the break.
        {"long_chain",
         {"C", LengthUnit::Metre,
          {Point(0, 10), Point(300, 16, ByRadius(4000)), {Station{480, 2}, 13.7, ByRadius(6000)}, Point(900, 20)},
          {{500, 450}}},
         {"K0+300.000", "K0+480.000(2)"},
         {"2.000%", "-1.000%", "1.500%"},
         {"K0+500.000=K0+450.000 长链 50.000 m"},
         {"R=4000", "T=60.000", "R=6000", "T=75.000"},
         // The low point lies beyond the break, on the second K0+465.
         {"最高点 K0+320.000", "H=15.600", "最低点 K0+465.000(2)", "H=14.150"}},
        {"short_chain_in_feet",
         {"D", LengthUnit::Foot,
          {Point(0, 10), Point(400, 18, ByRadius(3000)), Point(900, 12.24), Point(1300, 16.24)},
          {{600, 620}}},
         {"K0+400.000", "K0+900.000"},
         {"2.000%", "-1.200%", "1.000%"},
         {"K0+600.000=K0+620.000 短链 20.000 ft"},
         {"R=3000", "T=48.000"},
         {"最高点 K0+412.000", "H=17.640"}},
    };
}

class ProfileDrawingTest : public ::testing::TestWithParam<DrawingCase> {
protected:
    void SetUp() override {
        std::vector<ProfileProblem> problems;
        auto resolved = Profile::Resolve(GetParam().model, &problems);
        ASSERT_TRUE(resolved) << (problems.empty() ? "" : DescribeProfileProblem(problems.front()));
        profile_ = std::move(resolved);
        drawing_ = BuildDrawing(*profile_);
    }
    std::optional<Profile> profile_;
    ProfileDrawing drawing_;
};

// The drawing holds the design line's vertices, all on the profile; the page
// samples the curves afresh for the view, and there the line must follow the
// profile to within a pixel everywhere, chord middles included.
TEST_P(ProfileDrawingTest, design_line_runs_on_the_profile_and_its_page_follows_it_within_a_pixel) {
    const double start = profile_->StartStation(), end = profile_->EndStation();
    // One unbroken line: each piece starts where the one before it ended.
    double reached = start;
    for (const auto& line : drawing_.lines) {
        if (line.role != LineRole::Design) continue;
        EXPECT_DOUBLE_EQ(line.points.front().station, reached);
        reached = line.points.back().station;
        for (const auto& p : line.points)
            EXPECT_NEAR(p.elevation, profile_->At(p.station).elevation, 1e-9) << "at internal station " << p.station;
    }
    EXPECT_DOUBLE_EQ(reached, end);

    const DeviceRect device{0, 0, 1600, 900};
    const ViewTransform view = FitPlotView(drawing_.extent, device, 10);
    const Page page = PlotPage(*profile_, drawing_, view, device);
    const double pixelsPerUnit = view.Scale() * view.Exaggeration();
    std::size_t checked = 0;
    for (const auto& line : page.lines) {
        if (line.role != PageRole::DesignLine) continue;
        for (std::size_t i = 0; i < line.points.size(); ++i) {
            const PagePoint a = line.points[i];
            const PagePoint b = line.points[i + 1 < line.points.size() ? i + 1 : i];
            for (const double t : {0.0, 0.25, 0.5, 0.75}) {
                const PagePoint p{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
                const WorldPoint w = view.ToWorld({p.x / kPlotMmPerPixel, p.y / kPlotMmPerPixel});
                if (w.station < start || w.station > end) continue;
                EXPECT_NEAR(w.elevation, profile_->At(w.station).elevation, 1 / pixelsPerUnit)
                    << "at internal station " << w.station;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 50u);
}

TEST_P(ProfileDrawingTest, tangents_run_through_each_pvi_at_its_grades) {
    for (const auto& e : profile_->Elements()) {
        if (!(e.length > 0)) continue;
        const DrawingPolyline* tangent = nullptr;
        for (const auto& line : drawing_.lines)
            if (line.role == LineRole::Tangent && line.points.size() == 3 &&
                line.points[1].station == e.pviStation)
                tangent = &line;
        ASSERT_NE(tangent, nullptr) << "no tangent through the PVI at " << e.pviStation;
        const auto& p = tangent->points;
        EXPECT_DOUBLE_EQ(p[1].elevation, e.pviElevation);
        EXPECT_NEAR((p[1].elevation - p[0].elevation) / (p[1].station - p[0].station) * 100, e.gradeIn, 1e-9);
        EXPECT_NEAR((p[2].elevation - p[1].elevation) / (p[2].station - p[1].station) * 100, e.gradeOut, 1e-9);
        EXPECT_DOUBLE_EQ(p[0].station, e.startStation);
        EXPECT_DOUBLE_EQ(p[2].station, e.endStation);
    }
}

TEST_P(ProfileDrawingTest, labels_carry_the_stations_grades_and_breaks_as_written) {
    std::vector<std::vector<std::string>> pviLabels;
    std::vector<std::string> pvis, grades, chains, extremes;
    for (std::size_t slot = 0; slot < LabelSlots(*profile_, LabelRole::Extreme); ++slot)
        if (const auto label = LabelAt(*profile_, LabelRole::Extreme, slot))
            for (const auto& line : LabelLines(*profile_, *label)) extremes.push_back(line);
    EXPECT_EQ(extremes, GetParam().extremeLines);
    for (const LabelRole role : {LabelRole::Pvi, LabelRole::Grade}) {
        for (std::size_t slot = 0; slot < LabelSlots(*profile_, role); ++slot) {
            const auto label = LabelAt(*profile_, role, slot);
            ASSERT_TRUE(label.has_value());
            const auto lines = LabelLines(*profile_, *label);
            if (role == LabelRole::Pvi) pviLabels.push_back(lines);
            (role == LabelRole::Pvi ? pvis : grades).push_back(lines.at(0));
        }
    }
    for (const auto& c : drawing_.chainMarks) chains.push_back(c.back + "=" + c.ahead + " " + c.description);
    EXPECT_EQ(pvis, GetParam().pviStations);
    EXPECT_EQ(grades, GetParam().gradeTexts);
    EXPECT_EQ(chains, GetParam().chainTexts);
    for (const auto& wanted : GetParam().curveLines) {
        bool found = false;
        for (const auto& lines : pviLabels)
            found = found || std::find(lines.begin(), lines.end(), wanted) != lines.end();
        EXPECT_TRUE(found) << wanted;
    }
    // Every primitive with a PVI names one that exists.
    const int pviCount = static_cast<int>(profile_->Elements().size());
    for (const auto& m : drawing_.markers) EXPECT_TRUE(m.pvi >= 0 && m.pvi < pviCount);
}

TEST_P(ProfileDrawingTest, svg_is_well_formed_with_one_marker_per_pvi) {
    const std::string svg = DrawingSvg(*profile_, drawing_, SvgPage{1600, 900, 10});
    pugi::xml_document document;
    const auto parsed = document.load_string(svg.c_str());
    ASSERT_TRUE(parsed) << parsed.description();
    // A PVI's mark is an octagon among the curve marks (the high and low points are triangles).
    std::size_t pviMarks = 0;
    for (const auto& node : document.select_nodes("//polygon[@class='curve']")) {
        const std::string points = node.node().attribute("points").value();
        pviMarks += std::count(points.begin(), points.end(), ',') == 8;
    }
    EXPECT_EQ(pviMarks, profile_->Elements().size());
    // Each text places itself: renderers of SVG Tiny (Qt's among them) ignore positioned tspans.
    EXPECT_EQ(document.select_nodes("//text[not(@x) or not(@y)]").size(), 0u);
    EXPECT_EQ(document.select_nodes("//tspan").size(), 0u);
    // The first PVI's station is written somewhere as text (its label or a tick).
    EXPECT_NE(svg.find(GetParam().pviStations.front()), std::string::npos);
    for (const auto& c : drawing_.chainMarks) EXPECT_NE(svg.find(c.back + "=" + c.ahead), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Profiles, ProfileDrawingTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StationTicks, follow_the_labels_through_both_kinds_of_break) {
    struct Row {
        const char* name;
        std::vector<ChainBreak> chains;
        std::vector<std::string> expected;
    };
    const std::vector<Row> rows = {
        {"none", {}, {"K0+000", "K0+100", "K0+200", "K0+300", "K0+400", "K0+500", "K0+600", "K0+700", "K0+800",
                      "K0+900", "K1+000"}},
        // K0+450 to K0+500 occur twice: the second K0+500 says so.
        {"long", {{500, 450}}, {"K0+000", "K0+100", "K0+200", "K0+300", "K0+400", "K0+500(2)", "K0+600", "K0+700",
                               "K0+800", "K0+900"}},
        // K0+600 to K0+700 do not exist: no tick between them.
        {"short", {{600, 700}}, {"K0+000", "K0+100", "K0+200", "K0+300", "K0+400", "K0+500", "K0+700", "K0+800",
                                "K0+900", "K1+000", "K1+100"}},
    };
    for (const auto& row : rows) {
        const Chainage chains = *Chainage::Make(row.chains);
        const ProfileModel model{"", LengthUnit::Metre, {{chains.ToLabel(0), 0, {}}, {chains.ToLabel(1000), 10, {}}},
                                 row.chains};
        const auto profile = Profile::Resolve(model);
        ASSERT_TRUE(profile) << row.name;
        std::vector<std::string> texts;
        for (const auto& t : StationTicks(*profile, 0, 1000, 100)) {
            texts.push_back(t.text);
            // The tick stands where the road carries the label it shows.
            EXPECT_EQ(FormatStation(profile->LabelOf(t.position), StationStyle::K, 0), t.text) << row.name;
        }
        EXPECT_EQ(texts, row.expected) << row.name;
    }
}

TEST(ElevationTicks, are_whole_steps_and_end_even_where_a_double_cannot_count_them) {
    struct Row {
        const char* name;
        double from, to, step;
        std::vector<std::string> expected;
    };
    const std::vector<Row> rows = {
        {"plain", -1, 4.5, 2, {"0", "2", "4"}},
        {"decimals", 99.95, 100.25, 0.1, {"100.0", "100.1", "100.2"}},
        // Deep in a view of a high road: k × step no longer moves when k grows by one.
        {"tiny_step_at_large_value", 994999.99999465991, 994999.99999466108, 5e-11, {}},
    };
    for (const auto& row : rows) {
        std::vector<std::string> texts;
        for (const auto& t : ElevationTicks(row.from, row.to, row.step)) texts.push_back(t.text);
        EXPECT_EQ(texts, row.expected) << row.name;
    }
}

TEST(ViewTransform, maps_both_ways_and_zooms_about_the_fixed_point) {
    const WorldBox box{1000, 3000, 40, 60};
    const DeviceRect rect{50, 20, 800, 400};
    for (double exaggeration : {1.0, 10.0, 250.0}) {
        ViewTransform t = ViewTransform::Fit(box, rect, exaggeration);
        // The box lies inside the rectangle and touches it on one pair of sides.
        const DevicePoint lo = t.ToDevice({box.minStation, box.minElevation});
        const DevicePoint hi = t.ToDevice({box.maxStation, box.maxElevation});
        EXPECT_GE(lo.x, rect.left - 1e-9);
        EXPECT_LE(hi.x, rect.left + rect.width + 1e-9);
        EXPECT_GE(hi.y, rect.top - 1e-9);
        EXPECT_LE(lo.y, rect.top + rect.height + 1e-9);
        EXPECT_TRUE(std::fabs(hi.x - lo.x - rect.width) < 1e-6 || std::fabs(lo.y - hi.y - rect.height) < 1e-6);
        EXPECT_NEAR((lo.y - hi.y) / (hi.x - lo.x), (box.maxElevation - box.minElevation) / 2000 * exaggeration, 1e-9);

        const DevicePoint fixed{300, 170};
        const WorldPoint before = t.ToWorld(fixed);
        t.ZoomAbout(fixed, 3.5);
        const DevicePoint after = t.ToDevice(before);
        EXPECT_NEAR(after.x, fixed.x, 1e-6);
        EXPECT_NEAR(after.y, fixed.y, 1e-6);
    }
}

}  // namespace
}  // namespace tarnvel
