// The laid-out plot checked for what a reader relies on, over profiles that
// crowd it: no text covers another text or a drawn line, 起点 and 终点 are
// always there while in view, everything lies on the page, and the page holds
// no more than its resolution can show — with and without a ground line.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "output/drawing_svg.h"
#include "core/drawing/plot_axes.h"
#include "core/drawing/plot_page.h"
#include "tests/profile_builders.h"

namespace tarnvel {
namespace {

using test::ByRadius;
using test::Point;

// n PVIs `spacing` apart rising and falling by `rise`, each with a curve of `radius`.
ProfileModel Zigzag(int n, double spacing, double rise, double radius, std::vector<ChainBreak> chains = {}) {
    ProfileModel model{"z", LengthUnit::Metre, {}, std::move(chains)};
    for (int i = 0; i <= n + 1; ++i) {
        const bool end = i == 0 || i == n + 1;
        model.points.push_back(Point(i * spacing, 100 + (i % 2) * rise + (i % 7) * rise / 20,
                                     end ? CurveSpec{} : ByRadius(radius)));
    }
    return model;
}

// Short and long chains a few metres apart: their labels and the station
// ticks beside them (K0+600 and K0+600(2)) compete for the same place.
ProfileModel CrowdedChains() {
    ProfileModel model = Zigzag(6, 400, 8, 6000, {{600, 450}, {640, 660}, {1200, 1150}, {1210, 1300}});
    const Chainage chains = *Chainage::Make(model.chains);
    for (auto& p : model.points) p.station = chains.ToLabel(p.station.value);
    return model;
}

struct LayoutCase {
    const char* name;
    ProfileModel model;
    double width, height;   // pixels
    double exaggeration;
    double zoom = 1;        // about the middle of the frame, after fitting
    std::size_t maxSvgBytes = 300'000;
    // A ground line of this many points weaving about the design line, so
    // that the two cross again and again; none when 0.
    std::size_t groundPoints = 0;
};

// `n` ground points over the profile, `swing` above and below the design.
GroundLine WeavingGround(const Profile& profile, std::size_t n, double swing) {
    GroundModel model{"g", GroundStations::Internal, {}};
    model.points.reserve(n);
    const double a = profile.StartStation(), b = profile.EndStation();
    for (std::size_t i = 0; i < n; ++i) {
        const double s = i + 1 == n ? b : a + (b - a) * static_cast<double>(i) / static_cast<double>(n - 1);
        const double weave = std::sin(static_cast<double>(i) * 0.7) + 0.3 * std::sin(static_cast<double>(i) * 0.013);
        model.points.push_back({Station{s, 0}, profile.At(s).elevation + swing * weave, 0});
    }
    std::vector<GroundProblem> problems;
    auto line = GroundLine::Make(model, profile, &problems);
    EXPECT_TRUE(line) << problems.size();
    return std::move(*line);
}

std::vector<LayoutCase> Cases() {
    return {
        {"crest_and_sag_at_25", {"a", LengthUnit::Metre,
                                 {Point(0, 100), Point(300, 106, ByRadius(3000)), Point(700, 98, ByRadius(2000)),
                                  Point(1000, 105, ByRadius(4000)), Point(1300, 101)}, {}},
         1000, 500, 25},
        {"crowded_chains", CrowdedChains(), 1000, 500, 10},
        {"tiny_road_small_window", {"t", LengthUnit::Metre, {Point(0, 10), Point(0.4, 10.002, ByRadius(50)), Point(1, 10)}, {}},
         320, 200, 10},
        // Smaller than the room the axes take: the frame shrinks to stay on the page.
        {"smallest_page", {"s", LengthUnit::Metre, {Point(0, 10), Point(300, 16, ByRadius(2000)), Point(600, 10)}, {}},
         16, 16, 10},
        {"level_road", {"l", LengthUnit::Metre, {Point(0, 50), Point(500, 50)}, {}}, 800, 400, 10},
        // A 7 KB file: curves 2 km long over 400 km of height.
        {"absurd_heights", Zigzag(300, 4000, 400'000, 10), 1600, 900, 10},
        {"ten_thousand_pvis", Zigzag(10'000, 100, 2, 1500), 1600, 900, 10},
        {"ten_thousand_pvis_zoomed", Zigzag(10'000, 100, 2, 1500), 1600, 900, 10, 400},
        {"thousand_pvis_at_1000", Zigzag(1000, 300, 6, 3000), 1600, 900, 1000},
        {"ground_crossing_often", CrowdedChains(), 1000, 500, 10, 1, 300'000, 400},
        {"ground_in_small_window", Zigzag(8, 200, 6, 3000), 240, 160, 10, 1, 300'000, 60},
        // A million surveyed points: the page keeps what its pixels show.
        {"million_point_ground", Zigzag(1000, 300, 6, 3000), 1600, 900, 20, 1, 600'000, 1'000'000},
        {"dense_ground_zoomed", Zigzag(1000, 300, 6, 3000), 1600, 900, 20, 300, 600'000, 100'000},
    };
}

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class PlotPageTest : public ::testing::TestWithParam<LayoutCase> {
protected:
    void SetUp() override {
        const auto& c = GetParam();
        profile_.emplace(test::Resolved(c.model));
        drawing_ = BuildDrawing(*profile_);
        device_ = {0, 0, c.width, c.height};
        if (c.groundPoints > 0) {
            ground_.emplace(WeavingGround(*profile_, c.groundPoints, 3));
            plotGround_ = MakeDrawnGround(*profile_, *ground_);
        }
        const DrawnGround* ground = ground_ ? &plotGround_ : nullptr;
        view_ = FitPlotView(PlotExtent(drawing_, ground), device_, c.exaggeration);
        const DeviceRect frame = PlotFrame(device_);
        view_.ZoomAbout({frame.left + frame.width / 2, frame.top + frame.height / 2}, c.zoom);
        page_ = PlotPage(*profile_, drawing_, view_, device_, 1, ground);
    }
    std::optional<Profile> profile_;
    std::optional<GroundLine> ground_;
    DrawnGround plotGround_;
    ProfileDrawing drawing_;
    DeviceRect device_;
    ViewTransform view_;
    Page page_;
};

bool Finite(PagePoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }

TEST_P(PlotPageTest, everything_is_finite_and_on_the_page) {
    const PageBox whole{0, 0, page_.width, page_.height};
    const PageBox slack = whole.Grown(1e-9);
    for (const auto& line : page_.lines)
        for (const auto& p : line.points) {
            ASSERT_TRUE(Finite(p));
            EXPECT_TRUE(slack.Contains({p.x, p.y, p.x, p.y})) << p.x << "," << p.y;
        }
    for (const auto& t : page_.texts) {
        ASSERT_TRUE(Finite(t.anchor)) << t.text;
        EXPECT_TRUE(slack.Contains(TextBounds(t))) << t.text;
    }
}

TEST_P(PlotPageTest, no_text_touches_another_text_or_a_drawn_line) {
    std::vector<PageBox> boxes;
    for (const auto& t : page_.texts) boxes.push_back(TextBounds(t));
    for (std::size_t i = 0; i < boxes.size(); ++i)
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
            EXPECT_FALSE(boxes[i].Grown(0.1).Overlaps(boxes[j].Grown(0.1)))
                << page_.texts[i].text << " | " << page_.texts[j].text;
    for (const auto& line : page_.lines) {
        // The grid lies under the text; the frame and the highlight of the
        // selected curve trace what is already kept clear.
        if (line.role == PageRole::Grid || line.role == PageRole::Frame || line.role == PageRole::Highlight) continue;
        const auto& p = line.points;
        for (std::size_t s = 0; s + 1 < p.size() + (line.closed ? 1 : 0); ++s)
            for (std::size_t i = 0; i < boxes.size(); ++i)
                EXPECT_FALSE(SegmentMeetsBox(p[s], p[(s + 1) % p.size()], boxes[i]))
                    << page_.texts[i].text << " crossed by a line of role " << static_cast<int>(line.role);
    }
}

TEST_P(PlotPageTest, start_and_end_are_labelled_while_in_view) {
    const PageBox frame = PlotFrameOnPage(device_);
    for (const auto& [word, station, elevation] :
         {std::tuple{"起点", profile_->StartStation(), profile_->Model().points.front().elevation},
          std::tuple{"终点", profile_->EndStation(), profile_->Model().points.back().elevation}}) {
        const DevicePoint d = view_.ToDevice({station, elevation});
        const PagePoint p{d.x * kPlotMmPerPixel, d.y * kPlotMmPerPixel};
        const bool inView = frame.Contains({p.x, p.y, p.x, p.y});
        bool found = false;
        for (const auto& t : page_.texts) found = found || t.text.rfind(word, 0) == 0;
        // The smallest window the plot has (240 × 160) holds them; a smaller page may not.
        if (GetParam().width >= 240 && GetParam().height >= 160) EXPECT_EQ(found, inView) << word;
        else EXPECT_TRUE(!found || inView) << word;
    }
}

TEST_P(PlotPageTest, the_page_holds_what_its_resolution_can_show) {
    std::size_t points = 0;
    for (const auto& line : page_.lines) points += line.points.size();
    std::size_t areaPoints = 0;
    for (const auto& area : page_.areas) areaPoints += area.outline.size();
    // A few points per pixel column of the design line, the tangents and the
    // ground, however many PVIs, chords and surveyed points there are.
    const auto width = static_cast<std::size_t>(GetParam().width);
    EXPECT_LT(points, (ground_ ? 18 : 12) * width + 200);
    EXPECT_LT(areaPoints, 12 * width + 200);
    const std::string svg = DrawingSvg(*profile_, drawing_,
                                       SvgPage{static_cast<int>(GetParam().width), static_cast<int>(GetParam().height),
                                               GetParam().exaggeration},
                                       ground_ ? &*ground_ : nullptr);
    EXPECT_LT(svg.size(), GetParam().maxSvgBytes);
}

// A view panned along a road of PVIs far apart: every PVI well inside the
// frame has its label, whichever PVI the view's edges lie nearest (only the
// labels of the PVIs in view are looked at).
TEST(PlotPageLabels, every_pvi_well_inside_the_view_is_labelled_wherever_it_is_panned) {
    const Profile profile = test::Resolved(Zigzag(30, 400, 4, 3000));
    const ProfileDrawing drawing = BuildDrawing(profile);
    const DeviceRect device{0, 0, 1600, 900};
    const DeviceRect frame = PlotFrame(device);
    ViewTransform view = FitPlotView(PlotExtent(drawing, nullptr), device, 10);
    view.ZoomAbout({frame.left, frame.top + frame.height / 2}, 3);
    std::size_t checked = 0;
    for (int step = 0; step < 40; ++step, view.PanBy(-97, 0)) {
        const Page page = PlotPage(profile, drawing, view, device, kNoPvi, nullptr);
        for (std::size_t slot = 0; slot < LabelSlots(profile, LabelRole::Pvi); ++slot) {
            const auto label = LabelAt(profile, LabelRole::Pvi, slot);
            const DevicePoint at = view.ToDevice(label->anchor);
            if (at.x < frame.left + 60 || at.x > frame.left + frame.width - 60) continue;
            const std::string station = LabelLines(profile, *label).front();
            const bool shown = std::any_of(page.texts.begin(), page.texts.end(),
                                           [&](const PageText& t) { return t.text == station; });
            EXPECT_TRUE(shown) << "step " << step << ", PVI " << slot << " " << station;
            ++checked;
        }
    }
    EXPECT_GT(checked, 200u);
}

// A crest under a ground that lies above it at both ends: cut, then fill,
// then cut again, with the crossings solved at 120 and 480.
TEST(PlotPageGround, shades_each_side_of_the_zero_points_and_keeps_the_legend_off_the_lines) {
    const Profile profile = test::Resolved(
        {"crest", LengthUnit::Metre, {Point(0, 100), Point(300, 106, ByRadius(3000)), Point(600, 100)}, {}});
    GroundModel model{"g", GroundStations::Labels, {{Station{0, 0}, 102, 2}, {Station{300, 0}, 103, 3}, {Station{600, 0}, 102, 4}}};
    const auto ground = GroundLine::Make(model, profile);
    ASSERT_TRUE(ground);
    const DrawnGround plotGround = MakeDrawnGround(profile, *ground);
    ASSERT_EQ(plotGround.zeroPoints.size(), 2u);
    const ProfileDrawing drawing = BuildDrawing(profile);
    const DeviceRect device{0, 0, 1000, 500};
    const ViewTransform view = FitPlotView(PlotExtent(drawing, &plotGround), device, 20);
    const Page page = PlotPage(profile, drawing, view, device, kNoPvi, &plotGround);
    const PageBox frame = PlotFrameOnPage(device).Grown(1e-9);
    auto at = [&](double s, double z) {
        const DevicePoint d = view.ToDevice({s, z});
        return PagePoint{d.x * kPlotMmPerPixel, d.y * kPlotMmPerPixel};
    };
    auto inside = [](const PageBox& box, PagePoint p) { return box.Contains({p.x, p.y, p.x, p.y}); };

    // The legend: its light border holds the four words, and no line of the
    // plot passes through it.
    std::optional<PageBox> legend;
    for (const auto& line : page.lines)
        if (line.role == PageRole::Grid && line.closed)
            legend = PageBox{line.points[0].x, line.points[0].y, line.points[2].x, line.points[2].y};
    ASSERT_TRUE(legend);
    EXPECT_TRUE(PlotFrameOnPage(device).Contains(*legend));
    for (const char* word : {"设计线", "地面线", "填方", "挖方"}) {
        const auto text = std::find_if(page.texts.begin(), page.texts.end(), [&](const PageText& t) { return t.text == word; });
        ASSERT_NE(text, page.texts.end()) << word;
        EXPECT_TRUE(legend->Grown(1e-9).Contains(TextBounds(*text))) << word;
    }
    auto inLegend = [&](const std::vector<PagePoint>& points) {
        return std::all_of(points.begin(), points.end(), [&](PagePoint p) { return inside(legend->Grown(1e-9), p); });
    };
    std::size_t groundRuns = 0, marks = 0;
    for (const auto& line : page.lines) {
        if (line.role == PageRole::Grid || line.role == PageRole::Frame || inLegend(line.points)) continue;
        for (std::size_t i = 0; i + 1 < line.points.size() + (line.closed ? 1 : 0); ++i)
            EXPECT_FALSE(SegmentMeetsBox(line.points[i], line.points[(i + 1) % line.points.size()], *legend))
                << "role " << static_cast<int>(line.role);
        if (line.role != PageRole::GroundLine) continue;
        for (const auto& p : line.points) EXPECT_TRUE(inside(frame, p)) << p.x << "," << p.y;
        if (!line.closed) {
            ++groundRuns;
            continue;
        }
        // A zero mark: a diamond about the design line where it meets the ground.
        const PagePoint centre{(line.points[1].x + line.points[3].x) / 2, (line.points[0].y + line.points[2].y) / 2};
        const double zero = plotGround.zeroPoints[marks++ == 0 ? 0 : 1];
        const PagePoint expected = at(zero, profile.At(zero).elevation);
        EXPECT_NEAR(centre.x, expected.x, 1e-9);
        EXPECT_NEAR(centre.y, expected.y, 1e-9);
    }
    EXPECT_GE(groundRuns, 1u);
    EXPECT_EQ(marks, 2u);

    // Fill between the two zero points, cut outside them; the legend's own
    // swatches aside.
    const double x0 = at(plotGround.zeroPoints[0], 0).x, x1 = at(plotGround.zeroPoints[1], 0).x;
    std::size_t fills = 0, cuts = 0;
    for (const auto& area : page.areas) {
        if (inLegend(area.outline)) continue;
        double left = INFINITY, right = -INFINITY;
        for (const auto& p : area.outline) {
            EXPECT_TRUE(inside(frame, p));
            left = std::min(left, p.x);
            right = std::max(right, p.x);
        }
        if (area.role == PageRole::Fill) {
            ++fills;
            EXPECT_GE(left, x0 - 1e-9);
            EXPECT_LE(right, x1 + 1e-9);
        } else {
            ASSERT_EQ(area.role, PageRole::Cut);
            ++cuts;
            EXPECT_TRUE(right <= x0 + 1e-9 || left >= x1 - 1e-9) << left << " " << right;
        }
    }
    EXPECT_EQ(fills, 1u);
    EXPECT_EQ(cuts, 2u);

    // The ground changes nothing of the design line.
    const Page bare = PlotPage(profile, drawing, view, device);
    auto designOf = [](const Page& p) {
        std::vector<std::vector<PagePoint>> lines;
        for (const auto& line : p.lines)
            if (line.role == PageRole::DesignLine && line.points.size() > 2) lines.push_back(line.points);
        return lines;
    };
    EXPECT_EQ(designOf(page), designOf(bare));
    EXPECT_TRUE(bare.areas.empty());
}

INSTANTIATE_TEST_SUITE_P(Profiles, PlotPageTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarnvel
