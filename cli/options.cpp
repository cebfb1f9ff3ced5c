#include "cli/options.h"

#include <sys/stat.h>

#include <algorithm>

#include "core/calculator/number_text.h"
#include "core/text/text_width.h"
#include "core/profile/station.h"
#include "core/text/messages.h"
#include "io/file_identity.h"
#include "core/text/quoted_input.h"

namespace tarnvel::cli {
namespace {

// A whole option value in the plain number grammar, with no blanks around it.
bool IsDecimalNumber(std::string_view s) { return !s.empty() && PlainNumberLength(s) == s.size(); }

}  // namespace

Options::Options(const std::vector<std::string>& args, std::span<const OptionSpec> known) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!arg.starts_with("--")) {
            positional_.push_back(arg);
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        const auto option = std::find_if(known.begin(), known.end(),
                                         [&](const OptionSpec& s) { return s.name == name; });
        if (option == known.end()) throw UsageError("未知的选项 --" + QuotedInput(name));
        if (!option->repeatable && Has(name)) throw UsageError("选项 --" + name + " 重复给出");
        std::string value;
        if (!option->takesValue) {
            if (eq != std::string::npos) throw UsageError("选项 --" + name + " 不带值");
        } else if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            // The next word is the value even when it begins with a minus sign.
            value = args[++i];
        } else {
            throw UsageError("选项 --" + name + " 缺少值");
        }
        values_.emplace_back(name, std::move(value));
    }
    RefuseOutputsOverInputs(known);
}

void Options::RefuseOutputsOverInputs(std::span<const OptionSpec> known) const {
    struct Named {
        std::string who;  // "选项 --output 的文件", "输入文件"
        const std::string* path;
        FileRole role;
    };
    std::vector<Named> files;
    for (const std::string& path : positional_) files.push_back({"输入文件", &path, FileRole::Input});
    for (const auto& value : values_) {
        const auto option =
            std::find_if(known.begin(), known.end(), [&](const OptionSpec& s) { return s.name == value.first; });
        if (option->file != FileRole::None)
            files.push_back({"选项 --" + value.first + " 的文件", &value.second, option->file});
    }
    // Devices and pipes (/dev/null, /dev/stdout) are fed in place, never
    // replaced, and "-" is standard input.
    const auto replaceable = [](const std::string& path) {
        struct stat info {};
        return !path.empty() && path != "-" && (::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode));
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].role != FileRole::Output || !replaceable(*files[i].path)) continue;
        for (std::size_t j = 0; j < files.size(); ++j) {
            if (j == i || (files[j].role == FileRole::Output && j > i) || !replaceable(*files[j].path)) continue;
            if (!io::SameFile(*files[i].path, *files[j].path)) continue;
            const bool input = files[j].role == FileRole::Input;
            throw UsageError(files[i].who + "“" + QuotedInput(*files[i].path, std::string::npos) + "”与" + files[j].who + "“" +
                             QuotedInput(*files[j].path, std::string::npos) +
                             "”是同一个文件：" + (input ? "输出不能写在输入上" : "两个输出不能写入同一文件") +
                             "，未写入任何文件");
        }
    }
}

bool Options::Has(std::string_view name) const {
    return std::any_of(values_.begin(), values_.end(),
                       [&](const auto& v) { return v.first == name; });
}

const std::string& Options::Text(std::string_view name) const {
    for (const auto& v : values_)
        if (v.first == name) return v.second;
    throw UsageError("缺少选项 --" + std::string(name));
}

std::vector<std::string> Options::All(std::string_view name) const {
    std::vector<std::string> all;
    for (const auto& v : values_)
        if (v.first == name) all.push_back(v.second);
    return all;
}

double Options::Number(std::string_view name) const { return StrictNumber(name, Text(name)); }

double Options::Station(std::string_view name) const {
    const std::string& text = Text(name);
    if (IsDecimalNumber(text)) return StrictNumber(name, text);
    const std::string option = "选项 --" + std::string(name);
    StationTextProblem problem;
    const std::optional<tarnvel::Station> station = ParseStation(text, &problem);
    if (!station) throw UsageError(option + " 的值有误：" + DescribeStationText(problem));
    // A single curve has no chain breaks, so no label occurs twice.
    if (station->occurrence != 0) throw UsageError(option + " 的值“" + QuotedInput(text) + "”带有出现序号，单条竖曲线的桩号不带序号");
    return station->value;
}

std::vector<OptionSpec> Concat(std::initializer_list<std::span<const OptionSpec>> tables) {
    std::vector<OptionSpec> all;
    for (const auto& table : tables) all.insert(all.end(), table.begin(), table.end());
    return all;
}

std::string OptionHelp(std::span<const OptionSpec> options, std::span<const OptionSpec> skip) {
    const auto listed = [&](const OptionSpec& o) {
        return std::any_of(skip.begin(), skip.end(), [&](const OptionSpec& s) { return s.name == o.name; });
    };
    std::vector<std::pair<std::string, std::string_view>> lines;
    std::size_t width = 0;
    for (std::size_t i = 0; i < options.size(); ++i) {
        const OptionSpec& o = options[i];
        const bool earlier = std::any_of(options.begin(), options.begin() + static_cast<std::ptrdiff_t>(i),
                                         [&](const OptionSpec& p) { return p.name == o.name; });
        if (earlier || listed(o)) continue;
        std::string left = "  --";
        left += o.name;
        if (o.takesValue) {
            left += ' ';
            left += o.valueName.empty() ? std::string_view("值") : o.valueName;
        }
        width = std::max(width, DisplayWidth(left));
        lines.emplace_back(std::move(left), o.help);
    }
    std::string text;
    for (const auto& [left, help] : lines) {
        AppendPadded(text, left, width + 2, false);
        text += help;
        text += '\n';
    }
    return text;
}

double StrictNumber(std::string_view option, std::string_view text) {
    const std::string quoted = "选项 --" + std::string(option) + " 的值“" + QuotedInput(text) + "”";
    if (!IsDecimalNumber(text)) throw UsageError(quoted + "不是十进制数");
    // Within the grammar checked above, TextToNumber reads the whole text.
    bool outOfRange = false;
    const double value = TextToNumber(text, outOfRange);
    if (outOfRange) throw UsageError(quoted + "超出了可计算的范围");
    return value;
}

CurveParameters CurveFrom(const Options& o) {
    return CurveParameters{o.Station("k0"), o.Number("h0"), o.Number("i1"), o.Number("i2"),
                           o.Number("r")};
}

StationRange RangeFrom(const Options& o) {
    return StationRange{o.Station("from"), o.Station("to"), o.Number("step")};
}

}  // namespace tarnvel::cli
