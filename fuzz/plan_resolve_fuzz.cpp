// Any bytes as a route (a 交点表, else a LandXML CoordGeom), resolved: the
// plan core never fails unexpectedly or runs without end, every problem it
// finds has words, and a route it accepts gives finite places at its ends,
// lies on itself (a point of the centre line inverts to an offset of nothing)
// and reads back the same from the LandXML it writes.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/text/messages.h"
#include "fuzz/fuzz_check.h"
#include "io/plan_files.h"
#include "io/profile_files.h"

using tarnvel::fuzz::Check;

namespace {

void CheckPlan(const tarnvel::Plan& plan) {
    using namespace tarnvel;
    const double start = plan.StartStation(), end = plan.EndStation();
    Check(start <= end);
    const PlanPose first = plan.At(start), last = plan.At(end);
    for (double v : {first.at.north, first.at.east, last.at.north, last.at.east}) Check(std::isfinite(v));
    const double scale = std::max({1.0, std::fabs(first.at.north), std::fabs(first.at.east), end - start});
    const PlanPose middle = plan.At((start + end) / 2);
    const PlanFoot foot = plan.Inverse(middle.at, 1);
    Check(foot.fault == InverseFault::None && std::fabs(foot.offset) <= 1e-6 * scale);
    for (const PlanProblem& note : plan.Notes()) Check(!DescribePlanProblem(note).empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<PlanProblem> problems;
    std::optional<Plan> plan;
    if (const io::Result<IntersectionTable> table = io::ParseIntersectionCsv(bytes, "f.csv"); table.ok()) {
        plan = Plan::Resolve(table.value(), &problems);
    } else if (const io::Result<ElementList> list = io::ParseLandXmlElements(bytes, "", "f.xml"); list.ok()) {
        plan = Plan::Resolve(list.value(), &problems);
    } else {
        return 0;
    }
    for (const PlanProblem& p : problems) Check(!DescribePlanProblem(p).empty());
    Check(plan.has_value() == problems.empty());
    if (!plan) return 0;
    CheckPlan(*plan);
    // Written as LandXML and read again: the same places.
    const io::Result<ElementList> again = io::ParseLandXmlElements(io::PlanLandXmlBytes(*plan, ""), "", "again.xml");
    Check(again.ok());
    std::optional<Plan> reread = Plan::Resolve(again.value());
    Check(reread.has_value());
    const double scale = std::max({1.0, std::fabs(plan->At(plan->StartStation()).at.north),
                                   std::fabs(plan->At(plan->StartStation()).at.east),
                                   plan->EndStation() - plan->StartStation()});
    for (double s : {plan->StartStation(), (plan->StartStation() + plan->EndStation()) / 2, plan->EndStation()}) {
        const PlanPose a = plan->At(s), b = reread->At(s);
        Check(std::fabs(a.at.north - b.at.north) <= 1e-6 * scale && std::fabs(a.at.east - b.at.east) <= 1e-6 * scale);
    }
    return 0;
}
