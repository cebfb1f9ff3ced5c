// Listing 1,000,001 stations (0 to 1,000,000 by 1) over a generated profile of
// 10,000 PVIs, each kind of curve in turn, beside the single-curve listing of
// the same count (listing_bench.cpp).

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <cstdint>
#include <string>

#include "core/calculator/number_text.h"
#include "core/profile/ground_line.h"
#include "core/profile/profile_listing.h"
#include "core/text/profile_text.h"

namespace {

using namespace tarnvel;

// PVIs every 100 at 50, 150, …, 999,950, alternately 0.5 above and below 100:
// grades of ±1 %, curves no longer than 60.
ProfileModel TenThousandPvis() {
    ProfileModel model;
    model.points.reserve(10'002);
    model.points.push_back({{0, 0}, 100, {}});
    const CurveSpec kinds[] = {
        {CurveKind::ParabolaRadius, 3000, 0, 0, 0},
        {CurveKind::ParabolaLength, 0, 40, 0, 0},
        {CurveKind::Unsymmetric, 0, 0, 20, 30},
        {CurveKind::Circular, 2000, 0, 0, 0},
    };
    for (int i = 0; i < 10'000; ++i) {
        model.points.push_back({{50 + 100.0 * i, 0}, i % 2 == 0 ? 100.5 : 99.5, kinds[i % 4]});
    }
    model.points.push_back({{1'000'000, 0}, 100, {}});
    return model;
}

const Profile& GeneratedProfile() {
    static const Profile profile = *Profile::Resolve(TenThousandPvis());
    return profile;
}

const ProfileRange kMillion{{0, 0}, {1'000'000, 0}, 1, false};

void ListProfileMillionStations(benchmark::State& state) {
    const Profile& profile = GeneratedProfile();
    for (auto _ : state) {
        double sum = 0;
        const auto result = ListProfile(profile, kMillion, 2'000'000,
                                        [&](const ProfileListingRow& row) { sum += row.value.elevation; });
        benchmark::DoNotOptimize(sum);
        state.counters["stations"] = static_cast<double>(result.rows);
    }
}
BENCHMARK(ListProfileMillionStations)->Unit(benchmark::kMillisecond);

// The same with each row made into a text line, as a listing command does.
void ListProfileMillionStationsAsText(benchmark::State& state) {
    const Profile& profile = GeneratedProfile();
    for (auto _ : state) {
        std::size_t bytes = 0;
        std::string line;
        line.reserve(64);
        const auto result =
            ListProfile(profile, kMillion, 2'000'000, [&](const ProfileListingRow& row) {
                line.clear();
                line += FormatStation(row.label, StationStyle::Plain, 3);
                line += '\t';
                line += FixedText(row.value.elevation, 3);
                line += '\n';
                bytes += line.size();
            });
        benchmark::DoNotOptimize(bytes);
        state.counters["stations"] = static_cast<double>(result.rows);
    }
}
BENCHMARK(ListProfileMillionStationsAsText)->Unit(benchmark::kMillisecond);

// A surveyed ground line of 100,000 points every 10, wandering 1.2 above and
// below the design's mean level so that it crosses the design again and again.
const GroundLine& GeneratedGround() {
    static const GroundLine ground = [] {
        GroundModel model;
        model.points.reserve(100'000);
        for (int i = 0; i < 100'000; ++i)
            model.points.push_back({{5 + 10.0 * i, 0}, 100 + (i % 7 - 3) * 0.4, 0});
        return *GroundLine::Make(model, GeneratedProfile());
    }();
    return ground;
}

// The listing's text lines as tarnvel-cli profile list writes them, without
// and with the ground columns: the ground may cost at most 1.3× the plain listing.
void ListAsListingText(benchmark::State& state, bool withGround) {
    const Profile& profile = GeneratedProfile();
    ProfileRange range = kMillion;
    TextOptions text;
    if (withGround) {
        range.ground = &GeneratedGround();
        text.ground = true;
    }
    for (auto _ : state) {
        std::string block;
        std::size_t bytes = 0;
        const auto result = ListProfile(profile, range, 2'000'000, [&](const ProfileListingRow& row) {
            AppendListingText(block, profile, row, text);
            if (block.size() >= (1 << 16)) {
                bytes += block.size();
                block.clear();
            }
        });
        benchmark::DoNotOptimize(bytes += block.size());
        state.counters["stations"] = static_cast<double>(result.rows);
    }
}
void ListProfileMillionStationsListingText(benchmark::State& state) { ListAsListingText(state, false); }
BENCHMARK(ListProfileMillionStationsListingText)->Unit(benchmark::kMillisecond);
void ListProfileMillionStationsWithGround(benchmark::State& state) { ListAsListingText(state, true); }
BENCHMARK(ListProfileMillionStationsWithGround)->Unit(benchmark::kMillisecond);

// Zero points of the 100,000-point ground against the 10,000-PVI design.
void FindZeroPointsHundredThousandPoints(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(FindZeroPoints(GeneratedProfile(), GeneratedGround()));
}
BENCHMARK(FindZeroPointsHundredThousandPoints)->Unit(benchmark::kMillisecond);

void ResolveTenThousandPvis(benchmark::State& state) {
    const ProfileModel model = TenThousandPvis();
    for (auto _ : state) benchmark::DoNotOptimize(Profile::Resolve(model));
}
BENCHMARK(ResolveTenThousandPvis)->Unit(benchmark::kMillisecond);

// A straight profile from 0 to 1,000,000 with `count` long chains of 0.5
// spread evenly along it.
Profile StraightWithChainBreaks(std::int64_t count) {
    ProfileModel model;
    model.points = {{{0, 0}, 100, {}}, {{1'000'000, 0}, 120, {}}};
    const auto breaks = static_cast<double>(count);
    for (double j = 1; j <= breaks; ++j) {
        const double at = std::floor(j * 1'000'000 / (breaks + 1));
        model.chains.push_back({at + 0.5, at});
    }
    return *Profile::Resolve(model);
}

// A straight profile from 0 to 1,000,000 with state.range(0) long chains of
// 0.5 spread along it, listed by 1: the chain table must cost little per row
// however many breaks it has.
void ListProfileAcrossChainBreaks(benchmark::State& state) {
    const Profile profile = StraightWithChainBreaks(state.range(0));
    const ProfileRange range{{0, 0}, {1'000'000, 0}, 1, false};
    for (auto _ : state) {
        double sum = 0;
        const auto result = ListProfile(profile, range, 2'000'000, [&](const ProfileListingRow& row) {
            sum += row.value.elevation + row.label.occurrence;
        });
        benchmark::DoNotOptimize(sum);
        state.counters["stations"] = static_cast<double>(result.rows);
    }
}
BENCHMARK(ListProfileAcrossChainBreaks)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond);

// The 10,000-PVI profile resolved and listed by 1 from 0 to 1,000,000, with
// 1,000 long chains of 0.5 spread along it beside none, both in each
// iteration (the processor time of this thread): target at most 1.25×.
void ResolveAndListAcrossChainBreaks(benchmark::State& state) {
    const auto model = [](int breaks) {
        ProfileModel m = TenThousandPvis();
        for (int j = 1; j <= breaks; ++j) {
            // Between whole labels, so that no PVI's label repeats.
            const double at = std::floor(j * 1'000'000.0 / (breaks + 1)) + 0.25;
            m.chains.push_back({at + 0.5, at});
        }
        return m;
    };
    const ProfileModel plain = model(0);
    const ProfileModel chained = model(1000);
    const auto cpu = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
    };
    const auto resolveAndList = [&](const ProfileModel& m) {
        const double start = cpu();
        const Profile profile = *Profile::Resolve(m);
        double sum = 0;
        ListProfile(profile, kMillion, 2'000'000, [&](const ProfileListingRow& row) {
            sum += row.value.elevation + row.label.occurrence;
        });
        benchmark::DoNotOptimize(sum);
        return cpu() - start;
    };
    double none = 0, breaks = 0;
    for (auto _ : state) {
        none += resolveAndList(plain);
        breaks += resolveAndList(chained);
    }
    state.counters["none_ms"] = 1e3 * none / static_cast<double>(state.iterations());
    state.counters["breaks_ms"] = 1e3 * breaks / static_cast<double>(state.iterations());
    state.counters["x_none"] = breaks / none;
    state.counters["met"] = breaks / none <= 1.25 ? 1 : 0;
}
BENCHMARK(ResolveAndListAcrossChainBreaks)->Unit(benchmark::kMillisecond);

// Single queries: the label of a place, over 1,000 breaks.
void LabelOfAcrossChainBreaks(benchmark::State& state) {
    const Profile profile = StraightWithChainBreaks(state.range(0));
    double internal = 0.25;
    for (auto _ : state) {
        benchmark::DoNotOptimize(profile.LabelOf(internal));
        internal = internal > 999'000 ? 0.25 : internal + 997.3;
    }
}
BENCHMARK(LabelOfAcrossChainBreaks)->Arg(0)->Arg(1000);

void ParseKStation(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ParseStation("K16+770.500"));
}
BENCHMARK(ParseKStation);

}  // namespace
