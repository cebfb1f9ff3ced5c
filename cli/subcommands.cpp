#include "cli/subcommands.h"

#include <algorithm>
#include <ostream>
#include <vector>

#include "core/text/quoted_input.h"

namespace tarnvel::cli {
namespace {

std::string NameList(const SubcommandGroup& group) {
    std::string names;
    for (const Subcommand& c : group.commands) names += (names.empty() ? "" : "、") + std::string(c.name);
    return names;
}

}  // namespace

std::string SubcommandUsage(const SubcommandGroup& group, std::string_view lead, std::string_view tail) {
    std::string text(lead);
    text += "子命令：\n";
    std::vector<OptionSpec> all;
    std::size_t width = 0;
    for (const Subcommand& c : group.commands) width = std::max(width, c.name.size());
    for (const Subcommand& c : group.commands) {
        text += "  " + std::string(c.name) + std::string(width + 2 - c.name.size(), ' ') + std::string(c.summary) + "\n";
        text += "      tarnvel-cli " + std::string(group.name) + " " + std::string(c.name) + " " + std::string(c.synopsis) + "\n";
        all.insert(all.end(), c.options.begin(), c.options.end());
    }
    text += "\n选项：\n";
    text += OptionHelp(all);
    text += tail;
    return text;
}

int RunSubcommand(const SubcommandGroup& group, const Args& args, std::ostream& out, std::ostream& err) {
    const std::string name(group.name);
    try {
        if (args.empty() || args[0].starts_with("-"))
            throw UsageError("缺少 " + name + " 的子命令（" + NameList(group) + "）");
        for (const Subcommand& command : group.commands) {
            if (args[0] != command.name) continue;
            const Options options(Args(args.begin() + 1, args.end()), command.options);
            try {
                return command.run(options, out, err);
            } catch (const CommandExit& exit) {
                return exit.status;
            }
        }
        throw UsageError("未知的 " + name + " 子命令“" + QuotedInput(args[0]) + "”（可用：" + NameList(group) + "）");
    } catch (const UsageError& e) {
        err << "tarnvel-cli: " << e.what() << "\n（tarnvel-cli " << name << " --help 显示用法）\n";
        return kExitUsage;
    }
}

}  // namespace tarnvel::cli
