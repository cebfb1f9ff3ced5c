// The 交点表 as designers hand it over and people keep it in a spreadsheet: a
// header row naming the columns (Chinese or English, any order), one row per
// point — the start, the JDs, the end — then optionally the chain table
// after its own header row, as in the PVI table.

#include <algorithm>
#include <array>
#include <cmath>

#include "io/csv_table.h"
#include "io/exact_number.h"
#include "io/plan_files.h"

namespace tarnvel::io {
namespace {

enum Column { kPoint, kNorth, kEast, kRadius, kSpiral, kSpiralIn, kSpiralOut, kStation, kBack, kAhead, kColumnCount };

// Header words, compared after folding full-width forms, lower-casing and
// dropping blanks, '_' and '-'.
constexpr std::array<CsvColumnWords, kColumnCount> kColumnWords{{
    {"交点号", "点号", "point", "name", "交点", "jd", "交点编号", "点名"},
    {"x", "北坐标", "n", "north", "northing", "x坐标", "坐标x", "纵坐标"},
    {"y", "东坐标", "e", "east", "easting", "y坐标", "坐标y", "横坐标"},
    {"r", "半径", "radius", "圆曲线半径", "曲线半径"},
    {"ls", "缓和曲线长", "缓和曲线长度", "spiral", "spirallength", "缓和曲线"},
    {"ls1", "前缓和曲线长", "第一缓和曲线长", "spiralin", "前缓和曲线", "第一缓和曲线"},
    {"ls2", "后缓和曲线长", "第二缓和曲线长", "spiralout", "后缓和曲线", "第二缓和曲线"},
    {"桩号", "station", "交点桩号", "里程", "sta", "chainage", "交点里程"},
    {"断链前桩号", "断前桩号", "stationback", "staback", "back"},
    {"断链后桩号", "断后桩号", "stationahead", "staahead", "ahead"},
}};

// Every column but the point's name holds a length.
constexpr std::array<std::size_t, 1> kUnitless{kPoint};
// A lone N or E: E beside Y is the 外距 of a 直线、曲线及转角表.
constexpr std::array<std::string_view, 2> kWeakWords{"n", "e"};

constexpr std::string_view kNoun = "交点表";
constexpr CsvTableKind kTable{kNoun, kColumnWords, kUnitless, kStation, kWeakWords};

// What a row gave beyond the point, for the checks that need the whole
// table (the first and last rows carry no curve).
struct RowCurve {
    bool radius = false;                 // the R cell was filled
    std::optional<std::size_t> nonZero;  // the first curve column holding a value other than 0
};

// Millimetres, centimetres or kilometres held as metres, as the PVI table's
// are: false when a length grew beyond the double range.
bool HoldLengths(IntersectionTable& table, int powerOfTen) {
    if (powerOfTen == 0) return true;
    bool finite = true;
    const auto hold = [&](double& length) {
        length = HeldValue(length, powerOfTen);
        finite = finite && std::isfinite(length);
    };
    hold(table.start.value);
    for (IntersectionPoint& p : table.points) {
        for (double* length : {&p.at.north, &p.at.east, &p.radius, &p.spiralIn, &p.spiralOut}) hold(*length);
        if (p.station) hold(p.station->value);
    }
    for (ChainBreak& b : table.chains) {
        hold(b.back);
        hold(b.ahead);
    }
    return finite;
}

}  // namespace

Result<IntersectionTable> ParseIntersectionCsv(std::string_view bytes, std::string_view path) {
    Result<CsvText> decoded = DecodeCsvText(bytes, kNoun, path);
    if (!decoded.ok()) return decoded.failure();
    const CsvText& csv = decoded.value();
    CsvTableRecords records(csv, kNoun, path);

    constexpr CsvNeededColumn kNeeded[] = {
        {kNorth, "X（north）"}, {kEast, "Y（east）"}, {kStation, "桩号（station）"}};
    Result<FoundCsvHeader> found = FindCsvHeader(csv, records, kTable, kStation, kNeeded, path);
    if (!found.ok()) return found.failure();
    const CsvHeader& header = found.value().header;
    const std::string headerRow = RowText(found.value().row);
    if (header.index[kSpiral] && (header.index[kSpiralIn] || header.index[kSpiralOut])) {
        const Column split = header.index[kSpiralIn] ? kSpiralIn : kSpiralOut;
        return NotProfileFailure(path, headerRow + "的表头中既有“" + header.title[kSpiral] + "”列又有“" +
                                           header.title[split] + "”列：两侧缓和曲线相同时只用“Ls”，不同时用“Ls1”和“Ls2”。");
    }
    if (header.index[kSpiralIn].has_value() != header.index[kSpiralOut].has_value()) {
        const bool in = header.index[kSpiralIn].has_value();
        return NotProfileFailure(path, headerRow + "的表头中有“" + header.title[in ? kSpiralIn : kSpiralOut] +
                                           "”列，却没有“" + (in ? "后缓和曲线长（Ls2）" : "前缓和曲线长（Ls1）") +
                                           "”列。");
    }
    records.Return(found.value().after);

    IntersectionTable table;
    const HeldUnit held = header.Held();
    table.unit = held.unit;
    std::vector<RowCurve> curves;
    const auto readRow = [&](const CsvRecordView& record) -> std::optional<IoFailure> {
        const CsvRow row(record, header, path);
        Result<double> north = row.NumberCell(kNorth);
        if (!north.ok()) return north.failure();
        Result<double> east = row.NumberCell(kEast);
        if (!east.ok()) return east.failure();

        IntersectionPoint point;
        point.name = std::string(row.Cell(kPoint));
        point.at = {north.value(), east.value()};
        point.line = record.row;
        if (table.points.empty() || row.Has(kStation)) {
            Result<Station> station = row.StationCell(kStation, true);
            if (!station.ok()) return station.failure();
            if (table.points.empty()) table.start = station.value();
            else point.station = station.value();
        }
        RowCurve curve;
        const auto length = [&](Column column, double& into) -> std::optional<IoFailure> {
            if (!row.Has(column)) return std::nullopt;  // no spiral on that side
            Result<double> value = row.NumberCell(column);
            if (!value.ok()) return value.failure();
            into = value.value();
            if (into != 0 && !curve.nonZero) curve.nonZero = column;
            return std::nullopt;
        };
        if (row.Has(kRadius)) {
            curve.radius = true;
            if (auto failure = length(kRadius, point.radius)) return *failure;
        }
        if (header.index[kSpiral]) {
            if (auto failure = length(kSpiral, point.spiralIn)) return *failure;
            point.spiralOut = point.spiralIn;
        } else {
            if (auto failure = length(kSpiralIn, point.spiralIn)) return *failure;
            if (auto failure = length(kSpiralOut, point.spiralOut)) return *failure;
        }
        table.points.push_back(std::move(point));
        curves.push_back(curve);
        return std::nullopt;
    };
    if (auto unread = ReadCsvRows(records, kTable, header, kBack, kAhead, table.chains, path, readRow)) return *unread;
    if (!HoldLengths(table, held.powerOfTen)) return UnitFailure(path, {}, {UnitFault::OutOfRange});

    // The start and end carry no curve (a 0 written there is no curve
    // either); every JD between them has its radius.
    for (std::size_t i = 0; i < table.points.size(); ++i) {
        const std::size_t row = table.points[i].line;
        const bool end = i == 0 || i + 1 == table.points.size();
        if (end && curves[i].nonZero)
            return CsvCellFailure(path, row, header, *curves[i].nonZero,
                                  i == 0 ? "有值，但第一行是起点，起点没有曲线。" : "有值，但最后一行是终点，终点没有曲线。");
        if (!end && !curves[i].radius) {
            if (!header.index[kRadius])
                return NotProfileFailure(path, RowText(row) + "是交点，要有半径，但表头中没有“R（radius）”列。");
            return CsvCellFailure(path, row, header, kRadius, "为空：交点要有半径。");
        }
    }
    return table;
}

std::string IntersectionCsvBytes(const IntersectionTable& table) {
    const std::string unit = CsvUnitSuffix(table.unit);
    std::string out(kUtf8Bom);
    out += "交点号(point),X(north)" + unit + ",Y(east)" + unit + ",R(radius)" + unit + ",Ls1(spiral_in)" + unit +
           ",Ls2(spiral_out)" + unit + ",桩号(station)" + unit + "\r\n";
    for (std::size_t i = 0; i < table.points.size(); ++i) {
        const IntersectionPoint& p = table.points[i];
        const bool end = i == 0 || i + 1 == table.points.size();
        // The start and end rows leave the curve empty; a value there is
        // still written, for the reader to refuse, rather than dropped.
        const auto curve = [&](double value) { return end && value == 0 ? std::string() : ExactNumberText(value); };
        std::string station;
        if (i == 0) station = CsvStationText(table.start);
        else if (p.station) station = CsvStationText(*p.station);
        out += CsvCellText(p.name) + "," + ExactNumberText(p.at.north) + "," + ExactNumberText(p.at.east) + "," +
               curve(p.radius) + "," + curve(p.spiralIn) + "," + curve(p.spiralOut) + "," + station + "\r\n";
    }
    return out + CsvChainSectionText(table.chains);
}

}  // namespace tarnvel::io
