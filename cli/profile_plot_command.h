#pragma once
// tarnvel-cli profile plot PROFILE --output FILE.svg [--exaggeration N]
//   [--width PX --height PX] [--profile NAME] [--ground G [--ground-surface N]]:
// the profile's drawing as SVG, with the ground, fill and cut when given, one
// row of the profile sub-command table.

#include <iosfwd>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/profile_options.h"

namespace tarnvel::cli {

inline constexpr OptionSpec kPlotOptions[] = {
    {"output", true, "文件.svg", "写入的 SVG 文件（须以 .svg 结尾）", false, FileRole::Output},
    {"exaggeration", true, "N", "竖向放大倍数（1 到 1000，默认 10）"},
    {"width", true, "PX", "图宽像素（16 到 20000，默认 1600）"},
    {"height", true, "PX", "图高像素（16 到 20000，默认 900）"},
    kProfileNameOption,
    kGroundOption,
    kGroundSurfaceOption,
};

int RunProfilePlot(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace tarnvel::cli
