// Peak memory of writing the 纵断面图 sheets of a long road (1,000 km at
// 1:2000 on A3, a ground point every 10 m: about 1,430 sheets) as PDF and as
// DXF, each in a process of its own, beside two references measured in the
// same run: the process that only builds the road and its ground, Qt's own
// PDF writer writing as many empty pages, and the DXF made the way it was
// before, every page and the whole file in memory. Target: each set within
// 128 MiB.
//
//   sheet_memory_bench [--km=1000] [benchmark flags]
//
// Each row starts this program again as a child (`--sheet-child=WHAT`) and
// reads the child's peak resident memory from wait4(); the counters are peak
// MiB, pages and the file's MiB.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/sheet_road.h"
#include "core/drawing/sheet.h"
#include "io/atomic_write.h"
#include "output/page_dxf.h"
#include "output/sheet_writer.h"

namespace {

using namespace tarnvel;

double g_km = 1000;
std::string g_self;

// What a child does, named on its command line.
int RunChild(const std::string& what, const std::string& path) {
    const Profile profile = bench::SheetRoad(g_km * 1000);
    const bench::SheetRoadGround ground(profile);
    if (what == "inputs") return profile.EndStation() > 0 && !ground.line.Stations().empty() ? 0 : 1;
    SheetPages sheets(profile, {}, &ground.drawn);
    if (sheets.Problem()) return 2;
    if (what == "qt-floor") {
        // Qt's floor: as many empty pages of the same paper, nothing drawn.
        static char name[] = "bench", platform[] = "-platform", offscreen[] = "offscreen";
        static char* argv[] = {name, platform, offscreen, nullptr};
        static int argc = 3;
        QGuiApplication app(argc, argv);
        QPdfWriter writer(QString::fromStdString(path));
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A3));
        writer.setPageOrientation(QPageLayout::Landscape);
        QPainter painter(&writer);
        for (std::size_t i = 1; i < sheets.Count(); ++i) writer.newPage();
        return painter.end() ? 0 : 3;
    }
    if (what == "whole-dxf") {
        // The way before sheets were written one at a time: every page
        // made, then the whole file made in memory, then written.
        const SheetSet set = BuildSheets(profile, {}, &ground.drawn);
        return io::WriteFileAtomically(path, output::PagesDxf(set.pages)) ? 4 : 0;
    }
    return output::WriteSheets(path, sheets, "纵断面图") ? 4 : 0;
}

struct ChildRun {
    int status = -1;
    double peakMiB = 0;
};

ChildRun RunAsChild(const std::string& what, const std::string& path) {
    const std::string child = "--sheet-child=" + what, km = "--km=" + std::to_string(g_km);
    const pid_t pid = fork();
    if (pid == 0) {
        execl(g_self.c_str(), g_self.c_str(), child.c_str(), km.c_str(), path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ChildRun run;
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024;  // KiB on Linux
    return run;
}

void PeakMemory(benchmark::State& state, const std::string& what, const std::string& extension) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("tarnvel-sheet-memory-" + std::to_string(getpid()) + extension);
    ChildRun run;
    for (auto _ : state) run = RunAsChild(what, path.string());
    if (run.status != 0) state.SkipWithError(("the child failed with " + std::to_string(run.status)).c_str());
    state.counters["peak_MiB"] = run.peakMiB;
    std::error_code ignored;
    if (!extension.empty()) {
        state.counters["file_MiB"] = static_cast<double>(std::filesystem::file_size(path, ignored)) / (1 << 20);
        std::filesystem::remove(path, ignored);
    }
}

void InputsOnly(benchmark::State& state) { PeakMemory(state, "inputs", ""); }
void QtPdfFloor(benchmark::State& state) { PeakMemory(state, "qt-floor", ".pdf"); }
void SheetsPdf(benchmark::State& state) { PeakMemory(state, "pdf", ".pdf"); }
void SheetsDxf(benchmark::State& state) { PeakMemory(state, "dxf", ".dxf"); }
void WholeSetDxf(benchmark::State& state) { PeakMemory(state, "whole-dxf", ".dxf"); }

}  // namespace

BENCHMARK(InputsOnly)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(QtPdfFloor)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(SheetsPdf)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(SheetsDxf)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(WholeSetDxf)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

int main(int argc, char** argv) {
    g_self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string child;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.starts_with("--km=")) g_km = std::atof(arg.c_str() + 5);
        if (arg.starts_with("--sheet-child=")) child = arg.substr(14);
    }
    if (!child.empty()) return RunChild(child, argv[argc - 1]);
    // The flags of this program are not Google Benchmark's.
    int kept = 1;
    for (int i = 1; i < argc; ++i)
        if (!std::string(argv[i]).starts_with("--km=")) argv[kept++] = argv[i];
    argc = kept;
    benchmark::AddCustomContext("road", std::to_string(static_cast<int>(g_km)) + " km, 1:2000 on A3, ground every 10 m");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
