// Repainting the profile plot of a long road: a 1,000-PVI profile in a
// 1600×900 widget, offscreen. "Same view" is a repaint after an expose or a
// selection change (the laid-out scene is reused); "panned" moves the view a
// few pixels before each repaint, as dragging does, so the scene is laid out
// again every time.

#include <memory>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include "bench/ui/bench_profiles.h"
#include "bench/ui/bench_services.h"

#include "core/drawing/sheet.h"
#include "output/pages_pdf.h"
#include "ui/profile/plot/plot_export.h"
#include "ui/profile/plot/plot_widget.h"

namespace {

using namespace tarnvel;

using bench::LongProfile;

void Repaint(benchmark::State& state, bool pan) {
    ui::PlotWidget plot;
    plot.resize(1600, 900);
    plot.show();
    if (!QTest::qWaitForWindowExposed(&plot)) state.SkipWithError("the plot was never shown");
    plot.setProfile(std::make_shared<const Profile>(LongProfile(static_cast<int>(state.range(0)))));
    plot.fitAll();
    plot.setSelectedPvi(500);
    plot.repaint();
    double dx = 1;
    for (auto _ : state) {
        if (pan) {
            ViewTransform t = plot.viewTransform();
            t.PanBy(dx, 0);
            dx = -dx;
            plot.setViewTransform(t);
        }
        plot.repaint();
    }
    state.counters["primitives"] = static_cast<double>(plot.drawing().lines.size() + plot.drawing().markers.size());
}

void RepaintSameView(benchmark::State& state) { Repaint(state, false); }
void RepaintPanned(benchmark::State& state) { Repaint(state, true); }
void RepaintZoomedIn(benchmark::State& state) {
    ui::PlotWidget plot;
    plot.resize(1600, 900);
    plot.show();
    if (!QTest::qWaitForWindowExposed(&plot)) state.SkipWithError("the plot was never shown");
    plot.setProfile(std::make_shared<const Profile>(LongProfile(static_cast<int>(state.range(0)))));
    ViewTransform t = plot.viewTransform();
    t.ZoomAbout({800, 450}, 40);
    plot.setViewTransform(t);
    double dx = 1;
    for (auto _ : state) {
        ViewTransform p = plot.viewTransform();
        p.PanBy(dx, 0);
        dx = -dx;
        plot.setViewTransform(p);
        plot.repaint();
    }
}
// A new profile after an edit: the drawing built, the view kept, the scene
// laid out and painted.
void SetProfileAndRepaint(benchmark::State& state) {
    // Two snapshots of one profile, as two edits give: the plot takes each as new.
    const auto a = std::make_shared<const Profile>(LongProfile(static_cast<int>(state.range(0))));
    const auto b = std::make_shared<const Profile>(*a);
    ui::PlotWidget plot;
    plot.resize(1600, 900);
    plot.show();
    if (!QTest::qWaitForWindowExposed(&plot)) state.SkipWithError("the plot was never shown");
    plot.setProfile(a);
    bool odd = false;
    for (auto _ : state) {
        plot.setProfile((odd = !odd) ? b : a);
        plot.repaint();
    }
}
// Building the drawing itself, as after an edit of the PVI table.
void BuildTheDrawing(benchmark::State& state) {
    const Profile profile = LongProfile(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(BuildDrawing(profile));
}

BENCHMARK(RepaintSameView)->Arg(1'000)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintPanned)->Arg(1'000)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintZoomedIn)->Arg(1'000)->Unit(benchmark::kMillisecond);
// The PDF sheets of a road: every sheet at 1:2000 on A3.
void WriteSheet(benchmark::State& state) {
    const Profile profile = LongProfile(static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("sheet.pdf")).toStdString();
    for (auto _ : state) {
        const SheetSet sheets = BuildSheets(profile, {});
        if (sheets.problem || output::WritePagesPdf(path, sheets.pages, "纵断面图"))
            state.SkipWithError("the sheets were not written");
    }
}

// 33 PVIs 300 m apart: a 10 km road.
BENCHMARK(WriteSheet)->Arg(33)->Unit(benchmark::kMillisecond);
BENCHMARK(SetProfileAndRepaint)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildTheDrawing)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return tarnvel::bench::RunQtBenchmarks(argc, argv); }
