#pragma once
// LandXML elements and attributes matched by local name, so that a default
// namespace and a prefixed one ("lx:PVI") read alike. Shared by the profile
// and the ground-line readers.

#include <cstddef>
#include <string_view>

#include <pugixml.hpp>

namespace tarnvel::io {

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

}  // namespace tarnvel::io
