// Control points kept in a LandXML ProfAlign as Feature elements (code
// "tarnvel:control"): the schema lets any ProfAlign carry Features after its
// PVIs, and other programs pass over those they do not know.

#include <pugixml.hpp>

#include "core/calculator/number_text.h"
#include "io/bounded_read.h"
#include "io/landxml_profiles.h"
#include "io/profile_files.h"
#include "io/xml_names.h"

namespace tarnvel::io {

Result<std::vector<ControlPoint>> ParseLandXmlControls(std::string_view bytes, std::string_view name,
                                                       const ProfileModel& model, std::string_view path) {
    pugi::xml_document doc;
    Result<pugi::xml_node> root = LoadLandXmlRoot(doc, bytes, path);
    if (!root.ok()) return root.failure();
    Result<FoundProfile> chosen = ChooseProfile(FindProfiles(root.value()), name, path);
    if (!chosen.ok()) return chosen.failure();
    // Stations are internal, as the PVIs'; the labels come from the chain
    // table (an invalid one, which the profile's check reports, labels nothing).
    const Chainage chainage = Chainage::Make(model.chains).value_or(Chainage());
    std::vector<ControlPoint> controls;
    std::size_t number = 0;
    for (pugi::xml_node feature : chosen.value().profAlign.children()) {
        if (!Is(feature, "Feature") || std::string_view(Attribute(feature, "code").value()) != kControlFeatureCode)
            continue;
        ++number;
        ControlPoint c;
        c.name = Attribute(feature, "name").value();
        bool placed = false;
        for (pugi::xml_node property : feature.children()) {
            if (!Is(property, "Property")) continue;
            const std::string_view label = Attribute(property, "label").value();
            const char* text = Attribute(property, "value").value();
            const std::optional<double> value = ReadWholeNumber(text);
            if (!value)
                return NotProfileFailure(path, "中第" + std::to_string(number) + "个控制标高（Feature）的“" +
                                                   std::string(label) + "”值“" + Excerpt(text) + "”不是数。");
            if (label == "station") {
                c.station = chainage.ToLabel(*value);
                placed = true;
            } else if (label == "lower") {
                c.lower = value;
            } else if (label == "upper") {
                c.upper = value;
            }
        }
        if (!placed)
            return NotProfileFailure(path, "中第" + std::to_string(number) + "个控制标高（Feature）没有桩号（station）。");
        controls.push_back(std::move(c));
    }
    return controls;
}

Result<std::vector<ControlPoint>> ReadLandXmlControls(const std::string& path, std::string_view name,
                                                      const ProfileModel& model) {
    try {
        Result<std::string> bytes = ReadFilePrefix(path, kMaxProfileFileBytes + 1);
        if (!bytes.ok()) return bytes.failure();
        if (bytes.value().size() > kMaxProfileFileBytes) return std::vector<ControlPoint>{};
        // Most files hold no control points and are not parsed again for them.
        if (bytes.value().find(kControlFeatureCode) == std::string::npos) return std::vector<ControlPoint>{};
        return ParseLandXmlControls(bytes.value(), name, model, path);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Read, path);
    }
}

}  // namespace tarnvel::io
