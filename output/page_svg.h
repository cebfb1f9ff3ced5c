#pragma once
// A page as an SVG document: the page's millimetres as the view box, one
// class of style a role (written once, from the table of looks), texts
// placed by their anchor and turned by their angle.

#include <string>

#include "core/drawing/page.h"

namespace tarnvel {

struct SvgOptions {
    // The document's nominal size: in millimetres when 0, else in pixels of
    // this many to the millimetre (a plot made for a screen).
    double pixelsPerMm = 0;
};

std::string PageSvg(const Page& page, const SvgOptions& options = {});

}  // namespace tarnvel
