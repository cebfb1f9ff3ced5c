// The checks kept in a LandXML ProfAlign as Feature elements (codes
// "tarnvel:control" and "tarnvel:criteria"): the schema lets any ProfAlign
// carry Features after its PVIs, and other programs pass over those they do
// not know.

#include <pugixml.hpp>

#include <cmath>

#include "core/calculator/number_text.h"
#include "core/profile/units.h"
#include "core/text/quoted_input.h"
#include "io/bounded_read.h"
#include "io/landxml_profiles.h"
#include "io/profile_files.h"
#include "io/xml_names.h"

namespace tarnvel::io {

Result<ProfileChecks> ParseLandXmlChecks(std::string_view bytes, std::string_view name, const ProfileModel& model,
                                         std::string_view path) {
    pugi::xml_document doc;
    Result<pugi::xml_node> root = LoadLandXmlRoot(doc, bytes, path);
    if (!root.ok()) return root.failure();
    Result<FoundProfile> chosen = ChooseProfile(FindProfiles(root.value()), name, path);
    if (!chosen.ok()) return chosen.failure();
    // Lengths in the file's unit, held as the profile's are (core/profile/units.h).
    Result<HeldUnit> unit = ReadLandXmlUnit(root.value(), path);
    if (!unit.ok()) return unit.failure();
    const int powerOfTen = unit.value().powerOfTen;
    // Stations are internal, as the PVIs'; the labels come from the chain
    // table (an invalid one, which the profile's check reports, labels nothing).
    const Chainage chainage = Chainage::Make(model.chains).value_or(Chainage());
    ProfileChecks checks;
    std::size_t number = 0;
    for (pugi::xml_node feature : chosen.value().profAlign.children()) {
        if (!Is(feature, "Feature")) continue;
        const std::string_view code = Attribute(feature, "code").value();
        const bool control = code == kControlFeatureCode;
        if (!control && code != kCriteriaFeatureCode) continue;
        const std::string what = control ? "第" + std::to_string(++number) + "个控制标高（Feature）" : "设计标准（Feature）";
        ControlPoint c;
        c.name = Attribute(feature, "name").value();
        bool placed = false;
        if (!control) checks.criteria = DesignCriteria{};
        for (pugi::xml_node property : feature.children()) {
            if (!Is(property, "Property")) continue;
            const std::string_view label = Attribute(property, "label").value();
            const char* text = Attribute(property, "value").value();
            std::optional<double> value = ReadWholeNumber(text);
            if (!value)
                return NotProfileFailure(path, "中" + what + "的“" + QuotedInput(label) + "”值“" + QuotedInput(text) + "”不是数。");
            if (!control) {
                const std::optional<Criterion> criterion = CriterionFromKey(label);
                // Grades are percent; the other criteria are lengths.
                if (criterion && *criterion != Criterion::MaxGrade && *criterion != Criterion::MinGrade)
                    value = HeldValue(*value, powerOfTen);
                if (criterion && CriterionValueUsable(*criterion, *value))
                    CriterionLimit(*checks.criteria, *criterion) = *value;
                continue;
            }
            value = HeldValue(*value, powerOfTen);
            if (!std::isfinite(*value)) return UnitFailure(path, {}, {UnitFault::OutOfRange});
            if (label == "station") {
                c.station = chainage.ToLabel(*value);
                placed = true;
            } else if (label == "lower") {
                c.lower = value;
            } else if (label == "upper") {
                c.upper = value;
            }
        }
        if (!control) continue;
        if (!placed) return NotProfileFailure(path, "中" + what + "没有桩号（station）。");
        checks.controls.push_back(std::move(c));
    }
    return checks;
}

Result<ProfileChecks> ReadLandXmlChecks(const std::string& path, std::string_view name, const ProfileModel& model) {
    try {
        Result<std::string> bytes = ReadFilePrefix(path, kMaxProfileFileBytes + 1);
        if (!bytes.ok()) return bytes.failure();
        if (bytes.value().size() > kMaxProfileFileBytes) return ProfileChecks{};
        // Most files hold no checks and are not parsed again for them.
        if (bytes.value().find("tarnvel:c") == std::string::npos) return ProfileChecks{};
        return ParseLandXmlChecks(bytes.value(), name, model, path);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Read, path);
    }
}

}  // namespace tarnvel::io
