// The CSV PVI table, as people keep it in a spreadsheet: a header row naming
// the columns (Chinese or English, any order, any case), one row per point,
// then optionally the chain table after its own header row.

#include <algorithm>
#include <array>

#include "io/csv_records.h"
#include "core/calculator/number_text.h"
#include "io/exact_number.h"
#include "io/gbk.h"
#include "io/profile_files.h"
#include "core/profile/units.h"
#include "core/text/messages.h"

namespace tarnvel::io {
namespace {

enum Column { kStation, kElevation, kCurve, kRadius, kLength, kLengthIn, kLengthOut, kBack, kAhead, kColumnCount };

// Header words, compared after folding full-width forms, lower-casing and
// dropping blanks, '_' and '-'.
struct ColumnWords {
    Column column;
    std::array<std::string_view, 8> words;
};
constexpr std::array<ColumnWords, kColumnCount> kColumnWords{{
    {kStation, {"桩号", "里程", "变坡点桩号", "中桩桩号", "station", "sta", "chainage", "pvistation"}},
    {kElevation, {"高程", "设计高程", "变坡点高程", "标高", "elevation", "elev", "z", "pvielevation"}},
    {kCurve, {"曲线类型", "竖曲线类型", "类型", "线型", "curve", "curvetype", "kind", "type"}},
    {kRadius, {"半径", "竖曲线半径", "r", "radius"}},
    {kLength, {"曲线长", "竖曲线长", "曲线长度", "竖曲线长度", "l", "length", "curvelength"}},
    {kLengthIn, {"前曲线长", "前半曲线长", "lengthin", "lin"}},
    {kLengthOut, {"后曲线长", "后半曲线长", "lengthout", "lout"}},
    {kBack, {"断链前桩号", "断前桩号", "stationback", "staback", "back"}},
    {kAhead, {"断链后桩号", "断后桩号", "stationahead", "staahead", "ahead"}},
}};

// What the curve column may say, in the form NormalizedHeaderWord gives.
struct KindWords {
    CurveKind kind;  // ParabolaLength stands for "a parabola, by R or by L"
    std::array<std::string_view, 6> words;
};
constexpr std::array<KindWords, 4> kKindWords{{
    {CurveKind::None, {"无", "none", "直线", "no", "", ""}},
    {CurveKind::ParabolaLength, {"抛物线", "二次抛物线", "parabola", "para", "parabolic", ""}},
    {CurveKind::Unsymmetric, {"非对称抛物线", "不对称抛物线", "unsymmetric", "unsym", "asymmetric", "unsymmetrical"}},
    {CurveKind::Circular, {"圆曲线", "圆弧", "circular", "circle", "arc", "circ"}},
}};

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// How many rows above the header may be titles.
constexpr std::size_t kTitleRows = 5;

std::string RowText(std::size_t row) { return "第" + std::to_string(row) + "行"; }

// The columns a header row names, by position; a header may also name the
// unit in brackets: "桩号(station)[ft]".
struct Header {
    std::array<std::optional<std::size_t>, kColumnCount> index;
    std::array<std::string, kColumnCount> title;  // as written, for messages
    std::optional<Unit> unit;                     // as the columns that carry lengths state it
    UnitProblem unitProblem;                      // a fault: a unit that cannot be used
};

std::optional<Column> ColumnOf(const std::string& word, Column first, Column last) {
    for (const ColumnWords& c : kColumnWords) {
        if (c.column < first || c.column > last) continue;
        for (std::string_view w : c.words)
            if (!w.empty() && word == w) return c.column;
    }
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

// No column name is longer than this; a longer cell is no header word and
// is not looked at letter by letter.
constexpr std::size_t kLongestHeaderCell = 256;

Result<Header> ReadHeader(const CsvRecordView& record, Column first, Column last, std::string_view path) {
    Header header;
    for (std::size_t i = 0; i < record.cells.size(); ++i) {
        if (record.cells[i].size() > kLongestHeaderCell) continue;
        std::vector<std::string> bracketed;
        const std::vector<std::string> words = HeaderWords(record.cells[i], &bracketed);
        std::optional<Column> column;
        for (const std::string& w : words)
            if (!column) column = ColumnOf(w, first, last);
        for (const std::string& w : bracketed)
            if (!column) column = ColumnOf(w, first, last);
        if (!column) continue;  // a column this program does not use (序号, 坡度, 备注 …)
        if (header.index[*column])
            return NotProfileFailure(path, RowText(record.row) + "的表头中“" + Excerpt(TrimmedView(record.cells[i])) + "”与“" +
                                  header.title[*column] + "”是同一列，重复了。");
        header.index[*column] = i;
        header.title[*column] = Excerpt(TrimmedView(record.cells[i]));
    }
    // Every column but the curve's holds a length: a unit any of them states
    // must be known and the same; one that states none follows the others.
    TableUnit unit;
    for (std::size_t c = 0; c < kColumnCount; ++c) {
        if (!header.index[c] || c == kCurve) continue;
        UnitProblem problem;
        const std::optional<Unit> stated = UnitInHeader(record.cells[*header.index[c]], &problem, [](std::string_view w) {
            return ColumnOf(std::string(w), kStation, kAhead).has_value();
        });
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

// A header's unit problem, worded for the file.
IoFailure HeaderUnitFailure(const UnitProblem& problem, std::size_t row, std::string_view path) {
    return UnitFailure(path, RowText(row) + "的表头中", problem);
}

bool IsChainHeader(const CsvRecordView& record) {
    bool chain = false;
    for (std::string_view cell : record.cells) {
        if (cell.size() > kLongestHeaderCell) continue;
        std::vector<std::string> bracketed;
        for (const std::string& w : HeaderWords(cell, &bracketed)) {
            const std::optional<Column> c = ColumnOf(w, kStation, kAhead);
            if (c == kBack || c == kAhead)
                chain = true;
            else if (c)
                return false;
        }
    }
    return chain;
}

class RowReader {
public:
    RowReader(const CsvRecordView& record, const Header& header, std::string_view path)
        : record_(record), header_(header), path_(path) {}

    std::string_view Cell(Column column) const {
        const std::optional<std::size_t> i = header_.index[column];
        return i && *i < record_.cells.size() ? TrimmedView(record_.cells[*i]) : std::string_view();
    }
    bool Has(Column column) const { return !Cell(column).empty(); }

    IoFailure Failure(Column column, std::string_view what) const {
        return NotProfileFailure(path_, RowText(record_.row) + "“" + header_.title[column] + "”列" + std::string(what));
    }
    IoFailure RowFailure(std::string_view what) const { return NotProfileFailure(path_, RowText(record_.row) + std::string(what)); }

    Result<Station> StationCell(Column column, bool occurrenceAllowed) const {
        const std::string_view text = Cell(column);
        if (text.empty()) return Failure(column, "为空。");
        StationTextProblem problem;
        const std::optional<Station> station = ParseStation(text, &problem);
        if (!station) return Failure(column, "：" + DescribeStationText(problem));
        if (!occurrenceAllowed && station->occurrence != 0) return Failure(column, "的“" + Excerpt(text) + "”不应带出现次数。");
        return *station;
    }

    Result<double> NumberCell(Column column) const {
        const std::string_view text = Cell(column);
        if (text.empty()) return Failure(column, "为空。");
        const std::optional<double> value = ReadWholeNumber(text);
        if (!value) return Failure(column, "的“" + Excerpt(text) + "”不是数。");
        return *value;
    }

private:
    const CsvRecordView& record_;
    const Header& header_;
    std::string_view path_;
};

Result<CurveSpec> ReadCurve(const RowReader& row) {
    std::optional<CurveKind> kind;
    const std::string_view kindCell = row.Cell(kCurve);
    const std::string word = kindCell.size() > kLongestHeaderCell ? std::string("?") : NormalizedHeaderWord(kindCell);
    if (!word.empty()) {
        for (const KindWords& k : kKindWords)
            for (std::string_view w : k.words)
                if (!w.empty() && word == w) kind = k.kind;
        if (!kind)
            return row.Failure(kCurve, "的“" + Excerpt(kindCell) + "”无法识别：应为抛物线、圆曲线、非对称抛物线或无。");
    }
    const bool radius = row.Has(kRadius), length = row.Has(kLength);
    const bool unsymmetric = row.Has(kLengthIn) || row.Has(kLengthOut);
    if (!kind) {
        // No kind written: the numbers tell. A radius alone is a parabola, as
        // road tables mean it.
        if (unsymmetric)
            kind = CurveKind::Unsymmetric;
        else if (radius || length)
            kind = CurveKind::ParabolaLength;
        else
            kind = CurveKind::None;
    } else if (*kind == CurveKind::ParabolaLength && unsymmetric) {
        kind = CurveKind::Unsymmetric;
    }

    CurveSpec curve;
    switch (*kind) {
        case CurveKind::None:
            for (Column c : {kRadius, kLength, kLengthIn, kLengthOut})
                if (row.Has(c)) return row.Failure(c, "有值，但这一行写明没有竖曲线。");
            return curve;
        case CurveKind::Circular: {
            if (!radius) return row.Failure(kRadius, "为空：圆曲线要有半径。");
            Result<double> r = row.NumberCell(kRadius);
            if (!r.ok()) return r.failure();
            curve.kind = CurveKind::Circular;
            curve.radius = r.value();
            return curve;
        }
        case CurveKind::Unsymmetric: {
            Result<double> in = row.NumberCell(kLengthIn);
            if (!in.ok()) return in.failure();
            Result<double> out = row.NumberCell(kLengthOut);
            if (!out.ok()) return out.failure();
            curve.kind = CurveKind::Unsymmetric;
            curve.lengthIn = in.value();
            curve.lengthOut = out.value();
            return curve;
        }
        default: {
            // A table that lists both R and L designed by R: the radius rules.
            if (radius) {
                Result<double> r = row.NumberCell(kRadius);
                if (!r.ok()) return r.failure();
                curve.kind = CurveKind::ParabolaRadius;
                curve.radius = r.value();
                return curve;
            }
            if (!length) return row.RowFailure("是抛物线竖曲线，但半径和曲线长都没有填写。");
            Result<double> l = row.NumberCell(kLength);
            if (!l.ok()) return l.failure();
            curve.kind = CurveKind::ParabolaLength;
            curve.length = l.value();
            return curve;
        }
    }
}

std::string StationText(const Station& station) {
    std::string text = ExactNumberText(station.value);
    if (station.occurrence >= 1) text += "(" + std::to_string(station.occurrence) + ")";
    return text;
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

// The records of the table in order, each checked against the one place where
// a UTF-8 file is damaged, if any.
class Records {
public:
    Records(std::string_view text, std::size_t badUtf8, std::string_view path)
        : reader_(text, SniffCsvSeparator(text)), badUtf8_(badUtf8), path_(path) {}

    // True with the next record in `record`, false at the end; or why the
    // text cannot be read on.
    Result<bool> Next(CsvRecordView& record) {
        switch (reader_.Next(record)) {
            case CsvRecordReader::Status::End: return false;
            case CsvRecordReader::Status::UnclosedQuote:
                return NotProfileFailure(path_, RowText(reader_.FailedRow()) + "的引号没有配对。");
            case CsvRecordReader::Status::TooManyCells:
                return NotProfileFailure(path_, RowText(reader_.FailedRow()) + "超过" + std::to_string(kMaxCsvCells) +
                                                    "列，不是纵断面表。");
            case CsvRecordReader::Status::Record: break;
        }
        if (record.begin <= badUtf8_ && badUtf8_ < record.end)
            return NotProfileFailure(path_, RowText(record.row) +
                                                "含有不是UTF-8编码的文字，而文件其余部分是UTF-8编码：请改正这一行，"
                                                "或将整个文件另存为UTF-8编码。");
        return true;
    }
    CsvRecordReader::Mark Here() const { return reader_.Here(); }
    void Return(CsvRecordReader::Mark mark) { reader_.Return(mark); }

private:
    CsvRecordReader reader_;
    std::size_t badUtf8_;
    std::string_view path_;
};

// A header row whose only cell holds another separator: say so, rather than
// that a column is missing.
std::optional<char> ForeignSeparator(const CsvRecordView& record) {
    if (record.cells.size() != 1) return std::nullopt;
    for (char c : {';', '|'})
        if (record.cells[0].find(c) != std::string_view::npos) return c;
    return std::nullopt;
}

}  // namespace

Result<ProfileModel> ParseProfileCsv(std::string_view bytes, std::string_view path) {
    if (LooksLikeUtf16(bytes))
        return NotProfileFailure(path, "是UTF-16编码的文本，无法读取：请另存为UTF-8或GBK编码（电子表格中选“CSV UTF-8”）。");
    if (bytes.find('\0') != std::string_view::npos) return NotProfileFailure(path, "含有二进制数据，不是纵断面表。");
    std::string_view text = bytes;
    if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
    // The whole file is one encoding: UTF-8 (read in place) or GBK. A UTF-8
    // file with a damaged row is not read as GBK, which would garble every
    // other row; the damaged row is named instead.
    std::string converted;
    std::size_t badUtf8 = FirstInvalidUtf8(text);
    if (badUtf8 != std::string_view::npos && !MostlyUtf8(text)) {
        converted = GbkToUtf8(text);
        text = converted;
        badUtf8 = std::string_view::npos;
    }

    Records records(text, badUtf8, path);
    CsvRecordView record;
    const auto next = [&]() -> Result<bool> { return records.Next(record); };

    // Tables often carry a title row or two above the header ("K0-K5纵断面
    // 设计表"): the header is the first row that names both needed columns.
    // The rows are looked at, then read again from the header on.
    Result<bool> more = next();
    for (; more.ok() && more.value() && record.Blank(); more = next()) {}
    if (!more.ok()) return more.failure();
    if (!more.value()) return NotProfileFailure(path, "是空的，没有表头和数据。");
    const std::size_t firstRow = record.row;
    const std::optional<char> foreign = ForeignSeparator(record);
    std::optional<Header> found;
    std::optional<CsvRecordReader::Mark> afterHeader;
    for (std::size_t looked = 0; looked <= kTitleRows;) {
        if (!record.Blank()) {
            ++looked;
            Result<Header> candidate = ReadHeader(record, kStation, kLengthOut, path);
            if (candidate.ok() && candidate.value().index[kStation] && candidate.value().index[kElevation]) {
                if (candidate.value().unitProblem.fault != UnitFault::None)
                    return HeaderUnitFailure(candidate.value().unitProblem, record.row, path);
                found = std::move(candidate.value());
                afterHeader = records.Here();
                break;
            }
        }
        more = next();
        if (!more.ok()) return more.failure();
        if (!more.value()) break;
    }
    if (!found) {
        // No header among the first rows: the first row is taken as the one
        // and said what it lacks.
        const std::string headerRow = RowText(firstRow);
        if (foreign)
            return NotProfileFailure(path, headerRow + "的各列以“" + std::string(1, *foreign) +
                                               "”分隔，无法识别：请用逗号或制表符分隔各列（电子表格中另存为“CSV”）。");
        // Read the first row again, for its own failure (two units, a column twice).
        CsvRecordReader again(text, SniffCsvSeparator(text));
        CsvRecordView firstRecord;
        while (again.Next(firstRecord) == CsvRecordReader::Status::Record && firstRecord.row < firstRow) {}
        Result<Header> header = ReadHeader(firstRecord, kStation, kLengthOut, path);
        if (!header.ok()) return header.failure();
        if (header.value().unitProblem.fault != UnitFault::None)
            return HeaderUnitFailure(header.value().unitProblem, firstRow, path);
        if (!header.value().index[kStation])
            return NotProfileFailure(path, headerRow + "的表头中没有“桩号（station）”列，不是纵断面表。");
        return NotProfileFailure(path, headerRow + "的表头中没有“高程（elevation）”列，不是纵断面表。");
    }
    const Header& header = *found;
    records.Return(*afterHeader);

    ProfileModel model;
    // Every unit UnitInHeader accepts is one a profile holds.
    const HeldUnit held = header.unit ? HeldAs(*header.unit).value_or(HeldUnit{}) : HeldUnit{};
    model.unit = held.unit;
    // One row a line, as a rule: the points need no second copy as they grow.
    const std::string_view rest = text.substr(afterHeader->offset);
    model.points.reserve(static_cast<std::size_t>(std::count(rest.begin(), rest.end(), '\n')) + 1);
    std::optional<Header> chainHeader;
    for (;;) {
        more = next();
        if (!more.ok()) return more.failure();
        if (!more.value()) break;
        if (record.Blank()) continue;
        if (chainHeader) {
            const RowReader row(record, *chainHeader, path);
            Result<Station> back = row.StationCell(kBack, false);
            if (!back.ok()) return back.failure();
            Result<Station> ahead = row.StationCell(kAhead, false);
            if (!ahead.ok()) return ahead.failure();
            model.chains.push_back({back.value().value, ahead.value().value});
            continue;
        }
        const RowReader row(record, header, path);
        Result<Station> station = row.StationCell(kStation, true);
        // The chain table's header is no point row: only a row whose station
        // does not read is looked at as one.
        if (!station.ok() && IsChainHeader(record)) {
            Result<Header> h = ReadHeader(record, kBack, kAhead, path);
            if (!h.ok()) return h.failure();
            if (!h.value().index[kBack] || !h.value().index[kAhead])
                return NotProfileFailure(path, RowText(record.row) + "的断链表头要有“断链前桩号”和“断链后桩号”两列。");
            if (h.value().unitProblem.fault != UnitFault::None)
                return HeaderUnitFailure(h.value().unitProblem, record.row, path);
            // The chain table is in the unit of the points: one it states must be theirs.
            if (h.value().unit && h.value().unit != header.unit.value_or(Unit::Metre)) {
                TableUnit both;
                both.Add(header.unit.value_or(Unit::Metre), header.title[kStation]);
                both.Add(*h.value().unit, h.value().title[kBack]);
                return HeaderUnitFailure(both.Problem(), record.row, path);
            }
            chainHeader = std::move(h.value());
            continue;
        }
        if (!station.ok()) return station.failure();
        Result<double> elevation = row.NumberCell(kElevation);
        if (!elevation.ok()) return elevation.failure();
        Result<CurveSpec> curve = ReadCurve(row);
        if (!curve.ok()) return curve.failure();
        model.points.push_back({station.value(), elevation.value(), curve.value()});
    }
    if (!HoldLengths(model, held.powerOfTen)) return UnitFailure(path, {}, {UnitFault::OutOfRange});
    return model;
}

std::string ProfileCsvBytes(const ProfileModel& model) {
    std::string unit;
    if (model.unit == LengthUnit::Foot) unit = "[ft]";
    if (model.unit == LengthUnit::USSurveyFoot) unit = "[ftUS]";
    std::string out(kBom);
    out += "桩号(station)" + unit + ",高程(elevation)" + unit +
           ",曲线类型(curve),半径(radius),曲线长(length),前曲线长(length_in),后曲线长(length_out)\r\n";
    for (const ProfilePoint& p : model.points) {
        const CurveSpec& c = p.curve;
        std::array<std::string, 5> cells;  // kind, R, L, L in, L out
        switch (c.kind) {
            case CurveKind::None: break;
            case CurveKind::ParabolaRadius: cells = {"抛物线", ExactNumberText(c.radius), "", "", ""}; break;
            case CurveKind::ParabolaLength: cells = {"抛物线", "", ExactNumberText(c.length), "", ""}; break;
            case CurveKind::Unsymmetric:
                cells = {"非对称抛物线", "", "", ExactNumberText(c.lengthIn), ExactNumberText(c.lengthOut)};
                break;
            case CurveKind::Circular: cells = {"圆曲线", ExactNumberText(c.radius), "", "", ""}; break;
        }
        out += StationText(p.station) + "," + ExactNumberText(p.elevation);
        for (const std::string& cell : cells) out += "," + cell;
        out += "\r\n";
    }
    if (!model.chains.empty()) {
        out += "\r\n断链前桩号(station_back),断链后桩号(station_ahead)\r\n";
        for (const ChainBreak& b : model.chains)
            out += ExactNumberText(b.back) + "," + ExactNumberText(b.ahead) + "\r\n";
    }
    return out;
}

}  // namespace tarnvel::io
