#include "core/profile/station_walk.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarnvel {
namespace {

// Which of several key points at one place gives the row.
int Rank(ListingRowKind kind) {
    switch (kind) {
        case ListingRowKind::BreakBack: return 0;
        case ListingRowKind::BreakAhead: return 1;
        case ListingRowKind::Pvi: return 2;
        case ListingRowKind::CurveStart: return 3;
        case ListingRowKind::CurveEnd: return 4;
        case ListingRowKind::Extreme: return 5;
        case ListingRowKind::Start: return 6;
        case ListingRowKind::End: return 7;
        case ListingRowKind::Interval: return 8;
    }
    return 8;
}

bool IsBreak(ListingRowKind kind) {
    return kind == ListingRowKind::BreakBack || kind == ListingRowKind::BreakAhead;
}

}  // namespace

// Two stations this close are one place: a key point computed as PVI − T and
// an interval label that should be the same station differ only by rounding,
// a few hundred units in the last place at most. The share of the station
// stays below a tenth of the finest step Prepare allows (10^-12 of the
// stations): a coarser one made every row within a kilometre of K999999999
// "the same place" and printed the start alone.
bool SamePlace(double a, double b) {
    return std::fabs(a - b) <= std::max(1e-9 * std::min(std::max(1.0, std::fabs(a)), 1e4), 1e-13 * std::fabs(a));
}

bool StationWalk::Prepare(const WalkRoad& road, const ProfileRange& range, double from, double to,
                          std::vector<WalkKey> keys, std::uint64_t maxRows, ProfileListingResult& result) {
    const Chainage& chain = road.chains;
    chains_ = &chain;
    origin_ = range.from.value;
    step_ = range.step;
    const auto refuse = [&](ListingFault fault) {
        result.fault = fault;
        return false;
    };
    if (to < from) return refuse(ListingFault::ToBeforeFrom);
    // Labels from + n × step must differ from one n to the next.
    double largest = std::max({1.0, std::fabs(range.from.value), std::fabs(range.to.value)});
    for (const ChainBreak& b : chain.Breaks())
        largest = std::max({largest, std::fabs(b.back), std::fabs(b.ahead)});
    if (step_ < largest * 1e-12) return refuse(ListingFault::StepTooSmall);

    std::erase_if(keys, [&](const WalkKey& k) { return k.internal < from || k.internal > to; });
    // Both stations of every break in the range.
    for (std::size_t j = 0; j < chain.Breaks().size(); ++j) {
        const double at = chain.BreakInternal(j);
        if (at < from || at > to) continue;
        keys.push_back({at, ListingRowKind::BreakBack, chain.LabelInRegion(chain.Breaks()[j].back, j)});
        keys.push_back({at, ListingRowKind::BreakAhead, chain.LabelInRegion(chain.Breaks()[j].ahead, j + 1)});
    }
    // The ends of the road, when the range reaches them: a listing to the end
    // must show the end point even where no interval label falls on it. Their
    // labels are the range's, exactly as given.
    if (from == road.start) keys.push_back({from, ListingRowKind::Start, range.from});
    if (to == road.end) keys.push_back({to, ListingRowKind::End, range.to});
    std::stable_sort(keys.begin(), keys.end(), [](const WalkKey& a, const WalkKey& b) {
        return a.internal != b.internal ? a.internal < b.internal : Rank(a.kind) < Rank(b.kind);
    });
    // At one place: both stations of a break if there is one, else the first key point.
    keys_.clear();
    keys_.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size();) {
        std::size_t end = i + 1;
        while (end < keys.size() && SamePlace(keys[i].internal, keys[end].internal)) ++end;
        const std::size_t first = keys_.size();
        if (IsBreak(keys[i].kind)) {
            for (std::size_t k = i; k < end && IsBreak(keys[k].kind); ++k) keys_.push_back(keys[k]);
        } else {
            keys_.push_back(keys[i]);
        }
        for (std::size_t k = i; k < end; ++k) keys_[first].marks |= keys[k].marks;
        i = end;
    }

    // Interval labels, region by region along the road.
    double intervals = 0;
    const double inf = std::numeric_limits<double>::infinity();
    for (std::size_t r = 0; r < chain.RegionCount(); ++r) {
        const double regionLow = r == 0 ? -inf : chain.BreakInternal(r - 1);
        const double regionHigh = r + 1 == chain.RegionCount() ? inf : chain.BreakInternal(r);
        IntervalRun run{r, std::max(from, regionLow), std::min(to, regionHigh), 0, 0};
        if (run.low > run.high) continue;
        // The labels at the ends of the stretch: a break's own labels, or the
        // range's, exactly as given.
        const auto labelAt = [&](double at) {
            if (r == 0) return at;
            if (at == regionLow) return chain.RegionLabelFrom(r);
            if (at == regionHigh) return chain.RegionLabelTo(r);
            if (at == from) return range.from.value;
            if (at == to) return range.to.value;
            return chain.ToLabel(at).value;
        };
        const double lowLabel = labelAt(run.low);
        const double highLabel = labelAt(run.high);
        double first = std::ceil((lowLabel - origin_) / step_);
        while (origin_ + first * step_ < lowLabel) ++first;
        while (origin_ + (first - 1) * step_ >= lowLabel) --first;
        double last = std::floor((highLabel - origin_) / step_);
        while (origin_ + last * step_ > highLabel) --last;
        while (origin_ + (last + 1) * step_ <= highLabel) ++last;
        if (last < first) continue;
        run.first = first;
        run.last = last;
        intervals += last - first + 1;
        runs_.push_back(run);
    }
    result.estimate = intervals;
    if (intervals > static_cast<double>(maxRows) + static_cast<double>(keys_.size()))
        return refuse(ListingFault::TooManyRows);
    return true;
}

bool StationWalk::Count(std::uint64_t maxRows, ProfileListingResult& result) const {
    std::uint64_t count = 0;
    Walk(false, [&](double, ListingRowKind, const Station&, unsigned) { return ++count <= maxRows; });
    if (count > maxRows) {
        result.fault = ListingFault::TooManyRows;
        result.estimate = 0;  // known only to be above the limit
        return false;
    }
    result.rows = count;
    return true;
}

}  // namespace tarnvel
