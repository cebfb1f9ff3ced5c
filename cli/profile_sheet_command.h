#pragma once
// tarnvel-cli profile sheet PROFILE --output FILE.pdf|FILE.dxf|FILE.svg
//   [--paper A3|A4] [--horizontal-scale N] [--vertical-scale N] [--from A --to B]
//   [--project TEXT] [--drawing-number TEXT] [--profile NAME]
//   [--ground G [--ground-surface NAME]]:
// the 纵断面图 sheets, one row of the profile sub-command table.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"
#include "core/drawing/page.h"
#include "io/io_failure.h"
#include "cli/profile_options.h"

namespace tarnvel::cli {

inline constexpr OptionSpec kSheetOptions[] = {
    {"output", true, "文件", "写入的图纸：.pdf（每张一页）、.dxf（各张并排）或 .svg（第一张）", false,
     FileRole::Output},
    {"paper", true, "A3|A4", "图幅，横放（默认 A3）"},
    {"horizontal-scale", true, "N", "横向比例 1:N（500、1000、2000 或 5000，默认 2000）"},
    {"vertical-scale", true, "N", "竖向比例 1:N（默认 200；放大倍数须在 1 至 50 之间）"},
    {"from", true, "桩号", "出图起点桩号（默认纵断面起点）"},
    {"to", true, "桩号", "出图终点桩号（默认纵断面终点）"},
    {"project", true, "文字", "图签中的项目名称"},
    {"drawing-number", true, "文字", "图签中的图号"},
    {"elements-table", false, {}, "图纸之后另附竖曲线要素表（同一图幅和图签，每页重复表头）"},
    kProfileNameOption,
    kGroundOption,
    kGroundSurfaceOption,
};

int RunProfileSheet(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace tarnvel::cli
