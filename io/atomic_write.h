#pragma once
// The one way this program writes a file.

#include <optional>
#include <string>
#include <string_view>

#include "io/io_failure.h"

namespace tarnvel::io {

// Replaces the file at `path` with exactly `bytes`, or leaves it as it was.
//
// The bytes go to a temporary file in the same folder, which is flushed to the
// disk and then renamed over the target, so a reader sees either the old file
// or the complete new one, never a half-written one. On any failure the
// temporary is removed and the existing file is untouched. A replaced file
// keeps its permissions (and its owner, where the system allows); a new file
// gets 0666 less the umask. A symbolic link is written through, not replaced.
//
// A target that exists but is not a regular file (a device such as /dev/null,
// a pipe) cannot be replaced and is written in place instead.
[[nodiscard]] std::optional<IoFailure> WriteFileAtomically(const std::string& path,
                                                           std::string_view bytes);

}  // namespace tarnvel::io
