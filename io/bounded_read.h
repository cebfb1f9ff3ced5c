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

}  // namespace tarnvel::io
