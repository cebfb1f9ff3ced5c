// tarnvel-cli: the calculator's arithmetic and files for scripts and batch work.

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <string_view>

#include "cli/commands.h"
#include "cli/options.h"
#include "io/io_failure.h"

namespace {

constexpr std::string_view kUsage =
    R"(用法：tarnvel-cli <命令> [选项]

竖曲线计算（与 Tarnvel 窗口的算法和文件格式完全相同）。

命令：
  point   单点计算：输出 T、E、L、ZY、YZ、H（与结果表格的顺序和取位相同）
            tarnvel-cli point --k0 16770 --h0 396.67 --i1 3.1 --i2 1.1 --r 3000 --k 16780
  list    连续计算：输出桩号高程列表（与连续计算的列表框内容相同）
            tarnvel-cli list <曲线参数> --from 16740 --to 16800 --step 10 [--crlf] [--max-stations N]
  save    保存参数文件（与“文件 > 导出”相同）
            tarnvel-cli save <曲线参数> --output 参数.txt
  load    读取参数文件，输出 K0、H0、I1、I2、R（与“文件 > 导入”相同）
            tarnvel-cli load 参数.txt
  report  导出连续计算成果表（与“导出数据”相同）
            tarnvel-cli report <曲线参数> --from … --to … --step … [--max-stations N] --output 成果.txt

曲线参数：
  --k0 变坡点桩号K   --h0 变坡点高程H   --i1 第一纵坡I1(%)   --i2 第二纵坡I2(%)   --r 竖曲线半径R
其他选项：
  --k 计算桩号        --from 起点桩号    --to 止点桩号        --step 计算间距J（可为负）
  --crlf              list 以 CR LF 结束每行（默认 LF）
  --max-stations N    一次最多列出的桩号数（list 默认 10000000，report 默认 1000000）
  --output 文件       save 和 report 写入的文件
  --help              显示本说明          --version         显示版本

数值必须是完整的十进制数（可用指数形式，如 1.5e3；save 则按原样写入所给文字，与窗口相同）；
桩号（--k0、--k、--from、--to）也可写作 K 记法，如 K16+770.5；超出双精度范围的数值不予接受；
负数可写作 --i1 -2 或 --i1=-2。
标准输出无法写入（如磁盘已满）时，在标准错误上说明原因，退出状态为 3。
退出状态：0 成功；1 计算失败，或参数文件不足五行、不是参数文件；2 命令或选项有误；3 文件无法创建、打开、读取或写入。
)";

bool WantsHelp(const tarnvel::cli::Args& args) {
    for (const auto& a : args)
        if (a == "--help" || a == "-h") return true;
    return false;
}

int RunCommand(const tarnvel::cli::Args& all) {
    using namespace tarnvel::cli;

    if (all.empty()) {
        std::cerr << kUsage;
        return kExitUsage;
    }
    const std::string_view command = all[0];
    const Args args(all.begin() + 1, all.end());
    if (command == "--help" || command == "-h" || command == "help" || WantsHelp(args)) {
        std::cout << kUsage;
        return kExitOk;
    }
    if (command == "--version") {
        std::cout << "tarnvel-cli " TARNVEL_VERSION "\n";
        return kExitOk;
    }

    using Command = int (*)(const Args&, std::ostream&, std::ostream&);
    const std::pair<std::string_view, Command> commands[] = {
        {"point", RunPoint}, {"list", RunList},     {"save", RunSave},
        {"load", RunLoad},   {"report", RunReport},
    };
    for (const auto& [name, run] : commands) {
        if (command != name) continue;
        try {
            return run(args, std::cout, std::cerr);
        } catch (const UsageError& e) {
            std::cerr << "tarnvel-cli: " << e.what() << "\n（tarnvel-cli --help 显示用法）\n";
            return kExitUsage;
        }
    }
    std::cerr << "tarnvel-cli: 未知的命令“" << command << "”\n（tarnvel-cli --help 显示用法）\n";
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    errno = 0;
    const int status = RunCommand(tarnvel::cli::Args(argv + 1, argv + argc));
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
