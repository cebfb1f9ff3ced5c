#pragma once
// Text forms of a profile's numbers: the curve elements table (竖曲线要素表) for
// people and as CSV, and the lines of a listing. One consumer of the numbers
// among others (the plot, the window's tables); nothing here is parsed back.

#include <string>
#include <string_view>
#include <vector>

#include "core/profile/profile.h"
#include "core/profile/profile_listing.h"

namespace tarnvel {

// Elevations and lengths carry `decimals` decimals; stations at least three
// (never fewer, so that close stations never print as the same label); grades
// in percent one more than `decimals`, at least four. A quantity a curve does
// not have (NaN) is an empty cell.
struct TextOptions {
    int decimals = 3;                           // elevations and lengths
    StationStyle stations = StationStyle::Plain;
    std::string_view lineEnd = "\n";            // "\r\n" for the GBK report files
    bool ground = false;  // listings: the ground columns (地面高程, 填高, 挖深) before the note
};

// A station label and an elevation as every text here writes them (the
// lines of `tarnvel-cli profile at`).
std::string StationText(const Station& label, const TextOptions& options);
std::string ElevationText(double elevation, const TextOptions& options);

// The CSV header of the elements table, exactly:
// pvi_station,pvi_elevation,grade_in,grade_out,kind,radius,length,tangent_in,
// tangent_out,external,start_station,start_elevation,end_station,end_elevation,
// extreme_station,extreme_elevation
std::string ElementsCsv(const Profile& profile, const TextOptions& options);
// A Chinese table with aligned columns under the title "竖曲线要素表", the unit said.
std::string ElementsTableText(const Profile& profile, const TextOptions& options);
// The cells of that table, the header row first: the same texts, for a table
// laid out elsewhere (the PDF sheet).
std::vector<std::vector<std::string>> ElementsTableCells(const Profile& profile, const TextOptions& options);

// Listing: a header line, then one line per row. The text form is
// "STATION<TAB>ELEVATION[<TAB>GRADE%][<TAB>note]" style columns for people,
// marking key points and both stations of a chain break (断链) in words; the
// CSV form has the columns station,elevation,grade,note. With the ground
// columns the text header reads 桩号, 设计高程, 纵坡(%), 地面高程, 填高, 挖深, 备注
// and the CSV station,elevation,grade,ground,fill,cut,note: fill is
// max(design − ground, 0), cut max(ground − design, 0), all three empty where
// there is no ground; a zero point adds "填挖交界" to the note.
std::string ListingTextHeader(const TextOptions& options);
void AppendListingText(std::string& out, const Profile& profile, const ProfileListingRow& row,
                       const TextOptions& options);
std::string ListingCsvHeader(const TextOptions& options);
void AppendListingCsv(std::string& out, const Profile& profile, const ProfileListingRow& row,
                      const TextOptions& options);

}  // namespace tarnvel
