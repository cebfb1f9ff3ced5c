#pragma once
// Numbers enter and leave the program as text. These three conversions are the
// only ones used anywhere; none of them reads the process locale, and the full
// stop is always the decimal point.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarnvel {

// The number written at the start of `text` (UTF-8): leading spaces, tabs and
// line feeds are skipped, then an optional sign, decimal digits with at most one
// full stop, and an optional exponent ("1.5E+20"). Reading stops at the first
// character that cannot continue the number. A text without a number is 0; a
// number beyond the double range reads as the largest finite double of its sign,
// so that later arithmetic reports the overflow instead of carrying infinity.
double TextToNumber(std::string_view text);

// The same reading; `outOfRange` tells whether the number lay beyond the double
// range (and so was read as the largest double), which no calculation should
// ever be given. A number too small to tell from zero reads as 0 and is not
// out of range.
double TextToNumber(std::string_view text, bool& outOfRange);

// The text form of a number: rounded to 15 significant digits, trailing zeros
// and a bare decimal point dropped, "0" for both zeros. Magnitudes from 1E-5 up
// to (not including) 1E+15 are written out in full; others take the form
// "1.5E+20" / "-2E-06", which TextToNumber reads back.
std::string NumberToText(double value);

// The same text written into `out`, which must hold kNumberTextCapacity
// characters; returns its length. For loops that print millions of numbers
// without allocating for each.
inline constexpr std::size_t kNumberTextCapacity = 32;
std::size_t WriteNumberText(double value, char* out);

// The multiple of 0.001 nearest to the exact value of the double (an exact tie
// goes to the even multiple), as the double closest to that multiple. Never -0.
double RoundTo3(double value);

// Fixed-point text with exactly `decimals` (0 to 12) decimals, rounded from the
// exact value of the double, "-" only when the rounded value is not zero:
// FixedText(396.7125, 3) is "396.713" or "396.712" as the double lies, never
// locale-dependent. For profile outputs, where columns line up.
std::string FixedText(double value, int decimals);
// The same, appended to `out`: for listings, without a string per number.
void AppendFixedText(std::string& out, double value, int decimals);
// The same text written into `out`, which must hold kFixedTextCapacity
// characters (the largest double has 309 digits before the point); returns its
// length. Exact and fast: below 2^53 units of the last decimal the value is
// rounded in binary arithmetic with an exact tie test, and only larger ones
// are printed digit by digit.
inline constexpr std::size_t kFixedTextCapacity = 400;
std::size_t WriteFixedText(double value, int decimals, char* out);

// An angle in degrees as 度分秒, "25°48′10.5″", the seconds with
// `secondDecimals` decimals (0 to 6), rounded before the split so that the
// seconds never read 60.
std::string DegreesText(double degrees, int secondDecimals);
void AppendDegreesText(std::string& out, double degrees, int secondDecimals);

// The length of the plain number at the start of `s`: an optional sign,
// digits with at most one full stop (at least one digit), an optional
// exponent with at least one digit. 0 when `s` does not start with one. This
// is the one number grammar of files, cells, station boxes and options.
std::size_t PlainNumberLength(std::string_view s);

// The whole of `text` (surrounding blanks allowed) as a finite number in plain
// decimal or exponent form, nothing else in the text; full-width digits and
// signs count as their ASCII forms; the grammar is PlainNumberLength's. For files and table cells, where a damaged
// value must be reported, never read as the number at its start. Nothing for
// a text beyond the double range.
std::optional<double> ReadWholeNumber(std::string_view text);

// Full-width ASCII forms (U+FF01 to U+FF5E) and the ideographic space folded to
// ASCII; every other character is kept as it is. Input and output are UTF-8.
std::string FoldFullWidth(std::string_view text);

// A header cell as the column finders and the unit table compare it:
// full-width forms folded; spaces, tabs, line breaks, '_' and '-' dropped;
// ASCII letters in lower case, whatever the locale.
std::string NormalizedHeaderWord(std::string_view text);

}  // namespace tarnvel
