#pragma once
// The continuous listing: the elevation of every station from a start station
// to an end station at a fixed interval, one text line per station.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "core/calculator/curve.h"

namespace tarnvel {

struct StationRange {
    double start = 0;
    double end = 0;
    double interval = 0;  // may be negative: the listing then runs downwards
};

// The header line of every listing, CR LF included.
inline constexpr std::string_view kListingHeader = "里程K   高程H\r\n";

// The most stations the window lists in one go.
inline constexpr std::uint64_t kWindowStationLimit = 1'000'000;

enum class ListingOutcome {
    Complete,         // every station of the range was listed
    ArithmeticFailed, // a station (or the advance of the counter) failed; earlier lines stand
    CounterStalls,    // refused: the interval does not move the station counter
    TooManyStations,  // refused: the range holds more stations than allowed
};

struct ListingResult {
    ListingOutcome outcome = ListingOutcome::Complete;
    std::uint64_t stationsListed = 0;
    std::optional<ArithmeticError> error;  // set when outcome is ArithmeticFailed
    double failedStation = 0;              // the counter value at which it failed
};

// Receives the listing text piece by piece, in order: the header, then one
// line per station ("16740   395.74\r\n"). Concatenated, the pieces are the
// whole listing.
using ListingSink = std::function<void(std::string_view)>;

// Lists the range. The station counter starts at range.start and is advanced
// by repeated addition of the interval (never start + n * interval), and each
// station is listed while it has not passed range.end. Before anything is
// written the counter is run through the range once without computing, so that
// an interval that cannot move it, or a range of more than `maxStations`
// stations, is refused with nothing written and `state` untouched. Otherwise the
// header is written, then each station's line as soon as it is computed; after
// the run `state` holds the results of the last station listed.
ListingResult ListStations(const CurveParameters& p, const StationRange& range,
                           std::uint64_t maxStations, CurveState& state,
                           const ListingSink& sink);

}  // namespace tarnvel
