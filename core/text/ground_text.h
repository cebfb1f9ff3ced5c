#pragma once
// Text forms of the fill and cut summary of a stretch of road (tarnvel-cli
// profile ground-summary): for people, and as CSV.

#include <string>

#include "core/profile/ground_line.h"
#include "core/text/profile_text.h"

namespace tarnvel {

// "填挖汇总" with the stretch that has ground, the unit, the total lengths in
// fill and in cut, the longest of each, the highest fill and deepest cut
// with their stations, and the zero points; "无" for what there is none of.
std::string GroundSummaryText(const Profile& profile, const GroundSummary& summary, const TextOptions& options);

// One line per item under the header item,station,to_station,value:
// fill_length and cut_length (value only), longest_fill and longest_cut
// (from, to, length), highest_fill and deepest_cut (station, depth or
// height, both positive), and a zero_point line for each zero point.
std::string GroundSummaryCsv(const Profile& profile, const GroundSummary& summary, const TextOptions& options);

}  // namespace tarnvel
