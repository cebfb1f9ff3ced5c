// The CSV ground table as surveyors keep it: a header row naming the station
// and ground elevation columns (Chinese or English, any order), title rows
// above it, and any other columns (offset, code, remarks) beside them.

#include <algorithm>
#include <array>
#include <limits>

#include "core/calculator/number_text.h"
#include "core/text/quoted_input.h"
#include "core/profile/units.h"
#include "io/csv_records.h"
#include "io/exact_number.h"
#include "io/ground_files.h"
#include "io/table_reading.h"

namespace tarnvel::io {
namespace {

// Header words, compared after folding full-width forms, lower-casing and
// dropping blanks, '_' and '-'.
constexpr std::array<std::string_view, 8> kGroundWords{"地面高程", "地面标高", "地面线高程", "地面高",
                                                       "地面",     "ground",   "groundelevation", "地面线"};
// An elevation column is the ground only in a file without design columns.
constexpr std::array<std::string_view, 5> kElevationWords{"高程", "标高", "elevation", "elev", "z"};
constexpr std::array<std::string_view, 10> kDesignWords{"设计高程", "变坡点高程", "design", "designelevation",
                                                        "半径",     "曲线类型",   "radius", "curve",
                                                        "竖曲线半径", "pvielevation"};

bool IsHeaderWord(std::string_view word) {
    return IsStationHeaderWord(word) || OneOf(word, kGroundWords) || OneOf(word, kElevationWords) || OneOf(word, kDesignWords);
}

struct Header {
    std::optional<std::size_t> station, ground;
    std::optional<Unit> unit;
    UnitProblem unitProblem;  // a fault: the columns state a unit that cannot be used
};

// A record with its cells as strings (a quoted line) or as views into the text.
template <typename Record>
Header ReadHeader(const Record& record) {
    Header header;
    std::optional<std::size_t> elevation;
    bool design = false;
    for (std::size_t i = 0; i < record.cells.size(); ++i) {
        for (const std::string& w : HeaderCellWords(record.cells[i])) {
            if (!header.station && IsStationHeaderWord(w)) header.station = i;
            else if (!header.ground && OneOf(w, kGroundWords)) header.ground = i;
            else if (!elevation && OneOf(w, kElevationWords)) elevation = i;
            else if (OneOf(w, kDesignWords)) design = true;
            else continue;
            break;
        }
    }
    if (!header.ground && !design) header.ground = elevation;
    // The station and the ground are lengths of one table.
    std::vector<std::string_view> lengths;
    for (const std::optional<std::size_t>& column : {header.station, header.ground})
        if (column) lengths.push_back(record.cells[*column]);
    const ColumnsUnit unit = ReadColumnsUnit(lengths, IsHeaderWord);
    header.unit = unit.unit;
    header.unitProblem = unit.problem;
    return header;
}

}  // namespace

std::optional<GroundColumns> FindGroundColumns(const std::vector<std::string>& headerCells) {
    CsvRecord record;
    record.cells = headerCells;
    const Header header = ReadHeader(record);
    if (!header.station || !header.ground) return std::nullopt;
    return GroundColumns{*header.station, *header.ground, header.unit, header.unitProblem};
}

Result<GroundReading> ParseGroundCsv(std::string_view bytes, std::string_view path) {
    Result<TableText> decoded = DecodeTableText(bytes, path, "地面线表");
    if (!decoded.ok()) return decoded.failure();
    const std::string_view text = decoded.value().Text();

    // The header is the first row, among the first few that are not blank,
    // that names both columns; title rows may stand above it.
    std::optional<Header> header;
    std::size_t looked = 0;
    bool empty = true;
    GroundReading reading;
    // A point takes a row of at least four bytes ("1,2\n"): a file of blank
    // lines reserves no more than its points could need.
    reading.model.points.reserve(
        std::min(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1, text.size() / 4 + 1));
    const auto row = [&](const CsvRecordView& record) {
        if (record.Blank()) return;
        empty = false;
        if (!header) {
            if (looked++ > kTableTitleRows) return;
            const Header h = ReadHeader(record);
            if (h.station && h.ground) header = h;
            return;
        }
        const std::string_view stationText = TableCell(record, *header->station);
        const std::string_view elevationText = TableCell(record, *header->ground);
        const std::optional<Station> station = ParseStation(stationText);
        const std::optional<double> elevation = ReadWholeNumber(elevationText);
        const auto problem = [&](GroundProblemKind kind, std::string_view cell) {
            if (reading.problemCount++ >= kListedGroundProblems) return;
            GroundProblem& p = reading.problems.emplace_back();
            p.kind = kind;
            p.point = reading.model.points.size();
            p.row = record.row;
            p.text = QuotedInput(cell);
            if (station) p.station = *station;
            else p.station.value = std::numeric_limits<double>::quiet_NaN();
        };
        if (!station) problem(GroundProblemKind::StationUnreadable, stationText);
        if (!elevation) problem(GroundProblemKind::ElevationUnreadable, elevationText);
        if (station && elevation) reading.model.points.push_back({*station, *elevation, record.row});
    };
    if (std::optional<IoFailure> failure = ForEachTableRecord(text, "地面线表", path, row)) return *failure;
    if (empty) return NotProfileFailure(path, "是空的，没有表头和数据。");
    if (!header)
        return NotProfileFailure(path, "的表头中没有“桩号（station）”和“地面高程（ground）”两列，不是地面线表。");
    if (header->unitProblem.fault != UnitFault::None)
        return UnitFailure(path, "的表头中", header->unitProblem);
    if (header->unit) {
        // Every unit UnitInHeader accepts is one a profile holds.
        const HeldUnit held = HeldAs(*header->unit).value_or(HeldUnit{});
        reading.unit = held.unit;
        if (!HoldLengths(reading.model, held.powerOfTen)) return UnitFailure(path, {}, {UnitFault::OutOfRange});
    }
    return reading;
}

std::string GroundCsvBytes(const GroundModel& model, LengthUnit unit) {
    std::string bracket;
    if (unit == LengthUnit::Foot) bracket = "[ft]";
    if (unit == LengthUnit::USSurveyFoot) bracket = "[ftUS]";
    std::string out(kUtf8Bom);
    out += "桩号(station)" + bracket + ",地面高程(ground)" + bracket + "\r\n";
    for (const GroundPoint& p : model.points) {
        out += ExactNumberText(p.station.value);
        if (p.station.occurrence >= 1) out += "(" + std::to_string(p.station.occurrence) + ")";
        out += ',';
        out += ExactNumberText(p.elevation);
        out += "\r\n";
    }
    return out;
}

}  // namespace tarnvel::io
