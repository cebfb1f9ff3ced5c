#include "core/text/profile_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/calculator/number_text.h"
#include "core/text/text_width.h"

namespace tarnvel {
namespace {

// Stations keep at least millimetres whatever the elevations are rounded to:
// two stations of a fine listing must never print as the same label.
int StationDecimals(const TextOptions& options) { return std::max(options.decimals, 3); }

// A grade in percent carries one decimal more than the elevations, at least
// four: 3.1% over 1000 m is 31 m of rise, so a grade rounded like an
// elevation would lose centimetres along the tangent.
int GradeDecimals(const TextOptions& options) { return std::clamp(options.decimals + 1, 4, 12); }

std::string InternalStationText(const Profile& profile, double internal, const TextOptions& options) {
    return FormatStation(profile.LabelOf(internal), options.stations, StationDecimals(options));
}

std::string LengthText(double value, const TextOptions& options) {
    return std::isnan(value) ? std::string() : FixedText(value, options.decimals);
}

// What a listing row is, in the words of the drawings; empty for a plain
// interval station.
std::string_view RowNote(const Profile& profile, const ProfileListingRow& row) {
    switch (row.kind) {
        case ListingRowKind::Interval: return {};
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
    const bool crest = curve != elements.end() ? curve->crest : row.value.grade < 0;
    return crest ? "最高点" : "最低点";
}

// One elements row as cells, in the order of the CSV header.
struct ElementCells {
    std::string pviStation, pviElevation, gradeIn, gradeOut, radius, length, tangentIn, tangentOut,
        external, startStation, startElevation, endStation, endElevation, extremeStation,
        extremeElevation;
};

ElementCells CellsOf(const Profile& profile, const CurveElementsRow& e, const TextOptions& options) {
    ElementCells c;
    c.pviStation = InternalStationText(profile, e.pviStation, options);
    c.pviElevation = FixedText(e.pviElevation, options.decimals);
    c.gradeIn = FixedText(e.gradeIn, GradeDecimals(options));
    c.gradeOut = FixedText(e.gradeOut, GradeDecimals(options));
    c.radius = LengthText(e.radius, options);
    c.length = LengthText(e.length, options);
    c.tangentIn = LengthText(e.tangentIn, options);
    c.tangentOut = LengthText(e.tangentOut, options);
    c.external = LengthText(e.external, options);
    c.startStation = InternalStationText(profile, e.startStation, options);
    c.startElevation = FixedText(e.startElevation, options.decimals);
    c.endStation = InternalStationText(profile, e.endStation, options);
    c.endElevation = FixedText(e.endElevation, options.decimals);
    if (e.extremeStation && e.extremeElevation) {
        c.extremeStation = InternalStationText(profile, *e.extremeStation, options);
        c.extremeElevation = FixedText(*e.extremeElevation, options.decimals);
    }
    return c;
}

}  // namespace

std::string StationText(const Station& label, const TextOptions& options) {
    return FormatStation(label, options.stations, StationDecimals(options));
}

std::string ElevationText(double elevation, const TextOptions& options) {
    return FixedText(elevation, options.decimals);
}

std::string ElementsCsv(const Profile& profile, const TextOptions& options) {
    std::string out =
        "pvi_station,pvi_elevation,grade_in,grade_out,kind,radius,length,tangent_in,tangent_out,"
        "external,start_station,start_elevation,end_station,end_elevation,extreme_station,"
        "extreme_elevation";
    out += options.lineEnd;
    // No cell can hold a comma, a quote or a line break (numbers, station
    // labels, two fixed words), so none needs quoting.
    for (const CurveElementsRow& e : profile.Elements()) {
        const ElementCells c = CellsOf(profile, e, options);
        for (const std::string* cell :
             {&c.pviStation, &c.pviElevation, &c.gradeIn, &c.gradeOut}) {
            out += *cell;
            out += ',';
        }
        out += e.crest ? "crest" : "sag";
        for (const std::string* cell :
             {&c.radius, &c.length, &c.tangentIn, &c.tangentOut, &c.external, &c.startStation,
              &c.startElevation, &c.endStation, &c.endElevation, &c.extremeStation,
              &c.extremeElevation}) {
            out += ',';
            out += *cell;
        }
        out += options.lineEnd;
    }
    return out;
}

std::vector<std::vector<std::string>> ElementsTableCells(const Profile& profile, const TextOptions& options) {
    const std::vector<std::string> header = {
        "点号",     "变坡点桩号", "变坡点高程", "前坡(%)",  "后坡(%)",  "凸凹",
        "曲线类型", "半径R",      "曲线长L",    "切线长T1", "切线长T2", "外距E",
        "起点桩号", "起点高程",   "终点桩号",   "终点高程", "最高/最低点桩号", "最高/最低点高程"};
    std::vector<std::vector<std::string>> rows;
    rows.push_back(header);
    for (const CurveElementsRow& e : profile.Elements()) {
        ElementCells c = CellsOf(profile, e, options);
        rows.push_back({std::to_string(e.point + 1), std::move(c.pviStation), std::move(c.pviElevation),
                        std::move(c.gradeIn), std::move(c.gradeOut), e.crest ? "凸" : "凹",
                        CurveKindName(e.kind), std::move(c.radius), std::move(c.length),
                        std::move(c.tangentIn), std::move(c.tangentOut), std::move(c.external),
                        std::move(c.startStation), std::move(c.startElevation), std::move(c.endStation),
                        std::move(c.endElevation), std::move(c.extremeStation),
                        std::move(c.extremeElevation)});
    }
    return rows;
}

std::string ElementsTableText(const Profile& profile, const TextOptions& options) {
    const std::vector<std::vector<std::string>> rows = ElementsTableCells(profile, options);
    const std::vector<std::string>& header = rows.front();
    std::vector<std::size_t> widths(header.size(), 0);
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], DisplayWidth(row[i]));

    const std::string_view unit = LengthUnitName(profile.Model().unit);
    std::string out = "竖曲线要素表";
    out += options.lineEnd;
    if (!profile.Model().name.empty()) {
        out += "纵断面：";
        out += profile.Model().name;
        out += options.lineEnd;
    }
    out += "单位：桩号、高程、长度为";
    out += unit;
    out += "，纵坡为%";
    out += options.lineEnd;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) out += "  ";
            AppendPadded(out, row[i], widths[i], true);
        }
        // Empty cells at the end (no high or low point) leave no blanks behind.
        out.erase(out.find_last_not_of(' ') + 1);
        out += options.lineEnd;
    }
    if (profile.Elements().empty()) {
        out += "（没有变坡点）";
        out += options.lineEnd;
    }
    return out;
}

namespace {

// The note of a listing row: the key point's words, and 填挖交界 where the
// design crosses the ground, joined where both fall on one place.
void AppendNote(std::string& out, const Profile& profile, const ProfileListingRow& row) {
    const std::string_view note = RowNote(profile, row);
    out += note;
    if (!row.zeroPoint) return;
    if (!note.empty()) out += "、";
    out += "填挖交界";
}

bool HasNote(const ProfileListingRow& row) { return row.zeroPoint || row.kind != ListingRowKind::Interval; }

// Ground, fill and cut, each after `separator`; empty where there is no ground.
void AppendGroundCells(std::string& out, const ProfileListingRow& row, const TextOptions& options, char separator) {
    if (!row.ground) {
        out += separator;
        out += separator;
        out += separator;
        return;
    }
    const double fillCut = row.value.elevation - *row.ground;
    out += separator;
    AppendFixedText(out, *row.ground, options.decimals);
    // One of fill and cut is zero: its text is the same on every row.
    const auto amount = [&](double v) {
        out += separator;
        if (v > 0) {
            AppendFixedText(out, v, options.decimals);
        } else {
            out += '0';
            if (options.decimals > 0) {
                out += '.';
                out.append(static_cast<std::size_t>(options.decimals), '0');
            }
        }
    };
    amount(fillCut);
    amount(-fillCut);
}

}  // namespace

std::string ListingTextHeader(const TextOptions& options) {
    std::string out = options.ground ? "桩号\t设计高程\t纵坡(%)\t地面高程\t填高\t挖深\t备注" : "桩号\t高程\t纵坡(%)\t备注";
    out += options.lineEnd;
    return out;
}

void AppendListingText(std::string& out, const Profile& profile, const ProfileListingRow& row,
                       const TextOptions& options) {
    out += FormatStation(row.label, options.stations, StationDecimals(options));
    out += '\t';
    AppendFixedText(out, row.value.elevation, options.decimals);
    out += '\t';
    AppendFixedText(out, row.value.grade, GradeDecimals(options));
    if (options.ground) AppendGroundCells(out, row, options, '\t');
    if (HasNote(row)) {
        out += '\t';
        AppendNote(out, profile, row);
    }
    out += options.lineEnd;
}

std::string ListingCsvHeader(const TextOptions& options) {
    std::string out = options.ground ? "station,elevation,grade,ground,fill,cut,note" : "station,elevation,grade,note";
    out += options.lineEnd;
    return out;
}

void AppendListingCsv(std::string& out, const Profile& profile, const ProfileListingRow& row,
                      const TextOptions& options) {
    out += FormatStation(row.label, options.stations, StationDecimals(options));
    out += ',';
    AppendFixedText(out, row.value.elevation, options.decimals);
    out += ',';
    AppendFixedText(out, row.value.grade, GradeDecimals(options));
    if (options.ground) AppendGroundCells(out, row, options, ',');
    out += ',';
    AppendNote(out, profile, row);
    out += options.lineEnd;
}

}  // namespace tarnvel
