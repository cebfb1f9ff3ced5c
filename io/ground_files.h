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
#include "io/file_identity.h"
#include "core/profile/units.h"
#include "io/io_failure.h"

namespace tarnvel::io {

// What a file gave: the points that read, and the cells that did not (by
// row), so that every problem of a table is named at once.
struct GroundReading {
    GroundModel model;
    std::vector<GroundProblem> problems;  // StationUnreadable, ElevationUnreadable: the first kListedGroundProblems
    std::size_t problemCount = 0;         // how many in all
    std::optional<LengthUnit> unit;       // when the file states one; the points are held in it
    bool landXml = false;                 // read from a LandXML ProfSurf, not a CSV table
};

// ---- In memory -----------------------------------------------------------
// The station and ground columns (from 0) a header row names, as the CSV
// ground table is read; nothing when it does not name both. What a block
// pasted from a spreadsheet is read by, too.
struct GroundColumns {
    std::size_t station = 0, ground = 0;
    std::optional<Unit> unit;  // as the two columns state it
    UnitProblem unitProblem;   // a fault: they state one that cannot be used
};
std::optional<GroundColumns> FindGroundColumns(const std::vector<std::string>& headerCells);

// Failures name the file and the place, as for the profile files.
Result<GroundReading> ParseGroundCsv(std::string_view bytes, std::string_view path);
// UTF-8 with byte-order mark, CR LF, the header "桩号(station),地面高程(ground)"
// (the unit in brackets when it is not the metre). The stations must be labels.
std::string GroundCsvBytes(const GroundModel& model, LengthUnit unit);

// The ProfSurf named `name` ("ALIGNMENT/SURFACE", or SURFACE where unique;
// two of one name are refused). Without a name: given `profile` (a ProfAlign
// name as ParseLandXml takes it, empty for the first), the first ProfSurf of
// that profile's own Profile, refused when it has none, so that the ground is
// never another alignment's; without `profile`, or in a file of ground lines
// only, the first of the file. Stations are internal
// (GroundStations::Internal); millimetres and kilometres are held as metres.
Result<GroundReading> ParseLandXmlGround(std::string_view bytes, std::string_view name, std::string_view path,
                                         std::optional<std::string_view> profile = std::nullopt);
// Every ProfSurf of the Profile that holds the ProfAlign named `profile` (as
// ParseLandXml takes it), in file order: what a conversion carries along.
Result<std::vector<GroundModel>> ParseLandXmlGrounds(std::string_view bytes, std::string_view profile,
                                                     std::string_view path);

// ---- Files ---------------------------------------------------------------
// By content: LandXML (its ProfSurf chosen by `name` and `profile`, see
// ParseLandXmlGround) or the CSV ground table.
Result<GroundReading> ReadGroundFile(const std::string& path, std::string_view name = {},
                                     std::optional<std::string_view> profile = std::nullopt);
// The ProfSurf beside the chosen ProfAlign of a LandXML file (see
// ParseLandXmlGrounds); none for a CSV file.
Result<std::vector<GroundModel>> ReadLandXmlGrounds(const std::string& path, std::string_view profile = {});
// Atomic, as every write of this program.
[[nodiscard]] std::optional<IoFailure> WriteGroundCsvFile(const std::string& path, const GroundModel& model,
                                                          LengthUnit unit);

// The ground table that goes with a CSV profile: "<stem>-地面线.csv" in the
// same folder ("road.csv" -> "road-地面线.csv").
std::string GroundCompanionPath(const std::string& profilePath);
// A CSV profile and its ground table, written together or not at all (see
// CommitFiles). Without a ground line, the companion is removed only when it
// is still the file `removable` names, the one the caller read with this
// profile: a ground line the user cleared must not come back on opening,
// but a table nobody loaded is not ours to delete.
[[nodiscard]] std::optional<IoFailure> WriteCsvProfileWithGround(const std::string& path, const ProfileModel& model,
                                                                 const GroundModel* ground,
                                                                 const std::optional<FileIdentity>& removable);

// The same for any tables that go with a CSV profile (the ground, the
// control table, the criteria): the profile and every table written together
// or not at all. A table the profile has is written; one it has not is
// removed only while its file is still the one `removable` names, the one
// read with this profile (the user cleared it); any other (a table that did
// not load, for the user to mend, or one nobody loaded) stays as it is.
struct CompanionWrite {
    std::string path;
    std::optional<std::string> bytes;       // the table; nothing when the profile has none
    std::optional<FileIdentity> removable;  // the file read with this profile at `path`
};
[[nodiscard]] std::optional<IoFailure> WriteCsvProfileWithCompanions(const std::string& path,
                                                                     const ProfileModel& model,
                                                                     const std::vector<CompanionWrite>& companions);

}  // namespace tarnvel::io
