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
#include <algorithm>
#include <utility>
#include <vector>

#include "io/file_identity.h"

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
TemporarySlot gTemporaries[16];
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

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// One file of a commit on its way: checked, its content in a temporary
// beside it, then renamed over it with the others.
struct Pending {
    const FileChange* change = nullptr;
    std::string target;  // where the bytes finally go (the link itself for a removal)
    std::string folder;  // the target's, with its slash
    bool exists = false;
    bool inPlace = false;  // a device or a pipe: written when the others are renamed
    struct stat info {};
    std::string temporary;  // the content, complete and on the disk
    std::optional<RegisteredTemporary> registered;
    std::string backup;  // the replaced file, kept (a hard link) until all are renamed
    // Signals are held while the files are renamed, but only in this thread.
    std::optional<RegisteredTemporary> registeredBackup;
    bool done = false;

    bool Removal() const { return !change->produce; }
    bool Skipped() const { return Removal() && !exists; }
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

// A new empty file of a unique name in `folder`, to be replaced by a rename;
// empty when none can be made. `error` receives the errno.
std::string UniqueName(const std::string& folder, int& error) {
    std::string name = folder + ".tarnvel-XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return {};
    }
    ::close(fd);
    return name;
}

// Where a change goes and whether it can: the file a write finally lands in
// (links followed), refused when that is a folder or read-only.
std::optional<IoFailure> Locate(Pending& p) {
    const std::string& path = p.change->path;
    if (path.empty()) return FileFailure(FileAction::Create, path, ENOENT);
    if (path.back() == '/') return FileFailure(FileAction::Create, path, EISDIR);
    if (p.Removal()) {
        // A link is removed itself, not the file it names.
        p.target = path;
        if (::lstat(path.c_str(), &p.info) == 0) p.exists = true;
        else if (errno != ENOENT) return FileFailure(FileAction::Write, path, errno);
        if (p.exists && S_ISDIR(p.info.st_mode)) return FileFailure(FileAction::Write, path, EISDIR);
        p.folder = FolderOf(p.target);
        return std::nullopt;
    }
    if (const int error = FollowLinks(path, p.target); error != 0) return FileFailure(FileAction::Create, path, error);
    if (::stat(p.target.c_str(), &p.info) == 0) {
        p.exists = true;
    } else if (errno != ENOENT) {
        return FileFailure(FileAction::Create, path, errno);
    }
    if (p.exists) {
        if (S_ISDIR(p.info.st_mode)) return FileFailure(FileAction::Create, path, EISDIR);
        if (!S_ISREG(p.info.st_mode)) {
            p.inPlace = true;
            return std::nullopt;
        }
        // A file the user has made read-only stays as it is, although the
        // folder would let us replace it.
        if (::access(p.target.c_str(), W_OK) != 0) return FileFailure(FileAction::Create, path, errno);
    }
    p.folder = FolderOf(p.target);
    return std::nullopt;
}

// The content of a write, complete in a temporary beside its target. Sets
// `keep` false when the producer abandons it.
std::optional<IoFailure> Prepare(Pending& p, bool& keep) {
    const std::string& path = p.change->path;
    std::string temporary = p.folder + ".tarnvel-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        // Some system folders (/proc) exist but answer "no such file" to any
        // new name: that is not a missing folder.
        if (error == ENOENT && IsFolder(p.folder)) return NewFileRefused(path, error);
        return FileFailure(FileAction::Create, path, error);
    }
    p.temporary = temporary;
    p.registered.emplace(temporary);
    const auto fail = [&](std::optional<IoFailure> failure) {
        ::close(fd);
        return failure;
    };
    if (p.exists) {
        // chown before chmod: changing the owner clears set-id bits. Only a
        // privileged process may give the file away; otherwise it becomes ours.
        if (::fchown(fd, p.info.st_uid, p.info.st_gid) != 0) {
            // not fatal
        }
    }
    const mode_t mode = p.exists ? (p.info.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (::fchmod(fd, mode) != 0) return fail(FileFailure(FileAction::Create, path, errno));
    try {
        if (auto failure = Produce(fd, p.change->produce, path, keep)) return fail(std::move(failure));
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (!keep) return fail(std::nullopt);
    if (::fsync(fd) != 0) return fail(FileFailure(FileAction::Write, path, errno));
    if (::close(fd) != 0 && errno != EINTR) return FileFailure(FileAction::Write, path, errno);
    return std::nullopt;
}

// The signals that would end the process, held back while the files are
// renamed: a set is never left half renamed by Ctrl+C.
class HeldSignals {
public:
    HeldSignals() {
        sigset_t held;
        sigemptyset(&held);
        for (int signal : kCleanedSignals) sigaddset(&held, signal);
        ::pthread_sigmask(SIG_BLOCK, &held, &before_);
    }
    ~HeldSignals() { ::pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

private:
    sigset_t before_;
};

// Puts every prepared file in place; on a failure, undoes what was done
// (from the backups) and returns it.
std::optional<IoFailure> Rename(std::vector<Pending>& pending) {
    const bool several = std::count_if(pending.begin(), pending.end(), [](const Pending& p) { return !p.Skipped(); }) > 1;
    for (Pending& p : pending) {
        if (p.Skipped() || p.inPlace) continue;
        const std::string& path = p.change->path;
        int error = 0;
        if (p.Removal()) {
            // Moved aside, so that it can come back.
            p.backup = UniqueName(p.folder, error);
            if (p.backup.empty()) return FileFailure(FileAction::Write, path, error);
            p.registeredBackup.emplace(p.backup);
            if (::rename(p.target.c_str(), p.backup.c_str()) != 0) {
                error = errno;
                ::unlink(p.backup.c_str());
                p.backup.clear();
                return FileFailure(FileAction::Write, path, error);
            }
        } else {
            if (several && p.exists) {
                // Without hard links (some file systems) this file cannot be undone.
                p.backup = UniqueName(p.folder, error);
                if (!p.backup.empty() && (::unlink(p.backup.c_str()) != 0 || ::link(p.target.c_str(), p.backup.c_str()) != 0))
                    p.backup.clear();
                if (!p.backup.empty()) p.registeredBackup.emplace(p.backup);
            }
            if (::rename(p.temporary.c_str(), p.target.c_str()) != 0) {
                error = errno;
                if (!p.backup.empty()) ::unlink(p.backup.c_str());
                p.backup.clear();
                return FileFailure(FileAction::Write, path, error);
            }
            p.temporary.clear();
        }
        p.done = true;
    }
    // Devices last: what they receive cannot be taken back.
    for (Pending& p : pending) {
        if (!p.inPlace) continue;
        if (auto failure = WriteInPlace(p.target, p.change->path, p.change->produce)) return failure;
        p.done = true;
    }
    return std::nullopt;
}

void Undo(std::vector<Pending>& pending) {
    for (auto p = pending.rbegin(); p != pending.rend(); ++p) {
        if (!p->done || p->inPlace) continue;
        if (!p->backup.empty()) {
            if (::rename(p->backup.c_str(), p->target.c_str()) == 0) p->backup.clear();
        } else if (!p->Removal() && !p->exists) {
            ::unlink(p->target.c_str());
        }
    }
}

// Removes what is left of the temporaries and backups.
void Clean(std::vector<Pending>& pending) {
    for (Pending& p : pending) {
        if (!p.temporary.empty()) ::unlink(p.temporary.c_str());
        if (!p.backup.empty()) ::unlink(p.backup.c_str());
        p.registered.reset();
        p.registeredBackup.reset();
    }
}

void SyncFolder(const std::string& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
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
    const FileChange change{path, produce};
    return CommitFiles(std::span(&change, 1));
}

std::optional<IoFailure> CommitFiles(std::span<const FileChange> changes) {
    std::vector<Pending> pending(changes.size());
    for (std::size_t i = 0; i < changes.size(); ++i) {
        pending[i].change = &changes[i];
        if (auto failure = Locate(pending[i])) return failure;
    }
    // Two writes of one file would leave whichever came last. (A device
    // written twice loses nothing; a removal takes the name, not the file.)
    const auto replaced = [](const Pending& p) { return !p.Removal() && !p.inPlace; };
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (!replaced(pending[i])) continue;
        const std::optional<FileIdentity> a = IdentityOf(pending[i].target);
        for (std::size_t j = 0; a && j < i; ++j) {
            if (replaced(pending[j]) && a == IdentityOf(pending[j].target))
                return SameFileFailure(changes[j].path, changes[i].path);
        }
    }
    try {
        for (Pending& p : pending) {
            if (p.Removal() || p.inPlace) continue;
            bool keep = true;
            auto failure = Prepare(p, keep);
            if (failure || !keep) {
                Clean(pending);
                return failure;
            }
        }
    } catch (...) {
        Clean(pending);
        throw;
    }
    std::optional<IoFailure> failure;
    {
        const HeldSignals held;
        failure = Rename(pending);
        if (failure) Undo(pending);
        // Nothing is left for a signal to clean once the renames are done.
        Clean(pending);
    }
    if (failure) return failure;
    // Make the renames themselves durable; a failure here no longer loses data.
    for (const Pending& p : pending)
        if (p.done && !p.inPlace) SyncFolder(p.folder);
    return std::nullopt;
}

}  // namespace tarnvel::io
