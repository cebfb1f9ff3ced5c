// tarnvel-cli save, load and report: the parameter file and the result report,
// byte for byte as the window writes and reads them.

#include <ostream>
#include <string>

#include "cli/commands.h"
#include "cli/listing_options.h"
#include "cli/options.h"
#include "core/calculator/station_listing.h"
#include "io/parameter_file.h"
#include "io/result_report.h"
#include "core/text/quoted_input.h"

namespace tarnvel::cli {
namespace {

// The option of each line of the parameter file, and the name `load` prints.
constexpr std::string_view kParameterOptions[io::kParameterCount] = {"k0", "h0", "i1", "i2", "r"};
constexpr std::string_view kParameterNames[io::kParameterCount] = {"K0", "H0", "I1", "I2", "R"};

void RefusePositional(const Options& options) {
    if (!options.Positional().empty()) throw UsageError("多余的参数“" + QuotedInput(options.Positional()[0]) + "”");
}

int ReportFailure(const io::IoFailure& failure, std::ostream& err) {
    err << "tarnvel-cli: " << failure.message << '\n';
    return failure.kind == io::FailureKind::File ? kExitFile : kExitShortParameterFile;
}

}  // namespace

int RunSave(const Args& args, std::ostream&, std::ostream& err) {
    const Options options(args, Concat({kCurveOptions, kOutputOption}));
    RefusePositional(options);
    // The texts go into the file as typed, as the window writes whatever its
    // boxes hold; only the file's own reader interprets them.
    io::ParameterTexts texts;
    for (std::size_t i = 0; i < io::kParameterCount; ++i) texts[i] = options.Text(kParameterOptions[i]);
    const std::string& path = options.Text("output");
    if (path.empty()) throw UsageError("选项 --output 的文件名为空");
    if (const auto failure = io::SaveParameterFile(path, texts)) return ReportFailure(*failure, err);
    return kExitOk;
}

int RunLoad(const Args& args, std::ostream& out, std::ostream& err) {
    const Options options(args, {});
    if (options.Positional().size() != 1)
        throw UsageError(options.Positional().empty() ? "缺少要读取的参数文件" : "只能读取一个参数文件");
    const io::Result<io::ParameterTexts> loaded = io::LoadParameterFile(options.Positional()[0]);
    if (!loaded.ok()) return ReportFailure(loaded.failure(), err);
    for (std::size_t i = 0; i < io::kParameterCount; ++i)
        out << kParameterNames[i] << '=' << loaded.value()[i] << '\n';
    out.flush();
    return kExitOk;
}

int RunReport(const Args& args, std::ostream&, std::ostream& err) {
    const Options options(args, Concat({kCurveOptions, kRangeOptions, kListingLimitOption, kOutputOption}));
    RefusePositional(options);
    const CurveParameters p = CurveFrom(options);
    const StationRange range = RangeFrom(options);
    // By default the report is held to the window's limit, so that it is the
    // report the window could have written; --max-stations lifts that.
    const std::uint64_t limit = options.Has("max-stations") ? MaxStationsFrom(options) : kWindowStationLimit;
    const std::string& path = options.Text("output");
    if (path.empty()) throw UsageError("选项 --output 的文件名为空");

    // Each line goes to the file's temporary as it is computed. A listing cut
    // short by a failed station is not written: a signed report that silently
    // lacks its last stations would pass for a complete one.
    ListingResult result;
    CurveState state;
    const auto failure = io::WriteResultReport(path, [&](const io::ReportTextSink& sink) {
        result = ListStations(p, range, limit, state, sink);
        return result.outcome == ListingOutcome::Complete;
    });
    if (failure) return ReportFailure(*failure, err);
    if (result.outcome != ListingOutcome::Complete) {
        const int status = ReportListingOutcome(result, limit, err);
        err << "tarnvel-cli: 成果表未写入。\n";
        return status;
    }
    return kExitOk;
}

}  // namespace tarnvel::cli
