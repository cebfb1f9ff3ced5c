#pragma once
// Command lines as hostile input and careless users write them, one table for
// every command of tarnvel-cli: the files in a scratch folder before, the
// command, the exit status, and the whole folder after, byte for byte (so a
// temporary left behind, a link made a file or a file written that should
// not have been all fail the row). hostile_cli_test.cpp runs every row
// against the real binary, and holds every row to what hostile input may
// cost: a bounded peak memory and a short standard error of whole UTF-8
// characters with no byte a terminal would act on.
//
// To add a row, append a HostileCase to the vector in HostileCases():
//   - name: unique, a sentence in snake_case ("plot_output_is_the_design");
//   - args: what follows "tarnvel-cli"; "{d}" stands for the scratch folder
//     (write "{d}/./x.csv" or "{d}/sub/../x.csv" for other spellings);
//   - before: the folder's entries, made in order: File (bytes), Made (bytes
//     made only when the row runs, for large files), Folder, Link (a symbolic
//     link; bytes is its target, "{d}" allowed) or HardLink (bytes names an
//     entry listed before it, whose name sorts before it);
//   - status: the exit status expected;
//   - after: the folder's every entry afterwards, or nothing for "exactly
//     as before"; kAnyBytes as a file's bytes accepts any content;
//   - has, lacks: pieces the standard error must and must not contain ("{d}"
//     allowed), or another text if `also.in` names one;
//   - also (optional, with designators: {.in = kStdout, .errMost = 0}): where
//     has and lacks look, and limits other than the defaults.
// The design and ground files below are there to be reused.

#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "io/ground_files.h"
#include "io/profile_files.h"
#include "tests/ground_cases.h"
#include "tests/profile_builders.h"

namespace tarnvel::test {

struct HostileFile {
    enum Kind { File, Folder, Link, HardLink };
    std::string name;  // relative to the scratch folder; "sub/x" inside a Folder listed before
    Kind kind = File;
    std::string bytes;  // File: its content; Link: its target; HardLink: the entry it shares
    std::function<std::string()> made{};  // File: makes its content instead, when the row runs
};

inline const std::string kAnyBytes = "\x01<any bytes>";
inline const std::string kStdout = "\x01<standard output>";

// What a row checks besides the files and the exit status.
struct HostileAlso {
    std::string in{};  // where has and lacks look: standard error (empty), kStdout or a file of the folder after
    std::size_t inMost = std::numeric_limits<std::size_t>::max();  // bytes of `in` at most
    std::size_t errMost = 4096;                                     // bytes of standard error at most
    long peakMb = 400;                                              // the command's resident memory at most
};

struct HostileCase {
    std::string name;
    std::vector<std::string> args;
    std::vector<HostileFile> before;
    int status = 0;
    std::optional<std::vector<HostileFile>> after;  // nothing: unchanged
    std::vector<std::string> has{}, lacks{};
    HostileAlso also{};
};

inline void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

namespace hostile {

inline HostileFile File(std::string name, std::string bytes) { return {std::move(name), HostileFile::File, std::move(bytes)}; }
inline HostileFile Made(std::string name, std::function<std::string()> made) {
    return {std::move(name), HostileFile::File, {}, std::move(made)};
}
inline HostileFile Folder(std::string name) { return {std::move(name), HostileFile::Folder, {}}; }
inline HostileFile Link(std::string name, std::string target) { return {std::move(name), HostileFile::Link, std::move(target)}; }
inline HostileFile HardLink(std::string name, std::string of) { return {std::move(name), HostileFile::HardLink, std::move(of)}; }

// A sag design with its ground: as a CSV table, a ground CSV table, and one
// LandXML file holding both (the ground named 原地面).
inline const GroundCase& Sag() {
    static const GroundCase sag = GroundCases().front();
    return sag;
}
inline std::string DesignCsv() { return io::ProfileCsvBytes(Sag().design); }
inline std::string GroundCsv() { return io::GroundCsvBytes(Sag().ground, LengthUnit::Metre); }
inline std::string DesignXml() {
    GroundModel named = Sag().ground;
    named.name = "原地面";
    return io::LandXmlBytes(Sag().design, {}, {named});
}
// The same design with a ground line that runs past its end.
inline std::string DesignXmlWithGroundOutside() {
    GroundModel outside = Sag().ground;
    outside.name = "外延";
    outside.points.back().station.value = 5000;
    return io::LandXmlBytes(Sag().design, {}, {outside});
}

// A 2 km road, and `n` ground points over it 4 m above the design's range
// with a saw-tooth a surveyor's scanner gives, so that no two neighbours agree.
inline ProfileModel Road() {
    return {"主线", LengthUnit::Metre, {Point(0, 100), Point(800, 108, ByRadius(6000)), Point(2000, 99)}, {}};
}
inline std::string RoadCsv() { return io::ProfileCsvBytes(Road()); }
inline std::string DenseGround(std::size_t n) {
    std::string text = "桩号,地面高程\n";
    text.reserve(n * 20);
    for (std::size_t i = 0; i < n; ++i) {
        const double s = 2000.0 * static_cast<double>(i) / static_cast<double>(n - 1);
        const double z = 112 + 2 * std::sin(s / 150) + 0.1 * static_cast<double>(i % 7);
        text += std::to_string(s) + "," + std::to_string(z) + "\n";
    }
    return text;
}
inline std::string Repeated(std::string_view piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

// Small LandXML files of alignments, each a level design at 100 from 0 to
// 200 named after its alignment ("A设计"), with ground surfaces at one height.
inline std::string Alignment(const std::string& name, const std::string& surfaces) {
    return "<Alignment name=\"" + name + "\"><Profile name=\"P\"><ProfAlign name=\"" + name +
           "设计\"><PVI>0 100</PVI><PVI>200 100</PVI></ProfAlign>" + surfaces + "</Profile></Alignment>";
}
inline std::string Surface(const std::string& name, const char* elevation) {
    return "<ProfSurf name=\"" + name + "\"><PntList2D>0 " + elevation + " 200 " + elevation + "</PntList2D></ProfSurf>";
}
inline std::string LandXml(const std::string& alignments) {
    return "<LandXML><Units><Metric linearUnit=\"meter\"/></Units><Alignments>" + alignments +
           "</Alignments></LandXML>";
}

}  // namespace hostile

inline std::vector<HostileCase> HostileCases() {
    using namespace hostile;
    const std::string csv = DesignCsv(), xml = DesignXml(), ground = GroundCsv();
    // What convert makes of the LandXML design as a CSV table.
    const std::string xmlAsCsv = io::ProfileCsvBytes(io::ParseLandXml(xml, {}, "d.xml").value());
    const std::string old = "旧的内容，不得改动\n";
    const std::string same = "是同一个文件";
    // The 2 km road, with a million ground points over it.
    const std::string road = RoadCsv();
    const HostileFile dense = Made("g.csv", [] { return DenseGround(1'000'000); });
    // A's ground is 90, B's 95: the first ProfSurf of the file is A's; dup holds two of one name.
    const HostileFile two =
        File("two.xml", LandXml(Alignment("A", Surface("原地面", "90")) + Alignment("B", Surface("原地面", "95"))));
    const HostileFile dup = File("dup.xml", LandXml(Alignment("A", Surface("原地面", "90") + Surface("原地面", "80"))));
    const HostileFile level = File("d.csv", "桩号,高程\n0,100\n200,100\n");
    const HostileFile far = File("far.csv", "桩号,高程\n999999999000,100\n999999999500,103\n");
    return {
        // ---- An output is never an input, nor another output ----------------------
        {"plot_output_is_the_design", {"profile", "plot", "{d}/d.xml", "--output", "{d}/d.xml"},
         {File("d.xml", xml)}, 2, {}, {"选项 --output 的文件“{d}/d.xml”与输入文件“{d}/d.xml”" + same}},
        {"plot_output_is_the_design_spelt_otherwise",
         {"profile", "plot", "{d}/d.svg", "--output", "{d}/sub/.././d.svg"}, {File("d.svg", csv), Folder("sub")}, 2,
         {}, {same}},
        {"plot_output_is_a_hard_link_of_the_design", {"profile", "plot", "{d}/d.csv", "--output", "{d}/e.svg"},
         {File("d.csv", csv), HardLink("e.svg", "d.csv")}, 2, {}, {same}},
        {"plot_output_is_a_link_to_the_design", {"profile", "plot", "{d}/d.csv", "--output", "{d}/l.svg"},
         {File("d.csv", csv), Link("l.svg", "d.csv")}, 2, {}, {same}},
        {"plot_output_is_the_ground",
         {"profile", "plot", "{d}/d.csv", "--ground", "{d}/g.svg", "--output", "{d}/g.svg"},
         {File("d.csv", csv), File("g.svg", ground)}, 2, {}, {"与选项 --ground 的文件"}},
        {"sheet_output_is_a_link_to_the_design", {"profile", "sheet", "{d}/d.csv", "--output", "{d}/l.dxf"},
         {File("d.csv", csv), Link("l.dxf", "{d}/d.csv")}, 2, {}, {same}},
        {"convert_output_is_the_input", {"profile", "convert", "{d}/d.xml", "--output", "{d}/d.xml", "--force"},
         {File("d.xml", xml)}, 2, {}, {"输出不能写在输入上"}},
        {"convert_ground_output_is_the_design",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.csv", "--ground-output", "{d}/d.xml"},
         {File("d.xml", xml)}, 2, {}, {"选项 --ground-output 的文件“{d}/d.xml”与输入文件"}},
        {"convert_ground_output_is_the_output",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.csv", "--ground-output", "{d}/./o.csv"},
         {File("d.xml", xml)}, 2, {}, {"两个输出不能写入同一文件"}},
        {"convert_outputs_are_hard_links_of_one_file",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/a.csv", "--ground-output", "{d}/b.csv"},
         {File("d.xml", xml), File("a.csv", old), HardLink("b.csv", "a.csv")}, 2, {}, {"两个输出不能写入同一文件"}},

        // ---- plot writes what its extension names ---------------------------------
        {"plot_over_a_table_named_csv", {"profile", "plot", "{d}/d.xml", "--output", "{d}/keep.csv"},
         {File("d.xml", xml), File("keep.csv", old)}, 2, {}, {".svg"}},
        {"plot_to_a_new_name_without_svg", {"profile", "plot", "{d}/d.xml", "--output", "{d}/new.xml"},
         {File("d.xml", xml)}, 2, {}, {".svg"}},
        {"plot_through_a_link_keeps_the_link", {"profile", "plot", "{d}/d.xml", "--output", "{d}/l.svg"},
         {File("d.xml", xml), Link("l.svg", "t.svg")}, 0,
         std::vector{File("d.xml", xml), Link("l.svg", "t.svg"), File("t.svg", kAnyBytes)}},

        // ---- convert writes both outputs or neither -------------------------------
        {"convert_with_a_surface_not_there_writes_nothing",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.csv", "--ground-output", "{d}/g.csv",
          "--ground-surface", "nope"},
         {File("d.xml", xml), File("o.csv", old), File("g.csv", old)}, 1, {}, {"nope"}},
        {"convert_ground_output_in_no_folder_writes_nothing",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.csv", "--ground-output", "{d}/none/g.csv"},
         {File("d.xml", xml), File("o.csv", old)}, 3, {}, {"{d}/none/g.csv"}},
        {"convert_ground_output_that_is_a_folder_writes_nothing",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.xml", "--ground-output", "{d}/g.csv"},
         {File("d.xml", xml), Folder("g.csv")}, 3, {}, {"这是一个文件夹"}},
        {"convert_ground_output_not_csv_writes_nothing",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.csv", "--ground-output", "{d}/g.txt"},
         {File("d.xml", xml), File("o.csv", old)}, 2, {}, {".csv"}},
        {"convert_ground_line_outside_the_design_writes_nothing",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.csv", "--ground-output", "{d}/g.csv"},
         {File("d.xml", DesignXmlWithGroundOutside()), File("o.csv", old)}, 1, {}, {"外延"}},
        {"convert_writes_both_through_links",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.csv", "--ground-output", "{d}/g.csv"},
         {File("d.xml", xml), File("t.csv", old), Link("o.csv", "t.csv")}, 0,
         std::vector{File("d.xml", xml), File("g.csv", kAnyBytes), Link("o.csv", "t.csv"), File("t.csv", xmlAsCsv)}},

        // ---- The single-curve outputs ----------------------------------------------
        {"report_over_a_folder_leaves_it",
         {"report", "--k0", "100", "--h0", "10", "--i1", "1", "--i2", "-1", "--r", "1000", "--from", "50", "--to",
          "150", "--step", "10", "--output", "{d}/r.txt"},
         {Folder("r.txt"), File("r.txt/keep", old)}, 3, {}, {"这是一个文件夹"}},

        // ---- Hostile input costs bounded memory, and messages quote it safely -------
        {"duplicated_rows_are_listed_up_to_a_hundred",
         {"profile", "at", "{d}/d.csv", "--k", "100", "--ground", "{d}/g.csv"},
         {File("d.csv", road), Made("g.csv", [] { return "桩号,地面高程\n" + Repeated("100,101\n", 300'000); })}, 1,
         {}, {"共 299999 处问题", "第3行（桩号 K0+100）与第2行的桩号相同", "另有 299899 处问题未列出。"}, {},
         {.errMost = 16'000, .peakMb = 200}},
        {"unreadable_cells_are_listed_up_to_a_hundred",
         {"profile", "at", "{d}/d.csv", "--k", "100", "--ground", "{d}/g.csv"},
         {File("d.csv", road), Made("g.csv", [] { return "桩号,地面高程\n" + Repeated("x,y\n", 200'000); })}, 1, {},
         {"共 400001 处问题", "另有 399901 处问题未列出。"}, {}, {.errMost = 16'000, .peakMb = 200}},
        {"a_row_of_ten_million_empty_cells_is_refused",
         {"profile", "at", "{d}/d.csv", "--k", "100", "--ground", "{d}/g.csv"},
         {File("d.csv", road),
          Made("g.csv", [] { return "桩号,地面高程\n100,101\n" + std::string(10'000'000, ',') + "\n"; })},
         1, {}, {"第3行超过1024列，不是地面线表。"}, {}, {.peakMb = 200}},
        {"a_ground_cell_is_quoted_to_forty_bytes_on_whole_characters",
         {"profile", "at", "{d}/d.csv", "--k", "100", "--ground", "{d}/g.csv"},
         {File("d.csv", road), File("g.csv", "桩号,地面高程\n100," + Repeated("高程", 30) + "\n200,101\n")}, 1, {},
         {"的地面高程“" + Repeated("高程", 6) + "高…”不是数。"}},
        {"escapes_in_a_ground_cell_are_shown_not_sent",
         {"profile", "at", "{d}/d.csv", "--k", "100", "--ground", "{d}/g.csv"},
         {File("d.csv", road), File("g.csv", "桩号,地面高程\n100,\x1b]0;owned\x07\x1b[2J\n200,101\n")}, 1, {},
         {"“\\x1b]0;owned\\x07\\x1b[2J”不是数。"}},
        {"escapes_and_nul_in_a_k_file_line_are_shown_and_the_message_goes_on",
         {"profile", "at", "{d}/d.csv", "--k-file", "{d}/k.txt"},
         {File("d.csv", road), File("k.txt", std::string("100\nK0+1\x1b[2J\0x\n", 15))}, 2, {},
         {"第2行有误：桩号“K0+1\\x1b[2J\\x00x”无法识别："}},
        {"an_unknown_option_is_quoted_escaped", {"profile", "at", "{d}/d.csv", "--\x1b[2J" + std::string(100, 'a')},
         {File("d.csv", road)}, 2, {}, {"未知的选项 --\\x1b[2J" + std::string(33, 'a') + "…"}},
        {"a_long_ground_line_name_is_cut_in_the_message",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/out.csv"},
         {Made("d.xml",
               [] {
                   GroundModel ground;
                   ground.name = Repeated("原地面", 20'000);
                   ground.stations = GroundStations::Internal;
                   ground.points = {{Station{100, 0}, 101, 0}, {Station{100, 0}, 102, 0}};
                   return io::LandXmlBytes(Road(), {}, {ground});
               })},
         1, {}, {"中的地面线“原地面原地面原地面原地面原…”未通过检查"}},
        {"a_sheet_of_a_million_ground_points_is_thinned_to_the_paper",
         {"profile", "sheet", "{d}/d.csv", "--ground", "{d}/g.csv", "--output", "{d}/sheet.dxf"},
         {File("d.csv", road), dense}, 0, std::vector{File("d.csv", road), dense, File("sheet.dxf", kAnyBytes)}, {},
         {}, {.in = "sheet.dxf", .inMost = 6'000'000, .errMost = 0, .peakMb = 300}},
        {"a_pdf_sheet_prints_nothing_of_qt", {"profile", "sheet", "{d}/d.csv", "--output", "{d}/sheet.pdf"},
         {File("d.csv", road)}, 0, std::vector{File("d.csv", road), File("sheet.pdf", kAnyBytes)}, {}, {},
         {.errMost = 0}},
        {"characters_outside_gbk_are_named_once",
         {"profile", "sheet", "{d}/d.csv", "--output", "{d}/sheet.dxf", "--project", "桥한路한", "--drawing-number", "😀"},
         {File("d.csv", road)}, 0, std::vector{File("d.csv", road), File("sheet.dxf", kAnyBytes)},
         {"tarnvel-cli: 注意：DXF 文件的 GBK 编码中没有字符“한”、“😀”，图中已写作“?”。\n"}, {}, {.errMost = 200}},

        // ---- Numbers belong to the profile asked for, or are refused ---------------
        {"at_gives_the_chosen_profiles_own_ground",
         {"profile", "at", "{d}/two.xml", "--profile", "B设计", "--k", "100", "--ground", "{d}/two.xml"}, {two}, 0, {},
         {"100.000\t95.000\t5.000"}, {"90.000"}, {.in = kStdout}},
        {"list_gives_the_chosen_profiles_own_ground",
         {"profile", "list", "{d}/two.xml", "--profile", "B/B设计", "--from", "0", "--to", "200", "--step", "100",
          "--ground", "{d}/two.xml", "--format", "csv"},
         {two}, 0, {}, {",95.000,"}, {"90.000"}, {.in = kStdout}},
        {"convert_writes_the_chosen_profiles_own_ground",
         {"profile", "convert", "{d}/two.xml", "--profile", "B设计", "--output", "{d}/b.csv", "--ground-output",
          "{d}/bg.csv"},
         {two}, 0, std::vector{two, File("b.csv", kAnyBytes), File("bg.csv", kAnyBytes)}, {"0,95\r\n200,95\r\n"},
         {"90"}, {.in = "bg.csv"}},
        {"sheet_draws_the_chosen_profiles_own_ground",
         {"profile", "sheet", "{d}/two.xml", "--profile", "B设计", "--ground", "{d}/two.xml", "--output", "{d}/b.svg"},
         {two}, 0, std::vector{two, File("b.svg", kAnyBytes)}, {">95.000<"}, {">90.000<"}, {.in = "b.svg"}},
        {"a_bare_surface_name_prefers_the_chosen_profiles_own",
         {"profile", "at", "{d}/two.xml", "--profile", "B设计", "--k", "100", "--ground", "{d}/two.xml",
          "--ground-surface", "原地面"},
         {two}, 0, {}, {"\t95.000\t"}, {}, {.in = kStdout}},
        {"a_profile_without_ground_is_not_given_another_alignments",
         {"profile", "at", "{d}/nog.xml", "--profile", "C设计", "--k", "100", "--ground", "{d}/nog.xml"},
         {File("nog.xml", LandXml(Alignment("A", Surface("原地面", "90")) + Alignment("C", "")))}, 1, {},
         {"没有地面线", "“A/原地面”"}},
        {"two_surfaces_of_one_full_name_are_refused_as_ambiguous",
         {"profile", "at", "{d}/dup.xml", "--k", "100", "--ground", "{d}/dup.xml", "--ground-surface", "A/原地面"},
         {dup}, 1, {}, {"无法区分"}},
        {"a_bare_name_two_surfaces_share_with_their_alignment_gives_no_advice_that_picks_one",
         {"profile", "at", "{d}/dup.xml", "--k", "100", "--ground", "{d}/dup.xml", "--ground-surface", "原地面"},
         {dup}, 1, {}, {"无法区分"}, {"请写成"}},
        {"ground_surface_with_a_csv_ground_is_refused",
         {"profile", "at", "{d}/d.csv", "--k", "100", "--ground", "{d}/g.csv", "--ground-surface", "原地面"},
         {level, File("g.csv", "桩号,地面高程\n0,95\n200,95\n")}, 2, {}, {"--ground-surface", "CSV"}},
        {"a_ground_table_in_millimetres_is_read_as_metres",
         {"profile", "at", "{d}/d.csv", "--k", "100", "--ground", "{d}/g.csv"},
         {level, File("g.csv", "桩号[mm],地面高程[mm]\n0,95000\n200000,95000\n")}, 0, {}, {"100.000\t95.000\t5.000"},
         {}, {.in = kStdout}},
        {"a_ground_table_whose_columns_disagree_is_refused_naming_them",
         {"profile", "at", "{d}/d.csv", "--k", "100", "--ground", "{d}/g.csv"},
         {level, File("g.csv", "桩号[m],地面高程[mm]\n0,95000\n200,95000\n")}, 1, {},
         {"“桩号[m]”列", "“地面高程[mm]”列"}},
        {"a_sheet_range_error_keeps_the_occurrence_of_its_stations",
         {"profile", "sheet", "{d}/c.csv", "--from", "540(2)", "--to", "530(2)", "--output", "{d}/c.svg"},
         {File("c.csv", "桩号,高程,曲线长\n0,100,\n300,103,100\n550(2),101,\n\n断链前桩号,断链后桩号\n600,500\n")}, 1, {},
         {"K0+530(2)", "K0+540(2)"}},
        {"a_sheet_of_stations_near_ten_to_the_twelve_is_refused",
         {"profile", "sheet", "{d}/far.csv", "--output", "{d}/f.svg"}, {far}, 1, {}, {"过大"}},
        {"a_listing_near_ten_to_the_twelve_keeps_every_row",
         {"profile", "list", "{d}/far.csv", "--from", "999999999000", "--to", "999999999500", "--step", "100"}, {far},
         0, {}, {"999999999100.000\t", "999999999400.000\t", "999999999500.000\t"}, {}, {.in = kStdout}},
        {"a_very_long_profile_is_told_the_sheets_it_would_take",
         {"profile", "sheet", "{d}/long.csv", "--output", "{d}/l.svg"},
         {File("long.csv", "桩号,高程\n0,100\n100000000,103\n")}, 1, {}, {"张图纸"}, {"桩号间距"}},
    };
}

}  // namespace tarnvel::test
