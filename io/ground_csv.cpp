// The CSV ground table as surveyors keep it: a header row naming the station
// and ground elevation columns (Chinese or English, any order), title rows
// above it, and any other columns (offset, code, remarks) beside them.

#include <algorithm>
#include <array>
#include <limits>

#include "core/calculator/number_text.h"
#include "core/text/quoted_input.h"
#include "core/profile/units.h"
#include "core/text/messages.h"
#include "io/csv_records.h"
#include "io/exact_number.h"
#include "io/gbk.h"
#include "io/ground_files.h"

namespace tarnvel::io {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::size_t kTitleRows = 5;  // how many rows above the header may be titles

// Header words, compared after folding full-width forms, lower-casing and
// dropping blanks, '_' and '-'.
constexpr std::array<std::string_view, 6> kStationWords{"桩号", "里程", "中桩桩号", "station", "sta", "chainage"};
constexpr std::array<std::string_view, 8> kGroundWords{"地面高程", "地面标高", "地面线高程", "地面高",
                                                       "地面",     "ground",   "groundelevation", "地面线"};
// An elevation column is the ground only in a file without design columns.
constexpr std::array<std::string_view, 5> kElevationWords{"高程", "标高", "elevation", "elev", "z"};
constexpr std::array<std::string_view, 10> kDesignWords{"设计高程", "变坡点高程", "design", "designelevation",
                                                        "半径",     "曲线类型",   "radius", "curve",
                                                        "竖曲线半径", "pvielevation"};

template <std::size_t N>
bool OneOf(const std::string& word, const std::array<std::string_view, N>& words) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

bool IsHeaderWord(std::string_view word) {
    const auto in = [word](const auto& words) { return std::find(words.begin(), words.end(), word) != words.end(); };
    return in(kStationWords) || in(kGroundWords) || in(kElevationWords) || in(kDesignWords);
}

// "地面高程(ground)[ft]": the name before any bracket and the words inside,
// each a word to look up (the unit is read by UnitInHeader).
std::vector<std::string> HeaderCellWords(std::string_view cell) {
    std::vector<std::string> words;
    std::string current;
    const auto flush = [&] {
        std::string word = NormalizedHeaderWord(current);
        current.clear();
        if (!word.empty()) words.push_back(std::move(word));
    };
    for (char c : FoldFullWidth(cell)) {
        if (c == '(' || c == ')' || c == '[' || c == ']') {
            flush();
            continue;
        }
        current += c;
    }
    flush();
    return words;
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
            if (!header.station && OneOf(w, kStationWords)) header.station = i;
            else if (!header.ground && OneOf(w, kGroundWords)) header.ground = i;
            else if (!elevation && OneOf(w, kElevationWords)) elevation = i;
            else if (OneOf(w, kDesignWords)) design = true;
            else continue;
            break;
        }
    }
    if (!header.ground && !design) header.ground = elevation;
    // The station and the ground are lengths of one table: a unit either
    // states must be known, and they must agree; one that states none
    // follows the other.
    TableUnit unit;
    for (const std::optional<std::size_t>& column : {header.station, header.ground}) {
        if (!column || header.unitProblem.fault != UnitFault::None) continue;
        const std::string_view cell = record.cells[*column];
        UnitProblem problem;
        const std::optional<Unit> stated = UnitInHeader(cell, &problem, IsHeaderWord);
        if (problem.fault != UnitFault::None) {
            problem.column = QuotedInput(TrimmedView(cell));
            header.unitProblem = problem;
        } else if (stated && !unit.Add(*stated, QuotedInput(TrimmedView(cell)))) {
            header.unitProblem = unit.Problem();
        }
    }
    header.unit = unit.Stated();
    return header;
}

std::string RowText(std::size_t row) { return "第" + std::to_string(row) + "行"; }

template <typename Record>
std::string_view Cell(const Record& record, std::size_t i) {
    return i < record.cells.size() ? TrimmedView(record.cells[i]) : std::string_view();
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
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return NotProfileFailure(path, "是UTF-16编码的文本，无法读取：请另存为UTF-8或GBK编码（电子表格中选“CSV UTF-8”）。");
    if (bytes.find('\0') != std::string_view::npos) return NotProfileFailure(path, "含有二进制数据，不是地面线表。");
    std::string_view body = bytes;
    if (body.starts_with(kBom)) body.remove_prefix(kBom.size());
    // UTF-8 is read where it lies; only GBK needs a converted copy.
    std::string converted;
    if (!IsValidUtf8(body)) converted = GbkToUtf8(body);
    const std::string_view text = converted.empty() ? body : std::string_view(converted);

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
            if (looked++ > kTitleRows) return;
            const Header h = ReadHeader(record);
            if (h.station && h.ground) header = h;
            return;
        }
        const std::string_view stationText = Cell(record, *header->station);
        const std::string_view elevationText = Cell(record, *header->ground);
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
    CsvRecordReader reader(text, SniffCsvSeparator(text));
    CsvRecordView record;
    for (;;) {
        const CsvRecordReader::Status status = reader.Next(record);
        if (status == CsvRecordReader::Status::End) break;
        if (status == CsvRecordReader::Status::UnclosedQuote)
            return NotProfileFailure(path, RowText(reader.FailedRow()) + "的引号没有配对。");
        if (status == CsvRecordReader::Status::TooManyCells)
            return NotProfileFailure(path, RowText(reader.FailedRow()) + "超过" + std::to_string(kMaxCsvCells) +
                                               "列，不是地面线表。");
        row(record);
    }
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
    std::string out(kBom);
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
