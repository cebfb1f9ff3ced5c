#pragma once
// The one rule for the name and format of a file being written, shared by the
// window's save dialogs and the command line: an extension typed by the user
// wins when it is one the output can write (any case); otherwise the extension
// of the format picked in the dialog is added. So a name that says ".csv" is
// never filled with LandXML, and "x" saved as LandXML becomes "x.xml".

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarnvel::io {

// The extension of the file name (after the last '/'), lower case, without
// the full stop; empty when the name has none.
std::string ExtensionOf(std::string_view path);

struct OutputName {
    std::string path;
    std::size_t format = 0;  // index into the extensions given
};

// `extensions`: the formats the output can write, lower case ("xml", "csv").
// `picked`: the format chosen besides the name (the dialog's filter); none on
// the command line, where a name without a known extension has no answer.
std::optional<OutputName> ResolveOutputName(std::string_view typed, std::span<const std::string_view> extensions,
                                            std::optional<std::size_t> picked);

}  // namespace tarnvel::io
