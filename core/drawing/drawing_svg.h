#pragma once
// A profile drawing as an SVG document: the plot fitted to the page at the
// given exaggeration, with the station axis in K notation, the elevation
// axis and the chain breaks. Pure text, for the command line and the window.

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
