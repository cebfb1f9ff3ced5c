#pragma once
// tarnvel-cli profile plot PROFILE --output FILE.svg [--exaggeration N]
//   [--width PX --height PX] [--profile NAME]: the profile's drawing as SVG.

#include <iosfwd>

#include "cli/commands.h"

namespace tarnvel::cli {

int RunProfilePlot(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace tarnvel::cli
