// The route files on disk: one bounded read, and atomic writes, as for the
// profile files.

#include "io/plan_files.h"

#include "io/atomic_write.h"

namespace tarnvel::io {
namespace {

constexpr std::string_view kRouteNoun = "线路文件";

}  // namespace

Result<IntersectionTable> ReadIntersectionCsvFile(const std::string& path) {
    try {
        Result<std::string> bytes = ReadDocumentBytes(path, kRouteNoun);
        if (!bytes.ok()) return bytes.failure();
        return ParseIntersectionCsv(bytes.value(), path);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Read, path);
    }
}

std::optional<IoFailure> WriteIntersectionCsvFile(const std::string& path, const IntersectionTable& table) {
    std::string bytes;
    try {
        bytes = IntersectionCsvBytes(table);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Write, path);
    }
    return WriteFileAtomically(path, bytes);
}

Result<ElementList> ReadLandXmlElementsFile(const std::string& path, std::string_view alignment) {
    try {
        Result<std::string> bytes = ReadDocumentBytes(path, kRouteNoun);
        if (!bytes.ok()) return bytes.failure();
        return ParseLandXmlElements(bytes.value(), alignment, path);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Read, path);
    }
}

Result<RouteFile> ReadRouteFile(const std::string& path, std::string_view alignment) {
    try {
        Result<std::string> bytes = ReadDocumentBytes(path, kRouteNoun);
        if (!bytes.ok()) return bytes.failure();
        RouteFile file;
        if (SniffProfileFormat(bytes.value()) == ProfileFormat::LandXml) {
            Result<ElementList> list = ParseLandXmlElements(bytes.value(), alignment, path);
            if (!list.ok()) return list.failure();
            file.format = ProfileFormat::LandXml;
            file.route = std::move(list.value());
            return file;
        }
        Result<IntersectionTable> table = ParseIntersectionCsv(bytes.value(), path);
        if (!table.ok()) return table.failure();
        file.route = std::move(table.value());
        return file;
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Read, path);
    }
}

}  // namespace tarnvel::io
