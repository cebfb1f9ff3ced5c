#pragma once
// Splitting spreadsheet text into records and cells: quoted cells (with
// separators, line breaks and doubled quotes inside), CR LF, LF or CR line
// ends, comma or tab separators. Knows nothing about what the cells mean.

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarnvel::io {

struct CsvRecord {
    std::size_t row = 0;  // as a spreadsheet numbers it: the first record is row 1
    std::vector<std::string> cells;

    bool Blank() const;  // every cell empty or blanks only
};

// Comma or tab, whichever the first line has more of outside quotes.
char SniffCsvSeparator(std::string_view text);

// The records of `text`, or the row where a quoted cell starts that never
// closes.
struct UnclosedQuote {
    std::size_t row = 0;
};
std::variant<std::vector<CsvRecord>, UnclosedQuote> SplitCsvRecords(std::string_view text, char separator);

// UTF-8 as the standard allows it: no overlong forms, no surrogates.
bool IsValidUtf8(std::string_view bytes);

// Without blanks (space, tab, CR, LF) at either end.
std::string TrimmedCell(std::string_view text);

}  // namespace tarnvel::io
