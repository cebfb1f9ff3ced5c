#pragma once
// The output vocabulary: every table the program prints about a profile (the
// curve elements table 竖曲线要素表 and the station listing) is described here
// once, column by column: its English key (the CSV header), its Chinese
// header (the window, the text tables, the reports, the PDF sheet), its kind,
// and how a row gives its cell's text. The window's models, the command line's
// text and CSV, the reports and the sheet all read these tables, so the same
// profile prints the same digits and words everywhere, and a new column is
// added in one place: one entry in the table of its output.

#include <span>
#include <string>
#include <string_view>

#include "core/profile/profile.h"
#include "core/profile/profile_listing.h"

namespace tarnvel {

struct TextOptions {
    int decimals = 3;                           // elevations and lengths
    StationStyle stations = StationStyle::Plain;
    std::string_view lineEnd = "\n";            // "\r\n" for the GBK report files
    bool ground = false;  // listings: the ground columns 地面高程, 填高, 挖深 before 备注
};

enum class ColumnKind {
    PointNumber,  // the point's number in the table of points, from 1
    Station,
    Elevation,
    Grade,        // percent
    Length,       // lengths and radii
    Word,         // a fixed word: a curve's kind, a listing note
};

// The one precision policy, for every output:
//  - elevations, lengths and radii carry `options.decimals` decimals;
//  - stations at least three (never fewer, so that two close stations of a
//    fine listing never print as the same label);
//  - grades in percent one more than the elevations, at least four: 3.1 % over
//    1000 m is 31 m of rise, so a grade rounded like an elevation would lose
//    centimetres along the tangent.
int ColumnDecimals(ColumnKind kind, const TextOptions& options);
// The query and the plot's readout are answers like a listing row's and
// write what it writes: ColumnDecimals with the default options.
//
// Drawings (the sheet's 坡度 band, the plot's grade labels) write grades with
// three decimals, the convention of printed profiles: a label on paper is
// read, not computed with, and 0.001 % is far below what a drawing at 1:1000
// can show. The numbers to compute with are in the tables, which keep four.
inline constexpr int kDrawingGradeDecimals = 3;

// What a cell is written from besides its row.
struct CellContext {
    const Profile& profile;
    const TextOptions& options;
    bool english = false;  // the CSV's English words ("crest") instead of the Chinese ones
};

template <typename Row>
struct OutputColumn {
    std::string_view key;      // English header of the CSV; empty where the CSV has no such column
    std::string_view chinese;  // header everywhere else
    ColumnKind kind;
    // Appends the cell of `row`; a quantity the row does not have is an empty cell.
    void (*append)(std::string& out, const Row& row, const CellContext& context);
};

using ElementsColumn = OutputColumn<CurveElementsRow>;
using ListingColumn = OutputColumn<ProfileListingRow>;

// The columns of the 竖曲线要素表, in order: 点号, the PVI, the grades, 凸凹,
// the curve's kind and lengths, its ends and its high or low point.
std::span<const ElementsColumn> ElementsColumns();
// The columns of a listing: 桩号, 设计高程, 纵坡(%), 备注; with `ground`,
// 地面高程, 填高 and 挖深 before 备注: fill is max(design − ground, 0), cut
// max(ground − design, 0), all three empty where there is no ground.
std::span<const ListingColumn> ListingColumns(bool ground = false);

// The text of one cell.
template <typename Row>
std::string CellText(const OutputColumn<Row>& column, const Row& row, const CellContext& context) {
    std::string out;
    column.append(out, row, context);
    return out;
}

// The note of a listing row in the words of the drawings (起点, 变坡点,
// 最高点, 断链前, ...); empty for a plain interval station.
std::string_view ListingNote(const Profile& profile, const ProfileListingRow& row);
// The one word set for a curve's high or low point, on the sheet, in the
// listing and on the plot alike: 最高点 or 最低点.
std::string_view ExtremeWord(bool crest);
// The whole note cell: the key point's words, and 填挖交界 where the design
// crosses the ground, joined where both fall on one place.
void AppendListingNote(std::string& out, const Profile& profile, const ProfileListingRow& row);

}  // namespace tarnvel
