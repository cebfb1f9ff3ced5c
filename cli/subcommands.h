#pragma once
// A command made of sub-commands (`profile`, `align`): one table of its
// sub-commands gives the dispatch, the list that messages name and the usage
// text, so a new sub-command is one more row.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/profile_options.h"

namespace tarnvel::cli {

struct Subcommand {
    std::string_view name;
    std::string_view synopsis;  // after "tarnvel-cli GROUP NAME "
    std::string_view summary;
    std::span<const OptionSpec> options;
    int (*run)(const Options& options, std::ostream& out, std::ostream& err);
};

struct SubcommandGroup {
    std::string_view name;                 // "profile", as typed after tarnvel-cli
    std::span<const Subcommand> commands;  // in the order the usage lists them
};

// `lead` (the synopsis and what the group is about), then every sub-command
// with its synopsis, then each option once, then `tail` (examples, exit
// statuses).
std::string SubcommandUsage(const SubcommandGroup& group, std::string_view lead, std::string_view tail);

// Runs the sub-command named by args[0] with the rest; a missing or unknown
// name, or a bad option, is a usage error pointing to the group's --help.
int RunSubcommand(const SubcommandGroup& group, const Args& args, std::ostream& out, std::ostream& err);

}  // namespace tarnvel::cli
