#include "tests/cli/run_cli.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tarnvel::test {
namespace {

std::string Slurp(int fd) {
    std::string text;
    lseek(fd, 0, SEEK_SET);
    char buf[65536];
    for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
    close(fd);
    return text;
}

int TempFile() {
    char name[] = "/tmp/tarnvel-cli-test-XXXXXX";
    const int fd = mkstemp(name);
    unlink(name);
    return fd;
}

}  // namespace

CliRun RunCli(const std::string& program, const std::vector<std::string>& args,
              const std::string& stdoutPath) {
    const int out = stdoutPath.empty() ? TempFile() : open(stdoutPath.c_str(), O_WRONLY | O_CLOEXEC);
    const int err = TempFile();
    CliRun run;
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.peakKb = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (stdoutPath.empty()) {
        run.out = Slurp(out);
    } else {
        close(out);
    }
    run.err = Slurp(err);
    return run;
}

std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cells{""};
        for (char c : line) {
            if (c == ',') cells.emplace_back();
            else cells.back().push_back(c);
        }
        rows.push_back(cells);
    }
    return rows;
}

}  // namespace tarnvel::test
