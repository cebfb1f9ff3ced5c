// The continuous listing of 1,000,001 stations (0 to 1,000,000, interval 1)
// with the start-up curve, and the conversions it spends its time in.

#include <benchmark/benchmark.h>

#include <string>

#include "core/calculator/number_text.h"
#include "core/calculator/station_listing.h"

namespace {

using namespace tarnvel;

const CurveParameters kStartUp{16770, 396.67, 3.1, 1.1, 3000};

void ListMillionStations(benchmark::State& state) {
    for (auto _ : state) {
        CurveState curve;
        std::size_t bytes = 0;
        const ListingResult result = ListStations(kStartUp, {0, 1'000'000, 1}, 2'000'000, curve,
                                                  [&](std::string_view piece) { bytes += piece.size(); });
        benchmark::DoNotOptimize(bytes);
        state.counters["stations"] = static_cast<double>(result.stationsListed);
    }
}
BENCHMARK(ListMillionStations)->Unit(benchmark::kMillisecond);

void NumberToTextOfStations(benchmark::State& state) {
    double k = 16740.1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(NumberToText(k));
        k += 0.1;
    }
}
BENCHMARK(NumberToTextOfStations);

void RoundTo3OfElevations(benchmark::State& state) {
    double h = 396.71333333333337;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RoundTo3(h));
        h += 0.0137;
    }
}
BENCHMARK(RoundTo3OfElevations);

void TextToNumberOfALine(benchmark::State& state) {
    const std::string line = "16770                        变坡点桩号K";
    for (auto _ : state) benchmark::DoNotOptimize(TextToNumber(line));
}
BENCHMARK(TextToNumberOfALine);

}  // namespace

BENCHMARK_MAIN();
