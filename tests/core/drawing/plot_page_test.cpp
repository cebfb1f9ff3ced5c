// The laid-out plot checked for what a reader relies on, over profiles that
// crowd it: no text covers another text or a drawn line, 起点 and 终点 are
// always there while in view, everything lies on the page, and the page holds
// no more than its resolution can show.

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/drawing/drawing_svg.h"
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
};

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
        view_ = FitPlotView(drawing_.extent, device_, c.exaggeration);
        const DeviceRect frame = PlotFrame(device_);
        view_.ZoomAbout({frame.left + frame.width / 2, frame.top + frame.height / 2}, c.zoom);
        page_ = PlotPage(*profile_, drawing_, view_, device_, 1);
    }
    std::optional<Profile> profile_;
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
    // A few points per pixel column of the design line and the tangents,
    // however many PVIs and chords the profile has.
    EXPECT_LT(points, 12 * static_cast<std::size_t>(GetParam().width) + 200);
    const std::string svg = DrawingSvg(*profile_, drawing_,
                                       SvgPage{static_cast<int>(GetParam().width), static_cast<int>(GetParam().height),
                                               GetParam().exaggeration});
    EXPECT_LT(svg.size(), GetParam().maxSvgBytes);
}

INSTANTIATE_TEST_SUITE_P(Profiles, PlotPageTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarnvel
