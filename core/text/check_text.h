#pragma once
// Text forms of the checks of a profile (tarnvel-cli profile check): the
// control elevations and the violations of the designer's criteria, for
// people and as CSV. Built from the output vocabulary's precision policy.

#include <string>
#include <string_view>
#include <vector>

#include "core/profile/design_check.h"
#include "core/text/output_vocabulary.h"

namespace tarnvel {

// A cell as CSV writes it: quoted (quotes doubled) when it holds a comma, a
// quote or a line break.
std::string CsvCellText(std::string_view text);

// "ok", "below", "above"; and the Chinese words "满足", "低于最低", "高于最高".
const char* ControlStatusKey(ControlStatus status);
const char* ControlStatusWord(ControlStatus status);

// Header station,name,lower,upper,design,margin,status; one row for each
// check, empty cells for an absent bound.
std::string ControlChecksCsv(const Profile& profile, const std::vector<ControlPoint>& controls,
                             const ControlReport& report, const TextOptions& options);
// "控制标高检查" with the unit, a tab-separated table under Chinese headers,
// and a last line saying how many controls are violated.
std::string ControlChecksText(const Profile& profile, const std::vector<ControlPoint>& controls,
                              const ControlReport& report, const TextOptions& options);

// Header criterion,point,station,value,limit; one row per violation: the
// criterion's key, the point's number (from 1), its station, the value and
// the limit (grades in percent at the grade precision, lengths and radii at
// the length precision).
std::string CriteriaViolationsCsv(const Profile& profile, const std::vector<CriterionViolation>& violations,
                                  const TextOptions& options);
// "设计标准检查": one sentence per violation, or that every criterion holds.
std::string CriteriaViolationsText(const Profile& profile, const std::vector<CriterionViolation>& violations,
                                   const TextOptions& options);

}  // namespace tarnvel
