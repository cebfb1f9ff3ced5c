// The 逐桩坐标 listing of 1,000,001 stations (0 to 1,000,000 by 1) over a
// route of 1,000 JDs with spirals, as `align list` writes it, beside a floor
// that writes the same five columns with std::to_chars and computes nothing;
// and 坐标反算 of 1,000,000 points beside the listing of as many stations.

#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "core/drawing/plan_drawing.h"
#include "core/plan/plan.h"
#include "core/plan/plan_listing.h"
#include "core/text/plan_text.h"

namespace {

using namespace tarnvel;

// JDs every 1,008 m along a zigzag, deflections alternately 24° left and
// right, R 1,000 with spirals of 150 and 120: about a quarter of the road on
// spirals and a third on arcs. The route is a little over 1,000,000 long.
const Plan& ThousandJdRoute() {
    static const Plan plan = [] {
        IntersectionTable table;
        double north = 0, east = 0, azimuth = 0;
        const double turn = 24 * 3.14159265358979323846 / 180;
        for (int i = 0; i <= 1001; ++i) {
            IntersectionPoint p;
            p.name = i == 0 ? "BP" : "JD" + std::to_string(i);
            p.at = {north, east};
            if (i > 0 && i < 1001) {
                p.radius = 1000;
                p.spiralIn = 150;
                p.spiralOut = 120;
            }
            table.points.push_back(p);
            const double length = i == 1000 ? 2000 : 1008;
            if (i > 0) azimuth += i % 2 ? turn : -turn;
            north += length * std::cos(azimuth);
            east += length * std::sin(azimuth);
        }
        return *Plan::Resolve(table);
    }();
    return plan;
}

const ProfileRange kMillion{{0, 0}, {1'000'000, 0}, 1, false};
constexpr std::size_t kBlock = 1 << 16;

void AlignListMillionStations(benchmark::State& state) {
    const Plan& plan = ThousandJdRoute();
    const TextOptions options;
    for (auto _ : state) {
        std::string block;
        block.reserve(kBlock + 1024);
        std::size_t bytes = 0;
        PlanPointLine line;
        const auto result = ListPlan(plan, kMillion, 2'000'000, [&](const PlanListingRow& row) {
            line.label = row.label;
            line.at = row.pose.at;
            line.azimuth = row.pose.azimuth;
            line.kind = row.kind;
            line.keys = row.keys;
            AppendPlanPoint(block, true, line, options);
            if (block.size() >= kBlock) {
                bytes += block.size();
                block.clear();
            }
        });
        benchmark::DoNotOptimize(bytes += block.size());
        state.counters["rows"] = static_cast<double>(result.rows);
    }
}
BENCHMARK(AlignListMillionStations)->Unit(benchmark::kMillisecond);

// The floor: the five numeric columns of the same count of rows (3 decimals,
// the azimuth 7), written with std::to_chars, nothing computed.
void FloorFiveColumnsMillionRows(benchmark::State& state) {
    for (auto _ : state) {
        std::string block;
        block.reserve(kBlock + 1024);
        std::size_t bytes = 0;
        char buffer[128];
        for (int i = 0; i <= 1'000'000; ++i) {
            const double values[] = {static_cast<double>(i), 0.0, 3355206.736 + i * 0.61, 505412.824 - i * 0.79,
                                     289.1091618 + i * 1e-5};
            char* at = buffer;
            for (int c = 0; c < 5; ++c) {
                if (c > 0) *at++ = ',';
                at = std::to_chars(at, buffer + sizeof buffer, values[c], std::chars_format::fixed, c == 4 ? 7 : 3).ptr;
            }
            *at++ = ',';
            *at++ = ',';
            *at++ = '\n';
            block.append(buffer, at);
            if (block.size() >= kBlock) {
                bytes += block.size();
                block.clear();
            }
        }
        benchmark::DoNotOptimize(bytes += block.size());
    }
}
BENCHMARK(FloorFiveColumnsMillionRows)->Unit(benchmark::kMillisecond);

// Field points a little off the centre line (−15 to +15), their text as a
// file gives it; 1,000,000 of them spread over the whole route.
struct FieldPoint {
    std::string name, north, east;
    PlanPoint at;
};
const std::vector<FieldPoint>& MillionPoints() {
    static const std::vector<FieldPoint> points = [] {
        const Plan& plan = ThousandJdRoute();
        std::vector<FieldPoint> all;
        all.reserve(1'000'000);
        PlanCursor cursor(plan);
        for (int i = 0; i < 1'000'000; ++i) {
            const PlanPose pose = cursor.At(i + 0.5);
            const PlanPoint p = OffsetPoint(pose, (i % 31) - 15.0);
            all.push_back({"P" + std::to_string(i), std::to_string(p.north), std::to_string(p.east), p});
        }
        return all;
    }();
    return points;
}

void AlignInverseMillionPoints(benchmark::State& state) {
    const Plan& plan = ThousandJdRoute();
    const std::vector<FieldPoint>& points = MillionPoints();
    const TextOptions options;
    for (auto _ : state) {
        std::string block;
        block.reserve(kBlock + 1024);
        std::size_t bytes = 0, found = 0;
        for (const FieldPoint& p : points) {
            const PlanFoot foot = plan.Inverse(p.at, 500);
            if (foot.fault == InverseFault::None) {
                ++found;
                AppendInverse(block, true, p.name, p.north, p.east, plan.LabelOf(foot.internal), foot.offset, options);
            }
            if (block.size() >= kBlock) {
                bytes += block.size();
                block.clear();
            }
        }
        benchmark::DoNotOptimize(bytes += block.size());
        state.counters["found"] = static_cast<double>(found);
    }
}
BENCHMARK(AlignInverseMillionPoints)->Unit(benchmark::kMillisecond);

}  // namespace

// The plan view of the same route: what the window lays out after a zoom or
// a pan, for a 1200 × 800 pixel view (300 × 200 mm at 0.25 mm a pixel) of
// the whole route and of a stretch at about 1:2000; and the figure, which
// the view works out once a route.
namespace {

void PlanFigureOfThousandJds(benchmark::State& state) {
    const Plan& plan = ThousandJdRoute();
    for (auto _ : state) benchmark::DoNotOptimize(MakePlanFigure(plan));
}
BENCHMARK(PlanFigureOfThousandJds)->Unit(benchmark::kMillisecond);

void PlanViewOfThousandJds(benchmark::State& state) {
    const Plan& plan = ThousandJdRoute();
    const PlanFigure figure = MakePlanFigure(plan);
    const PageBox frame{0, 0, 300, 200};
    PlanViewport view = FitPlanViewport(figure, frame);
    if (state.range(0) == 1) {
        view.centre = plan.At(plan.CurveTable()[500].qz).at;
        view.mmPerUnit = 0.5;
    }
    for (auto _ : state) benchmark::DoNotOptimize(PlanViewPage(plan, figure, view, 300, 200));
}
BENCHMARK(PlanViewOfThousandJds)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
