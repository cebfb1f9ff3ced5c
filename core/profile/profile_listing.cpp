#include "core/profile/profile_listing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/profile/station_walk.h"


namespace tarnvel {
namespace {

// The mark of a zero point (填挖交界) among a walk's key rows.
constexpr unsigned kZeroPoint = 1;

}  // namespace

ProfileListingResult ListProfile(const Profile& profile, const ProfileRange& range,
                                 std::uint64_t maxRows,
                                 const std::function<void(const ProfileListingRow&)>& sink) {
    ProfileListingResult result;
    StationWalk walk;
    const bool ready = [&] {
        double from = 0, to = 0;
        const auto place = [&](const Station& label) { return profile.OnProfile(profile.InternalOf(label)); };
        if (!PlaceRange(range, maxRows, place, result, from, to)) return false;
        std::vector<WalkKey> keys;
        if (range.keyPoints) {
            const auto add = [&](double at, ListingRowKind kind) {
                if (at >= from && at <= to) keys.push_back({at, kind, profile.LabelOf(at)});
            };
            for (const CurveElementsRow& e : profile.Elements()) {
                if (e.length > 0) add(e.startStation, ListingRowKind::CurveStart);
                add(e.pviStation, ListingRowKind::Pvi);
                if (e.length > 0) add(e.endStation, ListingRowKind::CurveEnd);
                if (e.extremeStation) add(*e.extremeStation, ListingRowKind::Extreme);
            }
            // Zero points rank last: at another key point they only add their mark.
            if (range.ground) {
                for (double at : FindZeroPoints(profile, *range.ground))
                    if (at >= from && at <= to)
                        keys.push_back({at, ListingRowKind::Interval, profile.LabelOf(at), kZeroPoint});
            }
        }
        const WalkRoad road{profile.Chains(), profile.StartStation(), profile.EndStation()};
        return walk.Prepare(road, range, from, to, std::move(keys), maxRows, result) && walk.Count(maxRows, result);
    }();
    if (!ready) {
        result.ok = false;
        return result;
    }

    ProfileCursor cursor(profile);
    std::optional<GroundCursor> ground;
    if (range.ground) ground.emplace(*range.ground);
    ProfileListingRow out;
    walk.Walk(true, [&](double at, ListingRowKind kind, const Station& label, unsigned marks) {
        out.internal = at;
        out.label = label;
        out.kind = kind;
        out.value = cursor.At(at);
        out.zeroPoint = (marks & kZeroPoint) != 0;
        if (ground) out.ground = ground->At(at);
        sink(out);
        return true;
    });
    return result;
}

}  // namespace tarnvel
