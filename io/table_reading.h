#pragma once
// What the readers of a surveyor's spreadsheet tables (the ground table, the
// control table) share: the bytes turned into UTF-8 text (byte-order mark,
// GBK), the records handed out one at a time, header cells split into their
// words, and the unit the length columns state, read by the one unit table
// (core/profile/units.h) as every reader does.

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/profile/units.h"
#include "io/csv_records.h"
#include "io/csv_table.h"
#include "io/io_failure.h"

namespace tarnvel::io {

// How many rows above the header may be titles.
inline constexpr std::size_t kTableTitleRows = kCsvTitleRows;

// The table's text: UTF-8 where it lies (after a byte-order mark), GBK
// converted. UTF-16 and binary data are refused, the sentence naming the file
// and, for binary data, `noun`, what the file is not ("地面线表").
struct TableText {
    std::string converted;  // empty when the text is the bytes themselves
    std::string_view original;
    // Taken on each call: a view into `converted` kept across a move would
    // dangle (short strings live inside the object).
    std::string_view Text() const { return converted.empty() ? original : std::string_view(converted); }
};
Result<TableText> DecodeTableText(std::string_view bytes, std::string_view path, std::string_view noun);

// "地面高程(ground)[ft]": the name before any bracket and the words inside,
// each normalised as NormalizedHeaderWord does (the unit is read by
// UnitInHeader, through ReadColumnsUnit).
std::vector<std::string> HeaderCellWords(std::string_view cell);

// Whether a header word is one of `words`.
template <typename Words>
bool OneOf(std::string_view word, const Words& words) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

// A word that names the station column ("桩号", "里程", "station", …).
bool IsStationHeaderWord(std::string_view word);

// The unit the length columns of a header state: a unit any of them states
// must be known, and they must agree; one that states none follows the
// others. `isColumnName` tells the words that name a column of this table
// from units in brackets.
struct ColumnsUnit {
    std::optional<Unit> unit;
    UnitProblem problem;  // a fault: a unit that cannot be used
};
ColumnsUnit ReadColumnsUnit(const std::vector<std::string_view>& cells, bool (*isColumnName)(std::string_view));

// Calls visit(record) for each record of `text` in order, one record at a
// time: a survey of a million points is read without a million records in
// memory. Nothing, or why the text cannot be read on (a quote that never
// closes, a row of more cells than any table has), naming the row and, for
// the cells, `noun`.
template <typename Visit>
std::optional<IoFailure> ForEachTableRecord(std::string_view text, std::string_view noun, std::string_view path,
                                            Visit&& visit) {
    CsvRecordReader reader(text, SniffCsvSeparator(text));
    CsvRecordView record;
    for (;;) {
        switch (reader.Next(record)) {
            case CsvRecordReader::Status::End: return std::nullopt;
            case CsvRecordReader::Status::UnclosedQuote:
                return NotProfileFailure(path, RowText(reader.FailedRow()) + "的引号没有配对。");
            case CsvRecordReader::Status::TooManyCells:
                return NotProfileFailure(path, RowText(reader.FailedRow()) + "超过" + std::to_string(kMaxCsvCells) +
                                                   "列，不是" + std::string(noun) + "。");
            case CsvRecordReader::Status::Record: visit(static_cast<const CsvRecordView&>(record)); break;
        }
    }
}

// Cell i of a record, trimmed; empty beyond its last cell.
template <typename Record>
std::string_view TableCell(const Record& record, std::size_t i) {
    return i < record.cells.size() ? TrimmedView(record.cells[i]) : std::string_view();
}

}  // namespace tarnvel::io
