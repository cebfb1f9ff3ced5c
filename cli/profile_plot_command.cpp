#include "cli/profile_plot_command.h"

#include <cmath>
#include <ostream>

#include "cli/options.h"
#include "core/drawing_svg.h"
#include "core/number_text.h"
#include "core/profile_drawing.h"
#include "io/atomic_write.h"
#include "io/profile_files.h"

namespace tarnvel::cli {
namespace {

constexpr OptionSpec kPlotOptions[] = {
    {"output", true}, {"exaggeration", true}, {"width", true}, {"height", true}, {"profile", true}};

// Whole pixels within what a page can sensibly have.
int PixelOption(const Options& options, std::string_view name, int fallback) {
    if (!options.Has(name)) return fallback;
    const double value = options.Number(name);
    if (value != std::floor(value) || value < 16 || value > 20000)
        throw UsageError("选项 --" + std::string(name) + " 的值“" + options.Text(name) +
                         "”不是 16 至 20000 之间的整数像素");
    return static_cast<int>(value);
}

}  // namespace

int RunProfilePlot(const Args& args, std::ostream&, std::ostream& err) {
    const Options options(args, kPlotOptions);
    if (options.Positional().size() != 1)
        throw UsageError(options.Positional().empty() ? "缺少纵断面文件（LandXML 或 CSV）"
                                                      : "多余的参数“" + options.Positional()[1] + "”");
    const std::string& output = options.Text("output");
    if (output.empty()) throw UsageError("选项 --output 的文件名为空");
    SvgPage page;
    if (options.Has("exaggeration")) {
        page.exaggeration = options.Number("exaggeration");
        if (page.exaggeration < 1 || page.exaggeration > 1000)
            throw UsageError("选项 --exaggeration 的值“" + options.Text("exaggeration") + "”不在 1 至 1000 之间");
    }
    page.width = PixelOption(options, "width", page.width);
    page.height = PixelOption(options, "height", page.height);

    const std::string& input = options.Positional()[0];
    auto model = io::ReadProfileFile(input, options.Has("profile") ? options.Text("profile") : std::string());
    if (!model.ok()) {
        err << "tarnvel-cli: " << model.failure().message << '\n';
        return model.failure().kind == io::FailureKind::File ? kExitFile : kExitUsage;
    }
    std::vector<ProfileProblem> problems;
    const auto profile = Profile::Resolve(model.value(), &problems);
    if (!profile) {
        for (const auto& problem : problems) err << "tarnvel-cli: " << input << "：" << problem.message << '\n';
        return kExitArithmetic;
    }
    if (const auto failure = io::WriteFileAtomically(output, DrawingSvg(*profile, BuildDrawing(*profile), page))) {
        err << "tarnvel-cli: " << failure->message << '\n';
        return kExitFile;
    }
    return kExitOk;
}

}  // namespace tarnvel::cli
