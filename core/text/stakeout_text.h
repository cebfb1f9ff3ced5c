#pragma once
// 放样数据: the points of a 逐桩坐标 listing as survey controllers import
// them, one line each: name,code,east,north,elevation. A point is named by
// its station in K notation with only the decimals it needs, and an offset
// point by the side and distance as well: "K1+260", "K1+260左7.5",
// "K5+350(2)右12". The command line, the CSV files and the DXF points all
// take their rows and names from here.

#include <functional>
#include <optional>
#include <span>
#include <string>

#include "core/plan/plan_listing.h"
#include "core/text/output_vocabulary.h"

namespace tarnvel {

struct StakeoutPoint {
    Station label;
    double offset = 0;  // right positive; 0 on the centre line
    PlanPoint at;
    std::optional<double> elevation;
};

// The name of a point: the label at the station precision of `options`
// (ColumnDecimals), the offset at the length precision, both without
// trailing zeros.
std::string StakeoutName(const Station& label, double offset, const TextOptions& options);

// name,code,east,north,elevation and `options.lineEnd`: the code empty, the
// elevation empty where the point has none; east and north at the length
// precision, the elevation at the elevation precision.
void AppendStakeoutRow(std::string& out, const StakeoutPoint& point, const TextOptions& options);

// The points of one listing row, one per offset in the order given. Only the
// centre-line point carries `centreElevation`: the design elevation beside
// the centre line depends on the cross-section (crossfall, superelevation),
// which the profile does not know, so a side point's elevation stays empty
// rather than taking the centre line's.
void ForEachStakeoutPoint(const PlanListingRow& row, std::span<const double> offsets,
                          std::optional<double> centreElevation,
                          const std::function<void(const StakeoutPoint&)>& sink);

// Two offsets of `offsets` that would name their points alike (7.5 and
// 7.5001 at three decimals): points of one file must not share a name, or a
// controller keeps only one of them. Nothing when all names differ.
std::optional<std::pair<double, double>> OffsetsNamedAlike(std::span<const double> offsets,
                                                           const TextOptions& options);

}  // namespace tarnvel
