#include "cli/profile_options.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "cli/commands.h"
#include "core/text/messages.h"
#include "io/bounded_read.h"
#include "io/csv_records.h"
#include "io/ground_files.h"
#include "io/profile_files.h"
#include "core/text/quoted_input.h"

namespace tarnvel::cli {

const std::string& FileArgument(const Options& options, std::string_view noun) {
    const auto& positional = options.Positional();
    if (positional.empty()) throw UsageError("缺少" + std::string(noun));
    if (positional.size() > 1) throw UsageError("多余的参数“" + QuotedInput(positional[1]) + "”");
    if (positional[0].empty()) throw UsageError(std::string(noun) + "名为空");
    return positional[0];
}

// The stations of --k-file: one a line, blank lines skipped. A station that
// does not read is a usage error naming the file and the line.
void AppendStationsFromFile(const std::string& path, std::vector<Station>& stations, std::ostream& err) {
    if (path.empty()) throw UsageError("选项 --k-file 的文件名为空");
    const std::string shown = path == "-" ? std::string("标准输入") : "文件“" + path + "”";
    const io::Result<io::BoundedFile> read = io::ReadWholeFile(path == "-" ? "/dev/stdin" : path, io::kMaxProfileFileBytes);
    if (!read.ok()) StopOnFailure(read.failure(), err);
    if (read.value().tooLarge)
        throw UsageError(shown + "大于" + std::to_string(io::kMaxProfileFileBytes >> 20) + "MB，桩号未读取");
    std::string_view rest = read.value().bytes;
    if (rest.starts_with("\xEF\xBB\xBF")) rest.remove_prefix(3);
    for (std::size_t line = 1; !rest.empty(); ++line) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view text = io::TrimmedView(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (text.empty()) continue;
        StationTextProblem problem;
        const std::optional<Station> station = ParseStation(text, &problem);
        if (!station)
            throw UsageError("选项 --k-file 的" + shown + "第" + std::to_string(line) + "行有误：" + DescribeStationText(problem));
        stations.push_back(*station);
    }
}


Station StationFrom(std::string_view option, const std::string& text) {
    StationTextProblem problem;
    const std::optional<Station> station = ParseStation(text, &problem);
    if (!station) throw UsageError("选项 --" + std::string(option) + " 的值有误：" + DescribeStationText(problem));
    return *station;
}

TextOptions TextOptionsFrom(const Options& options) {
    TextOptions text;
    if (options.Has("decimals")) {
        const std::string& value = options.Text("decimals");
        int n = -1;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
        if (ec != std::errc() || end != value.data() + value.size() || n < 0 || n > 12)
            throw UsageError("选项 --decimals 的值“" + QuotedInput(value) + "”不是 0 到 12 的整数");
        text.decimals = n;
    }
    if (options.Has("stations")) {
        const std::string& value = options.Text("stations");
        if (value == "k" || value == "K") text.stations = StationStyle::K;
        else if (value != "plain") throw UsageError("选项 --stations 的值“" + QuotedInput(value) + "”应为 plain 或 k");
    }
    return text;
}

bool CsvFormatFrom(const Options& options) {
    if (!options.Has("format")) return false;
    const std::string& value = options.Text("format");
    if (value != "text" && value != "csv") throw UsageError("选项 --format 的值“" + QuotedInput(value) + "”应为 text 或 csv");
    return value == "csv";
}

void StopOnFailure(const io::IoFailure& failure, std::ostream& err) {
    err << "tarnvel-cli: " << failure.message << '\n';
    throw CommandExit{failure.kind == io::FailureKind::File ? kExitFile : kExitProfile};
}

io::ProfileFileContent ReadProfileContent(const Options& options, std::ostream& err) {
    return ReadProfileContentAt(FileArgument(options), options, err);
}

io::ProfileFileContent ReadProfileContentAt(const std::string& path, const Options& options, std::ostream& err) {
    const std::string name = options.Has("profile") ? options.Text("profile") : std::string();
    io::Result<io::ProfileFileContent> read = io::ReadProfileFileContent(path, name);
    if (!read.ok()) StopOnFailure(read.failure(), err);
    if (options.Has("profile") && read.value().format != io::ProfileFormat::LandXml)
        throw UsageError("选项 --profile 只用于 LandXML 文件；“" + QuotedInput(path, std::string::npos) + "”是 CSV 纵断面表，只有一个纵断面");
    return std::move(read.value());
}

ProfileModel ReadProfileModel(const Options& options, std::ostream& err) {
    return std::move(ReadProfileContent(options, err).content.model);
}

Profile ResolveProfile(ProfileModel model, std::string_view path, std::ostream& err, ProfileKeep keep) {
    std::vector<ProfileProblem> problems;
    std::optional<Profile> profile = Profile::Resolve(std::move(model), &problems, keep);
    if (profile) return std::move(*profile);
    err << "tarnvel-cli: 纵断面文件“" << QuotedInput(path, std::string::npos) << "”未通过检查";
    if (problems.size() > 1) err << "，共 " << problems.size() << " 处问题";
    err << "：\n";
    for (const ProfileProblem& problem : problems) err << "  " << DescribeProfileProblem(problem) << '\n';
    throw CommandExit{kExitProfile};
}

Profile LoadProfile(const Options& options, std::ostream& err, ProfileKeep keep) {
    return ResolveProfile(ReadProfileModel(options, err), FileArgument(options), err, keep);
}

Profile LoadProfileAt(const std::string& path, const Options& options, std::ostream& err) {
    return ResolveProfile(std::move(ReadProfileContentAt(path, options, err).content.model), path, err);
}

io::GroundReading ReadGround(const Options& options, const std::string& path, std::ostream& err) {
    const std::string surface = options.Has("ground-surface") ? options.Text("ground-surface") : std::string();
    // The ground of a LandXML file is the chosen profile's own, by the same
    // name the profile was chosen with.
    const std::string profile = options.Has("profile") ? options.Text("profile") : std::string();
    io::Result<io::GroundReading> read = io::ReadGroundFile(path, surface, profile);
    if (!read.ok()) StopOnFailure(read.failure(), err);
    if (options.Has("ground-surface") && !read.value().landXml)
        throw UsageError("选项 --ground-surface 只用于 LandXML 文件；“" + QuotedInput(path, std::string::npos) + "”是 CSV 地面线表，只有一条地面线");
    return std::move(read.value());
}

std::optional<GroundLine> LoadGround(const Options& options, const Profile& profile, std::ostream& err) {
    if (!options.Has("ground")) {
        if (options.Has("ground-surface")) throw UsageError("选项 --ground-surface 要与 --ground 一起使用");
        return std::nullopt;
    }
    const std::string& path = options.Text("ground");
    if (path.empty()) throw UsageError("选项 --ground 的文件名为空");
    io::GroundReading reading = ReadGround(options, path, err);
    const LengthUnit unit = profile.Model().unit;
    if (reading.unit && *reading.unit != unit) {
        err << "tarnvel-cli: 地面线文件“" << QuotedInput(path, std::string::npos) << "”的长度单位为" << LengthUnitName(*reading.unit)
            << "，与纵断面的" << LengthUnitName(unit) << "不同，未使用。\n";
        throw CommandExit{kExitProfile};
    }
    std::vector<GroundProblem> problems = std::move(reading.problems);
    std::vector<GroundProblem> checked;
    std::size_t count = 0;
    std::optional<GroundLine> line = GroundLine::Make(std::move(reading.model), profile, &checked, &count);
    if (problems.empty() && line) return line;
    // A table's problems in the order of its rows, whichever check found them.
    MergeGroundProblems(problems, checked);
    err << "tarnvel-cli: 地面线文件“" << QuotedInput(path, std::string::npos) << "”未通过检查";
    PrintGroundProblems(problems, reading.problemCount + count, err);
    throw CommandExit{kExitProfile};
}

void PrintGroundProblems(const std::vector<GroundProblem>& listed, std::size_t total, std::ostream& err) {
    if (total > 1) err << "，共 " << total << " 处问题";
    err << "：\n";
    for (const GroundProblem& problem : listed) err << "  " << DescribeGroundProblem(problem) << '\n';
    if (const std::string more = DescribeUnlistedGroundProblems(listed.size(), total); !more.empty())
        err << "  " << more << '\n';
}

void NoteUnit(const Profile& profile, std::ostream& err) {
    const LengthUnit unit = profile.Model().unit;
    if (unit == LengthUnit::Metre) return;
    err << "tarnvel-cli: 注意：此纵断面的长度单位为" << LengthUnitName(unit) << "（" << LengthUnitSymbol(unit)
        << "），桩号、高程和长度均以此为单位。\n";
}

void NoteAdjustments(const Profile& profile, std::ostream& err) {
    for (const ProfileProblem& note : profile.Notes())
        err << "tarnvel-cli: 注意：" << DescribeProfileProblem(note) << '\n';
}

}  // namespace tarnvel::cli
