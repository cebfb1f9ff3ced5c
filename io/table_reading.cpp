#include "io/table_reading.h"

#include <algorithm>
#include <array>

#include "core/calculator/number_text.h"
#include "core/text/quoted_input.h"
#include "io/gbk.h"

namespace tarnvel::io {

Result<TableText> DecodeTableText(std::string_view bytes, std::string_view path, std::string_view noun) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return NotProfileFailure(path, "是UTF-16编码的文本，无法读取：请另存为UTF-8或GBK编码（电子表格中选“CSV UTF-8”）。");
    if (bytes.find('\0') != std::string_view::npos)
        return NotProfileFailure(path, "含有二进制数据，不是" + std::string(noun) + "。");
    if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
    // UTF-8 is read where it lies; only GBK needs a converted copy.
    TableText out;
    if (!IsValidUtf8(bytes)) out.converted = GbkToUtf8(bytes);
    out.original = bytes;
    return out;
}

std::vector<std::string> HeaderCellWords(std::string_view cell) {
    std::vector<std::string> words;
    if (cell.size() > kLongestHeaderCell) return words;
    std::string current;
    const auto flush = [&] {
        std::string word = NormalizedHeaderWord(current);
        current.clear();
        if (!word.empty()) words.push_back(std::move(word));
    };
    for (char c : FoldFullWidth(cell)) {
        if (c == '(' || c == ')' || c == '[' || c == ']') {
            flush();
            continue;
        }
        current += c;
    }
    flush();
    return words;
}

bool IsStationHeaderWord(std::string_view word) {
    constexpr std::array<std::string_view, 6> kWords{"桩号", "里程", "中桩桩号", "station", "sta", "chainage"};
    return std::find(kWords.begin(), kWords.end(), word) != kWords.end();
}

ColumnsUnit ReadColumnsUnit(const std::vector<std::string_view>& cells, bool (*isColumnName)(std::string_view)) {
    ColumnsUnit out;
    TableUnit unit;
    for (const std::string_view cell : cells) {
        UnitProblem problem;
        const std::optional<Unit> stated = UnitInHeader(cell, &problem, isColumnName);
        if (problem.fault != UnitFault::None) {
            problem.column = QuotedInput(TrimmedView(cell));
            out.problem = problem;
            return out;
        }
        if (stated && !unit.Add(*stated, QuotedInput(TrimmedView(cell)))) {
            out.problem = unit.Problem();
            return out;
        }
    }
    out.unit = unit.Stated();
    return out;
}

}  // namespace tarnvel::io
