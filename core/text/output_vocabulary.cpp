#include "core/text/output_vocabulary.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/calculator/number_text.h"

namespace tarnvel {
namespace {

void AppendStation(std::string& out, double internal, const CellContext& c) {
    out += FormatStation(c.profile.LabelOf(internal), c.options.stations,
                         ColumnDecimals(ColumnKind::Station, c.options));
}

void AppendNumber(std::string& out, double value, ColumnKind kind, const CellContext& c) {
    if (!std::isnan(value)) AppendFixedText(out, value, ColumnDecimals(kind, c.options));
}

// A PVI without a vertical curve has no curve quantities: those cells are
// empty rather than zeros or the PVI repeated.
bool HasCurve(const CurveElementsRow& e) { return e.kind != CurveKind::None; }

template <double CurveElementsRow::*field>
void CurveLength(std::string& out, const CurveElementsRow& e, const CellContext& c) {
    if (HasCurve(e)) AppendNumber(out, e.*field, ColumnKind::Length, c);
}

template <double CurveElementsRow::*field>
void CurveStation(std::string& out, const CurveElementsRow& e, const CellContext& c) {
    if (HasCurve(e)) AppendStation(out, e.*field, c);
}

template <double CurveElementsRow::*field>
void CurveElevation(std::string& out, const CurveElementsRow& e, const CellContext& c) {
    if (HasCurve(e)) AppendNumber(out, e.*field, ColumnKind::Elevation, c);
}

constexpr ElementsColumn kElementsColumns[] = {
    {"", "点号", ColumnKind::PointNumber,
     [](std::string& out, const CurveElementsRow& e, const CellContext&) {
         char digits[24];
         out.append(digits, std::to_chars(digits, digits + sizeof digits, e.point + 1).ptr);
     }},
    {"pvi_station", "变坡点桩号", ColumnKind::Station,
     [](std::string& out, const CurveElementsRow& e, const CellContext& c) { AppendStation(out, e.pviStation, c); }},
    {"pvi_elevation", "变坡点高程", ColumnKind::Elevation,
     [](std::string& out, const CurveElementsRow& e, const CellContext& c) {
         AppendNumber(out, e.pviElevation, ColumnKind::Elevation, c);
     }},
    {"grade_in", "前坡(%)", ColumnKind::Grade,
     [](std::string& out, const CurveElementsRow& e, const CellContext& c) {
         AppendNumber(out, e.gradeIn, ColumnKind::Grade, c);
     }},
    {"grade_out", "后坡(%)", ColumnKind::Grade,
     [](std::string& out, const CurveElementsRow& e, const CellContext& c) {
         AppendNumber(out, e.gradeOut, ColumnKind::Grade, c);
     }},
    // Where the grade does not change the PVI is neither crest nor sag.
    {"kind", "凸凹", ColumnKind::Word,
     [](std::string& out, const CurveElementsRow& e, const CellContext& c) {
         if (!GradeChanges(e)) return;
         if (c.english) out += e.crest ? "crest" : "sag";
         else out += e.crest ? "凸" : "凹";
     }},
    {"", "曲线类型", ColumnKind::Word,
     [](std::string& out, const CurveElementsRow& e, const CellContext&) { out += CurveKindName(e.kind); }},
    {"radius", "半径R", ColumnKind::Length, CurveLength<&CurveElementsRow::radius>},
    {"length", "曲线长L", ColumnKind::Length, CurveLength<&CurveElementsRow::length>},
    {"tangent_in", "切线长T1", ColumnKind::Length, CurveLength<&CurveElementsRow::tangentIn>},
    {"tangent_out", "切线长T2", ColumnKind::Length, CurveLength<&CurveElementsRow::tangentOut>},
    {"external", "外距E", ColumnKind::Length, CurveLength<&CurveElementsRow::external>},
    {"start_station", "起点桩号", ColumnKind::Station, CurveStation<&CurveElementsRow::startStation>},
    {"start_elevation", "起点高程", ColumnKind::Elevation, CurveElevation<&CurveElementsRow::startElevation>},
    {"end_station", "终点桩号", ColumnKind::Station, CurveStation<&CurveElementsRow::endStation>},
    {"end_elevation", "终点高程", ColumnKind::Elevation, CurveElevation<&CurveElementsRow::endElevation>},
    {"extreme_station", "最高/最低点桩号", ColumnKind::Station,
     [](std::string& out, const CurveElementsRow& e, const CellContext& c) {
         if (e.extremeStation && e.extremeElevation) AppendStation(out, *e.extremeStation, c);
     }},
    {"extreme_elevation", "最高/最低点高程", ColumnKind::Elevation,
     [](std::string& out, const CurveElementsRow& e, const CellContext& c) {
         if (e.extremeStation && e.extremeElevation) AppendNumber(out, *e.extremeElevation, ColumnKind::Elevation, c);
     }},
};

// A listing's own columns; the ground line adds 地面高程, 填高 and 挖深 before 备注.
constexpr ListingColumn kStationColumn{
    "station", "桩号", ColumnKind::Station, [](std::string& out, const ProfileListingRow& row, const CellContext& c) {
        out += FormatStation(row.label, c.options.stations, ColumnDecimals(ColumnKind::Station, c.options));
    }};
constexpr ListingColumn kElevationColumn{
    "elevation", "设计高程", ColumnKind::Elevation,
    [](std::string& out, const ProfileListingRow& row, const CellContext& c) {
        AppendFixedText(out, row.value.elevation, ColumnDecimals(ColumnKind::Elevation, c.options));
    }};
constexpr ListingColumn kGradeColumn{
    "grade", "纵坡(%)", ColumnKind::Grade, [](std::string& out, const ProfileListingRow& row, const CellContext& c) {
        AppendFixedText(out, row.value.grade, ColumnDecimals(ColumnKind::Grade, c.options));
    }};
constexpr ListingColumn kNoteColumn{
    "note", "备注", ColumnKind::Word, [](std::string& out, const ProfileListingRow& row, const CellContext& c) {
        AppendListingNote(out, c.profile, row);
    }};

// Fill or cut: how far the design lies above (sign 1) or below (sign −1) the
// ground, 0 on the other side; empty where there is no ground.
void AppendGroundAmount(std::string& out, const ProfileListingRow& row, const CellContext& c, double sign) {
    if (!row.ground) return;
    const double amount = sign * (row.value.elevation - *row.ground);
    const int decimals = ColumnDecimals(ColumnKind::Elevation, c.options);
    if (amount > 0) {
        AppendFixedText(out, amount, decimals);
        return;
    }
    // One of fill and cut is zero on every row: the same bytes each time
    // ("0" and up to 12 decimals, as ColumnDecimals allows).
    constexpr std::string_view kZero = "0.000000000000";
    out += kZero.substr(0, decimals > 0 ? static_cast<std::size_t>(decimals) + 2 : 1);
}
constexpr ListingColumn kGroundColumn{
    "ground", "地面高程", ColumnKind::Elevation,
    [](std::string& out, const ProfileListingRow& row, const CellContext& c) {
        if (row.ground) AppendFixedText(out, *row.ground, ColumnDecimals(ColumnKind::Elevation, c.options));
    }};
constexpr ListingColumn kFillColumn{
    "fill", "填高", ColumnKind::Elevation,
    [](std::string& out, const ProfileListingRow& row, const CellContext& c) { AppendGroundAmount(out, row, c, 1); }};
constexpr ListingColumn kCutColumn{
    "cut", "挖深", ColumnKind::Elevation,
    [](std::string& out, const ProfileListingRow& row, const CellContext& c) { AppendGroundAmount(out, row, c, -1); }};

constexpr ListingColumn kListingColumns[] = {kStationColumn, kElevationColumn, kGradeColumn, kNoteColumn};
constexpr ListingColumn kGroundListingColumns[] = {kStationColumn, kElevationColumn, kGradeColumn, kGroundColumn,
                                                   kFillColumn,    kCutColumn,       kNoteColumn};

}  // namespace

int ColumnDecimals(ColumnKind kind, const TextOptions& options) {
    const int decimals = std::clamp(options.decimals, 0, 12);
    switch (kind) {
        case ColumnKind::Station: return std::max(decimals, 3);
        case ColumnKind::Grade: return std::clamp(decimals + 1, 4, 12);
        case ColumnKind::Elevation:
        case ColumnKind::Length: return decimals;
        case ColumnKind::PointNumber:
        case ColumnKind::Word: return 0;
    }
    return decimals;
}

std::span<const ElementsColumn> ElementsColumns() { return kElementsColumns; }
std::span<const ListingColumn> ListingColumns(bool ground) {
    if (ground) return kGroundListingColumns;
    return kListingColumns;
}

std::string_view ListingNote(const Profile& profile, const ProfileListingRow& row) {
    switch (row.kind) {
        case ListingRowKind::Interval: return {};
        case ListingRowKind::Start: return "起点";
        case ListingRowKind::End: return "终点";
        case ListingRowKind::CurveStart: return "竖曲线起点";
        case ListingRowKind::Pvi: return "变坡点";
        case ListingRowKind::CurveEnd: return "竖曲线终点";
        case ListingRowKind::BreakBack: return "断链前";
        case ListingRowKind::BreakAhead: return "断链后";
        case ListingRowKind::Extreme: break;
    }
    // The curve holding the extreme point says whether it is a high or a low one.
    const auto& elements = profile.Elements();
    const auto curve = std::lower_bound(
        elements.begin(), elements.end(), row.internal,
        [](const CurveElementsRow& e, double s) { return e.endStation < s; });
    return ExtremeWord(curve != elements.end() ? curve->crest : row.value.grade < 0);
}

std::string_view ExtremeWord(bool crest) { return crest ? "最高点" : "最低点"; }

void AppendListingNote(std::string& out, const Profile& profile, const ProfileListingRow& row) {
    const std::string_view note = ListingNote(profile, row);
    out += note;
    if (!row.zeroPoint) return;
    if (!note.empty()) out += "、";
    out += "填挖交界";
}

}  // namespace tarnvel
