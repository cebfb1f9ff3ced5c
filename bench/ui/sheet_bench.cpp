// 纵断面图 sheets of a 10 km road with a ground line at 1:2000 on A3 (15
// sheets): building the pages, and the whole export to PDF and to DXF,
// files written. Targets: PDF under 2 s, DXF under 1 s.

#include <QTemporaryDir>

#include <cmath>

#include <benchmark/benchmark.h>

#include "bench/ui/bench_services.h"
#include "core/drawing/sheet.h"
#include "io/page_dxf.h"
#include "ui/profile/plot/pages_pdf.h"

namespace {

using namespace tarnvel;

Profile Road10km() {
    ProfileModel model{"bench", LengthUnit::Metre, {}, {}};
    for (int i = 0; i <= 25; ++i) {
        const bool end = i == 0 || i == 25;
        model.points.push_back({Station{i * 400.0, 0}, 100 + (i % 2) * 6.0 + (i % 7) * 0.5,
                                end ? CurveSpec{} : CurveSpec{CurveKind::ParabolaRadius, 4000.0 + (i % 5) * 500, 0, 0, 0}});
    }
    return *Profile::Resolve(model);
}

// A surveyed point every 10 m, wandering a few metres about the design.
SheetGround Ground(const Profile& profile) {
    SheetGround ground;
    for (double s = 0; s <= 10000; s += 10) {
        ground.stations.push_back(s);
        ground.elevations.push_back(profile.At(s).elevation + 3 * std::sin(s / 170));
    }
    const auto st = ground.stations, z = ground.elevations;
    ground.at = [st, z](double at) -> std::optional<double> {
        const auto i = std::min<std::size_t>(static_cast<std::size_t>(at / 10), st.size() - 2);
        return z[i] + (at - st[i]) / 10 * (z[i + 1] - z[i]);
    };
    for (std::size_t i = 0; i + 1 < st.size(); ++i) {
        const double a = profile.At(st[i]).elevation - z[i], b = profile.At(st[i + 1]).elevation - z[i + 1];
        if (a * b < 0) ground.zeroPoints.push_back(st[i] + 10 * a / (a - b));
    }
    return ground;
}

void BuildSheetPages(benchmark::State& state) {
    const Profile profile = Road10km();
    const SheetGround ground = Ground(profile);
    for (auto _ : state) benchmark::DoNotOptimize(BuildSheets(profile, {}, &ground));
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
    const SheetGround ground = Ground(profile);
    const HorizontalAlignment horizontal = Horizontal();
    SheetOptions options;
    options.elementsTable = true;
    for (auto _ : state) benchmark::DoNotOptimize(BuildSheets(profile, options, &ground, &horizontal));
}

void ExportSheetsPdf(benchmark::State& state) {
    const Profile profile = Road10km();
    const SheetGround ground = Ground(profile);
    QTemporaryDir dir;
    const std::string path = dir.filePath("sheets.pdf").toStdString();
    for (auto _ : state) {
        const SheetSet set = BuildSheets(profile, {}, &ground);
        if (ui::WritePagesPdf(path, set.pages, "bench")) state.SkipWithError("the PDF was not written");
    }
}

void ExportSheetsDxf(benchmark::State& state) {
    const Profile profile = Road10km();
    const SheetGround ground = Ground(profile);
    QTemporaryDir dir;
    const std::string path = dir.filePath("sheets.dxf").toStdString();
    for (auto _ : state) {
        const SheetSet set = BuildSheets(profile, {}, &ground);
        if (io::WritePagesDxf(path, set.pages)) state.SkipWithError("the DXF was not written");
    }
}

}  // namespace

BENCHMARK(BuildSheetPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildSheetPagesWithBandAndTable)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportSheetsPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportSheetsDxf)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return tarnvel::bench::RunQtBenchmarks(argc, argv); }
