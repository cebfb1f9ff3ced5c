// The CSV PVI table, as people keep it in a spreadsheet: a header row naming
// the columns (Chinese or English, any order, any case), one row per point,
// then optionally the chain table after its own header row.

#include <algorithm>
#include <array>

#include "io/csv_table.h"
#include "core/calculator/number_text.h"
#include "io/exact_number.h"
#include "io/gbk.h"
#include "io/profile_files.h"
#include "core/profile/units.h"
#include "core/text/quoted_input.h"

namespace tarnvel::io {
namespace {

enum Column { kStation, kElevation, kCurve, kRadius, kLength, kLengthIn, kLengthOut, kBack, kAhead, kColumnCount };

// Header words, compared after folding full-width forms, lower-casing and
// dropping blanks, '_' and '-'.
constexpr std::array<CsvColumnWords, kColumnCount> kColumnWords{{
    {"桩号", "里程", "变坡点桩号", "中桩桩号", "station", "sta", "chainage", "pvistation"},
    {"高程", "设计高程", "变坡点高程", "标高", "elevation", "elev", "z", "pvielevation"},
    {"曲线类型", "竖曲线类型", "类型", "线型", "curve", "curvetype", "kind", "type"},
    {"半径", "竖曲线半径", "r", "radius"},
    {"曲线长", "竖曲线长", "曲线长度", "竖曲线长度", "l", "length", "curvelength"},
    {"前曲线长", "前半曲线长", "lengthin", "lin"},
    {"后曲线长", "后半曲线长", "lengthout", "lout"},
    {"断链前桩号", "断前桩号", "stationback", "staback", "back"},
    {"断链后桩号", "断后桩号", "stationahead", "staahead", "ahead"},
}};

// What the curve column may say, in the form NormalizedHeaderWord gives.
struct KindWords {
    CurveKind kind;  // ParabolaLength stands for "a parabola, by R or by L"
    std::array<std::string_view, 6> words;
};
constexpr std::array<KindWords, 4> kKindWords{{
    {CurveKind::None, {"无", "none", "直线", "no", "", ""}},
    {CurveKind::ParabolaLength, {"抛物线", "二次抛物线", "parabola", "para", "parabolic", ""}},
    {CurveKind::Unsymmetric, {"非对称抛物线", "不对称抛物线", "unsymmetric", "unsym", "asymmetric", "unsymmetrical"}},
    {CurveKind::Circular, {"圆曲线", "圆弧", "circular", "circle", "arc", "circ"}},
}};

// Every column but the curve's holds a length.
constexpr std::array<std::size_t, 1> kUnitless{kCurve};

constexpr std::string_view kNoun = "纵断面表";
constexpr CsvTableKind kTable{kNoun, kColumnWords, kUnitless, kStation, {}};

Result<CurveSpec> ReadCurve(const CsvRow& row) {
    std::optional<CurveKind> kind;
    const std::string_view kindCell = row.Cell(kCurve);
    const std::string word = kindCell.size() > kLongestHeaderCell ? std::string("?") : NormalizedHeaderWord(kindCell);
    if (!word.empty()) {
        for (const KindWords& k : kKindWords)
            for (std::string_view w : k.words)
                if (!w.empty() && word == w) kind = k.kind;
        if (!kind)
            return row.Failure(kCurve, "的“" + QuotedInput(kindCell) + "”无法识别：应为抛物线、圆曲线、非对称抛物线或无。");
    }
    const bool radius = row.Has(kRadius), length = row.Has(kLength);
    const bool unsymmetric = row.Has(kLengthIn) || row.Has(kLengthOut);
    if (!kind) {
        // No kind written: the numbers tell. A radius alone is a parabola, as
        // road tables mean it.
        if (unsymmetric)
            kind = CurveKind::Unsymmetric;
        else if (radius || length)
            kind = CurveKind::ParabolaLength;
        else
            kind = CurveKind::None;
    } else if (*kind == CurveKind::ParabolaLength && unsymmetric) {
        kind = CurveKind::Unsymmetric;
    }

    CurveSpec curve;
    switch (*kind) {
        case CurveKind::None:
            for (Column c : {kRadius, kLength, kLengthIn, kLengthOut})
                if (row.Has(c)) return row.Failure(c, "有值，但这一行写明没有竖曲线。");
            return curve;
        case CurveKind::Circular: {
            if (!radius) return row.Failure(kRadius, "为空：圆曲线要有半径。");
            Result<double> r = row.NumberCell(kRadius);
            if (!r.ok()) return r.failure();
            curve.kind = CurveKind::Circular;
            curve.radius = r.value();
            return curve;
        }
        case CurveKind::Unsymmetric: {
            Result<double> in = row.NumberCell(kLengthIn);
            if (!in.ok()) return in.failure();
            Result<double> out = row.NumberCell(kLengthOut);
            if (!out.ok()) return out.failure();
            curve.kind = CurveKind::Unsymmetric;
            curve.lengthIn = in.value();
            curve.lengthOut = out.value();
            return curve;
        }
        default: {
            // A table that lists both R and L designed by R: the radius rules.
            if (radius) {
                Result<double> r = row.NumberCell(kRadius);
                if (!r.ok()) return r.failure();
                curve.kind = CurveKind::ParabolaRadius;
                curve.radius = r.value();
                return curve;
            }
            if (!length) return row.RowFailure("是抛物线竖曲线，但半径和曲线长都没有填写。");
            Result<double> l = row.NumberCell(kLength);
            if (!l.ok()) return l.failure();
            curve.kind = CurveKind::ParabolaLength;
            curve.length = l.value();
            return curve;
        }
    }
}

}  // namespace

Result<ProfileModel> ParseProfileCsv(std::string_view bytes, std::string_view path) {
    Result<CsvText> decoded = DecodeCsvText(bytes, kNoun, path);
    if (!decoded.ok()) return decoded.failure();
    const CsvText& csv = decoded.value();
    const std::string_view text = csv.Text();
    CsvTableRecords records(csv, kNoun, path);

    // Tables often carry a title row or two above the header ("K0-K5纵断面
    // 设计表"): the header is the first row that names both needed columns.
    constexpr CsvNeededColumn kNeeded[] = {{kStation, "桩号（station）"}, {kElevation, "高程（elevation）"}};
    Result<FoundCsvHeader> found = FindCsvHeader(csv, records, kTable, kLengthOut, kNeeded, path);
    if (!found.ok()) return found.failure();
    const CsvHeader& header = found.value().header;
    const CsvRecordReader::Mark afterHeader = found.value().after;
    records.Return(afterHeader);

    ProfileModel model;
    const HeldUnit held = header.Held();
    model.unit = held.unit;
    // One row a line, as a rule: the points need no second copy as they grow.
    const std::string_view rest = text.substr(afterHeader.offset);
    model.points.reserve(static_cast<std::size_t>(std::count(rest.begin(), rest.end(), '\n')) + 1);
    // A row whose station does not read may be the chain table's header.
    const auto readRow = [&](const CsvRecordView& record) -> std::optional<IoFailure> {
        const CsvRow row(record, header, path);
        Result<Station> station = row.StationCell(kStation, true);
        if (!station.ok()) return station.failure();
        Result<double> elevation = row.NumberCell(kElevation);
        if (!elevation.ok()) return elevation.failure();
        Result<CurveSpec> curve = ReadCurve(row);
        if (!curve.ok()) return curve.failure();
        model.points.push_back({station.value(), elevation.value(), curve.value()});
        return std::nullopt;
    };
    if (auto unread = ReadCsvRows(records, kTable, header, kBack, kAhead, model.chains, path, readRow)) return *unread;
    if (!HoldLengths(model, held.powerOfTen)) return UnitFailure(path, {}, {UnitFault::OutOfRange});
    return model;
}

std::string ProfileCsvBytes(const ProfileModel& model) {
    const std::string unit = CsvUnitSuffix(model.unit);
    std::string out(kUtf8Bom);
    out += "桩号(station)" + unit + ",高程(elevation)" + unit +
           ",曲线类型(curve),半径(radius),曲线长(length),前曲线长(length_in),后曲线长(length_out)\r\n";
    for (const ProfilePoint& p : model.points) {
        const CurveSpec& c = p.curve;
        std::array<std::string, 5> cells;  // kind, R, L, L in, L out
        switch (c.kind) {
            case CurveKind::None: break;
            case CurveKind::ParabolaRadius: cells = {"抛物线", ExactNumberText(c.radius), "", "", ""}; break;
            case CurveKind::ParabolaLength: cells = {"抛物线", "", ExactNumberText(c.length), "", ""}; break;
            case CurveKind::Unsymmetric:
                cells = {"非对称抛物线", "", "", ExactNumberText(c.lengthIn), ExactNumberText(c.lengthOut)};
                break;
            case CurveKind::Circular: cells = {"圆曲线", ExactNumberText(c.radius), "", "", ""}; break;
        }
        out += CsvStationText(p.station) + "," + ExactNumberText(p.elevation);
        for (const std::string& cell : cells) out += "," + cell;
        out += "\r\n";
    }
    return out + CsvChainSectionText(model.chains);
}

}  // namespace tarnvel::io
