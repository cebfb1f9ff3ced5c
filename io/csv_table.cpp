#include "io/csv_table.h"

#include <algorithm>

#include "core/text/quoted_input.h"
#include "core/calculator/number_text.h"
#include "core/text/messages.h"
#include "io/exact_number.h"
#include "io/gbk.h"

namespace tarnvel::io {
namespace {

std::optional<std::size_t> ColumnOf(const std::string& word, const CsvTableKind& kind, std::size_t first,
                                    std::size_t last) {
    for (std::size_t c = first; c <= last && c < kind.columns.size(); ++c)
        for (std::string_view w : kind.columns[c])
            if (!w.empty() && word == w) return c;
    return std::nullopt;
}

// The name before any bracket, then the words inside brackets.
std::vector<std::string> HeaderWords(std::string_view cell, std::vector<std::string>* bracketed) {
    const std::string folded = FoldFullWidth(cell);
    std::vector<std::string> words;
    std::string current;
    bool inBracket = false;
    const auto flush = [&] {
        const std::string n = NormalizedHeaderWord(current);
        if (!n.empty()) (inBracket ? *bracketed : words).push_back(n);
        current.clear();
    };
    for (char c : folded) {
        if (c == '(' || c == '[' || c == ')' || c == ']' || c == ',' || c == ';' || c == '/') {
            flush();
            inBracket = c == '(' || c == '[' || ((c == ',' || c == ';' || c == '/') && inBracket);
            continue;
        }
        current += c;
    }
    flush();
    return words;
}

// Whether text that is not wholly UTF-8 is still meant as UTF-8, with a few
// damaged or pasted lines: more lines with other letters than ASCII read as
// UTF-8 than do not, or the first such line (the header, as a rule) does.
// A GBK file seldom has a whole line that happens to read as UTF-8.
bool MostlyUtf8(std::string_view text) {
    std::size_t utf8Lines = 0, otherLines = 0;
    std::optional<bool> firstIsUtf8;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            continue;
        const bool utf8 = IsValidUtf8(line);
        (utf8 ? utf8Lines : otherLines) += 1;
        if (!firstIsUtf8) firstIsUtf8 = utf8;
    }
    return utf8Lines > otherLines || (utf8Lines == otherLines && firstIsUtf8.value_or(false));
}

// A header row whose only cell holds another separator: say so, rather than
// that a column is missing.
std::optional<char> ForeignSeparator(const CsvRecordView& record) {
    if (record.cells.size() != 1) return std::nullopt;
    for (char c : {';', '|'})
        if (record.cells[0].find(c) != std::string_view::npos) return c;
    return std::nullopt;
}

}  // namespace

std::string RowText(std::size_t row) { return "第" + std::to_string(row) + "行"; }

namespace {

IoFailure HeaderUnitFailure(std::string_view path, std::size_t row, const UnitProblem& problem) {
    return UnitFailure(path, RowText(row) + "的表头中", problem);
}

}  // namespace

Result<CsvHeader> ReadCsvHeader(const CsvRecordView& record, const CsvTableKind& kind, std::size_t first,
                                std::size_t last, std::string_view path) {
    CsvHeader header;
    header.index.resize(kind.columns.size());
    header.title.resize(kind.columns.size());
    std::vector<std::pair<std::size_t, std::size_t>> weak;  // (column, cell) named by a weak word alone
    for (std::size_t i = 0; i < record.cells.size(); ++i) {
        if (record.cells[i].size() > kLongestHeaderCell) continue;
        std::vector<std::string> bracketed;
        const std::vector<std::string> words = HeaderWords(record.cells[i], &bracketed);
        std::optional<std::size_t> column;
        bool weakOnly = false;
        for (const std::string& w : words)
            if (!column) {
                column = ColumnOf(w, kind, first, last);
                weakOnly = column && std::find(kind.weakWords.begin(), kind.weakWords.end(), w) != kind.weakWords.end();
            }
        for (const std::string& w : bracketed) {
            if (!column) column = ColumnOf(w, kind, first, last);
            else if (weakOnly && ColumnOf(w, kind, first, last) == column) weakOnly = false;  // "E(east)"
        }
        if (!column) continue;  // a column this program does not use (序号, 坡度, 备注 …)
        if (weakOnly) {
            weak.emplace_back(*column, i);
            continue;
        }
        if (header.index[*column])
            return NotProfileFailure(path, RowText(record.row) + "的表头中“" + QuotedInput(TrimmedView(record.cells[i])) +
                                               "”与“" + header.title[*column] + "”是同一列，重复了。");
        header.index[*column] = i;
        header.title[*column] = QuotedInput(TrimmedView(record.cells[i]));
    }
    std::vector<bool> strong(header.index.size());
    for (std::size_t c = 0; c < header.index.size(); ++c) strong[c] = header.index[c].has_value();
    for (const auto& [column, i] : weak) {
        if (strong[column]) continue;
        if (header.index[column])
            return NotProfileFailure(path, RowText(record.row) + "的表头中“" + QuotedInput(TrimmedView(record.cells[i])) +
                                               "”与“" + header.title[column] + "”是同一列，重复了。");
        header.index[column] = i;
        header.title[column] = QuotedInput(TrimmedView(record.cells[i]));
    }
    // The columns that hold lengths are lengths of one table: a unit any of
    // them states must be known and the same; one that states none follows
    // the others.
    const auto isColumnName = [&kind](std::string_view w) {
        return ColumnOf(std::string(w), kind, 0, kind.columns.size()).has_value();
    };
    TableUnit unit;
    for (std::size_t c = 0; c < header.index.size(); ++c) {
        if (!header.index[c] || std::find(kind.unitless.begin(), kind.unitless.end(), c) != kind.unitless.end())
            continue;
        UnitProblem problem;
        const std::optional<Unit> stated = UnitInHeader(record.cells[*header.index[c]], &problem, isColumnName);
        if (problem.fault != UnitFault::None) {
            problem.column = header.title[c];
            header.unitProblem = problem;
            break;
        }
        if (stated && !unit.Add(*stated, header.title[c])) {
            header.unitProblem = unit.Problem();
            break;
        }
    }
    header.unit = unit.Stated();
    return header;
}

bool IsCsvChainHeader(const CsvRecordView& record, const CsvTableKind& kind, std::size_t back, std::size_t ahead) {
    bool chain = false;
    for (std::string_view cell : record.cells) {
        if (cell.size() > kLongestHeaderCell) continue;
        std::vector<std::string> bracketed;
        for (const std::string& w : HeaderWords(cell, &bracketed)) {
            const std::optional<std::size_t> c = ColumnOf(w, kind, 0, ahead);
            if (c == back || c == ahead)
                chain = true;
            else if (c)
                return false;
        }
    }
    return chain;
}

Result<CsvText> DecodeCsvText(std::string_view bytes, std::string_view noun, std::string_view path) {
    if (LooksLikeUtf16(bytes))
        return NotProfileFailure(path, "是UTF-16编码的文本，无法读取：请另存为UTF-8或GBK编码（电子表格中选“CSV UTF-8”）。");
    if (bytes.find('\0') != std::string_view::npos)
        return NotProfileFailure(path, "含有二进制数据，不是" + std::string(noun) + "。");
    CsvText text;
    text.original = bytes;
    if (text.original.starts_with(kUtf8Bom)) text.original.remove_prefix(kUtf8Bom.size());
    text.badUtf8 = FirstInvalidUtf8(text.original);
    if (text.badUtf8 != std::string_view::npos && !MostlyUtf8(text.original)) {
        text.converted = GbkToUtf8(text.original);
        text.gbk = true;
        text.badUtf8 = std::string_view::npos;
    }
    return text;
}

CsvTableRecords::CsvTableRecords(const CsvText& text, std::string_view noun, std::string_view path)
    : reader_(text.Text(), SniffCsvSeparator(text.Text())), badUtf8_(text.badUtf8), noun_(noun), path_(path) {}

Result<bool> CsvTableRecords::Next(CsvRecordView& record) {
    switch (reader_.Next(record)) {
        case CsvRecordReader::Status::End: return false;
        case CsvRecordReader::Status::UnclosedQuote:
            return NotProfileFailure(path_, RowText(reader_.FailedRow()) + "的引号没有配对。");
        case CsvRecordReader::Status::TooManyCells:
            return NotProfileFailure(path_, RowText(reader_.FailedRow()) + "超过" + std::to_string(kMaxCsvCells) +
                                                "列，不是" + std::string(noun_) + "。");
        case CsvRecordReader::Status::Record: break;
    }
    if (record.begin <= badUtf8_ && badUtf8_ < record.end)
        return NotProfileFailure(path_, RowText(record.row) +
                                            "含有不是UTF-8编码的文字，而文件其余部分是UTF-8编码：请改正这一行，"
                                            "或将整个文件另存为UTF-8编码。");
    return true;
}

Result<FoundCsvHeader> FindCsvHeader(const CsvText& text, CsvTableRecords& records, const CsvTableKind& kind,
                                     std::size_t last, std::span<const CsvNeededColumn> needed,
                                     std::string_view path) {
    CsvRecordView record;
    Result<bool> more = records.Next(record);
    for (; more.ok() && more.value() && record.Blank(); more = records.Next(record)) {}
    if (!more.ok()) return more.failure();
    if (!more.value()) return NotProfileFailure(path, "是空的，没有表头和数据。");
    const std::size_t firstRow = record.row;
    const std::optional<char> foreign = ForeignSeparator(record);
    const auto complete = [&](const CsvHeader& h) {
        return std::all_of(needed.begin(), needed.end(), [&](const CsvNeededColumn& n) { return h.index[n.column]; });
    };
    // A row that cannot be a header (a unit refused, a column twice) is
    // remembered: when no header is found, that is what is wrong.
    std::optional<IoFailure> refused;
    for (std::size_t looked = 0; looked <= kCsvTitleRows;) {
        if (!record.Blank()) {
            ++looked;
            Result<CsvHeader> candidate = ReadCsvHeader(record, kind, 0, last, path);
            if (candidate.ok() && candidate.value().unitProblem.fault != UnitFault::None) {
                IoFailure unit = HeaderUnitFailure(path, record.row, candidate.value().unitProblem);
                if (complete(candidate.value())) return unit;
                if (!refused) refused = std::move(unit);
            } else if (candidate.ok() && complete(candidate.value())) {
                return FoundCsvHeader{std::move(candidate.value()), record.row, records.Here()};
            }
            if (!candidate.ok() && !refused) refused = candidate.failure();
        }
        more = records.Next(record);
        if (!more.ok()) return more.failure();
        if (!more.value()) break;
    }
    // No header among the first rows: the first row is taken as the one and
    // said what it lacks.
    const std::string headerRow = RowText(firstRow);
    if (foreign)
        return NotProfileFailure(path, headerRow + "的各列以“" + std::string(1, *foreign) +
                                           "”分隔，无法识别：请用逗号或制表符分隔各列（电子表格中另存为“CSV”）。");
    if (refused) return *refused;
    CsvRecordReader again(text.Text(), SniffCsvSeparator(text.Text()));
    CsvRecordView firstRecord;
    while (again.Next(firstRecord) == CsvRecordReader::Status::Record && firstRecord.row < firstRow) {}
    Result<CsvHeader> header = ReadCsvHeader(firstRecord, kind, 0, last, path);
    if (!header.ok()) return header.failure();  // not reached: it was refused above
    for (const CsvNeededColumn& n : needed)
        if (!header.value().index[n.column])
            return NotProfileFailure(path, headerRow + "的表头中没有“" + std::string(n.shown) + "”列，不是" +
                                               std::string(kind.noun) + "。");
    return NotProfileFailure(path, headerRow + "不是" + std::string(kind.noun) + "的表头。");
}

std::string_view CsvRow::Cell(std::size_t column) const {
    const std::optional<std::size_t> i = header_.index[column];
    return i && *i < record_.cells.size() ? TrimmedView(record_.cells[*i]) : std::string_view();
}

IoFailure CsvCellFailure(std::string_view path, std::size_t row, const CsvHeader& header, std::size_t column,
                         std::string_view what) {
    return NotProfileFailure(path, RowText(row) + "“" + header.title[column] + "”列" + std::string(what));
}

IoFailure CsvRow::Failure(std::size_t column, std::string_view what) const {
    return CsvCellFailure(path_, record_.row, header_, column, what);
}

IoFailure CsvRow::RowFailure(std::string_view what) const {
    return NotProfileFailure(path_, RowText(record_.row) + std::string(what));
}

Result<Station> CsvRow::StationCell(std::size_t column, bool occurrenceAllowed) const {
    const std::string_view text = Cell(column);
    if (text.empty()) return Failure(column, "为空。");
    StationTextProblem problem;
    const std::optional<Station> station = ParseStation(text, &problem);
    if (!station) return Failure(column, "：" + DescribeStationText(problem));
    if (!occurrenceAllowed && station->occurrence != 0) return Failure(column, "的“" + QuotedInput(text) + "”不应带出现次数。");
    return *station;
}

Result<double> CsvRow::NumberCell(std::size_t column) const {
    const std::string_view text = Cell(column);
    if (text.empty()) return Failure(column, "为空。");
    const std::optional<double> value = ReadWholeNumber(text);
    if (!value) return Failure(column, "的“" + QuotedInput(text) + "”不是数。");
    return *value;
}

Result<ChainBreak> ReadCsvChainRow(const CsvRecordView& record, const CsvHeader& header, std::size_t back,
                                   std::size_t ahead, std::string_view path) {
    const CsvRow row(record, header, path);
    Result<Station> behind = row.StationCell(back, false);
    if (!behind.ok()) return behind.failure();
    Result<Station> before = row.StationCell(ahead, false);
    if (!before.ok()) return before.failure();
    return ChainBreak{behind.value().value, before.value().value};
}

Result<std::optional<CsvHeader>> ReadCsvChainHeader(const CsvRecordView& record, const CsvTableKind& kind,
                                                    const CsvHeader& table, std::size_t back, std::size_t ahead,
                                                    std::string_view path) {
    if (!IsCsvChainHeader(record, kind, back, ahead)) return std::optional<CsvHeader>();
    Result<CsvHeader> h = ReadCsvHeader(record, kind, back, ahead, path);
    if (!h.ok()) return h.failure();
    if (!h.value().index[back] || !h.value().index[ahead])
        return NotProfileFailure(path, RowText(record.row) + "的断链表头要有“断链前桩号”和“断链后桩号”两列。");
    if (h.value().unitProblem.fault != UnitFault::None)
        return HeaderUnitFailure(path, record.row, h.value().unitProblem);
    // The chain table is in the unit of the rows: one it states must be theirs.
    const Unit rows = table.unit.value_or(Unit::Metre);
    if (h.value().unit && *h.value().unit != rows) {
        TableUnit both;
        both.Add(rows, table.title[kind.station]);
        both.Add(*h.value().unit, h.value().title[back]);
        return HeaderUnitFailure(path, record.row, both.Problem());
    }
    return std::optional<CsvHeader>(std::move(h.value()));
}

std::string CsvStationText(const Station& station) {
    std::string text = ExactNumberText(station.value);
    if (station.occurrence >= 1) text += "(" + std::to_string(station.occurrence) + ")";
    return text;
}

std::string CsvUnitSuffix(LengthUnit unit) {
    switch (unit) {
        case LengthUnit::Metre: return {};
        case LengthUnit::Foot: return "[ft]";
        case LengthUnit::USSurveyFoot: return "[ftUS]";
    }
    return {};
}

std::string CsvChainSectionText(const std::vector<ChainBreak>& chains) {
    if (chains.empty()) return {};
    std::string out = "\r\n断链前桩号(station_back),断链后桩号(station_ahead)\r\n";
    for (const ChainBreak& b : chains) out += ExactNumberText(b.back) + "," + ExactNumberText(b.ahead) + "\r\n";
    return out;
}

std::string CsvCellText(std::string_view text) {
    if (text.find_first_of(",\t\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace tarnvel::io
