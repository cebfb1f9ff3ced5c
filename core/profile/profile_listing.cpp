#include "core/profile/profile_listing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>


namespace tarnvel {
namespace {

// Two stations this close are one place: a key point computed as PVI − T and
// an interval label that should be the same station differ only by rounding,
// a few hundred units in the last place at most. The share of the station
// stays below a tenth of the finest step Prepare allows (10^-12 of the
// stations): a coarser one made every row within a kilometre of K999999999
// "the same place" and printed the start alone.
bool SamePlace(double a, double b) {
    return std::fabs(a - b) <= std::max(1e-9 * std::min(std::max(1.0, std::fabs(a)), 1e4), 1e-13 * std::fabs(a));
}

struct KeyRow {
    double internal = 0;
    ListingRowKind kind = ListingRowKind::Pvi;
    Station label;
    bool zeroPoint = false;  // where the design crosses the ground
};

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

// The whole-interval labels of one region of the road: from + n × step for n
// in [first, last], at internal stations within [low, high].
struct IntervalRun {
    std::size_t region = 0;
    double low = 0, high = 0;
    double first = 0, last = 0;  // whole numbers
};

class Listing {
public:
    Listing(const Profile& profile, const ProfileRange& range) : profile_(profile), range_(range) {}

    // Checks the range and prepares the runs and key rows; sets the fault in
    // `result` and returns false when refused.
    bool Prepare(std::uint64_t maxRows, ProfileListingResult& result);

    // Walks the rows in order, calling row(internal, kind, label, zeroPoint)
    // for each; stops when it returns false. Interval labels carry no occurrence
    // unless `labels` is set (counting does not need them).
    template <typename Row>
    void Walk(bool labels, Row&& row) const;

private:
    const Profile& profile_;
    const ProfileRange& range_;
    double from_ = 0, to_ = 0;  // internal
    std::vector<IntervalRun> runs_;
    std::vector<KeyRow> keys_;
};

bool Listing::Prepare(std::uint64_t maxRows, ProfileListingResult& result) {
    const Chainage& chain = profile_.Chains();
    const double step = range_.step;
    result.from = range_.from;
    result.to = range_.to;
    result.step = step;
    result.maxRows = maxRows;
    const auto refuse = [&](ListingFault fault) {
        result.fault = fault;
        return false;
    };
    if (!std::isfinite(step) || step <= 0) return refuse(ListingFault::StepNotPositive);
    try {
        from_ = profile_.OnProfile(profile_.InternalOf(range_.from));
        to_ = profile_.OnProfile(profile_.InternalOf(range_.to));
    } catch (const StationError& e) {
        result.station = e.fault();
        return refuse(ListingFault::StationOff);
    }
    if (to_ < from_) return refuse(ListingFault::ToBeforeFrom);
    // Labels from + n × step must differ from one n to the next.
    double largest = std::max({1.0, std::fabs(range_.from.value), std::fabs(range_.to.value)});
    for (const ChainBreak& b : chain.Breaks())
        largest = std::max({largest, std::fabs(b.back), std::fabs(b.ahead)});
    if (step < largest * 1e-12) return refuse(ListingFault::StepTooSmall);

    // Key rows: both stations of every break in the range, and the key points.
    for (std::size_t j = 0; j < chain.Breaks().size(); ++j) {
        const double at = chain.BreakInternal(j);
        if (at < from_ || at > to_) continue;
        keys_.push_back({at, ListingRowKind::BreakBack, chain.LabelInRegion(chain.Breaks()[j].back, j)});
        keys_.push_back({at, ListingRowKind::BreakAhead, chain.LabelInRegion(chain.Breaks()[j].ahead, j + 1)});
    }
    // The ends of the profile, when the range reaches them: a listing to the
    // end must show the end point even where no interval label falls on it.
    // Their labels are the range's, exactly as given.
    if (from_ == profile_.StartStation()) keys_.push_back({from_, ListingRowKind::Start, range_.from});
    if (to_ == profile_.EndStation()) keys_.push_back({to_, ListingRowKind::End, range_.to});
    if (range_.keyPoints) {
        const auto add = [&](double at, ListingRowKind kind) {
            if (at >= from_ && at <= to_) keys_.push_back({at, kind, profile_.LabelOf(at)});
        };
        for (const CurveElementsRow& e : profile_.Elements()) {
            if (e.length > 0) add(e.startStation, ListingRowKind::CurveStart);
            add(e.pviStation, ListingRowKind::Pvi);
            if (e.length > 0) add(e.endStation, ListingRowKind::CurveEnd);
            if (e.extremeStation) add(*e.extremeStation, ListingRowKind::Extreme);
        }
        // Zero points rank last: at another key point they only add their note.
        if (range_.ground) {
            for (double at : FindZeroPoints(profile_, *range_.ground))
                if (at >= from_ && at <= to_) keys_.push_back({at, ListingRowKind::Interval, profile_.LabelOf(at), true});
        }
    }
    std::stable_sort(keys_.begin(), keys_.end(), [](const KeyRow& a, const KeyRow& b) {
        return a.internal != b.internal ? a.internal < b.internal : Rank(a.kind) < Rank(b.kind);
    });
    // At one place: both stations of a break if there is one, else the first key point.
    std::vector<KeyRow> kept;
    kept.reserve(keys_.size());
    for (std::size_t i = 0; i < keys_.size();) {
        std::size_t end = i + 1;
        while (end < keys_.size() && SamePlace(keys_[i].internal, keys_[end].internal)) ++end;
        const std::size_t first = kept.size();
        if (IsBreak(keys_[i].kind)) {
            for (std::size_t k = i; k < end && IsBreak(keys_[k].kind); ++k) kept.push_back(keys_[k]);
        } else {
            kept.push_back(keys_[i]);
        }
        for (std::size_t k = i; k < end; ++k)
            if (keys_[k].zeroPoint) kept[first].zeroPoint = true;
        i = end;
    }
    keys_ = std::move(kept);

    // Interval labels, region by region along the road.
    double intervals = 0;
    const double inf = std::numeric_limits<double>::infinity();
    for (std::size_t r = 0; r < chain.RegionCount(); ++r) {
        const double regionLow = r == 0 ? -inf : chain.BreakInternal(r - 1);
        const double regionHigh = r + 1 == chain.RegionCount() ? inf : chain.BreakInternal(r);
        IntervalRun run{r, std::max(from_, regionLow), std::min(to_, regionHigh), 0, 0};
        if (run.low > run.high) continue;
        // The labels at the ends of the stretch: a break's own labels, or the
        // range's, exactly as given.
        const auto labelAt = [&](double at) {
            if (r == 0) return at;
            if (at == regionLow) return chain.RegionLabelFrom(r);
            if (at == regionHigh) return chain.RegionLabelTo(r);
            if (at == from_) return range_.from.value;
            if (at == to_) return range_.to.value;
            return chain.ToLabel(at).value;
        };
        const double lowLabel = labelAt(run.low);
        const double highLabel = labelAt(run.high);
        const double origin = range_.from.value;
        double first = std::ceil((lowLabel - origin) / step);
        while (origin + first * step < lowLabel) ++first;
        while (origin + (first - 1) * step >= lowLabel) --first;
        double last = std::floor((highLabel - origin) / step);
        while (origin + last * step > highLabel) --last;
        while (origin + (last + 1) * step <= highLabel) ++last;
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

template <typename Row>
void Listing::Walk(bool labels, Row&& row) const {
    const Chainage& chain = profile_.Chains();
    std::size_t k = 0;
    for (const IntervalRun& run : runs_) {
        for (double n = run.first; n <= run.last; ++n) {
            const double label = range_.from.value + n * range_.step;
            const double at = std::clamp(chain.InternalInRegion(label, run.region), run.low, run.high);
            for (; k < keys_.size() && keys_[k].internal < at && !SamePlace(keys_[k].internal, at); ++k)
                if (!row(keys_[k].internal, keys_[k].kind, keys_[k].label, keys_[k].zeroPoint)) return;
            // A key point at the same place gives the row instead.
            if (k < keys_.size() && SamePlace(keys_[k].internal, at)) continue;
            const Station shown = labels ? chain.LabelInRegion(label, run.region) : Station{label, 0};
            if (!row(at, ListingRowKind::Interval, shown, false)) return;
        }
    }
    for (; k < keys_.size(); ++k)
        if (!row(keys_[k].internal, keys_[k].kind, keys_[k].label, keys_[k].zeroPoint)) return;
}

}  // namespace

ProfileListingResult ListProfile(const Profile& profile, const ProfileRange& range,
                                 std::uint64_t maxRows,
                                 const std::function<void(const ProfileListingRow&)>& sink) {
    ProfileListingResult result;
    Listing listing(profile, range);
    if (listing.Prepare(maxRows, result)) {
        std::uint64_t count = 0;
        listing.Walk(false, [&](double, ListingRowKind, const Station&, bool) { return ++count <= maxRows; });
        if (count > maxRows) {
            result.fault = ListingFault::TooManyRows;
            result.estimate = 0;  // known only to be above the limit
        } else {
            result.rows = count;
        }
    }
    if (result.fault != ListingFault::None) {
        result.ok = false;
        return result;
    }

    ProfileCursor cursor(profile);
    std::optional<GroundCursor> ground;
    if (range.ground) ground.emplace(*range.ground);
    ProfileListingRow out;
    listing.Walk(true, [&](double at, ListingRowKind kind, const Station& label, bool zeroPoint) {
        out.internal = at;
        out.label = label;
        out.kind = kind;
        out.value = cursor.At(at);
        out.zeroPoint = zeroPoint;
        if (ground) out.ground = ground->At(at);
        sink(out);
        return true;
    });
    return result;
}

}  // namespace tarnvel
