#include "cli/listing_options.h"

#include <charconv>
#include <ostream>
#include <string>

#include "cli/commands.h"
#include "core/text/messages.h"
#include "core/text/quoted_input.h"

namespace tarnvel::cli {

std::uint64_t MaxStationsFrom(const Options& options) {
    if (!options.Has("max-stations")) return kDefaultMaxStations;
    const std::string& text = options.Text("max-stations");
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value == 0) {
        throw UsageError("选项 --max-stations 的值“" + QuotedInput(text) + "”不是正整数");
    }
    return value;
}

int ReportListingOutcome(const ListingResult& result, std::uint64_t limit, std::ostream& err) {
    switch (result.outcome) {
        case ListingOutcome::Complete:
            return kExitOk;
        case ListingOutcome::ArithmeticFailed:
            err << "tarnvel-cli: " << DescribeListingResult(result, limit) << '\n';
            return kExitArithmetic;
        case ListingOutcome::TooManyStations:
            err << "tarnvel-cli: " << DescribeListingResult(result, limit)
                << "（可用 --max-stations 提高上限）\n";
            return kExitUsage;
        case ListingOutcome::CounterStalls:
            break;
    }
    err << "tarnvel-cli: " << DescribeListingResult(result, limit) << '\n';
    return kExitUsage;
}

}  // namespace tarnvel::cli
