#include "io/csv_records.h"

#include <algorithm>

namespace tarnvel::io {

std::string TrimmedCell(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

bool CsvRecord::Blank() const {
    return std::all_of(cells.begin(), cells.end(),
                       [](const std::string& c) { return c.find_first_not_of(" \t\r\n") == std::string::npos; });
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

std::variant<std::vector<CsvRecord>, UnclosedQuote> SplitCsvRecords(std::string_view text, char separator) {
    std::vector<CsvRecord> records;
    CsvRecord record{1, {std::string()}};
    std::size_t i = 0;
    bool atCellStart = true;  // blanks before an opening quote do not count
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"' && atCellStart) {
            const std::size_t startRow = record.row;
            ++i;
            for (;;) {
                if (i >= text.size()) return UnclosedQuote{startRow};
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        record.cells.back() += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                record.cells.back() += text[i++];
            }
            atCellStart = false;
            continue;
        }
        if (c == separator) {
            record.cells.emplace_back();
            atCellStart = true;
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            const std::size_t next = record.row + 1;
            records.push_back(std::move(record));
            record = CsvRecord{next, {std::string()}};
            atCellStart = true;
            continue;
        }
        if (!(atCellStart && (c == ' ' || c == '\t'))) atCellStart = false;
        record.cells.back() += c;
        ++i;
    }
    if (!record.Blank() || record.cells.size() > 1) records.push_back(std::move(record));
    return records;
}

bool IsValidUtf8(std::string_view s) {
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
            return false;
        }
        if (i + n >= s.size()) return false;
        unsigned code = c & (0x3Fu >> n);
        for (std::size_t k = 1; k <= n; ++k) {
            const unsigned char d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            code = (code << 6) | (d & 0x3Fu);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += n + 1;
    }
    return true;
}

}  // namespace tarnvel::io
