// Whole tarnvel-cli commands over a generated profile of 1,000,000 PVIs, each
// run as a child process beside its reference in the same run. Every figure
// is the child's own: its wall time and its peak memory (getrusage through
// wait4), so the benchmark's own inputs never count.
//
//   ProfileAtCsv         profile at on the CSV table          peak ≤ 4× the file
//   ProfileAtLandXml     profile at on the same as LandXML    peak ≤ 3× the file;
//                        beside xmllint --noout of the file    time and peak ≤ 1.2× xmllint's
//   ProfileElements      profile elements (text) of the CSV   peak ≤ 4× the file
//   ProfileElementsCsv   the same as CSV                       peak ≤ 4× the file
//
// The counters say each ratio beside its target; "met" is 1 where the
// target holds. tarnvel-cli is taken from the folder of this program.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>


extern char** environ;

namespace {

struct Run {
    double seconds = 0;
    double peakMiB = 0;
    bool ok = false;
};

// Runs a program (looked up on PATH) with its output thrown away.
Run RunChild(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return run;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024;  // ru_maxrss is in KiB
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

double FileMiB(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<double>(st.st_size) / (1 << 20) : 0;
}

// The generated files, written once into a folder of their own and removed
// at the end. Child processes write them: a child starts with its parent's
// peak memory as its own (Linux keeps the high-water mark across fork and
// exec), so this process must never hold a large input itself.
struct Inputs {
    std::filesystem::path folder;
    std::string csv, xml, cli;

    Inputs() {
        const std::filesystem::path bin = std::filesystem::read_symlink("/proc/self/exe").parent_path();
        cli = (bin / "tarnvel-cli").string();
        char folderName[] = "/tmp/tarnvel-whole-XXXXXX";
        if (mkdtemp(folderName) == nullptr) return;
        folder = folderName;
        csv = (folder / "profile.csv").string();
        xml = (folder / "profile.xml").string();
        if (!RunChild({(bin / "profile_file_read").string(), "generate-csv", csv, "1000000"}).ok ||
            !RunChild({cli, "profile", "convert", csv, "--output", xml}).ok)
            csv.clear();
    }
    ~Inputs() {
        std::error_code ignored;
        if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
    }
};

const Inputs& Files() {
    static const Inputs inputs;
    return inputs;
}

// A few stations along the road, the last one near its end.
std::vector<std::string> AtArguments(const std::string& file) {
    return {Files().cli, "profile", "at", file, "--k", "10000", "--k", "50000000", "--k", "100200000"};
}

void Report(benchmark::State& state, const Run& run, double fileMiB, double target) {
    if (Files().csv.empty()) {
        state.SkipWithError("the inputs could not be generated");
        return;
    }
    if (!run.ok) {
        state.SkipWithError("the command failed");
        return;
    }
    state.SetIterationTime(run.seconds);
    state.counters["peak_MiB"] = run.peakMiB;
    state.counters["file_MiB"] = fileMiB;
    state.counters["x_file"] = run.peakMiB / fileMiB;
    state.counters["target_x_file"] = target;
    state.counters["met"] = run.peakMiB / fileMiB <= target ? 1 : 0;
}

void ProfileAtCsv(benchmark::State& state) {
    for (auto _ : state) Report(state, RunChild(AtArguments(Files().csv)), FileMiB(Files().csv), 4);
}
BENCHMARK(ProfileAtCsv)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

void ProfileAtLandXml(benchmark::State& state) {
    for (auto _ : state) {
        const Run reference = RunChild({"xmllint", "--noout", Files().xml});
        const Run run = RunChild(AtArguments(Files().xml));
        Report(state, run, FileMiB(Files().xml), 3);
        if (!reference.ok) {
            state.SkipWithError("xmllint --noout failed (is libxml2-utils installed?)");
            break;
        }
        state.counters["xmllint_s"] = reference.seconds;
        state.counters["xmllint_peak_MiB"] = reference.peakMiB;
        state.counters["x_xmllint_time"] = run.seconds / reference.seconds;
        state.counters["x_xmllint_peak"] = run.peakMiB / reference.peakMiB;
        state.counters["met"] = state.counters["met"] * (run.seconds <= 1.2 * reference.seconds ? 1 : 0) *
                                (run.peakMiB <= 1.2 * reference.peakMiB ? 1 : 0);
    }
}
BENCHMARK(ProfileAtLandXml)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

void ProfileElements(benchmark::State& state, const char* format) {
    for (auto _ : state)
        Report(state, RunChild({Files().cli, "profile", "elements", Files().csv, "--format", format}),
               FileMiB(Files().csv), 4);
}
BENCHMARK_CAPTURE(ProfileElements, Text, "text")->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ProfileElements, Csv, "csv")->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
