#pragma once
// Runs a piece of a test in a forked child, for what must not touch the test
// process itself: a file size limit, or giving up root rights (root ignores
// file permissions, and the tests run as root).

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace tarnvel::io::testing {

// Runs `body` in a child and returns what it returned, or "<child failed>".
inline std::string InChild(const std::function<std::string()>& body) {
    int channel[2];
    if (::pipe(channel) != 0) return "<pipe failed>";
    const pid_t pid = ::fork();
    if (pid < 0) return "<fork failed>";
    if (pid == 0) {
        ::close(channel[0]);
        const std::string result = body();
        std::size_t done = 0;
        while (done < result.size()) {
            const ssize_t n = ::write(channel[1], result.data() + done, result.size() - done);
            if (n <= 0) ::_exit(2);
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string result;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(channel[0], buffer, sizeof buffer)) > 0) result.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "<child failed>";
    return result;
}

// The user and group "nobody": whatever the child does afterwards, the
// permissions of files apply to it.
inline bool BecomeNobody() { return ::setgid(65534) == 0 && ::setuid(65534) == 0; }

}  // namespace tarnvel::io::testing
