// Any bytes as a CSV ground table: the reader never fails unexpectedly; a
// table it reads, written and read again, holds the same points; and a ground
// line that passes its checks against a fixed design has zero points in
// order, each where design and ground agree.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/profile/ground_line.h"
#include "core/text/messages.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_design.h"
#include "io/ground_files.h"

using tarnvel::fuzz::Check;
using tarnvel::fuzz::FuzzDesign;
using tarnvel::fuzz::CheckMessage;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const io::Result<io::GroundReading> read = io::ParseGroundCsv(bytes, "g.csv");
    if (!read.ok()) {
        Check(read.failure().kind == io::FailureKind::NotProfile);
        CheckMessage(read.failure().message);
        return 0;
    }
    Check(read.value().problems.size() <= kListedGroundProblems);
    Check(read.value().problems.size() == std::min(read.value().problemCount, kListedGroundProblems));
    for (const GroundProblem& p : read.value().problems) CheckMessage(DescribeGroundProblem(p));
    const GroundModel& model = read.value().model;
    const io::Result<io::GroundReading> again =
        io::ParseGroundCsv(io::GroundCsvBytes(model, LengthUnit::Metre), "again.csv");
    Check(again.ok() && again.value().problems.empty());
    const GroundModel& back = again.value().model;
    Check(back.points.size() == model.points.size());
    for (std::size_t i = 0; i < back.points.size(); ++i) {
        Check(back.points[i].station == model.points[i].station);
        Check(back.points[i].elevation == model.points[i].elevation);
    }

    const std::optional<GroundLine> line = GroundLine::Make(model, FuzzDesign());
    if (!line) return 0;
    const std::vector<double> zeros = FindZeroPoints(FuzzDesign(), *line);
    double scale = 1;
    for (double z : line->Elevations()) scale = std::max(scale, std::fabs(z));
    for (std::size_t i = 0; i < zeros.size(); ++i) {
        Check(zeros[i] > line->StartStation() && zeros[i] < line->EndStation());
        Check(i == 0 || zeros[i] > zeros[i - 1]);
        Check(std::fabs(*FillCutAt(FuzzDesign(), *line, zeros[i])) <= 1e-6 * scale);
    }
    const GroundSummary summary = SummarizeGround(FuzzDesign(), *line, line->StartStation(), line->EndStation());
    Check(summary.fillLength >= 0 && summary.cutLength >= 0);
    Check(summary.fillLength + summary.cutLength <= line->EndStation() - line->StartStation() + 1e-6);
    return 0;
}
