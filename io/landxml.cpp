// LandXML profiles read: ProfAlign with pugixml, elements matched by their
// local names so that LandXML 1.0, 1.1 and 1.2 and files that put the
// elements in another namespace (InfraModel) all read alike.
//
// Stations in a LandXML profile are internal stations: the distance along the
// alignment with no station equation applied. The model holds the labels the
// drawings show, so the reader maps every station through the alignment's
// StaEquations and the writer maps it back.

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

#include <pugixml.hpp>

#include "core/calculator/number_text.h"
#include "io/exact_number.h"
#include "io/landxml_profiles.h"
#include "io/landxml_scan.h"
#include "io/profile_files.h"
#include "io/xml_names.h"
#include "core/text/messages.h"
#include "core/text/quoted_input.h"

namespace tarnvel::io {
namespace {

// Line of a byte offset, for messages (1-based).
std::size_t LineOf(std::string_view bytes, std::ptrdiff_t offset) {
    if (offset < 0) return 0;
    const std::size_t end = std::min(bytes.size(), static_cast<std::size_t>(offset));
    return 1 +
           static_cast<std::size_t>(std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

}  // namespace

std::string NodePlace(std::string_view bytes, pugi::xml_node node) {
    const std::size_t line = LineOf(bytes, node.offset_debug());
    std::string text = line > 0 ? "第" + std::to_string(line) + "行的" : std::string();
    text += "<";
    text += LocalName(node.name());
    text += ">";
    return text;
}

namespace {

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

}  // namespace

// Parsed in place: the element names and texts stay in `bytes`, which must
// outlive the document. A text is kept in its element (no node of its own),
// which halves the nodes of a profile or a surface.
Result<LandXmlDocument> LoadLandXmlDocument(std::string& bytes, std::string_view path) {
    LandXmlDocument document;
    const pugi::xml_parse_result parsed = document.xml->load_buffer_inplace(
        bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_embed_pcdata, pugi::encoding_auto);
    if (!parsed) {
        if (parsed.status == pugi::status_out_of_memory) throw std::bad_alloc();
        return NotProfileFailure(path, "不是有效的XML文件：第" + std::to_string(LineOf(bytes, parsed.offset)) + "行" +
                              ParseStatusText(parsed.status) + "。");
    }
    document.root = document.xml->document_element();
    if (!Is(document.root, "LandXML"))
        return NotProfileFailure(path,
                    "不是LandXML文件：根元素是<" + QuotedInput(LocalName(document.root.name())) + ">，应为<LandXML>。");
    return document;
}

std::vector<FoundProfile> FindProfiles(pugi::xml_node root) {
    std::vector<FoundProfile> found;
    ForEachProfileElement(root, [&found](pugi::xml_node alignment, pugi::xml_node profile) {
        for (pugi::xml_node profAlign : profile.children()) {
            if (!Is(profAlign, "ProfAlign")) continue;
            std::string name = Attribute(profAlign, "name").value();
            if (name.empty()) name = Attribute(profile, "name").value();
            found.push_back({alignment, profAlign, {Attribute(alignment, "name").value(), name}});
        }
    });
    return found;
}

namespace {

std::string FullName(const LandXmlProfileName& name) { return name.alignment + "/" + name.profile; }

std::string NameList(const std::vector<FoundProfile>& found) {
    std::vector<std::string> names;
    for (const FoundProfile& f : found) names.push_back(FullName(f.name));
    return QuotedList(names, "个");
}

}  // namespace

Result<FoundProfile> ChooseProfile(const std::vector<FoundProfile>& found, std::string_view name,
                                   std::string_view path) {
    if (found.empty()) return NotProfileFailure(path, "中没有纵断面（Alignment/Profile/ProfAlign）。");
    if (name.empty()) return found.front();
    const std::string quoted = "“" + QuotedInput(name) + "”";
    std::vector<FoundProfile> matches;
    for (const FoundProfile& f : found)
        if (FullName(f.name) == name) matches.push_back(f);
    // Two alignments of one name, each with a profile of one name: taking the
    // first would quietly give the wrong road.
    if (matches.size() > 1)
        return NotProfileFailure(path, "中有" + std::to_string(matches.size()) + "个纵断面都名为" + quoted +
                                           "（同名的线路或纵断面），无法区分：请先在设计软件中为它们改用不同的名称。");
    if (matches.size() == 1) return matches.front();
    for (const FoundProfile& f : found)
        if (f.name.profile == name) matches.push_back(f);
    if (matches.size() == 1) return matches.front();
    if (matches.size() > 1)
        return NotProfileFailure(path, "中有" + std::to_string(matches.size()) + "个纵断面名为" + quoted +
                              "，请写成“线路名/纵断面名”：" + NameList(matches) + "。");
    return NotProfileFailure(path, "中没有名为" + quoted + "的纵断面；文件中的纵断面有：" + NameList(found) + "。");
}

Result<HeldUnit> ReadLandXmlUnit(pugi::xml_node root, std::string_view path) {
    for (pugi::xml_node units : root.children()) {
        if (!Is(units, "Units")) continue;
        for (pugi::xml_node element : units.children()) {
            const bool metric = Is(element, "Metric");
            if (!metric && !Is(element, "Imperial")) continue;
            // A Metric element without linearUnit is in metres; an Imperial one says which foot.
            std::string_view linear = Attribute(element, "linearUnit").value();
            if (metric && linear.empty()) linear = "meter";
            // Elevations may state their own unit; it must be the stations'.
            const std::string_view elevation = Attribute(element, "elevationUnit").value();
            UnitProblem problem;
            const std::optional<Unit> unit = UnitFromLandXmlName(linear);
            const std::optional<Unit> elevationUnit = elevation.empty() ? unit : UnitFromLandXmlName(elevation);
            if (!unit || !elevationUnit) {
                problem.fault = UnitFault::Unknown;
                problem.word = std::string(unit ? elevation : linear);
            } else if (*elevationUnit != *unit) {
                problem.fault = UnitFault::Conflicting;
                problem.column = "linearUnit";
                problem.otherColumn = "elevationUnit";
                problem.attributes = true;
                problem.first = *unit;
                problem.second = *elevationUnit;
            } else if (const std::optional<HeldUnit> held = HeldAs(*unit)) {
                return *held;
            } else {
                problem.fault = UnitFault::NotConvertible;
                problem.first = *unit;
            }
            return UnitFailure(path, "（<" + std::string(LocalName(element.name())) + ">）的", problem);
        }
    }
    return HeldUnit{};  // no Units: metres, as most files are
}

Result<std::optional<double>> NumberAttribute(pugi::xml_node node, std::string_view local, bool required,
                                              std::string_view bytes, std::string_view path) {
    const pugi::xml_attribute a = Attribute(node, local);
    if (!a) {
        if (!required) return std::optional<double>();
        return NotProfileFailure(path, NodePlace(bytes, node) + "缺少" + std::string(local) + "属性。");
    }
    const std::optional<double> value = ReadWholeNumber(a.value());
    if (!value) return NotProfileFailure(path, NodePlace(bytes, node) + "的" + std::string(local) + "属性“" + QuotedInput(a.value()) + "”不是数。");
    return value;
}

Result<std::vector<ChainBreak>> ReadStaEquations(pugi::xml_node alignment, std::string_view bytes, std::string_view path) {
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
        if (!e.back && !e.internal)
            return NotProfileFailure(path, NodePlace(bytes, node) + "缺少staBack和staInternal属性，断链位置不明。");
        equations.push_back(e);
    }
    const bool allInternal =
        std::all_of(equations.begin(), equations.end(), [](const Equation& e) { return e.internal.has_value(); });
    if (allInternal)
        std::stable_sort(equations.begin(), equations.end(),
                         [](const Equation& a, const Equation& b) { return *a.internal < *b.internal; });

    std::vector<ChainBreak> breaks;
    double previousInternal = 0, previousAhead = 0;
    for (std::size_t i = 0; i < equations.size(); ++i) {
        const Equation& e = equations[i];
        // Before the first break the label is the internal station.
        const auto internalOf = [&](double back) { return i == 0 ? back : previousInternal + (back - previousAhead); };
        const auto backOf = [&](double internal) {
            return i == 0 ? internal : previousAhead + (internal - previousInternal);
        };
        const double back = e.back ? *e.back : backOf(*e.internal);
        const double internal = e.internal ? *e.internal : internalOf(back);
        if (e.back && e.internal) {
            const double expected = internalOf(*e.back);
            // Files round their numbers; a millimetre is far below any real
            // disagreement and far above rounding.
            if (!(std::fabs(expected - internal) <= 1e-3))
                return NotProfileFailure(path, NodePlace(bytes, e.node) + "前后不一致：按staBack=" + ExactNumberText(*e.back) +
                                      "推算的内部里程为" + ExactNumberText(expected) + "，而staInternal为" +
                                      ExactNumberText(internal) + "。");
        }
        breaks.push_back({back, *e.ahead});
        previousInternal = internal;
        previousAhead = *e.ahead;
    }
    return breaks;
}

namespace {

Result<ProfilePoint> ReadPoint(pugi::xml_node node, std::string_view bytes, std::string_view path) {
    // The element's own text (kept in the element by the parse), then any
    // text or CDATA after a comment or a child.
    std::string_view text = node.value();
    std::string joined;
    if (node.first_child()) {
        joined = text;
        for (pugi::xml_node child : node.children())
            if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) joined += child.value();
        text = joined;
    }
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
        station = ReadWholeNumber(words[0]);
        elevation = ReadWholeNumber(words[1]);
    }
    if (!station || !elevation)
        return NotProfileFailure(path, NodePlace(bytes, node) + "的内容“" + QuotedInput(text) + "”应为“桩号 高程”两个数。");

    ProfilePoint point;
    point.station = Station{*station, 0};
    point.elevation = *elevation;
    CurveSpec& curve = point.curve;
    const auto number = [&](std::string_view name) { return NumberAttribute(node, name, true, bytes, path); };
    if (Is(node, "ParaCurve")) {
        auto length = number("length");
        if (!length.ok()) return length.failure();
        curve = {CurveKind::ParabolaLength, 0, *length.value(), 0, 0};
        // The radius Tarnvel keeps beside the length: taken while the length
        // agrees with it (see KeepGivenRadii); one that does not read is ignored.
        if (const pugi::xml_attribute radius = node.attribute(kParabolaRadiusAttribute)) {
            const std::optional<double> r = ReadWholeNumber(radius.value());
            if (r && std::isfinite(*r) && *r > 0) curve.radius = *r;
        }
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

// A parabola read with Tarnvel's radius beside its length is the parabola
// given by that radius where the length is the one the radius gives between
// the grades (the formula the writer used, on the same internal stations);
// where another tool changed a point or the length since, the length rules.
void KeepGivenRadii(std::vector<ProfilePoint>& points) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        CurveSpec& curve = points[i].curve;
        if (curve.kind != CurveKind::ParabolaLength || curve.radius == 0) continue;
        const double radius = curve.radius;
        curve.radius = 0;
        // A curve element of zero size stands for a plain grade break, as in ReadPoint.
        if (curve.length == 0) curve = CurveSpec{};
        if (i == 0 || i + 1 == points.size() || curve.kind == CurveKind::None) continue;
        const ProfilePoint &a = points[i - 1], &p = points[i], &b = points[i + 1];
        const double gradeIn = (p.elevation - a.elevation) / (p.station.value - a.station.value) * 100;
        const double gradeOut = (b.elevation - p.elevation) / (b.station.value - p.station.value) * 100;
        const double length = radius * std::fabs(gradeOut - gradeIn) / 100;
        if (std::isfinite(length) && std::fabs(length - curve.length) <= 1e-9 * std::max(1.0, curve.length))
            curve = {CurveKind::ParabolaRadius, radius, 0, 0, 0};
    }
}

bool IsPointElement(pugi::xml_node node) {
    return Is(node, "PVI") || Is(node, "ParaCurve") || Is(node, "UnsymParaCurve") || Is(node, "CircCurve");
}

// What a file holds besides one alignment's one profile and what this
// program writes around it: whatever a LandXML file written over it would lose.
std::vector<std::string> ContentBeyondProfile(pugi::xml_node root) {
    std::vector<std::string> extra;
    std::size_t alignments = 0, profiles = 0;
    for (pugi::xml_node top : root.children()) {
        if (top.type() != pugi::node_element) continue;
        const std::string_view name = LocalName(top.name());
        if (name == "Units" || name == "Project" || name == "Application") continue;
        if (name != "Alignments") {
            if (name == "Surfaces") extra.push_back("地面模型（Surfaces）");
            else extra.push_back("<" + QuotedInput(name) + ">");
            continue;
        }
        for (pugi::xml_node alignment : top.children()) {
            if (!Is(alignment, "Alignment")) continue;
            ++alignments;
            for (pugi::xml_node part : alignment.children()) {
                if (part.type() != pugi::node_element) continue;
                const std::string_view partName = LocalName(part.name());
                if (partName == "StaEquation") continue;
                if (partName == "CoordGeom") {
                    // The one straight line from (0 0) that stands in for a
                    // horizontal geometry this program does not know.
                    const pugi::xml_node line = part.first_child();
                    const bool placeholder = Is(line, "Line") && !line.next_sibling() &&
                                             std::string_view(line.child_value("Start")) == "0 0";
                    if (!placeholder) extra.push_back("平面线形（CoordGeom）");
                    continue;
                }
                if (partName == "Profile") {
                    for (pugi::xml_node profile : part.children()) {
                        if (Is(profile, "ProfAlign")) ++profiles;
                        else if (Is(profile, "ProfSurf")) extra.push_back("地面线（ProfSurf）");
                    }
                    continue;
                }
                extra.push_back("<" + QuotedInput(partName) + ">");
            }
        }
    }
    if (alignments > 1) extra.push_back("另外" + std::to_string(alignments - 1) + "条线路");
    if (profiles > 1) extra.push_back("另外" + std::to_string(profiles - 1) + "个纵断面");
    std::sort(extra.begin(), extra.end());
    extra.erase(std::unique(extra.begin(), extra.end()), extra.end());
    return extra;
}

// UTF-8 as pugixml takes it without converting a byte, so that the names of
// the parsed document point into `bytes` at the offsets the scan found; and
// no NUL byte, where pugixml's parse of the whole would stop while a piece
// made blank would hide it.
bool ReadAsUtf8(std::string_view bytes) {
    if (bytes.find('\0') != std::string_view::npos) return false;
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (!bytes.starts_with("<") || bytes.starts_with(std::string_view("<\0", 2))) return false;
    if (!bytes.starts_with("<?xml")) return true;
    const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    const std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) return true;
    std::string_view value = declaration.substr(at + 8);
    const std::size_t open = value.find_first_of("\"'");
    if (open == std::string_view::npos) return false;
    value.remove_prefix(open + 1);
    value = value.substr(0, value.find_first_of("\"'"));
    std::string lower(value);
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower == "utf-8" || lower == "utf8";
}

// The points of every ProfAlign content, read a piece at a time (each piece a
// small document of its own, parsed from a copy so that `bytes` stay as they
// were); nothing when a piece does not parse or a point does not read: the
// whole-file DOM then says what is wrong, as it would for the profile chosen.
// `keep` false only checks that every piece parses.
std::optional<std::vector<std::vector<ProfilePoint>>> ReadPointsInPieces(std::string_view bytes,
                                                                         const std::vector<ElementContent>& contents,
                                                                         bool keep, std::string_view path) {
    std::vector<std::vector<ProfilePoint>> lists(contents.size());
    pugi::xml_document piece;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const ElementContent& c = contents[i];
        if (keep) lists[i].reserve(c.children);
        std::size_t from = c.begin;
        for (std::size_t p = 0; p <= c.cuts.size(); ++p) {
            const std::size_t to = p < c.cuts.size() ? c.cuts[p] : c.end;
            if (to <= from) continue;
            const std::string_view text = bytes.substr(from, to - from);
            from = to;
            const pugi::xml_parse_result parsed =
                piece.load_buffer(text.data(), text.size(),
                                  pugi::parse_default | pugi::parse_embed_pcdata | pugi::parse_fragment,
                                  pugi::encoding_utf8);
            if (!parsed) {
                if (parsed.status == pugi::status_out_of_memory) throw std::bad_alloc();
                return std::nullopt;
            }
            if (!keep) continue;
            for (pugi::xml_node node : piece.children()) {
                if (!IsPointElement(node)) continue;
                Result<ProfilePoint> point = ReadPoint(node, text, path);
                if (!point.ok()) return std::nullopt;
                lists[i].push_back(point.value());
            }
        }
    }
    piece.reset();
    return lists;
}

Result<LandXmlContent> ReadLandXmlDocument(std::string& bytes, std::string_view name, std::string_view path,
                                           bool wantProfile, const LandXmlReadPlan& plan) {
    // The point lists are read first, piece by piece, and blanked: the DOM
    // then holds the rest of the file, and the file, its DOM and one node per
    // point are never all alive together.
    std::vector<ElementContent> contents;
    std::vector<std::vector<ProfilePoint>> lists;
    if (plan.inPieces && ReadAsUtf8(bytes)) {
        std::optional<std::vector<ElementContent>> found = FindElementContents(bytes, "ProfAlign", plan.pieceBytes);
        if (found) {
            auto read = ReadPointsInPieces(bytes, *found, wantProfile, path);
            if (read) {
                contents = std::move(*found);
                lists = std::move(*read);
                for (const ElementContent& c : contents) BlankContent(bytes, c);
            }
        }
    }
    Result<LandXmlDocument> document = LoadLandXmlDocument(bytes, path);
    if (!document.ok()) return document.failure();
    const pugi::xml_node root = document.value().root;
    const std::vector<FoundProfile> found = FindProfiles(root);
    LandXmlContent content;
    for (const FoundProfile& f : found) content.names.push_back(f.name);
    content.beyondProfile = ContentBeyondProfile(root);
    if (!wantProfile) return content;

    Result<FoundProfile> chosen = ChooseProfile(found, name, path);
    if (!chosen.ok()) return chosen.failure();
    Result<HeldUnit> unit = ReadLandXmlUnit(root, path);
    if (!unit.ok()) return unit.failure();
    Result<std::vector<ChainBreak>> chains = ReadStaEquations(chosen.value().alignment, bytes, path);
    if (!chains.ok()) return chains.failure();

    ProfileModel& model = content.model;
    content.alignment = chosen.value().name.alignment;
    model.name = chosen.value().name.profile;
    model.unit = unit.value().unit;
    model.chains = std::move(chains.value());
    const char* const profAlignName = chosen.value().profAlign.name();
    const auto read = std::find_if(contents.begin(), contents.end(), [&](const ElementContent& c) {
        return bytes.data() + c.nameOffset == profAlignName;
    });
    if (read != contents.end()) {
        model.points = std::move(lists[static_cast<std::size_t>(read - contents.begin())]);
        lists.clear();
        lists.shrink_to_fit();
    } else {
        // A content the scan blanked is always found above: the parse is in
        // place, so the names point into the bytes.
        if (!contents.empty() && !(profAlignName >= bytes.data() && profAlignName < bytes.data() + bytes.size()))
            throw std::logic_error("LandXML parsed out of place after its point lists were read");
        std::size_t count = 0;
        for (pugi::xml_node node : chosen.value().profAlign.children()) count += IsPointElement(node);
        model.points.reserve(count);
        for (pugi::xml_node node : chosen.value().profAlign.children()) {
            if (!IsPointElement(node)) continue;
            Result<ProfilePoint> point = ReadPoint(node, bytes, path);
            if (!point.ok()) return point.failure();
            model.points.push_back(point.value());
        }
    }
    // Millimetres and kilometres are held as metres, chains and all, before
    // the chain table places the points.
    if (!HoldLengths(model, unit.value().powerOfTen)) return UnitFailure(path, {}, {UnitFault::OutOfRange});
    KeepGivenRadii(model.points);
    if (!model.chains.empty()) {
        ChainProblem problem;
        const std::optional<Chainage> chainage = Chainage::Make(model.chains, &problem);
        if (!chainage) return NotProfileFailure(path, "的断链（StaEquation）有误：" + DescribeChainProblem(problem));
        try {
            for (ProfilePoint& point : model.points) point.station = chainage->ToLabel(point.station.value);
        } catch (const StationError& e) {
            return NotProfileFailure(path, "的断链（StaEquation）有误：" + DescribeStationFault(e.fault()));
        }
    }
    return content;
}

}  // namespace

Result<LandXmlContent> ParseLandXmlInPlace(std::string& bytes, std::string_view name, std::string_view path,
                                           const LandXmlReadPlan& plan) {
    return ReadLandXmlDocument(bytes, name, path, true, plan);
}

Result<LandXmlContent> ParseLandXmlInPlace(std::string& bytes, std::string_view name, std::string_view path) {
    return ReadLandXmlDocument(bytes, name, path, true, {});
}

Result<LandXmlContent> ListLandXmlInPlace(std::string& bytes, std::string_view path) {
    return ReadLandXmlDocument(bytes, {}, path, false, {});
}

Result<std::vector<LandXmlProfileName>> ListLandXmlProfiles(std::string_view bytes, std::string_view path) {
    std::string copy(bytes);
    Result<LandXmlContent> content = ListLandXmlInPlace(copy, path);
    if (!content.ok()) return content.failure();
    return std::move(content.value().names);
}

Result<ProfileModel> ParseLandXml(std::string_view bytes, std::string_view name, std::string_view path) {
    std::string copy(bytes);
    Result<LandXmlContent> content = ParseLandXmlInPlace(copy, name, path);
    if (!content.ok()) return content.failure();
    return std::move(content.value().model);
}

}  // namespace tarnvel::io
