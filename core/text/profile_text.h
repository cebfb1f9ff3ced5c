#pragma once
// Text forms of a profile's numbers: the curve elements table (竖曲线要素表) for
// people and as CSV, and the lines of a listing. One consumer of the numbers
// among others (the plot, the window's tables); nothing here is parsed back.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/profile/profile.h"
#include "core/profile/profile_listing.h"
#include "core/text/output_vocabulary.h"

namespace tarnvel {

// Every text here is built from the tables of output_vocabulary.h under its
// one precision policy. A quantity a row does not have is an empty cell.

// A station label and an elevation as every text here writes them (the
// lines of `tarnvel-cli profile at`).
std::string StationText(const Station& label, const TextOptions& options);
std::string ElevationText(double elevation, const TextOptions& options);

// The elements table as CSV; its header, exactly:
// pvi_station,pvi_elevation,grade_in,grade_out,kind,radius,length,tangent_in,
// tangent_out,external,start_station,start_elevation,end_station,end_elevation,
// extreme_station,extreme_elevation
std::string ElementsCsv(const Profile& profile, const TextOptions& options);
// A Chinese table with aligned columns under the title "竖曲线要素表", the unit said.
std::string ElementsTableText(const Profile& profile, const TextOptions& options);
// The same two texts handed on a block at a time, so that a long table is
// never held whole: `spill(block)` takes each block's text and leaves the
// block empty. It is called at least once, last with the end of the text.
using BlockSink = std::function<void(std::string& block)>;
void WriteElementsCsv(const Profile& profile, const TextOptions& options, const BlockSink& spill);
void WriteElementsTableText(const Profile& profile, const TextOptions& options, const BlockSink& spill);
// The cells of that table, the header row first: the same texts, for a table
// laid out elsewhere (the PDF sheet).
std::vector<std::vector<std::string>> ElementsTableCells(const Profile& profile, const TextOptions& options);

// Listing: a header line, then one line per row. The text form, for people,
// has the Chinese headers and tab-separated cells, empty cells at the end of a
// line left out; the notes mark the ends, the key points and both stations of
// a chain break (断链) in words. The CSV form has every cell and, unless
// `chineseHeaders`, the English header station,elevation,grade,note. With
// `options.ground` the ground columns stand before the note (地面高程, 填高,
// 挖深; ground,fill,cut), and a zero point adds "填挖交界" to the note.
std::string ListingTextHeader(const TextOptions& options);
void AppendListingText(std::string& out, const Profile& profile, const ProfileListingRow& row,
                       const TextOptions& options);
std::string ListingCsvHeader(const TextOptions& options, bool chineseHeaders = false);
void AppendListingCsv(std::string& out, const Profile& profile, const ProfileListingRow& row,
                      const TextOptions& options);

}  // namespace tarnvel
