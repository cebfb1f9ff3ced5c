#pragma once
// Route files: the 交点表 CSV (read and written) and the CoordGeom of a
// LandXML alignment (read). As for the profile files, the parse and byte
// functions work on memory and the Read/Write functions add the bounded read
// and the atomic write. What is read is the plain input of the plan core, as
// the file states it: the core resolves and checks it.
//
// Failures are FailureKind::NotProfile (a file whose content is not what was
// asked for), with a Chinese sentence naming the file and the place.

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/plan/plan_input.h"
#include "io/io_failure.h"
#include "io/profile_files.h"

namespace tarnvel::io {

// ---- In memory -----------------------------------------------------------

// A header row (title rows above it allowed; UTF-8 or GBK; comma or tab)
// naming the point, X, Y, R, Ls or Ls1 and Ls2, and 桩号 columns; the first
// row the start (its 桩号 required), the last the end, the rows between the
// JDs; then optionally the chain table after its own header row.
Result<IntersectionTable> ParseIntersectionCsv(std::string_view bytes, std::string_view path);
// UTF-8 with byte-order mark, CR LF, full precision, the chain table as a
// second section after an empty line.
std::string IntersectionCsvBytes(const IntersectionTable& table);

// The names of a file's alignments, in file order.
Result<std::vector<std::string>> ListLandXmlAlignments(std::string_view bytes, std::string_view path);
// The CoordGeom of the Alignment named `alignment` (empty: the first), with
// its staStart, StaEquations and the file's linear unit. Every element is
// read as written; an element that is not Line, Curve or Spiral, or a value
// that does not read, is refused with its line.
Result<ElementList> ParseLandXmlElements(std::string_view bytes, std::string_view alignment, std::string_view path);

// The 交点表 kept with the alignment `alignment` picks (see RoadLandXmlBytes
// in profile_files.h), with the alignment's StaEquations and the file's unit;
// nothing when it keeps none.
Result<std::optional<IntersectionTable>> ParseLandXmlIntersections(std::string_view bytes, std::string_view alignment,
                                                                   std::string_view path);

// ---- Files ---------------------------------------------------------------
Result<std::optional<IntersectionTable>> ReadLandXmlIntersectionsFile(const std::string& path,
                                                                      std::string_view alignment);
// The 交点表 that goes with a CSV profile: "<stem>-交点表.csv" beside it.
std::string IntersectionCompanionPath(const std::string& profilePath);
Result<IntersectionTable> ReadIntersectionCsvFile(const std::string& path);
[[nodiscard]] std::optional<IoFailure> WriteIntersectionCsvFile(const std::string& path,
                                                                const IntersectionTable& table);
Result<ElementList> ReadLandXmlElementsFile(const std::string& path, std::string_view alignment);

// A route file by its content: LandXML (the alignment `alignment` picks) or a 交点表.
struct RouteFile {
    ProfileFormat format = ProfileFormat::Csv;
    std::variant<IntersectionTable, ElementList> route;
};
Result<RouteFile> ReadRouteFile(const std::string& path, std::string_view alignment = {});

}  // namespace tarnvel::io
