#pragma once
// tarnvel-cli profile check PROFILE [--controls C.csv] [--criteria FILE]
//   [--format text|csv]: the profile against its control elevations and the
// designer's criteria, one row of the profile sub-command table. Exit 1 when
// one is violated, 0 when all hold.

#include <iosfwd>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/profile_options.h"

namespace tarnvel::cli {

inline constexpr OptionSpec kCheckOptions[] = {
    {"controls", true, "文件", "控制标高表（CSV：桩号,最低高程,最高高程,名称）", false, FileRole::Input},
    {"criteria", true, "文件", "设计标准（CSV：criterion,value；max_grade、min_grade 等，数值由使用者给定）", false, FileRole::Input},
    kFormatOption,
    kDecimalsOption,
    kStationStyleOption,
    kProfileNameOption,
};

int RunProfileCheck(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace tarnvel::cli
