#pragma once
// The Chinese texts that tell the user why a calculation did not complete or
// an input was refused. The core reports problems as codes with their
// numbers; this module is the one place that words them, for the window, the
// command-line tool and the file readers alike.

#include <cstdint>
#include <string>
#include <vector>

#include "core/calculator/arithmetic_error.h"
#include "core/calculator/station_listing.h"
#include "core/plan/plan.h"
#include "core/profile/ground_line.h"
#include "core/profile/chain.h"
#include "core/profile/design_check.h"
#include "core/profile/horizontal.h"
#include "core/profile/profile.h"
#include "core/profile/profile_listing.h"
#include "core/profile/station.h"
#include "core/profile/units.h"
#include "core/text/sheet_problem.h"

namespace tarnvel {

// "计算外距长E时出现除数为零的运算。…": names the quantity, the fault and the
// likely cause in the user's terms.
std::string DescribeArithmeticError(const ArithmeticError& error);
// The quantity as the single-curve window labels it ("外距长E").
const char* QuantityName(Quantity quantity);

// Why a listing stopped or was refused; empty for a complete listing.
std::string DescribeListingResult(const ListingResult& result, std::uint64_t maxStations);

// A length as messages print it: below a centimetre (0.01 in the profile's
// unit) with three significant digits, in millimetres for a metre profile
// ("0.728 毫米"); otherwise to the thousandth, trailing zeros dropped
// ("12.5 米"). Never an exponent.
std::string LengthInMessage(double length, LengthUnit unit);

// "桩号“K16+”无法识别：“+”后须是米数。"
std::string DescribeStationText(const StationTextProblem& problem);
// The reason alone ("“+”后须是米数"), for a box that words the rest itself.
std::string StationTextReason(StationTextFault fault);

// Why a station cannot be placed on the road or lies outside the profile.
std::string DescribeStationFault(const StationFault& fault);

// Why a chain table is invalid, naming the break by its number and labels.
std::string DescribeChainProblem(const ChainProblem& problem);

// One problem of a profile model (or a note on what Resolve adjusted), naming
// the point by number (1-based, "第3点") and its station label.
std::string DescribeProfileProblem(const ProfileProblem& problem);

// Why a profile listing was refused; empty when it was not.
std::string DescribeProfileListing(const ProfileListingResult& result);

// One problem of a ground line, naming the point by the file's row ("第5行")
// or by its number ("第5点") and its station: "地面线第5行（桩号 K0+120）与第4行的桩号相同。"
std::string DescribeGroundProblem(const GroundProblem& problem);

// What closes a list of ground problems cut at kListedGroundProblems:
// "另有 1234 处问题未列出。"; empty when every problem is listed.
std::string DescribeUnlistedGroundProblems(std::size_t listed, std::size_t total);

// The characters of a drawing that a DXF file (GBK) cannot hold, each
// named once (the first ten), written in it as "?": a note, the file is
// written. Empty when there are none.
std::string DescribeCharactersOutsideGbk(const std::vector<std::string>& characters);

// A plan sheet too large for its output at its scale: "平面图在 1:500 下的图幅为
// 10240 × 3120 毫米，超出 PDF 页面的最大尺寸（5080 毫米）：…"
std::string DescribePlanSheetTooLarge(double width, double height, int scale, double largest, bool pdf);

// The sheets an SVG file (one page) leaves out: a note, the first sheet is
// written. Empty when none is left out.
std::string DescribeSheetsLeftOut(std::size_t leftOut);

// Why a set of sheets was refused: "横向比例 1:1500 不可用：…"
std::string DescribeSheetProblem(const SheetProblem& problem);

// Why a file's horizontal geometry (CoordGeom) cannot be drawn, naming the
// element: "平面线形第3个元素（Curve）的半径“-250”不是正数。"
std::string DescribeHorizontalProblem(const HorizontalProblem& problem);

// One problem of a 交点表 or an element list (or a note on a file's value
// that disagrees with its coordinates), naming the 交点 by its name or number
// and its line in the file: "JD3（第5行）的半径R须为正数（现为 -300 米）。"
std::string DescribePlanProblem(const PlanProblem& problem);

// Why a file's unit of length is refused, naming the column where a table
// states it: "“地面高程[yd]”列的单位“yd”无法识别：可用的单位有…". Without a column
// the sentence starts at "长度单位", for a reader to put after the file's name.
std::string DescribeUnitProblem(const UnitProblem& problem);

// A control point that could not be checked, named like a ground point:
// "控制标高第4行（桩号 K1+200）只有名称，没有最低高程或最高高程。"
std::string DescribeControlProblem(const ControlProblem& problem);

// "最大纵坡", "凸形竖曲线最小半径", …
const char* CriterionName(Criterion criterion);
// A violation in a sentence, with the margin it misses by, the point named by
// number: "第3点之后的纵坡 -5.2000% 超过最大纵坡 5%（超出 0.2000%）。"
std::string DescribeCriterionViolation(const CriterionViolation& violation, LengthUnit unit);
// A control point that the design violates, for the status line:
// "桥面（K1+200）：设计高程低于最低高程 0.352 米。"
std::string DescribeControlViolation(const ControlPoint& control, const ControlCheck& check, LengthUnit unit);

}  // namespace tarnvel
