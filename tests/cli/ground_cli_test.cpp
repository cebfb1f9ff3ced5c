// tarnvel-cli with a ground line, run as the real binary: the shared design
// and ground cases listed with their zero points and checked against the
// independent model, the exact lines scripts read, exit statuses, and the
// ground line carried through a conversion.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "io/ground_files.h"
#include "io/profile_files.h"
#include "tests/cli/run_cli.h"
#include "tests/ground_cases.h"
#include "tests/ground_model.h"
#include "tests/io/scratch_folder.h"

namespace tarnvel::test {
namespace {

using io::testing::ReadBytes;
using io::testing::ScratchFolder;
using io::testing::WriteBytes;

double Number(const std::string& text) { return std::stod(text); }

class GroundCli : public ::testing::TestWithParam<GroundCase> {
protected:
    ScratchFolder folder;
};

TEST_P(GroundCli, listing_with_key_points_finds_the_zero_points_of_the_independent_model) {
    const GroundCase& c = GetParam();
    const Profile profile = Resolved(c.design);
    const std::optional<GroundLine> line = GroundLine::Make(c.ground, profile);
    ASSERT_TRUE(line);
    const IndependentResult expected = Independent(profile, {line->Stations(), line->Elevations()});

    // The ground as its own CSV table, and as a ProfSurf in the profile's own LandXML file.
    WriteBytes(folder.File("design.csv"), io::ProfileCsvBytes(c.design));
    WriteBytes(folder.File("ground.csv"), io::GroundCsvBytes(c.ground, LengthUnit::Metre));
    WriteBytes(folder.File("both.xml"), io::LandXmlBytes(c.design, {}, {c.ground}));
    // --to is the end label, written as the file writes it.
    const auto endLabel = [&] {
        const Station end = c.design.points.back().station;
        return std::to_string(end.value) + (end.occurrence ? "(" + std::to_string(end.occurrence) + ")" : "");
    };
    const auto run = [&](const std::string& design, const std::string& ground) {
        std::vector<std::string> args{"profile", "list", folder.File(design), "--from",
                                      std::to_string(c.design.points.front().station.value), "--to", endLabel(),
                                      "--step", "25", "--key-points", "--ground", folder.File(ground),
                                      "--format", "csv", "--decimals", "6"};
        return RunCli(TARNVEL_CLI, args);
    };
    const CliRun fromCsv = run("design.csv", "ground.csv");
    ASSERT_EQ(fromCsv.status, 0) << fromCsv.err;
    const CliRun fromXml = run("both.xml", "both.xml");
    ASSERT_EQ(fromXml.status, 0) << fromXml.err;
    EXPECT_EQ(fromXml.out, fromCsv.out);

    const auto rows = CsvRows(fromCsv.out);
    ASSERT_EQ(rows.front(), (std::vector<std::string>{"station", "elevation", "grade", "ground", "fill", "cut", "note"}));
    std::vector<double> zeros;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto& r = rows[i];
        ASSERT_EQ(r.size(), 7u) << i;
        const double at = profile.InternalOf(*ParseStation(r[0]));
        if (r[6].find("填挖交界") != std::string::npos) zeros.push_back(at);
        const std::optional<double> ground = SampledGround{line->Stations(), line->Elevations()}.At(at);
        ASSERT_EQ(r[3].empty(), !ground) << r[0];
        if (!ground) continue;
        EXPECT_NEAR(Number(r[3]), *ground, 2e-6) << r[0];
        const double fillCut = Number(r[1]) - Number(r[3]);
        EXPECT_NEAR(Number(r[4]), std::max(fillCut, 0.0), 2e-6) << r[0];
        EXPECT_NEAR(Number(r[5]), std::max(-fillCut, 0.0), 2e-6) << r[0];
    }
    ASSERT_EQ(zeros.size(), expected.zeros.size());
    for (std::size_t i = 0; i < zeros.size(); ++i) EXPECT_NEAR(zeros[i], expected.zeros[i], 1e-4) << i;
}

INSTANTIATE_TEST_SUITE_P(Cases, GroundCli, ::testing::ValuesIn(GroundCases()), [](const auto& info) {
    std::string name;
    for (char ch : info.param.name) name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
});

class GroundCliFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const GroundCase c = GroundCases().front();  // grade line and sag parabola
        WriteBytes(folder.File("design.csv"), io::ProfileCsvBytes(c.design));
        WriteBytes(folder.File("ground.csv"),
                   "测量记录\n序号,桩号,偏距,地面高程,备注\n1,50,0,99.0,a\n2,300,0,97.5,\n3,500,0,95.9,\n"
                   "4,700,0,96.0,\n5,950,0,101.0,\n");
        GroundModel named = c.ground;
        named.name = "原地面";
        WriteBytes(folder.File("both.xml"), io::LandXmlBytes(c.design, {}, {named}));
    }
    std::string F(const char* name) const { return folder.File(name); }
    ScratchFolder folder;
};

TEST_F(GroundCliFiles, at_prints_design_ground_and_fill_cut_and_leaves_them_empty_without_ground) {
    const CliRun run = RunCli(TARNVEL_CLI, {"profile", "at", F("design.csv"), "--k", "K0+175", "--k", "20", "--k",
                                            "600", "--ground", F("ground.csv"), "--stations", "k"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "K0+175.000\t98.250\t98.250\t0.000\n"
              "K0+020.000\t99.800\t\t\n"
              "K0+600.000\t96.420\t95.950\t0.470\n");
}

TEST_F(GroundCliFiles, ground_summary_in_words_and_as_csv) {
    const CliRun text = RunCli(TARNVEL_CLI, {"profile", "ground-summary", F("both.xml"), "--ground", F("both.xml"),
                                             "--stations", "k"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out,
              "填挖汇总\n纵断面：sag\n范围：K0+050.000 至 K0+950.000（有地面线的部分）\n单位：桩号、长度、高度为米\n"
              "填方段总长\t528.153\n挖方段总长\t371.847\n最长填方段\tK0+546.847 至 K0+950.000，长 403.153\n"
              "最长挖方段\tK0+175.000 至 K0+546.847，长 371.847\n最大填高\t1.800（K0+700.000）\n"
              "最大挖深\t0.680（K0+400.000）\n填挖交界\t2 处：K0+175.000、K0+546.847\n");
    const CliRun csv = RunCli(TARNVEL_CLI, {"profile", "ground-summary", F("design.csv"), "--ground", F("ground.csv"),
                                            "--from", "100", "--to", "600", "--format", "csv"});
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out,
              "item,station,to_station,value\nfill_length,,,128.153\ncut_length,,,371.847\n"
              "longest_fill,100.000,175.000,75.000\nlongest_cut,175.000,546.847,371.847\n"
              "highest_fill,600.000,,0.470\ndeepest_cut,400.000,,0.680\nzero_point,175.000,,\n"
              "zero_point,546.847,,\n");
}

TEST_F(GroundCliFiles, exit_statuses_and_messages) {
    WriteBytes(F("bad.csv"), "桩号,地面高程\n50,1\n40,2\nx,3\n2000,4\n");
    WriteBytes(F("feet.csv"), "station,ground[ft]\n50,1\n60,2\n");
    const struct {
        const char* name;
        std::vector<std::string> args;
        int status;
        const char* err;
    } cases[] = {
        {"every problem by row",
         {"profile", "list", F("design.csv"), "--from", "0", "--to", "100", "--step", "10", "--ground", F("bad.csv")},
         1,
         "共 3 处问题：\n  地面线第3行（桩号 K0+040）不在第2行之后：地面线的桩号须沿路线严格递增。\n"
         "  地面线第4行的桩号“x”无法识别。\n  地面线第5行（桩号 K2+000）在设计纵断面之外（纵断面终点为 K1+000）。\n"},
        {"ground in another unit", {"profile", "at", F("design.csv"), "--k", "60", "--ground", F("feet.csv")}, 1,
         "长度单位为英尺，与纵断面的米不同"},
        {"no such file", {"profile", "at", F("design.csv"), "--k", "60", "--ground", F("none.csv")}, 3, "none.csv"},
        {"a surface that is not there",
         {"profile", "at", F("both.xml"), "--k", "60", "--ground", F("both.xml"), "--ground-surface", "x"}, 1,
         "文件中的地面线有：“sag/原地面”"},
        {"surface without ground", {"profile", "at", F("design.csv"), "--k", "60", "--ground-surface", "x"}, 2,
         "--ground-surface 要与 --ground 一起使用"},
        {"summary without ground", {"profile", "ground-summary", F("design.csv")}, 2, "缺少选项 --ground"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(TARNVEL_CLI, c.args);
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << c.name;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << c.name << ": " << run.err;
    }
}

// profile plot with the ground from a survey CSV or from the profile's own
// LandXML: the ground line, fill and cut and the legend are drawn; without
// --ground none of them; a ground line that fails its checks writes nothing.
TEST_F(GroundCliFiles, plot_draws_the_ground_with_fill_cut_and_legend_or_writes_nothing) {
    WriteBytes(F("outside.csv"), "桩号,地面高程\n50,1\n2000,4\n");
    auto count = [](const std::string& svg, const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1)) ++n;
        return n;
    };
    const struct {
        const char* name;
        std::vector<std::string> args;
        int status;
        bool ground;
    } cases[] = {
        {"survey csv", {F("design.csv"), "--ground", F("ground.csv")}, 0, true},
        {"own landxml", {F("both.xml"), "--ground", F("both.xml"), "--ground-surface", "原地面"}, 0, true},
        {"no ground", {F("design.csv")}, 0, false},
        {"ground outside the profile", {F("design.csv"), "--ground", F("outside.csv")}, 1, false},
        {"surface without ground", {F("design.csv"), "--ground-surface", "原地面"}, 2, false},
    };
    for (const auto& c : cases) {
        const std::string output = F("plot.svg");
        std::filesystem::remove(output);
        std::vector<std::string> args{"profile", "plot", "--output", output};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun run = RunCli(TARNVEL_CLI, args);
        ASSERT_EQ(run.status, c.status) << c.name << ": " << run.err;
        if (c.status != 0) {
            EXPECT_FALSE(std::filesystem::exists(output)) << c.name;
            continue;
        }
        const std::string svg = ReadBytes(output);
        EXPECT_EQ(count(svg, "class=\"ground\"") > 0, c.ground) << c.name;
        EXPECT_EQ(count(svg, "class=\"fill\"") > 0, c.ground) << c.name;
        EXPECT_EQ(count(svg, "class=\"cut\"") > 0, c.ground) << c.name;
        EXPECT_EQ(count(svg, ">地面线<"), c.ground ? 1u : 0u) << c.name;
    }
}

TEST_F(GroundCliFiles, convert_keeps_the_ground_line) {
    const CliRun xml = RunCli(TARNVEL_CLI, {"profile", "convert", F("both.xml"), "--output", F("copy.xml")});
    ASSERT_EQ(xml.status, 0) << xml.err;
    const auto grounds = io::ParseLandXmlGrounds(ReadBytes(F("copy.xml")), "", "copy.xml");
    ASSERT_TRUE(grounds.ok());
    ASSERT_EQ(grounds.value().size(), 1u);
    EXPECT_EQ(grounds.value()[0].name, "原地面");
    EXPECT_EQ(grounds.value()[0].points.size(), 5u);

    // To CSV the ground needs its own table; without one the user is told.
    const CliRun csv = RunCli(TARNVEL_CLI, {"profile", "convert", F("both.xml"), "--output", F("copy.csv")});
    EXPECT_EQ(csv.status, 0);
    EXPECT_NE(csv.err.find("未写入"), std::string::npos) << csv.err;
    const CliRun both = RunCli(TARNVEL_CLI, {"profile", "convert", F("both.xml"), "--output", F("copy.csv"),
                                             "--ground-output", F("g.csv")});
    ASSERT_EQ(both.status, 0) << both.err;
    const auto back = io::ParseGroundCsv(ReadBytes(F("g.csv")), "g.csv");
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.value().model.points.size(), 5u);
    const CliRun again = RunCli(TARNVEL_CLI, {"profile", "at", F("copy.csv"), "--k", "600", "--ground", F("g.csv")});
    EXPECT_EQ(again.out, "600.000\t96.420\t95.950\t0.470\n");
}

}  // namespace
}  // namespace tarnvel::test
