// tarnvel-cli save, load and report, run as the real binary.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/parameter_file.h"
#include "io/result_report.h"
#include "tests/cli/run_cli.h"
#include "tests/io/scratch_folder.h"

namespace tarnvel::io {
namespace {

using tarnvel::test::CliRun;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

CliRun Cli(const std::vector<std::string>& args) { return tarnvel::test::RunCli(TARNVEL_CLI, args); }

std::vector<std::string> Join(std::vector<std::string> head, const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

const std::vector<std::string> kCurve = {"--k0", "16770", "--h0", "396.67", "--i1", "3.1",
                                         "--i2", "1.1",   "--r",  "3000"};
const std::vector<std::string> kRange = {"--from", "16740", "--to", "16800", "--step", "10"};
const char* const kStartUpLoaded = "K0=16770\nH0=396.67\nI1=3.1\nI2=1.1\nR=3000\n";

TEST(CliSave, writes_the_file_the_window_writes_and_load_reads_it_back) {
    ScratchFolder folder;
    const std::string path = folder.File("参数.txt");
    const CliRun save = Cli(Join({"save", "--output", path}, kCurve));
    ASSERT_EQ(save.status, 0) << save.err;
    EXPECT_EQ(save.out + save.err, "");
    EXPECT_EQ(ReadBytes(path), FormatParameterFile({"16770", "396.67", "3.1", "1.1", "3000"}));

    const CliRun load = Cli({"load", path});
    EXPECT_EQ(load.status, 0) << load.err;
    EXPECT_EQ(load.out, kStartUpLoaded);
}

TEST(CliSave, keeps_texts_as_typed_and_load_gives_their_number_forms) {
    ScratchFolder folder;
    const std::string path = folder.File("p.txt");
    const CliRun save = Cli({"save", "--k0=016770.50", "--h0=", "--i1", "-2.5", "--i2", "abc", "--r", "3e3",
                             "--output", path});
    ASSERT_EQ(save.status, 0) << save.err;
    EXPECT_EQ(ReadBytes(path).substr(0, 29), "016770.50" + std::string(20, ' '));
    EXPECT_EQ(Cli({"load", path}).out, "K0=16770.5\nH0=0\nI1=-2.5\nI2=0\nR=3000\n");
}

TEST(CliReport, writes_the_216_byte_report_of_the_start_up_listing) {
    ScratchFolder folder;
    const std::string path = folder.File("成果.txt");
    WriteBytes(path, "an older report that is longer than the new one will be, by far..." + std::string(500, '-'));
    const CliRun run = Cli(Join(Join({"report", "--output", path}, kCurve), kRange));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string report = ReadBytes(path);
    EXPECT_EQ(report.size(), 216u);
    EXPECT_EQ(report, FormatResultReport("里程K   高程H\r\n16740   395.74\r\n16750   396.033\r\n"
                                         "16760   396.293\r\n16770   396.52\r\n16780   396.713\r\n"
                                         "16790   396.873\r\n16800   397\r\n"));
}

struct FailureCase {
    const char* name;
    std::vector<std::string> args;  // "@" stands for the scratch folder
    int status;
    const char* errContains;
};

class CliFileFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CliFileFailure, exits_with_its_status_and_leaves_the_file_alone) {
    ScratchFolder folder;
    const std::string existing = folder.File("existing.txt");
    WriteBytes(existing, "1\r\n2\r\n3\r\n4\r\n");  // four lines: too short to load
    std::filesystem::create_directory(folder.File("sub"));
    std::vector<std::string> args = GetParam().args;
    for (std::string& a : args)
        if (a.starts_with("@")) a = folder.path().string() + a.substr(1);

    const auto namesBefore = folder.Names();
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(GetParam().errContains), std::string::npos) << run.err;
    EXPECT_EQ(folder.Names(), namesBefore);
    EXPECT_EQ(ReadBytes(existing), "1\r\n2\r\n3\r\n4\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliFileFailure,
    ::testing::Values(
        FailureCase{"load_missing_file", {"load", "@/none.txt"}, 3, "文件不存在"},
        FailureCase{"load_folder", {"load", "@/sub"}, 3, "这是一个文件夹"},
        FailureCase{"load_four_lines", {"load", "@/existing.txt"}, 1, "不足五行"},
        FailureCase{"load_binary", {"load", "/dev/zero"}, 1, "二进制"},
        FailureCase{"load_without_file", {"load"}, 2, "缺少"},
        FailureCase{"load_two_files", {"load", "@/a", "@/b"}, 2, "一个"},
        FailureCase{"save_over_folder", Join(Join({"save", "--output", "@/sub"}, kCurve), {}), 3, "文件夹"},
        FailureCase{"save_full_disk", Join({"save", "--output", "/dev/full"}, kCurve), 3, "磁盘已满"},
        FailureCase{"save_under_a_file", Join({"save", "--output", "@/existing.txt/p.txt"}, kCurve), 3,
                    "不是文件夹"},
        FailureCase{"save_without_output", Join({"save"}, kCurve), 2, "--output"},
        FailureCase{"save_missing_parameter", {"save", "--k0", "1", "--output", "@/p.txt"}, 2, "--h0"},
        FailureCase{"report_full_disk", Join(Join({"report", "--output", "/dev/full"}, kCurve), kRange), 3,
                    "磁盘已满"},
        FailureCase{"report_into_missing_folder",
                    Join(Join({"report", "--output", "@/none/r.txt"}, kCurve), kRange), 3, "文件夹不存在"},
        FailureCase{"report_of_failed_listing_not_written",
                    Join({"report", "--output", "@/existing.txt", "--k0", "16770", "--h0", "396.67", "--i1", "3.1",
                          "--i2", "1.1", "--r", "0"},
                         kRange),
                    1, "成果表未写入"},
        FailureCase{"report_of_stalled_counter_not_written",
                    Join({"report", "--output", "@/existing.txt", "--from", "0", "--to", "10", "--step", "0"},
                         kCurve),
                    2, "成果表未写入"},
        FailureCase{"report_beyond_station_limit_not_written",
                    Join(Join({"report", "--output", "@/existing.txt", "--max-stations", "3"}, kCurve), kRange), 2,
                    "--max-stations"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarnvel::io
