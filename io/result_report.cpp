#include "io/result_report.h"

#include <algorithm>
#include <exception>

#include "io/atomic_write.h"
#include "io/gbk.h"

namespace tarnvel::io {

std::string FormatResultReport(std::string_view listing) {
    std::string text;
    text.reserve(kReportTitleBlock.size() + listing.size() + 2 + kReportFooter.size());
    text += kReportTitleBlock;
    text += listing;
    text += "\r\n";
    text += kReportFooter;
    return Utf8ToGbk(text);
}

std::optional<IoFailure> WriteResultReport(const std::string& path, std::string_view listing) {
    return WriteResultReport(path, [listing](const ReportTextSink& sink) {
        sink(listing);
        return true;
    });
}

std::optional<IoFailure> WriteResultReport(const std::string& path, const ReportListing& listing) {
    return WriteFileAtomically(path, [&listing](FileBytesSink& file) {
        // The fixed parts are converted once; the listing's lines are nearly
        // all digits and blanks, which are the same bytes in code page 936.
        static const std::string title = Utf8ToGbk(kReportTitleBlock);
        static const std::string footer = Utf8ToGbk(kReportFooter);
        file.Write(title);
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

}  // namespace tarnvel::io
