#pragma once
// Text forms of a route's numbers: the 直线、曲线及转角表 (or the element list
// of a route a 交点表 cannot express), and the lines of the 逐桩坐标 listing,
// 坐标反算 and single points — for people (Chinese headers, angles in 度分秒)
// and as CSV (English headers, angles in decimal degrees). Under the output
// vocabulary's one precision policy (TextOptions, ColumnDecimals): lengths
// and coordinates with `decimals`, stations with at least three, angles in
// decimal degrees with four more.

#include <optional>
#include <string>
#include <vector>

#include "core/plan/plan.h"
#include "core/plan/plan_listing.h"
#include "core/text/output_vocabulary.h"

namespace tarnvel {

// Decimals of an angle in decimal degrees, and of the seconds of one in 度分秒.
int AngleDecimals(const TextOptions& options);
int SecondDecimals(const TextOptions& options);

// The curve table, one row per 交点; the CSV header exactly:
// point,station,north,east,turn,deflection,radius,spiral_in,spiral_out,
// tangent_in,tangent_out,curve_length,external,difference,zh,hy,qz,yh,hz
// (zh = hy = ZY and yh = hz = YZ where a side has no spiral).
std::string CurveTableCsv(const Plan& plan, const TextOptions& options);
// The same under the title 直线、曲线及转角表 with the legs' lengths and
// azimuths, the start and end points on their own rows, the unit said.
std::string CurveTableText(const Plan& plan, const TextOptions& options);
// Its cells, the header row first: what the text aligns and the window shows.
std::vector<std::vector<std::string>> CurveTableRows(const Plan& plan, const TextOptions& options);

// The 曲线要素表 a plan drawing carries: a header row (交点, 转角α, 半径R,
// 缓和曲线Ls, 切线长T, 曲线长L, 外距E), then one row per 交点; α in 度分秒
// with its side, unequal spirals and tangents as "Ls1/Ls2" and "T1/T2".
std::vector<std::vector<std::string>> CurveElementCells(const std::vector<CurveTableRow>& rows,
                                                        const TextOptions& options);

// The elements of the route, one row each; the CSV header exactly:
// element,kind,start_station,end_station,length,radius_start,radius_end,
// north_start,east_start,north_end,east_end,azimuth_start,azimuth_end
// (a straight end's radius is an empty cell).
std::string ElementListCsv(const Plan& plan, const TextOptions& options);
std::string ElementListText(const Plan& plan, const TextOptions& options);
// Its cells, the header row first.
std::vector<std::vector<std::string>> ElementListRows(const Plan& plan, const TextOptions& options);

// One line of `at` and `list`: a place on the route, at an offset.
struct PlanPointLine {
    Station label;
    double offset = 0;
    PlanPoint at;
    double azimuth = 0;                // of the centre line, radians
    std::optional<double> elevation;   // with a profile
    ListingRowKind kind = ListingRowKind::Interval;
    unsigned keys = 0;                 // PlanKeyBit of the main points here
};

// station,offset,north,east,azimuth,elevation,note — or its Chinese form,
// tab-separated: 桩号 偏距 X(北) Y(东) 方位角 设计高程 备注.
std::string PlanPointHeader(bool csv, const TextOptions& options);
void AppendPlanPoint(std::string& out, bool csv, const PlanPointLine& line, const TextOptions& options);
// The same line a column at a time, for tables that show its cells: the
// header word (the English key with `csv`) and the cell, as the line has them.
enum class PlanPointColumn { Station, Offset, North, East, Azimuth, Elevation, Note };
inline constexpr PlanPointColumn kPlanPointColumns[] = {
    PlanPointColumn::Station, PlanPointColumn::Offset,    PlanPointColumn::North, PlanPointColumn::East,
    PlanPointColumn::Azimuth, PlanPointColumn::Elevation, PlanPointColumn::Note};
std::string_view PlanPointColumnName(PlanPointColumn column, bool csv);
void AppendPlanPointCell(std::string& out, PlanPointColumn column, bool csv, const PlanPointLine& line,
                         const TextOptions& options);
// The note of a row: 起点, 终点, 断链前, 断链后 and the main points, joined by "、".
void AppendPlanNote(std::string& out, ListingRowKind kind, unsigned keys);

// 坐标反算: name,north,east,station,offset — name, north and east as given;
// station and offset empty for a point without a foot.
std::string InverseHeader(bool csv, const TextOptions& options);
void AppendInverse(std::string& out, bool csv, std::string_view name, std::string_view north, std::string_view east,
                   const std::optional<Station>& label, double offset, const TextOptions& options);

}  // namespace tarnvel
