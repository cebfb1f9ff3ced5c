#pragma once
// The ground line as every drawing takes it — the plot in the window, its
// PNG, SVG and PDF, and the 纵断面图 sheets: the surveyed line itself, where
// the design crosses it (填挖交界) and which stretches are fill or cut, solved
// once for a profile and its ground rather than again for every view or
// sheet, and the elevations it spans. All stations are internal.

#include <vector>

#include "core/profile/ground_line.h"
#include "core/profile/profile.h"

namespace tarnvel {

// The line is borrowed: it must outlive this (the window and the commands
// hold both side by side).
struct DrawnGround {
    const GroundLine* line = nullptr;
    std::vector<double> zeroPoints;         // 填挖交界, increasing
    std::vector<FillCutStretch> stretches;  // in order along the road
    double minElevation = 0, maxElevation = 0;
};

DrawnGround MakeDrawnGround(const Profile& profile, const GroundLine& ground);

}  // namespace tarnvel
