// tarnvel-cli profile check, run as the real binary: the shared check cases
// (their control tables and criteria written by the program's own writers),
// the text form, exit statuses and messages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/control_files.h"
#include "io/profile_files.h"
#include "tests/check_cases.h"
#include "tests/cli/run_cli.h"
#include "tests/io/scratch_folder.h"

namespace tarnvel::test {
namespace {

using io::testing::ScratchFolder;
using io::testing::WriteBytes;

class CheckCli : public testing::TestWithParam<CheckCase> {
protected:
    ScratchFolder folder;
};

TEST_P(CheckCli, prints_the_worked_rows_and_exits_1_only_on_a_violation) {
    const CheckCase& c = GetParam();
    const std::string design = folder.File("design.csv");
    WriteBytes(design, io::ProfileCsvBytes(c.design));
    std::vector<std::string> args = {"profile", "check", design, "--format", "csv"};
    std::string expected;
    if (!c.controls.empty()) {
        WriteBytes(folder.File("controls.csv"), io::ControlCsvBytes(c.controls, LengthUnit::Metre));
        args.insert(args.end(), {"--controls", folder.File("controls.csv")});
        expected = c.controlsCsv + "\n";
    }
    WriteBytes(folder.File("criteria.csv"), io::CriteriaCsvBytes(c.criteria));
    args.insert(args.end(), {"--criteria", folder.File("criteria.csv")});
    expected += c.criteriaCsv;
    const CliRun run = RunCli(TARNVEL_CLI, args);
    EXPECT_EQ(run.status, c.violated ? 1 : 0) << run.err;
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckCli, testing::ValuesIn(CheckCases()),
                         [](const auto& info) { return info.param.name; });

TEST(CheckCliFiles, text_form_exit_statuses_and_messages) {
    ScratchFolder folder;
    const auto F = [&](const char* name) { return folder.File(name); };
    const CheckCase c = CheckCases().front();
    WriteBytes(F("design.csv"), io::ProfileCsvBytes(c.design));
    WriteBytes(F("controls.csv"), io::ControlCsvBytes(c.controls, LengthUnit::Metre));
    WriteBytes(F("bad.csv"), "桩号,最低高程,最高高程\nK0+100,x,\n2000,1,\n300,,\n");
    WriteBytes(F("feet.csv"), "station,lower[ft]\n50,1\n");
    WriteBytes(F("ground.csv"), "桩号,地面高程\n50,1\n");
    WriteBytes(F("unknown.csv"), "criterion,value\nmax_radius,3\n");
    WriteBytes(F("negative.csv"), "criterion,value\nmax_grade,0\n");
    const struct {
        const char* name;
        std::vector<std::string> args;
        int status;
        const char* out;  // in standard output; empty: nothing written
        const char* err;
    } cases[] = {
        {"controls in words", {"profile", "check", F("design.csv"), "--controls", F("controls.csv")}, 1,
         "400.000\t桥面, 左幅\t\t106.000\t106.469\t-0.469\t高于最高\n", ""},
        {"every problem of a control table by row", {"profile", "check", F("design.csv"), "--controls", F("bad.csv")},
         1, "",
         "共 3 处问题：\n  控制标高第2行（桩号 K0+100）的高程“x”不是数。\n"
         "  控制标高第3行（桩号 K2+000）在设计纵断面之外（纵断面终点为 K1+000）。\n"
         "  控制标高第4行（桩号 K0+300）没有最低高程，也没有最高高程：至少要有一个。\n"},
        {"controls in another unit", {"profile", "check", F("design.csv"), "--controls", F("feet.csv")}, 1, "",
         "长度单位为英尺，与纵断面的米不同"},
        {"a ground table is no control table", {"profile", "check", F("design.csv"), "--controls", F("ground.csv")},
         1, "", "不是控制标高表"},
        {"an unknown criterion", {"profile", "check", F("design.csv"), "--criteria", F("unknown.csv")}, 1, "",
         "第2行的“max_radius”不是设计标准的项目"},
        {"a maximum grade of zero", {"profile", "check", F("design.csv"), "--criteria", F("negative.csv")}, 1, "",
         "最大纵坡须大于零"},
        {"no such file", {"profile", "check", F("design.csv"), "--controls", F("none.csv")}, 3, "", "none.csv"},
        {"nothing to check", {"profile", "check", F("design.csv")}, 2, "", "缺少选项 --controls 或 --criteria"},
    };
    for (const auto& k : cases) {
        const CliRun run = RunCli(TARNVEL_CLI, k.args);
        EXPECT_EQ(run.status, k.status) << k.name << ": " << run.err;
        if (*k.out == '\0') EXPECT_EQ(run.out, "") << k.name;
        else EXPECT_NE(run.out.find(k.out), std::string::npos) << k.name << ": " << run.out;
        EXPECT_NE(run.err.find(k.err), std::string::npos) << k.name << ": " << run.err;
    }
}

TEST(CheckCliFiles, convert_keeps_the_controls_and_criteria_of_a_landxml_profile) {
    ScratchFolder folder;
    const CheckCase c = CheckCases().front();
    const io::ProfileChecks checks{c.controls, c.criteria};
    const std::string input = io::LandXmlBytes(c.design, {}, {}, checks);
    io::testing::WriteBytes(folder.File("in.xml"), input);
    const CliRun copy = RunCli(TARNVEL_CLI, {"profile", "convert", folder.File("in.xml"), "--output", folder.File("copy.xml")});
    ASSERT_EQ(copy.status, 0) << copy.err;
    const io::Result<io::ProfileChecks> back = io::ReadLandXmlChecks(folder.File("copy.xml"), {}, c.design);
    ASSERT_TRUE(back.ok()) << back.failure().message;
    EXPECT_EQ(back.value().controls, c.controls);
    EXPECT_EQ(back.value().criteria, c.criteria);
    // Over itself it is refused, the file left as it was: an output never overwrites an input.
    const CliRun over = RunCli(TARNVEL_CLI, {"profile", "convert", folder.File("in.xml"), "--output", folder.File("in.xml")});
    EXPECT_EQ(over.status, 2) << over.err;
    EXPECT_EQ(io::testing::ReadBytes(folder.File("in.xml")), input);
    const CliRun csv = RunCli(TARNVEL_CLI, {"profile", "convert", folder.File("in.xml"), "--output", folder.File("p.csv")});
    EXPECT_EQ(csv.status, 0);
    EXPECT_NE(csv.err.find("不含控制标高和设计标准"), std::string::npos) << csv.err;
}

}  // namespace
}  // namespace tarnvel::test
