#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include <string>
#include <vector>

#include "tests/cli/run_cli.h"
#include "tests/worked_example.h"

namespace tarnvel::test {
namespace {

CliRun Cli(std::vector<std::string> args) { return RunCli(TARNVEL_CLI, args); }

const std::vector<std::string> kCurve = {"--k0", "16770", "--h0", "396.67", "--i1", "3.1",
                                         "--i2", "1.1",   "--r",  "3000"};

std::vector<std::string> With(std::vector<std::string> head, std::vector<std::string> tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

TEST(CliPoint, PrintsTheSixResultsInGridOrder) {
    const CliRun run = Cli(With({"point"}, With(kCurve, {"--k", "16780"})));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "T=30\nE=0.15\nL=60\nZY=16740\nYZ=16800\nH=396.713\n");
    EXPECT_EQ(run.err, "");
}

TEST(CliPoint, NegativeValuesInBothSpellingsAndAnyOrder) {
    const char* const sag = "T=50\nE=0.625\nL=100\nZY=950\nYZ=1050\nH=50.7\n";
    EXPECT_EQ(Cli({"point", "--k0", "1000", "--h0", "50", "--i1", "-2", "--i2", "3", "--r", "2000",
                   "--k", "1010"}).out,
              sag);
    EXPECT_EQ(Cli({"point", "--k=1010", "--r=2e3", "--i2=+3", "--i1=-2", "--h0=50.0", "--k0=1000"}).out,
              sag);
}

const char* const kInputOptions[] = {"--k0", "--h0", "--i1", "--i2", "--r", "--k"};

TEST(CliPoint, WorkedExamplesGiveTheSharedResults) {
    const char* const names[] = {"T=", "E=", "L=", "ZY=", "YZ=", "H="};
    for (const WorkedPoint& row : kWorkedPoints) {
        if (!row.cli) continue;
        std::vector<std::string> args = {"point"};
        std::string expected;
        for (int i = 0; i < 6; ++i) {
            args.insert(args.end(), {kInputOptions[i], std::string(row.inputs[i])});
            expected += names[i] + std::string(row.results[i]) + "\n";
        }
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 0) << row.name << ": " << run.err;
        EXPECT_EQ(run.out, expected) << row.name;
    }
}

TEST(CliPoint, NumbersBeyondTheDoubleRangeAreRefusedByOption) {
    const WorkedPoint& startUp = kWorkedPoints[0];
    for (const OutOfRangeInput& input : kOutOfRangeInputs) {
        std::vector<std::string> args = {"point"};
        for (int i = 0; i < 6; ++i)
            args.insert(args.end(), {kInputOptions[i], i == input.input ? input.text : std::string(startUp.inputs[i])});
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 2) << input.name;
        EXPECT_NE(run.err.find(std::string(kInputOptions[input.input]) + " "), std::string::npos) << input.name << ": " << run.err;
        EXPECT_NE(run.err.find("范围"), std::string::npos) << input.name << ": " << run.err;
        EXPECT_EQ(run.out, "") << input.name;
    }
}

TEST(CliList, PrintsTheListingWithLfOrCrLf) {
    const auto args = With({"list"}, With(kCurve, {"--from", "16740", "--to", "16800", "--step", "10"}));
    const CliRun crlf = Cli(With(args, {"--crlf"}));
    EXPECT_EQ(crlf.status, 0) << crlf.err;
    EXPECT_EQ(crlf.out, kStartUpListing);

    std::string lfListing(kStartUpListing);
    std::erase(lfListing, '\r');
    const CliRun lf = Cli(args);
    EXPECT_EQ(lf.status, 0) << lf.err;
    EXPECT_EQ(lf.out, lfListing);
}

struct FailureCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* errContains;
    const char* out;
};

TEST(Cli, RefusesBadInputWithAMessageAndItsStatus) {
    const auto list = [](std::vector<std::string> range, std::vector<std::string> extra = {}) {
        return With(With({"list"}, kCurve), With(range, extra));
    };
    auto zeroRadius = kCurve;
    zeroRadius[9] = "0";
    const FailureCase cases[] = {
        {"not a number", With({"point"}, With(kCurve, {"--k", "16780m"})), 2, "--k", ""},
        {"empty value", With({"point"}, With(kCurve, {"--k="})), 2, "--k", ""},
        {"missing option", With({"point"}, kCurve), 2, "--k", ""},
        {"unknown option", With({"point"}, With(kCurve, {"--k", "1", "--x", "1"})), 2, "--x", ""},
        {"repeated option", With({"point"}, With(kCurve, {"--k", "1", "--k", "2"})), 2, "--k", ""},
        {"value missing at the end", With({"point"}, With(kCurve, {"--k"})), 2, "--k", ""},
        {"beyond the double range", With({"point"}, With(kCurve, {"--k", "1e999"})), 2, "范围", ""},
        {"the largest double is a number", With({"point"}, With(kCurve, {"--k", "1.7976931348623157e308"})), 1,
         "高程H", ""},
        {"station with an occurrence", With({"point"}, With(kCurve, {"--k", "K16+780(2)"})), 2, "序号", ""},
        {"station with metres of 1000", With({"point"}, With(kCurve, {"--k", "K16+1000"})), 2, "1000", ""},
        {"nan is not a number", With({"point"}, With(kCurve, {"--k", "nan"})), 2, "--k", ""},
        {"unknown command", {"elevate"}, 2, "elevate", ""},
        {"no command", {}, 2, "用法", ""},
        {"zero radius point", With({"point"}, With(zeroRadius, {"--k", "16780"})), 1, "外距长E", ""},
        {"zero radius list",
         With(With({"list"}, zeroRadius), {"--from", "16740", "--to", "16800", "--step", "10"}), 1,
         "桩号16740", "里程K   高程H\n"},
        {"zero interval", list({"--from", "0", "--to", "0", "--step", "0"}), 2, "计算间距J", ""},
        {"too many stations", list({"--from", "0", "--to", "100", "--step", "1"}, {"--max-stations", "100"}),
         2, "--max-stations", ""},
        {"bad station limit", list({"--from", "0", "--to", "1", "--step", "1"}, {"--max-stations", "0"}),
         2, "--max-stations", ""},
    };
    for (const auto& c : cases) {
        const CliRun run = Cli(c.args);
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
        EXPECT_NE(run.err.find(c.errContains), std::string::npos) << c.name << ": " << run.err;
        EXPECT_EQ(run.out, c.out) << c.name;
    }
}

TEST(Cli, OutputThatCannotBeWrittenIsAFailure) {
    const auto list = With(With({"list"}, kCurve), {"--from", "0", "--to", "9999999", "--step", "1"});
    const std::vector<std::string> commands[] = {
        With({"point"}, With(kCurve, {"--k", "16780"})),
        list,
        With(list, {"--crlf"}),
        {"--help"},
    };
    for (const auto& args : commands) {
        const auto started = std::chrono::steady_clock::now();
        const CliRun run = RunCli(TARNVEL_CLI, args, "/dev/full");
        EXPECT_EQ(run.status, 3) << args[0] << ": " << run.err;
        EXPECT_NE(run.err.find("无法写入标准输出：磁盘已满。"), std::string::npos) << args[0] << ": " << run.err;
        // Ten million stations take seconds: the listing stops at the first failed write.
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2)) << args[0];
    }
}

TEST(CliList, StationLimitAdmitsExactlyTheLimit) {
    const CliRun run = Cli(With(With({"list"}, kCurve),
                                {"--from", "1", "--to", "100", "--step", "1", "--max-stations", "100"}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 101);
}

TEST(Cli, HelpAndVersion) {
    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"point", "list", "save", "load", "report", "--max-stations", "--crlf"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    EXPECT_EQ(Cli({"point", "--help"}).status, 0);
    const CliRun version = Cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("tarnvel-cli ")) << version.out;
}

}  // namespace
}  // namespace tarnvel::test
