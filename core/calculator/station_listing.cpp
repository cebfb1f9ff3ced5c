#include "core/calculator/station_listing.h"

#include <cmath>

#include "core/calculator/number_text.h"

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

// "16740   395.74\r\n", built in place without allocating.
std::string_view FormatLine(char (&line)[2 * kNumberTextCapacity + 5], double k, double h) {
    std::size_t length = WriteNumberText(k, line);
    for (const char c : {' ', ' ', ' '}) line[length++] = c;
    length += WriteNumberText(RoundTo3(h), line + length);
    line[length++] = '\r';
    line[length++] = '\n';
    return std::string_view(line, length);
}

}  // namespace

ListingResult ListStations(const CurveParameters& p, const StationRange& range,
                           std::uint64_t maxStations, CurveState& state,
                           const ListingSink& sink) {
    ListingResult result;
    result.outcome = CheckRange(range, maxStations);
    if (result.outcome != ListingOutcome::Complete) return result;

    sink(kListingHeader);
    char line[2 * kNumberTextCapacity + 5];
    double k = range.start;
    try {
        // The station is accumulated by repeated addition, and each line shows
        // the accumulated double: the elevation is computed at that same value.
        // The curve's elements do not depend on the station: they are computed
        // once, at the first station (where a failure among them is reported,
        // as a calculation at that station would), and kept in `state`.
        bool elementsKnown = false;
        for (; Continues(k, range); k = CheckedAdd(k, range.interval, Quantity::Station)) {
            if (!elementsKnown) {
                ComputeCurveElements(p, state.elements);
                elementsKnown = true;
            }
            state.H = ElevationAt(p, state.elements, k);
            sink(FormatLine(line, k, state.H));
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
