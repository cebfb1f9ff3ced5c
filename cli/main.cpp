// tarnvel-cli: the calculator's arithmetic and files for scripts and batch work.

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>

#include "cli/commands.h"
#include "cli/options.h"
#include "io/io_failure.h"
#include "core/text/quoted_input.h"

namespace {

bool WantsHelp(const tarnvel::cli::Args& args) {
    for (const auto& a : args)
        if (a == "--help" || a == "-h") return true;
    return false;
}

int RunCommand(const tarnvel::cli::Args& all) {
    using namespace tarnvel::cli;

    if (all.empty()) {
        std::cerr << MainUsage();
        return kExitUsage;
    }
    const std::string_view command = all[0];
    const Args args(all.begin() + 1, all.end());
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << MainUsage();
        return kExitOk;
    }
    if (command == "--version") {
        std::cout << "tarnvel-cli " TARNVEL_VERSION "\n";
        return kExitOk;
    }

    using Command = int (*)(const Args&, std::ostream&, std::ostream&);
    using Usage = std::string (*)();
    const std::tuple<std::string_view, Command, Usage> commands[] = {
        {"point", RunPoint, MainUsage},   {"list", RunList, MainUsage},
        {"save", RunSave, MainUsage},     {"load", RunLoad, MainUsage},
        {"report", RunReport, MainUsage}, {"profile", RunProfile, ProfileUsage},
        {"align", RunAlign, AlignUsage},
    };
    for (const auto& [name, run, usage] : commands) {
        if (command != name) continue;
        if (WantsHelp(args)) {
            std::cout << usage();
            return kExitOk;
        }
        try {
            return run(args, std::cout, std::cerr);
        } catch (const UsageError& e) {
            std::cerr << "tarnvel-cli: " << e.what() << "\n（tarnvel-cli --help 显示用法）\n";
            return kExitUsage;
        }
    }
    if (WantsHelp(args)) {
        std::cout << MainUsage();
        return kExitOk;
    }
    std::cerr << "tarnvel-cli: 未知的命令“" << tarnvel::QuotedInput(command) << "”\n（tarnvel-cli --help 显示用法）\n";
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    errno = 0;
    int status = tarnvel::cli::kExitFile;
    // Memory that runs out anywhere (a listing, a drawing, the arguments
    // themselves) ends the command as a failure the user can read, not as an
    // abort with a library's English words.
    try {
        status = RunCommand(tarnvel::cli::Args(argv + 1, argv + argc));
    } catch (const std::bad_alloc&) {
        std::cerr << "tarnvel-cli: 内存不足，命令未完成。\n";
        return tarnvel::cli::kExitFile;
    } catch (const std::length_error&) {
        std::cerr << "tarnvel-cli: 内存不足，命令未完成。\n";
        return tarnvel::cli::kExitFile;
    }
    // Whatever the command, output that did not arrive is a failure: a script
    // reading a listing from a full disk must not take it for complete. errno
    // still holds the reason of the write that failed.
    if (!std::cout.flush()) {
        const int code = errno;
        std::cerr << "tarnvel-cli: " << tarnvel::io::DescribeStreamWriteError("标准输出", code) << '\n';
        return tarnvel::cli::kExitFile;
    }
    return status;
}
