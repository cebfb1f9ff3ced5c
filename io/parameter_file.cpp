#include "io/parameter_file.h"

#include <algorithm>

#include "core/calculator/number_text.h"
#include "core/profile/station.h"
#include "io/atomic_write.h"
#include "io/bounded_read.h"
#include "io/gbk.h"

namespace tarnvel::io {
namespace {

std::string WithoutLineBreaks(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

// The number at the start of a line as written (leading blanks dropped): a
// number beyond the double range is handed on as such, so that whoever
// calculates with it refuses it, instead of as the largest double, which would
// read as an ordinary value.
// The line of K0, the one station of the file.
constexpr std::size_t kStationLine = 0;

std::string NumberAsWritten(std::string_view line) {
    const std::size_t begin = line.find_first_not_of(" \t\n");
    if (begin == std::string_view::npos) return {};
    const std::size_t end = line.find_first_not_of("0123456789+-.eEkK", begin);
    return std::string(line.substr(begin, end == std::string_view::npos ? end : end - begin));
}

}  // namespace

std::string FormatParameterFile(const ParameterTexts& texts) {
    std::string file;
    for (std::size_t i = 0; i < kParameterCount; ++i) {
        const std::string value = Utf8ToGbk(WithoutLineBreaks(texts[i]));
        file += value;
        // Columns 1..29 hold the value and its padding; at least one blank
        // always separates the value from the label.
        const std::size_t padded = kLabelColumn - 1;
        file.append(value.size() < padded ? padded - value.size() : 1, ' ');
        file += Utf8ToGbk(kParameterLabels[i]);
        file += "\r\n";
    }
    return file;
}

ParsedParameterFile ParseParameterFile(std::string_view bytes) {
    ParsedParameterFile parsed;
    std::array<std::string_view, kParameterCount> lines;
    std::size_t count = 0;
    std::size_t pos = 0;
    while (count < kParameterCount && pos < bytes.size()) {
        const std::size_t cr = bytes.find('\r', pos);
        const std::size_t end = cr == std::string_view::npos ? bytes.size() : cr;
        // Bytes beyond the limit only tell that the file goes on; they are
        // never part of a line.
        const std::string_view line =
            bytes.substr(pos, std::min(end, kParameterFileReadLimit) - std::min(pos, kParameterFileReadLimit));
        if (line.find('\0') != std::string_view::npos) {
            parsed.fault = ParameterFileFault::Binary;
            return parsed;
        }
        if (end >= kParameterFileReadLimit && (cr != std::string_view::npos || end > kParameterFileReadLimit)) {
            parsed.fault = ParameterFileFault::TooLong;
            return parsed;
        }
        lines[count++] = line;
        if (cr == std::string_view::npos) {
            pos = bytes.size();
        } else {
            pos = cr + 1;
            if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
        }
    }
    if (count < kParameterCount) {
        parsed.fault = ParameterFileFault::TooFewLines;
        return parsed;
    }
    for (std::size_t i = 0; i < kParameterCount; ++i) {
        // Each line is read as the window reads the box it came from, so that
        // a text saved as typed (K notation in the station, full-width digits)
        // comes back as the same number.
        const std::string line = FoldFullWidth(GbkToUtf8(lines[i]));
        bool outOfRange = false;
        const double value = i == kStationLine ? StationBoxToNumber(line, outOfRange) : TextToNumber(line, outOfRange);
        parsed.texts[i] = outOfRange ? NumberAsWritten(line) : NumberToText(value);
    }
    return parsed;
}

std::optional<IoFailure> SaveParameterFile(const std::string& path, const ParameterTexts& texts) {
    std::string bytes;
    try {
        bytes = FormatParameterFile(texts);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Write, path);
    }
    // The reader looks for the five lines within its limit: a file longer
    // than that would be written only to be refused when loaded.
    if (bytes.size() > kParameterFileReadLimit)
        return IoFailure{FailureKind::File, "无法写入文件“" + path + "”：参数的文字太长（共" +
                                                std::to_string(bytes.size()) + "字节，参数文件最多" +
                                                std::to_string(kParameterFileReadLimit >> 10) +
                                                "KB），写出的文件将无法读回，未写入。"};
    return WriteFileAtomically(path, bytes);
}

Result<ParameterTexts> LoadParameterFile(const std::string& path) {
    Result<std::string> read = ReadFilePrefix(path, kParameterFileReadLimit + 1);
    if (!read.ok()) return read.failure();
    ParsedParameterFile parsed;
    try {
        parsed = ParseParameterFile(read.value());
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Read, path);
    }
    switch (parsed.fault) {
        case ParameterFileFault::None:
            return parsed.texts;
        case ParameterFileFault::TooFewLines:
            return IoFailure{FailureKind::ShortParameterFile,
                             "文件“" + path + "”不足五行，不是完整的参数文件，参数未导入。"};
        case ParameterFileFault::TooLong:
            return IoFailure{FailureKind::NotParameterFile,
                             "文件“" + path + "”不是参数文件：前64KB内没有五行数据，参数未导入。"};
        case ParameterFileFault::Binary:
            return IoFailure{FailureKind::NotParameterFile,
                             "文件“" + path + "”不是参数文件：其中含有二进制数据，参数未导入。"};
    }
    return parsed.texts;
}

}  // namespace tarnvel::io
