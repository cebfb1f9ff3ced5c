#pragma once
// Units of length as files state them: the words of a spreadsheet header
// ("[mm]", "(m)", "（米）") and LandXML's linearUnit names, each once, with its
// factor to metres as an exact ratio. Every reader looks its unit up here,
// converts what can be converted exactly and refuses the rest: a length is
// never taken as metres because its unit was not understood.
//
// A profile holds its lengths in metres, international feet or US survey
// feet. Millimetres, centimetres and kilometres are held as metres, their
// numbers moved by a power of ten; feet stay feet. Inches and miles are known
// so that they are named when refused: no exact decimal step takes them to a
// unit a profile holds.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/profile/design_check.h"
#include "core/profile/ground_line.h"
#include "core/profile/profile.h"

namespace tarnvel {

enum class Unit { Millimetre, Centimetre, Metre, Kilometre, Foot, USSurveyFoot, Inch, Mile };

struct UnitInfo {
    Unit unit;
    std::string_view name;     // as messages name it: "毫米"
    std::string_view symbol;   // "mm"
    std::string_view landXml;  // the LandXML linearUnit name
    long long toMetreNumerator, toMetreDenominator;  // 1 unit = n / d metres, exactly
    std::optional<LengthUnit> heldAs;  // the profile unit that holds it; nothing when none does exactly
    int powerOfTen;                    // held value = value × 10^powerOfTen
    // Header words in the form NormalizedHeaderWord gives (lower case, no blanks).
    std::array<std::string_view, 8> words;
};

const UnitInfo& InfoOf(Unit unit);
const std::array<UnitInfo, 8>& AllUnits();
// A header word (normalised) or a LandXML linearUnit name (as the schema spells it).
std::optional<Unit> UnitFromWord(std::string_view normalizedWord);
std::optional<Unit> UnitFromLandXmlName(std::string_view name);
// The unit a profile unit stands for.
Unit UnitOf(LengthUnit unit);

enum class UnitFault {
    None,
    Unknown,         // a word where a unit stands that is no unit this program knows (`word`)
    NotConvertible,  // a known unit no profile holds exactly (`first`)
    Conflicting,     // two different units (`first`, `second`): in one cell, or in two columns
    OutOfRange,      // a length beyond the double range once converted
};

struct UnitProblem {
    UnitFault fault = UnitFault::None;
    std::string column{}, otherColumn{};  // the header cells as QuotedInput shows them; may be empty
    std::string word{};                   // Unknown: the word as written (the message quotes it)
    bool attributes = false;              // the columns are LandXML attributes ("linearUnit")
    Unit first = Unit::Metre, second = Unit::Metre;
};

// The unit a header cell states in brackets: "地面高程(ground)[mm]",
// "高程（m）", "桩号(station, ft)". A bracketed word that `isColumnName` accepts
// names the column, not a unit; any other that reads as a unit (Latin
// letters, a Chinese word of length) must be one this table knows. Other
// words ("(实测)") are notes.
// Nothing when the cell states no unit, or (with `problem` filled, its column
// left to the caller) when what it states cannot be used.
std::optional<Unit> UnitInHeader(std::string_view cell, UnitProblem* problem,
                                 const std::function<bool(std::string_view)>& isColumnName = {});

// Where a file states units per column, the columns that carry lengths must
// agree. Collects them one column at a time; the first disagreement is kept.
class TableUnit {
public:
    // False (and `Problem()` says why) once two columns disagree.
    bool Add(Unit unit, std::string_view column);
    const std::optional<Unit>& Stated() const { return unit_; }
    const UnitProblem& Problem() const { return problem_; }

private:
    std::optional<Unit> unit_;
    std::string column_;
    UnitProblem problem_;
};

// How a profile holds lengths read in `unit`: nothing when no profile unit
// holds them exactly.
struct HeldUnit {
    LengthUnit unit = LengthUnit::Metre;
    int powerOfTen = 0;
};
std::optional<HeldUnit> HeldAs(Unit unit);

// A length read in one unit as the profile holds it: whole numbers of
// millimetres give the double nearest to their metres, as a division by a
// power of ten is rounded once (a multiplication by 0.001 would round twice).
// False when a length grew beyond the double range (kilometres near 1E+305):
// the model is then no longer to be used.
double HeldValue(double value, int powerOfTen);
[[nodiscard]] bool HoldLengths(ProfileModel& model, int powerOfTen);
[[nodiscard]] bool HoldLengths(GroundModel& model, int powerOfTen);
[[nodiscard]] bool HoldLengths(std::vector<ControlPoint>& controls, int powerOfTen);

}  // namespace tarnvel
