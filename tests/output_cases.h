#pragma once
// One profile and what every output must say about it: the window's tables,
// the command line's text and CSV, the GBK report and the PDF sheet's table.
// The same digits and words in each; a table here, read by the core, CLI and
// window tests alike.

#include <string_view>

namespace tarnvel::test {

// A crest by R (+1/3 % to -0.25 %), then an unsymmetrical sag, from 0 to 1000.
inline constexpr std::string_view kOutputsProfileCsv =
    "桩号,高程,曲线类型,半径,曲线长,前曲线长,后曲线长\n"
    "0,100,,,,,\n"
    "300,101,,2000,,,\n"
    "700,100,非对称抛物线,,,40,60\n"
    "1000,102,,,,,\n";

// Cells of the 竖曲线要素表 by Chinese header, for the element row of a point
// (numbered from 1). Stations in K notation, three decimals.
struct ElementCellCase {
    int point;
    std::string_view header;
    std::string_view text;
};
inline constexpr ElementCellCase kElementCells[] = {
    {2, "变坡点桩号", "K0+300.000"},
    {2, "变坡点高程", "101.000"},
    {2, "前坡(%)", "0.3333"},  // four decimals everywhere, the window too
    {2, "后坡(%)", "-0.2500"},
    {2, "凸凹", "凸"},
    {2, "曲线类型", "抛物线(R)"},
    {2, "半径R", "2000.000"},
    {2, "曲线长L", "11.667"},
    {3, "曲线类型", "非对称抛物线"},  // one word for it everywhere
    {3, "凸凹", "凹"},
    {3, "半径R", ""},  // it has no radius: an empty cell
    {3, "切线长T1", "40.000"},
    {3, "切线长T2", "60.000"},
    {3, "后坡(%)", "0.6667"},
};

// The listing from K0+000 to the end, every 100 m, with key points.
inline constexpr std::string_view kOutputsListFrom = "K0+000";
inline constexpr std::string_view kOutputsListTo = "K1+000";
inline constexpr std::string_view kOutputsListStep = "100";

// Rows the listing must hold, in this order (others lie between).
struct ListingRowCase {
    std::string_view station, elevation, grade, note;
};
inline constexpr ListingRowCase kListingRows[] = {
    {"K0+000.000", "100.000", "0.3333", "起点"},
    {"K0+100.000", "100.333", "0.3333", ""},
    {"K0+300.000", "100.991", "0.0417", "变坡点"},
    {"K0+678.182", "100.077", "0.0000", "最低点"},
    {"K0+700.000", "100.110", "0.3000", "变坡点"},  // 40 × 60 × 0.9167 % / 200 above the PVI
    {"K1+000.000", "102.000", "0.6667", "终点"},
};

// The grades as drawings write them (the sheet's 坡度 band, the plot's grade
// labels): three decimals, the drawings' entry of the precision policy.
inline constexpr std::string_view kDrawingGrades[] = {"0.333", "-0.250", "0.667"};

}  // namespace tarnvel::test
