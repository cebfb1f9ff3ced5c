#pragma once
// 放样数据 files: the points of a 逐桩坐标 listing for survey controllers, as
// CSV (name,code,east,north,elevation, no header, UTF-8 or GBK) and as a DXF
// drawing of points with their names in real coordinates (x east, y north,
// metres: $INSUNITS 6), so that they lie on the survey's map in CAD. The rows
// and names are the command line's (core/text/stakeout_text.h). Every file is
// written atomically.

#include <optional>
#include <span>
#include <string>

#include "core/text/stakeout_text.h"
#include "io/io_failure.h"

namespace tarnvel::io {

enum class StakeoutEncoding { Utf8, Gbk };

// Without a byte-order mark: a controller would take it for part of the
// first point's name.
std::string StakeoutCsvBytes(std::span<const StakeoutPoint> points, StakeoutEncoding encoding,
                             const TextOptions& options);
std::optional<IoFailure> WriteStakeoutCsv(const std::string& path, std::span<const StakeoutPoint> points,
                                          StakeoutEncoding encoding, const TextOptions& options);

// The layers of the drawing, and the height of a name in metres (legible at
// 1:500 to 1:1000, small enough not to cover the next stake 5 m away).
inline constexpr const char* kStakeoutPointLayer = "放样点";
inline constexpr const char* kStakeoutNameLayer = "放样点名";
inline constexpr double kStakeoutNameHeight = 1.0;

// An AutoCAD R2000 drawing: a POINT per point (z its elevation, 0 without
// one) and a TEXT of its name beside it, in GBK (code page 936).
std::string StakeoutDxf(std::span<const StakeoutPoint> points, const TextOptions& options);
std::optional<IoFailure> WriteStakeoutDxf(const std::string& path, std::span<const StakeoutPoint> points,
                                          const TextOptions& options);

}  // namespace tarnvel::io
