#pragma once
// What the sub-commands that list a range share: the station limit option and
// the report of a listing that did not complete.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "cli/commands.h"
#include "cli/options.h"
#include "core/calculator/station_listing.h"
#include "core/profile/profile_listing.h"
#include "core/text/messages.h"

namespace tarnvel::cli {

// The default is generous (far beyond the window's limit) because the tool
// streams its output; --max-stations raises or lowers it.
inline constexpr std::uint64_t kDefaultMaxStations = 10'000'000;
inline constexpr OptionSpec kListingLimitOption[] = {
    {"max-stations", true, "N", "一次最多列出的桩号数（默认 10000000；report 默认 1000000）"}};

// --max-stations as a whole number of at least 1, or the default.
std::uint64_t MaxStationsFrom(const Options& options);

// Writes the reason to `err` and returns the exit status: 0 for a complete
// listing, 1 for an arithmetic failure, 2 for a refused range.
int ReportListingOutcome(const ListingResult& result, std::uint64_t limit, std::ostream& err);

// A road's listing (profile or plan) written to `out` in blocks as its lines
// are made, so memory stays flat however long it is. `list(block, spill)`
// runs the listing, appending each row's lines to `block` and calling spill()
// after each row. The header waits in the first block, so a refused listing
// writes nothing; a write that fails (a full disk) ends the listing there,
// since the rest could not arrive either. Returns the exit status of a
// failure (its reason written to `err`), nothing when all was written.
template <typename List>
std::optional<int> StreamRoadListing(std::ostream& out, std::ostream& err, std::string header, List&& list) {
    struct OutputFailed {};
    constexpr std::size_t kBlock = 1 << 16;
    std::string block = std::move(header);
    block.reserve(kBlock + 1024);
    const auto spill = [&] {
        if (block.size() < kBlock) return;
        if (!out.write(block.data(), static_cast<std::streamsize>(block.size()))) throw OutputFailed{};
        block.clear();
    };
    ProfileListingResult result;
    try {
        result = list(block, spill);
    } catch (const OutputFailed&) {
        err << "tarnvel-cli: 标准输出无法写入，列表未写完。\n";
        return kExitFile;
    }
    if (!result.ok) {
        // The ends were placed by the caller, so what is left to refuse is
        // the range asked for: more rows than the limit, or a step too fine
        // to tell neighbouring stations apart.
        err << "tarnvel-cli: " << DescribeProfileListing(result);
        if (result.fault == ListingFault::TooManyRows) err << "（行数上限可用 --max-stations 调整）";
        err << '\n';
        return kExitUsage;
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    out.flush();
    return std::nullopt;
}

}  // namespace tarnvel::cli
