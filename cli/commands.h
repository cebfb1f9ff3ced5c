#pragma once
// The sub-commands of tarnvel-cli. Each takes the arguments after its own name
// and returns the process exit status.

#include <iosfwd>
#include <string>
#include <vector>

namespace tarnvel::cli {

// Exit statuses, the same for every sub-command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitArithmetic = 1;        // a calculation failed
inline constexpr int kExitShortParameterFile = 1; // a parameter file with fewer than five lines
inline constexpr int kExitProfile = 1;           // a profile that fails its checks, a station outside it
inline constexpr int kExitUsage = 2;             // bad options or values
inline constexpr int kExitFile = 3;              // a file could not be created, opened, read or written

using Args = std::vector<std::string>;

int RunPoint(const Args& args, std::ostream& out, std::ostream& err);
int RunList(const Args& args, std::ostream& out, std::ostream& err);
int RunSave(const Args& args, std::ostream& out, std::ostream& err);
int RunLoad(const Args& args, std::ostream& out, std::ostream& err);
int RunReport(const Args& args, std::ostream& out, std::ostream& err);
// tarnvel-cli profile at|elements|list|convert|names …
int RunProfile(const Args& args, std::ostream& out, std::ostream& err);
// tarnvel-cli align elements|at|list|inverse|convert …
int RunAlign(const Args& args, std::ostream& out, std::ostream& err);

// The usage texts: the whole tool's, and that of `tarnvel-cli profile`.
std::string MainUsage();
std::string ProfileUsage();
std::string AlignUsage();

}  // namespace tarnvel::cli
