// LandXML horizontal geometry: the CoordGeom of one alignment, read into the
// pieces the sheets' 直线及平曲线 band draws. Elements are matched by local
// name, as the profile and ground readers do.

#include "io/landxml_horizontal.h"

#include <algorithm>
#include <cmath>

#include <pugixml.hpp>

#include "core/calculator/number_text.h"
#include "io/bounded_read.h"
#include "io/profile_files.h"
#include "io/xml_names.h"

namespace tarnvel::io {
namespace {

// Stations beyond this are refused, as the profile's are.
constexpr double kLargestStation = 1e12;

std::string Shortened(std::string_view text) {
    if (text.size() <= 40) return std::string(text);
    std::size_t cut = 40;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // whole UTF-8 characters
    return std::string(text.substr(0, cut)) + "…";
}

// A coordinate pair "northing easting [elevation]" from an element's text.
struct Point2 {
    double north = 0, east = 0;
};
std::optional<Point2> ReadPoint(pugi::xml_node element) {
    std::string_view rest = element.child_value();
    double values[2] = {0, 0};
    for (double& value : values) {
        const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ','; };
        while (!rest.empty() && blank(rest.front())) rest.remove_prefix(1);
        std::size_t n = 0;
        while (n < rest.size() && !blank(rest[n])) ++n;
        const std::optional<double> read = ReadWholeNumber(rest.substr(0, n));
        if (!read || !std::isfinite(*read)) return std::nullopt;
        value = *read;
        rest.remove_prefix(n);
    }
    return Point2{values[0], values[1]};
}

std::optional<Point2> ChildPoint(pugi::xml_node element, std::string_view name) {
    for (pugi::xml_node child : element.children())
        if (Is(child, name)) return ReadPoint(child);
    return std::nullopt;
}

// A positive finite number, or nothing.
std::optional<double> Positive(std::string_view text) {
    const std::optional<double> value = ReadWholeNumber(text);
    if (!value || !std::isfinite(*value) || !(*value > 0)) return std::nullopt;
    return value;
}

class ElementReader {
public:
    ElementReader(pugi::xml_node node, std::size_t index) : node_(node) {
        problem_.index = index;
        problem_.element = std::string(LocalName(node.name()));
    }

    // The turn of a curve or spiral.
    std::optional<HorizontalTurn> Turn() {
        const std::string_view rot = Attribute(node_, "rot").value();
        if (rot == "cw") return HorizontalTurn::Right;
        if (rot == "ccw") return HorizontalTurn::Left;
        Fail(HorizontalProblemKind::Rotation, rot);
        return std::nullopt;
    }

    // The length as written; nothing and no problem where it is missing.
    std::optional<double> WrittenLength(bool& bad) {
        const pugi::xml_attribute attribute = Attribute(node_, "length");
        bad = false;
        if (!attribute) return std::nullopt;
        const std::optional<double> value = ReadWholeNumber(attribute.value());
        if (!value || !std::isfinite(*value) || *value < 0) {
            bad = true;
            Fail(HorizontalProblemKind::Length, attribute.value());
            return std::nullopt;
        }
        return value;
    }

    std::optional<double> Radius(std::string_view name, HorizontalProblemKind kind, bool infiniteAllowed) {
        const std::string_view text = Attribute(node_, name).value();
        const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
        if (infiniteAllowed && text.size() == 3 && std::equal(text.begin(), text.end(), "INF",
                                                              [&](char c, char i) { return upper(c) == i; }))
            return kStraightRadius;
        const std::optional<double> radius = Positive(text);
        if (!radius) Fail(kind, text);
        return radius;
    }

    void Fail(HorizontalProblemKind kind, std::string_view text) {
        if (failed_) return;
        failed_ = true;
        problem_.kind = kind;
        problem_.text = Shortened(text);
    }
    bool Failed() const { return failed_; }
    const HorizontalProblem& Problem() const { return problem_; }
    pugi::xml_node Node() const { return node_; }

private:
    pugi::xml_node node_;
    HorizontalProblem problem_;
    bool failed_ = false;
};

// One element as a piece starting at `start`; its length is 0 where the file
// gives a degenerate element, which the caller leaves out.
std::optional<HorizontalPiece> ReadPiece(ElementReader& reader, double start) {
    const pugi::xml_node node = reader.Node();
    HorizontalPiece piece;
    bool badLength = false;
    std::optional<double> length = reader.WrittenLength(badLength);
    if (badLength) return std::nullopt;
    if (Is(node, "Line")) {
        piece.kind = HorizontalKind::Line;
        if (!length) {
            const auto a = ChildPoint(node, "Start"), b = ChildPoint(node, "End");
            if (a && b) length = std::hypot(b->north - a->north, b->east - a->east);
        }
    } else if (Is(node, "Curve")) {
        piece.kind = HorizontalKind::Arc;
        const auto turn = reader.Turn();
        if (!turn) return std::nullopt;
        piece.turn = *turn;
        const auto a = ChildPoint(node, "Start"), b = ChildPoint(node, "End"), c = ChildPoint(node, "Center");
        std::optional<double> radius;
        if (Attribute(node, "radius")) {
            radius = reader.Radius("radius", HorizontalProblemKind::Radius, false);
            if (!radius) return std::nullopt;
        } else if (a && c) {
            radius = std::hypot(a->north - c->north, a->east - c->east);
        }
        if (!radius || !(*radius > 0) || !std::isfinite(*radius)) {
            reader.Fail(HorizontalProblemKind::Radius, {});
            return std::nullopt;
        }
        if (!length && a && b && c) {
            // The angle swept from Start to End about the centre, in the
            // direction of the turn (x east, y north: counter-clockwise is left).
            const double ax = a->east - c->east, ay = a->north - c->north;
            const double bx = b->east - c->east, by = b->north - c->north;
            double angle = std::atan2(ax * by - ay * bx, ax * bx + ay * by);
            if (piece.turn == HorizontalTurn::Right) angle = -angle;
            const double full = 2 * std::acos(-1.0);
            if (angle < 0) angle += full;
            length = *radius * angle;
        }
        piece.radiusStart = piece.radiusEnd = *radius;
    } else if (Is(node, "Spiral")) {
        piece.kind = HorizontalKind::Spiral;
        const auto turn = reader.Turn();
        if (!turn) return std::nullopt;
        piece.turn = *turn;
        const auto r0 = reader.Radius("radiusStart", HorizontalProblemKind::SpiralRadius, true);
        if (!r0) return std::nullopt;
        const auto r1 = reader.Radius("radiusEnd", HorizontalProblemKind::SpiralRadius, true);
        if (!r1) return std::nullopt;
        if (std::isinf(*r0) && std::isinf(*r1)) {
            reader.Fail(HorizontalProblemKind::SpiralStraight, {});
            return std::nullopt;
        }
        piece.radiusStart = *r0;
        piece.radiusEnd = *r1;
    } else {
        reader.Fail(HorizontalProblemKind::Element, {});
        return std::nullopt;
    }
    if (!length || !std::isfinite(*length)) {
        reader.Fail(HorizontalProblemKind::Length, {});
        return std::nullopt;
    }
    piece.start = start;
    piece.end = start + *length;
    if (!(std::abs(piece.end) <= kLargestStation)) {
        reader.Fail(HorizontalProblemKind::Stations, NumberToText(piece.end));
        return std::nullopt;
    }
    return piece;
}

// Elements of a CoordGeom that carry no geometry.
bool IsAnnotation(pugi::xml_node node) { return Is(node, "Feature") || Is(node, "Property"); }

}  // namespace

Result<HorizontalReading> ParseLandXmlHorizontal(std::string_view bytes, std::string_view alignment,
                                                 std::string_view path) {
    pugi::xml_document doc;
    Result<pugi::xml_node> root = LoadLandXmlRoot(doc, bytes, path);
    if (!root.ok()) return root.failure();
    pugi::xml_node chosen;
    for (pugi::xml_node alignments : root.value().children()) {
        if (!Is(alignments, "Alignments")) continue;
        for (pugi::xml_node a : alignments.children())
            if (!chosen && Is(a, "Alignment") && (alignment.empty() || Attribute(a, "name").value() == alignment))
                chosen = a;
    }
    HorizontalReading reading;
    pugi::xml_node geometry;
    for (pugi::xml_node child : chosen.children())
        if (!geometry && Is(child, "CoordGeom")) geometry = child;
    if (!geometry) return reading;

    std::vector<pugi::xml_node> elements;
    for (pugi::xml_node child : geometry.children())
        if (child.type() == pugi::node_element && !IsAnnotation(child)) elements.push_back(child);
    // A lone straight line is what a writer of profiles alone puts there.
    if (elements.empty() || (elements.size() == 1 && Is(elements.front(), "Line"))) return reading;

    const std::optional<double> staStart = ReadWholeNumber(Attribute(chosen, "staStart").value());
    double station = staStart && std::isfinite(*staStart) ? *staStart : 0;
    if (!(std::abs(station) <= kLargestStation)) {
        reading.problem = HorizontalProblem{HorizontalProblemKind::Stations, 1, std::string(LocalName(elements.front().name())),
                                            Shortened(Attribute(chosen, "staStart").value())};
        return reading;
    }
    HorizontalAlignment result;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        ElementReader reader(elements[i], i + 1);
        const std::optional<HorizontalPiece> piece = ReadPiece(reader, station);
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

}  // namespace tarnvel::io
