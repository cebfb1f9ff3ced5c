#pragma once
// The 逐桩坐标 listing: every interval station of a range and, with key
// points, the main points, as numbers (the centre line's pose at each); the
// chain breaks and the route's ends are always listed. The stations are
// walked exactly as the profile's listing walks them, so a route and a
// profile of the same road list the same stations.

#include <cstdint>
#include <functional>

#include "core/plan/plan.h"
#include "core/profile/profile_listing.h"

namespace tarnvel {

struct PlanListingRow {
    double internal = 0;
    Station label;
    ListingRowKind kind = ListingRowKind::Interval;  // Start, End, BreakBack, BreakAhead or a key point (Pvi)
    unsigned keys = 0;  // the main points here: bit PlanKeyBit(kind) for each
    PlanPose pose;
};

constexpr unsigned PlanKeyBit(PlanKeyKind kind) { return 1u << static_cast<unsigned>(kind); }

// The row of a single station (`plan at`): its main points, and which side
// of a chain break the label names where it lies on one.
PlanListingRow PlanRowAt(const Plan& plan, double internal, const Station& label);

// The design elevation of `profile` at a place of the route, found through
// the station label both share (their chain tables may differ); throws
// StationError where the profile does not reach.
double RoadElevationAt(const Profile& profile, const Plan& plan, double internal);

// `range.ground` is not used. Refusals as ListProfile's, with nothing passed
// to the sink.
ProfileListingResult ListPlan(const Plan& plan, const ProfileRange& range, std::uint64_t maxRows,
                              const std::function<void(const PlanListingRow&)>& sink);

}  // namespace tarnvel
