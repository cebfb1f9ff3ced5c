#pragma once
// A profile drawing as an SVG document: the whole plot fitted to a page of
// the given pixels at the given exaggeration, laid out as the window lays it
// out (plot_page.h) and written by the page backend.

#include <string>

#include "core/profile/profile.h"
#include "core/drawing/profile_drawing.h"

namespace tarnvel {

struct SvgPage {
    int width = 1600;  // pixels
    int height = 900;
    double exaggeration = 10;
};

std::string DrawingSvg(const Profile& profile, const ProfileDrawing& drawing, const SvgPage& page);

}  // namespace tarnvel
