#include "io/csv_records.h"

#include <algorithm>

#include "core/calculator/number_text.h"

namespace tarnvel::io {

std::string_view TrimmedView(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

namespace {

bool BlankCell(std::string_view c) { return c.find_first_not_of(" \t\r\n") == std::string_view::npos; }

}  // namespace

bool CsvRecordView::Blank() const { return std::all_of(cells.begin(), cells.end(), BlankCell); }

bool CsvRecord::Blank() const {
    return std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return BlankCell(c); });
}

char SniffCsvSeparator(std::string_view text) {
    std::size_t commas = 0, tabs = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;
        commas += c == ',';
        tabs += c == '\t';
    }
    return tabs > commas ? '\t' : ',';
}

CsvRecordReader::CsvRecordReader(std::string_view text, char separator, std::size_t maxCells)
    : text_(text), separator_(separator), maxCells_(maxCells) {}

CsvRecordReader::Status CsvRecordReader::Next(CsvRecordView& record) {
    const std::string_view t = text_;
    const std::size_t n = t.size();
    if (offset_ >= n) return Status::End;
    const char sep = separator_;
    const auto ends = [sep](char c) { return c == sep || c == '\r' || c == '\n'; };
    spans_.clear();
    scratch_.clear();
    record.row = row_;
    record.begin = offset_;
    std::size_t i = offset_;
    bool lineEnded = false;
    for (;;) {  // one cell a turn
        if (spans_.size() >= maxCells_) {
            failedRow_ = row_;
            return Status::TooManyCells;
        }
        const std::size_t start = i;
        // Blanks before an opening quote belong to the cell, but do not stop
        // the quote from opening it.
        while (i < n && (t[i] == ' ' || t[i] == '\t') && t[i] != sep) ++i;
        if (i < n && t[i] == '"') {
            const std::size_t from = scratch_.size();
            scratch_.append(t.substr(start, i - start));
            ++i;
            for (;;) {
                const std::size_t quote = t.find('"', i);
                if (quote == std::string_view::npos) {
                    failedRow_ = row_;
                    return Status::UnclosedQuote;
                }
                scratch_.append(t.substr(i, quote - i));
                if (quote + 1 < n && t[quote + 1] == '"') {
                    scratch_ += '"';
                    i = quote + 2;
                    continue;
                }
                i = quote + 1;
                break;
            }
            // Anything after the closing quote up to the separator is kept as written.
            std::size_t j = i;
            while (j < n && !ends(t[j])) ++j;
            scratch_.append(t.substr(i, j - i));
            i = j;
            spans_.push_back({true, from, scratch_.size() - from});
        } else {
            while (i < n && !ends(t[i])) ++i;
            spans_.push_back({false, start, i - start});
        }
        if (i >= n) break;
        if (t[i] == sep) {
            ++i;
            continue;
        }
        i += (t[i] == '\r' && i + 1 < n && t[i + 1] == '\n') ? 2 : 1;
        lineEnded = true;
        break;
    }
    offset_ = i;
    ++row_;
    record.end = i;
    record.cells.resize(spans_.size());
    for (std::size_t k = 0; k < spans_.size(); ++k) {
        const Span& s = spans_[k];
        record.cells[k] = s.inScratch ? std::string_view(scratch_).substr(s.begin, s.size) : t.substr(s.begin, s.size);
    }
    // Text after the last line end that holds nothing is no record.
    if (!lineEnded && record.cells.size() == 1 && record.Blank()) return Status::End;
    return Status::Record;
}

std::variant<std::vector<CsvRecord>, UnclosedQuote> SplitCsvRecords(std::string_view text, char separator) {
    std::vector<CsvRecord> records;
    CsvRecordReader reader(text, separator, static_cast<std::size_t>(-1));
    CsvRecordView view;
    for (;;) {
        const CsvRecordReader::Status status = reader.Next(view);
        if (status == CsvRecordReader::Status::End) break;
        if (status != CsvRecordReader::Status::Record) return UnclosedQuote{reader.FailedRow()};
        records.push_back({view.row, std::vector<std::string>(view.cells.begin(), view.cells.end())});
    }
    return records;
}

bool LooksLikeUtf16(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return true;
    const std::size_t n = std::min<std::size_t>(bytes.size(), 256) & ~std::size_t{1};
    if (n < 2) return false;
    std::size_t evenNul = 0, oddNul = 0;
    for (std::size_t i = 0; i < n; ++i) (i % 2 == 0 ? evenNul : oddNul) += bytes[i] == '\0';
    // Mostly ASCII in one of the two byte orders: half the bytes NUL, all on one side.
    return (evenNul == 0 && oddNul * 4 >= n) || (oddNul == 0 && evenNul * 4 >= n);
}

bool IsValidUtf8(std::string_view s) { return FirstInvalidUtf8(s) == std::string_view::npos; }

std::size_t FirstInvalidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t n = 0;
        unsigned min = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            n = 1;
            min = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2;
            min = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3;
            min = 0x10000;
        } else {
            return i;
        }
        if (i + n >= s.size()) return i;
        unsigned code = c & (0x3Fu >> n);
        for (std::size_t k = 1; k <= n; ++k) {
            const unsigned char d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return i;
            code = (code << 6) | (d & 0x3Fu);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return i;
        i += n + 1;
    }
    return std::string_view::npos;
}

}  // namespace tarnvel::io
