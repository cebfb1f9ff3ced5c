// The control table and the criteria file. The control table is read by the
// ground table's machinery (io/table_reading.h), so that a surveyor's
// spreadsheet reads the same way whichever table it is.

#include "io/control_files.h"

#include <algorithm>
#include <array>
#include <limits>

#include "core/calculator/number_text.h"
#include "core/text/quoted_input.h"
#include "core/text/check_text.h"
#include "io/atomic_write.h"
#include "io/bounded_read.h"
#include "io/exact_number.h"
#include "io/ground_files.h"
#include "io/profile_files.h"
#include "io/table_reading.h"

namespace tarnvel::io {
namespace {

constexpr std::array<std::string_view, 7> kLowerWords{"最低高程", "最低标高", "最低", "下限", "控制下限",
                                                      "lower",    "min"};
constexpr std::array<std::string_view, 7> kUpperWords{"最高高程", "最高标高", "最高", "上限", "控制上限",
                                                      "upper",    "max"};
constexpr std::array<std::string_view, 5> kNameWords{"名称", "控制点", "说明", "name", "description"};

bool IsHeaderWord(std::string_view word) {
    return IsStationHeaderWord(word) || OneOf(word, kLowerWords) || OneOf(word, kUpperWords) || OneOf(word, kNameWords);
}

struct Header {
    ControlColumns columns;
    bool station = false;
    bool Complete() const { return station && (columns.lower || columns.upper); }
};

template <typename Record>
Header ReadHeader(const Record& record) {
    Header h;
    for (std::size_t i = 0; i < record.cells.size(); ++i) {
        for (const std::string& w : HeaderCellWords(record.cells[i])) {
            if (!h.station && IsStationHeaderWord(w)) {
                h.station = true;
                h.columns.station = i;
            } else if (!h.columns.lower && OneOf(w, kLowerWords)) {
                h.columns.lower = i;
            } else if (!h.columns.upper && OneOf(w, kUpperWords)) {
                h.columns.upper = i;
            } else if (!h.columns.name && OneOf(w, kNameWords)) {
                h.columns.name = i;
            } else {
                continue;
            }
            break;
        }
    }
    // The station and the bounds are lengths of one table, read by the one
    // unit table as the ground table's are.
    std::vector<std::string_view> lengths;
    if (h.station) lengths.push_back(record.cells[h.columns.station]);
    for (const std::optional<std::size_t>& column : {h.columns.lower, h.columns.upper})
        if (column) lengths.push_back(record.cells[*column]);
    const ColumnsUnit unit = ReadColumnsUnit(lengths, IsHeaderWord);
    h.columns.unit = unit.unit;
    h.columns.unitProblem = unit.problem;
    return h;
}

// The bytes of a small table file, refused unread beyond the size of a profile file.
Result<std::string> ReadTableBytes(const std::string& path) {
    Result<std::string> bytes = ReadFilePrefix(path, kMaxProfileFileBytes + 1);
    if (!bytes.ok()) return bytes.failure();
    if (bytes.value().size() > kMaxProfileFileBytes)
        return NotProfileFailure(path, "超过" + std::to_string(kMaxProfileFileBytes >> 20) + "MB，未读取。");
    return bytes;
}

template <typename Parse>
auto ReadAndParse(const std::string& path, Parse&& parse) -> decltype(parse(std::string_view(), path)) {
    try {
        Result<std::string> bytes = ReadTableBytes(path);
        if (!bytes.ok()) return bytes.failure();
        return parse(bytes.value(), path);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Read, path);
    }
}

std::optional<IoFailure> WriteBytes(const std::string& path, const auto& make) {
    std::string bytes;
    try {
        bytes = make();
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Write, path);
    }
    return WriteFileAtomically(path, bytes);
}

}  // namespace

std::optional<ControlColumns> FindControlColumns(const std::vector<std::string>& headerCells) {
    CsvRecord record;
    record.cells = headerCells;
    const Header header = ReadHeader(record);
    if (!header.Complete()) return std::nullopt;
    return header.columns;
}

std::optional<std::optional<double>> ReadBoundCell(std::string_view cell) {
    cell = TrimmedView(cell);
    if (cell.empty()) return std::optional<double>();
    const std::optional<double> value = ReadWholeNumber(cell);
    if (!value) return std::nullopt;
    return value;
}

Result<ControlReading> ParseControlCsv(std::string_view bytes, std::string_view path) {
    constexpr std::string_view kNoun = "控制标高表";
    Result<TableText> decoded = DecodeTableText(bytes, path, kNoun);
    if (!decoded.ok()) return decoded.failure();
    const std::string_view text = decoded.value().Text();

    std::optional<Header> header;
    std::size_t looked = 0;
    bool empty = true;
    ControlReading reading;
    const auto row = [&](const auto& record) {
        if (record.Blank()) return;
        empty = false;
        if (!header) {
            if (looked++ > kTableTitleRows) return;
            const Header h = ReadHeader(record);
            if (h.Complete()) header = h;
            return;
        }
        const ControlColumns& c = header->columns;
        const std::string_view stationText = TableCell(record, c.station);
        ControlPoint point;
        point.row = record.row;
        const std::optional<Station> station = ParseStation(stationText);
        const auto problem = [&](ControlProblemKind kind, std::string_view cell) {
            if (reading.problemCount++ >= kListedGroundProblems) return;
            ControlProblem p;
            p.kind = kind;
            p.point = reading.controls.size();
            p.row = record.row;
            p.text = QuotedInput(cell);
            if (station) p.station = *station;
            reading.problems.push_back(std::move(p));
        };
        bool ok = true;
        if (!station) {
            problem(ControlProblemKind::StationUnreadable, stationText);
            ok = false;
        }
        for (const auto& [column, bound] : {std::pair{c.lower, &point.lower}, std::pair{c.upper, &point.upper}}) {
            if (!column) continue;
            const std::string_view cell = TableCell(record, *column);
            const auto value = ReadBoundCell(cell);
            if (!value) {
                problem(ControlProblemKind::BoundUnreadable, cell);
                ok = false;
            } else {
                *bound = *value;
            }
        }
        if (!ok) return;
        point.station = *station;
        if (c.name) point.name = std::string(TableCell(record, *c.name));
        reading.controls.push_back(std::move(point));
    };
    if (std::optional<IoFailure> failure = ForEachTableRecord(text, kNoun, path, row)) return *failure;
    if (empty) return NotProfileFailure(path, "是空的，没有表头和数据。");
    if (!header)
        return NotProfileFailure(path,
                                 "的表头中没有“桩号（station）”和“最低高程（lower）”或“最高高程（upper）”列，不是控制标高表。");
    if (header->columns.unitProblem.fault != UnitFault::None) return UnitFailure(path, "的表头中", header->columns.unitProblem);
    if (header->columns.unit) {
        // Every unit UnitInHeader accepts is one a profile holds.
        const HeldUnit held = HeldAs(*header->columns.unit).value_or(HeldUnit{});
        reading.unit = held.unit;
        if (!HoldLengths(reading.controls, held.powerOfTen)) return UnitFailure(path, {}, {UnitFault::OutOfRange});
    }
    return reading;
}

std::string ControlCsvBytes(const std::vector<ControlPoint>& controls, LengthUnit unit) {
    const std::string bracket = CsvUnitSuffix(unit);
    std::string out = "\xEF\xBB\xBF桩号" + bracket + ",最低高程" + bracket + ",最高高程" + bracket + ",名称\r\n";
    for (const ControlPoint& c : controls) {
        out += ExactNumberText(c.station.value);
        if (c.station.occurrence >= 1) out += "(" + std::to_string(c.station.occurrence) + ")";
        out += ',';
        if (c.lower) out += ExactNumberText(*c.lower);
        out += ',';
        if (c.upper) out += ExactNumberText(*c.upper);
        out += ',';
        out += CsvCellText(c.name);
        out += "\r\n";
    }
    return out;
}

Result<DesignCriteria> ParseCriteriaCsv(std::string_view bytes, std::string_view path) {
    constexpr std::string_view kNoun = "设计标准文件";
    Result<TableText> decoded = DecodeTableText(bytes, path, kNoun);
    if (!decoded.ok()) return decoded.failure();
    const std::string_view text = decoded.value().Text();
    DesignCriteria criteria;
    std::optional<IoFailure> failure;
    bool header = false;
    std::size_t looked = 0;
    std::array<std::size_t, std::size(kCriteria)> seen{};
    const auto row = [&](const auto& record) {
        if (failure || record.Blank()) return;
        const std::string key = NormalizedHeaderWord(TableCell(record, 0));
        if (!header) {
            if (key == "criterion" && NormalizedHeaderWord(TableCell(record, 1)) == "value") header = true;
            else if (looked++ >= kTableTitleRows) failure = NotProfileFailure(path, "的表头不是“criterion,value”，不是设计标准文件。");
            return;
        }
        const std::string_view keyText = TableCell(record, 0);
        const std::optional<Criterion> criterion = CriterionFromKey(keyText);
        if (!criterion) {
            failure = NotProfileFailure(path, RowText(record.row) + "的“" + QuotedInput(keyText) +
                                                  "”不是设计标准的项目（max_grade、min_grade、min_grade_length、"
                                                  "min_crest_radius、min_sag_radius、min_curve_length）。");
            return;
        }
        const std::size_t k = static_cast<std::size_t>(*criterion);
        if (seen[k] != 0) {
            failure = NotProfileFailure(path, RowText(record.row) + "的" + QuotedInput(keyText) + "与" +
                                                  RowText(seen[k]) + "重复。");
            return;
        }
        seen[k] = record.row;
        const std::string_view valueText = TableCell(record, 1);
        if (valueText.empty()) return;  // not set
        const std::optional<double> value = ReadWholeNumber(valueText);
        if (!value || !CriterionValueUsable(*criterion, *value)) {
            failure = NotProfileFailure(path, RowText(record.row) + "的" + QuotedInput(keyText) + "值“" +
                                                  QuotedInput(valueText) + "”不可用：须为不小于零的数" +
                                                  (*criterion == Criterion::MaxGrade ? "（最大纵坡须大于零）" : "") + "。");
            return;
        }
        CriterionLimit(criteria, *criterion) = *value;
    };
    if (std::optional<IoFailure> unread = ForEachTableRecord(text, kNoun, path, row)) return *unread;
    if (failure) return *failure;
    if (!header) return NotProfileFailure(path, "中没有表头“criterion,value”，不是设计标准文件。");
    return criteria;
}

std::string CriteriaCsvBytes(const DesignCriteria& criteria) {
    std::string out = "criterion,value\r\n";
    for (Criterion c : kCriteria)
        if (const std::optional<double> v = CriterionLimit(criteria, c))
            out += std::string(CriterionKey(c)) + ',' + ExactNumberText(*v) + "\r\n";
    return out;
}

Result<ControlReading> ReadControlFile(const std::string& path) { return ReadAndParse(path, ParseControlCsv); }

Result<DesignCriteria> ReadCriteriaFile(const std::string& path) { return ReadAndParse(path, ParseCriteriaCsv); }

std::optional<IoFailure> WriteControlCsvFile(const std::string& path, const std::vector<ControlPoint>& controls,
                                             LengthUnit unit) {
    return WriteBytes(path, [&] { return ControlCsvBytes(controls, unit); });
}

std::optional<IoFailure> WriteCriteriaFile(const std::string& path, const DesignCriteria& criteria) {
    return WriteBytes(path, [&] { return CriteriaCsvBytes(criteria); });
}

}  // namespace tarnvel::io
