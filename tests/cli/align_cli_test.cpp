// tarnvel-cli align, run as the real binary: the published 交点表 cases the
// core checks (through the CSV writer and back), the columns and notes that
// scripts read, the exit statuses, 坐标反算 of a listing's own points, and
// that a failure writes nothing.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "io/gbk.h"
#include "io/plan_files.h"
#include "tests/cli/run_cli.h"
#include "tests/io/scratch_folder.h"
#include "tests/plan_cases.h"

namespace tarnvel::test {
namespace {

using io::testing::ReadBytes;
using io::testing::ScratchFolder;
using io::testing::WriteBytes;

double Number(const std::string& cell) { return std::stod(cell); }

CliRun Align(std::vector<std::string> args) {
    args.insert(args.begin(), "align");
    return RunCli(TARNVEL_CLI, args);
}

// The published tables (in metres) written as 交点表 CSV: the curve table and
// the printed points come back through the command as the core gives them.
TEST(AlignCli, published_tables_come_back_through_the_csv) {
    ScratchFolder folder;
    for (const PlanCase& c : PublishedPlanCases()) {
        if (c.unit != LengthUnit::Metre) continue;
        SCOPED_TRACE(std::string(c.name));
        const std::string path = folder.File("route.csv");
        WriteBytes(path, io::IntersectionCsvBytes(TableOf(c)));
        const CliRun run = Align({"elements", path, "--format", "csv", "--decimals", "5"});
        ASSERT_EQ(run.status, 0) << run.err;
        const auto rows = CsvRows(run.out);
        ASSERT_EQ(rows.front().size(), 19u);
        for (const CaseCurve& want : c.curves) {
            const auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r[0] == want.name; });
            ASSERT_NE(row, rows.end());
            const double sign = (*row)[4] == "R" ? 1 : -1;
            EXPECT_NEAR(sign * Number((*row)[5]), want.deflection, 1.5 / 3600);
            const std::pair<int, double> columns[] = {{1, want.station},    {9, want.tangentIn}, {10, want.tangentOut},
                                                      {11, want.length},    {12, want.external}, {13, want.difference},
                                                      {14, want.zh},        {15, want.hy},       {16, want.qz},
                                                      {17, want.yh},        {18, want.hz}};
            for (const auto& [column, value] : columns)
                if (!std::isnan(value)) {
                    EXPECT_NEAR(Number((*row)[column]), value, c.tolerance) << rows[0][column];
                }
        }
        for (const CasePoint& p : c.at) {
            const CliRun at = Align({"at", path, "--k", std::to_string(p.station), "--offset", std::to_string(p.offset),
                                     "--format", "csv", "--decimals", "5"});
            ASSERT_EQ(at.status, 0) << at.err;
            const auto cells = CsvRows(at.out).at(1);
            EXPECT_NEAR(Number(cells[2]), p.north, c.pointTolerance);
            EXPECT_NEAR(Number(cells[3]), p.east, c.pointTolerance);
        }
    }
}

struct Case {
    const char* name;
    std::vector<std::string> args;  // "{route}", "{bad}", "{xml}", "{points}", "{out}" stand for files
    int status;
    const char* outContains;  // "" when any
    const char* errContains;
};

class AlignCliFiles : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(folder.File("route.csv"),
                   "交点号,X,Y,R,Ls1,Ls2,桩号\n"
                   "BP,0,0,,,,K0+000\n"
                   "JD1,400,100,300,60,90,\n"
                   "JD2,700,500,250,,,\n"
                   "EP,900,1100,,,,\n"
                   "\n"
                   "断链前桩号,断链后桩号\n"
                   "K0+500,K0+450\n");
        WriteBytes(folder.File("bad.csv"), "交点号,X,Y,R,Ls,桩号\nBP,0,0,,,0\nJD1,100,0,0,,\nEP,100,100,,,\n");
        WriteBytes(folder.File("points.csv"), "点名,X,Y\nA,300,80\nB,320,x\n");
    }

    CliRun Run(std::vector<std::string> args) {
        for (std::string& a : args) {
            if (a == "{route}") a = folder.File("route.csv");
            if (a == "{bad}") a = folder.File("bad.csv");
            if (a == "{points}") a = folder.File("points.csv");
            if (a == "{out}") a = folder.File("out.csv");
            if (a == "{xml}") a = std::string(TARNVEL_IO_TEST_DATA) + "/buildingsmart_stn02_chain.xml";
        }
        return Align(args);
    }

    ScratchFolder folder;
};

TEST_F(AlignCliFiles, statuses_notes_and_messages) {
    const Case cases[] = {
        {"the start, named, with its K label", {"at", "{route}", "--k", "0", "--stations", "k"}, 0,
         "K0+000.000\t0.000\t0.000\t0.000\t14°02′10.5″\t\t起点", ""},
        {"a main point's note on every offset row",
         {"list", "{route}", "--from", "0", "--to", "400", "--step", "1000", "--key-points", "--offset", "-5",
          "--format", "csv"},
         0, ",ZH\n", ""},
        {"both stations of the long chain", {"list", "{route}", "--from", "0", "--to", "K0+480(2)", "--step", "1000",
                                             "--format", "csv"},
         0, "500.000(1),0.000,457.149,177.848,49.9975192,,断链前\n450.000(2),0.000,457.149,177.848,49.9975192,,断链后\n", ""},
        {"beyond the route's end", {"at", "{route}", "--k", "5000"}, 1, "", "在平面线形范围"},
        {"an ambiguous label over the long chain", {"at", "{route}", "--k", "470"}, 1, "", "470(1)"},
        {"a route that fails its checks, by line", {"at", "{bad}", "--k", "10"}, 1, "", "JD1（第3行）的半径R须为正数"},
        {"a malformed station", {"at", "{route}", "--k", "K0+12x"}, 2, "", "--k"},
        {"--alignment on a 交点表", {"elements", "{route}", "--alignment", "x"}, 2, "", "--alignment"},
        {"an alignment the file does not have", {"elements", "{xml}", "--alignment", "nope"}, 2, "", "Asse_BP"},
        {"a points file with a damaged line", {"inverse", "{route}", "--points", "{points}"}, 1, "", "第3行"},
        {"the output is the input", {"convert", "{route}", "--output", "{route}"}, 2, "", "就是输入文件"},
        {"a missing route", {"elements", "{out}"}, 3, "", "out.csv"},
    };
    for (const Case& c : cases) {
        const CliRun run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
        EXPECT_NE(run.out.find(c.outContains), std::string::npos) << c.name << ": " << run.out;
        EXPECT_NE(run.err.find(c.errContains), std::string::npos) << c.name << ": " << run.err;
        if (c.status != 0) {
            EXPECT_EQ(run.out, "") << c.name;
        }
    }
    // The refused conversion left the route as it was.
    EXPECT_EQ(ReadBytes(folder.File("route.csv")).substr(0, 9), "交点号");
}

// align plot: each format as its name says, the DXF at the route's own
// coordinates; a refused plot writes nothing and leaves the route as it was.
TEST_F(AlignCliFiles, plot_writes_each_format_and_a_refusal_writes_nothing) {
    const std::pair<const char*, const char*> formats[] = {{"svg", "<?xml"}, {"pdf", "%PDF"}, {"dxf", "999\r\ndxflib"}};
    for (const auto& [extension, start] : formats) {
        const std::string out = folder.File(std::string("plan.") + extension);
        const CliRun run = Run({"plot", "{route}", "--output", out, "--scale", "1000"});
        ASSERT_EQ(run.status, 0) << extension << ": " << run.err;
        EXPECT_EQ(ReadBytes(out).substr(0, std::string(start).size()), start) << extension;
    }
    const std::string dxf = ReadBytes(folder.File("plan.dxf"));
    EXPECT_NE(dxf.find("$INSUNITS\r\n 70\r\n6\r\n"), std::string::npos);
    // JD1 (X 400, Y 100) is a vertex of the JD line: x east, y north.
    EXPECT_NE(dxf.find(" 10\r\n100.0\r\n 20\r\n400.0\r\n"), std::string::npos);

    const std::string route = ReadBytes(folder.File("route.csv"));
    const Case refused[] = {
        {"the output is the route", {"plot", "{route}", "--output", "{route}"}, 2, "", "同一个文件"},
        {"an output of another kind", {"plot", "{route}", "--output", "{out}"}, 2, "", ".svg、.pdf 或 .dxf"},
        {"a scale that is no scale", {"plot", "{route}", "--output", "{pdf}", "--scale", "1.5"}, 2, "", "--scale"},
        {"a PDF page larger than readers open", {"plot", "{route}", "--output", "{pdf}", "--scale", "100"}, 1, "",
         "超出 PDF 页面的最大尺寸"},
        {"a route that fails its checks", {"plot", "{bad}", "--output", "{pdf}"}, 1, "", "JD1（第3行）"},
    };
    for (Case c : refused) {
        for (std::string& a : c.args)
            if (a == "{pdf}") a = folder.File("refused.pdf");
        const CliRun run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
        EXPECT_NE(run.err.find(c.errContains), std::string::npos) << c.name << ": " << run.err;
        EXPECT_FALSE(std::filesystem::exists(folder.File("refused.pdf"))) << c.name;
        EXPECT_FALSE(std::filesystem::exists(folder.File("out.csv"))) << c.name;
    }
    EXPECT_EQ(ReadBytes(folder.File("route.csv")), route);
}

// With a profile of the same road (a 1 % grade, labels through the same long
// chain) every row carries its design elevation, offset rows included.
TEST_F(AlignCliFiles, vertical_adds_the_design_elevation_through_the_shared_labels) {
    WriteBytes(folder.File("profile.csv"),
               "station,elevation,radius\n0,100,\n1100,111.5,\n\nstation_back,station_ahead\n500,450\n");
    const CliRun run = Run({"at", "{route}", "--k", "480(2)", "--k", "600", "--offset", "3", "--vertical",
                            folder.File("profile.csv"), "--format", "csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = CsvRows(run.out);
    EXPECT_EQ(rows.at(1).at(5), "105.300");  // internal 530
    EXPECT_EQ(rows.at(2).at(5), "106.500");  // internal 650
    const CliRun outside = Run({"at", "{route}", "--k", "1150", "--vertical", folder.File("profile.csv")});
    EXPECT_EQ(outside.status, 1);
    EXPECT_NE(outside.err.find("纵断面范围"), std::string::npos) << outside.err;
}

// A road a hair west of due north: its azimuth rounds to 0, never to 360.
TEST_F(AlignCliFiles, azimuths_print_below_360) {
    WriteBytes(folder.File("north.csv"), "交点号,X,Y,桩号\nBP,0,0,0\nEP,1000,-0.0000000001,\n");
    const CliRun csv = Run({"at", folder.File("north.csv"), "--k", "10", "--format", "csv"});
    EXPECT_EQ(csv.out, "station,offset,north,east,azimuth,elevation,note\n10.000,0.000,10.000,0.000,0.0000000,,\n")
        << csv.err;
    const CliRun text = Run({"at", folder.File("north.csv"), "--k", "10"});
    EXPECT_NE(text.out.find("\t0°00′00.0″"), std::string::npos) << text.out;
}

// The listing's own points at their offsets, fed back as field points: each
// gives back its station and offset.
TEST_F(AlignCliFiles, inverse_gives_back_what_the_listing_wrote) {
    const CliRun list = Run({"list", "{route}", "--from", "0", "--to", "K1+200", "--step", "25", "--key-points",
                             "--offset", "-7.5", "--offset", "12", "--format", "csv", "--decimals", "6"});
    ASSERT_EQ(list.status, 0) << list.err;
    const auto rows = CsvRows(list.out);
    std::string points = "name,north,east\n";
    for (std::size_t i = 1; i < rows.size(); ++i) points += rows[i][0] + "/" + rows[i][1] + "," + rows[i][2] + "," + rows[i][3] + "\n";
    WriteBytes(folder.File("field.csv"), points);
    const CliRun inverse = Run({"inverse", "{route}", "--points", folder.File("field.csv"), "--format", "csv", "--decimals", "6"});
    ASSERT_EQ(inverse.status, 0) << inverse.err;
    const auto answers = CsvRows(inverse.out);
    ASSERT_EQ(answers.size(), rows.size());
    EXPECT_EQ(answers[0], (std::vector<std::string>{"name", "north", "east", "station", "offset"}));
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(answers[i][1], rows[i][2]);  // echoed as given
        // A chain break's place has two labels: either is right.
        if (rows[i].back().find("断链") != std::string::npos) continue;
        // The points were printed to a micrometre: so are the answers.
        EXPECT_NEAR(Number(answers[i][3]), Number(rows[i][0]), 2e-6) << answers[i][0];
        EXPECT_NEAR(Number(answers[i][4]), Number(rows[i][1]), 2e-6) << answers[i][0];
    }
}

// A route of elements with partial clothoids has no 交点表: refused, element named.
TEST_F(AlignCliFiles, a_route_with_spirals_converts_to_a_table_that_lists_the_same_points) {
    const CliRun convert = Run({"convert", "{xml}", "--output", "{out}"});
    ASSERT_EQ(convert.status, 0) << convert.err;
    const CliRun fromXml = Run({"list", "{xml}", "--from", "0", "--to", "800", "--step", "20", "--format", "csv"});
    const CliRun fromCsv = Run({"list", "{out}", "--from", "0", "--to", "800", "--step", "20", "--format", "csv"});
    ASSERT_EQ(fromXml.status, 0) << fromXml.err;
    EXPECT_EQ(fromXml.out, fromCsv.out);
}

// A 交点表 written into a road's LandXML: the alignment takes the new
// geometry, its profiles stay, and the file lists the same points as the table.
TEST_F(AlignCliFiles, converting_into_a_landxml_file_keeps_its_profiles) {
    const std::string road = folder.File("road.xml");
    WriteBytes(road, ReadBytes(std::string(TARNVEL_IO_TEST_DATA) + "/inframodel_m3_road.xml"));
    const CliRun before = RunCli(TARNVEL_CLI, {"profile", "names", road});
    ASSERT_EQ(before.status, 0) << before.err;
    ASSERT_FALSE(before.out.empty());
    const CliRun convert = Run({"convert", "{route}", "--output", road});
    ASSERT_EQ(convert.status, 0) << convert.err;
    EXPECT_EQ(RunCli(TARNVEL_CLI, {"profile", "names", road}).out, before.out);
    const std::vector<std::string> list = {"list", "", "--from", "0", "--to", "K1+200", "--step", "10", "--key-points",
                                           "--format", "csv", "--decimals", "6"};
    auto fromXml = list, fromCsv = list;
    fromXml[1] = road;
    fromCsv[1] = "{route}";
    EXPECT_EQ(Run(fromXml).out, Run(fromCsv).out);
}

// The shared stakeout case through the command: no header, the names in
// order, the code empty, no elevation without a profile, the published
// points; GBK the same rows in code page 936; with a profile the centre
// points alone carry the design elevation; names that would collide refused.
TEST_F(AlignCliFiles, stakeout_writes_named_points_for_a_controller) {
    const StakeoutCase c = StakeoutRouteCase();
    const std::string route = folder.File("stakeout.csv");
    WriteBytes(route, io::IntersectionCsvBytes(c.table));
    std::vector<std::string> args = {"list", route, "--from", std::string(c.from), "--to", std::string(c.to),
                                     "--step", "10", "--format", "stakeout"};
    for (double offset : c.offsets)
        if (offset != 0) args.insert(args.end(), {"--offset", std::to_string(offset)});
    const CliRun run = Run(args);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = CsvRows(run.out);
    std::vector<std::string> names;
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 5u) << row[0];
        names.push_back(row[0]);
        EXPECT_EQ(row[1], "") << row[0];
        EXPECT_EQ(row[4], "") << row[0];
    }
    EXPECT_EQ(names, c.names);
    for (const auto& [name, want] : c.known) {
        const std::string_view sought = name;  // clang 14 cannot capture a structured binding
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r[0] == sought; });
        ASSERT_NE(row, rows.end()) << name;
        EXPECT_NEAR(Number((*row)[2]), want.east, c.tolerance) << name;
        EXPECT_NEAR(Number((*row)[3]), want.north, c.tolerance) << name;
    }

    auto gbk = args;
    gbk.insert(gbk.end(), {"--encoding", "gbk"});
    const CliRun inGbk = Run(gbk);
    ASSERT_EQ(inGbk.status, 0) << inGbk.err;
    EXPECT_EQ(inGbk.out, io::Utf8ToGbk(run.out));

    WriteBytes(folder.File("grade.csv"), "station,elevation,radius\n23000,100,\n24000,110,\n\n"
                                         "station_back,station_ahead\n23450,23430\n");
    auto vertical = args;
    vertical.insert(vertical.end(), {"--vertical", folder.File("grade.csv")});
    const auto withElevation = CsvRows(Run(vertical).out);
    ASSERT_EQ(withElevation.size(), c.names.size());
    EXPECT_EQ(withElevation[1][0], "K23+390");
    EXPECT_EQ(withElevation[1][4], "103.824");  // 10 m over the 1020 m the long chain makes of K23 to K24
    EXPECT_EQ(withElevation[0][4], "");         // beside the centre line the cross-section decides
    EXPECT_EQ(withElevation[2][4], "");

    const Case refused[] = {
        {"names that would collide", {"list", route, "--from", "K23+390", "--to", "K23+400", "--step", "10",
                                      "--offset", "7.5", "--offset", "7.5001", "--format", "stakeout"},
         2, "", "点名相同"},
        {"an encoding without stakeout", {"list", route, "--from", "K23+390", "--to", "K23+400", "--step", "10",
                                          "--encoding", "gbk"},
         2, "", "--encoding"},
        {"an unknown encoding", {"list", route, "--from", "K23+390", "--to", "K23+400", "--step", "10",
                                 "--format", "stakeout", "--encoding", "big5"},
         2, "", "big5"},
    };
    for (const Case& r : refused) {
        const CliRun failed = Run(r.args);
        EXPECT_EQ(failed.status, r.status) << r.name;
        EXPECT_EQ(failed.out, "") << r.name;
        EXPECT_NE(failed.err.find(r.errContains), std::string::npos) << r.name << ": " << failed.err;
    }
}

}  // namespace
}  // namespace tarnvel::test
