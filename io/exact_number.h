#pragma once
// Numbers in the profile files: written so that they read back to the very
// same double, and read strictly, so that a damaged cell is reported instead
// of silently read as part of a number.

#include <optional>
#include <string>
#include <string_view>

namespace tarnvel::io {

// The shortest fixed-point text that reads back to exactly `value`
// ("16770.5", "0.000001", "-3"); never an exponent, never locale-dependent.
// Not for NaN or infinity.
std::string ExactNumberText(double value);

// The whole of `text` (surrounding blanks allowed) as a finite number in plain
// decimal or exponent form; nothing else may be in the text. Full-width digits
// and signs count as their ASCII forms.
std::optional<double> ReadExactNumber(std::string_view text);

}  // namespace tarnvel::io
