#include "core/plan/plan_listing.h"

#include <cmath>
#include <vector>

#include "core/profile/station_walk.h"

namespace tarnvel {

ProfileListingResult ListPlan(const Plan& plan, const ProfileRange& range, std::uint64_t maxRows,
                              const std::function<void(const PlanListingRow&)>& sink) {
    ProfileListingResult result;
    StationWalk walk;
    const bool ready = [&] {
        double from = 0, to = 0;
        const auto place = [&](const Station& label) { return plan.OnRoute(plan.InternalOf(label)); };
        if (!PlaceRange(range, maxRows, place, result, from, to)) return false;
        // The ends are key rows of their own too, so that a main point on an
        // end keeps both words.
        std::vector<WalkKey> keys;
        for (const PlanKeyPoint& k : plan.KeyPoints()) {
            const bool end = k.kind == PlanKeyKind::Start || k.kind == PlanKeyKind::End;
            if (range.keyPoints || end)
                keys.push_back({k.internal,
                                k.kind == PlanKeyKind::Start ? ListingRowKind::Start
                                : k.kind == PlanKeyKind::End ? ListingRowKind::End
                                                             : ListingRowKind::Pvi,
                                plan.LabelOf(k.internal), PlanKeyBit(k.kind)});
        }
        const WalkRoad road{plan.Chains(), plan.StartStation(), plan.EndStation()};
        return walk.Prepare(road, range, from, to, std::move(keys), maxRows, result) && walk.Count(maxRows, result);
    }();
    if (!ready) {
        result.ok = false;
        return result;
    }
    PlanCursor cursor(plan);
    PlanListingRow out;
    walk.Walk(true, [&](double at, ListingRowKind kind, const Station& label, unsigned marks) {
        out.internal = at;
        out.label = label;
        out.kind = kind;
        out.keys = marks;
        out.pose = cursor.At(at);
        sink(out);
        return true;
    });
    return result;
}

double RoadElevationAt(const Profile& profile, const Plan& plan, double internal) {
    return profile.At(profile.OnProfile(profile.InternalOf(plan.LabelOf(internal)))).elevation;
}

PlanListingRow PlanRowAt(const Plan& plan, double internal, const Station& label) {
    PlanListingRow row;
    row.internal = internal;
    row.label = label;
    row.pose = plan.At(internal);
    for (const PlanKeyPoint& k : plan.KeyPoints())
        if (SamePlace(k.internal, internal)) row.keys |= PlanKeyBit(k.kind);
    const Chainage& chains = plan.Chains();
    for (std::size_t j = 0; j < chains.Breaks().size(); ++j) {
        if (!SamePlace(chains.BreakInternal(j), internal)) continue;
        const ChainBreak& b = chains.Breaks()[j];
        row.kind = std::fabs(label.value - b.back) < std::fabs(label.value - b.ahead) ? ListingRowKind::BreakBack
                                                                                       : ListingRowKind::BreakAhead;
    }
    return row;
}

}  // namespace tarnvel
