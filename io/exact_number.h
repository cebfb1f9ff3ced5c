#pragma once
// Numbers in the profile files are written so that they read back to the very
// same double (and read with ReadWholeNumber, so that a damaged cell is
// reported instead of silently read as part of a number).

#include <string>
#include <string_view>

namespace tarnvel::io {

// The shortest fixed-point text that reads back to exactly `value`
// ("16770.5", "0.000001", "-3"); never an exponent, never locale-dependent.
// Not for NaN or infinity.
std::string ExactNumberText(double value);

}  // namespace tarnvel::io
