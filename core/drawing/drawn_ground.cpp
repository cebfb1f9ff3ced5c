#include "core/drawing/drawn_ground.h"

#include <algorithm>

namespace tarnvel {

DrawnGround MakeDrawnGround(const Profile& profile, const GroundLine& ground) {
    DrawnGround drawn;
    drawn.line = &ground;
    FillCutCrossings crossings = CrossGround(profile, ground);
    drawn.zeroPoints = std::move(crossings.zeroPoints);
    drawn.stretches = std::move(crossings.stretches);
    const auto& z = ground.Elevations();
    if (!z.empty()) {
        const auto [low, high] = std::minmax_element(z.begin(), z.end());
        drawn.minElevation = *low;
        drawn.maxElevation = *high;
    }
    return drawn;
}

}  // namespace tarnvel
