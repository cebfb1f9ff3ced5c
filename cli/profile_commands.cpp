// tarnvel-cli profile: a whole road profile from a LandXML or CSV file — the
// elevation at any station, the curve elements table, a listing, conversion
// between the two file formats, and the profiles a LandXML file holds.

#include <algorithm>
#include <cmath>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/subcommands.h"
#include "cli/listing_options.h"
#include "cli/profile_options.h"
#include "cli/profile_check_command.h"
#include "cli/profile_plot_command.h"
#include "cli/profile_sheet_command.h"
#include "core/profile/profile_listing.h"
#include "core/text/ground_text.h"
#include "core/text/messages.h"
#include "core/text/profile_text.h"
#include "io/atomic_write.h"
#include "io/bounded_read.h"
#include "io/csv_records.h"
#include "io/ground_files.h"
#include "io/output_name.h"
#include "io/profile_files.h"
#include "core/text/messages.h"
#include "core/text/quoted_input.h"

namespace tarnvel::cli {
namespace {

constexpr OptionSpec kAtStation = {"k", true, "桩号", "计算桩号（可重复；可写 K16+770.5，断链重复桩号写 K5+350(2)）",
                                   true};
constexpr OptionSpec kAtStationFile = {"k-file", true, "文件",
                                       "从文件读取计算桩号，每行一个（- 为标准输入），输出与 --k 相同", false,
                                       FileRole::Input};
constexpr OptionSpec kFrom = {"from", true, "桩号", "起点桩号"};
constexpr OptionSpec kTo = {"to", true, "桩号", "止点桩号"};
constexpr OptionSpec kStep = {"step", true, "J", "计算间距（大于零）"};
constexpr OptionSpec kKeyPoints = {"key-points", false, {}, "插入竖曲线起点、变坡点、竖曲线终点和最高/最低点"};
constexpr OptionSpec kRowLimit = {"max-stations", true, "N", "list 一次最多列出的行数（默认 10000000）"};
constexpr OptionSpec kConvertOutput = {"output", true, "文件", "写入的文件：.xml 为 LandXML，.csv 为 CSV", false,
                                      FileRole::Output};
constexpr OptionSpec kForce = {"force", false, {}, "convert 覆盖含有纵断面以外内容的 LandXML 文件（这些内容将丢失）"};
constexpr OptionSpec kGroundOutput = {"ground-output", true, "文件",
                                      "convert：另将 LandXML 中的地面线（--ground-surface 选定，默认所选纵断面自己的第一条）写成 CSV 地面线表", false,
                                      FileRole::Output};

constexpr OptionSpec kAtOptions[] = {kAtStation,         kAtStationFile, kDecimalsOption,     kStationStyleOption,
                                     kProfileNameOption, kGroundOption,  kGroundSurfaceOption};
constexpr OptionSpec kElementsOptions[] = {kFormatOption, kDecimalsOption, kStationStyleOption,
                                           kProfileNameOption};
constexpr OptionSpec kListOptions[] = {kFrom,          kTo,
                                       kStep,          kKeyPoints,
                                       kFormatOption,  kDecimalsOption,
                                       kStationStyleOption, kProfileNameOption,
                                       kRowLimit,      kGroundOption,
                                       kGroundSurfaceOption};
constexpr OptionSpec kConvertOptions[] = {kConvertOutput, kForce, kProfileNameOption, kGroundOutput,
                                          kGroundSurfaceOption};
constexpr OptionSpec kSummaryOptions[] = {kFrom,          kTo,
                                          kGroundOption,  kGroundSurfaceOption,
                                          kFormatOption,  kDecimalsOption,
                                          kStationStyleOption, kProfileNameOption};

int RunAt(const Options& options, std::ostream& out, std::ostream& err) {
    FileArgument(options);
    const std::vector<std::string> texts = options.All("k");
    if (texts.empty() && !options.Has("k-file")) throw UsageError("缺少选项 --k 或 --k-file");
    std::vector<Station> stations;
    for (const std::string& text : texts) stations.push_back(StationFrom("k", text));
    if (options.Has("k-file")) AppendStationsFromFile(options.Text("k-file"), stations, err);
    if (stations.empty()) throw UsageError("选项 --k-file 的文件中没有桩号");
    const TextOptions text = TextOptionsFrom(options);
    // Without a ground line a few stations need no pieces kept: one pass
    // along the profile answers them all.
    const Profile profile =
        LoadProfile(options, err, options.Has("ground") ? ProfileKeep::Everything : ProfileKeep::Model);
    const std::optional<GroundLine> ground = LoadGround(options, profile, err);

    // Every station is computed before the first line is written, so that a
    // script never sees part of an answer.
    std::vector<double> internals;
    internals.reserve(stations.size());
    try {
        for (const Station& station : stations) internals.push_back(profile.OnProfile(profile.InternalOf(station)));
    } catch (const StationError& e) {
        err << "tarnvel-cli: " << DescribeStationFault(e.fault()) << '\n';
        return kExitProfile;
    }
    const std::vector<ProfileValue> values = profile.ValuesAt(internals);
    std::string lines;
    for (std::size_t k = 0; k < stations.size(); ++k) {
        const ProfileValue& value = values[k];
        lines += StationText(stations[k], text);
        lines += '\t';
        lines += ElevationText(value.elevation, text);
        if (ground) {
            // Ground and fill (+) or cut (−); both empty where there is no ground.
            lines += '\t';
            if (const std::optional<double> z = ground->At(internals[k])) {
                lines += ElevationText(*z, text);
                lines += '\t';
                lines += ElevationText(value.elevation - *z, text);
            } else {
                lines += '\t';
            }
        }
        lines += '\n';
    }
    NoteUnit(profile, err);
    out << lines;
    out.flush();
    return kExitOk;
}

int RunElements(const Options& options, std::ostream& out, std::ostream& err) {
    FileArgument(options);
    const bool csv = CsvFormatFrom(options);
    const TextOptions text = TextOptionsFrom(options);
    // The rows are made as they are written, none kept.
    const Profile profile = LoadProfile(options, err, ProfileKeep::Model);
    if (csv) NoteUnit(profile, err);  // the text table says its unit itself
    NoteAdjustments(profile, err);
    // A write that fails (a full disk) ends the table there: the rest could not arrive either.
    struct OutputFailed {};
    const BlockSink spill = [&](std::string& block) {
        if (!out.write(block.data(), static_cast<std::streamsize>(block.size()))) throw OutputFailed{};
        block.clear();
    };
    try {
        if (csv) WriteElementsCsv(profile, text, spill);
        else WriteElementsTableText(profile, text, spill);
    } catch (const OutputFailed&) {
        err << "tarnvel-cli: 标准输出无法写入，竖曲线要素表未写完。\n";
        return kExitFile;
    }
    out.flush();
    return kExitOk;
}

int RunList(const Options& options, std::ostream& out, std::ostream& err) {
    FileArgument(options);
    ProfileRange range;
    range.from = StationFrom("from", options.Text("from"));
    range.to = StationFrom("to", options.Text("to"));
    range.step = options.Number("step");
    if (!(range.step > 0)) throw UsageError("选项 --step 的值“" + QuotedInput(options.Text("step")) + "”应大于零");
    range.keyPoints = options.Has("key-points");
    const bool csv = CsvFormatFrom(options);
    TextOptions text = TextOptionsFrom(options);
    const std::uint64_t limit = MaxStationsFrom(options);
    const Profile profile = LoadProfile(options, err);
    const std::optional<GroundLine> ground = LoadGround(options, profile, err);
    if (ground) {
        range.ground = &*ground;
        text.ground = true;
    }

    // Both ends must lie on the profile; the messages name the station and
    // the profile's extent.
    double from = 0, to = 0;
    try {
        from = profile.InternalOf(range.from);
        to = profile.InternalOf(range.to);
        profile.At(from);
        profile.At(to);
    } catch (const StationError& e) {
        err << "tarnvel-cli: " << DescribeStationFault(e.fault()) << '\n';
        return kExitProfile;
    }
    if (to < from) throw UsageError("止点桩号（--to）在起点桩号（--from）之前");
    NoteAdjustments(profile, err);

    const std::optional<int> failed = StreamRoadListing(
        out, err, csv ? ListingCsvHeader(text) : ListingTextHeader(text), [&](std::string& block, const auto& spill) {
            return ListProfile(profile, range, limit, [&](const ProfileListingRow& row) {
                if (csv) AppendListingCsv(block, profile, row, text);
                else AppendListingText(block, profile, row, text);
                spill();
            });
        });
    if (failed) return *failed;
    NoteUnit(profile, err);
    return kExitOk;
}

// convert --ground-output: the chosen ground line as the bytes of a CSV
// ground table, its stations as the drawings label them.
std::string GroundOutputBytes(const Options& options, const Profile& profile, std::ostream& err) {
    GroundModel model = ReadGround(options, FileArgument(options), err).model;
    if (model.stations == GroundStations::Internal) {
        for (GroundPoint& p : model.points) p.station = profile.LabelOf(p.station.value);
        model.stations = GroundStations::Labels;
    }
    return io::GroundCsvBytes(model, profile.Model().unit);
}

// Writes nothing until every output is made: the profile and the ground
// table go to the disk together or not at all.
int RunConvert(const Options& options, std::ostream&, std::ostream& err) {
    const std::string& input = FileArgument(options);
    const std::string& output = options.Text("output");
    if (output.empty()) throw UsageError("选项 --output 的文件名为空");
    const std::optional<io::ProfileFormat> format = io::ProfileFormatFromPath(output);
    if (!format) throw UsageError("选项 --output 的文件“" + QuotedInput(output, std::string::npos) + "”应以 .xml（LandXML）或 .csv（CSV）结尾");
    const bool groundOutput = options.Has("ground-output");
    if (groundOutput) {
        const std::string& path = options.Text("ground-output");
        if (path.empty()) throw UsageError("选项 --ground-output 的文件名为空");
        if (io::ExtensionOf(path) != "csv")
            throw UsageError("选项 --ground-output 的文件“" + QuotedInput(path, std::string::npos) + "”须以 .csv 结尾（地面线写成 CSV 地面线表）");
    }
    const io::ProfileFileContent read = ReadProfileContent(options, err);
    const ProfileModel& model = read.content.model;
    // A profile that does not pass its checks is not passed on: the other
    // program might take it for a sound one. Nor is a ground line.
    const Profile profile = ResolveProfile(model, input, err);
    const std::string name = options.Has("profile") ? options.Text("profile") : std::string();
    io::Result<std::vector<GroundModel>> grounds = io::ReadLandXmlGrounds(input, name);
    if (!grounds.ok()) StopOnFailure(grounds.failure(), err);
    for (const GroundModel& ground : grounds.value()) {
        std::vector<GroundProblem> problems;
        std::size_t count = 0;
        if (GroundLine::Make(ground, profile, &problems, &count)) continue;
        err << "tarnvel-cli: 纵断面文件“" << QuotedInput(input, std::string::npos) << "”中的地面线“"
            << QuotedInput(ground.name) << "”未通过检查";
        PrintGroundProblems(problems, count, err);
        return kExitProfile;
    }
    // A LandXML file holds more than a profile as a rule: a design file
    // written over with the one profile read from it would lose the rest.
    if (*format == io::ProfileFormat::LandXml && !options.Has("force")) {
        const std::vector<std::string> lost = io::LandXmlContentAt(output);
        if (!lost.empty()) {
            std::string list;
            for (const std::string& item : lost) list += (list.empty() ? "" : "、") + item;
            err << "tarnvel-cli: 文件“" << QuotedInput(output, std::string::npos) << "”除这一纵断面外还有" << list
                << "，写入后这些内容将丢失，未写入（确要覆盖请加 --force）。\n";
            return kExitUsage;
        }
    }
    // The control points and criteria kept in the ProfAlign go along, as the ground lines do.
    io::Result<io::ProfileChecks> checks = read.format == io::ProfileFormat::LandXml
                                               ? io::ReadLandXmlChecks(input, name, model)
                                               : io::Result<io::ProfileChecks>(io::ProfileChecks{});
    if (!checks.ok()) StopOnFailure(checks.failure(), err);
    // The alignment keeps the name it was read with.
    const std::string profileBytes = io::ProfileFileBytes(model, *format, read.content.alignment, grounds.value(), checks.value());
    const std::string groundBytes = groundOutput ? GroundOutputBytes(options, profile, err) : std::string();
    std::vector<io::FileChange> changes{{output, [&](io::FileBytesSink& sink) {
                                             sink.Write(profileBytes);
                                             return true;
                                         }}};
    if (groundOutput) {
        changes.push_back({options.Text("ground-output"), [&](io::FileBytesSink& sink) {
                               sink.Write(groundBytes);
                               return true;
                           }});
    }
    if (const auto failure = io::CommitFiles(changes)) StopOnFailure(*failure, err);
    if (*format == io::ProfileFormat::Csv && (!checks.value().controls.empty() || checks.value().criteria))
        err << "tarnvel-cli: 注意：CSV 变坡点表不含控制标高和设计标准，文件中的这些内容未写入。\n";
    if (!groundOutput && *format == io::ProfileFormat::Csv && !grounds.value().empty())
        err << "tarnvel-cli: 注意：CSV 变坡点表不含地面线，文件中的 " << grounds.value().size()
            << " 条地面线（ProfSurf）未写入；可用 --ground-output 另存为 CSV 地面线表。\n";
    return kExitOk;
}

int RunGroundSummary(const Options& options, std::ostream& out, std::ostream& err) {
    FileArgument(options);
    if (!options.Has("ground")) throw UsageError("缺少选项 --ground");
    const bool csv = CsvFormatFrom(options);
    const TextOptions text = TextOptionsFrom(options);
    const std::optional<Station> from =
        options.Has("from") ? std::optional(StationFrom("from", options.Text("from"))) : std::nullopt;
    const std::optional<Station> to =
        options.Has("to") ? std::optional(StationFrom("to", options.Text("to"))) : std::nullopt;
    const Profile profile = LoadProfile(options, err);
    const std::optional<GroundLine> ground = LoadGround(options, profile, err);
    double a = profile.StartStation(), b = profile.EndStation();
    try {
        if (from) a = profile.OnProfile(profile.InternalOf(*from));
        if (to) b = profile.OnProfile(profile.InternalOf(*to));
    } catch (const StationError& e) {
        err << "tarnvel-cli: " << DescribeStationFault(e.fault()) << '\n';
        return kExitProfile;
    }
    if (b < a) throw UsageError("止点桩号（--to）在起点桩号（--from）之前");
    const GroundSummary summary = SummarizeGround(profile, *ground, a, b);
    out << (csv ? GroundSummaryCsv(profile, summary, text) : GroundSummaryText(profile, summary, text));
    out.flush();
    if (csv) NoteUnit(profile, err);
    return kExitOk;
}

int RunNames(const Options& options, std::ostream& out, std::ostream& err) {
    const std::string& path = FileArgument(options);
    const io::Result<std::vector<io::LandXmlProfileName>> names = io::ReadLandXmlProfileNames(path);
    if (!names.ok()) StopOnFailure(names.failure(), err);
    std::string lines;
    for (const io::LandXmlProfileName& name : names.value()) {
        lines += name.alignment;
        lines += '/';
        lines += name.profile;
        lines += '\n';
    }
    out << lines;
    out.flush();
    return kExitOk;
}

// The sub-commands, in the order the usage lists them. A new one is one more
// row: its options table and its run function (profile_options.h has what
// they share).
constexpr Subcommand kCommands[] = {
    {"at", "纵断面文件 --k 桩号 [--k 桩号 …] [--k-file 文件] [--decimals N] [--stations plain|k] [--ground 地面线文件]",
     "任意桩号的设计高程，每行“桩号<TAB>高程”；有地面线时为“桩号<TAB>设计高程<TAB>地面高程<TAB>填挖高”（填为正、挖为负）",
     kAtOptions, RunAt},
    {"elements", "纵断面文件 [--format text|csv] [--decimals N]", "竖曲线要素表", kElementsOptions,
     RunElements},
    {"list",
     "纵断面文件 --from A --to B --step J [--key-points] [--format text|csv] [--decimals N] [--ground 地面线文件]",
     "逐桩高程和纵坡列表（断链两侧桩号均列出；有地面线时加地面高程、填高、挖深，--key-points 另列填挖交界）",
     kListOptions, RunList},
    {"convert", "纵断面文件 --output 文件 [--force] [--ground-output 地面线.csv]",
     "LandXML 与 CSV 互相转换（按输出文件的扩展名；LandXML 中的地面线随之写入 LandXML）", kConvertOptions,
     RunConvert},
    {"names", "LandXML文件", "列出文件中的纵断面（线路名/纵断面名）", {}, RunNames},
    {"ground-summary", "纵断面文件 --ground 地面线文件 [--from A] [--to B] [--format text|csv]",
     "填挖汇总：填方段、挖方段总长和最长段，最大填高、最大挖深，填挖交界", kSummaryOptions, RunGroundSummary},
    {"check", "纵断面文件 [--controls 控制标高.csv] [--criteria 设计标准.csv] [--format text|csv]",
     "检查设计线：各控制点的设计高程与富余（负为不满足），及违反设计标准之处；有不满足时退出状态为 1",
     kCheckOptions, RunProfileCheck},
    {"plot", "纵断面文件 --output 文件.svg [--exaggeration N] [--width PX --height PX] [--ground 地面线文件]",
     "纵断面图（SVG：设计线、切线、变坡点、竖曲线要素、坡度坡长、断链；有地面线时加地面线、填挖着色、填挖交界和图例）",
     kPlotOptions, RunProfilePlot},
    {"sheet",
     "纵断面文件 --output 文件.pdf|文件.dxf|文件.svg [--paper A3|A4] [--horizontal-scale 2000] "
     "[--vertical-scale 200] [--from A --to B] [--project 文字] [--drawing-number 文字] [--ground 地面线文件] "
     "[--elements-table]",
     "纵断面图图纸（按比例分张：图面、资料栏、图签；有地面线时加地面线、填挖和资料栏的地面高程、填高、挖深；"
     "LandXML 文件带平面线形时加直线及平曲线栏）", kSheetOptions, RunProfileSheet},
};

constexpr SubcommandGroup kGroup{"profile", kCommands};

}  // namespace

std::string ProfileUsage() {
    return SubcommandUsage(kGroup,
                           "用法：tarnvel-cli profile <子命令> 纵断面文件 [选项]\n\n"
                           "整条纵断面：起点、任意多个变坡点（可带竖曲线）、终点，可含断链。\n"
                           "纵断面文件为 LandXML（.xml）或 CSV 变坡点表，按内容识别。\n\n",
                           R"(
桩号可写作 16770.5 或 K16+770.5；断链（长链）处重复出现的桩号以后缀指明第几次出现，如 K5+350(2)。
示例：
  tarnvel-cli profile at 纵断面.csv --k K16+780 --stations k
  tarnvel-cli profile list 纵断面.xml --profile 主线/设计线 --from K16+000 --to K17+000 --step 20 --key-points
  tarnvel-cli profile at 纵断面.csv --k K16+780 --ground 地面线.csv
  tarnvel-cli profile ground-summary 纵断面.xml --ground 纵断面.xml --ground-surface 原地面
地面线 CSV 表：表头含“桩号”和“地面高程”两列（其余列不用），可有标题行，UTF-8 或 GBK。
控制标高 CSV 表：表头“桩号,最低高程,最高高程,名称”（或 station,lower,upper,name；最低、最高可空其一）。
设计标准 CSV：表头“criterion,value”，项目 max_grade、min_grade（%）、min_grade_length、min_crest_radius、
min_sag_radius、min_curve_length（纵断面的长度单位），各项可缺；数值是使用者自己的，本程序不附带任何标准的数值。
退出状态：0 成功；1 纵断面或地面线未通过检查、check 发现不满足之处、桩号不在纵断面上或文件内容不是纵断面；2 命令或选项有误；
3 文件无法读取或写入。失败时不写出任何文件。
输出文件不能是任何输入文件，两个输出也不能是同一文件（按文件本身判断：不同写法、符号链接、硬链接都算同一文件）。
)");
}

int RunProfile(const Args& args, std::ostream& out, std::ostream& err) {
    return RunSubcommand(kGroup, args, out, err);
}

}  // namespace tarnvel::cli
