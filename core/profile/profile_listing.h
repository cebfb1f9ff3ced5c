#pragma once
// Listing a profile over a station range at a fixed interval, optionally with
// its key points, as numbers. The text table, the CSV and the window's table
// are consumers of the rows.

#include <cstdint>
#include <functional>

#include "core/profile/ground_line.h"
#include "core/profile/profile.h"

namespace tarnvel {

enum class ListingRowKind {
    Interval,    // a whole-interval label: from + n × step
    Start,       // the profile's first and last stations, when the range reaches them
    End,
    CurveStart,  // key points (only with keyPoints)
    Pvi,
    CurveEnd,
    Extreme,     // high or low point inside a curve
    BreakBack,   // the two stations of a chain break inside the range, always listed
    BreakAhead,
};

struct ProfileListingRow {
    double internal = 0;  // along the road
    Station label;        // what the drawings show (occurrence set where ambiguous)
    ProfileValue value;
    ListingRowKind kind = ListingRowKind::Interval;
    // With a ground line: the ground elevation (nothing outside the surveyed
    // range), and whether the design crosses the ground here (填挖交界). A
    // zero point that falls on no other key point is a row of kind Interval.
    std::optional<double> ground;
    bool zeroPoint = false;
};

struct ProfileRange {
    Station from;
    Station to;
    double step = 0;       // > 0, in the profile's unit
    bool keyPoints = false;
    // The ground line the rows carry, checked against the same profile; with
    // keyPoints its zero points are key points too.
    const GroundLine* ground = nullptr;
};

// Why a listing was refused.
enum class ListingFault {
    None,
    StepNotPositive,  // `step`
    ToBeforeFrom,     // `from`, `to`
    StepTooSmall,     // `step`: labels n × step apart could not be told apart
    TooManyRows,      // about `estimate` rows, more than `maxRows`
    StationOff,       // `station` says why `from` or `to` is not on the profile
};

struct ProfileListingResult {
    bool ok = true;
    std::uint64_t rows = 0;
    ListingFault fault = ListingFault::None;
    Station from, to;
    double step = 0;
    double estimate = 0;
    std::uint64_t maxRows = 0;
    StationFault station;
};

// Lists the rows in order along the road. Interval labels are from + n × step
// (multiplied, not accumulated, so no drift over a long range), each lying
// within `from` … `to` along the road. Over a chain break, the interval labels
// continue on each side as labels (on the far side of a short chain the first
// whole-interval label after the gap; over a long chain the labels run again
// from the ahead label), and the break's back and ahead stations are both
// listed. A key point that falls on an interval label or another key point
// gives one row (the key point's kind wins). A range that reaches an end of
// the profile lists that end, marked Start or End (a listing to the end
// always ends with the end point, whatever the step). A step that is not positive, a
// `to` before `from`, a label outside the profile or one the chain table
// cannot place, or more than `maxRows` rows is refused with nothing passed to
// the sink (the row count is known before the first row is written).
ProfileListingResult ListProfile(const Profile& profile, const ProfileRange& range,
                                 std::uint64_t maxRows,
                                 const std::function<void(const ProfileListingRow&)>& sink);

}  // namespace tarnvel
