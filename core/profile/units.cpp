#include "core/profile/units.h"

#include <algorithm>
#include <cmath>

#include "core/calculator/number_text.h"

namespace tarnvel {
namespace {

// Each unit once. The factors are the definitions: the international foot is
// 0.3048 m exactly, the US survey foot 1200/3937 m.
constexpr std::array<UnitInfo, 8> kUnits{{
    {Unit::Millimetre, "毫米", "mm", "millimeter", 1, 1000, LengthUnit::Metre, -3,
     {"mm", "毫米", "millimeter", "millimetre", "millimeters", "millimetres", "", ""}},
    {Unit::Centimetre, "厘米", "cm", "centimeter", 1, 100, LengthUnit::Metre, -2,
     {"cm", "厘米", "centimeter", "centimetre", "centimeters", "centimetres", "", ""}},
    {Unit::Metre, "米", "m", "meter", 1, 1, LengthUnit::Metre, 0,
     {"m", "米", "公尺", "meter", "metre", "meters", "metres", ""}},
    {Unit::Kilometre, "千米", "km", "kilometer", 1000, 1, LengthUnit::Metre, 3,
     {"km", "千米", "公里", "kilometer", "kilometre", "kilometers", "kilometres", ""}},
    {Unit::Foot, "英尺", "ft", "foot", 3048, 10000, LengthUnit::Foot, 0,
     {"ft", "英尺", "foot", "feet", "internationalfoot", "internationalfeet", "intlft", ""}},
    {Unit::USSurveyFoot, "美国测量英尺", "ftUS", "USSurveyFoot", 1200, 3937, LengthUnit::USSurveyFoot, 0,
     {"ftus", "usft", "美国测量英尺", "美国英尺", "ussurveyfoot", "ussurveyfeet", "surveyfoot", "surveyfeet"}},
    {Unit::Inch, "英寸", "in", "inch", 254, 10000, std::nullopt, 0,
     {"in", "inch", "inches", "英寸", "", "", "", ""}},
    {Unit::Mile, "英里", "mi", "mile", 1609344, 1000, std::nullopt, 0,
     {"mi", "mile", "miles", "英里", "", "", "", ""}},
}};

// A word that stands where a unit would and reads as one: two or more Latin
// letters ("yd", "chain"), or a Chinese word of length ("市尺", "分米"). Other
// words in brackets are notes (a datum, "实测") or symbols ("H", "K"), not units.
bool LooksLikeUnit(std::string_view word) {
    if (word.size() >= 2 &&
        std::all_of(word.begin(), word.end(), [](char c) { return (c >= 'a' && c <= 'z') || c == '.'; }))
        return true;
    for (std::string_view end : {"米", "尺", "寸", "里", "丈"})
        if (word.ends_with(end)) return true;
    return false;
}

}  // namespace

const UnitInfo& InfoOf(Unit unit) {
    return *std::find_if(kUnits.begin(), kUnits.end(), [unit](const UnitInfo& u) { return u.unit == unit; });
}

const std::array<UnitInfo, 8>& AllUnits() { return kUnits; }

std::optional<Unit> UnitFromWord(std::string_view normalizedWord) {
    if (normalizedWord.empty()) return std::nullopt;
    for (const UnitInfo& u : kUnits)
        if (std::find(u.words.begin(), u.words.end(), normalizedWord) != u.words.end()) return u.unit;
    return std::nullopt;
}

std::optional<Unit> UnitFromLandXmlName(std::string_view name) {
    for (const UnitInfo& u : kUnits)
        if (u.landXml == name) return u.unit;
    return std::nullopt;
}

Unit UnitOf(LengthUnit unit) {
    switch (unit) {
        case LengthUnit::Foot: return Unit::Foot;
        case LengthUnit::USSurveyFoot: return Unit::USSurveyFoot;
        case LengthUnit::Metre: break;
    }
    return Unit::Metre;
}

std::optional<Unit> UnitInHeader(std::string_view cell, UnitProblem* problem,
                                 const std::function<bool(std::string_view)>& isColumnName) {
    std::optional<Unit> found;
    UnitProblem local;
    UnitProblem& p = problem ? *problem : local;
    p = UnitProblem{};
    std::string current;
    int depth = 0;
    // One bracketed word: a column name, a unit, or a word that stands where
    // a unit would and is refused.
    const auto word = [&]() -> bool {
        const std::string w = NormalizedHeaderWord(current);
        const std::string written = current;
        current.clear();
        if (w.empty() || (isColumnName && isColumnName(w))) return true;
        const std::optional<Unit> unit = UnitFromWord(w);
        if (!unit && !LooksLikeUnit(w)) return true;  // a note: "(实测)", "(1985国家高程基准)"
        if (!unit) {
            p.fault = UnitFault::Unknown;
            p.word = written;
            return false;
        }
        if (found && *found != *unit) {
            p.fault = UnitFault::Conflicting;
            p.first = *found;
            p.second = *unit;
            return false;
        }
        found = unit;
        return true;
    };
    for (char c : FoldFullWidth(cell)) {
        if (c == '(' || c == '[') {
            if (depth > 0 && !word()) return std::nullopt;
            current.clear();
            ++depth;
        } else if (c == ')' || c == ']') {
            if (depth > 0 && !word()) return std::nullopt;
            current.clear();
            depth = std::max(depth - 1, 0);
        } else if (depth > 0 && (c == ',' || c == ';' || c == '/')) {
            if (!word()) return std::nullopt;
        } else if (depth > 0) {
            current += c;
        }
    }
    // An unclosed bracket ("高程(m") still states its unit.
    if (depth > 0 && !word()) return std::nullopt;
    if (found && !InfoOf(*found).heldAs) {
        p.fault = UnitFault::NotConvertible;
        p.first = *found;
        return std::nullopt;
    }
    return found;
}

bool TableUnit::Add(Unit unit, std::string_view column) {
    if (!unit_) {
        unit_ = unit;
        column_ = column;
        return true;
    }
    if (*unit_ == unit) return true;
    problem_.fault = UnitFault::Conflicting;
    problem_.column = column_;
    problem_.otherColumn = column;
    problem_.first = *unit_;
    problem_.second = unit;
    return false;
}

std::optional<HeldUnit> HeldAs(Unit unit) {
    const UnitInfo& u = InfoOf(unit);
    if (!u.heldAs) return std::nullopt;
    return HeldUnit{*u.heldAs, u.powerOfTen};
}

double HeldValue(double value, int powerOfTen) {
    double scale = 1;
    for (int i = 0; i < (powerOfTen < 0 ? -powerOfTen : powerOfTen); ++i) scale *= 10;
    return powerOfTen < 0 ? value / scale : value * scale;
}

bool HoldLengths(ProfileModel& model, int powerOfTen) {
    if (powerOfTen == 0) return true;
    bool finite = true;
    const auto hold = [&](double& length) {
        length = HeldValue(length, powerOfTen);
        finite = finite && std::isfinite(length);
    };
    for (ProfilePoint& p : model.points) {
        hold(p.station.value);
        hold(p.elevation);
        CurveSpec& c = p.curve;
        for (double* length : {&c.radius, &c.length, &c.lengthIn, &c.lengthOut}) hold(*length);
    }
    for (ChainBreak& b : model.chains) {
        hold(b.back);
        hold(b.ahead);
    }
    return finite;
}

bool HoldLengths(GroundModel& model, int powerOfTen) {
    if (powerOfTen == 0) return true;
    bool finite = true;
    for (GroundPoint& p : model.points) {
        p.station.value = HeldValue(p.station.value, powerOfTen);
        p.elevation = HeldValue(p.elevation, powerOfTen);
        finite = finite && std::isfinite(p.station.value) && std::isfinite(p.elevation);
    }
    return finite;
}

bool HoldLengths(std::vector<ControlPoint>& controls, int powerOfTen) {
    if (powerOfTen == 0) return true;
    bool finite = true;
    const auto hold = [&](double& length) {
        length = HeldValue(length, powerOfTen);
        finite = finite && std::isfinite(length);
    };
    for (ControlPoint& c : controls) {
        hold(c.station.value);
        for (std::optional<double>* bound : {&c.lower, &c.upper})
            if (*bound) hold(**bound);
    }
    return finite;
}

}  // namespace tarnvel
