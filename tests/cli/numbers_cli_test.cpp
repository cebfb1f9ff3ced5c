// Numbers that must belong to the profile asked for, through the real
// tarnvel-cli: the ground of the chosen LandXML profile, ground tables in
// other units, and refusals (with their exit status and no output) where a
// result would be wrong. One table of cases: the command, the files before,
// the exit status, what is printed or written, which output stays absent.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "tests/cli/run_cli.h"
#include "tests/io/scratch_folder.h"

namespace tarnvel::test {
namespace {

using io::testing::ReadBytes;
using io::testing::ScratchFolder;
using io::testing::WriteBytes;

std::string Alignment(const std::string& name, const std::string& surfaces) {
    return "<Alignment name=\"" + name + "\"><Profile name=\"P\"><ProfAlign name=\"" + name +
           "设计\"><PVI>0 100</PVI><PVI>200 100</PVI></ProfAlign>" + surfaces + "</Profile></Alignment>";
}
std::string Surface(const std::string& name, const char* elevation) {
    return "<ProfSurf name=\"" + name + "\"><PntList2D>0 " + elevation + " 200 " + elevation + "</PntList2D></ProfSurf>";
}
std::string LandXml(const std::string& alignments) {
    return "<LandXML><Units><Metric linearUnit=\"meter\"/></Units><Alignments>" + alignments +
           "</Alignments></LandXML>";
}

// The files every case may use, by name.
const std::map<std::string, std::string>& Files() {
    static const std::map<std::string, std::string> files = {
        // A's ground is 90, B's 95: the first ProfSurf of the file is A's.
        {"two.xml", LandXml(Alignment("A", Surface("原地面", "90")) + Alignment("B", Surface("原地面", "95")))},
        {"nog.xml", LandXml(Alignment("A", Surface("原地面", "90")) + Alignment("C", ""))},
        {"dup.xml", LandXml(Alignment("A", Surface("原地面", "90") + Surface("原地面", "80")))},
        {"design.csv", "桩号,高程\n0,100\n200,100\n"},
        {"ground.csv", "桩号,地面高程\n0,95\n200,95\n"},
        {"ground_mm.csv", "桩号[mm],地面高程[mm]\n0,95000\n200000,95000\n"},
        {"ground_two_units.csv", "桩号[m],地面高程[mm]\n0,95000\n200,95000\n"},
        {"chain.csv", "桩号,高程,曲线长\n0,100,\n300,103,100\n550(2),101,\n\n断链前桩号,断链后桩号\n600,500\n"},
        {"far.csv", "桩号,高程\n999999999000,100\n999999999500,103\n"},
        {"long.csv", "桩号,高程\n0,100\n100000000,103\n"},
    };
    return files;
}

struct NumbersCase {
    const char* name;
    std::vector<std::string> args;  // "@x" stands for the file x in the case's folder
    int status;
    std::string output;             // where to look: "" for standard output, else a file written
    std::vector<std::string> holds{}, lacks{};  // in that output (or, for a refusal, on standard error)
    std::string absent{};           // a file that must not be written
};

const std::vector<NumbersCase>& Cases() {
    static const std::vector<NumbersCase> cases = {
        {"at_gives_the_chosen_profiles_own_ground",
         {"profile", "at", "@two.xml", "--profile", "B设计", "--k", "100", "--ground", "@two.xml"}, 0, "",
         {"100.000\t95.000\t5.000"}, {"90.000"}},
        {"list_gives_the_chosen_profiles_own_ground",
         {"profile", "list", "@two.xml", "--profile", "B/B设计", "--from", "0", "--to", "200", "--step", "100",
          "--ground", "@two.xml", "--format", "csv"},
         0, "", {",95.000,"}, {"90.000"}},
        {"convert_writes_the_chosen_profiles_own_ground",
         {"profile", "convert", "@two.xml", "--profile", "B设计", "--output", "@b.csv", "--ground-output", "@bg.csv"},
         0, "bg.csv", {"0,95\r\n200,95\r\n"}, {"90"}},
        {"sheet_draws_the_chosen_profiles_own_ground",
         {"profile", "sheet", "@two.xml", "--profile", "B设计", "--ground", "@two.xml", "--output", "@b.svg"}, 0,
         "b.svg", {">95.000<"}, {">90.000<"}},
        {"a_bare_surface_name_prefers_the_chosen_profiles_own",
         {"profile", "at", "@two.xml", "--profile", "B设计", "--k", "100", "--ground", "@two.xml", "--ground-surface",
          "原地面"},
         0, "", {"\t95.000\t"}},
        {"a_profile_without_ground_is_not_given_another_alignments",
         {"profile", "at", "@nog.xml", "--profile", "C设计", "--k", "100", "--ground", "@nog.xml"}, 1, "",
         {"没有地面线", "“A/原地面”"}},
        {"two_surfaces_of_one_full_name_are_refused_as_ambiguous",
         {"profile", "at", "@dup.xml", "--k", "100", "--ground", "@dup.xml", "--ground-surface", "A/原地面"}, 1, "",
         {"无法区分"}},
        {"a_bare_name_two_surfaces_share_with_their_alignment_gives_no_advice_that_picks_one",
         {"profile", "at", "@dup.xml", "--k", "100", "--ground", "@dup.xml", "--ground-surface", "原地面"}, 1, "",
         {"无法区分"}, {"请写成"}},
        {"ground_surface_with_a_csv_ground_is_refused",
         {"profile", "at", "@design.csv", "--k", "100", "--ground", "@ground.csv", "--ground-surface", "原地面"}, 2, "",
         {"--ground-surface", "CSV"}},
        {"a_ground_table_in_millimetres_is_read_as_metres",
         {"profile", "at", "@design.csv", "--k", "100", "--ground", "@ground_mm.csv"}, 0, "", {"100.000\t95.000\t5.000"}},
        {"a_ground_table_whose_columns_disagree_is_refused_naming_them",
         {"profile", "at", "@design.csv", "--k", "100", "--ground", "@ground_two_units.csv"}, 1, "",
         {"“桩号[m]”列", "“地面高程[mm]”列"}},
        {"a_sheet_range_error_keeps_the_occurrence_of_its_stations",
         {"profile", "sheet", "@chain.csv", "--from", "540(2)", "--to", "530(2)", "--output", "@c.svg"}, 1, "",
         {"K0+530(2)", "K0+540(2)"}, {}, "c.svg"},
        {"a_sheet_of_stations_near_ten_to_the_twelve_is_refused",
         {"profile", "sheet", "@far.csv", "--output", "@f.svg"}, 1, "", {"过大"}, {}, "f.svg"},
        {"a_listing_near_ten_to_the_twelve_keeps_every_row",
         {"profile", "list", "@far.csv", "--from", "999999999000", "--to", "999999999500", "--step", "100"}, 0, "",
         {"999999999100.000\t", "999999999400.000\t", "999999999500.000\t"}},
        {"a_very_long_profile_is_told_the_sheets_it_would_take",
         {"profile", "sheet", "@long.csv", "--output", "@l.svg"}, 1, "", {"张图纸"}, {"桩号间距"}, "l.svg"},
    };
    return cases;
}

// Shown by its name when a case fails.
void PrintTo(const NumbersCase& c, std::ostream* os) { *os << c.name; }

class Numbers : public ::testing::TestWithParam<NumbersCase> {};

TEST_P(Numbers, belong_to_the_profile_asked_for_or_are_refused) {
    const NumbersCase& c = GetParam();
    ScratchFolder folder;
    for (const auto& [name, bytes] : Files()) WriteBytes(folder.File(name), bytes);
    std::vector<std::string> args;
    for (const std::string& a : c.args) args.push_back(a.starts_with("@") ? folder.File(a.substr(1)) : a);
    const CliRun run = RunCli(TARNVEL_CLI, args);
    ASSERT_EQ(run.status, c.status) << run.err;
    const std::string text = c.status != 0 ? run.err : c.output.empty() ? run.out : ReadBytes(folder.File(c.output));
    for (const std::string& s : c.holds) EXPECT_NE(text.find(s), std::string::npos) << s << "\n" << text.substr(0, 2000);
    for (const std::string& s : c.lacks) EXPECT_EQ(text.find(s), std::string::npos) << s << "\n" << text.substr(0, 2000);
    if (!c.absent.empty()) {
        EXPECT_FALSE(std::filesystem::exists(folder.File(c.absent)));
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, Numbers, ::testing::ValuesIn(Cases()), [](const auto& info) {
    return std::string(info.param.name);
});

}  // namespace
}  // namespace tarnvel::test
