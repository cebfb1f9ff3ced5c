// tarnvel-cli profile, run as the real binary over small profiles the test
// writes: what scripts depend on (the exact lines and the CSV header), the exit
// statuses, labels through chain breaks, and that a failure writes nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <utility>
#include <string>
#include <vector>

#include "core/drawing/profile_drawing.h"
#include "core/drawing/sheet.h"
#include "core/text/output_vocabulary.h"
#include "core/text/profile_text.h"
#include "tests/cli/run_cli.h"
#include "io/profile_files.h"
#include "tests/output_cases.h"
#include "tests/sheet_reading.h"
#include "tests/io/scratch_folder.h"
#include "tests/worked_example.h"

namespace tarnvel::test {
namespace {

using io::testing::ReadBytes;
using io::testing::ScratchFolder;
using io::testing::WriteBytes;

// A 1 % grade throughout (elevation = 100 + internal / 100), stationed with a
// long chain at internal 500 (labels 450 to 500 occur twice) and a short chain
// at internal 850 (labels 800 to 850 do not exist). Label 700 is internal 750.
constexpr std::string_view kChainCsv =
    "station,elevation,radius\n"
    "0,100,\n"
    "300,103,\n"
    "1000,110,\n"
    "\n"
    "station_back,station_ahead\n"
    "500,450\n"
    "800,850\n";

// Stations not increasing and a curve on the first point: both are reported.
constexpr std::string_view kInvalidCsv =
    "station,elevation,radius\n"
    "100,10,500\n"
    "300,12,\n"
    "200,11,\n";

struct Case {
    const char* name;
    std::vector<std::string> args;  // "{worked}", "{chain}", "{invalid}", "{out}" stand for files
    int status;
    std::string out;          // exact standard output
    const char* errContains;  // "" when any (or no) message is fine
};

class ProfileCli : public ::testing::Test {
protected:
    void SetUp() override {
        // The shared start-up profile, through the CSV writer.
        WriteBytes(folder.File("worked.csv"), io::ProfileCsvBytes(StartUpProfile()));
        WriteBytes(folder.File("chain.csv"), kChainCsv);
        WriteBytes(folder.File("invalid.csv"), kInvalidCsv);
    }

    CliRun Run(std::vector<std::string> args) {
        const std::pair<std::string, std::string> files[] = {{"{worked}", "worked.csv"},
                                                             {"{chain}", "chain.csv"},
                                                             {"{invalid}", "invalid.csv"},
                                                             {"{out}", "out"}};
        for (std::string& a : args)
            for (const auto& [token, name] : files)
                if (a == token) a = folder.File(name);
        args.insert(args.begin(), "profile");
        return RunCli(TARNVEL_CLI, args);
    }

    void Check(const Case& c) {
        const CliRun run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_NE(run.err.find(c.errContains), std::string::npos) << c.name << ": " << run.err;
    }

    ScratchFolder folder;
};

TEST_F(ProfileCli, AtGivesTheElevationOfEachStationAsTyped) {
    const Case cases[] = {
        {"worked example", {"at", "{worked}", "--k", "16780"}, 0, "16780.000\t396.713\n", ""},
        {"K notation in and out, several stations, more decimals",
         {"at", "{worked}", "--k", "K16+740", "--k=16+800", "--stations", "k", "--decimals", "4"}, 0,
         "K16+740.0000\t395.7400\nK16+800.0000\t397.0000\n", ""},
        {"behind the long chain", {"at", "{chain}", "--k", "480(1)"}, 0, "480.000(1)\t104.800\n", ""},
        {"ahead of the long chain", {"at", "{chain}", "--k", "K0+480(2)", "--stations", "k"}, 0,
         "K0+480.000(2)\t105.300\n", ""},
        {"between the chains", {"at", "{chain}", "--k", "700"}, 0, "700.000\t107.500\n", ""},
        {"ahead of the short chain", {"at", "{chain}", "--k", "900"}, 0, "900.000\t109.000\n", ""},
        {"ambiguous label", {"at", "{chain}", "--k", "480"}, 1, "", "480"},
        {"label in the short chain's gap", {"at", "{chain}", "--k", "820"}, 1, "", "820"},
        {"outside the profile: nothing printed for the good station",
         {"at", "{worked}", "--k", "16780", "--k", "17501"}, 1, "", "K17+501"},
        {"malformed station", {"at", "{worked}", "--k", "K16+78x"}, 2, "", "--k"},
        {"metres of 1000 in K notation", {"at", "{worked}", "--k", "K16+1000"}, 2, "", "--k"},
        {"no station", {"at", "{worked}"}, 2, "", "--k"},
        {"decimals out of range", {"at", "{worked}", "--k", "16780", "--decimals", "13"}, 2, "", "--decimals"},
        {"invalid profile: every problem, file first", {"at", "{invalid}", "--k", "250"}, 1, "",
         "invalid.csv"},
        {"missing file", {"at", "{out}", "--k", "1"}, 3, "", "out"},
        {"unknown sub-command", {"elevate", "{worked}"}, 2, "", "elevate"},
    };
    for (const Case& c : cases) Check(c);

    // Both problems of the invalid profile are said, not only the first.
    const CliRun invalid = Run({"at", "{invalid}", "--k", "250"});
    EXPECT_GE(std::count(invalid.err.begin(), invalid.err.end(), '\n'), 3) << invalid.err;
}

// A road export's pair of curves overlapping by 0.00728 mm: the curve on
// PVI 100 ends at 150, the one on PVI 200 starts 0.00728 mm before.
TEST_F(ProfileCli, CurvesOverlappingByRoundingOpenWithOneNote) {
    WriteBytes(folder.File("overlap.csv"),
               "station,elevation,radius\n0,100,\n100,102,2500\n200,100,2500.000364\n300,102,\n400,101,\n");
    const std::string file = folder.File("overlap.csv");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"elements", file},
          std::vector<std::string>{"list", file, "--from", "0", "--to", "400", "--step", "50"}}) {
        const CliRun run = RunCli(TARNVEL_CLI, [&] {
            std::vector<std::string> all{"profile"};
            all.insert(all.end(), args.begin(), args.end());
            return all;
        }());
        EXPECT_EQ(run.status, 0) << args[0] << ": " << run.err;
        EXPECT_FALSE(run.out.empty()) << args[0];
        const std::string note = "第3点（桩号 K0+200）的竖曲线与第2点（桩号 K0+100）的竖曲线重叠 0.00728 毫米";
        const std::size_t at = run.err.find(note);
        EXPECT_NE(at, std::string::npos) << args[0] << ": " << run.err;
        EXPECT_EQ(run.err.find(note, at + 1), std::string::npos) << args[0] << ": said twice";
    }
    // A step too fine is refused for that reason alone, without the row-limit hint.
    const CliRun fine = Run({"list", "{worked}", "--from", "16700", "--to", "16800", "--step", "1E-300"});
    EXPECT_EQ(fine.status, 2) << fine.err;
    EXPECT_NE(fine.err.find("过小"), std::string::npos) << fine.err;
    EXPECT_EQ(fine.err.find("--max-stations"), std::string::npos) << fine.err;
}

TEST_F(ProfileCli, ElementsAndListingAsTextAndCsv) {
    const Case cases[] = {
        {"elements csv: exact header and the start-up example's T, E and curve ends",
         {"elements", "{worked}", "--format", "csv"}, 0,
         "pvi_station,pvi_elevation,grade_in,grade_out,kind,radius,length,tangent_in,tangent_out,external,"
         "start_station,start_elevation,end_station,end_elevation,extreme_station,extreme_elevation\n"
         "16770.000,396.670,3.1000,1.1000,crest,3000.000,60.000,30.000,30.000,0.150,"
         "16740.000,395.740,16800.000,397.000,,\n",
         ""},
        {"listing with key points: the PVI and the curve end marked, grades in percent",
         {"list", "{worked}", "--from", "16760", "--to", "K16+800", "--step", "20", "--key-points"}, 0,
         "桩号\t设计高程\t纵坡(%)\t备注\n"
         "16760.000\t396.293\t2.4333\n"
         "16770.000\t396.520\t2.1000\t变坡点\n"
         "16780.000\t396.713\t1.7667\n"
         "16800.000\t397.000\t1.1000\t竖曲线终点\n",
         ""},
        {"listing as csv in K notation",
         {"list", "{worked}", "--from", "16700", "--to", "16710", "--step", "10", "--format", "csv",
          "--stations", "k", "--decimals", "2"},
         0, "station,elevation,grade,note\nK16+700.000,394.50,3.1000,\nK16+710.000,394.81,3.1000,\n", ""},
        {"too many stations: nothing printed",
         {"list", "{worked}", "--from", "16700", "--to", "16900", "--step", "1", "--max-stations", "10"}, 2,
         "", "--max-stations"},
        {"end beyond the profile", {"list", "{worked}", "--from", "16700", "--to", "17600", "--step", "10"}, 1,
         "", "K17+600"},
        {"step not positive", {"list", "{worked}", "--from", "16700", "--to", "16800", "--step", "-10"}, 2, "",
         "--step"},
        {"malformed range end", {"list", "{worked}", "--from", "A16", "--to", "16800", "--step", "10"}, 2, "",
         "--from"},
    };
    for (const Case& c : cases) Check(c);

    const CliRun table = Run({"elements", "{worked}"});
    EXPECT_EQ(table.status, 0) << table.err;
    EXPECT_NE(table.out.find("竖曲线要素表"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("米"), std::string::npos) << table.out;
}

TEST_F(ProfileCli, ListingThroughChainBreaksMarksBothStations) {
    const CliRun run = Run({"list", "{chain}", "--from", "400", "--to", "900", "--step", "100", "--format", "csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    // The two stations of each break, in road order, at the same place on the
    // road (same elevation); an occurrence suffix may follow a repeated label.
    std::vector<std::string> breaks;
    std::size_t begin = 0;
    for (std::size_t end; (end = run.out.find('\n', begin)) != std::string::npos; begin = end + 1) {
        const std::string line = run.out.substr(begin, end - begin);
        if (line.find("断链") != std::string::npos) breaks.push_back(line);
    }
    ASSERT_EQ(breaks.size(), 4u) << run.out;
    const struct {
        const char* label;
        const char* rest;
    } expected[] = {{"500.000", ",105.000,1.0000,断链前"},
                    {"450.000", ",105.000,1.0000,断链后"},
                    {"800.000", ",108.500,1.0000,断链前"},
                    {"850.000", ",108.500,1.0000,断链后"}};
    for (std::size_t i = 0; i < breaks.size(); ++i) {
        EXPECT_TRUE(breaks[i].starts_with(expected[i].label)) << breaks[i];
        EXPECT_TRUE(breaks[i].ends_with(expected[i].rest)) << breaks[i];
    }
    // Between the chains the labels run on from the long chain's ahead label.
    EXPECT_NE(run.out.find("\n700.000,107.500,1.0000,\n"), std::string::npos) << run.out;
}

TEST_F(ProfileCli, ConvertWritesTheOtherFormatOrNothing) {
    for (const char* extension : {"xml", "csv"}) {
        const std::string converted = folder.File(std::string("converted.") + extension);
        const CliRun convert = Run({"convert", "{chain}", "--output", converted});
        ASSERT_EQ(convert.status, 0) << convert.err;
        EXPECT_EQ(convert.out, "");
        // The converted file answers as the original does, through both chains.
        const CliRun at = RunCli(TARNVEL_CLI, {"profile", "at", converted, "--k", "480(2)", "--k", "900"});
        EXPECT_EQ(at.status, 0) << extension << ": " << at.err;
        EXPECT_EQ(at.out, "480.000(2)\t105.300\n900.000\t109.000\n") << extension;
    }

    const std::string before = ReadBytes(folder.File("converted.csv"));
    const Case failures[] = {
        {"invalid profile", {"convert", "{invalid}", "--output", folder.File("converted.csv")}, 1, "", "invalid.csv"},
        {"unknown extension", {"convert", "{worked}", "--output", folder.File("converted.txt")}, 2, "", "--output"},
        {"folder missing", {"convert", "{worked}", "--output", folder.File("none/x.csv")}, 3, "", "x.csv"},
    };
    for (const Case& c : failures) Check(c);
    EXPECT_EQ(ReadBytes(folder.File("converted.csv")), before);
    EXPECT_FALSE(std::filesystem::exists(folder.File("converted.txt")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("none")));
}

TEST_F(ProfileCli, ProfilesByNameAndTheirUnit) {
    // A profile in feet, converted to LandXML: its name is listed, chosen by
    // name, and its unit is said where the output has no room for it.
    WriteBytes(folder.File("feet.csv"), "station[ft],elevation,radius\n0,100,\n500,105,2000\n1000,100,\n");
    const std::string xml = folder.File("feet.xml");
    ASSERT_EQ(RunCli(TARNVEL_CLI, {"profile", "convert", folder.File("feet.csv"), "--output", xml}).status, 0);
    const CliRun names = RunCli(TARNVEL_CLI, {"profile", "names", xml});
    ASSERT_EQ(names.status, 0) << names.err;
    ASSERT_TRUE(names.out.ends_with("\n")) << names.out;
    const std::string name = names.out.substr(0, names.out.find('\n'));

    const CliRun at = RunCli(TARNVEL_CLI, {"profile", "at", xml, "--profile", name, "--k", "1"});
    EXPECT_EQ(at.status, 0) << at.err;
    EXPECT_EQ(at.out, "1.000\t100.010\n");
    EXPECT_NE(at.err.find("英尺"), std::string::npos) << at.err;
    const CliRun table = RunCli(TARNVEL_CLI, {"profile", "elements", xml});
    EXPECT_NE(table.out.find("英尺"), std::string::npos) << table.out;

    const CliRun wrong = RunCli(TARNVEL_CLI, {"profile", "at", xml, "--profile", "nosuch", "--k", "1"});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("nosuch"), std::string::npos) << wrong.err;
    EXPECT_EQ(RunCli(TARNVEL_CLI, {"profile", "names", folder.File("feet.csv")}).status, 1);
}

// A design file holds more than one profile: converting another file onto
// it would keep only the profile read.
constexpr std::string_view kDesignXml =
    "<?xml version=\"1.0\"?>\n<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\">"
    "<Surfaces><Surface name=\"EG\"/></Surfaces><Alignments><Alignment name=\"路线\">"
    "<CoordGeom><Line><Start>100 200</Start><End>300 400</End></Line></CoordGeom><Profile>"
    "<ProfAlign name=\"设计线\"><PVI>0 10</PVI><PVI>100 11</PVI></ProfAlign>"
    "<ProfAlign name=\"比较线\"><PVI>0 10</PVI><PVI>100 12</PVI></ProfAlign>"
    "</Profile></Alignment></Alignments></LandXML>";

TEST_F(ProfileCli, ConvertDoesNotWriteOverMoreThanTheProfileUnlessForced) {
    const std::string design = folder.File("design.xml");
    const std::string target = folder.File("target.xml");
    WriteBytes(design, kDesignXml);
    WriteBytes(target, kDesignXml);
    const CliRun refused = Run({"convert", design, "--output", target});
    EXPECT_EQ(refused.status, 2) << refused.err;
    for (const char* word : {"另外1个纵断面", "地面模型", "平面线形", "--force"})
        EXPECT_NE(refused.err.find(word), std::string::npos) << word << ": " << refused.err;
    EXPECT_EQ(ReadBytes(target), kDesignXml);

    // Forced, the profile read stays under the alignment's own name; and a
    // file holding just that can be written over again without asking.
    ASSERT_EQ(Run({"convert", design, "--output", target, "--force"}).status, 0);
    EXPECT_EQ(Run({"names", target}).out, "路线/设计线\n");
    const CliRun again = Run({"convert", design, "--output", target});
    EXPECT_EQ(again.status, 0) << again.err;
}

TEST_F(ProfileCli, ProfileNamesThatCannotChooseAreRefused) {
    const std::string twins = folder.File("twins.xml");
    std::string xml(kDesignXml);
    const std::string second = "<Alignment name=\"路线\"><Profile><ProfAlign name=\"设计线\"><PVI>0 1</PVI>"
                               "<PVI>100 2</PVI></ProfAlign></Profile></Alignment>";
    xml.insert(xml.find("</Alignments>"), second);
    WriteBytes(twins, xml);
    const Case cases[] = {
        {"profile on a csv", {"at", "{worked}", "--profile", "x/y", "--k", "16780"}, 2, "", "--profile"},
        {"two alignments of one name", {"at", twins, "--profile", "路线/设计线", "--k", "1"}, 1, "", "2个纵断面"},
    };
    for (const Case& c : cases) Check(c);
}

TEST_F(ProfileCli, StationsFromAFileGiveWhatTheSameStationsAsOptionsGive) {
    WriteBytes(folder.File("k.txt"), "\xEF\xBB\xBF" "480(2)\r\n\n  900 \n");
    const CliRun options = Run({"at", "{chain}", "--k", "480(2)", "--k", "900"});
    ASSERT_EQ(options.status, 0) << options.err;
    const CliRun file = Run({"at", "{chain}", "--k-file", folder.File("k.txt")});
    EXPECT_EQ(file.status, 0) << file.err;
    EXPECT_EQ(file.out, options.out);

    WriteBytes(folder.File("bad.txt"), "100\nK1+2x3\n");
    const Case failures[] = {
        {"bad line", {"at", "{chain}", "--k-file", folder.File("bad.txt")}, 2, "", "第2行"},
        {"empty input", {"at", "{chain}", "--k-file", "-"}, 2, "", "没有桩号"},
        {"missing file", {"at", "{chain}", "--k-file", folder.File("none.txt")}, 3, "", "none.txt"},
    };
    for (const Case& c : failures) Check(c);
}

TEST_F(ProfileCli, MemoryRunningOutIsReportedNotAnAbort) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than any limit here";
#else
    // 200,000 PVIs: read, resolved and tabled under limits from too small to
    // read to enough; wherever it runs out, the words say so.
    ProfileModel model;
    for (int i = 0; i < 200000; ++i)
        model.points.push_back({Station{100.0 * i, 0}, 100.0 + (i % 7),
                                i % 3 == 1 && i + 1 < 200000 ? CurveSpec{CurveKind::ParabolaLength, 0, 20, 0, 0}
                                                             : CurveSpec{}});
    WriteBytes(folder.File("big.csv"), io::ProfileCsvBytes(model));
    for (const int megabytes : {100, 150, 200, 250, 300}) {
        const CliRun run = RunCli("/bin/sh", {"-c", "ulimit -v " + std::to_string(megabytes * 1024) +
                                                        "; exec \"$0\" profile elements \"$1\" >/dev/null",
                                              TARNVEL_CLI, folder.File("big.csv")});
        EXPECT_TRUE(run.status == 0 || run.status == 3) << megabytes << " MB: " << run.status << " " << run.err;
        if (run.status == 3) {
            EXPECT_NE(run.err.find("内存不足"), std::string::npos) << run.err;
        }
        EXPECT_EQ(run.err.find("bad_alloc"), std::string::npos) << run.err;
    }
#endif
}

TEST_F(ProfileCli, HelpComesFromTheOptionTables) {
    const CliRun help = RunCli(TARNVEL_CLI, {"profile", "--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"at", "elements", "list", "convert", "names", "--key-points", "--profile",
                             "--max-stations", "--stations", "--k-file", "--force"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    const CliRun main = RunCli(TARNVEL_CLI, {"--help"});
    for (const char* word : {"--k0", "--crlf", "--output", "profile"})
        EXPECT_NE(main.out.find(word), std::string::npos) << word;
}

}  // namespace
}  // namespace tarnvel::test

namespace tarnvel::test {
namespace {

std::vector<std::string> SplitCells(std::string_view line, char separator) {
    std::vector<std::string> cells;
    std::size_t begin = 0;
    for (std::size_t end; (end = line.find(separator, begin)) != std::string_view::npos; begin = end + 1)
        cells.emplace_back(line.substr(begin, end - begin));
    cells.emplace_back(line.substr(begin));
    return cells;
}

// The lines of `text` that start with `prefix` after their leading blanks.
std::vector<std::string> LinesStartingWith(const std::string& text, std::string_view prefix) {
    std::vector<std::string> lines;
    for (const std::string& line : SplitCells(text, '\n'))
        if (std::string_view(line).substr(std::min(line.find_first_not_of(' '), line.size())).starts_with(prefix))
            lines.push_back(line);
    return lines;
}

// One profile through the command line's elements text and CSV, the PDF
// sheet's table cells and the listing as text and CSV: the digits and words
// of the shared case table in each.
TEST_F(ProfileCli, EveryOutputSaysTheSameDigitsAndWords) {
    WriteBytes(folder.File("outputs.csv"), kOutputsProfileCsv);
    const std::string file = folder.File("outputs.csv");
    const auto loaded = io::ReadProfileFile(file);
    ASSERT_TRUE(loaded.ok());
    std::vector<ProfileProblem> problems;
    const auto profile = Profile::Resolve(loaded.value(), &problems);
    ASSERT_TRUE(profile);

    // The PDF sheet lays out exactly these cells.
    TextOptions options;
    options.stations = StationStyle::K;
    const auto cells = ElementsTableCells(*profile, options);
    const CliRun csv = RunCli(TARNVEL_CLI, {"profile", "elements", file, "--format", "csv", "--stations", "k"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::vector<std::string> csvHeader = SplitCells(SplitCells(csv.out, '\n')[0], ',');
    const CliRun text = RunCli(TARNVEL_CLI, {"profile", "elements", file, "--stations", "k"});
    ASSERT_EQ(text.status, 0) << text.err;
    for (const ElementCellCase& c : kElementCells) {
        SCOPED_TRACE(std::string(c.header) + " of point " + std::to_string(c.point));
        const auto column = std::find(cells[0].begin(), cells[0].end(), c.header) - cells[0].begin();
        ASSERT_LT(static_cast<std::size_t>(column), cells[0].size());
        const auto row = std::find_if(cells.begin() + 1, cells.end(),
                                      [&](const auto& r) { return r[0] == std::to_string(c.point); });
        ASSERT_NE(row, cells.end());
        EXPECT_EQ((*row)[static_cast<std::size_t>(column)], c.text);
        // The people's table holds the row's cells in the same order.
        const auto lines = LinesStartingWith(text.out, std::to_string(c.point) + " ");
        ASSERT_EQ(lines.size(), 1u);
        if (!c.text.empty()) {
            EXPECT_NE(lines[0].find(c.text), std::string::npos) << lines[0];
        }
        // The CSV, where it has the column, under its English key; its row
        // is the element row in the same order.
        const ElementsColumn& described = ElementsColumns()[static_cast<std::size_t>(column)];
        if (described.key.empty() || described.kind == ColumnKind::Word) continue;
        const auto key = std::find(csvHeader.begin(), csvHeader.end(), described.key) - csvHeader.begin();
        ASSERT_LT(static_cast<std::size_t>(key), csvHeader.size());
        const auto csvRow = SplitCells(SplitCells(csv.out, '\n')[static_cast<std::size_t>(row - cells.begin())], ',');
        EXPECT_EQ(csvRow[static_cast<std::size_t>(key)], c.text);
    }

    const std::vector<std::string> list = {"profile", "list", file, "--stations", "k",
                                           "--from", std::string(kOutputsListFrom), "--to",
                                           std::string(kOutputsListTo), "--step", std::string(kOutputsListStep),
                                           "--key-points"};
    const CliRun listText = RunCli(TARNVEL_CLI, list);
    ASSERT_EQ(listText.status, 0) << listText.err;
    std::vector<std::string> listCsvArgs = list;
    listCsvArgs.insert(listCsvArgs.end(), {"--format", "csv"});
    const CliRun listCsv = RunCli(TARNVEL_CLI, listCsvArgs);
    ASSERT_EQ(listCsv.status, 0) << listCsv.err;
    EXPECT_TRUE(listText.out.starts_with("桩号\t设计高程\t纵坡(%)\t备注\n")) << listText.out;
    EXPECT_TRUE(listCsv.out.starts_with("station,elevation,grade,note\n")) << listCsv.out;
    for (const ListingRowCase& c : kListingRows) {
        SCOPED_TRACE(std::string(c.station));
        const std::vector<std::string> expected = {std::string(c.station), std::string(c.elevation),
                                                   std::string(c.grade), std::string(c.note)};
        const auto textLines = LinesStartingWith(listText.out, std::string(c.station) + "\t");
        ASSERT_EQ(textLines.size(), 1u);
        std::vector<std::string> textCells = SplitCells(textLines[0], '\t');
        textCells.resize(4);  // a plain station's line ends without a note
        EXPECT_EQ(textCells, expected);
        const auto csvLines = LinesStartingWith(listCsv.out, std::string(c.station) + ",");
        ASSERT_EQ(csvLines.size(), 1u);
        EXPECT_EQ(SplitCells(csvLines[0], ','), expected);
    }
    // The listing to the end ends with the end point.
    EXPECT_TRUE(listCsv.out.ends_with("K1+000.000,102.000,0.6667,终点\n")) << listCsv.out;

    // The drawings: the sheet's bands hold a key point's or interval
    // station's design elevation as the listing does, under its station as the
    // drawing writes it; the high or low point carries the listing's word and
    // station on the sheet and on the plot, its elevation on the plot's label;
    // grades are written as drawings write them.
    const SheetSet sheets = BuildSheets(*profile, SheetOptions{});
    ASSERT_FALSE(sheets.problem);
    BandColumns bands;
    std::vector<std::string> sheetTexts;
    for (const Page& page : sheets.pages) {
        bands.merge(ReadBands(TextsOf(page)));
        for (const PageText& t : page.texts) sheetTexts.push_back(t.text);
    }
    std::vector<std::string> plotTexts;
    for (LabelRole role : {LabelRole::Pvi, LabelRole::EndPoint, LabelRole::Grade, LabelRole::Extreme})
        for (std::size_t slot = 0; slot < LabelSlots(*profile, role); ++slot)
            if (const auto label = LabelAt(*profile, role, slot))
                for (const std::string& line : LabelLines(*profile, *label)) plotTexts.push_back(line);
    const auto holds = [](const std::vector<std::string>& texts, const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    for (const ListingRowCase& c : kListingRows) {
        SCOPED_TRACE(std::string(c.station));
        if (c.note == ExtremeWord(true) || c.note == ExtremeWord(false)) {
            std::string drawn(c.station);
            while (drawn.back() == '0') drawn.pop_back();
            if (drawn.back() == '.') drawn.pop_back();
            EXPECT_TRUE(holds(sheetTexts, std::string(c.note) + " " + drawn));
            EXPECT_TRUE(holds(plotTexts, std::string(c.note) + " " + std::string(c.station)));
            EXPECT_TRUE(holds(plotTexts, "H=" + std::string(c.elevation)));
            continue;
        }
        std::string column(c.station);
        column.erase(column.find('.'));  // whole stations in the band
        ASSERT_TRUE(bands.count(column)) << column;
        EXPECT_EQ(bands[column]["设计高程"], c.elevation);
    }
    for (std::string_view grade : kDrawingGrades) {
        EXPECT_TRUE(holds(sheetTexts, std::string(grade))) << grade;
        EXPECT_TRUE(holds(plotTexts, std::string(grade) + "%")) << grade;
    }
}

}  // namespace
}  // namespace tarnvel::test
