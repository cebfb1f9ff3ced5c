// LandXML ground lines: Profile/ProfSurf with a PntList2D of "station
// elevation" pairs, stations internal as in ProfAlign. Elements are matched by
// their local names, as the ProfAlign reader does, so that every LandXML
// version and foreign namespaces read alike.

#include <algorithm>

#include <pugixml.hpp>

#include "core/calculator/number_text.h"
#include "core/text/quoted_input.h"
#include "core/profile/units.h"
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

std::string SurfaceList(const std::vector<Surface>& surfaces) {
    std::vector<std::string> names;
    for (const Surface& s : surfaces) names.push_back(FullName(s));
    return QuotedList(names, "条");
}

// The ProfSurfs of the Profile element that holds the ProfAlign `profile`
// names, chosen by the profile reader's own rules (empty: the first), so that
// a name gives the design and its ground from the same Profile. Nothing when
// the file holds no ProfAlign at all (a file of ground lines only).
struct OwnSurfaces {
    std::string profile;  // "ALIGNMENT/PROFILE", for messages
    std::vector<Surface> surfaces;
};
Result<std::optional<OwnSurfaces>> SurfacesOfProfile(pugi::xml_node root, const std::vector<Surface>& all,
                                                     std::string_view profile, std::string_view path) {
    const std::vector<FoundProfile> found = FindProfiles(root);
    if (found.empty()) return std::optional<OwnSurfaces>();
    Result<FoundProfile> chosen = ChooseProfile(found, profile, path);
    if (!chosen.ok()) return chosen.failure();
    const pugi::xml_node holder = chosen.value().profAlign.parent();
    OwnSurfaces own{chosen.value().name.alignment + "/" + chosen.value().name.profile, {}};
    for (const Surface& s : all)
        if (s.profile == holder) own.surfaces.push_back(s);
    return std::optional(std::move(own));
}

// The one ProfSurf a name gives: "ALIGNMENT/SURFACE", or SURFACE where that is
// unique (among the chosen profile's own first, when there is one). Two
// surfaces that answer to the same name are refused: taking the first would
// quietly give the wrong ground.
Result<Surface> SurfaceNamed(const std::vector<Surface>& all, const std::vector<Surface>* own, std::string_view name,
                             std::string_view path) {
    const std::string quoted = "“" + QuotedInput(name) + "”";
    const auto matching = [&](const std::vector<Surface>& among, bool full) {
        std::vector<Surface> out;
        for (const Surface& s : among)
            if ((full ? FullName(s) : s.name) == name) out.push_back(s);
        return out;
    };
    std::vector<Surface> matches = matching(all, true);
    if (matches.size() > 1)
        return NotProfileFailure(path, "中有" + std::to_string(matches.size()) + "条地面线都名为" + quoted +
                                           "（同名的线路或地面线），无法区分：请先在设计软件中为它们改用不同的名称。");
    if (matches.empty() && own) matches = matching(*own, false);
    if (matches.empty()) matches = matching(all, false);
    if (matches.size() == 1) return matches.front();
    if (matches.size() > 1) {
        // The advice must lead to one surface: only when the full names differ.
        const bool distinct = std::all_of(matches.begin(), matches.end(), [&](const Surface& s) {
            return std::count_if(matches.begin(), matches.end(),
                                 [&](const Surface& t) { return FullName(t) == FullName(s); }) == 1;
        });
        if (!distinct)
            return NotProfileFailure(path, "中有" + std::to_string(matches.size()) + "条地面线名为" + quoted +
                                               "，其中有线路名也相同的，无法区分：请先在设计软件中为它们改用不同的名称。");
        return NotProfileFailure(path, "中有" + std::to_string(matches.size()) + "条地面线名为" + quoted +
                                           "，请写成“线路名/地面线名”：" + SurfaceList(matches) + "。");
    }
    return NotProfileFailure(path, "中没有名为" + quoted + "的地面线；文件中的地面线有：" + SurfaceList(all) + "。");
}

}  // namespace

Result<GroundReading> ParseLandXmlGround(std::string_view bytes, std::string_view name, std::string_view path,
                                         std::optional<std::string_view> profile) {
    pugi::xml_document doc;
    Result<pugi::xml_node> root = LoadLandXmlRoot(doc, bytes, path);
    if (!root.ok()) return root.failure();
    const std::vector<Surface> all = FindSurfaces(root.value());
    if (all.empty()) return NotProfileFailure(path, "中没有地面线（Alignment/Profile/ProfSurf）。");
    Result<HeldUnit> unit = ReadLandXmlUnit(root.value(), path);
    if (!unit.ok()) return unit.failure();
    std::optional<OwnSurfaces> own;
    if (profile) {
        // A surface named in full needs no profile: a ground file of other
        // profiles' names still gives it.
        Result<std::optional<OwnSurfaces>> surfaces = SurfacesOfProfile(root.value(), all, *profile, path);
        if (surfaces.ok()) own = std::move(surfaces.value());
        else if (name.empty()) return surfaces.failure();
    }
    std::optional<Surface> chosen;
    if (!name.empty()) {
        Result<Surface> named = SurfaceNamed(all, own ? &own->surfaces : nullptr, name, path);
        if (!named.ok()) return named.failure();
        chosen = named.value();
    } else if (!own) {
        chosen = all.front();
    } else if (!own->surfaces.empty()) {
        chosen = own->surfaces.front();
    } else {
        // Another profile's ground is no ground of this one.
        return NotProfileFailure(path, "中纵断面“" + QuotedInput(own->profile) + "”旁没有地面线（ProfSurf）；文件中的地面线" +
                                           SurfaceList(all) + "属于其他纵断面，请指明要用的地面线。");
    }
    Result<GroundModel> model = ReadSurface(*chosen, path);
    if (!model.ok()) return model.failure();
    GroundReading reading;
    reading.model = std::move(model.value());
    if (!HoldLengths(reading.model, unit.value().powerOfTen)) return UnitFailure(path, {}, {UnitFault::OutOfRange});
    reading.unit = unit.value().unit;
    reading.landXml = true;
    return reading;
}

Result<std::vector<GroundModel>> ParseLandXmlGrounds(std::string_view bytes, std::string_view profile,
                                                     std::string_view path) {
    pugi::xml_document doc;
    Result<pugi::xml_node> root = LoadLandXmlRoot(doc, bytes, path);
    if (!root.ok()) return root.failure();
    if (FindProfiles(root.value()).empty()) return ChooseProfile({}, profile, path).failure();
    // The profile is chosen by the profile reader's own rules, in the same
    // parse; a name it refuses is refused by the profile reader, which says why.
    Result<std::optional<OwnSurfaces>> surfaces =
        SurfacesOfProfile(root.value(), FindSurfaces(root.value()), profile, path);
    if (!surfaces.ok()) return std::vector<GroundModel>{};
    Result<HeldUnit> unit = ReadLandXmlUnit(root.value(), path);
    if (!unit.ok()) return unit.failure();
    std::vector<GroundModel> grounds;
    for (const Surface& s : surfaces.value()->surfaces) {
        Result<GroundModel> model = ReadSurface(s, path);
        if (!model.ok()) return model.failure();
        if (!HoldLengths(model.value(), unit.value().powerOfTen)) return UnitFailure(path, {}, {UnitFault::OutOfRange});
        grounds.push_back(std::move(model.value()));
    }
    return grounds;
}

Result<GroundReading> ReadGroundFile(const std::string& path, std::string_view name,
                                     std::optional<std::string_view> profile) {
    try {
        Result<std::string> bytes = ReadFilePrefix(path, kMaxProfileFileBytes + 1);
        if (!bytes.ok()) return bytes.failure();
        if (bytes.value().size() > kMaxProfileFileBytes)
            return NotProfileFailure(path, "超过" + std::to_string(kMaxProfileFileBytes >> 20) + "MB，未读取。");
        if (SniffProfileFormat(bytes.value()) == ProfileFormat::LandXml)
            return ParseLandXmlGround(bytes.value(), name, path, profile);
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
