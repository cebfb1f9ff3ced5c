#pragma once
// Pages as one AutoCAD R2000 (AC1015) ASCII DXF drawing, written through
// dxflib: the pages side by side in model space, left to right with a gap,
// in millimetres of the printed page (x to the right, y up from the page's
// bottom edge) — or, for a page placed in the world (a plan), at its real
// coordinates in the world's unit, so that it lies on the survey's map; the
// header's $INSUNITS says which. One layer per CAD layer name of the table of
// looks that the pages draw on; lines as LWPOLYLINE, filled areas as solid
// HATCH, texts as TEXT in one text style.
//
// R2000 keeps text in the drawing's code page: the header says ANSI_936 and
// every text and layer name is written in GBK, as AutoCAD on a Chinese
// desktop writes it itself. The text style uses gbenor.shx with the big font
// gbcbig.shx, the GB drafting fonts every Chinese AutoCAD carries.

#include <optional>
#include <string>
#include <vector>

#include "core/drawing/page.h"
#include "core/drawing/page_source.h"
#include "io/io_failure.h"

namespace tarnvel::output {

inline constexpr double kDxfPageGap = 20;  // mm between two pages in model space
inline constexpr const char* kDxfTextStyle = "TARNVEL";

// The whole DXF file as bytes. The characters of the texts that GBK cannot
// hold are written as "?"; with `lost`, each of them is added to it once.
std::string PagesDxf(const std::vector<Page>& pages, std::vector<std::string>* lost = nullptr);

// The same, written with WriteFileAtomically as the pages come: each page is
// drawn and let go before the next is asked for.
std::optional<io::IoFailure> WritePagesDxf(const std::string& path, PageSource& pages,
                                           std::vector<std::string>* lost = nullptr);

}  // namespace tarnvel::output
