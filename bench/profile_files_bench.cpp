// Reading large profile files from memory: a 10 MB LandXML file and a
// 100,000-row CSV table. Peak memory is measured around profile_file_read
// (see scripts/bench.sh), which reads one such file from disk.

#include <benchmark/benchmark.h>

#include "bench/profile_files_data.h"

namespace {

using namespace tarnvel;

void ReadLandXml10MB(benchmark::State& state) {
    const std::string xml = bench::GeneratedLandXml(10u << 20);
    for (auto _ : state) {
        io::Result<ProfileModel> model = io::ParseLandXml(xml, "", "bench.xml");
        if (!model.ok()) state.SkipWithError(model.failure().message.c_str());
        benchmark::DoNotOptimize(model);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * xml.size()));
    state.counters["points"] = static_cast<double>(io::ParseLandXml(xml, "", "").value().points.size());
}
BENCHMARK(ReadLandXml10MB)->Unit(benchmark::kMillisecond);

void ReadCsv100kRows(benchmark::State& state) {
    const std::string csv = bench::GeneratedCsv(100000);
    for (auto _ : state) {
        io::Result<ProfileModel> model = io::ParseProfileCsv(csv, "bench.csv");
        if (!model.ok()) state.SkipWithError(model.failure().message.c_str());
        benchmark::DoNotOptimize(model);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * csv.size()));
}
BENCHMARK(ReadCsv100kRows)->Unit(benchmark::kMillisecond);

void WriteLandXml100kPoints(benchmark::State& state) {
    const ProfileModel model = bench::GeneratedProfile(100000);
    for (auto _ : state) benchmark::DoNotOptimize(io::LandXmlBytes(model));
}
BENCHMARK(WriteLandXml100kPoints)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
