#include "output/sheet_writer.h"

#include "core/text/messages.h"
#include "core/text/quoted_input.h"
#include "io/atomic_write.h"
#include "output/page_dxf.h"
#include "output/page_svg.h"

#ifdef TARNVEL_OUTPUT_PDF
#include "output/pages_pdf.h"
#endif

namespace tarnvel::output {
namespace {

io::IoFailure Refused(const std::string& path, const std::string& why) {
    return io::IoFailure{io::FailureKind::File, "无法写入“" + QuotedInput(path, std::string::npos) + "”：" + why};
}

}  // namespace

std::optional<SheetFormat> SheetFormatOf(std::string_view path) {
    for (std::size_t i = 0; i < kSheetExtensions.size(); ++i) {
        const std::string_view extension = kSheetExtensions[i];
        if (path.size() <= extension.size() || path[path.size() - extension.size() - 1] != '.') continue;
        bool same = true;
        for (std::size_t k = 0; k < extension.size(); ++k) {
            const char c = path[path.size() - extension.size() + k];
            same = same && (c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) == extension[k];
        }
        if (same) return static_cast<SheetFormat>(i);
    }
    return std::nullopt;
}

bool CanWritePdf() {
#ifdef TARNVEL_OUTPUT_PDF
    return true;
#else
    return false;
#endif
}

std::vector<std::string> SheetNotes(const SheetsWritten& written) {
    std::vector<std::string> notes;
    for (std::string note : {DescribeSheetsLeftOut(written.leftOut), DescribeCharactersOutsideGbk(written.outsideGbk)})
        if (!note.empty()) notes.push_back(std::move(note));
    return notes;
}

namespace {

std::optional<io::IoFailure> Write(const std::string& path, PageSource& pages, const std::string& title,
                                   SheetsWritten* written) {
    SheetsWritten notes;
    const std::optional<SheetFormat> format = SheetFormatOf(path);
    if (!format) return Refused(path, "图纸文件须以 .pdf、.dxf 或 .svg 结尾。");
    if (pages.Count() == 0) return Refused(path, "没有可写的图纸。");
    std::optional<io::IoFailure> failure;
    switch (*format) {
        case SheetFormat::Pdf:
#ifdef TARNVEL_OUTPUT_PDF
            failure = WritePagesPdf(path, pages, title);
#else
            (void)title;
            return Refused(path, "此版本未带 PDF 输出，请改用 .dxf。");
#endif
            break;
        case SheetFormat::Dxf: failure = WritePagesDxf(path, pages, &notes.outsideGbk); break;
        case SheetFormat::Svg: {
            // An SVG is one page: the first sheet, and a word on the rest.
            Page first;
            if (!pages.Next(first)) return Refused(path, "没有可写的图纸。");
            failure = io::WriteFileAtomically(path, PageSvg(first));
            notes.leftOut = pages.Count() - 1;
            break;
        }
    }
    if (failure) return failure;
    if (written) *written = std::move(notes);
    return std::nullopt;
}

}  // namespace

std::optional<io::IoFailure> WriteSheets(const std::string& path, PageSource& pages, const std::string& title,
                                         SheetsWritten* written) {
    // A page that cannot be made (memory exhausted) fails the file like a
    // write that cannot be done, whichever backend asked for it.
    try {
        return Write(path, pages, title, written);
    } catch (...) {
        return io::CurrentExceptionFailure(io::FileAction::Write, path);
    }
}

}  // namespace tarnvel::output
