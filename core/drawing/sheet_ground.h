#pragma once
// The ground line as the sheets draw it, built the one way the command line
// and the window share.

#include "core/drawing/sheet.h"
#include "core/profile/ground_line.h"

namespace tarnvel {

// The surveyed polyline, its elevation at a station and where the design
// crosses it. The result looks the line up, so `line` must outlive it (and
// every BuildSheets given it).
SheetGround SheetGroundOf(const Profile& profile, const GroundLine& line);

}  // namespace tarnvel
