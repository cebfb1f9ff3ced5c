#pragma once
// The horizontal geometry of a LandXML alignment (CoordGeom: Line, Curve,
// Spiral), read for the 直线及平曲线 band of the sheets.

#include <optional>
#include <string>
#include <string_view>

#include "core/profile/horizontal.h"
#include "io/io_failure.h"

namespace tarnvel::io {

// What the file says about the alignment's horizontal geometry. Neither set:
// the alignment has none, or only the single straight line a profile-only
// writer puts there because the schema asks for one. A problem: the geometry
// is there but cannot be drawn, and the sheets go without the band.
struct HorizontalReading {
    std::optional<HorizontalAlignment> alignment;
    std::optional<HorizontalProblem> problem;
};

// The CoordGeom of the Alignment named `alignment` (empty: the first of the
// file). Stations run from the alignment's staStart, in the internal stations
// the profile uses, each element's length added in file order: its `length`
// attribute, or for lines and arcs the one its coordinates give. A file that
// is not LandXML is a failure, as for the profile.
Result<HorizontalReading> ParseLandXmlHorizontal(std::string_view bytes, std::string_view alignment,
                                                 std::string_view path);
// The same from a file; a CSV profile has no horizontal geometry.
Result<HorizontalReading> ReadLandXmlHorizontal(const std::string& path, std::string_view alignment);

}  // namespace tarnvel::io
