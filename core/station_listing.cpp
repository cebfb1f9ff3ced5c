#include "core/station_listing.h"

#include <cmath>
#include <string>

#include "core/number_text.h"

namespace tarnvel {
namespace {

bool Continues(double k, const StationRange& range) {
    return range.interval >= 0 ? k <= range.end : k >= range.end;
}

// Runs the station counter through the range exactly as the listing will,
// without computing elevations, to find out before anything is written whether
// the listing ends and how long it is. Stops counting past `maxStations`.
ListingOutcome CheckRange(const StationRange& range, std::uint64_t maxStations) {
    std::uint64_t count = 0;
    for (double k = range.start; Continues(k, range);) {
        if (++count > maxStations) return ListingOutcome::TooManyStations;
        const double next = k + range.interval;
        // The counter overflowing ends the listing with an arithmetic failure
        // after this station; the listing itself reports it.
        if (!std::isfinite(next)) break;
        if (next == k) return ListingOutcome::CounterStalls;
        k = next;
    }
    return ListingOutcome::Complete;
}

void AppendLine(std::string& line, double k, double h) {
    line.clear();
    line += NumberToText(k);
    line += "   ";
    line += NumberToText(RoundTo3(h));
    line += "\r\n";
}

}  // namespace

ListingResult ListStations(const CurveParameters& p, const StationRange& range,
                           std::uint64_t maxStations, CurveState& state,
                           const ListingSink& sink) {
    ListingResult result;
    result.outcome = CheckRange(range, maxStations);
    if (result.outcome != ListingOutcome::Complete) return result;

    sink(kListingHeader);
    std::string line;
    line.reserve(64);
    double k = range.start;
    try {
        // The station is accumulated by repeated addition, and each line shows
        // the accumulated double: the elevation is computed at that same value.
        for (; Continues(k, range); k = CheckedAdd(k, range.interval, "桩号")) {
            CalculateAt(p, k, state);
            AppendLine(line, k, state.H);
            sink(line);
            ++result.stationsListed;
        }
    } catch (const ArithmeticError& error) {
        result.outcome = ListingOutcome::ArithmeticFailed;
        result.error = error;
        result.failedStation = k;
    }
    return result;
}

}  // namespace tarnvel
