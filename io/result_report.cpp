#include "io/result_report.h"

#include <algorithm>
#include <exception>

#include "io/atomic_write.h"
#include "io/gbk.h"

namespace tarnvel::io {
namespace {

// `head`, the listing, then `footer` (head and footer already in code page
// 936).
std::optional<IoFailure> WriteReport(const std::string& path, const std::string& head, const ReportListing& listing,
                                     const std::string& footer) {
    return WriteFileAtomically(path, [&head, &listing, &footer](FileBytesSink& file) {
        // The listing's lines are nearly all digits and blanks, which are the
        // same bytes in code page 936.
        file.Write(head);
        const bool complete = listing([&file](std::string_view piece) {
            const bool ascii = std::all_of(piece.begin(), piece.end(),
                                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
            if (ascii) {
                file.Write(piece);
            } else {
                file.Write(Utf8ToGbk(piece));
            }
        });
        if (!complete) return false;
        file.Write("\r\n");
        file.Write(footer);
        return true;
    });
}

// A name is one line: a line break in it would break the report apart.
void AppendOneLine(std::string& text, const std::string& value) {
    for (char c : value) text += c == '\r' || c == '\n' ? ' ' : c;
}

ReportListing WholeListing(std::string_view listing) {
    return [listing](const ReportTextSink& sink) {
        sink(listing);
        return true;
    };
}

}  // namespace

std::string FormatResultReport(std::string_view listing) {
    std::string text;
    text.reserve(kReportTitleBlock.size() + listing.size() + 2 + kReportFooter.size());
    text += kReportTitleBlock;
    text += listing;
    text += "\r\n";
    text += kReportFooter;
    return Utf8ToGbk(text);
}

std::string ProfileReportHead(const ProfileReportHeading& heading) {
    // The title block without its two closing empty lines, which follow the heading.
    std::string text(kReportTitleBlock.substr(0, kReportTitleBlock.size() - 4));
    const auto line = [&text](std::string_view label, const std::string& value) {
        if (value.empty()) return;
        text += label;
        AppendOneLine(text, value);
        text += "\r\n";
    };
    line("项目：", heading.project);
    line("纵断面：", heading.profile);
    line("范围：", heading.range);
    line("日期：", heading.date);
    text += "\r\n\r\n";
    return text;
}

std::string ProfileReportFoot(const ReportSignatures& signatures) {
    std::string text = "\r\n\r\n设计：";
    AppendOneLine(text, signatures.designer);
    text += "    复核：";
    AppendOneLine(text, signatures.checker);
    text += "    审核：";
    AppendOneLine(text, signatures.approver);
    text += "\r\n";
    return text;
}

std::optional<IoFailure> WriteResultReport(const std::string& path, std::string_view listing) {
    return WriteResultReport(path, WholeListing(listing));
}

std::optional<IoFailure> WriteResultReport(const std::string& path, const ReportListing& listing) {
    static const std::string title = Utf8ToGbk(kReportTitleBlock);
    static const std::string footer = Utf8ToGbk(kReportFooter);
    return WriteReport(path, title, listing, footer);
}

std::optional<IoFailure> WriteProfileReport(const std::string& path, const ProfileReportHeading& heading,
                                            std::string_view listing, const ReportSignatures& signatures) {
    return WriteReport(path, Utf8ToGbk(ProfileReportHead(heading)), WholeListing(listing),
                       Utf8ToGbk(ProfileReportFoot(signatures)));
}

}  // namespace tarnvel::io
