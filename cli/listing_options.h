#pragma once
// What the sub-commands that list a range share: the station limit option and
// the report of a listing that did not complete.

#include <cstdint>
#include <iosfwd>

#include "cli/options.h"
#include "core/calculator/station_listing.h"

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

}  // namespace tarnvel::cli
