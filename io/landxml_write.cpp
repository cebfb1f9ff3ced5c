// LandXML 1.2 written with pugixml: one alignment holding the profile, its
// station equations and the placeholder horizontal geometry the schema asks
// for. Stations are written as internal stations (see landxml.cpp).

#include <cmath>
#include <ctime>
#include <optional>

#include <pugixml.hpp>

#include "io/csv_table.h"
#include "io/exact_number.h"
#include "io/landxml_profiles.h"
#include "io/profile_files.h"
#include "io/xml_names.h"

namespace tarnvel::io {
namespace {

constexpr const char* kNamespace12 = "http://www.landxml.org/schema/LandXML-1.2";

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

void SetNumber(pugi::xml_node node, const char* name, double value) {
    node.append_attribute(name).set_value(ExactNumberText(std::isfinite(value) ? value : 0).c_str());
}

// A quantity this program computed, without the last bits of its arithmetic.
void SetComputedNumber(pugi::xml_node node, const char* name, double value) {
    node.append_attribute(name).set_value(std::isfinite(value) ? ComputedNumberText(value).c_str() : "0");
}

void SetPointText(pugi::xml_node node, double station, double elevation) {
    node.text().set((ExactNumberText(station) + " " + ExactNumberText(elevation)).c_str());
}

// The internal station whose label is exactly `label`, so that the file reads
// back to the same label: the arithmetic of the mapping rounds, and a step of
// a few units in the last place finds the station that maps back.
double InternalFor(const Chainage& chainage, const Station& label) {
    double internal = label.value;
    try {
        internal = chainage.ToInternal(label);
    } catch (const StationError&) {
        return label.value;  // a label the breaks cannot place: Resolve reports it
    }
    const auto same = [&](double candidate) {
        const Station back = chainage.ToLabel(candidate);
        return back.value == label.value &&
               (back.occurrence == label.occurrence || (back.occurrence == 0 && label.occurrence <= 1));
    };
    if (same(internal)) return internal;
    double up = internal, down = internal;
    for (int step = 0; step < 64; ++step) {
        up = std::nextafter(up, INFINITY);
        down = std::nextafter(down, -INFINITY);
        if (same(up)) return up;
        if (same(down)) return down;
    }
    return internal;
}

std::string DateText(const std::tm& t, bool date) {
    char buffer[32];
    std::strftime(buffer, sizeof buffer, date ? "%Y-%m-%d" : "%H:%M:%S", &t);
    return buffer;
}

// The LandXML element with its namespace, date, units, project and application.
pugi::xml_node NewLandXmlRoot(pugi::xml_document& doc, LengthUnit unit, const std::string& name) {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    pugi::xml_node root = doc.append_child("LandXML");
    root.append_attribute("xmlns") = kNamespace12;
    root.append_attribute("xmlns:xsi") = "http://www.w3.org/2001/XMLSchema-instance";
    root.append_attribute("xmlns:tarnvel") = kTarnvelXmlNamespace;
    root.append_attribute("xsi:schemaLocation") =
        "http://www.landxml.org/schema/LandXML-1.2 http://www.landxml.org/schema/LandXML-1.2/LandXML-1.2.xsd";
    root.append_attribute("version") = "1.2";
    root.append_attribute("date") = DateText(utc, true).c_str();
    root.append_attribute("time") = DateText(utc, false).c_str();

    pugi::xml_node units = root.append_child("Units");
    if (unit == LengthUnit::Metre) {
        pugi::xml_node metric = units.append_child("Metric");
        metric.append_attribute("areaUnit") = "squareMeter";
        metric.append_attribute("linearUnit") = "meter";
        metric.append_attribute("volumeUnit") = "cubicMeter";
        metric.append_attribute("temperatureUnit") = "celsius";
        metric.append_attribute("pressureUnit") = "HPA";
    } else {
        pugi::xml_node imperial = units.append_child("Imperial");
        imperial.append_attribute("areaUnit") = "squareFoot";
        imperial.append_attribute("linearUnit") = unit == LengthUnit::Foot ? "foot" : "USSurveyFoot";
        imperial.append_attribute("volumeUnit") = "cubicFeet";
        imperial.append_attribute("temperatureUnit") = "fahrenheit";
        imperial.append_attribute("pressureUnit") = "inHG";
    }
    root.append_child("Project").append_attribute("name") = name.c_str();
    root.append_child("Application").append_attribute("name") = "Tarnvel";
    return root;
}

std::string DocumentText(const pugi::xml_document& doc) {
    StringWriter writer;
    doc.save(writer, "  ", pugi::format_default | pugi::format_no_declaration, pugi::encoding_utf8);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + writer.text;
}

}  // namespace

std::string LandXmlBytes(const ProfileModel& model, std::string_view alignmentName,
                         const std::vector<GroundModel>& grounds, const ProfileChecks& checks) {
    std::optional<Chainage> chainage = Chainage::Make(model.chains);
    if (!chainage) chainage = Chainage();  // invalid breaks: labels are written as they are
    std::vector<double> internal;
    for (const ProfilePoint& p : model.points) internal.push_back(InternalFor(*chainage, p.station));

    pugi::xml_document doc;
    const std::string name = !alignmentName.empty() ? std::string(alignmentName)
                             : model.name.empty()   ? std::string("Tarnvel")
                                                    : model.name;
    pugi::xml_node root = NewLandXmlRoot(doc, model.unit, name);

    const double start = internal.empty() ? 0 : internal.front();
    const double length = internal.empty() ? 0 : internal.back() - internal.front();
    pugi::xml_node alignment = root.append_child("Alignments").append_child("Alignment");
    alignment.append_attribute("name") = name.c_str();
    SetNumber(alignment, "length", length);
    SetNumber(alignment, "staStart", start);
    // The schema wants a horizontal geometry; a straight line of the
    // profile's length stands in for the one this program does not know,
    // marked so that no reader of Tarnvel's takes it for a plan.
    pugi::xml_node line = alignment.append_child("CoordGeom").append_child("Line");
    line.append_attribute(kPlaceholderAttribute) = "true";
    SetNumber(line, "length", length);
    SetNumber(line, "staStart", start);
    line.append_child("Start").text().set("0 0");
    SetPointText(line.append_child("End"), std::isfinite(length) ? length : 0, 0);
    for (std::size_t i = 0; i < chainage->Breaks().size(); ++i) {
        pugi::xml_node equation = alignment.append_child("StaEquation");
        SetNumber(equation, "staBack", chainage->Breaks()[i].back);
        SetNumber(equation, "staAhead", chainage->Breaks()[i].ahead);
        SetNumber(equation, "staInternal", chainage->BreakInternal(i));
    }

    pugi::xml_node profAlign = alignment.append_child("Profile").append_child("ProfAlign");
    profAlign.append_attribute("name") = model.name.c_str();
    const std::vector<ProfilePoint>& points = model.points;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const CurveSpec& curve = points[i].curve;
        const bool inner = i > 0 && i + 1 < points.size();
        // Grades (percent) on either side, for the lengths a kind does not state.
        const double gradeIn =
            inner ? (points[i].elevation - points[i - 1].elevation) / (internal[i] - internal[i - 1]) * 100 : 0;
        const double gradeOut =
            inner ? (points[i + 1].elevation - points[i].elevation) / (internal[i + 1] - internal[i]) * 100 : 0;
        pugi::xml_node node;
        switch (curve.kind) {
            case CurveKind::None: node = profAlign.append_child("PVI"); break;
            case CurveKind::ParabolaRadius:
                // LandXML has no parabola given by its radius: it is written
                // with its length L = R × |Δi| / 100, which every tool reads,
                // and the radius beside it in Tarnvel's own attribute, which
                // other tools ignore and Tarnvel reads back while the length
                // still agrees with it.
                node = profAlign.append_child("ParaCurve");
                SetComputedNumber(node, "length", curve.radius * std::fabs(gradeOut - gradeIn) / 100);
                SetNumber(node, kParabolaRadiusAttribute, curve.radius);
                break;
            case CurveKind::ParabolaLength:
                node = profAlign.append_child("ParaCurve");
                SetNumber(node, "length", curve.length);
                break;
            case CurveKind::Unsymmetric:
                node = profAlign.append_child("UnsymParaCurve");
                SetNumber(node, "lengthIn", curve.lengthIn);
                SetNumber(node, "lengthOut", curve.lengthOut);
                break;
            case CurveKind::Circular: {
                node = profAlign.append_child("CircCurve");
                // The arc turns through the angle between the two grade lines.
                const double turn = std::fabs(std::atan(gradeOut / 100) - std::atan(gradeIn / 100));
                SetComputedNumber(node, "length", curve.radius * turn);
                SetNumber(node, "radius", curve.radius);
                break;
            }
        }
        SetPointText(node, internal[i], points[i].elevation);
    }

    for (const ControlPoint& c : checks.controls) {
        pugi::xml_node feature = profAlign.append_child("Feature");
        feature.append_attribute("name") = c.name.c_str();
        feature.append_attribute("code") = kControlFeatureCode;
        const auto property = [&](const char* label, double value) {
            pugi::xml_node p = feature.append_child("Property");
            p.append_attribute("label") = label;
            p.append_attribute("value") = ExactNumberText(value).c_str();
        };
        property("station", InternalFor(*chainage, c.station));
        if (c.lower) property("lower", *c.lower);
        if (c.upper) property("upper", *c.upper);
    }
    if (checks.criteria) {
        pugi::xml_node feature = profAlign.append_child("Feature");
        feature.append_attribute("name") = "设计标准";
        feature.append_attribute("code") = kCriteriaFeatureCode;
        for (Criterion c : kCriteria) {
            const std::optional<double> limit = CriterionLimit(*checks.criteria, c);
            if (!limit) continue;
            pugi::xml_node p = feature.append_child("Property");
            p.append_attribute("label") = CriterionKey(c);
            p.append_attribute("value") = ExactNumberText(*limit).c_str();
        }
    }

    for (const GroundModel& ground : grounds) {
        pugi::xml_node surf = profAlign.parent().append_child("ProfSurf");
        surf.append_attribute("name") = ground.name.c_str();
        std::string pairs;
        for (const GroundPoint& p : ground.points) {
            const double at =
                ground.stations == GroundStations::Internal ? p.station.value : InternalFor(*chainage, p.station);
            if (!pairs.empty()) pairs += ' ';
            pairs += ExactNumberText(at) + " " + ExactNumberText(p.elevation);
        }
        surf.append_child("PntList2D").text().set(pairs.c_str());
    }

    return DocumentText(doc);
}

}  // namespace tarnvel::io

namespace tarnvel::io {
namespace {

void SetPoint(pugi::xml_node node, const PlanPoint& p) {
    node.text().set((ExactNumberText(p.north) + " " + ExactNumberText(p.east)).c_str());
}

void SetRadius(pugi::xml_node node, const char* name, double curvature) {
    if (curvature == 0) node.append_attribute(name) = "INF";
    else SetNumber(node, name, 1 / std::fabs(curvature));
}

// Where the tangents at an element's ends meet; nothing where they are parallel.
std::optional<PlanPoint> TangentsMeet(const PlanPose& a, const PlanPose& b) {
    const double un = std::cos(a.azimuth), ue = std::sin(a.azimuth);
    const double vn = std::cos(b.azimuth), ve = std::sin(b.azimuth);
    const double cross = un * ve - ue * vn;
    if (std::fabs(cross) < 1e-9) return std::nullopt;
    const double t = ((b.at.north - a.at.north) * ve - (b.at.east - a.at.east) * vn) / cross;
    if (!(t > 0)) return std::nullopt;
    return PlanPoint{a.at.north + t * un, a.at.east + t * ue};
}

// The route's elements, in "north east" order, with the alignment's stations.
void FillCoordGeom(pugi::xml_node alignment, const Plan& plan) {
    pugi::xml_node geometry = alignment.prepend_child("CoordGeom");
    for (std::size_t i = 0; i < plan.Elements().size(); ++i) {
        const PlanElement& e = plan.Elements()[i];
        const PlanPose start = plan.AtInElement(i, e.start), end = plan.AtInElement(i, e.End());
        const char* rot = e.k0 + e.k1 > 0 ? "cw" : "ccw";
        pugi::xml_node node;
        switch (e.kind) {
            case PlanElementKind::Line: node = geometry.append_child("Line"); break;
            case PlanElementKind::Arc: node = geometry.append_child("Curve"); break;
            case PlanElementKind::Spiral: node = geometry.append_child("Spiral"); break;
        }
        SetNumber(node, "staStart", e.start);
        SetNumber(node, "length", e.length);
        if (e.kind == PlanElementKind::Arc) {
            node.append_attribute("rot") = rot;
            SetNumber(node, "radius", 1 / std::fabs(e.k0));
            node.append_attribute("crvType") = "arc";
        } else if (e.kind == PlanElementKind::Spiral) {
            node.append_attribute("rot") = rot;
            SetRadius(node, "radiusStart", e.k0);
            SetRadius(node, "radiusEnd", e.k1);
            node.append_attribute("spiType") = "clothoid";
        }
        SetPoint(node.append_child("Start"), start.at);
        if (e.kind == PlanElementKind::Arc) {
            const double side = e.k0 > 0 ? 1 : -1;
            const double R = 1 / std::fabs(e.k0);
            // The centre on the side the curve turns to, square to the start tangent.
            SetPoint(node.append_child("Center"), {start.at.north - side * R * std::sin(start.azimuth),
                                                   start.at.east + side * R * std::cos(start.azimuth)});
        }
        SetPoint(node.append_child("End"), end.at);
        if (e.kind != PlanElementKind::Line)
            if (const std::optional<PlanPoint> pi = TangentsMeet(start, end)) SetPoint(node.append_child("PI"), *pi);
    }
    SetNumber(alignment, "staStart", plan.StartStation());
    SetNumber(alignment, "length", plan.EndStation() - plan.StartStation());
    const Chainage& chains = plan.Chains();
    for (std::size_t i = 0; i < chains.Breaks().size(); ++i) {
        pugi::xml_node equation = alignment.insert_child_after("StaEquation", geometry);
        SetNumber(equation, "staBack", chains.Breaks()[i].back);
        SetNumber(equation, "staAhead", chains.Breaks()[i].ahead);
        SetNumber(equation, "staInternal", chains.BreakInternal(i));
        geometry = equation;
    }
}

void SetAttribute(pugi::xml_node node, const char* name, double value) {
    node.remove_attribute(name);
    SetNumber(node, name, value);
}

}  // namespace

std::string PlanLandXmlBytes(const Plan& plan, std::string_view alignmentName, std::string_view existing) {
    const std::string name = alignmentName.empty() ? std::string("Tarnvel") : std::string(alignmentName);
    pugi::xml_document doc;
    if (!existing.empty() && doc.load_buffer(existing.data(), existing.size())) {
        // Into the file as it is: the alignment of that name (or the only one)
        // gets the new horizontal geometry; its profiles, the file's surfaces
        // and everything else stay.
        pugi::xml_node alignments = doc.child("LandXML").child("Alignments");
        pugi::xml_node alignment;
        for (pugi::xml_node a : alignments.children("Alignment"))
            if (name == a.attribute("name").value()) alignment = a;
        if (!alignment && alignmentName.empty() && alignments.child("Alignment") &&
            !alignments.child("Alignment").next_sibling("Alignment"))
            alignment = alignments.child("Alignment");
        if (doc.child("LandXML")) {
            if (!alignments) alignments = doc.child("LandXML").append_child("Alignments");
            if (!alignment) {
                alignment = alignments.append_child("Alignment");
                alignment.append_attribute("name") = name.c_str();
            }
            while (pugi::xml_node old = alignment.child("CoordGeom")) alignment.remove_child(old);
            while (pugi::xml_node old = alignment.child("StaEquation")) alignment.remove_child(old);
            FillCoordGeom(alignment, plan);
            SetAttribute(alignment, "staStart", plan.StartStation());
            SetAttribute(alignment, "length", plan.EndStation() - plan.StartStation());
            return DocumentText(doc);
        }
        doc.reset();
    }
    pugi::xml_node root = NewLandXmlRoot(doc, plan.Unit(), name);
    pugi::xml_node alignment = root.append_child("Alignments").append_child("Alignment");
    alignment.append_attribute("name") = name.c_str();
    FillCoordGeom(alignment, plan);
    return DocumentText(doc);
}

}  // namespace tarnvel::io

namespace tarnvel::io {
namespace {

// The 交点表 as typed, one tarnvel:JD a row: every number the shortest text
// that reads back, the stations as labels ("(2)" kept), an empty curve of
// the start and end rows left out.
void AppendIntersections(pugi::xml_node alignment, const IntersectionTable& table) {
    pugi::xml_node feature = alignment.append_child("Feature");
    feature.append_attribute("name") = "交点表";
    feature.append_attribute("code") = kIntersectionsFeatureCode;
    for (std::size_t i = 0; i < table.points.size(); ++i) {
        const IntersectionPoint& p = table.points[i];
        pugi::xml_node jd = feature.append_child(kIntersectionElement);
        jd.append_attribute("name") = p.name.c_str();
        SetNumber(jd, "north", p.at.north);
        SetNumber(jd, "east", p.at.east);
        const bool end = i == 0 || i + 1 == table.points.size();
        for (const auto& [name, value] : {std::pair{"radius", p.radius}, std::pair{"spiralIn", p.spiralIn},
                                          std::pair{"spiralOut", p.spiralOut}})
            if (!end || value != 0) SetNumber(jd, name, value);
        if (i == 0) jd.append_attribute("station") = CsvStationText(table.start).c_str();
        else if (p.station) jd.append_attribute("station") = CsvStationText(*p.station).c_str();
    }
}

// A ProfAlign is named by its name, or by its Profile's when it has none, as the readers name it.
bool NamedProfAlign(pugi::xml_node node, std::string_view name) {
    if (!Is(node, "ProfAlign")) return false;
    const std::string_view own = Attribute(node, "name").value();
    return own.empty() ? Attribute(node.parent(), "name").value() == name : own == name;
}

pugi::xml_node ChildProfileNamed(pugi::xml_node alignment, std::string_view name) {
    for (pugi::xml_node profile : alignment.children()) {
        if (!Is(profile, "Profile")) continue;
        for (pugi::xml_node profAlign : profile.children())
            if (NamedProfAlign(profAlign, name)) return profile;
    }
    return {};
}

void RemoveChildren(pugi::xml_node node, std::string_view local) {
    for (pugi::xml_node child = node.first_child(); child;) {
        const pugi::xml_node next = child.next_sibling();
        if (Is(child, local)) node.remove_child(child);
        child = next;
    }
}

void RemoveIntersections(pugi::xml_node alignment) {
    for (pugi::xml_node child = alignment.first_child(); child;) {
        const pugi::xml_node next = child.next_sibling();
        if (Is(child, "Feature") && std::string_view(Attribute(child, "code").value()) == kIntersectionsFeatureCode)
            alignment.remove_child(child);
        child = next;
    }
}

}  // namespace

Result<std::string> RoadLandXmlBytes(const RoadFileContent& road, std::string_view existing, std::string_view path) {
    // The profile as a file of its own first, then the plan put into its alignment.
    const std::string fresh = LandXmlBytes(road.model, road.alignment, road.grounds, road.checks);
    pugi::xml_document doc;
    doc.load_buffer(fresh.data(), fresh.size());
    pugi::xml_node made = doc.child("LandXML").child("Alignments").child("Alignment");
    if (road.plan) {
        RemoveChildren(made, "CoordGeom");
        RemoveChildren(made, "StaEquation");
        FillCoordGeom(made, *road.plan);
        SetAttribute(made, "staStart", road.plan->StartStation());
        SetAttribute(made, "length", road.plan->EndStation() - road.plan->StartStation());
    }
    if (road.intersections) AppendIntersections(made, *road.intersections);
    if (existing.empty()) return DocumentText(doc);

    // Into the file as it is: this alignment's geometry, stations, profile
    // and 交点表 replaced; its other profiles, the other alignments, the
    // surfaces and everything else stay as they were.
    pugi::xml_document into;
    Result<pugi::xml_node> root = LoadLandXmlRoot(into, existing, path);
    if (!root.ok()) return root.failure();
    Result<HeldUnit> unit = ReadLandXmlUnit(root.value(), path);
    if (!unit.ok()) return unit.failure();
    if (unit.value().unit != road.model.unit || unit.value().powerOfTen != 0)
        return NotProfileFailure(path, "的长度单位与要保存的道路（" + std::string(LengthUnitName(road.model.unit)) +
                                           "）不同：写入其中会使其余内容的数值读错，未写入。请另存为新文件。");
    pugi::xml_node alignments;
    for (pugi::xml_node child : root.value().children())
        if (!alignments && Is(child, "Alignments")) alignments = child;
    if (!alignments) alignments = root.value().append_child("Alignments");
    const std::string name = Attribute(made, "name").value();
    pugi::xml_node target;
    for (pugi::xml_node a : alignments.children())
        if (!target && Is(a, "Alignment") && name == Attribute(a, "name").value()) target = a;
    if (!target) {
        alignments.append_copy(made);
        return DocumentText(into);
    }
    RemoveChildren(target, "CoordGeom");
    RemoveChildren(target, "StaEquation");
    RemoveIntersections(target);
    const pugi::xml_node profile = made.child("Profile");
    if (pugi::xml_node old = ChildProfileNamed(target, road.model.name)) {
        // In the Profile that holds this profile: its ProfAlign and the
        // ground shown with it (the first ProfSurf, which an open loads)
        // replaced, first, so that they open again; the other profiles and
        // surfaces beside them stay.
        pugi::xml_node firstSurface;
        for (pugi::xml_node child = old.first_child(); child;) {
            const pugi::xml_node next = child.next_sibling();
            if (Is(child, "ProfSurf") && !firstSurface) firstSurface = child;
            else if (NamedProfAlign(child, road.model.name))
                old.remove_child(child);
            child = next;
        }
        if (firstSurface) old.remove_child(firstSurface);
        pugi::xml_node after;
        for (pugi::xml_node child : profile.children())
            after = after ? old.insert_copy_after(child, after) : old.prepend_copy(child);
    } else {
        target.append_copy(profile);
    }
    // The geometry first and the stations after it, as the schema orders them.
    pugi::xml_node after;
    for (pugi::xml_node child : made.children()) {
        if (Is(child, "Profile")) continue;
        if (Is(child, "Feature")) {
            target.append_copy(child);
            continue;
        }
        after = after ? target.insert_copy_after(child, after) : target.prepend_copy(child);
    }
    for (const char* attribute : {"staStart", "length"}) {
        target.remove_attribute(attribute);
        target.append_attribute(attribute) = made.attribute(attribute).value();
    }
    if (!root.value().attribute("xmlns:tarnvel")) root.value().append_attribute("xmlns:tarnvel") = kTarnvelXmlNamespace;
    return DocumentText(into);
}

}  // namespace tarnvel::io
