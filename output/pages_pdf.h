#pragma once
// Pages of primitives as a PDF: one PDF page per page, each the paper size of
// its page (landscape A3 or A4 sheets print at their scales), written with
// io::WriteFileAtomically as the pages come. Qt Gui only; a process without a
// QGuiApplication (the command line) gets an offscreen one for the fonts while
// the file is written.

#include <optional>
#include <string>
#include <vector>

#include <QPageLayout>

#include "core/drawing/page.h"
#include "core/drawing/page_source.h"
#include "io/io_failure.h"

namespace tarnvel::output {

// The page's own size, with no margin (the page draws its own frame), for a
// PDF writer or a printer.
QPageLayout PageLayoutOf(const Page& page);

std::optional<io::IoFailure> WritePagesPdf(const std::string& path, PageSource& pages, const std::string& title);

// The same for pages held whole.
std::optional<io::IoFailure> WritePagesPdf(const std::string& path, const std::vector<Page>& pages,
                                           const std::string& title);

}  // namespace tarnvel::output
