#include "cli/profile_sheet_command.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>

#include "cli/commands.h"
#include "cli/profile_options.h"
#include "core/drawing/page_svg.h"
#include "core/drawing/sheet.h"
#include "core/drawing/sheet_ground.h"
#include "core/profile/ground_line.h"
#include "core/text/messages.h"
#include "core/text/quoted_input.h"
#include "io/atomic_write.h"
#include "io/landxml_horizontal.h"
#include "io/profile_files.h"
#include "io/output_name.h"
#include "io/page_dxf.h"

#ifdef TARNVEL_CLI_PDF
#include <QGuiApplication>

#include "ui/profile/plot/pages_pdf.h"
#endif

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

std::optional<io::IoFailure> WritePdf(const std::string& path, const std::vector<Page>& pages, const std::string& title) {
#ifdef TARNVEL_CLI_PDF
    // Qt's own notes ("QStandardPaths: XDG_RUNTIME_DIR not set…") are about
    // its set-up, in English, and change nothing in the sheet: the command
    // line speaks only its own messages. A failure still comes back as one.
    struct QuietQt {
        QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        ~QuietQt() { qInstallMessageHandler(previous); }
    } quiet;
    // The fonts need a GUI application; without a screen, the offscreen one.
    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) {
        static char name[] = "tarnvel-cli", platform[] = "-platform", offscreen[] = "offscreen";
        static char* argv[] = {name, platform, offscreen, nullptr};
        static int argc = 3;
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    return ui::WritePagesPdf(path, pages, title);
#else
    (void)pages;
    (void)title;
    return io::IoFailure{io::FailureKind::File,
                         "无法写入“" + QuotedInput(path, std::string::npos) + "”：此版本的 tarnvel-cli 未带 PDF 输出，请改用 .dxf。"};
#endif
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

std::optional<io::IoFailure> WritePageFile(const std::string& path, const std::vector<Page>& pages,
                                           const std::string& title, std::vector<std::string>* outsideGbk) {
    const std::string extension = io::ExtensionOf(path);
    if (extension == "pdf") return WritePdf(path, pages, title);
    if (extension == "dxf") return io::WritePagesDxf(path, pages, outsideGbk);
    return io::WriteFileAtomically(path, pages.empty() ? std::string() : PageSvg(pages.front()));
}

int RunProfileSheet(const Options& options, std::ostream&, std::ostream& err) {
    FileArgument(options);
    const std::string& output = options.Text("output");
    if (output.empty()) throw UsageError("选项 --output 的文件名为空");
    const std::string lower = Lower(output);
    const bool pdf = lower.ends_with(".pdf"), dxf = lower.ends_with(".dxf"), svg = lower.ends_with(".svg");
    if (!pdf && !dxf && !svg) throw UsageError("选项 --output 的文件“" + QuotedInput(output, std::string::npos) + "”须以 .pdf、.dxf 或 .svg 结尾");

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
    {
        const int h = sheet.horizontalScale, v = sheet.verticalScale;
        if (h != 500 && h != 1000 && h != 2000 && h != 5000)
            throw UsageError(DescribeSheetProblem({SheetProblemKind::HorizontalScale, static_cast<double>(h), {}}));
        if (h < v || h > 50 * v)
            throw UsageError(DescribeSheetProblem({SheetProblemKind::VerticalScale, static_cast<double>(v), {}}));
    }

    const io::ProfileFileContent read = ReadProfileContent(options, err);
    const Profile profile = ResolveProfile(read.content.model, FileArgument(options), err);
    const std::optional<HorizontalAlignment> horizontal = LoadHorizontal(FileArgument(options), read, err);
    const std::optional<GroundLine> groundLine = LoadGround(options, profile, err);
    std::optional<SheetGround> ground;
    if (groundLine) ground = SheetGroundOf(profile, *groundLine);
    const SheetSet sheets = BuildSheets(profile, sheet, ground ? &*ground : nullptr, horizontal ? &*horizontal : nullptr);
    if (sheets.problem) {
        err << "tarnvel-cli: " << DescribeSheetProblem(*sheets.problem) << '\n';
        return kExitProfile;
    }
    const std::string title = "纵断面图 " + profile.Model().name;
    std::vector<std::string> outsideGbk;
    if (const auto failure = WritePageFile(output, sheets.pages, title, &outsideGbk)) StopOnFailure(*failure, err);
    if (!outsideGbk.empty()) err << "tarnvel-cli: 注意：" << DescribeCharactersOutsideGbk(outsideGbk) << '\n';
    return kExitOk;
}

}  // namespace tarnvel::cli
