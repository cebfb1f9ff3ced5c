#include "cli/profile_plot_command.h"

#include <cmath>
#include <optional>
#include <ostream>

#include "output/drawing_svg.h"
#include "core/drawing/profile_drawing.h"
#include "io/atomic_write.h"
#include "io/output_name.h"
#include "core/text/quoted_input.h"

namespace tarnvel::cli {
namespace {

// Whole pixels within what a page can sensibly have.
int PixelOption(const Options& options, std::string_view name, int fallback) {
    if (!options.Has(name)) return fallback;
    const double value = options.Number(name);
    if (value != std::floor(value) || value < 16 || value > 20000)
        throw UsageError("选项 --" + std::string(name) + " 的值“" + QuotedInput(options.Text(name)) +
                         "”不是 16 至 20000 之间的整数像素");
    return static_cast<int>(value);
}

}  // namespace

int RunProfilePlot(const Options& options, std::ostream&, std::ostream& err) {
    FileArgument(options);
    const std::string& output = options.Text("output");
    if (output.empty()) throw UsageError("选项 --output 的文件名为空");
    // A name that says otherwise would hold SVG under a false name, and may
    // be a table or a design the user meant to keep.
    if (io::ExtensionOf(output) != "svg")
        throw UsageError("选项 --output 的文件“" + QuotedInput(output, std::string::npos) + "”须以 .svg 结尾（plot 只写 SVG 图片）");
    SvgPage page;
    if (options.Has("exaggeration")) {
        page.exaggeration = options.Number("exaggeration");
        if (page.exaggeration < 1 || page.exaggeration > 1000)
            throw UsageError("选项 --exaggeration 的值“" + QuotedInput(options.Text("exaggeration")) + "”不在 1 至 1000 之间");
    }
    page.width = PixelOption(options, "width", page.width);
    page.height = PixelOption(options, "height", page.height);

    const Profile profile = LoadProfile(options, err);
    const std::optional<GroundLine> ground = LoadGround(options, profile, err);
    const std::string svg = DrawingSvg(profile, BuildDrawing(profile), page, ground ? &*ground : nullptr);
    if (const auto failure = io::WriteFileAtomically(output, svg))
        StopOnFailure(*failure, err);
    return kExitOk;
}

}  // namespace tarnvel::cli
