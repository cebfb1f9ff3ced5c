// tarnvel-cli point and list: the single-point and the continuous calculation.

#include <charconv>
#include <ostream>
#include <string_view>

#include "cli/commands.h"
#include "cli/listing_options.h"
#include "cli/options.h"
#include "core/text/messages.h"
#include "core/calculator/number_text.h"
#include "core/text/quoted_input.h"

namespace tarnvel::cli {

int RunPoint(const Args& args, std::ostream& out, std::ostream& err) {
    const Options options(args, Concat({kCurveOptions, kStationOption}));
    if (!options.Positional().empty()) throw UsageError("多余的参数“" + QuotedInput(options.Positional()[0]) + "”");
    const CurveParameters p = CurveFrom(options);
    const double k = options.Station("k");

    CurveState state;
    try {
        CalculateAt(p, k, state);
    } catch (const ArithmeticError& e) {
        err << "tarnvel-cli: 单点计算失败：" << DescribeArithmeticError(e) << '\n';
        return kExitArithmetic;
    }
    // The order and the rounding of the results grid.
    const std::pair<const char*, double> results[] = {
        {"T", state.elements.T},   {"E", state.elements.E},   {"L", state.elements.L},
        {"ZY", state.elements.ZY}, {"YZ", state.elements.YZ}, {"H", state.H}};
    for (const auto& [name, value] : results) out << name << '=' << NumberToText(RoundTo3(value)) << '\n';
    return kExitOk;
}

int RunList(const Args& args, std::ostream& out, std::ostream& err) {
    const Options options(args, Concat({kCurveOptions, kRangeOptions, kListingLimitOption, kCrlfOption}));
    if (!options.Positional().empty()) throw UsageError("多余的参数“" + QuotedInput(options.Positional()[0]) + "”");
    const CurveParameters p = CurveFrom(options);
    const StationRange range = RangeFrom(options);
    const std::uint64_t limit = MaxStationsFrom(options);
    const bool crlf = options.Has("crlf");

    // Each line is written as soon as it is computed, so memory stays flat
    // however long the range; a failed write to the output ends the listing
    // at once (the caller reports it).
    struct OutputFailed {};
    CurveState state;
    ListingResult result;
    try {
        result = ListStations(p, range, limit, state, [&](std::string_view piece) {
            if (!crlf && piece.ends_with("\r\n")) {
                piece.remove_suffix(2);
                out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
                out.put('\n');
            } else {
                out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
            }
            if (!out) throw OutputFailed{};
        });
    } catch (const OutputFailed&) {
        return kExitFile;
    }
    out.flush();
    return ReportListingOutcome(result, limit, err);
}

}  // namespace tarnvel::cli
