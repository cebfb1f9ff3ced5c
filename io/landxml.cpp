// LandXML profiles: ProfAlign read with pugixml, elements matched by their
// local names so that LandXML 1.0, 1.1 and 1.2 and files that put the
// elements in another namespace (InfraModel) all read alike.
//
// Stations in a LandXML profile are internal stations: the distance along the
// alignment with no station equation applied. The model holds the labels the
// drawings show, so the reader maps every station through the alignment's
// StaEquations and the writer maps it back.

#include <algorithm>
#include <cmath>
#include <ctime>
#include <memory>

#include <pugixml.hpp>

#include "io/exact_number.h"
#include "io/profile_files.h"

namespace tarnvel::io {
namespace {

constexpr const char* kNamespace12 = "http://www.landxml.org/schema/LandXML-1.2";

IoFailure Fail(std::string_view path, std::string_view what) {
    std::string text = "文件“";
    text += path;
    text += "”";
    text += what;
    return IoFailure{FailureKind::NotProfile, text};
}

std::string_view LocalName(const char* name) {
    const std::string_view view(name);
    const std::size_t colon = view.rfind(':');
    return colon == std::string_view::npos ? view : view.substr(colon + 1);
}

bool Is(pugi::xml_node node, std::string_view local) {
    return node.type() == pugi::node_element && LocalName(node.name()) == local;
}

pugi::xml_attribute Attribute(pugi::xml_node node, std::string_view local) {
    for (pugi::xml_attribute a : node.attributes())
        if (LocalName(a.name()) == local) return a;
    return {};
}

// Line of a byte offset, for messages (1-based).
std::size_t LineOf(std::string_view bytes, std::ptrdiff_t offset) {
    if (offset < 0) return 0;
    const std::size_t end = std::min(bytes.size(), static_cast<std::size_t>(offset));
    return 1 + static_cast<std::size_t>(std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

std::string Place(std::string_view bytes, pugi::xml_node node) {
    const std::size_t line = LineOf(bytes, node.offset_debug());
    std::string text = line > 0 ? "第" + std::to_string(line) + "行的" : std::string();
    text += "<";
    text += LocalName(node.name());
    text += ">";
    return text;
}

const char* ParseStatusText(pugi::xml_parse_status status) {
    switch (status) {
        case pugi::status_unrecognized_tag: return "标签无法识别";
        case pugi::status_bad_pi: return "处理指令有误";
        case pugi::status_bad_comment: return "注释有误";
        case pugi::status_bad_cdata: return "CDATA段有误";
        case pugi::status_bad_doctype: return "文档类型声明有误";
        case pugi::status_bad_pcdata: return "文本有误";
        case pugi::status_bad_start_element: return "开始标签有误";
        case pugi::status_bad_attribute: return "属性有误";
        case pugi::status_bad_end_element: return "结束标签有误";
        case pugi::status_end_element_mismatch: return "结束标签与开始标签不配对";
        case pugi::status_append_invalid_root: return "根元素有误";
        case pugi::status_no_document_element: return "没有根元素";
        case pugi::status_out_of_memory: return "内存不足";
        default: return "格式有误";
    }
}

struct Document {
    std::unique_ptr<pugi::xml_document> xml = std::make_unique<pugi::xml_document>();
    pugi::xml_node root;
};

Result<Document> Load(std::string_view bytes, std::string_view path) {
    Document document;
    const pugi::xml_parse_result parsed =
        document.xml->load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_auto);
    if (!parsed) {
        if (parsed.status == pugi::status_out_of_memory) throw std::bad_alloc();
        return Fail(path, "不是有效的XML文件：第" + std::to_string(LineOf(bytes, parsed.offset)) + "行" +
                              ParseStatusText(parsed.status) + "。");
    }
    document.root = document.xml->document_element();
    if (!Is(document.root, "LandXML"))
        return Fail(path, "不是LandXML文件：根元素是<" + std::string(LocalName(document.root.name())) +
                              ">，应为<LandXML>。");
    return document;
}

struct FoundProfile {
    pugi::xml_node alignment;
    pugi::xml_node profAlign;
    LandXmlProfileName name;
};

std::vector<FoundProfile> FindProfiles(pugi::xml_node root) {
    std::vector<FoundProfile> found;
    for (pugi::xml_node alignments : root.children()) {
        if (!Is(alignments, "Alignments")) continue;
        for (pugi::xml_node alignment : alignments.children()) {
            if (!Is(alignment, "Alignment")) continue;
            for (pugi::xml_node profile : alignment.children()) {
                if (!Is(profile, "Profile")) continue;
                for (pugi::xml_node profAlign : profile.children()) {
                    if (!Is(profAlign, "ProfAlign")) continue;
                    std::string name = Attribute(profAlign, "name").value();
                    if (name.empty()) name = Attribute(profile, "name").value();
                    found.push_back({alignment, profAlign, {Attribute(alignment, "name").value(), name}});
                }
            }
        }
    }
    return found;
}

std::string FullName(const LandXmlProfileName& name) { return name.alignment + "/" + name.profile; }

std::string NameList(const std::vector<FoundProfile>& found) {
    std::string list;
    for (const FoundProfile& f : found) {
        if (!list.empty()) list += "、";
        list += "“" + FullName(f.name) + "”";
    }
    return list;
}

Result<FoundProfile> Choose(const std::vector<FoundProfile>& found, std::string_view name, std::string_view path) {
    if (found.empty()) return Fail(path, "中没有纵断面（Alignment/Profile/ProfAlign）。");
    if (name.empty()) return found.front();
    for (const FoundProfile& f : found)
        if (FullName(f.name) == name) return f;
    std::vector<FoundProfile> matches;
    for (const FoundProfile& f : found)
        if (f.name.profile == name) matches.push_back(f);
    if (matches.size() == 1) return matches.front();
    const std::string quoted = "“" + std::string(name) + "”";
    if (matches.size() > 1)
        return Fail(path, "中有" + std::to_string(matches.size()) + "个纵断面名为" + quoted +
                              "，请写成“线路名/纵断面名”：" + NameList(matches) + "。");
    return Fail(path, "中没有名为" + quoted + "的纵断面；文件中的纵断面有：" + NameList(found) + "。");
}

Result<LengthUnit> ReadUnit(pugi::xml_node root, std::string_view path) {
    for (pugi::xml_node units : root.children()) {
        if (!Is(units, "Units")) continue;
        for (pugi::xml_node unit : units.children()) {
            const std::string linear = Attribute(unit, "linearUnit").value();
            if (Is(unit, "Metric")) {
                if (linear.empty() || linear == "meter") return LengthUnit::Metre;
            } else if (Is(unit, "Imperial")) {
                if (linear == "foot") return LengthUnit::Foot;
                if (linear == "USSurveyFoot") return LengthUnit::USSurveyFoot;
            } else {
                continue;
            }
            return Fail(path, "的长度单位“" + linear +
                                  "”无法使用：只支持米（meter）、英尺（foot）和美国测量英尺（USSurveyFoot）。");
        }
    }
    return LengthUnit::Metre;  // no Units: metres, as most files are
}

// A number attribute; `required` ones must be there.
Result<std::optional<double>> NumberAttribute(pugi::xml_node node, std::string_view local, bool required,
                                              std::string_view bytes, std::string_view path) {
    const pugi::xml_attribute a = Attribute(node, local);
    if (!a) {
        if (!required) return std::optional<double>();
        return Fail(path, Place(bytes, node) + "缺少" + std::string(local) + "属性。");
    }
    const std::optional<double> value = ReadExactNumber(a.value());
    if (!value)
        return Fail(path, Place(bytes, node) + "的" + std::string(local) + "属性“" + a.value() + "”不是数。");
    return value;
}

// The StaEquations of an alignment as breaks in road order. Where a file
// gives only staInternal and staAhead (as many do), the label behind the
// break follows from the stationing before it.
Result<std::vector<ChainBreak>> ReadChains(pugi::xml_node alignment, std::string_view bytes, std::string_view path) {
    struct Equation {
        pugi::xml_node node;
        std::optional<double> back, ahead, internal;
    };
    std::vector<Equation> equations;
    for (pugi::xml_node node : alignment.children()) {
        if (!Is(node, "StaEquation")) continue;
        Equation e{node, {}, {}, {}};
        auto back = NumberAttribute(node, "staBack", false, bytes, path);
        auto ahead = NumberAttribute(node, "staAhead", true, bytes, path);
        auto internal = NumberAttribute(node, "staInternal", false, bytes, path);
        if (!back.ok()) return back.failure();
        if (!ahead.ok()) return ahead.failure();
        if (!internal.ok()) return internal.failure();
        e.back = back.value();
        e.ahead = ahead.value();
        e.internal = internal.value();
        if (!e.back && !e.internal) return Fail(path, Place(bytes, node) + "缺少staBack和staInternal属性，断链位置不明。");
        equations.push_back(e);
    }
    const bool allInternal = std::all_of(equations.begin(), equations.end(), [](const Equation& e) { return e.internal.has_value(); });
    if (allInternal)
        std::stable_sort(equations.begin(), equations.end(),
                         [](const Equation& a, const Equation& b) { return *a.internal < *b.internal; });

    std::vector<ChainBreak> breaks;
    double previousInternal = 0, previousAhead = 0;
    for (std::size_t i = 0; i < equations.size(); ++i) {
        const Equation& e = equations[i];
        // Before the first break the label is the internal station.
        const auto internalOf = [&](double back) { return i == 0 ? back : previousInternal + (back - previousAhead); };
        const auto backOf = [&](double internal) { return i == 0 ? internal : previousAhead + (internal - previousInternal); };
        const double back = e.back ? *e.back : backOf(*e.internal);
        const double internal = e.internal ? *e.internal : internalOf(back);
        if (e.back && e.internal) {
            const double expected = internalOf(*e.back);
            // Files round their numbers; a millimetre is far below any real
            // disagreement and far above rounding.
            if (!(std::fabs(expected - internal) <= 1e-3))
                return Fail(path, Place(bytes, e.node) + "前后不一致：按staBack=" + ExactNumberText(*e.back) +
                                      "推算的内部里程为" + ExactNumberText(expected) + "，而staInternal为" +
                                      ExactNumberText(internal) + "。");
        }
        breaks.push_back({back, *e.ahead});
        previousInternal = internal;
        previousAhead = *e.ahead;
    }
    return breaks;
}

Result<ProfilePoint> ReadPoint(pugi::xml_node node, std::string_view bytes, std::string_view path) {
    std::string text;
    for (pugi::xml_node child : node.children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) text += child.value();
    std::vector<std::string_view> words;
    std::string_view rest = text;
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!rest.empty()) {
        while (!rest.empty() && blank(rest.front())) rest.remove_prefix(1);
        std::size_t n = 0;
        while (n < rest.size() && !blank(rest[n])) ++n;
        if (n > 0) words.push_back(rest.substr(0, n));
        rest.remove_prefix(n);
    }
    std::optional<double> station, elevation;
    if (words.size() == 2) {
        station = ReadExactNumber(words[0]);
        elevation = ReadExactNumber(words[1]);
    }
    if (!station || !elevation)
        return Fail(path, Place(bytes, node) + "的内容“" + text.substr(0, 80) + "”应为“桩号 高程”两个数。");

    ProfilePoint point;
    point.station = Station{*station, 0};
    point.elevation = *elevation;
    CurveSpec& curve = point.curve;
    const auto number = [&](std::string_view name) { return NumberAttribute(node, name, true, bytes, path); };
    if (Is(node, "ParaCurve")) {
        auto length = number("length");
        if (!length.ok()) return length.failure();
        curve = {CurveKind::ParabolaLength, 0, *length.value(), 0, 0};
    } else if (Is(node, "UnsymParaCurve")) {
        auto in = number("lengthIn");
        auto out = number("lengthOut");
        if (!in.ok()) return in.failure();
        if (!out.ok()) return out.failure();
        curve = {CurveKind::Unsymmetric, 0, 0, *in.value(), *out.value()};
    } else if (Is(node, "CircCurve")) {
        // Real files disagree on the sign of the radius; crest or sag follows
        // from the grades.
        auto radius = number("radius");
        if (!radius.ok()) return radius.failure();
        curve = {CurveKind::Circular, std::fabs(*radius.value()), 0, 0, 0};
    }
    // Some tools write a curve element of zero size for a plain grade break.
    if (curve.radius == 0 && curve.length == 0 && curve.lengthIn == 0 && curve.lengthOut == 0) curve = CurveSpec{};
    return point;
}

bool IsPointElement(pugi::xml_node node) {
    return Is(node, "PVI") || Is(node, "ParaCurve") || Is(node, "UnsymParaCurve") || Is(node, "CircCurve");
}

// ---- Writing ----------------------------------------------------------------

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

void SetNumber(pugi::xml_node node, const char* name, double value) {
    node.append_attribute(name).set_value(ExactNumberText(std::isfinite(value) ? value : 0).c_str());
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
        return back.value == label.value && (back.occurrence == label.occurrence || (back.occurrence == 0 && label.occurrence <= 1));
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

}  // namespace

Result<std::vector<LandXmlProfileName>> ListLandXmlProfiles(std::string_view bytes, std::string_view path) {
    Result<Document> document = Load(bytes, path);
    if (!document.ok()) return document.failure();
    std::vector<LandXmlProfileName> names;
    for (const FoundProfile& f : FindProfiles(document.value().root)) names.push_back(f.name);
    return names;
}

Result<ProfileModel> ParseLandXml(std::string_view bytes, std::string_view name, std::string_view path) {
    Result<Document> document = Load(bytes, path);
    if (!document.ok()) return document.failure();
    const pugi::xml_node root = document.value().root;
    Result<FoundProfile> chosen = Choose(FindProfiles(root), name, path);
    if (!chosen.ok()) return chosen.failure();
    Result<LengthUnit> unit = ReadUnit(root, path);
    if (!unit.ok()) return unit.failure();
    Result<std::vector<ChainBreak>> chains = ReadChains(chosen.value().alignment, bytes, path);
    if (!chains.ok()) return chains.failure();

    ProfileModel model;
    model.name = chosen.value().name.profile;
    model.unit = unit.value();
    model.chains = std::move(chains.value());
    for (pugi::xml_node node : chosen.value().profAlign.children()) {
        if (!IsPointElement(node)) continue;
        Result<ProfilePoint> point = ReadPoint(node, bytes, path);
        if (!point.ok()) return point.failure();
        model.points.push_back(point.value());
    }
    if (!model.chains.empty()) {
        std::string error;
        const std::optional<Chainage> chainage = Chainage::Make(model.chains, &error);
        if (!chainage) return Fail(path, "的断链（StaEquation）有误：" + error);
        try {
            for (ProfilePoint& point : model.points) point.station = chainage->ToLabel(point.station.value);
        } catch (const StationError& e) {
            return Fail(path, std::string("的断链（StaEquation）有误：") + e.what());
        }
    }
    return model;
}

std::string LandXmlBytes(const ProfileModel& model) {
    std::optional<Chainage> chainage = Chainage::Make(model.chains);
    if (!chainage) chainage = Chainage();  // invalid breaks: labels are written as they are
    std::vector<double> internal;
    for (const ProfilePoint& p : model.points) internal.push_back(InternalFor(*chainage, p.station));

    pugi::xml_document doc;

    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    pugi::xml_node root = doc.append_child("LandXML");
    root.append_attribute("xmlns") = kNamespace12;
    root.append_attribute("xmlns:xsi") = "http://www.w3.org/2001/XMLSchema-instance";
    root.append_attribute("xsi:schemaLocation") =
        "http://www.landxml.org/schema/LandXML-1.2 http://www.landxml.org/schema/LandXML-1.2/LandXML-1.2.xsd";
    root.append_attribute("version") = "1.2";
    root.append_attribute("date") = DateText(utc, true).c_str();
    root.append_attribute("time") = DateText(utc, false).c_str();

    pugi::xml_node units = root.append_child("Units");
    if (model.unit == LengthUnit::Metre) {
        pugi::xml_node metric = units.append_child("Metric");
        metric.append_attribute("areaUnit") = "squareMeter";
        metric.append_attribute("linearUnit") = "meter";
        metric.append_attribute("volumeUnit") = "cubicMeter";
        metric.append_attribute("temperatureUnit") = "celsius";
        metric.append_attribute("pressureUnit") = "HPA";
    } else {
        pugi::xml_node imperial = units.append_child("Imperial");
        imperial.append_attribute("areaUnit") = "squareFoot";
        imperial.append_attribute("linearUnit") = model.unit == LengthUnit::Foot ? "foot" : "USSurveyFoot";
        imperial.append_attribute("volumeUnit") = "cubicFeet";
        imperial.append_attribute("temperatureUnit") = "fahrenheit";
        imperial.append_attribute("pressureUnit") = "inchHG";
    }
    const std::string alignmentName = model.name.empty() ? "Tarnvel" : model.name;
    root.append_child("Project").append_attribute("name") = alignmentName.c_str();
    root.append_child("Application").append_attribute("name") = "Tarnvel";

    const double start = internal.empty() ? 0 : internal.front();
    const double length = internal.empty() ? 0 : internal.back() - internal.front();
    pugi::xml_node alignment = root.append_child("Alignments").append_child("Alignment");
    alignment.append_attribute("name") = alignmentName.c_str();
    SetNumber(alignment, "length", length);
    SetNumber(alignment, "staStart", start);
    // The schema wants a horizontal geometry; a straight line of the
    // profile's length stands in for the one this program does not know.
    pugi::xml_node line = alignment.append_child("CoordGeom").append_child("Line");
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
        const double gradeIn = inner ? (points[i].elevation - points[i - 1].elevation) / (internal[i] - internal[i - 1]) * 100 : 0;
        const double gradeOut = inner ? (points[i + 1].elevation - points[i].elevation) / (internal[i + 1] - internal[i]) * 100 : 0;
        pugi::xml_node node;
        switch (curve.kind) {
            case CurveKind::None:
                node = profAlign.append_child("PVI");
                break;
            case CurveKind::ParabolaRadius:
                // LandXML has no parabola given by its radius: it is written
                // with its length L = R × |Δi| / 100 and reads back as a
                // parabola given by that length, the same curve.
                node = profAlign.append_child("ParaCurve");
                SetNumber(node, "length", curve.radius * std::fabs(gradeOut - gradeIn) / 100);
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
                SetNumber(node, "length", curve.radius * turn);
                SetNumber(node, "radius", curve.radius);
                break;
            }
        }
        SetPointText(node, internal[i], points[i].elevation);
    }

    StringWriter writer;
    doc.save(writer, "  ", pugi::format_default | pugi::format_no_declaration, pugi::encoding_utf8);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + writer.text;
}

}  // namespace tarnvel::io
