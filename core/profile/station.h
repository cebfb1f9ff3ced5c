#pragma once
// Stations are a type of their own: one parser and one formatter, used by
// every box, file and option that holds a station.
//
// A station is written either as a plain number ("16770.5", "-50") or in K
// notation ("K16+770.5", "16+770.500", "K0+005", "-K0+050"): kilometres, a plus
// sign, then metres below 1000. Where the stationing of a road has chain
// breaks a label may occur more than once; "K5+350(2)" then names its second
// occurrence along the road. The same text rules apply to every length unit:
// the "K" groups of 1000 are in the profile's own unit.

#include <optional>
#include <string>
#include <string_view>

namespace tarnvel {

// A station label as the drawings show it.
struct Station {
    double value = 0;    // the label as a number (K16+770.5 is 16770.5)
    int occurrence = 0;  // 0: not given; n ≥ 1: the n-th place along the road with this label

    friend bool operator==(const Station&, const Station&) = default;
};

enum class StationStyle {
    Plain,  // "16770.5"
    K,      // "K16+770.500"
};

// Why a text is not a station label; the message module words it.
enum class StationTextFault {
    None,
    Empty,             // nothing but blanks
    NoLabel,           // only an occurrence suffix
    TrailingText,      // characters after a K label
    NotANumber,        // neither a number nor K notation
    TrailingAfterNumber,
    OutOfRange,        // beyond the double range
    UnpairedBracket,   // "K5+350)"
    BadOccurrence,     // "(0)", "(x)", beyond kMostOccurrences
    KWithoutKm,        // "K+350"
    KmNotWhole,        // "K1.5+350"
    KmWithoutPlus,     // "K16"
    PlusWithoutMetres, // "K16+"
    MetresTooMany,     // "K0+1000"
    FractionEmpty,     // "K16+770."
};

struct StationTextProblem {
    StationTextFault fault = StationTextFault::None;
    std::string excerpt;  // the start of the text as given, cut on a character boundary
};

// What a message quotes of a text the user gave: at most its first 40
// bytes, cut before a UTF-8 continuation byte and marked "…" when cut, so
// that a pasted page does not become the message.
std::string MessageExcerpt(std::string_view text);

// The largest occurrence a label may name. Far above any real road (a label
// behind a thousand long chains) and far below anything that could overflow.
inline constexpr int kMostOccurrences = 1'000'000;

// Reads a whole text as a station: leading and trailing blanks are allowed,
// nothing else around it. Full-width digits and signs ("１６７７０．５") read as
// their ASCII forms; "k" reads as "K". Metres must be below 1000 in K notation
// ("K0+1000" is refused: it is "K1+000"), kilometres a whole number. On a
// malformed text returns nothing and, when `problem` is given, says why.
std::optional<Station> ParseStation(std::string_view text, StationTextProblem* problem = nullptr);

// The station a window input box holds: K notation when the text (after
// leading blanks, full-width forms folded) starts with one, else the number at
// its start as TextToNumber reads it (a text without a number is 0). Never
// fails; an occurrence suffix is ignored.
double StationBoxToNumber(std::string_view text);
// The same; `outOfRange` tells whether the number lay beyond the double range
// (see TextToNumber).
double StationBoxToNumber(std::string_view text, bool& outOfRange);
// Why a box text that starts as K notation is not one ("K0+1000", "K16+"):
// such a text would otherwise read as the plain number at its start, usually
// 0, a plausible wrong station. None when the text is a station or plainly a
// number.
StationTextFault StationBoxProblem(std::string_view text);

// The label as text. Plain: the canonical number form (NumberToText) when
// `decimals` < 0, else fixed with that many decimals. K: "K16+770.500" with
// `decimals` decimals (3 when negative); the rounding happens before the split
// so K0+999.9996 prints as "K1+000.000". Negative stations print as
// "-K0+050.000". A rounded zero never carries a minus sign. An occurrence ≥ 1
// is written after the label as "(2)".
std::string FormatStation(double value, StationStyle style, int decimals = -1);
std::string FormatStation(const Station& station, StationStyle style, int decimals = -1);

// The label as a message quotes it: K notation with only the decimals it
// needs, at most six ("K16+770", "K16+770.5", "-K0+050").
std::string StationInMessage(double value);


}  // namespace tarnvel
