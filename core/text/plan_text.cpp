#include "core/text/plan_text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/calculator/number_text.h"
#include "core/text/text_width.h"

namespace tarnvel {
namespace {

constexpr double kToDegrees = 180 / std::numbers::pi;

// A cell that may hold anything (a point's name from a file): quoted as a
// spreadsheet reads it back when it holds a separator, a quote or a line break.
void AppendCsvCell(std::string& out, std::string_view text) {
    if (text.find_first_of(",\t\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void AppendLength(std::string& out, double v, const TextOptions& o) {
    AppendFixedText(out, v, ColumnDecimals(ColumnKind::Length, o));
}

void AppendStation(std::string& out, const Station& label, const TextOptions& o) {
    out += FormatStation(label, o.stations, ColumnDecimals(ColumnKind::Station, o));
}

// Decimal degrees (CSV) or 度分秒 (text).
void AppendAngle(std::string& out, double radians, bool csv, const TextOptions& o) {
    if (csv) AppendFixedText(out, radians * kToDegrees, AngleDecimals(o));
    else AppendDegreesText(out, radians * kToDegrees, SecondDecimals(o));
}

// An azimuth in degrees that would print as 360 (a hair below it, rounded)
// prints as 0: azimuths are shown in [0, 360).
void AppendAzimuth(std::string& out, double radians, bool csv, const TextOptions& o) {
    double degrees = radians * kToDegrees;
    const double resolution = csv ? std::pow(10.0, -AngleDecimals(o)) : std::pow(10.0, -SecondDecimals(o)) / 3600;
    if (degrees >= 360 - resolution / 2) degrees = 0;
    if (csv) AppendFixedText(out, degrees, AngleDecimals(o));
    else AppendDegreesText(out, degrees, SecondDecimals(o));
}

std::string Length(double v, const TextOptions& o) {
    std::string s;
    AppendLength(s, v, o);
    return s;
}

std::string StationCell(const Plan& plan, double internal, const TextOptions& o) {
    std::string s;
    AppendStation(s, plan.LabelOf(internal), o);
    return s;
}

std::string Angle(double radians, bool csv, const TextOptions& o) {
    std::string s;
    AppendAngle(s, radians, csv, o);
    return s;
}

std::string Azimuth(double radians, bool csv, const TextOptions& o) {
    std::string s;
    AppendAzimuth(s, radians, csv, o);
    return s;
}

// The cells of one 交点 in the order of the CSV header.
std::vector<std::string> CurveCells(const Plan& plan, const CurveTableRow& r, bool csv, const TextOptions& o) {
    std::vector<std::string> cells;
    std::string name;
    if (csv) AppendCsvCell(name, r.name);
    else name = r.name.empty() ? "JD" + std::to_string(r.point) : r.name;
    cells.push_back(name);
    cells.push_back(StationCell(plan, r.station, o));
    cells.push_back(Length(r.at.north, o));
    cells.push_back(Length(r.at.east, o));
    const bool right = r.turn == PlanTurn::Right;
    cells.push_back(csv ? (right ? "R" : "L") : (right ? "右" : "左"));
    cells.push_back(Angle(r.deflection, csv, o));
    cells.push_back(Length(r.radius, o));
    cells.push_back(Length(r.spiralIn, o));
    cells.push_back(Length(r.spiralOut, o));
    cells.push_back(Length(r.tangentIn, o));
    cells.push_back(Length(r.tangentOut, o));
    cells.push_back(Length(r.length, o));
    cells.push_back(Length(r.external, o));
    cells.push_back(Length(r.difference, o));
    for (double s : {r.zh, r.hy, r.qz, r.yh, r.hz}) cells.push_back(StationCell(plan, s, o));
    return cells;
}

const char* ElementWord(PlanElementKind kind) {
    switch (kind) {
        case PlanElementKind::Line: return "Line";
        case PlanElementKind::Arc: return "Curve";
        case PlanElementKind::Spiral: return "Spiral";
    }
    return "";
}

std::vector<std::string> ElementCells(const Plan& plan, std::size_t i, bool csv, const TextOptions& o) {
    const PlanElement& e = plan.Elements()[i];
    const PlanPose end = plan.AtInElement(i, e.End());
    const auto radius = [&](double k) { return k == 0 ? std::string() : Length(1 / std::fabs(k), o); };
    return {std::to_string(i + 1),
            ElementWord(e.kind),
            StationCell(plan, e.start, o),
            StationCell(plan, e.End(), o),
            Length(e.length, o),
            radius(e.k0),
            radius(e.k1),
            Length(e.from.north, o),
            Length(e.from.east, o),
            Length(end.at.north, o),
            Length(end.at.east, o),
            Azimuth(e.azimuth, csv, o),
            Azimuth(end.azimuth, csv, o)};
}

std::string Csv(const std::vector<std::vector<std::string>>& rows, std::string_view header, const TextOptions& o) {
    std::string out(header);
    out += o.lineEnd;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) out += ',';
            out += row[i];
        }
        out += o.lineEnd;
    }
    return out;
}

std::string UnitLine(const Plan& plan, const TextOptions& o) {
    std::string out = "单位：坐标、桩号、长度为";
    out += LengthUnitName(plan.Unit());
    out += "；X 为北坐标，Y 为东坐标，方位角自北顺时针";
    out += o.lineEnd;
    return out;
}

}  // namespace

int AngleDecimals(const TextOptions& options) { return std::clamp(options.decimals + 4, 4, 12); }
int SecondDecimals(const TextOptions& options) { return std::clamp(options.decimals - 2, 0, 6); }

std::string CurveTableCsv(const Plan& plan, const TextOptions& options) {
    std::vector<std::vector<std::string>> rows;
    for (const CurveTableRow& r : plan.CurveTable()) rows.push_back(CurveCells(plan, r, true, options));
    return Csv(rows,
               "point,station,north,east,turn,deflection,radius,spiral_in,spiral_out,tangent_in,tangent_out,"
               "curve_length,external,difference,zh,hy,qz,yh,hz",
               options);
}

std::vector<std::vector<std::string>> CurveTableRows(const Plan& plan, const TextOptions& options) {
    std::vector<std::vector<std::string>> rows;
    rows.push_back({"交点号", "交点桩号", "X", "Y", "转向", "转角α", "半径R", "缓和曲线Ls1", "缓和曲线Ls2", "切线T1",
                    "切线T2", "曲线长L", "外距E", "校正值J", "ZH(ZY)", "HY", "QZ", "YH", "HZ(YZ)", "交点间距",
                    "方位角"});
    const auto& table = plan.CurveTable();
    const auto leg = [&](const PlanPoint& from, const PlanPoint& to, std::vector<std::string>& cells) {
        const double azimuth = std::atan2(to.east - from.east, to.north - from.north);
        cells.push_back(Length(std::hypot(to.north - from.north, to.east - from.east), options));
        cells.push_back(Azimuth(azimuth < 0 ? azimuth + 2 * std::numbers::pi : azimuth, false, options));
    };
    // The start and end points from the route itself.
    const PlanPose start = plan.At(plan.StartStation()), end = plan.At(plan.EndStation());
    std::vector<std::string> first = {"起点", StationCell(plan, plan.StartStation(), options),
                                      Length(start.at.north, options), Length(start.at.east, options)};
    first.resize(19);
    leg(start.at, table.empty() ? end.at : table.front().at, first);
    rows.push_back(first);
    for (std::size_t i = 0; i < table.size(); ++i) {
        std::vector<std::string> cells = CurveCells(plan, table[i], false, options);
        leg(table[i].at, i + 1 < table.size() ? table[i + 1].at : end.at, cells);
        rows.push_back(std::move(cells));
    }
    std::vector<std::string> last = {"终点", StationCell(plan, plan.EndStation(), options),
                                     Length(end.at.north, options), Length(end.at.east, options)};
    rows.push_back(last);
    return rows;
}

std::string CurveTableText(const Plan& plan, const TextOptions& options) {
    const std::vector<std::vector<std::string>> rows = CurveTableRows(plan, options);
    std::string out = "直线、曲线及转角表";
    out += options.lineEnd;
    out += UnitLine(plan, options);
    AppendAlignedTable(out, rows, options.lineEnd);
    return out;
}

std::vector<std::vector<std::string>> CurveElementCells(const std::vector<CurveTableRow>& rows,
                                                        const TextOptions& options) {
    std::vector<std::vector<std::string>> cells = {{"交点", "转角α", "半径R", "缓和曲线Ls", "切线长T", "曲线长L", "外距E"}};
    const auto pair = [&](double in, double out) {
        std::string text = Length(in, options);
        const std::string second = Length(out, options);
        if (second != text) text += "/" + second;
        return text;
    };
    for (const CurveTableRow& r : rows) {
        std::string angle = Angle(r.deflection, false, options);
        angle += r.turn == PlanTurn::Right ? "（右）" : "（左）";
        cells.push_back({r.name.empty() ? "JD" + std::to_string(r.point) : r.name, angle, Length(r.radius, options),
                         pair(r.spiralIn, r.spiralOut), pair(r.tangentIn, r.tangentOut), Length(r.length, options),
                         Length(r.external, options)});
    }
    return cells;
}

std::string ElementListCsv(const Plan& plan, const TextOptions& options) {
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < plan.Elements().size(); ++i) rows.push_back(ElementCells(plan, i, true, options));
    return Csv(rows,
               "element,kind,start_station,end_station,length,radius_start,radius_end,north_start,east_start,"
               "north_end,east_end,azimuth_start,azimuth_end",
               options);
}

std::vector<std::vector<std::string>> ElementListRows(const Plan& plan, const TextOptions& options) {
    std::vector<std::vector<std::string>> rows;
    rows.push_back({"元素", "类型", "起点桩号", "终点桩号", "长度", "起点半径", "终点半径", "起点X", "起点Y", "终点X",
                    "终点Y", "起点方位角", "终点方位角"});
    for (std::size_t i = 0; i < plan.Elements().size(); ++i) rows.push_back(ElementCells(plan, i, false, options));
    return rows;
}

std::string ElementListText(const Plan& plan, const TextOptions& options) {
    const std::vector<std::vector<std::string>> rows = ElementListRows(plan, options);
    std::string out = "平面线形元素表";
    out += options.lineEnd;
    out += UnitLine(plan, options);
    AppendAlignedTable(out, rows, options.lineEnd);
    return out;
}

std::string_view PlanPointColumnName(PlanPointColumn column, bool csv) {
    switch (column) {
        case PlanPointColumn::Station: return csv ? "station" : "桩号";
        case PlanPointColumn::Offset: return csv ? "offset" : "偏距";
        case PlanPointColumn::North: return csv ? "north" : "X(北)";
        case PlanPointColumn::East: return csv ? "east" : "Y(东)";
        case PlanPointColumn::Azimuth: return csv ? "azimuth" : "方位角";
        case PlanPointColumn::Elevation: return csv ? "elevation" : "设计高程";
        case PlanPointColumn::Note: return csv ? "note" : "备注";
    }
    return {};
}

std::string PlanPointHeader(bool csv, const TextOptions& options) {
    std::string out;
    for (PlanPointColumn column : kPlanPointColumns) {
        if (column != PlanPointColumn::Station) out += csv ? ',' : '\t';
        out += PlanPointColumnName(column, csv);
    }
    out += options.lineEnd;
    return out;
}

void AppendPlanNote(std::string& out, ListingRowKind kind, unsigned keys) {
    bool any = false;
    const auto add = [&](std::string_view word) {
        if (any) out += "、";
        out += word;
        any = true;
    };
    if (kind == ListingRowKind::BreakBack) add("断链前");
    if (kind == ListingRowKind::BreakAhead) add("断链后");
    for (PlanKeyKind k : {PlanKeyKind::Start, PlanKeyKind::ZH, PlanKeyKind::ZY, PlanKeyKind::HY, PlanKeyKind::QZ,
                          PlanKeyKind::YH, PlanKeyKind::YZ, PlanKeyKind::HZ, PlanKeyKind::End})
        if (keys & PlanKeyBit(k)) add(PlanKeyName(k));
}

void AppendPlanPointCell(std::string& out, PlanPointColumn column, bool csv, const PlanPointLine& line,
                         const TextOptions& options) {
    switch (column) {
        case PlanPointColumn::Station: AppendStation(out, line.label, options); break;
        case PlanPointColumn::Offset: AppendLength(out, line.offset, options); break;
        case PlanPointColumn::North: AppendLength(out, line.at.north, options); break;
        case PlanPointColumn::East: AppendLength(out, line.at.east, options); break;
        case PlanPointColumn::Azimuth: AppendAzimuth(out, line.azimuth, csv, options); break;
        case PlanPointColumn::Elevation:
            if (line.elevation) AppendFixedText(out, *line.elevation, ColumnDecimals(ColumnKind::Elevation, options));
            break;
        case PlanPointColumn::Note: AppendPlanNote(out, line.kind, line.keys); break;
    }
}

void AppendPlanPoint(std::string& out, bool csv, const PlanPointLine& line, const TextOptions& options) {
    const char separator = csv ? ',' : '\t';
    for (PlanPointColumn column : kPlanPointColumns) {
        if (column != PlanPointColumn::Station) out += separator;
        AppendPlanPointCell(out, column, csv, line, options);
    }
    if (!csv)
        while (!out.empty() && out.back() == '\t') out.pop_back();
    out += options.lineEnd;
}

std::string InverseHeader(bool csv, const TextOptions& options) {
    std::string out = csv ? "name,north,east,station,offset" : "点名\tX(北)\tY(东)\t桩号\t偏距";
    out += options.lineEnd;
    return out;
}

void AppendInverse(std::string& out, bool csv, std::string_view name, std::string_view north, std::string_view east,
                   const std::optional<Station>& label, double offset, const TextOptions& options) {
    const char separator = csv ? ',' : '\t';
    if (csv) AppendCsvCell(out, name);
    else out += name;
    out += separator;
    out += north;
    out += separator;
    out += east;
    out += separator;
    if (label) {
        AppendStation(out, *label, options);
        out += separator;
        AppendLength(out, offset, options);
    } else {
        out += separator;
    }
    if (!csv)
        while (!out.empty() && out.back() == '\t') out.pop_back();
    out += options.lineEnd;
}

}  // namespace tarnvel
