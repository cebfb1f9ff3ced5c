#pragma once
// A profile drawing as an SVG document: the whole plot fitted to a page of
// the given pixels at the given exaggeration, laid out as the window lays it
// out (plot_page.h) and written by the page backend.

#include <string>

#include "core/profile/ground_line.h"
#include "core/profile/profile.h"
#include "core/drawing/profile_drawing.h"

namespace tarnvel {

struct SvgPage {
    int width = 1600;  // pixels
    int height = 900;
    double exaggeration = 10;
};

// With a ground line (checked against this profile) the plot shows the
// ground, fill and cut, the zero points and the legend.
std::string DrawingSvg(const Profile& profile, const ProfileDrawing& drawing, const SvgPage& page,
                       const GroundLine* ground = nullptr);

}  // namespace tarnvel
