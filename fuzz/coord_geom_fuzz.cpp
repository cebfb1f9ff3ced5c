// Any bytes as a LandXML route: the CoordGeom reader never fails
// unexpectedly; what it reads is the alignment asked for, with its elements
// numbered and placed in file order; the 交点表 kept beside it reads or is
// refused in words; and the sheets' band, read from the same
// parse, has no more pieces than the file has elements.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "io/landxml_horizontal.h"
#include "io/plan_files.h"
#include "fuzz/fuzz_check.h"

using tarnvel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const io::Result<ElementList> read = io::ParseLandXmlElements(bytes, "", "f.xml");
    const io::Result<std::vector<std::string>> names = io::ListLandXmlAlignments(bytes, "f.xml");
    // The 交点表 Tarnvel keeps beside the geometry reads or is refused in words.
    const io::Result<std::optional<IntersectionTable>> kept = io::ParseLandXmlIntersections(bytes, "", "f.xml");
    Check(kept.ok() || (kept.failure().kind == io::FailureKind::NotProfile && !kept.failure().message.empty()));
    if (!read.ok()) {
        Check(read.failure().kind == io::FailureKind::NotProfile && !read.failure().message.empty());
        return 0;
    }
    Check(names.ok() && !names.value().empty() && names.value().front() == read.value().name);
    const auto& elements = read.value().elements;
    std::size_t line = 0;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const GivenElement& e = elements[i];
        Check(e.index == i + 1);
        Check(e.line == 0 || e.line >= line);
        if (e.line > 0) line = e.line;
        for (double v : {e.start.north, e.start.east, e.end.north, e.end.east}) Check(std::isfinite(v));
        Check(e.kind != PlanElementKind::Line || (std::isinf(e.radiusStart) && std::isinf(e.radiusEnd)));
        Check(e.kind != PlanElementKind::Arc || e.radiusStart == e.radiusEnd);
    }
    // The same alignment chosen by its name, when the name is unique.
    std::size_t same = 0;
    for (const std::string& n : names.value()) same += n == read.value().name;
    if (same == 1) {
        const io::Result<ElementList> byName = io::ParseLandXmlElements(bytes, read.value().name, "f.xml");
        Check(byName.ok() && byName.value().elements.size() == elements.size());
    }
    const io::Result<io::HorizontalReading> band = io::ParseLandXmlHorizontal(bytes, "", "f.xml");
    Check(band.ok());
    if (band.value().alignment) Check(band.value().alignment->pieces.size() <= elements.size());
    return 0;
}
