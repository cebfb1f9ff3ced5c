// Any bytes as a control table and as a criteria file: the readers never
// fail unexpectedly; what they read, written and read again, is the same;
// and the checks against a fixed design give a margin for every control that
// can be placed, its sign the status, and violations only beyond the limits.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/profile/design_check.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_design.h"
#include "io/control_files.h"

using tarnvel::fuzz::Check;
using tarnvel::fuzz::CheckMessage;
using tarnvel::fuzz::FuzzDesign;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const io::Result<DesignCriteria> criteria = io::ParseCriteriaCsv(bytes, "k.csv");
    if (criteria.ok()) {
        const io::Result<DesignCriteria> again = io::ParseCriteriaCsv(io::CriteriaCsvBytes(criteria.value()), "k.csv");
        Check(again.ok() && again.value() == criteria.value());
        for (const CriterionViolation& v : CheckCriteria(FuzzDesign(), criteria.value()))
            Check(v.Shortfall() > 0 && v.limit == *CriterionLimit(criteria.value(), v.criterion));
    } else {
        Check(criteria.failure().kind == io::FailureKind::NotProfile);
        CheckMessage(criteria.failure().message);
    }

    const io::Result<io::ControlReading> read = io::ParseControlCsv(bytes, "c.csv");
    if (!read.ok()) {
        Check(read.failure().kind == io::FailureKind::NotProfile);
        CheckMessage(read.failure().message);
        return 0;
    }
    const std::vector<ControlPoint>& controls = read.value().controls;
    const io::Result<io::ControlReading> again =
        io::ParseControlCsv(io::ControlCsvBytes(controls, LengthUnit::Metre), "again.csv");
    Check(again.ok() && again.value().problems.empty() && again.value().controls.size() == controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlPoint& b = again.value().controls[i];
        Check(b.station == controls[i].station && b.lower == controls[i].lower && b.upper == controls[i].upper);
        Check(b.name == controls[i].name);
    }
    const ControlReport report = CheckControls(FuzzDesign(), controls);
    Check(report.checks.size() + report.problems.size() == controls.size());
    for (const ControlCheck& c : report.checks)
        Check(std::isfinite(c.margin) == std::isfinite(c.design) &&
              (c.status == ControlStatus::Ok) == !(c.margin < 0));
    return 0;
}
