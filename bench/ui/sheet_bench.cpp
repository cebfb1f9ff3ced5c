// 纵断面图 sheets of a 10 km road with a ground line at 1:2000 on A3 (15
// sheets): building the pages, and the whole export to PDF and to DXF,
// files written. Targets: PDF under 2 s, DXF under 1 s.

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "bench/sheet_road.h"
#include "bench/ui/bench_services.h"
#include "core/drawing/sheet.h"
#include "output/page_dxf.h"
#include "output/pages_pdf.h"

namespace {

using namespace tarnvel;

Profile Road10km() { return bench::SheetRoad(10000); }

void BuildSheetPages(benchmark::State& state) {
    const Profile profile = Road10km();
    const bench::SheetRoadGround ground(profile);
    for (auto _ : state) benchmark::DoNotOptimize(BuildSheets(profile, {}, &ground.drawn));
}

// Straights, spirals and curves turning left and right in turn, 500 m a set.
HorizontalAlignment Horizontal() {
    HorizontalAlignment h;
    for (int k = 0; k < 20; ++k) {
        const double s = k * 500.0;
        const auto turn = k % 2 ? HorizontalTurn::Left : HorizontalTurn::Right;
        const double r = 600 + (k % 3) * 200;
        h.pieces.push_back({HorizontalKind::Line, s, s + 150});
        h.pieces.push_back({HorizontalKind::Spiral, s + 150, s + 210, turn, kStraightRadius, r});
        h.pieces.push_back({HorizontalKind::Arc, s + 210, s + 440, turn, r, r});
        h.pieces.push_back({HorizontalKind::Spiral, s + 440, s + 500, turn, r, kStraightRadius});
    }
    return h;
}

// The same sheets with the 直线及平曲线 band and the elements table's pages.
void BuildSheetPagesWithBandAndTable(benchmark::State& state) {
    const Profile profile = Road10km();
    const bench::SheetRoadGround ground(profile);
    const HorizontalAlignment horizontal = Horizontal();
    SheetOptions options;
    options.elementsTable = true;
    for (auto _ : state) benchmark::DoNotOptimize(BuildSheets(profile, options, &ground.drawn, &horizontal));
}

void ExportSheetsPdf(benchmark::State& state) {
    const Profile profile = Road10km();
    const bench::SheetRoadGround ground(profile);
    QTemporaryDir dir;
    const std::string path = dir.filePath("sheets.pdf").toStdString();
    for (auto _ : state) {
        const SheetSet set = BuildSheets(profile, {}, &ground.drawn);
        if (output::WritePagesPdf(path, set.pages, "bench")) state.SkipWithError("the PDF was not written");
    }
}

void ExportSheetsDxf(benchmark::State& state) {
    const Profile profile = Road10km();
    const bench::SheetRoadGround ground(profile);
    QTemporaryDir dir;
    const std::string path = dir.filePath("sheets.dxf").toStdString();
    for (auto _ : state) {
        const SheetSet set = BuildSheets(profile, {}, &ground.drawn);
        HeldPages pages(set.pages);
        if (output::WritePagesDxf(path, pages)) state.SkipWithError("the DXF was not written");
    }
}

}  // namespace

BENCHMARK(BuildSheetPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildSheetPagesWithBandAndTable)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportSheetsPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportSheetsDxf)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return tarnvel::bench::RunQtBenchmarks(argc, argv); }
