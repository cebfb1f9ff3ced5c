// The station cells of a 100,000-PVI table as the window fills it on opening
// a file (ExactStationText), beside, in the same run, the way it was done
// before: each cell written at 3, 4, … decimals and read back until the text
// gave the value exactly. Stations 100.25 m apart, as the generated files
// have them, and every tenth one with a surveyed sixth decimal.

#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <vector>

#include "core/profile/station.h"
#include "ui/profile/cell_text.h"

namespace {

using namespace tarnvel;

std::vector<Station> Stations() {
    std::vector<Station> stations;
    for (int i = 0; i < 100'000; ++i)
        stations.push_back({10000 + 100.25 * i + (i % 10 == 0 ? 0.000123 : 0), 0});
    return stations;
}

void FillStationCells(benchmark::State& state) {
    const std::vector<Station> stations = Stations();
    for (auto _ : state)
        for (const Station& s : stations) benchmark::DoNotOptimize(ui::profile::ExactStationText(s));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(stations.size()));
}
BENCHMARK(FillStationCells)->Unit(benchmark::kMillisecond);

// The reference: written and read back at each precision in turn.
void FillStationCellsWrittenAndReadBack(benchmark::State& state) {
    const std::vector<Station> stations = Stations();
    for (auto _ : state) {
        for (const Station& s : stations) {
            for (int decimals = 3; decimals <= 12; ++decimals) {
                const std::string text = FormatStation(s, StationStyle::K, decimals);
                const std::optional<Station> back = ParseStation(text);
                if (back && *back == s) {
                    benchmark::DoNotOptimize(QString::fromStdString(text));
                    break;
                }
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(stations.size()));
}
BENCHMARK(FillStationCellsWrittenAndReadBack)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
