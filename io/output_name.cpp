#include "io/output_name.h"

#include <algorithm>
#include <cctype>

namespace tarnvel::io {

std::string ExtensionOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = file.rfind('.');
    if (dot == std::string_view::npos) return {};
    std::string extension(file.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

std::optional<OutputName> ResolveOutputName(std::string_view typed, std::span<const std::string_view> extensions,
                                            std::optional<std::size_t> picked) {
    if (typed.empty()) return std::nullopt;
    const std::string extension = ExtensionOf(typed);
    for (std::size_t i = 0; i < extensions.size(); ++i) {
        if (!extension.empty() && extension == extensions[i]) return OutputName{std::string(typed), i};
    }
    if (!picked || *picked >= extensions.size()) return std::nullopt;
    // "x." already has its full stop: "x.xml", not "x..xml".
    std::string path(typed);
    if (path.back() != '.') path += '.';
    path += extensions[*picked];
    return OutputName{std::move(path), *picked};
}

}  // namespace tarnvel::io
