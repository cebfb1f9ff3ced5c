#pragma once
// Command lines as hostile input and careless users write them, one table for
// every command of tarnvel-cli: the files in a scratch folder before, the
// command, the exit status, and the whole folder after, byte for byte (so a
// temporary left behind, a link made a file or a file written that should
// not have been all fail the row). hostile_cli_test.cpp runs every row
// against the real binary.
//
// To add a row, append a HostileCase to the vector in HostileCases():
//   - name: unique, a sentence in snake_case ("plot_output_is_the_design");
//   - args: what follows "tarnvel-cli"; "{d}" stands for the scratch folder
//     (write "{d}/./x.csv" or "{d}/sub/../x.csv" for other spellings);
//   - before: the folder's entries, made in order: File (bytes), Folder,
//     Link (a symbolic link; bytes is its target, "{d}" allowed) or HardLink
//     (bytes names an entry listed before it, whose name sorts before it);
//   - status: the exit status expected;
//   - after: the folder's every entry afterwards, or nothing for "exactly
//     as before"; kAnyBytes as a file's bytes accepts any content;
//   - err: a piece the standard error must contain (empty: not checked).
// The design and ground files below are there to be reused.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "io/ground_files.h"
#include "io/profile_files.h"
#include "tests/ground_cases.h"

namespace tarnvel::test {

struct HostileFile {
    enum Kind { File, Folder, Link, HardLink };
    std::string name;  // relative to the scratch folder; "sub/x" inside a Folder listed before
    Kind kind = File;
    std::string bytes;  // File: its content; Link: its target; HardLink: the entry it shares
};

inline const std::string kAnyBytes = "\x01<any bytes>";

struct HostileCase {
    std::string name;
    std::vector<std::string> args;
    std::vector<HostileFile> before;
    int status = 0;
    std::optional<std::vector<HostileFile>> after;  // nothing: unchanged
    std::string err;
};

inline void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

namespace hostile {

inline HostileFile File(std::string name, std::string bytes) { return {std::move(name), HostileFile::File, std::move(bytes)}; }
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

}  // namespace hostile

inline std::vector<HostileCase> HostileCases() {
    using namespace hostile;
    const std::string csv = DesignCsv(), xml = DesignXml(), ground = GroundCsv();
    // What convert makes of the LandXML design as a CSV table.
    const std::string xmlAsCsv = io::ProfileCsvBytes(io::ParseLandXml(xml, {}, "d.xml").value());
    const std::string old = "旧的内容，不得改动\n";
    const std::string same = "是同一个文件";
    return {
        // ---- An output is never an input, nor another output ----------------------
        {"plot_output_is_the_design", {"profile", "plot", "{d}/d.xml", "--output", "{d}/d.xml"},
         {File("d.xml", xml)}, 2, {}, "选项 --output 的文件“{d}/d.xml”与输入文件“{d}/d.xml”" + same},
        {"plot_output_is_the_design_spelt_otherwise",
         {"profile", "plot", "{d}/d.svg", "--output", "{d}/sub/.././d.svg"}, {File("d.svg", csv), Folder("sub")}, 2,
         {}, same},
        {"plot_output_is_a_hard_link_of_the_design", {"profile", "plot", "{d}/d.csv", "--output", "{d}/e.svg"},
         {File("d.csv", csv), HardLink("e.svg", "d.csv")}, 2, {}, same},
        {"plot_output_is_a_link_to_the_design", {"profile", "plot", "{d}/d.csv", "--output", "{d}/l.svg"},
         {File("d.csv", csv), Link("l.svg", "d.csv")}, 2, {}, same},
        {"plot_output_is_the_ground",
         {"profile", "plot", "{d}/d.csv", "--ground", "{d}/g.svg", "--output", "{d}/g.svg"},
         {File("d.csv", csv), File("g.svg", ground)}, 2, {}, "与选项 --ground 的文件"},
        {"sheet_output_is_a_link_to_the_design", {"profile", "sheet", "{d}/d.csv", "--output", "{d}/l.dxf"},
         {File("d.csv", csv), Link("l.dxf", "{d}/d.csv")}, 2, {}, same},
        {"convert_output_is_the_input", {"profile", "convert", "{d}/d.xml", "--output", "{d}/d.xml", "--force"},
         {File("d.xml", xml)}, 2, {}, "输出不能写在输入上"},
        {"convert_ground_output_is_the_design",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.csv", "--ground-output", "{d}/d.xml"},
         {File("d.xml", xml)}, 2, {}, "选项 --ground-output 的文件“{d}/d.xml”与输入文件"},
        {"convert_ground_output_is_the_output",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.csv", "--ground-output", "{d}/./o.csv"},
         {File("d.xml", xml)}, 2, {}, "两个输出不能写入同一文件"},
        {"convert_outputs_are_hard_links_of_one_file",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/a.csv", "--ground-output", "{d}/b.csv"},
         {File("d.xml", xml), File("a.csv", old), HardLink("b.csv", "a.csv")}, 2, {}, "两个输出不能写入同一文件"},

        // ---- plot writes what its extension names ---------------------------------
        {"plot_over_a_table_named_csv", {"profile", "plot", "{d}/d.xml", "--output", "{d}/keep.csv"},
         {File("d.xml", xml), File("keep.csv", old)}, 2, {}, ".svg"},
        {"plot_to_a_new_name_without_svg", {"profile", "plot", "{d}/d.xml", "--output", "{d}/new.xml"},
         {File("d.xml", xml)}, 2, {}, ".svg"},
        {"plot_through_a_link_keeps_the_link", {"profile", "plot", "{d}/d.xml", "--output", "{d}/l.svg"},
         {File("d.xml", xml), Link("l.svg", "t.svg")}, 0,
         std::vector{File("d.xml", xml), Link("l.svg", "t.svg"), File("t.svg", kAnyBytes)}, ""},

        // ---- convert writes both outputs or neither -------------------------------
        {"convert_with_a_surface_not_there_writes_nothing",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.csv", "--ground-output", "{d}/g.csv",
          "--ground-surface", "nope"},
         {File("d.xml", xml), File("o.csv", old), File("g.csv", old)}, 1, {}, "nope"},
        {"convert_ground_output_in_no_folder_writes_nothing",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.csv", "--ground-output", "{d}/none/g.csv"},
         {File("d.xml", xml), File("o.csv", old)}, 3, {}, "{d}/none/g.csv"},
        {"convert_ground_output_that_is_a_folder_writes_nothing",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.xml", "--ground-output", "{d}/g.csv"},
         {File("d.xml", xml), Folder("g.csv")}, 3, {}, "这是一个文件夹"},
        {"convert_ground_output_not_csv_writes_nothing",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.csv", "--ground-output", "{d}/g.txt"},
         {File("d.xml", xml), File("o.csv", old)}, 2, {}, ".csv"},
        {"convert_ground_line_outside_the_design_writes_nothing",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.csv", "--ground-output", "{d}/g.csv"},
         {File("d.xml", DesignXmlWithGroundOutside()), File("o.csv", old)}, 1, {}, "外延"},
        {"convert_writes_both_through_links",
         {"profile", "convert", "{d}/d.xml", "--output", "{d}/o.csv", "--ground-output", "{d}/g.csv"},
         {File("d.xml", xml), File("t.csv", old), Link("o.csv", "t.csv")}, 0,
         std::vector{File("d.xml", xml), File("g.csv", kAnyBytes), Link("o.csv", "t.csv"), File("t.csv", xmlAsCsv)}, ""},

        // ---- The single-curve outputs ----------------------------------------------
        {"report_over_a_folder_leaves_it",
         {"report", "--k0", "100", "--h0", "10", "--i1", "1", "--i2", "-1", "--r", "1000", "--from", "50", "--to",
          "150", "--step", "10", "--output", "{d}/r.txt"},
         {Folder("r.txt"), File("r.txt/keep", old)}, 3, {}, "这是一个文件夹"},
    };
}

}  // namespace tarnvel::test
