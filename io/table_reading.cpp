#include "io/table_reading.h"

#include <array>

#include "core/calculator/number_text.h"
#include "io/gbk.h"

namespace tarnvel::io {

Result<TableText> DecodeTableText(std::string_view bytes, std::string_view path, std::string_view what) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return NotProfileFailure(path, "是UTF-16编码的文本，无法读取：请另存为UTF-8或GBK编码（电子表格中选“CSV UTF-8”）。");
    if (bytes.find('\0') != std::string_view::npos)
        return NotProfileFailure(path, "含有二进制数据，不是" + std::string(what) + "。");
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes.starts_with(kBom)) bytes.remove_prefix(kBom.size());
    // UTF-8 is read where it lies; only GBK needs a converted copy.
    TableText out;
    if (!IsValidUtf8(bytes)) out.converted = GbkToUtf8(bytes);
    out.original = bytes;
    return out;
}

HeaderCell ReadHeaderCell(std::string_view cell) {
    HeaderCell out;
    std::string current;
    const auto flush = [&] {
        const std::string word = NormalizedHeaderWord(current);
        current.clear();
        if (word.empty()) return;
        if (word == "m" || word == "米") out.unit = LengthUnit::Metre;
        else if (word == "ft" || word == "英尺") out.unit = LengthUnit::Foot;
        else if (word == "ftus" || word == "usft" || word == "美国测量英尺") out.unit = LengthUnit::USSurveyFoot;
        else out.words.push_back(word);
    };
    for (char c : FoldFullWidth(cell)) {
        if (c == '(' || c == ')' || c == '[' || c == ']') {
            flush();
            continue;
        }
        current += c;
    }
    flush();
    return out;
}

bool IsStationHeaderWord(std::string_view word) {
    constexpr std::array<std::string_view, 6> kWords{"桩号", "里程", "中桩桩号", "station", "sta", "chainage"};
    return std::find(kWords.begin(), kWords.end(), word) != kWords.end();
}

std::string RowText(std::size_t row) { return "第" + std::to_string(row) + "行"; }

}  // namespace tarnvel::io
