#pragma once
// The Chinese texts that tell the user why a calculation did not complete.
// The window and the command-line tool both show these.

#include <cstdint>
#include <string>

#include "core/calculator/arithmetic_error.h"
#include "core/calculator/station_listing.h"
#include "core/profile/ground_line.h"

namespace tarnvel {

// "计算外距长E时出现除数为零的运算。…": names the quantity, the fault and the
// likely cause in the user's terms.
std::string DescribeArithmeticError(const ArithmeticError& error);

// Why a listing stopped or was refused; empty for a complete listing.
std::string DescribeListingResult(const ListingResult& result, std::uint64_t maxStations);

// One problem of a ground line, naming the point by the file's row ("第5行")
// or by its number ("第5点") and its station: "地面线第5行（桩号 K0+120）与第4行的桩号相同。"
std::string DescribeGroundProblem(const GroundProblem& problem);

}  // namespace tarnvel
