#pragma once
// Reading the beginning of a file without trusting its size.

#include <cstddef>
#include <string>

#include "io/io_failure.h"

namespace tarnvel::io {

// Reads at most `maxBytes` bytes from the start of the file at `path` (fewer
// when the file is shorter). Whatever the file is — huge, endless like
// /dev/zero, or a pipe — the read stops there, so memory and time stay bounded.
// A folder or a missing file is a failure.
Result<std::string> ReadFilePrefix(const std::string& path, std::size_t maxBytes);

// A whole file of at most `maxBytes` bytes. A larger one is `tooLarge` with
// no bytes: a regular file is judged by its size before anything is read, a
// pipe or device once more than `maxBytes` have arrived.
struct BoundedFile {
    std::string bytes;
    bool tooLarge = false;
};
Result<BoundedFile> ReadWholeFile(const std::string& path, std::size_t maxBytes);

}  // namespace tarnvel::io
