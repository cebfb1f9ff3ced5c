#pragma once
// Splitting spreadsheet text into records and cells: quoted cells (with
// separators, line breaks and doubled quotes inside), CR LF, LF or CR line
// ends, comma or tab separators. Knows nothing about what the cells mean.
//
// Records are streamed: a cell is a view into the text (or, for a quoted cell
// with doubled quotes, into the reader's own small buffer), so reading a table
// costs the table's rows as the caller keeps them, not a copy of every cell.

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/calculator/number_text.h"

namespace tarnvel::io {

// A header cell as the column finders compare it (one rule for every reader and the unit table).
using ::tarnvel::NormalizedHeaderWord;

// More cells than this in one record is no table a person keeps: the reader
// stops there, so that a line of millions of separators costs nothing.
inline constexpr std::size_t kMaxCsvCells = 1024;

// One record as the reader hands it out; the views stay valid until the
// reader's next Next() (those into the text as long as the text).
struct CsvRecordView {
    std::size_t row = 0;    // as a spreadsheet numbers it: the first record is row 1
    std::size_t begin = 0;  // the record's bytes in the text: [begin, end)
    std::size_t end = 0;
    std::vector<std::string_view> cells;

    bool Blank() const;  // every cell empty or blanks only
};

class CsvRecordReader {
public:
    enum class Status {
        Record,         // `record` holds the next record
        End,            // no more records
        UnclosedQuote,  // a quoted cell starts in FailedRow() and never closes
        TooManyCells,   // the record of FailedRow() has more than the allowed cells
    };
    // Where the reader stands, to come back to after looking ahead.
    struct Mark {
        std::size_t offset = 0;
        std::size_t row = 1;
    };

    CsvRecordReader(std::string_view text, char separator, std::size_t maxCells = kMaxCsvCells);

    Status Next(CsvRecordView& record);
    std::size_t FailedRow() const { return failedRow_; }
    Mark Here() const { return {offset_, row_}; }
    void Return(Mark mark) {
        offset_ = mark.offset;
        row_ = mark.row;
    }

private:
    struct Span {
        bool inScratch;
        std::size_t begin, size;
    };
    std::string_view text_;
    char separator_;
    std::size_t maxCells_;
    std::size_t offset_ = 0;
    std::size_t row_ = 1;
    std::size_t failedRow_ = 0;
    std::vector<Span> spans_;
    std::string scratch_;  // quoted cells with their doubled quotes undone
};

// A record with cells of its own, for callers that keep records.
struct CsvRecord {
    std::size_t row = 0;
    std::vector<std::string> cells;

    bool Blank() const;
};

// Comma or tab, whichever the first line has more of outside quotes.
char SniffCsvSeparator(std::string_view text);

// Every record of `text` kept, or the row where a quoted cell starts that
// never closes. For small texts; files go through CsvRecordReader.
struct UnclosedQuote {
    std::size_t row = 0;
};
std::variant<std::vector<CsvRecord>, UnclosedQuote> SplitCsvRecords(std::string_view text, char separator);

// UTF-8 as the standard allows it: no overlong forms, no surrogates.
bool IsValidUtf8(std::string_view bytes);
// The offset of the first byte that is not part of valid UTF-8, or npos.
std::size_t FirstInvalidUtf8(std::string_view bytes);

// Text in UTF-16: a byte-order mark, or (without one) NUL bytes in every
// other place of the beginning, as ASCII letters have them in UTF-16.
bool LooksLikeUtf16(std::string_view bytes);

// Without blanks (space, tab, CR, LF) at either end.
std::string_view TrimmedView(std::string_view text);

}  // namespace tarnvel::io
