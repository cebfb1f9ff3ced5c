#pragma once
// The continuous listing as the window runs it: the whole text is collected
// first and put into the listing box in one piece, because setting a box's text
// once per station makes a long listing take minutes.

#include <QString>

#include <cstdint>
#include <string>

#include "core/calculator/station_listing.h"

namespace tarnvel::ui {

struct WindowListing {
    ListingResult result;
    std::string text;  // UTF-8 with CR LF line ends; empty when refused
};

// Runs the listing of `range` with at most `maxStations` stations; `state`
// holds the results of the last station listed afterwards.
WindowListing CollectListing(const CurveParameters& params, const StationRange& range,
                             std::uint64_t maxStations, CurveState& state);

// True when the listing box is to show `listing.text`: a refused listing
// leaves the box as it was, a complete or cut one replaces it.
bool ReplacesListingBox(const ListingResult& result);

// The listing box keeps "\n" between lines; listings and reports use CR LF.
// These two are the only conversions between the two.
QString CrLfToBoxText(const QString& crlfText);
QString BoxTextToCrLf(const QString& boxText);

}  // namespace tarnvel::ui
