// The plot as SVG, as `tarnvel-cli profile plot` writes it: the 10,000-PVI
// overview at 1600 × 900 (the size of the file is the "bytes" counter), and
// a small file of absurd curves (2 km long over 400 km of height) that once
// cut each curve into thousands of chords whatever the page.

#include <benchmark/benchmark.h>

#include "core/drawing/drawing_svg.h"
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

void PlotSvg(benchmark::State& state, const Profile& profile) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string svg = DrawingSvg(profile, BuildDrawing(profile), SvgPage{1600, 900, 10});
        bytes = svg.size();
        benchmark::DoNotOptimize(svg.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void OverviewSvgTenThousandPvis(benchmark::State& state) { PlotSvg(state, Zigzag(10'000, 100, 2, 1500)); }
void PlotSvgOfAbsurdCurves(benchmark::State& state) { PlotSvg(state, Zigzag(300, 4000, 400'000, 10)); }

BENCHMARK(OverviewSvgTenThousandPvis)->Unit(benchmark::kMillisecond);
BENCHMARK(PlotSvgOfAbsurdCurves)->Unit(benchmark::kMillisecond);

}  // namespace
