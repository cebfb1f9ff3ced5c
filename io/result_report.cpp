#include "io/result_report.h"

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
    std::string bytes;
    try {
        bytes = FormatResultReport(listing);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Write, path);
    }
    return WriteFileAtomically(path, bytes);
}

}  // namespace tarnvel::io
