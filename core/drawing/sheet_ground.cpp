#include "core/drawing/sheet_ground.h"

namespace tarnvel {

SheetGround SheetGroundOf(const Profile& profile, const GroundLine& line) {
    SheetGround ground;
    ground.stations = line.Stations();
    ground.elevations = line.Elevations();
    ground.at = [&line](double internal) { return line.At(internal); };
    ground.zeroPoints = FindZeroPoints(profile, line);
    return ground;
}

}  // namespace tarnvel
