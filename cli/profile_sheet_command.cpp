#include "cli/profile_sheet_command.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>

#include "cli/commands.h"
#include "cli/profile_options.h"
#include "core/drawing/sheet.h"
#include "core/drawing/drawn_ground.h"
#include "core/profile/ground_line.h"
#include "core/text/messages.h"
#include "core/text/quoted_input.h"
#include "io/landxml_horizontal.h"
#include "io/profile_files.h"
#include "output/sheet_writer.h"

namespace tarnvel::cli {
namespace {

int ScaleOption(const Options& options, std::string_view name, int fallback) {
    if (!options.Has(name)) return fallback;
    const double value = options.Number(name);
    if (value != std::floor(value) || value < 1 || value > 1e6)
        throw UsageError("选项 --" + std::string(name) + " 的值“" + QuotedInput(options.Text(name)) + "”不是比例分母（正整数）");
    return static_cast<int>(value);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

// The horizontal geometry of the profile's alignment, when its LandXML file
// carries one. Geometry that cannot be drawn does not stop the sheets: they
// go without the 直线及平曲线 row, and the user is told why.
std::optional<HorizontalAlignment> LoadHorizontal(const std::string& path, const io::ProfileFileContent& read,
                                                  std::ostream& err) {
    if (read.format != io::ProfileFormat::LandXml) return std::nullopt;
    io::Result<io::HorizontalReading> horizontal = io::ReadLandXmlHorizontal(path, read.content.alignment);
    const std::string lead = "tarnvel-cli: 纵断面文件“" + QuotedInput(path, std::string::npos) + "”的平面线形未画入图纸（图中不含直线及平曲线栏）：";
    if (!horizontal.ok()) {
        err << lead << horizontal.failure().message << '\n';
        return std::nullopt;
    }
    if (horizontal.value().problem) err << lead << DescribeHorizontalProblem(*horizontal.value().problem) << '\n';
    return std::move(horizontal.value().alignment);
}

}  // namespace

int RunProfileSheet(const Options& options, std::ostream&, std::ostream& err) {
    FileArgument(options);
    const std::string& path = options.Text("output");
    if (path.empty()) throw UsageError("选项 --output 的文件名为空");
    if (!output::SheetFormatOf(path)) throw UsageError("选项 --output 的文件“" + QuotedInput(path, std::string::npos) + "”须以 .pdf、.dxf 或 .svg 结尾");

    SheetOptions sheet;
    if (options.Has("paper")) {
        const std::string paper = Lower(options.Text("paper"));
        if (paper != "a3" && paper != "a4")
            throw UsageError("选项 --paper 的值“" + QuotedInput(options.Text("paper")) + "”不是 A3 或 A4");
        sheet.paper = paper == "a4" ? SheetPaper::A4 : SheetPaper::A3;
    }
    sheet.horizontalScale = ScaleOption(options, "horizontal-scale", sheet.horizontalScale);
    sheet.verticalScale = ScaleOption(options, "vertical-scale", sheet.verticalScale);
    if (options.Has("from")) sheet.from = StationFrom("from", options.Text("from"));
    if (options.Has("to")) sheet.to = StationFrom("to", options.Text("to"));
    if (options.Has("project")) sheet.project = options.Text("project");
    if (options.Has("drawing-number")) sheet.drawingNumber = options.Text("drawing-number");
    sheet.elementsTable = options.Has("elements-table");
    // The scales are checked before the file is read, as every option is.
    if (const auto problem = SheetScalesProblem(sheet.horizontalScale, sheet.verticalScale))
        throw UsageError(DescribeSheetProblem(*problem));

    const io::ProfileFileContent read = ReadProfileContent(options, err);
    const Profile profile = ResolveProfile(read.content.model, FileArgument(options), err);
    const std::optional<HorizontalAlignment> horizontal = LoadHorizontal(FileArgument(options), read, err);
    const std::optional<GroundLine> groundLine = LoadGround(options, profile, err);
    std::optional<DrawnGround> ground;
    if (groundLine) ground = MakeDrawnGround(profile, *groundLine);
    // The sheets are made one at a time as the file is written.
    SheetPages sheets(profile, sheet, ground ? &*ground : nullptr, horizontal ? &*horizontal : nullptr);
    if (sheets.Problem()) {
        err << "tarnvel-cli: " << DescribeSheetProblem(*sheets.Problem()) << '\n';
        return kExitProfile;
    }
    output::SheetsWritten written;
    if (auto failure = output::WriteSheets(path, sheets, "纵断面图 " + profile.Model().name, &written))
        StopOnFailure(*failure, err);
    for (const std::string& note : output::SheetNotes(written)) err << "tarnvel-cli: 注意：" << note << '\n';
    return kExitOk;
}

}  // namespace tarnvel::cli
