#pragma once
// Profile files: LandXML 1.2 (also read: 1.0 and 1.1) and the CSV PVI table.
// The parse and byte functions work on memory, so the fuzzers and tests need
// no files; the Read/Write functions add the bounded read and the atomic
// write that every file of this program goes through.
//
// What is read is a ProfileModel as the file states it (station labels, the
// file's unit); it is not validated here: Profile::Resolve does that, so a
// reader and the window report the same problems in the same words.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/profile/design_check.h"
#include "core/profile/ground_line.h"
#include "core/plan/plan.h"
#include "core/profile/profile.h"
#include "io/io_failure.h"

namespace tarnvel::io {

enum class ProfileFormat { LandXml, Csv };

// Profile files larger than this are refused unread.
inline constexpr std::size_t kMaxProfileFileBytes = 256u << 20;

// One ProfAlign of a LandXML file, named as `--profile` and the window's
// chooser accept it: "ALIGNMENT/PROFILE", or just PROFILE where that is unique.
struct LandXmlProfileName {
    std::string alignment;  // Alignment@name
    std::string profile;    // ProfAlign@name (or Profile@name when the ProfAlign has none)
};

// ---- In memory -----------------------------------------------------------
// `path` only names the file in messages. Failures are FailureKind::NotProfile
// with a Chinese sentence naming the file and the place (line, element,
// attribute; CSV row and column).

Result<std::vector<LandXmlProfileName>> ListLandXmlProfiles(std::string_view bytes, std::string_view path);
// `name` empty: the first ProfAlign of the file.
Result<ProfileModel> ParseLandXml(std::string_view bytes, std::string_view name, std::string_view path);

// Everything one parse of a LandXML file tells.
struct LandXmlContent {
    std::vector<LandXmlProfileName> names;  // every profile of the file, in file order
    ProfileModel model;                     // the profile chosen (empty when only listing)
    std::string alignment;                  // the Alignment@name the profile was read from
    // What the file holds besides one alignment's one profile (other profiles
    // or alignments, surfaces, a horizontal geometry, …), in the user's words:
    // what writing a LandXML file over it would lose.
    std::vector<std::string> beyondProfile;
};
// The same as the functions above, parsing `bytes` in place (they are
// changed, and no copy of the file is made).
Result<LandXmlContent> ParseLandXmlInPlace(std::string& bytes, std::string_view name, std::string_view path);
Result<LandXmlContent> ListLandXmlInPlace(std::string& bytes, std::string_view path);

// A LandXML 1.2 document with one Alignment holding the profile (and its
// StaEquations), in the model's unit, UTF-8. The alignment is named
// `alignment`, or after the profile when that is empty. The ground lines, if
// any, go in as ProfSurf beside the ProfAlign, their stations taken through
// the profile's chain table when they are labels.
// What a designer keeps with a profile to check it by: its control points
// and the criteria (none: the file says nothing of them).
struct ProfileChecks {
    std::vector<ControlPoint> controls;
    std::optional<DesignCriteria> criteria;
};
// The checks, if any, go into the ProfAlign as Feature elements, as the
// schema allows after the PVIs and other programs pass over: one with code
// "tarnvel:control" for each control point (its name, and Property station,
// lower, upper), one with code "tarnvel:criteria" for the criteria (a
// Property for each, labelled by its key).
std::string LandXmlBytes(const ProfileModel& model, std::string_view alignment = {},
                         const std::vector<GroundModel>& grounds = {}, const ProfileChecks& checks = {});
// The checks kept in the ProfAlign `name` chooses (as ParseLandXml takes
// it), the controls labelled through `model`'s chain table.
Result<ProfileChecks> ParseLandXmlChecks(std::string_view bytes, std::string_view name, const ProfileModel& model,
                                         std::string_view path);
Result<ProfileChecks> ReadLandXmlChecks(const std::string& path, std::string_view name, const ProfileModel& model);

// A route's elements as the CoordGeom of a LandXML alignment named
// `alignment` ("Tarnvel" when empty): Line, Spiral and Curve with Start,
// Center, End and PI in "north east" order, every number the shortest text
// that reads back. Given the `existing` bytes of a LandXML file, the geometry
// replaces that alignment's (the only one, or the one of that name, or a new
// one) and everything else in the file stays: its profiles and surfaces.
std::string PlanLandXmlBytes(const Plan& plan, std::string_view alignment, std::string_view existing = {});

// A road in one LandXML file: the profile as LandXmlBytes writes it, in an
// alignment that also holds the plan. The resolved route (`plan`) is the
// CoordGeom every program reads; a route entered as a 交点表 also keeps that
// table (`intersections`) in a Feature of code "tarnvel:intersections", one
// tarnvel:JD element a row with its name, north, east, radius, spiralIn,
// spiralOut and station, so that it reads back as typed. Without a plan the
// CoordGeom holds only the placeholder line the schema requires, marked
// tarnvel:placeholder="true" and never read as a plan.
struct RoadFileContent {
    const ProfileModel& model;
    std::string alignment;  // its name, kept from the file read; empty: after the profile
    std::vector<GroundModel> grounds;
    ProfileChecks checks;
    const Plan* plan = nullptr;
    const IntersectionTable* intersections = nullptr;
};
// Given the `existing` bytes of a LandXML file, the alignment of that name
// there gets the new geometry, stations, 交点表 and this profile (by its
// name; others of the alignment stay), and everything else of the file
// stays. A file whose unit of length is not the road's is refused.
Result<std::string> RoadLandXmlBytes(const RoadFileContent& road, std::string_view existing, std::string_view path);

Result<ProfileModel> ParseProfileCsv(std::string_view bytes, std::string_view path);
// UTF-8 with byte-order mark, CR LF, a header row; the chain table, if any,
// as a second section after an empty line.
std::string ProfileCsvBytes(const ProfileModel& model);

// LandXML when the content (after an optional byte-order mark and blanks)
// starts with '<', CSV otherwise.
ProfileFormat SniffProfileFormat(std::string_view bytes);

// ---- Files ---------------------------------------------------------------
// The bytes of a file read by any of the readers of profiles and routes,
// within kMaxProfileFileBytes; a larger file, or binary data, is refused
// unread, the message saying it is no `noun` ("纵断面文件").
Result<std::string> ReadDocumentBytes(const std::string& path, std::string_view noun);
// By content, not by name. `name` picks a ProfAlign of a LandXML file (ignored for CSV).
Result<ProfileModel> ReadProfileFile(const std::string& path, std::string_view name = {});
Result<std::vector<LandXmlProfileName>> ReadLandXmlProfileNames(const std::string& path);
// One read and one parse for all a caller needs of a profile file: the
// profile `name` picks, and for LandXML the names of all the file's profiles
// and what else it holds (none of these for CSV).
struct ProfileFileContent {
    ProfileFormat format = ProfileFormat::Csv;
    LandXmlContent content;
};
Result<ProfileFileContent> ReadProfileFileContent(const std::string& path, std::string_view name = {});
// What a LandXML file at `path` holds besides one profile (see
// LandXmlContent::beyondProfile); nothing for a missing file, a CSV file or
// anything that is not LandXML. A LandXML file too large to read is said to
// hold what could not be looked at.
std::vector<std::string> LandXmlContentAt(const std::string& path);
// By the extension: ".xml" (any case) LandXML, ".csv" CSV, else nothing.
std::optional<ProfileFormat> ProfileFormatFromPath(std::string_view path);
// The path and format a profile is written to, by the rule of ResolveOutputName:
// a typed ".xml" or ".csv" wins, else the picked format's extension is added;
// nothing when neither says (the command line without an extension).
std::optional<std::pair<std::string, ProfileFormat>> ProfileOutputName(std::string_view typed,
                                                                       std::optional<ProfileFormat> picked);
// The bytes WriteProfileFile writes, for a caller that writes several files together.
std::string ProfileFileBytes(const ProfileModel& model, ProfileFormat format, std::string_view alignment = {},
                             const std::vector<GroundModel>& grounds = {}, const ProfileChecks& checks = {});
// Atomic, as every write of this program.
// `alignment` names the LandXML alignment (see LandXmlBytes); ground lines and
// the checks go into LandXML only.
[[nodiscard]] std::optional<IoFailure> WriteProfileFile(const std::string& path, const ProfileModel& model,
                                                        ProfileFormat format, std::string_view alignment = {},
                                                        const std::vector<GroundModel>& grounds = {},
                                                        const ProfileChecks& checks = {});

}  // namespace tarnvel::io
