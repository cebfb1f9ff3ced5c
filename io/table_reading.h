#pragma once
// What the readers of spreadsheet tables (the ground table, the control
// table) share: the bytes turned into UTF-8 text (byte-order mark, GBK),
// records handed out one at a time, and header cells split into their words
// and unit ("地面高程(ground)[ft]").

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/profile/profile.h"
#include "io/csv_records.h"
#include "io/io_failure.h"

namespace tarnvel::io {

// How many rows above the header may be titles.
inline constexpr std::size_t kTableTitleRows = 5;

// The table's text: UTF-8 where it lies (after a byte-order mark), GBK
// converted. UTF-16 and binary data are refused, the sentence naming the file
// and, for binary data, `what` the file is not ("地面线表").
struct TableText {
    std::string converted;  // empty when the text is the bytes themselves
    std::string_view original;
    // Taken on each call: a view into `converted` kept across a move would
    // dangle (short strings live inside the object).
    std::string_view Text() const { return converted.empty() ? original : std::string_view(converted); }
};
Result<TableText> DecodeTableText(std::string_view bytes, std::string_view path, std::string_view what);

// A header cell: its words before and inside brackets (normalised as
// NormalizedHeaderWord does), and the unit a word names.
struct HeaderCell {
    std::vector<std::string> words;
    std::optional<LengthUnit> unit;
};
HeaderCell ReadHeaderCell(std::string_view cell);

// Calls visit(record) for each record of `text` in order, as SplitCsvRecords
// splits them, one record at a time: a survey of a million points is read
// without a million records in memory. Lines without a quote are split on
// the spot; from the first line with one, the splitter takes the rest.
// Quote-free lines are handed out as views into the text, so a row costs no
// copies of its cells.
template <typename Visit>
std::optional<UnclosedQuote> ForEachTableRecord(std::string_view text, char separator, Visit&& visit) {
    CsvRecordView record;
    std::size_t pos = 0;
    for (std::size_t row = 1; pos < text.size(); ++row) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        const std::string_view line = text.substr(pos, end - pos);
        if (line.find('"') != std::string_view::npos) {
            auto rest = SplitCsvRecords(text.substr(pos), separator);
            if (const UnclosedQuote* open = std::get_if<UnclosedQuote>(&rest))
                return UnclosedQuote{open->row + row - 1};
            for (CsvRecord& r : std::get<std::vector<CsvRecord>>(rest)) {
                r.row += row - 1;
                visit(r);
            }
            return std::nullopt;
        }
        record.row = row;
        std::size_t cells = 0, from = 0;
        for (;;) {
            const std::size_t to = std::min(line.find(separator, from), line.size());
            if (cells == record.cells.size()) record.cells.emplace_back();
            record.cells[cells++] = line.substr(from, to - from);
            if (to == line.size()) break;
            from = to + 1;
        }
        record.cells.resize(cells);
        visit(record);
        pos = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
    }
    return std::nullopt;
}

// Cell i of a record, trimmed; empty beyond its last cell.
template <typename Record>
std::string_view TableCell(const Record& record, std::size_t i) {
    return i < record.cells.size() ? TrimmedView(record.cells[i]) : std::string_view();
}

// A word that names the station column ("桩号", "里程", "station", …).
bool IsStationHeaderWord(std::string_view word);

// "第3行"
std::string RowText(std::size_t row);

}  // namespace tarnvel::io
