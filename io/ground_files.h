#pragma once
// Ground line files: the CSV ground table (桩号, 地面高程) as surveyors keep it
// in a spreadsheet, and LandXML Profile/ProfSurf (PntList2D of internal
// stations and elevations), which may sit beside the design's ProfAlign in
// the same Profile. As for the design, what is read is a GroundModel as the
// file states it; GroundLine::Make checks it against the profile.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/profile/ground_line.h"
#include "core/profile/profile.h"
#include "io/io_failure.h"

namespace tarnvel::io {

// What a file gave: the points that read, and the cells that did not (by
// row), so that every problem of a table is named at once.
struct GroundReading {
    GroundModel model;
    std::vector<GroundProblem> problems;  // StationUnreadable, ElevationUnreadable
    std::optional<LengthUnit> unit;       // when the file states one
};

// ---- In memory -----------------------------------------------------------
// The station and ground columns (from 0) a header row names, as the CSV
// ground table is read; nothing when it does not name both. What a block
// pasted from a spreadsheet is read by, too.
struct GroundColumns {
    std::size_t station = 0, ground = 0;
};
std::optional<GroundColumns> FindGroundColumns(const std::vector<std::string>& headerCells);

// Failures name the file and the place, as for the profile files.
Result<GroundReading> ParseGroundCsv(std::string_view bytes, std::string_view path);
// UTF-8 with byte-order mark, CR LF, the header "桩号(station),地面高程(ground)"
// (the unit in brackets when it is not the metre). The stations must be labels.
std::string GroundCsvBytes(const GroundModel& model, LengthUnit unit);

// The ProfSurf named `name` ("ALIGNMENT/SURFACE", or SURFACE where unique;
// empty: the first of the file). Stations are internal (GroundStations::Internal).
Result<GroundReading> ParseLandXmlGround(std::string_view bytes, std::string_view name, std::string_view path);
// Every ProfSurf of the Profile that holds the ProfAlign named `profile` (as
// ParseLandXml takes it), in file order: what a conversion carries along.
Result<std::vector<GroundModel>> ParseLandXmlGrounds(std::string_view bytes, std::string_view profile,
                                                     std::string_view path);

// ---- Files ---------------------------------------------------------------
// By content: LandXML (its ProfSurf chosen by `name`) or the CSV ground table.
Result<GroundReading> ReadGroundFile(const std::string& path, std::string_view name = {});
// The ProfSurf beside the chosen ProfAlign of a LandXML file (see
// ParseLandXmlGrounds); none for a CSV file.
Result<std::vector<GroundModel>> ReadLandXmlGrounds(const std::string& path, std::string_view profile = {});
// Atomic, as every write of this program.
[[nodiscard]] std::optional<IoFailure> WriteGroundCsvFile(const std::string& path, const GroundModel& model,
                                                          LengthUnit unit);

// The ground table that goes with a CSV profile: "<stem>-地面线.csv" in the
// same folder ("road.csv" -> "road-地面线.csv").
std::string GroundCompanionPath(const std::string& profilePath);
// A CSV profile and its ground table, written together. The ground table
// goes to a temporary file first; then the profile replaces its file, then
// the ground table is renamed over the companion. A failure before the
// profile is replaced leaves both files as they were. Without a ground line
// an existing companion is removed, so that a ground line the user cleared
// does not come back when the profile is opened again.
[[nodiscard]] std::optional<IoFailure> WriteCsvProfileWithGround(const std::string& path, const ProfileModel& model,
                                                                 const GroundModel* ground);

// The same for any companion tables (the ground, the control table): each
// written, removed (a table the user cleared) or kept as it is (a table that
// did not load, for the user to mend), all written before the profile is
// replaced and renamed over their files after it.
struct CompanionWrite {
    std::string path;
    enum Action { Write, Remove, Keep } action = Keep;
    std::string bytes;  // Write
};
[[nodiscard]] std::optional<IoFailure> WriteCsvProfileWithCompanions(const std::string& path,
                                                                     const ProfileModel& model,
                                                                     const std::vector<CompanionWrite>& companions);

}  // namespace tarnvel::io
