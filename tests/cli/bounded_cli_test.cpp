// tarnvel-cli given hostile input, run as the real binary: what it costs
// stays bounded (memory, stderr, the size of a sheet), and what its messages
// quote of the input is short, whole characters, and never a byte a terminal
// would act on.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "io/csv_records.h"
#include "io/profile_files.h"
#include "tests/cli/run_cli.h"
#include "tests/io/scratch_folder.h"
#include "tests/profile_builders.h"

namespace tarnvel::test {
namespace {

using io::testing::ReadBytes;
using io::testing::ScratchFolder;
using io::testing::WriteBytes;

ProfileModel Road() {
    return {"主线", LengthUnit::Metre, {Point(0, 100), Point(800, 108, ByRadius(6000)), Point(2000, 99)}, {}};
}

// `n` points over the road's 2 km, 4 m above the design's range with a
// saw-tooth a surveyor's scanner gives, so that no two neighbours agree.
std::string DenseGround(std::size_t n) {
    std::string text = "桩号,地面高程\n";
    text.reserve(n * 20);
    for (std::size_t i = 0; i < n; ++i) {
        const double s = 2000.0 * static_cast<double>(i) / static_cast<double>(n - 1);
        const double z = 112 + 2 * std::sin(s / 150) + 0.1 * static_cast<double>(i % 7);
        text += std::to_string(s) + "," + std::to_string(z) + "\n";
    }
    return text;
}

std::string Repeated(std::string_view piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

struct HostileCase {
    const char* name;
    std::vector<std::pair<const char*, std::function<std::string()>>> files;  // written into the folder
    std::vector<std::string> args;  // "@x" stands for the folder's file x
    int status;
    std::vector<std::string> errHas;  // pieces of stderr
    std::size_t errMost = 4096;       // bytes of stderr at most
    long peakMbMost = 400;            // the child's resident memory at most
    const char* output = nullptr;     // a file the command writes
    std::size_t outputMost = 0;       // its size at most
};
void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

std::string Design() { return io::ProfileCsvBytes(Road()); }

std::vector<HostileCase> Cases() {
    const std::string esc = "\x1b]0;owned\x07\x1b[2J";
    return {
        {"duplicated_rows_are_listed_up_to_a_hundred",
         {{"d.csv", Design}, {"g.csv", [] { return "桩号,地面高程\n" + Repeated("100,101\n", 300'000); }}},
         {"profile", "at", "@d.csv", "--k", "100", "--ground", "@g.csv"},
         1,
         {"共 299999 处问题", "第3行（桩号 K0+100）与第2行的桩号相同", "另有 299899 处问题未列出。"},
         16'000,
         200},
        {"unreadable_cells_are_listed_up_to_a_hundred",
         {{"d.csv", Design}, {"g.csv", [] { return "桩号,地面高程\n" + Repeated("x,y\n", 200'000); }}},
         {"profile", "at", "@d.csv", "--k", "100", "--ground", "@g.csv"},
         1,
         {"共 400001 处问题", "另有 399901 处问题未列出。"},
         16'000,
         200},
        {"a_row_of_ten_million_empty_cells_is_refused",
         {{"d.csv", Design}, {"g.csv", [] { return "桩号,地面高程\n100,101\n" + std::string(10'000'000, ',') + "\n"; }}},
         {"profile", "at", "@d.csv", "--k", "100", "--ground", "@g.csv"},
         1,
         {"第3行超过1024列，不是地面线表。"},
         4096,
         200},
        {"a_ground_cell_is_quoted_to_forty_bytes_on_whole_characters",
         {{"d.csv", Design}, {"g.csv", [] { return "桩号,地面高程\n100," + Repeated("高程", 30) + "\n200,101\n"; }}},
         {"profile", "at", "@d.csv", "--k", "100", "--ground", "@g.csv"},
         1,
         {"的地面高程“" + Repeated("高程", 6) + "高…”不是数。"}},
        {"escapes_in_a_ground_cell_are_shown_not_sent",
         {{"d.csv", Design}, {"g.csv", [esc] { return "桩号,地面高程\n100," + esc + "\n200,101\n"; }}},
         {"profile", "at", "@d.csv", "--k", "100", "--ground", "@g.csv"},
         1,
         {"“\\x1b]0;owned\\x07\\x1b[2J”不是数。"}},
        {"escapes_and_nul_in_a_k_file_line_are_shown_and_the_message_goes_on",
         {{"d.csv", Design}, {"k.txt", [] { return std::string("100\nK0+1\x1b[2J\0x\n", 15); }}},
         {"profile", "at", "@d.csv", "--k-file", "@k.txt"},
         2,
         {"第2行有误：桩号“K0+1\\x1b[2J\\x00x”无法识别："}},
        {"an_unknown_option_is_quoted_escaped",
         {{"d.csv", Design}},
         {"profile", "at", "@d.csv", "--\x1b[2J" + std::string(100, 'a')},
         2,
         {"未知的选项 --\\x1b[2J" + std::string(33, 'a') + "…"}},
        {"a_long_ground_line_name_is_cut_in_the_message",
         {{"d.xml",
           [] {
               GroundModel ground;
               ground.name = Repeated("原地面", 20'000);
               ground.stations = GroundStations::Internal;
               ground.points = {{Station{100, 0}, 101, 0}, {Station{100, 0}, 102, 0}};
               return io::LandXmlBytes(Road(), {}, {ground});
           }}},
         {"profile", "convert", "@d.xml", "--output", "@out.csv"},
         1,
         {"中的地面线“原地面原地面原地面原地面原…”未通过检查"}},
        {"a_sheet_of_a_million_ground_points_is_thinned_to_the_paper",
         {{"d.csv", Design}, {"g.csv", [] { return DenseGround(1'000'000); }}},
         {"profile", "sheet", "@d.csv", "--ground", "@g.csv", "--output", "@sheet.dxf"},
         0,
         {},
         0,
         300,
         "sheet.dxf",
         6'000'000},
        {"a_pdf_sheet_prints_nothing_of_qt",
         {{"d.csv", Design}},
         {"profile", "sheet", "@d.csv", "--output", "@sheet.pdf"},
         0,
         {},
         0},
        {"characters_outside_gbk_are_named_once",
         {{"d.csv", Design}},
         {"profile", "sheet", "@d.csv", "--output", "@sheet.dxf", "--project", "桥한路한", "--drawing-number", "😀"},
         0,
         {"tarnvel-cli: 注意：DXF 文件的 GBK 编码中没有字符“한”、“😀”，图中已写作“?”。\n"},
         200},
    };
}

class HostileCli : public ::testing::TestWithParam<HostileCase> {
protected:
    ScratchFolder folder;
};

TEST_P(HostileCli, costs_stay_bounded_and_messages_quote_input_safely) {
    const HostileCase& c = GetParam();
    ::unsetenv("XDG_RUNTIME_DIR");  // what makes Qt speak up
    for (const auto& [name, bytes] : c.files) WriteBytes(folder.File(name), bytes());
    std::vector<std::string> args;
    for (const std::string& a : c.args) args.push_back(a.starts_with("@") ? folder.File(a.substr(1)) : a);
    const CliRun run = RunCli(TARNVEL_CLI, args);
    EXPECT_EQ(run.status, c.status) << run.err.substr(0, 2000);
    for (const std::string& piece : c.errHas) EXPECT_NE(run.err.find(piece), std::string::npos) << run.err.substr(0, 2000);
    EXPECT_LE(run.err.size(), c.errMost) << run.err.substr(0, 2000);
    // Nothing a terminal acts on, and nothing that is not UTF-8.
    for (const char ch : run.err)
        EXPECT_TRUE(static_cast<unsigned char>(ch) >= 0x20 || ch == '\n') << static_cast<int>(ch);
    EXPECT_TRUE(io::IsValidUtf8(run.err));
    EXPECT_LE(run.peakKb, c.peakMbMost * 1024);
    if (c.output) {
        EXPECT_LE(ReadBytes(folder.File(c.output)).size(), c.outputMost);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileCli, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarnvel::test
