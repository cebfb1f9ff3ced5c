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

// A number this program computed rather than read (a parabola's length from
// its radius and grades): the shortest fixed-point text within a millionth of
// a millionth of it, so that the arithmetic's last bits (180.00000000000034)
// are not written as if someone had measured them ("180"). Not for NaN or
// infinity.
std::string ComputedNumberText(double value);

// The name, beside LandXML's own, under which Tarnvel keeps what LandXML has no
// place for (the radius a parabola was given by), and its prefix.
inline constexpr const char* kTarnvelXmlNamespace = "urn:tarnvel:landxml";
inline constexpr const char* kParabolaRadiusAttribute = "tarnvel:radius";

}  // namespace tarnvel::io
