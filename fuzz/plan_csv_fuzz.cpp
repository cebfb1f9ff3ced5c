// Any bytes as a 交点表: the reader never fails unexpectedly, every row it
// keeps names its line in order, and a table it reads, written and read
// again, is the same table.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "io/plan_files.h"
#include "fuzz/fuzz_check.h"

using tarnvel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const io::Result<IntersectionTable> read = io::ParseIntersectionCsv(bytes, "f.csv");
    if (!read.ok()) {
        Check(read.failure().kind == io::FailureKind::NotProfile && !read.failure().message.empty());
        return 0;
    }
    const auto& points = read.value().points;
    for (std::size_t i = 0; i < points.size(); ++i) {
        Check(points[i].line > 0 && (i == 0 || points[i].line > points[i - 1].line));
        Check(i > 0 || !points[i].station);
    }
    io::Result<IntersectionTable> again = io::ParseIntersectionCsv(io::IntersectionCsvBytes(read.value()), "again.csv");
    Check(again.ok());
    // The written table has no title rows: only the lines differ.
    Check(again.value().points.size() == points.size());
    for (std::size_t i = 0; i < points.size(); ++i) again.value().points[i].line = points[i].line;
    Check(again.value() == read.value());
    return 0;
}
