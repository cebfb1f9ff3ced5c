#include "io/file_identity.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace tarnvel::io {

int FollowLinks(const std::string& path, std::string& target) {
    target = path;
    for (int hops = 0; hops <= 40; ++hops) {
        struct stat link {};
        if (::lstat(target.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return 0;
        std::string named(static_cast<std::size_t>(link.st_size > 0 ? link.st_size : PATH_MAX) + 1, '\0');
        const ssize_t n = ::readlink(target.c_str(), named.data(), named.size());
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) >= named.size()) return ENAMETOOLONG;  // changed meanwhile
        named.resize(static_cast<std::size_t>(n));
        if (named.empty()) return ENOENT;
        if (named.front() != '/') {
            const std::size_t slash = target.rfind('/');
            if (slash != std::string::npos) named.insert(0, target, 0, slash + 1);
        }
        target = std::move(named);
    }
    return ELOOP;
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    if (path.empty()) return std::nullopt;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return FileIdentity{info.st_dev, info.st_ino, {}};
    // Not there yet: the folder it would be created in, and its name there,
    // as the writer would create it.
    std::string target;
    if (FollowLinks(path, target) != 0) return std::nullopt;
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") return std::nullopt;
    if (::stat(folder.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino, std::move(name)};
}

bool SameFile(const std::string& a, const std::string& b) {
    const std::optional<FileIdentity> x = IdentityOf(a);
    return x && x == IdentityOf(b);
}

}  // namespace tarnvel::io
