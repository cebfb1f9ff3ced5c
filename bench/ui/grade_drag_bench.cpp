// Designing the grade line on a long road: a PVI of a 1,000-PVI profile
// dragged over a 100,000-point ground line in a 1600×900 plot, offscreen,
// with the 填挖 summary pane following every draft as in the window. Each
// iteration is one frame: a mouse move (the draft resolved, drawn, its fill
// and cut and summary made) and the repaint. Beside it the repaint of the
// same plot without editing, its view moved a pixel each time as panning
// does (the scene laid out again every frame), and the same view repainted.
// The argument is the zoom about the PVI from the whole road (300 km across
// the plot): 10 shows about 30 km, 100 about 3 km, as a designer works. The
// whole road (1) is shown for the repaints only: its PVIs lie a pixel apart,
// too close to pick one.

#include <cmath>
#include <memory>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <benchmark/benchmark.h>

#include "bench/ui/bench_profiles.h"
#include "bench/ui/bench_services.h"
#include "core/profile/ground_line.h"
#include "ui/profile/fill_cut_panel.h"
#include "ui/profile/plot/plot_widget.h"

namespace {

using namespace tarnvel;

constexpr int kPvis = 1'000, kGroundPoints = 100'000;
constexpr int kDragged = 500;  // the element dragged, mid-road

struct Road {
    std::shared_ptr<const Profile> profile;
    std::shared_ptr<const GroundLine> ground;
};

// The ground wanders a few metres about the design, so that fill and cut
// alternate and there are thousands of zero points to find.
const Road& TheRoad() {
    static const Road road = [] {
        auto profile = std::make_shared<const Profile>(bench::LongProfile(kPvis));
        GroundModel model;
        const double step = profile->EndStation() / (kGroundPoints - 1);
        for (int i = 0; i < kGroundPoints; ++i)
            model.points.push_back({Station{i * step, 0}, 103 + 4 * std::sin(i * 0.013), 0});
        auto ground = std::make_shared<const GroundLine>(*GroundLine::Make(std::move(model), *profile));
        return Road{profile, ground};
    }();
    return road;
}

// The plot and its summary pane, shown, at the view the argument asks for.
struct Plot {
    explicit Plot(benchmark::State& state) {
        plot.resize(1600, 900);
        plot.show();
        if (!QTest::qWaitForWindowExposed(&plot)) state.SkipWithError("the plot was never shown");
        plot.setProfile(TheRoad().profile, TheRoad().ground);
        summary.SetProfile(TheRoad().profile, TheRoad().ground);
        QObject::connect(&plot, &ui::PlotWidget::draftChanged, &summary,
                         [this](const std::shared_ptr<const Profile>& draft) {
            summary.SetProfile(draft, plot.ground(), &plot.plotGround());
            ++drafts;
        });
        if (state.range(0) > 1) {
            const CurveElementsRow& row = TheRoad().profile->Elements()[kDragged];
            ViewTransform t = plot.viewTransform();
            const DevicePoint at = t.ToDevice({row.pviStation, row.pviElevation});
            t.ZoomAbout(at, static_cast<double>(state.range(0)));
            plot.setViewTransform(t);
        }
        plot.repaint();
    }
    QPointF PviAt() const {
        const CurveElementsRow& row = plot.profile()->Elements()[kDragged];
        const DevicePoint d = plot.viewTransform().ToDevice({row.pviStation, row.pviElevation});
        return {d.x, d.y};
    }
    void Mouse(QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, plot.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(&plot, &event);
    }

    ui::PlotWidget plot;
    ui::profile::FillCutPanel summary;
    int drafts = 0;
};

void DragFrame(benchmark::State& state) {
    Plot p(state);
    const QPointF at = p.PviAt();
    p.Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
    // Up and down by a metre and along the road by 20 m: every frame a new
    // draft whose curves still fit between their neighbours.
    const CurveElementsRow& row = p.plot.profile()->Elements()[kDragged];
    const DevicePoint metre = p.plot.viewTransform().ToDevice({row.pviStation + 20, row.pviElevation + 1});
    const double stepX = metre.x - at.x(), stepY = metre.y - at.y();
    // Past the click slop first, so that the press is a drag.
    p.Mouse(QEvent::MouseMove, at + QPointF(0, 5), Qt::LeftButton);
    int frame = 0;
    for (auto _ : state) {
        const double dy = (frame % 2 == 0) ? stepY : -stepY, dx = (frame % 4 < 2) ? stepX : -stepX;
        ++frame;
        p.Mouse(QEvent::MouseMove, at + QPointF(dx, dy), Qt::LeftButton);
        p.plot.repaint();
    }
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&p.plot, &escape);
    state.counters["drafts_per_frame"] = frame > 0 ? static_cast<double>(p.drafts) / frame : 0;
    if (p.drafts < frame / 2) state.SkipWithError("the drag made no drafts");
}

void RepaintPanned(benchmark::State& state) {
    Plot p(state);
    double dx = 1;
    for (auto _ : state) {
        ViewTransform t = p.plot.viewTransform();
        t.PanBy(dx, 0);
        dx = -dx;
        p.plot.setViewTransform(t);
        p.plot.repaint();
    }
}

void RepaintSameView(benchmark::State& state) {
    Plot p(state);
    for (auto _ : state) p.plot.repaint();
}

BENCHMARK(DragFrame)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintPanned)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintSameView)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return tarnvel::bench::RunQtBenchmarks(argc, argv); }
