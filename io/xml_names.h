#pragma once
// LandXML elements and attributes matched by local name, so that a default
// namespace and a prefixed one ("lx:PVI") read alike. Shared by the profile,
// the ground-line and the horizontal-geometry readers.

#include <cstddef>
#include <new>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "io/io_failure.h"

namespace tarnvel::io {

// The code of the Feature elements that hold control points in a ProfAlign.
inline constexpr const char* kControlFeatureCode = "tarnvel:control";
// The code of the Feature element that holds the designer's criteria.
inline constexpr const char* kCriteriaFeatureCode = "tarnvel:criteria";
// The code of the Feature element of an Alignment that keeps its 交点表, one
// tarnvel:JD element a row (see RoadLandXmlBytes).
inline constexpr const char* kIntersectionsFeatureCode = "tarnvel:intersections";
inline constexpr const char* kIntersectionElement = "tarnvel:JD";
// Marks the straight line a profile without a plan writes only because the
// schema asks every Alignment for a CoordGeom: no plan, never read as one.
inline constexpr const char* kPlaceholderAttribute = "tarnvel:placeholder";

inline std::string_view LocalName(const char* name) {
    const std::string_view view(name);
    const std::size_t colon = view.rfind(':');
    return colon == std::string_view::npos ? view : view.substr(colon + 1);
}

inline bool Is(pugi::xml_node node, std::string_view local) {
    return node.type() == pugi::node_element && LocalName(node.name()) == local;
}

inline pugi::xml_attribute Attribute(pugi::xml_node node, std::string_view local) {
    for (pugi::xml_attribute a : node.attributes())
        if (LocalName(a.name()) == local) return a;
    return {};
}

// Parses `bytes` into `doc` and gives its <LandXML> root; a file that is not
// XML, or not LandXML, is a failure naming the file.
inline Result<pugi::xml_node> LoadLandXmlRoot(pugi::xml_document& doc, std::string_view bytes,
                                              std::string_view path) {
    const pugi::xml_parse_result parsed =
        doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_auto);
    if (!parsed) {
        if (parsed.status == pugi::status_out_of_memory) throw std::bad_alloc();
        return NotProfileFailure(path, std::string("不是有效的XML文件：") + parsed.description() + "。");
    }
    const pugi::xml_node root = doc.document_element();
    if (!Is(root, "LandXML")) return NotProfileFailure(path, "不是LandXML文件：根元素应为<LandXML>。");
    return root;
}

}  // namespace tarnvel::io
