#include "io/profile_files.h"

#include <algorithm>
#include <cctype>

#include "io/atomic_write.h"
#include "io/bounded_read.h"
#include "io/output_name.h"

namespace tarnvel::io {

ProfileFormat SniffProfileFormat(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && bytes[first] == '<' ? ProfileFormat::LandXml : ProfileFormat::Csv;
}

namespace {

// The bytes of a profile file, or why they are not worth parsing.
Result<std::string> ReadProfileBytes(const std::string& path) {
    Result<std::string> read = ReadFilePrefix(path, kMaxProfileFileBytes + 1);
    if (!read.ok()) return read.failure();
    if (read.value().size() > kMaxProfileFileBytes)
        return IoFailure{
            FailureKind::NotProfile,
            "文件“" + path + "”超过" + std::to_string(kMaxProfileFileBytes >> 20) + "MB，不是纵断面文件，未读取。"};
    // Text saved as UTF-16 (a spreadsheet's "Unicode text") is full of NUL
    // bytes but is no binary file: the CSV reader says what to do with it.
    const bool utf16 = read.value().starts_with("\xFF\xFE") || read.value().starts_with("\xFE\xFF");
    if (!utf16 && read.value().find('\0') != std::string::npos)
        return IoFailure{FailureKind::NotProfile, "文件“" + path + "”含有二进制数据，不是纵断面文件，未读取。"};
    return read;
}

}  // namespace

Result<ProfileModel> ReadProfileFile(const std::string& path, std::string_view name) {
    try {
        Result<std::string> bytes = ReadProfileBytes(path);
        if (!bytes.ok()) return bytes.failure();
        if (SniffProfileFormat(bytes.value()) == ProfileFormat::LandXml) return ParseLandXml(bytes.value(), name, path);
        return ParseProfileCsv(bytes.value(), path);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Read, path);
    }
}

Result<std::vector<LandXmlProfileName>> ReadLandXmlProfileNames(const std::string& path) {
    try {
        Result<std::string> bytes = ReadProfileBytes(path);
        if (!bytes.ok()) return bytes.failure();
        if (SniffProfileFormat(bytes.value()) != ProfileFormat::LandXml)
            return IoFailure{FailureKind::NotProfile, "文件“" + path + "”不是LandXML文件，其中没有可选的纵断面。"};
        return ListLandXmlProfiles(bytes.value(), path);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Read, path);
    }
}

namespace {
constexpr std::string_view kProfileExtensions[] = {"xml", "csv"};
constexpr ProfileFormat kProfileFormats[] = {ProfileFormat::LandXml, ProfileFormat::Csv};
}  // namespace

std::optional<ProfileFormat> ProfileFormatFromPath(std::string_view path) {
    const auto name = ProfileOutputName(path, std::nullopt);
    if (!name) return std::nullopt;
    return name->second;
}

std::optional<std::pair<std::string, ProfileFormat>> ProfileOutputName(std::string_view typed,
                                                                       std::optional<ProfileFormat> picked) {
    std::optional<std::size_t> index;
    if (picked) index = *picked == ProfileFormat::LandXml ? 0 : 1;
    const std::optional<OutputName> name = ResolveOutputName(typed, kProfileExtensions, index);
    if (!name) return std::nullopt;
    return std::pair{name->path, kProfileFormats[name->format]};
}

std::optional<IoFailure> WriteProfileFile(const std::string& path, const ProfileModel& model, ProfileFormat format) {
    std::string bytes;
    try {
        bytes = format == ProfileFormat::LandXml ? LandXmlBytes(model) : ProfileCsvBytes(model);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Write, path);
    }
    return WriteFileAtomically(path, bytes);
}

}  // namespace tarnvel::io
