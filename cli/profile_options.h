#pragma once
// What the `tarnvel-cli profile` sub-commands share: their common options,
// reading and checking the profile file, and the way a sub-command stops
// after it has told the user why.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "cli/options.h"
#include "core/profile/ground_line.h"
#include "core/profile/profile.h"
#include "core/text/profile_text.h"
#include "core/profile/station.h"
#include "io/io_failure.h"
#include "io/ground_files.h"
#include "io/profile_files.h"

namespace tarnvel::cli {

// Thrown once the reason has been written to the error stream; the
// sub-command then ends with `status`.
struct CommandExit {
    int status;
};

inline constexpr OptionSpec kProfileNameOption = {
    "profile", true, "名称", "LandXML 文件中要用的纵断面：“线路名/纵断面名”或纵断面名（默认第一个）"};
inline constexpr OptionSpec kDecimalsOption = {"decimals", true, "N",
                                               "高程和长度的小数位数（0 到 12，默认 3；桩号至少 3 位）"};
inline constexpr OptionSpec kStationStyleOption = {"stations", true, "plain|k",
                                                   "桩号写法：plain 为 16770.000，k 为 K16+770.000（默认 plain）"};
inline constexpr OptionSpec kFormatOption = {"format", true, "text|csv", "输出格式（默认 text）"};

inline constexpr OptionSpec kGroundOption = {
    "ground", true, "文件", "地面线：CSV 地面线表，或 LandXML 文件中的 ProfSurf（可以就是纵断面文件）", false,
    FileRole::Input};
inline constexpr OptionSpec kGroundSurfaceOption = {
    "ground-surface", true, "名称", "LandXML 中要用的地面线：“线路名/地面线名”或地面线名（默认所选纵断面自己的第一条）"};

// The one PROFILE (or FILE, ROUTE) argument; `noun` names it in the messages.
const std::string& FileArgument(const Options& options, std::string_view noun = "纵断面文件");

// The stations of --k-file (a path, or - for standard input): one a line,
// blank lines skipped. A station that does not read is a usage error naming
// the file and the line.
void AppendStationsFromFile(const std::string& path, std::vector<Station>& stations, std::ostream& err);

// A station option's text as a label ("16770.5", "K16+770.5", "K5+350(2)");
// a malformed text is a usage error naming the option.
Station StationFrom(std::string_view option, const std::string& text);

// --decimals, --stations: the text forms of the outputs.
TextOptions TextOptionsFrom(const Options& options);

// --format text|csv; true for csv.
bool CsvFormatFrom(const Options& options);

// Writes the failure and throws CommandExit: 3 for a file that cannot be
// read or written, 1 for content that is not a profile.
[[noreturn]] void StopOnFailure(const io::IoFailure& failure, std::ostream& err);

// Reads the PROFILE argument (the ProfAlign --profile names) as the file
// states it; stops on failure. --profile on a CSV file, which holds one
// profile only, is refused rather than ignored.
io::ProfileFileContent ReadProfileContent(const Options& options, std::ostream& err);
// The same for a profile file named elsewhere (--vertical), --profile choosing in it.
io::ProfileFileContent ReadProfileContentAt(const std::string& path, const Options& options, std::ostream& err);
ProfileModel ReadProfileModel(const Options& options, std::ostream& err);

// Checks a model; on problems writes every one of them, the file first, and
// stops with status 1.
Profile ResolveProfile(ProfileModel model, std::string_view path, std::ostream& err,
                       ProfileKeep keep = ProfileKeep::Everything);

// ReadProfileModel, then ResolveProfile.
Profile LoadProfile(const Options& options, std::ostream& err, ProfileKeep keep = ProfileKeep::Everything);
Profile LoadProfileAt(const std::string& path, const Options& options, std::ostream& err);

// The ground file at `path` as it reads, its ProfSurf chosen by
// --ground-surface or else as the profile's own (--profile); stops on
// failure. --ground-surface on a CSV table, which holds one ground line only,
// is refused rather than ignored.
io::GroundReading ReadGround(const Options& options, const std::string& path, std::ostream& err);

// --ground (and --ground-surface): the ground line checked against the
// profile, or nothing without --ground. A file that cannot be read stops
// with status 3; one that is no ground table, or a ground line that fails
// its checks, with status 1 after every problem, by row.
std::optional<GroundLine> LoadGround(const Options& options, const Profile& profile, std::ostream& err);

// Ends "…未通过检查" with the problems listed (the first
// kListedGroundProblems of `total`, one a line) and how many more there are.
void PrintGroundProblems(const std::vector<GroundProblem>& listed, std::size_t total, std::ostream& err);

// A profile whose unit is not the metre is said on the error stream, so that
// outputs whose format has no room for it (at, list, CSV) are not misread.
void NoteUnit(const Profile& profile, std::ostream& err);

// What Resolve adjusted in the file (curves overlapping by rounding), once
// each, on standard error: the output itself stays what it was.
void NoteAdjustments(const Profile& profile, std::ostream& err);

}  // namespace tarnvel::cli
