#include "io/profile_files.h"
#include "io/plan_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cctype>

#include "io/atomic_write.h"
#include "io/bounded_read.h"
#include "io/control_files.h"
#include "io/csv_records.h"
#include "io/ground_files.h"
#include "io/output_name.h"

namespace tarnvel::io {

ProfileFormat SniffProfileFormat(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) bytes.remove_prefix(2);
    // NUL bytes are the other half of UTF-16 characters here.
    const std::size_t first = bytes.find_first_not_of(std::string_view(" \t\r\n\0", 5));
    return first != std::string_view::npos && bytes[first] == '<' ? ProfileFormat::LandXml : ProfileFormat::Csv;
}

Result<std::string> ReadDocumentBytes(const std::string& path, std::string_view noun) {
    Result<BoundedFile> read = ReadWholeFile(path, kMaxProfileFileBytes);
    if (!read.ok()) return read.failure();
    if (read.value().tooLarge)
        return IoFailure{FailureKind::NotProfile, "文件“" + path + "”大于" +
                                                      std::to_string(kMaxProfileFileBytes >> 20) + "MB，超出" +
                                                      std::string(noun) + "的大小上限，未读取。"};
    std::string& bytes = read.value().bytes;
    // Text saved as UTF-16 (a spreadsheet's "Unicode text", or XML) is full
    // of NUL bytes but is no binary file: the readers say what to do with it.
    if (!LooksLikeUtf16(bytes) && bytes.find('\0') != std::string::npos)
        return IoFailure{FailureKind::NotProfile,
                         "文件“" + path + "”含有二进制数据，不是" + std::string(noun) + "，未读取。"};
    return std::move(bytes);
}

namespace {

Result<std::string> ReadProfileBytes(const std::string& path) { return ReadDocumentBytes(path, "纵断面文件"); }

}  // namespace

Result<ProfileFileContent> ReadProfileFileContent(const std::string& path, std::string_view name) {
    try {
        Result<std::string> bytes = ReadProfileBytes(path);
        if (!bytes.ok()) return bytes.failure();
        ProfileFileContent read;
        if (SniffProfileFormat(bytes.value()) == ProfileFormat::LandXml) {
            Result<LandXmlContent> content = ParseLandXmlInPlace(bytes.value(), name, path);
            if (!content.ok()) return content.failure();
            read.format = ProfileFormat::LandXml;
            read.content = std::move(content.value());
            return read;
        }
        Result<ProfileModel> model = ParseProfileCsv(bytes.value(), path);
        if (!model.ok()) return model.failure();
        read.content.model = std::move(model.value());
        return read;
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Read, path);
    }
}

Result<ProfileModel> ReadProfileFile(const std::string& path, std::string_view name) {
    Result<ProfileFileContent> read = ReadProfileFileContent(path, name);
    if (!read.ok()) return read.failure();
    return std::move(read.value().content.model);
}

Result<std::vector<LandXmlProfileName>> ReadLandXmlProfileNames(const std::string& path) {
    try {
        Result<std::string> bytes = ReadProfileBytes(path);
        if (!bytes.ok()) return bytes.failure();
        if (SniffProfileFormat(bytes.value()) != ProfileFormat::LandXml)
            return IoFailure{FailureKind::NotProfile, "文件“" + path + "”不是LandXML文件，其中没有可选的纵断面。"};
        Result<LandXmlContent> content = ListLandXmlInPlace(bytes.value(), path);
        if (!content.ok()) return content.failure();
        return std::move(content.value().names);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Read, path);
    }
}

std::vector<std::string> LandXmlContentAt(const std::string& path) {
    try {
        // A LandXML file too large to read cannot be looked into: what it
        // holds is unknown, so it counts as more than a profile.
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            static_cast<std::uintmax_t>(info.st_size) > kMaxProfileFileBytes) {
            const Result<std::string> start = ReadFilePrefix(path, 4096);
            if (start.ok() && SniffProfileFormat(start.value()) == ProfileFormat::LandXml)
                return {"大于" + std::to_string(kMaxProfileFileBytes >> 20) + "MB、未能查看的内容"};
            return {};
        }
        Result<std::string> bytes = ReadProfileBytes(path);
        if (!bytes.ok() || SniffProfileFormat(bytes.value()) != ProfileFormat::LandXml) return {};
        Result<LandXmlContent> content = ListLandXmlInPlace(bytes.value(), path);
        if (!content.ok()) return {};
        return std::move(content.value().beyondProfile);
    } catch (const std::exception&) {
        return {};
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

std::string ProfileFileBytes(const ProfileModel& model, ProfileFormat format, std::string_view alignment,
                             const std::vector<GroundModel>& grounds, const ProfileChecks& checks) {
    return format == ProfileFormat::LandXml ? LandXmlBytes(model, alignment, grounds, checks) : ProfileCsvBytes(model);
}

std::optional<IoFailure> WriteProfileFile(const std::string& path, const ProfileModel& model, ProfileFormat format,
                                          std::string_view alignment, const std::vector<GroundModel>& grounds,
                                          const ProfileChecks& checks) {
    std::string bytes;
    try {
        bytes = ProfileFileBytes(model, format, alignment, grounds, checks);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Write, path);
    }
    return WriteFileAtomically(path, bytes);
}

}  // namespace tarnvel::io

namespace tarnvel::io {

namespace {

// "<stem><suffix>" beside a profile: a ".csv" extension (any case) gives way to the suffix.
std::string CompanionPath(const std::string& profilePath, std::string_view suffix) {
    std::string stem = profilePath;
    const std::size_t slash = stem.find_last_of('/');
    const std::size_t dot = stem.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) {
        std::string extension = stem.substr(dot);
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension == ".csv") stem.erase(dot);
    }
    return stem + std::string(suffix);
}

}  // namespace

std::string GroundCompanionPath(const std::string& profilePath) { return CompanionPath(profilePath, "-地面线.csv"); }

std::string IntersectionCompanionPath(const std::string& profilePath) {
    return CompanionPath(profilePath, "-交点表.csv");
}

std::string ControlCompanionPath(const std::string& profilePath) {
    return CompanionPath(profilePath, "-控制标高.csv");
}

std::string CriteriaCompanionPath(const std::string& profilePath) {
    return CompanionPath(profilePath, "-设计标准.csv");
}

std::optional<IoFailure> WriteCsvProfileWithGround(const std::string& path, const ProfileModel& model,
                                                   const GroundModel* ground,
                                                   const std::optional<FileIdentity>& removable) {
    CompanionWrite companion{GroundCompanionPath(path), std::nullopt, removable};
    if (ground) {
        try {
            companion.bytes = GroundCsvBytes(*ground, model.unit);
        } catch (const std::exception&) {
            return CurrentExceptionFailure(FileAction::Write, companion.path);
        }
    }
    return WriteCsvProfileWithCompanions(path, model, {companion});
}

std::optional<IoFailure> WriteCsvProfileWithCompanions(const std::string& path, const ProfileModel& model,
                                                       const std::vector<CompanionWrite>& companions) {
    std::string profileBytes;
    try {
        profileBytes = ProfileCsvBytes(model);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Write, path);
    }
    const auto bytesOf = [](const std::string& bytes) {
        return [&bytes](FileBytesSink& sink) {
            sink.Write(bytes);
            return true;
        };
    };
    std::vector<FileChange> changes{{path, bytesOf(profileBytes)}};
    for (const CompanionWrite& c : companions) {
        if (c.bytes) {
            changes.push_back({c.path, bytesOf(*c.bytes)});
        } else if (c.removable && IdentityOf(c.path) == c.removable) {
            // The table read with this profile, which the user cleared: left
            // there, it would bring the table back on opening.
            changes.push_back({c.path, {}});
        }
    }
    return CommitFiles(changes);
}

}  // namespace tarnvel::io
