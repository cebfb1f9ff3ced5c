#pragma once
// What the spreadsheet tables of this program (the PVI table, the 交点表)
// share: the encoding of the file (UTF-8 or GBK, judged once for the whole
// file), the header row found by its column names below any title rows, the
// unit in brackets behind a name (read by the one unit table of
// core/profile/units.h, as every reader does), the records read with the one place a UTF-8
// file is damaged named, and the row messages that point at a cell. Each
// table brings its own column words and the noun its messages use.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/profile/chain.h"
#include "core/profile/profile.h"
#include "core/profile/station.h"
#include "core/profile/units.h"
#include "io/csv_records.h"
#include "io/io_failure.h"

namespace tarnvel::io {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// How many rows above the header may be titles.
inline constexpr std::size_t kCsvTitleRows = 5;

// No column name is longer than this; a longer cell is no header word and
// is not looked at letter by letter.
inline constexpr std::size_t kLongestHeaderCell = 256;

// "第3行": a record as the messages name it.
std::string RowText(std::size_t row);

// Header words of one column, compared after NormalizedHeaderWord; empty
// entries are unused.
using CsvColumnWords = std::array<std::string_view, 8>;

struct CsvTableKind {
    std::string_view noun;                       // "纵断面表": what a file that is none is said not to be
    std::span<const CsvColumnWords> columns;     // by column number
    // Columns that hold no length (a name, a curve's kind): no unit is read
    // behind them. Every other column's must be known and the same.
    std::span<const std::size_t> unitless;
    // The column a message names for the rows' unit when a chain table after
    // them states another.
    std::size_t station = 0;
    // Words that name a column only where no other cell of the header names
    // it: a lone "E" is the east coordinate, but beside "Y" it is the 外距
    // of a 直线、曲线及转角表.
    std::span<const std::string_view> weakWords;
};

// The columns a header row names, by position; a header may also name the
// unit in brackets: "桩号(station)[ft]", "X[mm]".
struct CsvHeader {
    std::vector<std::optional<std::size_t>> index;  // by column number
    std::vector<std::string> title;                  // as written, for messages
    std::optional<Unit> unit;                        // as the columns that hold lengths state it
    UnitProblem unitProblem;                         // a fault: a unit that cannot be used
    // How the rows' lengths are held (metres for mm, cm and km, moved by a
    // power of ten; feet as feet): every unit the header accepts has one.
    HeldUnit Held() const { return unit ? HeldAs(*unit).value_or(HeldUnit{}) : HeldUnit{}; }
};

// The header cells of `record` that name columns first..last of `kind`.
Result<CsvHeader> ReadCsvHeader(const CsvRecordView& record, const CsvTableKind& kind, std::size_t first,
                                std::size_t last, std::string_view path);
// Whether `record` is the header of the chain table that may follow the
// points: it names `back` or `ahead` and no other column up to them.
bool IsCsvChainHeader(const CsvRecordView& record, const CsvTableKind& kind, std::size_t back, std::size_t ahead);

// A file's text as one encoding: UTF-8 (read in place) or GBK (converted).
// A UTF-8 file with a damaged row is not read as GBK, which would garble
// every other row; the damaged row is named when it is read instead.
struct CsvText {
    std::string converted;      // the text of a GBK file, in UTF-8
    std::string_view original;  // the bytes after any byte-order mark
    bool gbk = false;
    std::size_t badUtf8 = std::string_view::npos;

    std::string_view Text() const { return gbk ? std::string_view(converted) : original; }
};
// UTF-16 text and binary data are refused with what to do about them.
Result<CsvText> DecodeCsvText(std::string_view bytes, std::string_view noun, std::string_view path);

// The records of a table in order, each checked against the one place where
// a UTF-8 file is damaged, if any.
class CsvTableRecords {
public:
    CsvTableRecords(const CsvText& text, std::string_view noun, std::string_view path);

    // True with the next record in `record`, false at the end; or why the
    // text cannot be read on.
    Result<bool> Next(CsvRecordView& record);
    CsvRecordReader::Mark Here() const { return reader_.Here(); }
    void Return(CsvRecordReader::Mark mark) { reader_.Return(mark); }

private:
    CsvRecordReader reader_;
    std::size_t badUtf8_;
    std::string_view noun_;
    std::string_view path_;
};

// A column the header must have, and how the message calls it.
struct CsvNeededColumn {
    std::size_t column;
    std::string_view shown;  // "桩号（station）"
};
struct FoundCsvHeader {
    CsvHeader header;
    std::size_t row = 0;
    CsvRecordReader::Mark after;  // where the rows below it start
};
// The header is the first row, among the first few that are not blank, that
// names every needed column (of columns 0..last); one whose unit cannot be
// used is refused, naming the column. Without one, the first row
// is taken as the header and said what it lacks; an empty file is said to be
// empty.
Result<FoundCsvHeader> FindCsvHeader(const CsvText& text, CsvTableRecords& records, const CsvTableKind& kind,
                                     std::size_t last, std::span<const CsvNeededColumn> needed,
                                     std::string_view path);

// "第3行“X”列…": a cell of row `row` under `header`, `what` continuing the sentence.
IoFailure CsvCellFailure(std::string_view path, std::size_t row, const CsvHeader& header, std::size_t column,
                         std::string_view what);

// One data row read against its header: the messages name the row and the
// column as the header wrote it.
class CsvRow {
public:
    CsvRow(const CsvRecordView& record, const CsvHeader& header, std::string_view path)
        : record_(record), header_(header), path_(path) {}

    std::size_t Row() const { return record_.row; }
    std::string_view Cell(std::size_t column) const;
    bool Has(std::size_t column) const { return !Cell(column).empty(); }

    IoFailure Failure(std::size_t column, std::string_view what) const;
    IoFailure RowFailure(std::string_view what) const;

    Result<Station> StationCell(std::size_t column, bool occurrenceAllowed) const;
    Result<double> NumberCell(std::size_t column) const;

private:
    const CsvRecordView& record_;
    const CsvHeader& header_;
    std::string_view path_;
};

// Reads the rows of a table below its `header`, then the chain table that may
// follow them after its own header row (断链前桩号, 断链后桩号: columns `back`
// and `ahead` of `kind`, in the rows' unit) into `chains`. `readRow(record)` reads one row of
// the table, giving nothing or why it does not read; a row that does not
// read is looked at as the chain table's header before it is refused.
// Blank rows are skipped.
template <class ReadRow>
std::optional<IoFailure> ReadCsvRows(CsvTableRecords& records, const CsvTableKind& kind, const CsvHeader& header,
                                     std::size_t back, std::size_t ahead, std::vector<ChainBreak>& chains,
                                     std::string_view path, ReadRow readRow);

// The chain table's header in `record`, when it is one; a unit it states
// must be that of the rows above it (`table`).
Result<std::optional<CsvHeader>> ReadCsvChainHeader(const CsvRecordView& record, const CsvTableKind& kind,
                                                    const CsvHeader& table, std::size_t back, std::size_t ahead,
                                                    std::string_view path);
Result<ChainBreak> ReadCsvChainRow(const CsvRecordView& record, const CsvHeader& header, std::size_t back,
                                   std::size_t ahead, std::string_view path);

template <class ReadRow>
std::optional<IoFailure> ReadCsvRows(CsvTableRecords& records, const CsvTableKind& kind, const CsvHeader& header,
                                     std::size_t back, std::size_t ahead, std::vector<ChainBreak>& chains,
                                     std::string_view path, ReadRow readRow) {
    std::optional<CsvHeader> chainHeader;
    CsvRecordView record;
    for (;;) {
        Result<bool> more = records.Next(record);
        if (!more.ok()) return more.failure();
        if (!more.value()) return std::nullopt;
        if (record.Blank()) continue;
        if (chainHeader) {
            Result<ChainBreak> chain = ReadCsvChainRow(record, *chainHeader, back, ahead, path);
            if (!chain.ok()) return chain.failure();
            chains.push_back(chain.value());
            continue;
        }
        std::optional<IoFailure> failure = readRow(static_cast<const CsvRecordView&>(record));
        if (!failure) continue;
        Result<std::optional<CsvHeader>> chain = ReadCsvChainHeader(record, kind, header, back, ahead, path);
        if (!chain.ok()) return chain.failure();
        if (!chain.value()) return failure;
        chainHeader = std::move(chain.value());
    }
}

// A station label as the tables write it: full precision, "(2)" behind an occurrence.
std::string CsvStationText(const Station& station);

// The unit as a header names it behind a column: "[ft]"; nothing for metres.
std::string CsvUnitSuffix(LengthUnit unit);

// The chain table as the tables write it after their rows: an empty line,
// its header, one break a line; nothing without breaks.
std::string CsvChainSectionText(const std::vector<ChainBreak>& chains);

// A cell as a spreadsheet reads it back: quoted when it holds a separator,
// a quote or a line break, or blanks at either end.
std::string CsvCellText(std::string_view text);

}  // namespace tarnvel::io
