#include "io/bounded_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace tarnvel::io {

namespace {

// The first `maxBytes` bytes; a regular file longer than `regularLimit` is
// not read (`tooLarge` is set instead).
Result<std::string> ReadBounded(const std::string& path, std::size_t maxBytes, std::uintmax_t regularLimit,
                                bool& tooLarge) {
    tooLarge = false;
    if (path.empty()) return FileFailure(FileAction::Open, path, ENOENT);
    // O_NONBLOCK only for the open: opening a pipe must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return FileFailure(FileAction::Open, path, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return FileFailure(FileAction::Open, path, error);
    }
    if (S_ISDIR(info.st_mode)) {
        ::close(fd);
        return FileFailure(FileAction::Open, path, EISDIR);
    }
    if (S_ISREG(info.st_mode) && static_cast<std::uintmax_t>(info.st_size) > regularLimit) {
        ::close(fd);
        tooLarge = true;
        return std::string();
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);

    // The buffer grows with what arrives, so that a small file under a large
    // limit costs its own size, not the limit's. A regular file's size is a
    // good first guess (one more byte tells whether it has grown since).
    std::string bytes;
    std::size_t capacity = 64u << 10;
    if (S_ISREG(info.st_mode) && info.st_size >= 0)
        capacity = static_cast<std::size_t>(info.st_size) + 1;
    bytes.resize(std::min(maxBytes, capacity));
    std::size_t filled = 0;
    while (filled < maxBytes) {
        if (filled == bytes.size()) bytes.resize(std::min(maxBytes, bytes.size() * 2));
        const ssize_t n = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            return FileFailure(FileAction::Read, path, error);
        }
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(filled);
    return bytes;
}

}  // namespace

Result<std::string> ReadFilePrefix(const std::string& path, std::size_t maxBytes) {
    bool tooLarge = false;
    return ReadBounded(path, maxBytes, UINTMAX_MAX, tooLarge);
}

Result<BoundedFile> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
    // One byte more than allowed tells a stream that has more to give.
    bool tooLarge = false;
    Result<std::string> read = ReadBounded(path, maxBytes + 1, maxBytes, tooLarge);
    if (!read.ok()) return read.failure();
    BoundedFile file;
    file.tooLarge = tooLarge || read.value().size() > maxBytes;
    if (!file.tooLarge) file.bytes = std::move(read.value());
    return file;
}

}  // namespace tarnvel::io
