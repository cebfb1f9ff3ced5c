#pragma once
// Which file a path names, by identity rather than by spelling: "x", "./x",
// "d/../x", a symbolic link to x and a hard link of x all name one file. The
// command line compares its outputs with its inputs this way, and the window
// compares a ground table beside a profile with the one it read.

#include <sys/types.h>

#include <optional>
#include <string>

namespace tarnvel::io {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    // Empty for a file that exists (device and inode are its own); for one
    // not there yet, its name in the folder that device and inode identify.
    std::string name;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The file `path` finally names: each symbolic link on the way replaced by
// its target (a relative one read from the link's own folder); a link to
// nothing ends at the path it names. Returns an errno (ELOOP for a chain that
// does not end), or 0.
int FollowLinks(const std::string& path, std::string& target);

// The identity of what `path` names, following links; nothing when neither
// the file nor its folder can be reached.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// Whether `a` and `b` name one file, existing or to be created. Paths that
// cannot be reached are not the same as anything.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace tarnvel::io
