#include "io/atomic_write.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <utility>

namespace tarnvel::io {
namespace {

// Temporaries being written, so that a signal that ends the process (Ctrl+C,
// kill, a closed terminal) does not leave them behind: a long report or a
// large conversion is where people give up waiting. A few slots serve writes
// from several threads; the handler only reads them.
struct TemporarySlot {
    std::atomic<bool> taken{false};
    std::atomic<bool> ready{false};
    char path[PATH_MAX + 1] = {};
};
TemporarySlot gTemporaries[8];
constexpr int kCleanedSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemoveTemporariesAndDie(int signal) {
    const int saved = errno;
    for (TemporarySlot& slot : gTemporaries)
        if (slot.ready.load()) ::unlink(slot.path);
    // The signal's own end, so that the parent sees what ended the process.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
    errno = saved;
}

// Installed once, and only over the default action: a signal the program
// ignores (nohup) or handles itself stays its own.
void InstallSignalCleanup() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int signal : kCleanedSignals) {
            struct sigaction current {};
            if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
            struct sigaction action {};
            action.sa_handler = RemoveTemporariesAndDie;
            sigemptyset(&action.sa_mask);
            for (int other : kCleanedSignals) sigaddset(&action.sa_mask, other);
            action.sa_flags = SA_RESETHAND;
            ::sigaction(signal, &action, nullptr);
        }
    });
}

// Keeps `path` for the handler while it lives; nothing when the slots are
// all in use or the path does not fit (the file is then merely not cleaned).
class RegisteredTemporary {
public:
    explicit RegisteredTemporary(const std::string& path) {
        if (path.size() > PATH_MAX) return;
        InstallSignalCleanup();
        for (TemporarySlot& slot : gTemporaries) {
            bool expected = false;
            if (!slot.taken.compare_exchange_strong(expected, true)) continue;
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            slot.ready.store(true);
            slot_ = &slot;
            return;
        }
    }
    ~RegisteredTemporary() {
        if (!slot_) return;
        slot_->ready.store(false);
        slot_->taken.store(false);
    }
    RegisteredTemporary(const RegisteredTemporary&) = delete;
    RegisteredTemporary& operator=(const RegisteredTemporary&) = delete;

private:
    TemporarySlot* slot_ = nullptr;
};

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

// Runs the producer into `fd`. Returns the failure, or nothing; `keep` tells
// whether the producer finished the content or abandoned it.
std::optional<IoFailure> Produce(int fd, const FileProducer& produce, const std::string& shown,
                                 bool& keep) {
    FileBytesSink sink(fd);
    try {
        keep = produce(sink);
    } catch (const std::exception&) {
        return CurrentExceptionFailure(FileAction::Write, shown);
    }
    // What an abandoned producer left in the buffer never reaches the file.
    if (!keep) return std::nullopt;
    if (const int error = sink.Flush(); error != 0) return FileFailure(FileAction::Write, shown, error);
    return std::nullopt;
}

// A target that cannot be renamed over: write straight into it.
std::optional<IoFailure> WriteInPlace(const std::string& target, const std::string& shown,
                                      const FileProducer& produce) {
    // O_NONBLOCK only for the open, so that a pipe without a reader fails at
    // once instead of waiting for one for ever.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return FileFailure(FileAction::Create, shown, errno);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    bool keep = true;
    std::optional<IoFailure> failure = Produce(fd, produce, shown, keep);
    if (::close(fd) != 0 && !failure && errno != EINTR) failure = FileFailure(FileAction::Write, shown, errno);
    return failure;
}

struct Target {
    std::string path;  // where the bytes finally go
    bool exists = false;
    struct stat info {};
};

// The file a path finally names: each symbolic link on the way is replaced by
// its target, a relative target being read from the link's own folder. A link
// to nothing ends at the path it names, which is then created. Returns the
// errno ELOOP for a chain that does not end.
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

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

FileBytesSink::FileBytesSink(int fd) : fd_(fd) {}

void FileBytesSink::Write(std::string_view bytes) {
    constexpr std::size_t kBufferSize = 1 << 16;
    if (error_ != 0) return;
    if (buffer_.size() + bytes.size() > kBufferSize) {
        if (Flush() != 0) return;
        if (bytes.size() >= kBufferSize) {
            error_ = WriteAll(fd_, bytes);
            return;
        }
    }
    if (buffer_.capacity() < kBufferSize) buffer_.reserve(kBufferSize);
    buffer_.append(bytes);
}

int FileBytesSink::Flush() {
    if (error_ == 0 && !buffer_.empty()) error_ = WriteAll(fd_, buffer_);
    buffer_.clear();
    return error_;
}

std::optional<IoFailure> WriteFileAtomically(const std::string& path, std::string_view bytes) {
    return WriteFileAtomically(path, [bytes](FileBytesSink& sink) {
        sink.Write(bytes);
        return true;
    });
}

std::optional<IoFailure> WriteFileAtomically(const std::string& path, const FileProducer& produce) {
    if (path.empty()) return FileFailure(FileAction::Create, path, ENOENT);
    if (path.back() == '/') return FileFailure(FileAction::Create, path, EISDIR);

    Target target;
    if (const int error = FollowLinks(path, target.path); error != 0)
        return FileFailure(FileAction::Create, path, error);
    if (::stat(target.path.c_str(), &target.info) == 0) {
        target.exists = true;
    } else if (errno != ENOENT) {
        return FileFailure(FileAction::Create, path, errno);
    }
    if (target.exists) {
        if (S_ISDIR(target.info.st_mode)) return FileFailure(FileAction::Create, path, EISDIR);
        if (!S_ISREG(target.info.st_mode)) return WriteInPlace(target.path, path, produce);
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
    if (fd < 0) {
        const int error = errno;
        // Some system folders (/proc) exist but answer "no such file" to any
        // new name: that is not a missing folder.
        if (error == ENOENT && IsFolder(folder)) return NewFileRefused(path, error);
        return FileFailure(FileAction::Create, path, error);
    }

    const RegisteredTemporary registered(temporary);

    const auto fail = [&](std::optional<IoFailure> failure, bool open) -> std::optional<IoFailure> {
        if (open) ::close(fd);
        ::unlink(temporary.c_str());
        return failure;
    };

    if (target.exists) {
        // chown before chmod: changing the owner clears set-id bits. Only a
        // privileged process may give the file away; otherwise it becomes ours.
        if (::fchown(fd, target.info.st_uid, target.info.st_gid) != 0) {
            // not fatal
        }
    }
    const mode_t mode = target.exists ? (target.info.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (::fchmod(fd, mode) != 0) return fail(FileFailure(FileAction::Create, path, errno), true);

    bool keep = true;
    try {
        if (auto failure = Produce(fd, produce, path, keep)) return fail(std::move(failure), true);
    } catch (...) {
        fail(std::nullopt, true);
        throw;
    }
    if (!keep) return fail(std::nullopt, true);
    if (::fsync(fd) != 0) return fail(FileFailure(FileAction::Write, path, errno), true);
    if (::close(fd) != 0 && errno != EINTR) return fail(FileFailure(FileAction::Write, path, errno), false);
    if (::rename(temporary.c_str(), target.path.c_str()) != 0)
        return fail(FileFailure(FileAction::Write, path, errno), false);

    // Make the rename itself durable; a failure here no longer loses data.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return std::nullopt;
}

}  // namespace tarnvel::io
