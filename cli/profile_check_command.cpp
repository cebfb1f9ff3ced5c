#include "cli/profile_check_command.h"

#include <algorithm>
#include <ostream>

#include "core/profile/design_check.h"
#include "core/text/check_text.h"
#include "core/text/messages.h"
#include "core/text/quoted_input.h"
#include "io/control_files.h"

namespace tarnvel::cli {
namespace {

// The control table checked against the profile; a table that does not read
// or holds a control that cannot be checked stops with status 1 after
// naming every such row.
std::vector<ControlPoint> LoadControls(const std::string& path, const Profile& profile, ControlReport& report,
                                       std::ostream& err) {
    if (path.empty()) throw UsageError("选项 --controls 的文件名为空");
    io::Result<io::ControlReading> read = io::ReadControlFile(path);
    if (!read.ok()) StopOnFailure(read.failure(), err);
    const LengthUnit unit = profile.Model().unit;
    if (read.value().unit && *read.value().unit != unit) {
        err << "tarnvel-cli: 控制标高表“" << QuotedInput(path, std::string::npos) << "”的长度单位为" << LengthUnitName(*read.value().unit)
            << "，与纵断面的" << LengthUnitName(unit) << "不同，未使用。\n";
        throw CommandExit{kExitProfile};
    }
    std::vector<ControlPoint>& controls = read.value().controls;
    report = CheckControls(profile, controls);
    std::vector<ControlProblem> problems = std::move(read.value().problems);
    problems.insert(problems.end(), report.problems.begin(), report.problems.end());
    const std::size_t total = read.value().problemCount + report.problems.size();
    if (total == 0) return std::move(controls);
    std::stable_sort(problems.begin(), problems.end(),
                     [](const ControlProblem& a, const ControlProblem& b) { return a.row < b.row; });
    // Listed as a ground table's problems are: the first few by row, then how many more.
    if (problems.size() > kListedGroundProblems) problems.resize(kListedGroundProblems);
    err << "tarnvel-cli: 控制标高表“" << QuotedInput(path, std::string::npos) << "”未通过检查";
    if (total > 1) err << "，共 " << total << " 处问题";
    err << "：\n";
    for (const ControlProblem& problem : problems) err << "  " << DescribeControlProblem(problem) << '\n';
    if (const std::string more = DescribeUnlistedGroundProblems(problems.size(), total); !more.empty())
        err << "  " << more << '\n';
    throw CommandExit{kExitProfile};
}

}  // namespace

int RunProfileCheck(const Options& options, std::ostream& out, std::ostream& err) {
    FileArgument(options);
    if (!options.Has("controls") && !options.Has("criteria")) throw UsageError("缺少选项 --controls 或 --criteria");
    const bool csv = CsvFormatFrom(options);
    const TextOptions text = TextOptionsFrom(options);
    std::optional<DesignCriteria> criteria;
    if (options.Has("criteria")) {
        const std::string& path = options.Text("criteria");
        if (path.empty()) throw UsageError("选项 --criteria 的文件名为空");
        io::Result<DesignCriteria> read = io::ReadCriteriaFile(path);
        if (!read.ok()) StopOnFailure(read.failure(), err);
        criteria = read.value();
    }
    const Profile profile = LoadProfile(options, err);
    ControlReport report;
    std::vector<ControlPoint> controls;
    if (options.Has("controls")) controls = LoadControls(options.Text("controls"), profile, report, err);
    const std::vector<CriterionViolation> violations =
        criteria ? CheckCriteria(profile, *criteria) : std::vector<CriterionViolation>();

    // Both answers are made before the first byte is written.
    std::string answer;
    if (options.Has("controls"))
        answer += csv ? ControlChecksCsv(profile, controls, report, text)
                      : ControlChecksText(profile, controls, report, text);
    if (criteria) {
        if (!answer.empty()) answer += text.lineEnd;  // the sections apart, as the CSV profile keeps its chain table
        answer += csv ? CriteriaViolationsCsv(profile, violations, text)
                      : CriteriaViolationsText(profile, violations, text);
    }
    NoteAdjustments(profile, err);
    out << answer;
    out.flush();
    if (csv) NoteUnit(profile, err);
    return report.Violated() || !violations.empty() ? kExitProfile : kExitOk;
}

}  // namespace tarnvel::cli
