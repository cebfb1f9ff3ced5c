#include "core/text/check_text.h"

#include "core/calculator/number_text.h"
#include "core/text/messages.h"
#include "core/text/profile_text.h"

namespace tarnvel {
namespace {

std::string Bound(const std::optional<double>& bound, const TextOptions& options) {
    return bound ? ElevationText(*bound, options) : std::string();
}

bool IsGrade(Criterion c) { return c == Criterion::MaxGrade || c == Criterion::MinGrade; }

std::string CriterionValueText(Criterion c, double value, const TextOptions& options) {
    return FixedText(value, ColumnDecimals(IsGrade(c) ? ColumnKind::Grade : ColumnKind::Length, options));
}

}  // namespace

std::string CsvCellText(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

const char* ControlStatusKey(ControlStatus status) {
    return status == ControlStatus::Below ? "below" : status == ControlStatus::Above ? "above" : "ok";
}

const char* ControlStatusWord(ControlStatus status) {
    return status == ControlStatus::Below ? "低于最低" : status == ControlStatus::Above ? "高于最高" : "满足";
}

std::string ControlChecksCsv(const Profile&, const std::vector<ControlPoint>& controls, const ControlReport& report,
                             const TextOptions& options) {
    std::string out = "station,name,lower,upper,design,margin,status";
    out += options.lineEnd;
    for (const ControlCheck& check : report.checks) {
        const ControlPoint& c = controls[check.point];
        out += StationText(c.station, options) + ',' + CsvCellText(c.name) + ',' + Bound(c.lower, options) + ',' +
               Bound(c.upper, options) + ',' + ElevationText(check.design, options) + ',' +
               ElevationText(check.margin, options) + ',' + ControlStatusKey(check.status);
        out += options.lineEnd;
    }
    return out;
}

std::string ControlChecksText(const Profile& profile, const std::vector<ControlPoint>& controls,
                              const ControlReport& report, const TextOptions& options) {
    const std::string_view end = options.lineEnd;
    std::string out = "控制标高检查";
    out += end;
    out += "单位：高程为";
    out += LengthUnitName(profile.Model().unit);
    out += "；富余为到较近一侧控制高程的距离，负值为不满足";
    out += end;
    out += "桩号\t名称\t最低高程\t最高高程\t设计高程\t富余\t结果";
    out += end;
    std::size_t violated = 0;
    for (const ControlCheck& check : report.checks) {
        const ControlPoint& c = controls[check.point];
        if (check.status != ControlStatus::Ok) ++violated;
        out += StationText(c.station, options) + '\t' + c.name + '\t' + Bound(c.lower, options) + '\t' +
               Bound(c.upper, options) + '\t' + ElevationText(check.design, options) + '\t' +
               ElevationText(check.margin, options) + '\t' + ControlStatusWord(check.status);
        out += end;
    }
    out += violated == 0 ? std::string("全部 ") + std::to_string(report.checks.size()) + " 个控制点均满足。"
                         : std::to_string(violated) + " 个控制点不满足。";
    out += end;
    return out;
}

std::string CriteriaViolationsCsv(const Profile& profile, const std::vector<CriterionViolation>& violations,
                                  const TextOptions& options) {
    std::string out = "criterion,point,station,value,limit";
    out += options.lineEnd;
    for (const CriterionViolation& v : violations) {
        out += std::string(CriterionKey(v.criterion)) + ',' + std::to_string(v.point + 1) + ',' +
               StationText(profile.LabelOf(v.station), options) + ',' +
               CriterionValueText(v.criterion, v.value, options) + ',' +
               CriterionValueText(v.criterion, v.limit, options);
        out += options.lineEnd;
    }
    return out;
}

std::string CriteriaViolationsText(const Profile& profile, const std::vector<CriterionViolation>& violations,
                                   const TextOptions& options) {
    const std::string_view end = options.lineEnd;
    std::string out = "设计标准检查";
    out += end;
    if (violations.empty()) {
        out += "所给的设计标准全部满足。";
        out += end;
        return out;
    }
    for (const CriterionViolation& v : violations) {
        out += StationText(profile.LabelOf(v.station), options) + '\t' +
               DescribeCriterionViolation(v, profile.Model().unit);
        out += end;
    }
    out += std::to_string(violations.size()) + " 处不满足。";
    out += end;
    return out;
}

}  // namespace tarnvel
