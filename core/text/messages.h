#pragma once
// The Chinese texts that tell the user why a calculation did not complete.
// The window and the command-line tool both show these.

#include <cstdint>
#include <string>

#include "core/calculator/arithmetic_error.h"
#include "core/calculator/station_listing.h"

namespace tarnvel {

// "计算外距长E时出现除数为零的运算。…": names the quantity, the fault and the
// likely cause in the user's terms.
std::string DescribeArithmeticError(const ArithmeticError& error);

// Why a listing stopped or was refused; empty for a complete listing.
std::string DescribeListingResult(const ListingResult& result, std::uint64_t maxStations);

}  // namespace tarnvel
