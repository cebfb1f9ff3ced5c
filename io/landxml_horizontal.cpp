// The CoordGeom of a LandXML alignment, parsed once per element into what the
// file states (each attribute and point as written and as read), and two
// readings of that parse: the element list the plan core resolves, which
// refuses what does not read, and the pieces the sheets' 直线及平曲线 band
// draws, which leaves the band out with a named problem instead. Elements are
// matched by local name, as the profile and ground readers do.

#include "io/landxml_horizontal.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <tuple>

#include <pugixml.hpp>

#include "core/text/quoted_input.h"
#include "core/calculator/number_text.h"
#include "io/bounded_read.h"
#include "io/csv_records.h"
#include "io/landxml_profiles.h"
#include "io/plan_files.h"
#include "io/profile_files.h"
#include "io/xml_names.h"

namespace tarnvel::io {
namespace {

// Stations beyond this are refused, as the profile's are.
constexpr double kLargestStation = 1e12;

// A number attribute as written, and as read where it reads: a whole finite
// number, or INF where the attribute may say so.
struct GivenNumber {
    pugi::xml_attribute attribute;
    std::optional<double> value;

    bool Present() const { return !attribute.empty(); }
    std::string_view Text() const { return attribute.value(); }
};

// A point child (Start, End, Center, PI) as written: "northing easting
// [elevation]", or a pntRef to a CgPoint of the file.
struct GivenPoint {
    pugi::xml_node node;
    std::string_view text;
    std::optional<PlanPoint> value;

    bool Present() const { return !node.empty(); }
};

enum class ElementKind { Line, Curve, Spiral, Other };

// One element of a CoordGeom, as the file states it.
struct ParsedElement {
    pugi::xml_node node;
    ElementKind kind = ElementKind::Other;
    std::size_t index = 0;  // from 1
    std::size_t line = 0;
    GivenPoint start, end, center, pi;
    GivenNumber length, radius, radiusStart, radiusEnd, direction, theta;
    pugi::xml_attribute rot, spiType;
};

bool IsInf(std::string_view text) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return text.size() == 3 &&
           std::equal(text.begin(), text.end(), "INF", [&](char c, char i) { return upper(c) == i; });
}

GivenNumber ReadNumber(pugi::xml_node node, std::string_view name, bool infAllowed) {
    GivenNumber given{Attribute(node, name), std::nullopt};
    if (!given.Present()) return given;
    if (infAllowed && IsInf(TrimmedView(given.Text()))) given.value = kPlanStraight;
    else given.value = ReadWholeNumber(given.Text());
    return given;
}

// The text of a point element: its own, after any comment.
std::string_view PointText(pugi::xml_node node) {
    for (pugi::xml_node child : node.children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) return child.value();
    return node.value();  // parsed with the text kept in the element
}

std::optional<PlanPoint> ReadPointText(std::string_view text) {
    std::vector<std::string_view> words;
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ','; };
    while (!text.empty() && words.size() <= 3) {
        while (!text.empty() && blank(text.front())) text.remove_prefix(1);
        std::size_t n = 0;
        while (n < text.size() && !blank(text[n])) ++n;
        if (n > 0) words.push_back(text.substr(0, n));
        text.remove_prefix(n);
    }
    if (words.size() != 2 && words.size() != 3) return std::nullopt;
    for (std::string_view w : words)
        if (!ReadWholeNumber(w)) return std::nullopt;
    return PlanPoint{*ReadWholeNumber(words[0]), *ReadWholeNumber(words[1])};
}

// The CgPoints of a file by name, looked up only when a point refers to one.
class PointNames {
public:
    explicit PointNames(pugi::xml_node root) : root_(root) {}

    std::optional<std::string_view> Find(std::string_view name) {
        if (!built_) {
            built_ = true;
            for (pugi::xml_node points : root_.children())
                if (Is(points, "CgPoints"))
                    for (pugi::xml_node p : points.children())
                        if (Is(p, "CgPoint")) names_.emplace(Attribute(p, "name").value(), PointText(p));
        }
        const auto found = names_.find(std::string(name));
        if (found == names_.end()) return std::nullopt;
        return found->second;
    }

private:
    pugi::xml_node root_;
    bool built_ = false;
    std::map<std::string, std::string_view, std::less<>> names_;
};

GivenPoint ReadPointChild(pugi::xml_node element, std::string_view name, PointNames& names) {
    GivenPoint given;
    for (pugi::xml_node child : element.children())
        if (Is(child, name)) {
            given.node = child;
            break;
        }
    if (!given.Present()) return given;
    given.text = PointText(given.node);
    const pugi::xml_attribute ref = Attribute(given.node, "pntRef");
    if (TrimmedView(given.text).empty() && ref) {
        const std::optional<std::string_view> referred = names.Find(ref.value());
        if (!referred) return given;
        given.text = *referred;
    }
    given.value = ReadPointText(given.text);
    return given;
}

// Byte offsets to lines, counted forward as the elements come in file order.
class LineCounter {
public:
    explicit LineCounter(std::string_view bytes) : bytes_(bytes) {}
    std::size_t At(std::ptrdiff_t offset) {
        if (offset < 0) return 0;
        const std::size_t to = std::min(bytes_.size(), static_cast<std::size_t>(offset));
        if (to < at_) {
            at_ = 0;
            line_ = 1;
        }
        line_ += static_cast<std::size_t>(std::count(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                                                     bytes_.begin() + static_cast<std::ptrdiff_t>(to), '\n'));
        at_ = to;
        return line_;
    }

private:
    std::string_view bytes_;
    std::size_t at_ = 0, line_ = 1;
};

ParsedElement ParseElement(pugi::xml_node node, std::size_t index, LineCounter& lines, PointNames& names) {
    ParsedElement e;
    e.node = node;
    e.index = index;
    e.line = lines.At(node.offset_debug());
    if (Is(node, "Line")) e.kind = ElementKind::Line;
    else if (Is(node, "Curve")) e.kind = ElementKind::Curve;
    else if (Is(node, "Spiral")) e.kind = ElementKind::Spiral;
    e.length = ReadNumber(node, "length", false);
    if (e.kind == ElementKind::Other) return e;
    e.start = ReadPointChild(node, "Start", names);
    e.end = ReadPointChild(node, "End", names);
    e.direction = ReadNumber(node, e.kind == ElementKind::Line ? "dir" : "dirStart", false);
    if (e.kind == ElementKind::Line) return e;
    e.pi = ReadPointChild(node, "PI", names);
    e.rot = Attribute(node, "rot");
    if (e.kind == ElementKind::Curve) {
        e.center = ReadPointChild(node, "Center", names);
        e.radius = ReadNumber(node, "radius", false);
    } else {
        e.radiusStart = ReadNumber(node, "radiusStart", true);
        e.radiusEnd = ReadNumber(node, "radiusEnd", true);
        e.spiType = Attribute(node, "spiType");
        e.theta = ReadNumber(node, "theta", false);
    }
    return e;
}

// Elements of a CoordGeom that carry no geometry.
bool IsAnnotation(pugi::xml_node node) { return Is(node, "Feature") || Is(node, "Property"); }

struct ParsedGeometry {
    pugi::xml_node geometry;  // the CoordGeom; empty when the alignment has none
    std::vector<ParsedElement> elements;
};

ParsedGeometry ParseGeometry(pugi::xml_node root, pugi::xml_node alignment, std::string_view bytes) {
    ParsedGeometry parsed;
    for (pugi::xml_node child : alignment.children())
        if (!parsed.geometry && Is(child, "CoordGeom")) parsed.geometry = child;
    LineCounter lines(bytes);
    PointNames names(root);
    for (pugi::xml_node child : parsed.geometry.children())
        if (child.type() == pugi::node_element && !IsAnnotation(child))
            parsed.elements.push_back(ParseElement(child, parsed.elements.size() + 1, lines, names));
    return parsed;
}

std::vector<pugi::xml_node> Alignments(pugi::xml_node root) {
    std::vector<pugi::xml_node> found;
    for (pugi::xml_node alignments : root.children()) {
        if (!Is(alignments, "Alignments")) continue;
        for (pugi::xml_node a : alignments.children())
            if (Is(a, "Alignment")) found.push_back(a);
    }
    return found;
}

// ---- The element list -----------------------------------------------------

// Radians per unit of the file's directions (Units@directionUnit) or angles
// (angularUnit); nothing for a unit these are not converted from, whose
// values are then not compared. LandXML's default is radians.
std::optional<double> RadiansPerUnit(pugi::xml_node root, std::string_view attribute) {
    for (pugi::xml_node units : root.children()) {
        if (!Is(units, "Units")) continue;
        for (pugi::xml_node unit : units.children()) {
            if (!Is(unit, "Metric") && !Is(unit, "Imperial")) continue;
            const std::string_view name = Attribute(unit, attribute).value();
            if (name.empty() || name == "radians") return 1.0;
            if (name == "decimal degrees") return std::numbers::pi / 180;
            if (name == "grads") return std::numbers::pi / 200;
            return std::nullopt;
        }
    }
    return 1.0;
}

std::string Quoted(std::string_view text) { return "“" + QuotedInput(text) + "”"; }

class ElementConverter {
public:
    ElementConverter(std::string_view bytes, std::string_view path, pugi::xml_node root)
        : bytes_(bytes), path_(path), radiansPerDirection_(RadiansPerUnit(root, "directionUnit")),
          radiansPerAngle_(RadiansPerUnit(root, "angularUnit")) {}

    Result<GivenElement> Convert(const ParsedElement& e) const {
        // Where the element is, from the line counted as it was parsed.
        std::string place = e.line > 0 ? "第" + std::to_string(e.line) + "行的" : std::string();
        place += "<" + std::string(LocalName(e.node.name())) + ">";
        if (e.kind == ElementKind::Other)
            return Fail(place + "不是直线（Line）、圆曲线（Curve）或缓和曲线（Spiral），无法读取。");
        GivenElement given;
        given.kind = e.kind == ElementKind::Line    ? PlanElementKind::Line
                     : e.kind == ElementKind::Curve ? PlanElementKind::Arc
                                                    : PlanElementKind::Spiral;
        given.index = e.index;
        given.name = Attribute(e.node, "name").value();
        given.line = e.line;
        for (auto [point, name, required] : {std::tuple{&e.start, "Start", true}, {&e.end, "End", true},
                                             {&e.center, "Center", false}, {&e.pi, "PI", false}}) {
            if (!point->Present()) {
                if (required) return Fail(place + "缺少<" + name + ">（起终点坐标）。");
                continue;
            }
            if (!point->value) {
                const pugi::xml_attribute ref = Attribute(point->node, "pntRef");
                if (TrimmedView(point->text).empty() && ref)
                    return Fail(NodePlace(bytes_, point->node) + "引用的点" + Quoted(ref.value()) +
                                "在文件的CgPoints中找不到。");
                return Fail(NodePlace(bytes_, point->node) + "的内容" + Quoted(point->text) +
                            "应为“北坐标 东坐标”两个数（可再跟高程）。");
            }
        }
        given.start = *e.start.value;
        given.end = *e.end.value;
        if (e.center.value) given.center = *e.center.value;
        if (e.pi.value) given.pi = *e.pi.value;
        if (auto failure = Number(e.length, place)) return *failure;
        given.length = e.length.value;
        // Directions and angles are only compared, and real files carry
        // placeholders there: one that does not read is not given.
        if (e.direction.value && radiansPerDirection_) given.direction = *e.direction.value * *radiansPerDirection_;
        if (e.kind == ElementKind::Line) return given;

        const std::string_view rot = e.rot.value();
        if (rot != "cw" && rot != "ccw")
            return Fail(place + (e.rot ? "的rot属性" + Quoted(rot) + "不可用" : std::string("缺少rot属性")) +
                        "：须为 cw（右转）或 ccw（左转）。");
        given.clockwise = rot == "cw";
        if (e.kind == ElementKind::Curve) {
            if (auto failure = Number(e.radius, place)) return *failure;
            if (e.radius.value) {
                given.radiusStart = given.radiusEnd = *e.radius.value;
            } else if (given.center) {
                given.radiusStart = given.radiusEnd =
                    std::hypot(given.start.north - given.center->north, given.start.east - given.center->east);
            } else {
                return Fail(place + "既无radius属性，也无<Center>，半径不明。");
            }
            return given;
        }
        const std::string_view type = e.spiType.value();
        if (e.spiType && type != "clothoid")
            return Fail(place + "是" + Quoted(type) + "型缓和曲线：只能读取回旋线（clothoid）。");
        for (auto [radius, name] : {std::pair{&e.radiusStart, "radiusStart"}, {&e.radiusEnd, "radiusEnd"}}) {
            if (!radius->Present()) return Fail(place + "缺少" + name + "属性（直线端写 INF）。");
            if (auto failure = Number(*radius, place)) return *failure;
        }
        given.radiusStart = *e.radiusStart.value;
        given.radiusEnd = *e.radiusEnd.value;
        if (e.theta.value && radiansPerAngle_) given.theta = *e.theta.value * *radiansPerAngle_;
        return given;
    }

private:
    IoFailure Fail(const std::string& what) const { return NotProfileFailure(path_, what); }
    std::optional<IoFailure> Number(const GivenNumber& n, const std::string& place) const {
        if (!n.Present() || n.value) return std::nullopt;
        return Fail(place + "的" + std::string(LocalName(n.attribute.name())) + "属性" + Quoted(n.Text()) + "不是数。");
    }

    std::string_view bytes_;
    std::string_view path_;
    std::optional<double> radiansPerDirection_, radiansPerAngle_;
};

std::string AlignmentNames(const std::vector<pugi::xml_node>& alignments) {
    std::string list;
    for (pugi::xml_node a : alignments) {
        if (!list.empty()) list += "、";
        list += Quoted(Attribute(a, "name").value());
    }
    return list;
}

Result<pugi::xml_node> ChooseAlignment(pugi::xml_node root, std::string_view name, std::string_view path) {
    const std::vector<pugi::xml_node> all = Alignments(root);
    if (all.empty()) return NotProfileFailure(path, "中没有线路（Alignments/Alignment）。");
    if (name.empty()) return all.front();
    std::vector<pugi::xml_node> matches;
    for (pugi::xml_node a : all)
        if (Attribute(a, "name").value() == name) matches.push_back(a);
    if (matches.size() == 1) return matches.front();
    // Two alignments of one name: taking the first would quietly give the wrong road.
    if (matches.size() > 1)
        return NotProfileFailure(path, "中有" + std::to_string(matches.size()) + "条线路都名为" + Quoted(name) +
                                           "，无法区分：请先在设计软件中为它们改用不同的名称。");
    return NotProfileFailure(path, "中没有名为" + Quoted(name) + "的线路；文件中的线路有：" + AlignmentNames(all) + "。");
}

Result<ElementList> ReadElementList(std::string_view bytes, pugi::xml_node root, std::string_view name,
                                    std::string_view path) {
    Result<pugi::xml_node> chosen = ChooseAlignment(root, name, path);
    if (!chosen.ok()) return chosen.failure();
    const pugi::xml_node alignment = chosen.value();
    ElementList list;
    list.name = Attribute(alignment, "name").value();
    Result<HeldUnit> unit = ReadLandXmlUnit(root, path);
    if (!unit.ok()) return unit.failure();
    // The plan keeps the file's own numbers (their rounding bounds the checks
    // of written lengths), so millimetres or kilometres are refused rather
    // than moved by a power of ten.
    if (unit.value().powerOfTen != 0) {
        const auto& units = AllUnits();
        const auto stated = std::find_if(units.begin(), units.end(), [&](const UnitInfo& u) {
            return u.heldAs == unit.value().unit && u.powerOfTen == unit.value().powerOfTen;
        });
        return NotProfileFailure(path, "的长度单位为" + std::string(stated->name) + "（" + std::string(stated->landXml) +
                                           "）：平面线形（CoordGeom）只能读取以米、英尺或美国测量英尺为单位的文件。");
    }
    list.unit = unit.value().unit;
    Result<std::vector<ChainBreak>> chains = ReadStaEquations(alignment, bytes, path);
    if (!chains.ok()) return chains.failure();
    list.chains = std::move(chains.value());
    Result<std::optional<double>> staStart = NumberAttribute(alignment, "staStart", false, bytes, path);
    if (!staStart.ok()) return staStart.failure();
    list.startStation = staStart.value().value_or(0);

    const ParsedGeometry parsed = ParseGeometry(root, alignment, bytes);
    if (!parsed.geometry)
        return NotProfileFailure(path, "中的线路" + Quoted(list.name) + "没有平面线形（CoordGeom）。");
    // The line a profile without a plan stands in with is no element: the
    // list stays empty, which the plan core reports as no plan.
    if (parsed.elements.size() == 1 && parsed.elements.front().kind == ElementKind::Line &&
        Attribute(parsed.elements.front().node, "placeholder"))
        return list;
    const ElementConverter converter(bytes, path, root);
    list.elements.reserve(parsed.elements.size());
    for (const ParsedElement& e : parsed.elements) {
        Result<GivenElement> given = converter.Convert(e);
        if (!given.ok()) return given.failure();
        list.elements.push_back(std::move(given.value()));
    }
    return list;
}

// ---- The band -------------------------------------------------------------

// The fewest decimals of the numbers in `text` (words apart by blanks or commas).
int FewestDecimals(std::string_view text, int fewest) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ','; };
    while (!text.empty()) {
        while (!text.empty() && blank(text.front())) text.remove_prefix(1);
        std::size_t n = 0;
        while (n < text.size() && !blank(text[n])) ++n;
        const std::string_view word = text.substr(0, n);
        text.remove_prefix(n);
        if (word.empty()) continue;
        const std::size_t point = word.find('.');
        int decimals = 0;
        if (point != std::string_view::npos)
            while (point + 1 + static_cast<std::size_t>(decimals) < word.size() &&
                   word[point + 1 + static_cast<std::size_t>(decimals)] >= '0' &&
                   word[point + 1 + static_cast<std::size_t>(decimals)] <= '9')
                ++decimals;
        fewest = std::min(fewest, decimals);
    }
    return fewest;
}

// How far a written length and the one its coordinates give may differ: the
// rounding of the file's coordinates and radius (ten of their last units,
// at least a millimetre) and of the length itself, and no more.
double LengthTolerance(const ParsedElement& e, double length) {
    int coordinates = 12;
    for (const GivenPoint* p : {&e.start, &e.end, &e.center}) coordinates = FewestDecimals(p->text, coordinates);
    coordinates = FewestDecimals(e.radius.Text(), coordinates);
    return std::max(1e-3, 10 * std::pow(10.0, -coordinates)) + 0.5 * std::pow(10.0, -FewestDecimals(e.length.Text(), 12)) +
           1e-6 * std::fabs(length);
}

class PieceReader {
public:
    explicit PieceReader(const ParsedElement& e) : e_(e) {
        problem_.index = e.index;
        problem_.element = std::string(LocalName(e.node.name()));
    }

    // The element as a piece starting at `start`; its length is 0 where the
    // file gives a degenerate element, which the caller leaves out.
    std::optional<HorizontalPiece> Read(double start) {
        HorizontalPiece piece;
        std::optional<double> length;
        if (e_.length.Present()) {
            if (!e_.length.value || !(*e_.length.value >= 0)) return Fail(HorizontalProblemKind::Length, e_.length.Text());
            length = e_.length.value;
        }
        const std::optional<PlanPoint> a = e_.start.value, b = e_.end.value;
        std::optional<double> measured;  // the length the coordinates give
        bool chordOnly = false;          // only a lower bound: the chord
        if (a && b) measured = std::hypot(b->north - a->north, b->east - a->east);
        switch (e_.kind) {
            case ElementKind::Line: piece.kind = HorizontalKind::Line; break;
            case ElementKind::Curve: {
                piece.kind = HorizontalKind::Arc;
                if (!Turn(piece)) return std::nullopt;
                const std::optional<PlanPoint> c = e_.center.value;
                std::optional<double> radius;
                if (e_.radius.Present()) {
                    if (!e_.radius.value || !(*e_.radius.value > 0)) return Fail(HorizontalProblemKind::Radius, e_.radius.Text());
                    radius = e_.radius.value;
                } else if (a && c) {
                    radius = std::hypot(a->north - c->north, a->east - c->east);
                }
                if (!radius || !(*radius > 0) || !std::isfinite(*radius)) return Fail(HorizontalProblemKind::Radius, {});
                if (*radius < kSmallestBandRadius) return Fail(HorizontalProblemKind::TinyRadius, e_.radius.Text());
                if (a && b && c) {
                    // The angle swept from Start to End about the centre, in the
                    // direction of the turn (x east, y north: counter-clockwise is left).
                    const double ax = a->east - c->east, ay = a->north - c->north;
                    const double bx = b->east - c->east, by = b->north - c->north;
                    double angle = std::atan2(ax * by - ay * bx, ax * bx + ay * by);
                    if (piece.turn == HorizontalTurn::Right) angle = -angle;
                    if (angle < 0) angle += 2 * std::numbers::pi;
                    measured = *radius * angle;
                } else {
                    chordOnly = measured.has_value();
                }
                piece.radiusStart = piece.radiusEnd = *radius;
                break;
            }
            case ElementKind::Spiral: {
                piece.kind = HorizontalKind::Spiral;
                if (!Turn(piece)) return std::nullopt;
                const std::optional<double> r0 = SpiralRadius(e_.radiusStart);
                if (!r0) return std::nullopt;
                const std::optional<double> r1 = SpiralRadius(e_.radiusEnd);
                if (!r1) return std::nullopt;
                if (std::isinf(*r0) && std::isinf(*r1)) return Fail(HorizontalProblemKind::SpiralStraight, {});
                piece.radiusStart = *r0;
                piece.radiusEnd = *r1;
                chordOnly = true;
                break;
            }
            case ElementKind::Other: return Fail(HorizontalProblemKind::Element, {});
        }
        if (!length) length = chordOnly ? std::nullopt : measured;
        if (!length || !std::isfinite(*length)) return Fail(HorizontalProblemKind::Length, {});
        // A written length the coordinates contradict (a placeholder 0, a
        // damaged value) would shift every element after it.
        if (measured && std::isfinite(*measured) && e_.length.Present()) {
            const double tolerance = LengthTolerance(e_, *measured);
            if (chordOnly ? *length < *measured - tolerance : !(std::fabs(*length - *measured) <= tolerance)) {
                problem_.value = *measured;
                return Fail(chordOnly ? HorizontalProblemKind::LengthBelowChord : HorizontalProblemKind::LengthMismatch,
                            e_.length.Text());
            }
        }
        piece.start = start;
        piece.end = start + *length;
        if (!(std::abs(piece.end) <= kLargestStation)) return Fail(HorizontalProblemKind::Stations, NumberToText(piece.end));
        return piece;
    }

    const HorizontalProblem& Problem() const { return problem_; }

private:
    std::nullopt_t Fail(HorizontalProblemKind kind, std::string_view text) {
        problem_.kind = kind;
        problem_.text = QuotedInput(text);
        return std::nullopt;
    }

    bool Turn(HorizontalPiece& piece) {
        const std::string_view rot = e_.rot.value();
        if (rot != "cw" && rot != "ccw") {
            Fail(HorizontalProblemKind::Rotation, rot);
            return false;
        }
        piece.turn = rot == "cw" ? HorizontalTurn::Right : HorizontalTurn::Left;
        return true;
    }

    std::optional<double> SpiralRadius(const GivenNumber& radius) {
        if (!radius.value || !(*radius.value > 0)) return Fail(HorizontalProblemKind::SpiralRadius, radius.Text());
        if (*radius.value < kSmallestBandRadius) return Fail(HorizontalProblemKind::TinyRadius, radius.Text());
        return radius.value;
    }

    const ParsedElement& e_;
    HorizontalProblem problem_;
};

HorizontalReading ReadBand(std::string_view bytes, pugi::xml_node root, std::string_view name) {
    HorizontalReading reading;
    pugi::xml_node chosen;
    for (pugi::xml_node a : Alignments(root))
        if (!chosen && (name.empty() || Attribute(a, "name").value() == name)) chosen = a;
    const ParsedGeometry parsed = ParseGeometry(root, chosen, bytes);
    const std::vector<ParsedElement>& elements = parsed.elements;
    // A lone straight line is what a writer of profiles alone puts there.
    if (elements.empty() || (elements.size() == 1 && elements.front().kind == ElementKind::Line)) return reading;

    double station = 0;
    if (const pugi::xml_attribute staStart = Attribute(chosen, "staStart")) {
        const std::optional<double> value = ReadWholeNumber(staStart.value());
        // Taken as 0, the whole band would be drawn shifted without a word.
        if (!value) {
            reading.problem = HorizontalProblem{HorizontalProblemKind::StartStation, 0, {}, QuotedInput(staStart.value())};
            return reading;
        }
        station = *value;
        if (!(std::abs(station) <= kLargestStation)) {
            reading.problem = HorizontalProblem{HorizontalProblemKind::Stations, 1,
                                                std::string(LocalName(elements.front().node.name())),
                                                QuotedInput(staStart.value())};
            return reading;
        }
    }
    HorizontalAlignment result;
    for (const ParsedElement& e : elements) {
        PieceReader reader(e);
        const std::optional<HorizontalPiece> piece = reader.Read(station);
        if (!piece) {
            reading.problem = reader.Problem();
            return reading;
        }
        if (piece->end > piece->start) result.pieces.push_back(*piece);
        station = piece->end;
    }
    reading.alignment = std::move(result);
    return reading;
}

}  // namespace

Result<HorizontalReading> ParseLandXmlHorizontal(std::string_view bytes, std::string_view alignment,
                                                 std::string_view path) {
    std::string copy(bytes);
    Result<LandXmlDocument> document = LoadLandXmlDocument(copy, path);
    if (!document.ok()) return document.failure();
    return ReadBand(bytes, document.value().root, alignment);
}

Result<HorizontalReading> ReadLandXmlHorizontal(const std::string& path, std::string_view alignment) {
    try {
        Result<std::string> bytes = ReadFilePrefix(path, kMaxProfileFileBytes + 1);
        if (!bytes.ok()) return bytes.failure();
        if (bytes.value().size() > kMaxProfileFileBytes || SniffProfileFormat(bytes.value()) != ProfileFormat::LandXml)
            return HorizontalReading{};
        return ParseLandXmlHorizontal(bytes.value(), alignment, path);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Read, path);
    }
}

Result<std::vector<std::string>> ListLandXmlAlignments(std::string_view bytes, std::string_view path) {
    std::string copy(bytes);
    Result<LandXmlDocument> document = LoadLandXmlDocument(copy, path);
    if (!document.ok()) return document.failure();
    std::vector<std::string> names;
    for (pugi::xml_node a : Alignments(document.value().root)) names.emplace_back(Attribute(a, "name").value());
    return names;
}

Result<std::optional<IntersectionTable>> ParseLandXmlIntersections(std::string_view bytes, std::string_view alignment,
                                                                   std::string_view path) {
    std::string copy(bytes);
    Result<LandXmlDocument> document = LoadLandXmlDocument(copy, path);
    if (!document.ok()) return document.failure();
    const pugi::xml_node root = document.value().root;
    Result<pugi::xml_node> chosen = ChooseAlignment(root, alignment, path);
    if (!chosen.ok()) return chosen.failure();
    pugi::xml_node feature;
    for (pugi::xml_node child : chosen.value().children())
        if (!feature && Is(child, "Feature") && std::string_view(Attribute(child, "code").value()) == kIntersectionsFeatureCode)
            feature = child;
    if (!feature) return std::optional<IntersectionTable>();
    IntersectionTable table;
    Result<HeldUnit> unit = ReadLandXmlUnit(root, path);
    if (!unit.ok()) return unit.failure();
    table.unit = unit.value().unit;
    Result<std::vector<ChainBreak>> chains = ReadStaEquations(chosen.value(), bytes, path);
    if (!chains.ok()) return chains.failure();
    table.chains = std::move(chains.value());
    for (pugi::xml_node jd : feature.children()) {
        if (!Is(jd, LocalName(kIntersectionElement))) continue;
        IntersectionPoint point;
        point.name = Attribute(jd, "name").value();
        const auto number = [&](std::string_view name, double& into, bool required) -> std::optional<IoFailure> {
            Result<std::optional<double>> read = NumberAttribute(jd, name, required, bytes, path);
            if (!read.ok()) return read.failure();
            if (read.value()) into = *read.value();
            return std::nullopt;
        };
        for (const auto& [name, into, required] :
             {std::tuple{"north", &point.at.north, true}, std::tuple{"east", &point.at.east, true},
              std::tuple{"radius", &point.radius, false}, std::tuple{"spiralIn", &point.spiralIn, false},
              std::tuple{"spiralOut", &point.spiralOut, false}})
            if (auto failure = number(name, *into, required)) return *failure;
        if (const pugi::xml_attribute station = Attribute(jd, "station")) {
            const std::optional<Station> label = ParseStation(station.value());
            if (!label)
                return NotProfileFailure(path, NodePlace(bytes, jd) + "的station属性" + Quoted(station.value()) +
                                                   "不是桩号。");
            if (table.points.empty()) table.start = *label;
            else point.station = *label;
        } else if (table.points.empty()) {
            return NotProfileFailure(path, NodePlace(bytes, jd) + "是起点，缺少station属性。");
        }
        table.points.push_back(std::move(point));
    }
    return std::optional<IntersectionTable>(std::move(table));
}

Result<std::optional<IntersectionTable>> ReadLandXmlIntersectionsFile(const std::string& path,
                                                                      std::string_view alignment) {
    try {
        Result<std::string> bytes = ReadDocumentBytes(path, "线路文件");
        if (!bytes.ok()) return bytes.failure();
        return ParseLandXmlIntersections(bytes.value(), alignment, path);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Read, path);
    }
}

Result<ElementList> ParseLandXmlElements(std::string_view bytes, std::string_view alignment, std::string_view path) {
    std::string copy(bytes);
    Result<LandXmlDocument> document = LoadLandXmlDocument(copy, path);
    if (!document.ok()) return document.failure();
    return ReadElementList(bytes, document.value().root, alignment, path);
}

}  // namespace tarnvel::io
