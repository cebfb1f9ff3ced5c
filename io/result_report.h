#pragma once
// The result report: the continuous listing between a fixed title block and a
// fixed signature footer, in code page 936 with CR LF line ends. The program
// only writes it; nothing reads it back.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "io/io_failure.h"

namespace tarnvel::io {

// Two empty lines, the title, the rule, two empty lines: always 47 bytes.
inline constexpr std::string_view kReportTitleBlock =
    "\r\n\r\n   高程计算成果表\r\n -----------------\r\n\r\n\r\n";
// The heading of a report listed from a whole profile: what was listed, of
// what, and when. Values are UTF-8; an empty one is left out with its line.
struct ProfileReportHeading {
    std::string project;  // the project, or the profile file's name
    std::string profile;  // the profile's name
    std::string range;    // "K0+000.000 至 K1+266.246"
    std::string date;     // "2026-12-07"
};
// The signatures of a profile report's footer: the names the user gave for
// the sheets, each left blank when none was given; never anyone else's.
struct ReportSignatures {
    std::string designer;  // 设计
    std::string checker;   // 复核
    std::string approver;  // 审核
};
// The report's first lines under that heading: two empty lines, the title and
// its rule, one line each for 项目, 纵断面, 范围 and 日期, two empty lines.
std::string ProfileReportHead(const ProfileReportHeading& heading);
// Its last lines: two empty lines and "设计：…    复核：…    审核：…".
std::string ProfileReportFoot(const ReportSignatures& signatures);

// Two empty lines, then the signature line with its empty fields.
inline constexpr std::string_view kReportFooter =
    "\r\n\r\n计算：Morlen    复核：     监理：\r\n";

// The bytes of the report of `listing` (UTF-8, CR LF line ends, as the listing
// box holds it). The listing goes in as one piece, its own line ends untouched,
// followed by one CR LF.
std::string FormatResultReport(std::string_view listing);

// Writes the report of `listing` at `path`, replacing it whole or not at all.
[[nodiscard]] std::optional<IoFailure> WriteResultReport(const std::string& path,
                                                         std::string_view listing);

// Takes the listing piece by piece (UTF-8, CR LF line ends; no piece may end
// inside a character).
using ReportTextSink = std::function<void(std::string_view)>;
// Produces the whole listing into the sink it is given, or returns false to
// abandon the report.
using ReportListing = std::function<bool(const ReportTextSink&)>;

// The same report, written as the listing is produced, so that memory stays
// flat however long it is: the same bytes as FormatResultReport of the whole
// listing. An abandoned report leaves the file as it was.
[[nodiscard]] std::optional<IoFailure> WriteResultReport(const std::string& path,
                                                         const ReportListing& listing);

// The report of a profile listing: the same as WriteResultReport, the title
// block replaced by ProfileReportHead(heading), the footer by
// ProfileReportFoot(signatures).
[[nodiscard]] std::optional<IoFailure> WriteProfileReport(const std::string& path,
                                                          const ProfileReportHeading& heading,
                                                          std::string_view listing,
                                                          const ReportSignatures& signatures = {});

}  // namespace tarnvel::io
