#pragma once
// The one way pages become a file, for the command line and the window alike:
// the backend follows the file's extension — PDF (every page), DXF (every
// page, side by side) or SVG (the first page). Pages are asked for one at a
// time and each is let go once written.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/drawing/page_source.h"
#include "io/io_failure.h"

namespace tarnvel::output {

enum class SheetFormat { Pdf, Dxf, Svg };
// The extensions, without the dot, in the order of SheetFormat.
inline constexpr std::array<std::string_view, 3> kSheetExtensions = {"pdf", "dxf", "svg"};

// The format a file name asks for by its extension, in any case; nothing for
// any other name.
std::optional<SheetFormat> SheetFormatOf(std::string_view path);

// Whether this build writes PDF (a build without Qt writes DXF and SVG only).
bool CanWritePdf();

// What a written file leaves to say to the user.
struct SheetsWritten {
    std::size_t leftOut = 0;              // pages an SVG holds no room for
    std::vector<std::string> outsideGbk;  // characters a DXF cannot hold, each once
};
// Those notes in words, each once; empty when there is nothing to say.
std::vector<std::string> SheetNotes(const SheetsWritten& written);

// Writes the pages of `pages` to `path` (atomically: a failure leaves the file
// as it was); `title` names a PDF document. A name whose extension is none of
// the three, and an empty source, are refused and nothing is written.
std::optional<io::IoFailure> WriteSheets(const std::string& path, PageSource& pages, const std::string& title,
                                         SheetsWritten* written = nullptr);

}  // namespace tarnvel::output
