#include "io/atomic_write.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace tarnvel::io {
namespace {

// The process umask, read without changing it (umask() alone can only be read
// by setting it, which would race with any other thread creating files).
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8)) & 0777;
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// A target that cannot be renamed over: write straight into it.
std::optional<IoFailure> WriteInPlace(const std::string& target, const std::string& shown,
                                      std::string_view bytes) {
    // O_NONBLOCK only for the open, so that a pipe without a reader fails at
    // once instead of waiting for one for ever.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return FileFailure(FileAction::Create, shown, errno);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    int error = WriteAll(fd, bytes);
    if (::close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
    if (error != 0) return FileFailure(FileAction::Write, shown, error);
    return std::nullopt;
}

struct Target {
    std::string path;  // where the bytes finally go
    bool exists = false;
    struct stat info {};
};

// Follows a symbolic link to the file it names, so that saving through a link
// updates the linked file instead of replacing the link with a copy.
std::string ResolveLink(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

}  // namespace

std::optional<IoFailure> WriteFileAtomically(const std::string& path, std::string_view bytes) {
    if (path.empty()) return FileFailure(FileAction::Create, path, ENOENT);
    if (path.back() == '/') return FileFailure(FileAction::Create, path, EISDIR);

    Target target;
    target.path = ResolveLink(path);
    if (::stat(target.path.c_str(), &target.info) == 0) {
        target.exists = true;
    } else if (errno != ENOENT) {
        return FileFailure(FileAction::Create, path, errno);
    }
    if (target.exists) {
        if (S_ISDIR(target.info.st_mode)) return FileFailure(FileAction::Create, path, EISDIR);
        if (!S_ISREG(target.info.st_mode)) return WriteInPlace(target.path, path, bytes);
        // A file the user has made read-only stays as it is, although the
        // folder would let us replace it.
        if (::access(target.path.c_str(), W_OK) != 0)
            return FileFailure(FileAction::Create, path, errno);
    }

    const std::size_t slash = target.path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string(".") : target.path.substr(0, slash + 1);
    std::string temporary = folder + (slash == std::string::npos ? "/" : "") + ".tarnvel-XXXXXX";

    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return FileFailure(FileAction::Create, path, errno);

    const auto fail = [&](FileAction action, int error, bool open) -> std::optional<IoFailure> {
        if (open) ::close(fd);
        ::unlink(temporary.c_str());
        return FileFailure(action, path, error);
    };

    if (target.exists) {
        // chown before chmod: changing the owner clears set-id bits. Only a
        // privileged process may give the file away; otherwise it becomes ours.
        if (::fchown(fd, target.info.st_uid, target.info.st_gid) != 0) {
            // not fatal
        }
    }
    const mode_t mode = target.exists ? (target.info.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (::fchmod(fd, mode) != 0) return fail(FileAction::Create, errno, true);

    if (const int error = WriteAll(fd, bytes); error != 0)
        return fail(FileAction::Write, error, true);
    if (::fsync(fd) != 0) return fail(FileAction::Write, errno, true);
    if (::close(fd) != 0 && errno != EINTR) return fail(FileAction::Write, errno, false);
    if (::rename(temporary.c_str(), target.path.c_str()) != 0)
        return fail(FileAction::Write, errno, false);

    // Make the rename itself durable; a failure here no longer loses data.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return std::nullopt;
}

}  // namespace tarnvel::io
