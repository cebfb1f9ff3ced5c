#pragma once
// Why a set of sheets was refused, as codes with their numbers. Kept apart
// from the drawing so that the message module can word it.

#include <cstddef>

#include "core/profile/profile_listing.h"

namespace tarnvel {

inline constexpr std::size_t kMaxSheets = 2000;

enum class SheetProblemKind {
    HorizontalScale,  // not one of 500, 1000, 2000, 5000 (`value`)
    VerticalScale,    // exaggeration outside 1…50, or not a whole positive number (`value`)
    Interval,         // not a positive length that gives a sensible band (`value`)
    Range,            // `range`: a station cannot be placed, or to is not after from
    TooManySheets,    // more than kMaxSheets (`value`: how many)
    StationsTooLarge, // stations (`value`) too large to draw exactly at this scale (`limit`: the largest that is)
};
struct SheetProblem {
    SheetProblemKind kind = SheetProblemKind::Range;
    double value = 0;
    ProfileListingResult range;  // for Range: why, as the listing says it
    double limit = 0;
};

}  // namespace tarnvel
