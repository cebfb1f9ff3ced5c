// tarnvel-cli align: the horizontal alignment from a 交点表 CSV or a LandXML
// CoordGeom — the 直线、曲线及转角表, the coordinates of any station and
// offset (with a profile, the design elevation too), the 逐桩坐标 listing
// with 边桩, 坐标反算 of measured points, and conversion between the files.

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "cli/commands.h"
#include "cli/subcommands.h"
#include "cli/listing_options.h"
#include "cli/profile_options.h"
#include "core/calculator/number_text.h"
#include "core/drawing/plan_drawing.h"
#include "core/plan/plan.h"
#include "core/plan/plan_listing.h"
#include "core/text/messages.h"
#include "core/text/quoted_input.h"
#include "core/text/plan_text.h"
#include "core/text/stakeout_text.h"
#include "io/atomic_write.h"
#include "io/bounded_read.h"
#include "io/csv_table.h"
#include "io/gbk.h"
#include "io/output_name.h"
#include "io/plan_files.h"
#include "output/sheet_writer.h"

namespace tarnvel::cli {
namespace {

constexpr std::string_view kRouteNoun = "路线文件";

constexpr OptionSpec kAlignmentOption = {"alignment", true, "名称", "LandXML 文件中要用的线路（Alignment，默认第一条）"};
constexpr OptionSpec kAtStation = {"k", true, "桩号", "计算桩号（可重复；可写 K1+260，断链重复桩号写 K5+350(2)）",
                                   true};
constexpr OptionSpec kAtStationFile = {"k-file", true, "文件", "从文件读取计算桩号，每行一个（- 为标准输入）"};
constexpr OptionSpec kAtOffset = {"offset", true, "D", "偏距：右为正、左为负（默认 0，即中桩）"};
constexpr OptionSpec kListOffset = {"offset", true, "D", "边桩偏距：右为正、左为负（可重复；中桩总会列出）", true};
constexpr OptionSpec kVertical = {"vertical", true, "文件", "加设计高程：纵断面文件（CSV 或 LandXML，可以就是路线文件）"};
constexpr OptionSpec kFrom = {"from", true, "桩号", "起点桩号"};
constexpr OptionSpec kTo = {"to", true, "桩号", "止点桩号"};
constexpr OptionSpec kStep = {"step", true, "S", "桩距（大于零）"};
constexpr OptionSpec kKeyPoints = {"key-points", false, {}, "插入主点（ZH、HY、QZ、YH、HZ；ZY、YZ）"};
constexpr OptionSpec kRowLimit = {"max-stations", true, "N", "list 一次最多列出的桩号数（默认 10000000）"};
constexpr OptionSpec kPoints = {"points", true, "文件", "坐标反算的点位文件：每行“点名,X,Y[,高程]”（- 为标准输入）"};
constexpr OptionSpec kMaxOffset = {"max-offset", true, "D", "坐标反算的最大偏距（默认 500）"};
constexpr OptionSpec kListFormat = {"format", true, "text|csv|stakeout",
                                    "输出格式；stakeout 为放样数据：每点一行“点名,编码,东坐标,北坐标,高程”，无表头"};
constexpr OptionSpec kEncoding = {"encoding", true, "utf-8|gbk", "放样数据的编码（默认 utf-8）"};
constexpr OptionSpec kConvertOutput = {"output", true, "文件", "写入的文件：.xml 为 LandXML，.csv 为交点表"};

constexpr OptionSpec kPlotOutput = {"output", true, "文件",
                                   "写入的平面图：.svg、.pdf 或 .dxf（DXF 为实际坐标：x 东、y 北，单位同路线）", false,
                                   FileRole::Output};
constexpr OptionSpec kPlanScale = {"scale", true, "N", "比例 1:N（100 至 100000，默认 2000）"};

constexpr OptionSpec kElementsOptions[] = {kFormatOption, kDecimalsOption, kStationStyleOption, kAlignmentOption};
constexpr OptionSpec kAtOptions[] = {kAtStation,      kAtStationFile,      kAtOffset,        kVertical,
                                     kProfileNameOption, kFormatOption,    kDecimalsOption,  kStationStyleOption,
                                     kAlignmentOption};
constexpr OptionSpec kListOptions[] = {kFrom,         kTo,           kStep,           kKeyPoints,
                                       kListOffset,   kVertical,     kProfileNameOption, kRowLimit,
                                       kListFormat,   kEncoding,     kDecimalsOption, kStationStyleOption,
                                       kAlignmentOption};
constexpr OptionSpec kInverseOptions[] = {kPoints,       kMaxOffset,          kFormatOption,
                                          kDecimalsOption, kStationStyleOption, kAlignmentOption};
constexpr OptionSpec kPlotOptions[] = {kPlotOutput, kPlanScale, kAlignmentOption};
constexpr OptionSpec kConvertOptions[] = {kConvertOutput, kAlignmentOption, kFormatOption, kDecimalsOption,
                                          kStationStyleOption};

struct LoadedRoute {
    io::RouteFile file;
    Plan plan;
};

// The route file checked and resolved; every problem written, by line, and
// the command stopped with status 1. An --alignment the file does not have
// is a usage error.
LoadedRoute LoadRoute(const Options& options, std::ostream& err) {
    const std::string& path = FileArgument(options, kRouteNoun);
    const std::string alignment = options.Has("alignment") ? options.Text("alignment") : std::string();
    io::Result<io::RouteFile> read = io::ReadRouteFile(path, alignment);
    if (!read.ok()) {
        if (!alignment.empty()) {
            const io::Result<io::BoundedFile> bytes = io::ReadWholeFile(path, io::kMaxProfileFileBytes);
            if (bytes.ok()) {
                const auto names = io::ListLandXmlAlignments(bytes.value().bytes, path);
                if (names.ok() && std::find(names.value().begin(), names.value().end(), alignment) == names.value().end()) {
                    std::string list;
                    for (const std::string& n : names.value()) list += (list.empty() ? "" : "、") + n;
                    throw UsageError("文件“" + QuotedInput(path, std::string::npos) + "”中没有名为“" + QuotedInput(alignment) + "”的线路" +
                                     (list.empty() ? std::string() : "（有：" + list + "）"));
                }
            }
        }
        StopOnFailure(read.failure(), err);
    }
    if (options.Has("alignment") && read.value().format != io::ProfileFormat::LandXml)
        throw UsageError("选项 --alignment 只用于 LandXML 文件；“" + QuotedInput(path, std::string::npos) + "”是交点表，只有一条线路");
    std::vector<PlanProblem> problems;
    std::optional<Plan> plan = std::visit([&](const auto& route) { return Plan::Resolve(route, &problems); },
                                          read.value().route);
    if (!plan) {
        err << "tarnvel-cli: 路线文件“" << path << "”未通过检查";
        if (problems.size() > 1) err << "，共 " << problems.size() << " 处问题";
        err << "：\n";
        for (const PlanProblem& problem : problems) err << "  " << DescribePlanProblem(problem) << '\n';
        throw CommandExit{kExitProfile};
    }
    return {std::move(read.value()), std::move(*plan)};
}

// What the resolver noticed, and a unit that is not the metre, on standard error.
void NoteRoute(const Plan& plan, std::ostream& err) {
    for (const PlanProblem& note : plan.Notes()) err << "tarnvel-cli: 注意：" << DescribePlanProblem(note) << '\n';
    if (plan.Unit() != LengthUnit::Metre)
        err << "tarnvel-cli: 注意：此路线的长度单位为" << LengthUnitName(plan.Unit()) << "（"
            << LengthUnitSymbol(plan.Unit()) << "），坐标、桩号和长度均以此为单位。\n";
}

// --vertical: the profile of the same road, or nothing.
std::optional<Profile> LoadVertical(const Options& options, std::ostream& err) {
    if (!options.Has("vertical")) {
        if (options.Has("profile")) throw UsageError("选项 --profile 要与 --vertical 一起使用");
        return std::nullopt;
    }
    const std::string& path = options.Text("vertical");
    if (path.empty()) throw UsageError("选项 --vertical 的文件名为空");
    return LoadProfileAt(path, options, err);
}

int RunElements(const Options& options, std::ostream& out, std::ostream& err) {
    const bool csv = CsvFormatFrom(options);
    const TextOptions text = TextOptionsFrom(options);
    const LoadedRoute route = LoadRoute(options, err);
    NoteRoute(route.plan, err);
    if (route.plan.FromTable()) {
        out << (csv ? CurveTableCsv(route.plan, text) : CurveTableText(route.plan, text));
    } else if (const std::optional<IntersectionTable> table = RecoverIntersections(route.plan)) {
        // The 交点 where straights frame each group of curves.
        std::optional<Plan> recovered = Plan::Resolve(*table);
        if (!recovered) {
            out << (csv ? ElementListCsv(route.plan, text) : ElementListText(route.plan, text));
        } else {
            out << (csv ? CurveTableCsv(*recovered, text) : CurveTableText(*recovered, text));
        }
    } else {
        out << (csv ? ElementListCsv(route.plan, text) : ElementListText(route.plan, text));
    }
    out.flush();
    return kExitOk;
}

int RunAt(const Options& options, std::ostream& out, std::ostream& err) {
    FileArgument(options, kRouteNoun);
    const std::vector<std::string> texts = options.All("k");
    if (texts.empty() && !options.Has("k-file")) throw UsageError("缺少选项 --k 或 --k-file");
    std::vector<Station> stations;
    for (const std::string& t : texts) stations.push_back(StationFrom("k", t));
    if (options.Has("k-file")) AppendStationsFromFile(options.Text("k-file"), stations, err);
    if (stations.empty()) throw UsageError("选项 --k-file 的文件中没有桩号");
    const double offset = options.Has("offset") ? options.Number("offset") : 0.0;
    const bool csv = CsvFormatFrom(options);
    const TextOptions text = TextOptionsFrom(options);
    const LoadedRoute route = LoadRoute(options, err);
    const std::optional<Profile> profile = LoadVertical(options, err);
    const Plan& plan = route.plan;

    // Every station is computed before the first line is written, so that a
    // script never sees part of an answer.
    std::string lines = PlanPointHeader(csv, text);
    for (const Station& station : stations) {
        try {
            const double internal = plan.OnRoute(plan.InternalOf(station));
            const PlanListingRow place = PlanRowAt(plan, internal, station);
            const PlanPose& pose = place.pose;
            PlanPointLine line;
            line.label = station;
            line.offset = offset;
            line.at = OffsetPoint(pose, offset);
            line.azimuth = pose.azimuth;
            if (profile) line.elevation = RoadElevationAt(*profile, plan, internal);
            line.kind = place.kind;
            line.keys = place.keys;
            AppendPlanPoint(lines, csv, line, text);
        } catch (const StationError& e) {
            err << "tarnvel-cli: " << DescribeStationFault(e.fault()) << '\n';
            return kExitProfile;
        }
    }
    NoteRoute(plan, err);
    out << lines;
    out.flush();
    return kExitOk;
}

int RunList(const Options& options, std::ostream& out, std::ostream& err) {
    FileArgument(options, kRouteNoun);
    ProfileRange range;
    range.from = StationFrom("from", options.Text("from"));
    range.to = StationFrom("to", options.Text("to"));
    range.step = options.Number("step");
    if (!(range.step > 0)) throw UsageError("选项 --step 的值“" + QuotedInput(options.Text("step")) + "”应大于零");
    range.keyPoints = options.Has("key-points");
    // One row per station and offset, the centre line always among them, left to right.
    std::vector<double> offsets = {0};
    for (const std::string& t : options.All("offset")) offsets.push_back(StrictNumber("offset", t));
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    // --format stakeout: the points for a survey controller instead of the table.
    const bool stakeout = options.Has("format") && options.Text("format") == "stakeout";
    const bool csv = stakeout || CsvFormatFrom(options);
    bool gbk = false;
    if (options.Has("encoding")) {
        const std::string& value = options.Text("encoding");
        if (!stakeout) throw UsageError("选项 --encoding 只用于 --format stakeout");
        if (value != "utf-8" && value != "UTF-8" && value != "gbk" && value != "GBK")
            throw UsageError("选项 --encoding 的值“" + QuotedInput(value) + "”应为 utf-8 或 gbk");
        gbk = value == "gbk" || value == "GBK";
    }
    const TextOptions text = TextOptionsFrom(options);
    if (stakeout)
        if (const auto alike = OffsetsNamedAlike(offsets, text))
            throw UsageError("边桩偏距 " + NumberToText(alike->first) + " 与 " + NumberToText(alike->second) +
                             " 在 " + std::to_string(ColumnDecimals(ColumnKind::Length, text)) +
                             " 位小数下点名相同，放样点不能同名（可用 --decimals 增加小数位数）");
    const std::uint64_t limit = MaxStationsFrom(options);
    const LoadedRoute route = LoadRoute(options, err);
    const std::optional<Profile> profile = LoadVertical(options, err);
    const Plan& plan = route.plan;

    // Both ends must lie on the route; the messages name the station and the route's extent.
    try {
        const double from = plan.OnRoute(plan.InternalOf(range.from));
        const double to = plan.OnRoute(plan.InternalOf(range.to));
        if (to < from) throw UsageError("止点桩号（--to）在起点桩号（--from）之前");
    } catch (const StationError& e) {
        err << "tarnvel-cli: " << DescribeStationFault(e.fault()) << '\n';
        return kExitProfile;
    }

    std::uint64_t outside = 0;  // stations the profile does not reach
    PlanPointLine line;
    // GBK stakeout rows wait in UTF-8 and are converted a chunk at a time:
    // the converter costs more to start than a row does to convert.
    constexpr std::size_t kGbkChunk = 1 << 15;
    std::string utf8;
    const std::optional<int> failed = StreamRoadListing(
        out, err, stakeout ? std::string() : PlanPointHeader(csv, text), [&](std::string& block, const auto& spill) {
            const auto convert = [&] {
                block += io::Utf8ToGbk(utf8);
                utf8.clear();
            };
            const ProfileListingResult listed = ListPlan(plan, range, limit, [&](const PlanListingRow& row) {
                line.label = row.label;
                line.azimuth = row.pose.azimuth;
                line.kind = row.kind;
                line.keys = row.keys;
                line.elevation.reset();
                if (profile) {
                    try {
                        line.elevation = RoadElevationAt(*profile, plan, row.internal);
                    } catch (const StationError&) {
                        ++outside;
                    }
                }
                if (stakeout) {
                    std::string& rows = gbk ? utf8 : block;
                    ForEachStakeoutPoint(row, offsets, line.elevation,
                                         [&](const StakeoutPoint& p) { AppendStakeoutRow(rows, p, text); });
                    if (gbk && utf8.size() >= kGbkChunk) convert();
                    spill();
                    return;
                }
                for (double offset : offsets) {
                    line.offset = offset;
                    line.at = offset == 0 ? row.pose.at : OffsetPoint(row.pose, offset);
                    AppendPlanPoint(block, csv, line, text);
                }
                spill();
            });
            convert();
            return listed;
        });
    if (failed) return *failed;
    NoteRoute(plan, err);
    if (outside > 0)
        err << "tarnvel-cli: 注意：" << outside << " 个桩号不在纵断面范围内，其设计高程为空。\n";
    return kExitOk;
}

// One measured point of a points file, its cells as given.
struct FieldPoint {
    std::size_t row = 0;
    std::string_view name, north, east;
    PlanPoint at;
};

int RunInverse(const Options& options, std::ostream& out, std::ostream& err) {
    FileArgument(options, kRouteNoun);
    const std::string& path = options.Text("points");
    if (path.empty()) throw UsageError("选项 --points 的文件名为空");
    const double maxOffset = options.Has("max-offset") ? options.Number("max-offset") : 500.0;
    if (!(maxOffset > 0)) throw UsageError("选项 --max-offset 的值“" + QuotedInput(options.Text("max-offset")) + "”应大于零");
    const bool csv = CsvFormatFrom(options);
    const TextOptions text = TextOptionsFrom(options);
    const LoadedRoute route = LoadRoute(options, err);
    const Plan& plan = route.plan;

    const std::string shown = path == "-" ? std::string("标准输入") : path;
    const io::Result<io::BoundedFile> read = io::ReadWholeFile(path == "-" ? "/dev/stdin" : path, io::kMaxProfileFileBytes);
    if (!read.ok()) StopOnFailure(read.failure(), err);
    if (read.value().tooLarge)
        StopOnFailure(io::NotProfileFailure(shown, "大于" + std::to_string(io::kMaxProfileFileBytes >> 20) + "MB，未读取。"), err);
    const io::Result<io::CsvText> decoded = io::DecodeCsvText(read.value().bytes, "点位文件", shown);
    if (!decoded.ok()) StopOnFailure(decoded.failure(), err);

    // Every line is read and checked before the first answer is written (a
    // damaged line stops the command with its number and nothing written),
    // then read again to be answered: nothing but the file is held.
    const auto eachPoint = [&](auto&& answer) {
        io::CsvTableRecords records(decoded.value(), "点位文件", shown);
        io::CsvRecordView record;
        bool first = true;
        for (;;) {
            const io::Result<bool> next = records.Next(record);
            if (!next.ok()) StopOnFailure(next.failure(), err);
            if (!next.value()) break;
            if (record.Blank()) continue;
            const auto cell = [&](std::size_t i) {
                return i < record.cells.size() ? io::TrimmedView(record.cells[i]) : std::string_view();
            };
            const std::optional<double> north = ReadWholeNumber(cell(1));
            const std::optional<double> east = ReadWholeNumber(cell(2));
            // A first line whose coordinates are words is the header.
            const bool header = first && (!north || !east) && !cell(1).empty() && PlainNumberLength(cell(1)) == 0;
            first = false;
            if (header) continue;
            if (record.cells.size() < 3)
                StopOnFailure(io::NotProfileFailure(shown, io::RowText(record.row) + "少于三列：每行应为“点名,X,Y[,高程]”。"), err);
            const auto bad = [&](std::string_view what, std::string_view value) {
                StopOnFailure(io::NotProfileFailure(shown, io::RowText(record.row) + "的" + std::string(what) + "“" +
                                                               QuotedInput(value) + "”不是数。"),
                              err);
            };
            if (!north) bad("X（北坐标）", cell(1));
            if (!east) bad("Y（东坐标）", cell(2));
            answer(FieldPoint{record.row, cell(0), cell(1), cell(2), {*north, *east}});
        }
    };
    eachPoint([](const FieldPoint&) {});

    struct OutputFailed {};
    constexpr std::size_t kBlock = 1 << 16;
    std::string block = InverseHeader(csv, text);
    block.reserve(kBlock + 1024);
    std::string problems;
    try {
        eachPoint([&](const FieldPoint& p) {
            const PlanFoot foot = plan.Inverse(p.at, maxOffset);
            if (foot.fault == InverseFault::None) {
                AppendInverse(block, csv, p.name, p.north, p.east, plan.LabelOf(foot.internal), foot.offset, text);
            } else {
                AppendInverse(block, csv, p.name, p.north, p.east, std::nullopt, 0, text);
                problems += "tarnvel-cli: 点位文件“" + shown + "”" + io::RowText(p.row) + "的点“" + QuotedInput(p.name) + "”";
                problems += foot.fault == InverseFault::BeyondEnds
                                ? "在路线起点之前或终点之后，没有垂足，未反算。\n"
                                : "离路线超过 " + LengthInMessage(maxOffset, plan.Unit()) + "，未反算。\n";
            }
            if (block.size() >= kBlock) {
                if (!out.write(block.data(), static_cast<std::streamsize>(block.size()))) throw OutputFailed{};
                block.clear();
                err << problems;
                problems.clear();
            }
        });
    } catch (const OutputFailed&) {
        err << "tarnvel-cli: 标准输出无法写入，结果未写完。\n";
        return kExitFile;
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    out.flush();
    err << problems;
    NoteRoute(plan, err);
    return kExitOk;
}

int RunConvert(const Options& options, std::ostream&, std::ostream& err) {
    const std::string& input = FileArgument(options, kRouteNoun);
    const std::string& output = options.Text("output");
    if (output.empty()) throw UsageError("选项 --output 的文件名为空");
    const std::optional<io::ProfileFormat> format = io::ProfileFormatFromPath(output);
    if (!format) throw UsageError("选项 --output 的文件“" + QuotedInput(output, std::string::npos) + "”应以 .xml（LandXML）或 .csv（交点表）结尾");
    std::error_code same;
    if (std::filesystem::equivalent(input, output, same))
        throw UsageError("输出文件“" + QuotedInput(output, std::string::npos) + "”就是输入文件，未写入");
    const LoadedRoute route = LoadRoute(options, err);
    NoteRoute(route.plan, err);
    if (*format == io::ProfileFormat::Csv) {
        std::optional<IntersectionTable> table;
        if (const auto* given = std::get_if<IntersectionTable>(&route.file.route)) {
            table = *given;
        } else {
            PlanProblem why;
            table = RecoverIntersections(route.plan, &why);
            if (!table) throw UsageError("路线无法写成交点表：" + DescribePlanProblem(why));
        }
        if (const auto failure = io::WriteIntersectionCsvFile(output, *table)) StopOnFailure(*failure, err);
        return kExitOk;
    }
    // Into an existing LandXML file the geometry goes beside what it holds
    // (its profiles and surfaces stay); anything else of that name is not
    // written over.
    std::string existing;
    if (std::filesystem::exists(output, same)) {
        io::Result<std::string> bytes = io::ReadDocumentBytes(output, "LandXML 文件");
        if (!bytes.ok()) StopOnFailure(bytes.failure(), err);
        if (io::SniffProfileFormat(bytes.value()) != io::ProfileFormat::LandXml)
            throw UsageError("文件“" + QuotedInput(output, std::string::npos) + "”已存在且不是 LandXML 文件，未写入");
        existing = std::move(bytes.value());
    }
    const auto* list = std::get_if<ElementList>(&route.file.route);
    const std::string name = list ? list->name : std::string();
    std::string bytes;
    try {
        bytes = io::PlanLandXmlBytes(route.plan, name, existing);
    } catch (const std::exception&) {
        StopOnFailure(io::CurrentExceptionFailure(io::FileAction::Write, output), err);
    }
    if (const auto failure = io::WriteFileAtomically(output, bytes)) StopOnFailure(*failure, err);
    return kExitOk;
}

// One sheet at a fixed scale: the route, its 交点, main points and
// stations, and the 曲线要素表. The DXF lies at the route's real coordinates.
int RunPlot(const Options& options, std::ostream&, std::ostream& err) {
    FileArgument(options, kRouteNoun);
    const std::string& output = options.Text("output");
    if (output.empty()) throw UsageError("选项 --output 的文件名为空");
    const std::optional<output::SheetFormat> format = output::SheetFormatOf(output);
    if (!format) throw UsageError("选项 --output 的文件“" + QuotedInput(output, std::string::npos) + "”须以 .svg、.pdf 或 .dxf 结尾");
    int scale = 2000;
    if (options.Has("scale")) {
        const double value = options.Number("scale");
        if (value != std::floor(value) || value < 100 || value > 100000)
            throw UsageError("选项 --scale 的值“" + QuotedInput(options.Text("scale")) + "”不是 100 至 100000 之间的比例分母");
        scale = static_cast<int>(value);
    }
    const LoadedRoute route = LoadRoute(options, err);
    NoteRoute(route.plan, err);
    PlanSheetOptions sheet;
    sheet.scale = scale;
    sheet.title = "平面图";
    if (const auto* list = std::get_if<ElementList>(&route.file.route); list && !list->name.empty())
        sheet.title += " " + list->name;
    const PlanSheet drawn = BuildPlanSheet(route.plan, MakePlanFigure(route.plan), sheet);
    const bool pdf = *format == output::SheetFormat::Pdf;
    const double largest = pdf ? kLargestPdfPageMm : *format == output::SheetFormat::Svg ? kLargestSvgPageMm : INFINITY;
    if (drawn.page.width > largest || drawn.page.height > largest) {
        err << "tarnvel-cli: " << DescribePlanSheetTooLarge(drawn.page.width, drawn.page.height, scale, largest, pdf) << '\n';
        return kExitProfile;
    }
    HeldPages page(std::span(&drawn.page, 1));
    output::SheetsWritten written;
    if (const auto failure = output::WriteSheets(output, page, sheet.title, &written)) StopOnFailure(*failure, err);
    for (const std::string& note : output::SheetNotes(written)) err << "tarnvel-cli: 注意：" << note << '\n';
    return kExitOk;
}

constexpr Subcommand kCommands[] = {
    {"elements", "路线文件 [--format text|csv]",
     "直线、曲线及转角表（交点、转角、R、Ls、T、L、E、J 和主点桩号）；不能用交点表示的线形列出元素表",
     kElementsOptions, RunElements},
    {"at", "路线文件 --k 桩号 [--k 桩号 …] [--k-file 文件] [--offset D] [--vertical 纵断面文件 [--profile 名称]]",
     "任意桩号、偏距的坐标 X、Y 和中线方位角（有纵断面时加设计高程）", kAtOptions, RunAt},
    {"list",
     "路线文件 --from A --to B --step S [--key-points] [--offset D …] [--vertical 纵断面文件] "
     "[--format text|csv|stakeout [--encoding utf-8|gbk]]",
     "逐桩坐标表（含边桩；断链两侧桩号、起终点总会列出）；stakeout 输出放样数据", kListOptions, RunList},
    {"inverse", "路线文件 --points 文件|- [--max-offset D]",
     "坐标反算：由实测 X、Y 求桩号和偏距（输出“点名,X,Y,桩号,偏距”）", kInverseOptions, RunInverse},
    {"convert", "路线文件 --output 文件.xml|文件.csv", "交点表 CSV 与 LandXML 互相转换（按输出文件的扩展名）",
     kConvertOptions, RunConvert},
    {"plot", "路线文件 --output 文件.svg|文件.pdf|文件.dxf [--scale 2000]",
     "平面图：中线（按直线、圆曲线、缓和曲线分层）、交点、主点、里程桩和曲线要素表；DXF 为实际坐标", kPlotOptions, RunPlot},
};

constexpr SubcommandGroup kGroup{"align", kCommands};

}  // namespace

std::string AlignUsage() {
    return SubcommandUsage(kGroup,
                           "用法：tarnvel-cli align <子命令> 路线文件 [选项]\n\n"
                           "平面线形：交点法（起点、交点 JD1…JDn 及其 R、Ls1、Ls2，终点）或 LandXML 线形元素"
                           "（直线、圆曲线、缓和曲线）。\n路线文件为交点表 CSV 或 LandXML（.xml），按内容识别。"
                           "X 为北坐标，Y 为东坐标；方位角自北顺时针；偏距右正左负。\n\n",
                           R"(
桩号可写作 1260 或 K1+260；断链（长链）处重复出现的桩号以后缀指明第几次出现，如 K5+350(2)。
文本输出的角度为度分秒，CSV 为十进制度（小数位数为 --decimals 加 4）。
示例：
  tarnvel-cli align elements 交点表.csv
  tarnvel-cli align at 交点表.csv --k K1+260 --offset -7.5 --vertical 纵断面.csv
  tarnvel-cli align list 交点表.csv --from K0+000 --to K3+000 --step 20 --key-points --offset -10 --offset 10
  tarnvel-cli align list 交点表.csv --from K0+000 --to K3+000 --step 20 --offset -7.5 --offset 7.5 --format stakeout > 放样.csv
  tarnvel-cli align inverse 路线.xml --points 实测点.csv --max-offset 100
  tarnvel-cli align plot 交点表.csv --output 平面图.dxf --scale 2000
放样数据（--format stakeout）每点一行“点名,编码,东坐标,北坐标,高程”，无表头，编码一列为空；中桩点名为桩号
（如 K1+260），边桩为桩号加左右和偏距（如 K1+260左7.5）；高程为 --vertical 纵断面的中桩设计高程，
边桩高程取决于横断面，留空。
退出状态：0 成功；1 路线或纵断面未通过检查、桩号不在路线上或文件内容有误；2 命令或选项有误；
3 文件无法读取或写入。失败时不写出任何文件。
)");
}

int RunAlign(const Args& args, std::ostream& out, std::ostream& err) {
    return RunSubcommand(kGroup, args, out, err);
}

}  // namespace tarnvel::cli
