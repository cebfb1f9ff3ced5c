#pragma once
// The stations of a listing along a road, whatever is listed at them (the
// profile's elevations, the plan's coordinates): whole-interval labels
// from + n × step region by region across the chain breaks, merged with the
// key stations the caller names (the breaks themselves and the ends are
// added here). The interval labels are multiplied, not accumulated, so a long
// range does not drift.

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/profile/chain.h"
#include "core/profile/profile_listing.h"

namespace tarnvel {

// A key station. Key rows at one place give one row: both stations of a
// break if there is one, else the first by kind; their `marks` (the caller's
// own flags) are joined.
struct WalkKey {
    double internal = 0;
    ListingRowKind kind = ListingRowKind::Pvi;
    Station label;
    unsigned marks = 0;
};

struct WalkRoad {
    const Chainage& chains;
    double start = 0, end = 0;  // internal stations of the road's ends
};

// Starts a listing's result with the range asked for and places the range's
// ends on the road with `place` (a label to an internal station on the road,
// throwing StationError where there is none). False, with the fault set, when
// the step or an end is refused.
template <typename Place>
bool PlaceRange(const ProfileRange& range, std::uint64_t maxRows, Place&& place, ProfileListingResult& result,
                double& from, double& to) {
    result.from = range.from;
    result.to = range.to;
    result.step = range.step;
    result.maxRows = maxRows;
    if (!std::isfinite(range.step) || range.step <= 0) {
        result.fault = ListingFault::StepNotPositive;
        return false;
    }
    try {
        from = place(range.from);
        to = place(range.to);
    } catch (const StationError& e) {
        result.station = e.fault();
        result.fault = ListingFault::StationOff;
        return false;
    }
    return true;
}

class StationWalk {
public:
    // Checks the range (`from` and `to` already placed on the road as
    // internal stations by the caller) and prepares the rows; `keys` are the
    // caller's key stations (only those within the range are kept). Sets the
    // fault in `result` and returns false when refused.
    bool Prepare(const WalkRoad& road, const ProfileRange& range, double from, double to, std::vector<WalkKey> keys,
                 std::uint64_t maxRows, ProfileListingResult& result);

    // Counts the rows (stopping above maxRows) and sets result.rows or the
    // TooManyRows fault; true when the listing may go ahead.
    bool Count(std::uint64_t maxRows, ProfileListingResult& result) const;

    // Walks the rows in order, calling row(internal, kind, label, marks) for
    // each; stops when it returns false. Interval labels carry no occurrence
    // unless `labels` is set (counting does not need them).
    template <typename Row>
    void Walk(bool labels, Row&& row) const;

private:
    // The whole-interval labels of one region of the road: from + n × step for
    // n in [first, last], at internal stations within [low, high].
    struct IntervalRun {
        std::size_t region = 0;
        double low = 0, high = 0;
        double first = 0, last = 0;  // whole numbers
    };
    const Chainage* chains_ = nullptr;
    double origin_ = 0, step_ = 0;
    std::vector<IntervalRun> runs_;
    std::vector<WalkKey> keys_;
};

// Two stations this close are one place: a key point computed as PVI − T and
// an interval label that should be the same station differ only by rounding.
bool SamePlace(double a, double b);

template <typename Row>
void StationWalk::Walk(bool labels, Row&& row) const {
    std::size_t k = 0;
    Chainage::LabelHint hint;  // the labels of a run increase
    for (const IntervalRun& run : runs_) {
        for (double n = run.first; n <= run.last; ++n) {
            const double label = origin_ + n * step_;
            const double at = std::clamp(chains_->InternalInRegion(label, run.region), run.low, run.high);
            for (; k < keys_.size() && keys_[k].internal < at && !SamePlace(keys_[k].internal, at); ++k)
                if (!row(keys_[k].internal, keys_[k].kind, keys_[k].label, keys_[k].marks)) return;
            // A key point at the same place gives the row instead.
            if (k < keys_.size() && SamePlace(keys_[k].internal, at)) continue;
            const Station shown = labels ? chains_->LabelInRegion(label, run.region, hint) : Station{label, 0};
            if (!row(at, ListingRowKind::Interval, shown, 0u)) return;
        }
    }
    for (; k < keys_.size(); ++k)
        if (!row(keys_[k].internal, keys_[k].kind, keys_[k].label, keys_[k].marks)) return;
}

}  // namespace tarnvel
