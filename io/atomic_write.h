#pragma once
// The one way this program writes a file.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "io/io_failure.h"

namespace tarnvel::io {

// Where a producer puts the bytes of the file. Writes are buffered; after the
// first failed write the rest are dropped and the writer reports that failure.
class FileBytesSink {
public:
    explicit FileBytesSink(int fd);
    FileBytesSink(const FileBytesSink&) = delete;
    FileBytesSink& operator=(const FileBytesSink&) = delete;

    void Write(std::string_view bytes);
    // Sends what is buffered to the file; returns the errno of the first
    // failed write, or 0.
    int Flush();

private:
    int fd_;
    int error_ = 0;
    std::string buffer_;
};

// Writes the whole content into the sink. Returning false abandons the file:
// the existing one stays as it was and nothing is reported. An exception it
// throws is reported as a write failure of the file.
using FileProducer = std::function<bool(FileBytesSink&)>;

// Replaces the file at `path` with what `produce` writes, or leaves it as it was.
//
// The bytes go to a temporary file beside the target, which is flushed to the
// disk and then renamed over the target, so a reader sees either the old file
// or the complete new one, never a half-written one. On any failure the
// temporary is removed and the existing file is untouched. A replaced file
// keeps its permissions (and its owner, where the system allows); a new file
// gets 0666 less the umask.
//
// A symbolic link is written through, as editors do: the link stays and the
// file it finally names (following a chain of links, a relative target read
// from the link's own folder) is replaced; a link to nothing creates its target.
//
// A target that exists but is not a regular file (a device such as /dev/null,
// a pipe) cannot be replaced and is written in place instead: it receives the
// bytes as they are produced, so a producer that abandons the content after
// more than the buffer (64 KiB) has gone out leaves those bytes there.
[[nodiscard]] std::optional<IoFailure> WriteFileAtomically(const std::string& path,
                                                           const FileProducer& produce);

// The same for content already held whole.
[[nodiscard]] std::optional<IoFailure> WriteFileAtomically(const std::string& path,
                                                           std::string_view bytes);

// One file of a set written together: `produce` gives its content, or is
// empty to remove the file (nothing happens when it is not there; a link is
// removed itself).
struct FileChange {
    std::string path;
    FileProducer produce;
};

// Writes every file of the set, or leaves every one as it was: each content
// is made complete in a temporary beside its file first (links followed, as
// above); only when all are ready are they renamed into place, with SIGINT,
// SIGTERM and SIGHUP held back meanwhile. A rename that still fails puts the
// files already replaced or removed back. A producer that abandons its
// content abandons the whole set. Two changes of one file (by identity, not
// by spelling) are refused. Devices are written last, in place.
[[nodiscard]] std::optional<IoFailure> CommitFiles(std::span<const FileChange> changes);

}  // namespace tarnvel::io
