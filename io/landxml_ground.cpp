// LandXML ground lines: Profile/ProfSurf with a PntList2D of "station
// elevation" pairs, stations internal as in ProfAlign. Elements are matched by
// their local names, as the ProfAlign reader does, so that every LandXML
// version and foreign namespaces read alike.

#include <algorithm>

#include <pugixml.hpp>

#include "core/calculator/number_text.h"
#include "core/text/quoted_input.h"
#include "io/bounded_read.h"
#include "io/atomic_write.h"
#include "io/ground_files.h"
#include "io/landxml_profiles.h"
#include "io/profile_files.h"
#include "io/xml_names.h"

namespace tarnvel::io {
namespace {

std::string AttributeText(pugi::xml_node node, std::string_view local) { return Attribute(node, local).value(); }

std::string NodeText(pugi::xml_node node) {
    std::string text;
    for (pugi::xml_node child : node.children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) text += child.value();
    return text;
}

struct Surface {
    pugi::xml_node profile;  // the Profile element holding it
    pugi::xml_node profSurf;
    std::string alignment, name;
};

// Every ProfSurf of the file.
std::vector<Surface> FindSurfaces(pugi::xml_node root) {
    std::vector<Surface> found;
    ForEachProfileElement(root, [&found](pugi::xml_node alignment, pugi::xml_node profile) {
        for (pugi::xml_node surf : profile.children())
            if (Is(surf, "ProfSurf"))
                found.push_back({profile, surf, AttributeText(alignment, "name"), AttributeText(surf, "name")});
    });
    return found;
}

std::optional<LengthUnit> ReadUnit(pugi::xml_node root) {
    for (pugi::xml_node units : root.children()) {
        if (!Is(units, "Units")) continue;
        for (pugi::xml_node unit : units.children()) {
            const std::string linear = AttributeText(unit, "linearUnit");
            if (Is(unit, "Metric")) return LengthUnit::Metre;
            if (Is(unit, "Imperial")) return linear == "USSurveyFoot" ? LengthUnit::USSurveyFoot : LengthUnit::Foot;
        }
    }
    return std::nullopt;
}

// The points of one ProfSurf: its PntList2D elements, pairs of numbers.
Result<GroundModel> ReadSurface(const Surface& s, std::string_view path) {
    GroundModel model;
    model.name = s.name;
    model.stations = GroundStations::Internal;
    for (pugi::xml_node list : s.profSurf.children()) {
        if (!Is(list, "PntList2D")) continue;
        const std::string text = NodeText(list);
        std::string_view rest = text;
        std::vector<double> numbers;
        const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ','; };
        while (!rest.empty()) {
            while (!rest.empty() && blank(rest.front())) rest.remove_prefix(1);
            std::size_t n = 0;
            while (n < rest.size() && !blank(rest[n])) ++n;
            if (n == 0) break;
            const std::optional<double> value = ReadWholeNumber(rest.substr(0, n));
            if (!value)
                return NotProfileFailure(path, "中地面线“" + QuotedInput(s.name) + "”第" + std::to_string(numbers.size() / 2 + 1) +
                                                   "点的“" + QuotedInput(rest.substr(0, n)) +
                                                   "”不是数。");
            numbers.push_back(*value);
            rest.remove_prefix(n);
        }
        if (numbers.size() % 2 != 0)
            return NotProfileFailure(path, "中地面线“" + QuotedInput(s.name) + "”的PntList2D有 " + std::to_string(numbers.size()) +
                                               " 个数，应为“桩号 高程”成对的数。");
        for (std::size_t i = 0; i < numbers.size(); i += 2)
            model.points.push_back({Station{numbers[i], 0}, numbers[i + 1], 0});
    }
    return model;
}

std::string FullName(const Surface& s) { return s.alignment + "/" + s.name; }

}  // namespace

Result<GroundReading> ParseLandXmlGround(std::string_view bytes, std::string_view name, std::string_view path) {
    pugi::xml_document doc;
    Result<pugi::xml_node> root = LoadLandXmlRoot(doc, bytes, path);
    if (!root.ok()) return root.failure();
    const std::vector<Surface> found = FindSurfaces(root.value());
    if (found.empty()) return NotProfileFailure(path, "中没有地面线（Alignment/Profile/ProfSurf）。");
    const Surface* chosen = name.empty() ? &found.front() : nullptr;
    for (const Surface& s : found)
        if (!chosen && FullName(s) == name) chosen = &s;
    std::vector<const Surface*> matches;
    for (const Surface& s : found)
        if (!chosen && s.name == name) matches.push_back(&s);
    if (matches.size() == 1) chosen = matches.front();
    if (!chosen) {
        std::vector<std::string> names;
        for (const Surface& s : found) names.push_back(FullName(s));
        const std::string list = QuotedList(names, "条");
        if (matches.size() > 1)
            return NotProfileFailure(path, "中有" + std::to_string(matches.size()) + "条地面线名为“" + QuotedInput(name) +
                                               "”，请写成“线路名/地面线名”：" + list + "。");
        return NotProfileFailure(path, "中没有名为“" + QuotedInput(name) + "”的地面线；文件中的地面线有：" + list + "。");
    }
    Result<GroundModel> model = ReadSurface(*chosen, path);
    if (!model.ok()) return model.failure();
    GroundReading reading;
    reading.model = std::move(model.value());
    reading.unit = ReadUnit(root.value()).value_or(LengthUnit::Metre);
    return reading;
}

Result<std::vector<GroundModel>> ParseLandXmlGrounds(std::string_view bytes, std::string_view profile,
                                                     std::string_view path) {
    pugi::xml_document doc;
    Result<pugi::xml_node> root = LoadLandXmlRoot(doc, bytes, path);
    if (!root.ok()) return root.failure();
    // The profile is chosen by the profile reader's own rules, in the same
    // parse; its ground lines are the ProfSurfs of its Profile element.
    const std::vector<FoundProfile> found = FindProfiles(root.value());
    Result<FoundProfile> chosen = ChooseProfile(found, profile, path);
    if (!chosen.ok()) {
        if (found.empty()) return chosen.failure();
        return std::vector<GroundModel>{};  // the profile reader says why
    }
    const pugi::xml_node holder = chosen.value().profAlign.parent();
    std::vector<GroundModel> grounds;
    for (const Surface& s : FindSurfaces(root.value())) {
        if (s.profile != holder) continue;
        Result<GroundModel> model = ReadSurface(s, path);
        if (!model.ok()) return model.failure();
        grounds.push_back(std::move(model.value()));
    }
    return grounds;
}

Result<GroundReading> ReadGroundFile(const std::string& path, std::string_view name) {
    try {
        Result<std::string> bytes = ReadFilePrefix(path, kMaxProfileFileBytes + 1);
        if (!bytes.ok()) return bytes.failure();
        if (bytes.value().size() > kMaxProfileFileBytes)
            return NotProfileFailure(path, "超过" + std::to_string(kMaxProfileFileBytes >> 20) + "MB，未读取。");
        if (SniffProfileFormat(bytes.value()) == ProfileFormat::LandXml)
            return ParseLandXmlGround(bytes.value(), name, path);
        return ParseGroundCsv(bytes.value(), path);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Read, path);
    }
}

Result<std::vector<GroundModel>> ReadLandXmlGrounds(const std::string& path, std::string_view profile) {
    try {
        Result<std::string> bytes = ReadFilePrefix(path, kMaxProfileFileBytes + 1);
        if (!bytes.ok()) return bytes.failure();
        if (bytes.value().size() > kMaxProfileFileBytes ||
            SniffProfileFormat(bytes.value()) != ProfileFormat::LandXml)
            return std::vector<GroundModel>{};
        // Most design files carry no ground. One whose text never names a
        // ProfSurf has none and is not parsed again for it: in every encoding
        // read here but UTF-16 a tag name is written as its ASCII bytes, and a
        // UTF-16 file holds NUL bytes.
        const std::string_view text = bytes.value();
        if (text.find("ProfSurf") == std::string_view::npos && text.find('\0') == std::string_view::npos)
            return std::vector<GroundModel>{};
        return ParseLandXmlGrounds(bytes.value(), profile, path);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Read, path);
    }
}

std::optional<IoFailure> WriteGroundCsvFile(const std::string& path, const GroundModel& model, LengthUnit unit) {
    std::string bytes;
    try {
        bytes = GroundCsvBytes(model, unit);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Write, path);
    }
    return WriteFileAtomically(path, bytes);
}

}  // namespace tarnvel::io
