// The plot as SVG, as `tarnvel-cli profile plot` writes it: the 10,000-PVI
// overview at 1600 × 900 (the size of the file is the "bytes" counter), and
// a small file of absurd curves (2 km long over 400 km of height) that once
// cut each curve into thousands of chords whatever the page. With a
// 1,000,000-point ground line weaving about the design, the same overview
// laid out again for a view (a zoom in the window: the zero points are
// solved once beforehand) and written whole (ground read and solved anew).

#include <benchmark/benchmark.h>

#include <cmath>

#include "output/drawing_svg.h"
#include "core/drawing/plot_axes.h"
#include "core/drawing/plot_page.h"
#include "core/drawing/profile_drawing.h"

namespace {

using namespace tarnvel;

// As bench/make_profile.awk: PVIs `spacing` apart, each with a curve.
Profile Zigzag(int n, double spacing, double rise, double radius) {
    ProfileModel model{"bench", LengthUnit::Metre, {}, {}};
    for (int i = 0; i <= n + 1; ++i) {
        const bool end = i == 0 || i == n + 1;
        model.points.push_back({Station{i * spacing, 0}, 100 + (i % 2) * rise + (i % 7) * rise / 20,
                                end ? CurveSpec{} : CurveSpec{CurveKind::ParabolaRadius, radius, 0, 0, 0}});
    }
    return *Profile::Resolve(model);
}

// `n` points over the profile, up to 3 m above and below the design.
GroundLine WeavingGround(const Profile& profile, std::size_t n) {
    GroundModel model{"bench", GroundStations::Internal, {}};
    const double a = profile.StartStation(), b = profile.EndStation();
    for (std::size_t i = 0; i < n; ++i) {
        const double s = i + 1 == n ? b : a + (b - a) * static_cast<double>(i) / static_cast<double>(n - 1);
        model.points.push_back({Station{s, 0}, profile.At(s).elevation + 3 * std::sin(static_cast<double>(i) * 0.001), 0});
    }
    return *GroundLine::Make(model, profile);
}

void PlotSvg(benchmark::State& state, const Profile& profile, const GroundLine* ground = nullptr) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string svg = DrawingSvg(profile, BuildDrawing(profile), SvgPage{1600, 900, 10}, ground);
        bytes = svg.size();
        benchmark::DoNotOptimize(svg.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void OverviewSvgTenThousandPvis(benchmark::State& state) { PlotSvg(state, Zigzag(10'000, 100, 2, 1500)); }
void PlotSvgOfAbsurdCurves(benchmark::State& state) { PlotSvg(state, Zigzag(300, 4000, 400'000, 10)); }

void OverviewSvgWithMillionPointGround(benchmark::State& state) {
    const Profile profile = Zigzag(10'000, 100, 2, 1500);
    const GroundLine ground = WeavingGround(profile, 1'000'000);
    PlotSvg(state, profile, &ground);
}
void PlotPageWithMillionPointGround(benchmark::State& state) {
    const Profile profile = Zigzag(10'000, 100, 2, 1500);
    const GroundLine ground = WeavingGround(profile, 1'000'000);
    const DrawnGround plotGround = MakeDrawnGround(profile, ground);
    const ProfileDrawing drawing = BuildDrawing(profile);
    const DeviceRect device{0, 0, 1600, 900};
    const ViewTransform view = FitPlotView(PlotExtent(drawing, &plotGround), device, 10);
    std::size_t points = 0;
    for (auto _ : state) {
        const Page page = PlotPage(profile, drawing, view, device, kNoPvi, &plotGround);
        points = 0;
        for (const auto& line : page.lines) points += line.points.size();
        for (const auto& area : page.areas) points += area.outline.size();
    }
    state.counters["points"] = static_cast<double>(points);
}

// The page a window paints first for a 100,000-PVI file: the whole road
// fitted to 1400 × 900, where the PVIs lie a fraction of a pixel apart and
// no label can stand apart; beside it, in the same run, a view of 1 % of
// the road, whose labels are all placed.
void PlotPageOfHundredThousandPvis(benchmark::State& state) {
    const Profile profile = Zigzag(100'000, 100, 2, 1500);
    const ProfileDrawing drawing = BuildDrawing(profile);
    const DeviceRect device{0, 0, 1400, 900};
    const ViewTransform fitted = FitPlotView(PlotExtent(drawing, nullptr), device, 10);
    WorldBox part = drawing.extent;
    part.maxStation = part.minStation + (part.maxStation - part.minStation) / 100;
    const ViewTransform zoomed = FitPlotView(part, device, 10);
    const ViewTransform& view = state.range(0) == 0 ? fitted : zoomed;
    std::size_t texts = 0;
    for (auto _ : state) {
        const Page page = PlotPage(profile, drawing, view, device, kNoPvi, nullptr);
        texts = page.texts.size();
    }
    state.counters["texts"] = static_cast<double>(texts);
}

BENCHMARK(PlotPageOfHundredThousandPvis)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(OverviewSvgTenThousandPvis)->Unit(benchmark::kMillisecond);
BENCHMARK(OverviewSvgWithMillionPointGround)->Unit(benchmark::kMillisecond);
BENCHMARK(PlotPageWithMillionPointGround)->Unit(benchmark::kMillisecond);
BENCHMARK(PlotSvgOfAbsurdCurves)->Unit(benchmark::kMillisecond);

}  // namespace
