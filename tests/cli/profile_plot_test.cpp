// tarnvel-cli profile plot: real profile files drawn as SVG, and every way
// the command can be misused refused before anything is written.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "cli/commands.h"
#include "core/drawing/profile_drawing.h"
#include "io/profile_files.h"

namespace tarnvel::cli {
namespace {

namespace fs = std::filesystem;

const std::string kData = TARNVEL_IO_TEST_DATA;

class ProfilePlotCommand : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("tarnvel_plot_" + std::to_string(::getpid()));
        fs::create_directories(folder);
        output = (folder / "plot.svg").string();
    }
    void TearDown() override { fs::remove_all(folder); }

    // Through the profile sub-command table, as tarnvel-cli runs it.
    int Run(Args args) {
        out.str({});
        err.str({});
        args.insert(args.begin(), "plot");
        return RunProfile(args, out, err);
    }
    fs::path folder;
    std::string output;
    std::ostringstream out, err;
};

TEST_F(ProfilePlotCommand, draws_real_files_with_one_marker_per_pvi_and_the_chain_break) {
    struct Row {
        const char* file;
        std::vector<std::string> extra;
        std::size_t breaks;
        double width = 1600;
    };
    // Two of the rail profile's PVIs lie 0.26 m apart: a mark covering
    // another is left out, so its page is wide enough to keep both.
    for (const Row& row : {Row{"inframodel_m3_road.xml", {}, 0},
                           Row{"buildingsmart_stn02_chain.xml", {"--exaggeration", "20", "--width", "1200",
                                                                 "--height", "600"}, 1, 1200},
                           Row{"buildingsmart_al01_overlap.xml", {"--width", "4000"}, 0, 4000}}) {
        const std::string input = kData + "/" + row.file;
        Args args{input, "--output", output};
        args.insert(args.end(), row.extra.begin(), row.extra.end());
        ASSERT_EQ(Run(args), kExitOk) << row.file << ": " << err.str();
        const auto model = io::ReadProfileFile(input);
        ASSERT_TRUE(model.ok());
        const auto profile = Profile::Resolve(model.value());
        ASSERT_TRUE(profile);

        pugi::xml_document svg;
        ASSERT_TRUE(svg.load_file(output.c_str())) << row.file;
        // A PVI's mark is an octagon among the curve marks; a chain break a dashed line across the frame.
        std::size_t pviMarks = 0;
        for (const auto& node : svg.select_nodes("//polygon[@class='curve']")) {
            const std::string points = node.node().attribute("points").value();
            pviMarks += std::count(points.begin(), points.end(), ',') == 8;
        }
        EXPECT_EQ(pviMarks, profile->Elements().size()) << row.file;
        EXPECT_EQ(svg.select_nodes("//polyline[@class='chain']").size(), row.breaks) << row.file;
        EXPECT_EQ(svg.child("svg").attribute("width").as_double(), row.width) << row.file;
    }
}

TEST_F(ProfilePlotCommand, refuses_bad_use_and_leaves_no_file) {
    const std::string road = kData + "/inframodel_m3_road.xml";
    struct Row {
        const char* name;
        Args args;
        int status;
        const char* says;  // part of the message
    };
    const std::vector<Row> rows = {
        {"no_profile", {"--output", output}, kExitUsage, "缺少纵断面文件"},
        {"unknown_option", {road, "--output", output, "--scale", "2"}, kExitUsage, "--scale"},
        {"no_output", {road}, kExitUsage, "--output"},
        {"two_profiles", {road, road, "--output", output}, kExitUsage, "多余的参数"},
        {"exaggeration_zero", {road, "--output", output, "--exaggeration", "0"}, kExitUsage, "--exaggeration"},
        {"exaggeration_text", {road, "--output", output, "--exaggeration", "十"}, kExitUsage, "--exaggeration"},
        {"width_fraction", {road, "--output", output, "--width", "800.5"}, kExitUsage, "--width"},
        {"height_huge", {road, "--output", output, "--height", "1e9"}, kExitUsage, "--height"},
        {"missing_file", {(folder / "none.xml").string(), "--output", output}, kExitFile, "none.xml"},
        {"unknown_profile_name", {road, "--output", output, "--profile", "没有这条"}, kExitProfile, "没有这条"},
        {"output_folder_missing", {road, "--output", (folder / "no/plot.svg").string()}, kExitFile, "plot.svg"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Run(row.args), row.status) << row.name << ": " << err.str();
        EXPECT_NE(err.str().find(row.says), std::string::npos) << row.name << ": " << err.str();
        EXPECT_FALSE(fs::exists(output)) << row.name;
    }
}

TEST_F(ProfilePlotCommand, an_invalid_profile_names_its_problem) {
    const std::string csv = (folder / "bad.csv").string();
    // Two curves that overlap: the file reads, the profile does not resolve.
    ProfileModel model{"坏", LengthUnit::Metre,
                       {{{0, 0}, 100, {}},
                        {{100, 0}, 102, {CurveKind::ParabolaLength, 0, 150, 0, 0}},
                        {{200, 0}, 100, {CurveKind::ParabolaLength, 0, 150, 0, 0}},
                        {{300, 0}, 102, {}}},
                       {}};
    ASSERT_FALSE(io::WriteProfileFile(csv, model, io::ProfileFormat::Csv));
    EXPECT_EQ(Run({csv, "--output", output}), kExitProfile);
    EXPECT_NE(err.str().find("第"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(output));
}

}  // namespace
}  // namespace tarnvel::cli
