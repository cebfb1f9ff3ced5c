// The continuous listing of 1,000,001 stations (0 to 1,000,000, interval 1)
// with the start-up curve, and the conversions it spends its time in.

#include <benchmark/benchmark.h>

#include <charconv>
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

// A listing's numbers as fixed-point text: the program's formatter beside
// exact decimal printing with std::to_chars, which writes the same bytes.
// Elevations with 3 decimals and grades with 4, as a profile listing has them.
template <bool kReference>
void FixedTextOfListingNumbers(benchmark::State& state) {
    double h = 396.71333333333337;
    std::string out;
    for (auto _ : state) {
        out.clear();
        for (int i = 0; i < 64; ++i) {
            const double value = h + i * 0.0137;
            if constexpr (kReference) {
                char buf[400];
                out.append(buf, std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 3).ptr);
                out.append(buf, std::to_chars(buf, buf + sizeof buf, value / 1000, std::chars_format::fixed, 4).ptr);
            } else {
                AppendFixedText(out, value, 3);
                AppendFixedText(out, value / 1000, 4);
            }
        }
        benchmark::DoNotOptimize(out.data());
        h += 0.5;
    }
    state.SetItemsProcessed(state.iterations() * 128);
}
BENCHMARK(FixedTextOfListingNumbers<false>)->Name("FixedText/AppendFixedText");
BENCHMARK(FixedTextOfListingNumbers<true>)->Name("FixedText/to_chars");

void TextToNumberOfALine(benchmark::State& state) {
    const std::string line = "16770                        变坡点桩号K";
    for (auto _ : state) benchmark::DoNotOptimize(TextToNumber(line));
}
BENCHMARK(TextToNumberOfALine);

}  // namespace

BENCHMARK_MAIN();
