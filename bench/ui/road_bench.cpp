// A long road in the road window: opening one LandXML file of a 1,000-JD
// route with a 10,000-PVI profile, and an edit of one JD cell until the
// window (the 平面 tab shown) has painted it, beside an edit of one PVI cell
// until the 纵断面 tab has, in the same run.

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "bench/ui/bench_services.h"
#include "io/profile_files.h"
#include "ui/profile/cell_text.h"
#include "ui/profile/edit_table_model.h"
#include "ui/profile/plan_table.h"
#include "ui/profile/profile_document.h"
#include "ui/profile/profile_window.h"
#include "ui/profile/pvi_table.h"

namespace {

using namespace tarnvel;
using namespace tarnvel::ui;

constexpr int kJds = 1000;
constexpr int kPvis = 10000;

// JDs 500 m apart turning 20° right and left in turn, R 600 with 80 m
// spirals; PVIs every 50 m alternating 1 % up and down, each a parabola of
// R 2000 (L 40).
QString WriteRoad(const QTemporaryDir& folder) {
    IntersectionTable table;
    double north = 0, east = 0, azimuth = std::numbers::pi / 4;
    for (int i = 0; i <= kJds + 1; ++i) {
        IntersectionPoint p;
        p.name = i == 0 ? "QD" : i == kJds + 1 ? "ZD" : "JD" + std::to_string(i);
        p.at = {north, east};
        if (i > 0 && i <= kJds) {
            p.radius = 600;
            p.spiralIn = p.spiralOut = 80;
            azimuth += (i % 2 ? 20.0 : -20.0) * std::numbers::pi / 180;
        }
        table.points.push_back(p);
        north += 500 * std::cos(azimuth);
        east += 500 * std::sin(azimuth);
    }
    profile::ProfileDocument document;
    document.PlanModel().WriteBlock(0, 0, profile::PlanRowsOf(table), QStringLiteral("粘贴"));
    std::vector<ProfilePoint> points;
    for (int i = 0; i <= kPvis + 1; ++i) {
        const bool curve = i > 0 && i <= kPvis;
        points.push_back({Station{i * 50.0, 0}, i % 2 ? 100.5 : 100.0,
                          curve ? CurveSpec{CurveKind::ParabolaRadius, 2000, 0, 0, 0} : CurveSpec{}});
    }
    document.PviModel().WriteBlock(0, 0, profile::PviRowsOf(points), QStringLiteral("粘贴"));
    const QString path = folder.filePath(QStringLiteral("road.xml"));
    if (!document.CurrentPlan() || !document.CurrentProfile() ||
        !document.Save(path, io::ProfileFormat::LandXml).isEmpty())
        return QString();
    return path;
}

struct Road {
    bench::SilentMessages messages;
    bench::NoFiles files;
    bench::NoLauncher launcher;
    QTemporaryDir folder;
    QString path = WriteRoad(folder);
    ProfileWindow window{Services{messages, files, launcher}, folder.filePath(QStringLiteral("bench.ini"))};
    Road() {
        window.resize(1400, 900);
        window.show();
        QCoreApplication::processEvents();
    }
};

void OpenRoad(benchmark::State& state) {
    Road road;
    if (road.path.isEmpty()) {
        state.SkipWithError("the road was not written");
        return;
    }
    for (auto _ : state) {
        if (!road.window.OpenFile(road.path)) {
            state.SkipWithError("the road did not open");
            return;
        }
        road.window.repaint();
    }
    if (!road.window.Document().CurrentPlan() || road.window.Document().CurrentPlan()->CurveTable().size() != kJds)
        state.SkipWithError("the plan did not come back");
}

// One cell edited in turn to two texts, neither the one it started with,
// then (`paint`) the window painted with the tab the table is on.
void EditCell(benchmark::State& state, bool jd, bool paint = true) {
    Road road;
    if (road.path.isEmpty() || !road.window.OpenFile(road.path)) {
        state.SkipWithError("the road did not open");
        return;
    }
    road.window.findChild<QTabWidget*>(QStringLiteral("RoadTabs"))->setCurrentIndex(jd ? 1 : 0);
    QCoreApplication::processEvents();
    profile::ProfileDocument& document = road.window.Document();
    profile::EditTableModel& model = jd ? document.PlanModel() : document.PviModel();
    const QModelIndex cell = jd ? model.index(kJds / 2, profile::kPlanRadius) : model.index(kPvis / 2, profile::kPviElevation);
    bool first = true;
    for (auto _ : state) {
        model.setData(cell, jd ? (first ? QStringLiteral("610") : QStringLiteral("620"))
                               : (first ? QStringLiteral("100.25") : QStringLiteral("100.75")));
        first = !first;
        if (paint) road.window.repaint();
    }
    if (!(jd ? document.PlanIsCurrent() : document.TableProblem().isEmpty())) state.SkipWithError("the edit did not resolve");
}

void EditJdCell(benchmark::State& state) { EditCell(state, true, false); }
void EditJdCellAndRepaint(benchmark::State& state) { EditCell(state, true); }
void EditPviCellAndRepaint(benchmark::State& state) { EditCell(state, false); }

BENCHMARK(OpenRoad)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(EditJdCell)->Unit(benchmark::kMillisecond);
BENCHMARK(EditJdCellAndRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(EditPviCellAndRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return tarnvel::bench::RunQtBenchmarks(argc, argv); }
