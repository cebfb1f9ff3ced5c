// The usage text of tarnvel-cli. The option lists come from the tables the
// parser uses, so the help names exactly what is accepted.

#include <string>

#include "cli/commands.h"
#include "cli/listing_options.h"
#include "cli/options.h"

namespace tarnvel::cli {

std::string MainUsage() {
    static constexpr OptionSpec kGeneralOptions[] = {{"help", false, {}, "显示本说明"},
                                                     {"version", false, {}, "显示版本"}};
    std::string text =
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
  profile 整条纵断面（LandXML 或 CSV 文件）：任意桩号高程、竖曲线要素表、逐桩列表、格式转换
            tarnvel-cli profile --help 显示其用法
  align   平面线形（交点表 CSV 或 LandXML）：转角表、任意桩号和偏距的坐标、逐桩坐标、坐标反算、格式转换
            tarnvel-cli align --help 显示其用法

曲线参数：
)";
    text += OptionHelp(kCurveOptions);
    text += "其他选项：\n";
    text += OptionHelp(Concat({kStationOption, kRangeOptions, kCrlfOption, kListingLimitOption,
                               kOutputOption, kGeneralOptions}));
    text += R"(
数值必须是完整的十进制数（可用指数形式，如 1.5e3；save 则按原样写入所给文字，与窗口相同）；
桩号（--k0、--k、--from、--to）也可写作 K 记法，如 K16+770.5；超出双精度范围的数值不予接受；
负数可写作 --i1 -2 或 --i1=-2。
标准输出无法写入（如磁盘已满、已关闭）或内存不足时，在标准错误上说明原因，退出状态为 3。
退出状态：0 成功；1 计算失败，或参数文件不足五行、不是参数文件；2 命令或选项有误；3 文件无法创建、打开、读取或写入。
)";
    return text;
}

}  // namespace tarnvel::cli
