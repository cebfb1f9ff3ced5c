#pragma once
// Pages of primitives as a PDF: one PDF page per page, each the paper size of
// its page (landscape A3 or A4 sheets print at their scales), written with
// io::WriteFileAtomically. Needs a QGuiApplication for the fonts.

#include <optional>
#include <string>
#include <vector>

#include <QPageLayout>

#include "core/drawing/page.h"
#include "io/io_failure.h"

namespace tarnvel::ui {

// The page's own size, with no margin (the page draws its own frame), for a
// PDF writer or a printer.
QPageLayout PageLayoutOf(const Page& page);

std::optional<io::IoFailure> WritePagesPdf(const std::string& path, const std::vector<Page>& pages,
                                           const std::string& title);

}  // namespace tarnvel::ui
