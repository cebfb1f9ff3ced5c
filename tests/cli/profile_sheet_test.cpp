// tarnvel-cli profile sheet end to end: a 3 km road exported as PDF and DXF
// and read back as its reader would — the PDF's pages with poppler's
// pdftotext, the DXF with dxflib — against the command's own listing.

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <gtest/gtest.h>

#include "core/drawing/sheet.h"
#include "io/gbk.h"
#include "output/page_dxf.h"
#include "io/profile_files.h"
#include "tests/cli/run_cli.h"
#include "tests/profile_builders.h"
#include "tests/sheet_reading.h"

namespace tarnvel {
namespace {

namespace fs = std::filesystem;
using test::ByLength;
using test::ByRadius;
using test::Point;

// Curve ends on whole 20 m stations or well clear of them, so that no
// station of the band is left out for a neighbour's text.
ProfileModel Road() {
    return {"主线", LengthUnit::Metre,
            {Point(0, 100), Point(800, 108, ByRadius(6000)), Point(1700, 96, ByLength(200)),
             Point(2400, 104, ByLength(100)), Point(3000, 99)},
            {}};
}

// A surveyed ground about the road's tangents, ±2 m, every 50 m: it crosses
// the design line, so the sheets have both fill and cut and 填挖交界 columns.
std::pair<std::vector<double>, std::vector<double>> Ground() {
    const double pvi[][2] = {{0, 100}, {800, 108}, {1700, 96}, {2400, 104}, {3000, 99}};
    std::vector<double> stations, elevations;
    for (int k = 0; k <= 60; ++k) {
        const double s = 50.0 * k;
        std::size_t i = 0;
        while (i + 2 < std::size(pvi) && s > pvi[i + 1][0]) ++i;
        const double tangent = pvi[i][1] + (s - pvi[i][0]) / (pvi[i + 1][0] - pvi[i][0]) * (pvi[i + 1][1] - pvi[i][1]);
        stations.push_back(s);
        elevations.push_back(std::round((tangent + 2 * std::sin(s / 150)) * 1000) / 1000);
    }
    return {stations, elevations};
}

struct SheetRun {
    const char* name;
    const char* extension;
    const char* paper;
    int horizontal, vertical;
    std::size_t pages;
    bool ground = false;
};

void PrintTo(const SheetRun& r, std::ostream* os) { *os << r.name; }

class ProfileSheetCli : public testing::TestWithParam<SheetRun> {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("tarnvel_sheet_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        profile_ = (folder_ / "road.csv").string();
        std::ofstream(profile_, std::ios::binary) << io::ProfileCsvBytes(Road());
        ground_ = (folder_ / "ground.csv").string();
        std::ofstream table(ground_, std::ios::binary);
        table << "桩号,地面高程\n";
        const auto [stations, elevations] = Ground();
        for (std::size_t i = 0; i < stations.size(); ++i) {
            char z[32];
            const auto end = std::to_chars(z, z + sizeof z, elevations[i], std::chars_format::fixed, 3).ptr;
            table << stations[i] << ',' << std::string(z, end) << '\n';
        }
    }
    void TearDown() override { fs::remove_all(folder_); }

    // station label → band row → value, as `profile list` gives them every
    // 20 m: 设计高程, and with the ground 地面高程 and 填高 or 挖深 (the band
    // leaves the zero one of the two empty).
    std::map<std::string, std::map<std::string, std::string>> Listing(bool ground) {
        std::vector<std::string> args = {"profile", "list", profile_, "--from", "0", "--to", "3000",
                                         "--step", "20", "--format", "csv"};
        if (ground) args.insert(args.end(), {"--ground", ground_});
        const auto run = test::RunCli(TARNVEL_CLI, args);
        EXPECT_EQ(run.status, 0) << run.err;
        std::map<std::string, std::map<std::string, std::string>> rows;
        std::istringstream lines(run.out);
        std::string line;
        std::getline(lines, line);  // header: station,elevation,grade[,ground,fill,cut],note
        while (std::getline(lines, line)) {
            std::vector<std::string> cells;
            std::istringstream split(line);
            for (std::string cell; std::getline(split, cell, ',');) cells.push_back(cell);
            auto& row = rows[SheetStation({std::stod(cells.at(0)), 0})];
            row["设计高程"] = cells.at(1);
            if (!ground) continue;
            row["地面高程"] = cells.at(3);
            if (cells.at(4) != "0.000") row["填高"] = cells.at(4);
            if (cells.at(5) != "0.000") row["挖深"] = cells.at(5);
        }
        return rows;
    }

    fs::path folder_;
    std::string profile_, ground_;
};

std::optional<std::string> PdfPageText(const std::string& pdf, std::size_t page) {
    const std::string command = "pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" + pdf + "' - 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string text;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
    if (::pclose(pipe) != 0) return std::nullopt;
    return text;
}

struct DxfTexts : DL_CreationAdapter {
    std::vector<test::TextAt> texts;
    std::vector<std::vector<PagePoint>> design;
    void addPolyline(const DL_PolylineData&) override {
        if (io::GbkToUtf8(getAttributes().getLayer()) == "设计线") design.emplace_back();
        inDesign_ = io::GbkToUtf8(getAttributes().getLayer()) == "设计线";
    }
    void addVertex(const DL_VertexData& v) override {
        if (inDesign_) design.back().push_back({v.x, v.y});
    }
    void addText(const DL_TextData& t) override {
        const bool aligned = t.hJustification != 0 || t.vJustification != 0;
        texts.push_back({io::GbkToUtf8(t.text), aligned ? t.apx : t.ipx, aligned ? t.apy : t.ipy,
                         t.angle * 180 / std::acos(-1.0)});
    }

private:
    bool inDesign_ = false;
};

TEST_P(ProfileSheetCli, every_sheet_carries_bands_title_and_the_listings_values) {
    const SheetRun& r = GetParam();
    const std::string output = (folder_ / (std::string("sheet.") + r.extension)).string();
    std::vector<std::string> args = {"profile", "sheet", profile_, "--output", output, "--paper", r.paper,
                                     "--horizontal-scale", std::to_string(r.horizontal),
                                     "--vertical-scale", std::to_string(r.vertical), "--project", "示例公路",
                                     "--drawing-number", "S-7"};
    if (r.ground) args.insert(args.end(), {"--ground", ground_});
    const auto run = test::RunCli(TARNVEL_CLI, args);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto listing = Listing(r.ground);
    ASSERT_EQ(listing.size(), 151u);
    const std::string pages = std::to_string(r.pages);
    const Profile profile = test::Resolved(Road());
    std::shared_ptr<const DrawnGround> ground;
    if (r.ground) ground = test::TestGround(profile, Ground().first, Ground().second);
    // A 填挖交界 names its own column; a 20 m station a few metres from it
    // gives way when their texts would touch.
    auto givesWay = [&](const std::string& station) {
        if (!ground) return false;
        const double s = profile.InternalOf(*ParseStation(station));
        return std::any_of(ground->zeroPoints.begin(), ground->zeroPoints.end(),
                           [&](double z) { return std::abs(z - s) < 0.004 * r.horizontal; });
    };

    if (std::string(r.extension) == "pdf") {
        std::string all;
        for (std::size_t p = 1; p <= r.pages; ++p) {
            const auto text = PdfPageText(output, p);
            if (!text) GTEST_SKIP() << "pdftotext (poppler-utils) is not available";
            std::vector<std::string> wants = {"设计高程", "里程桩号", "坡度", "纵断面图", "示例公路", "S-7",
                                              "第 " + std::to_string(p) + " 页 共 " + pages + " 页"};
            if (r.ground) wants.insert(wants.end(), {"地面高程", "填高", "挖深"});
            for (const auto& want : wants)
                EXPECT_NE(text->find(want), std::string::npos) << "page " << p << " lacks " << want;
            all += *text;
        }
        EXPECT_FALSE(PdfPageText(output, r.pages + 1)) << "more pages than the scale needs";
        for (const auto& [station, cells] : listing) {
            if (all.find(station) == std::string::npos && givesWay(station)) continue;
            EXPECT_NE(all.find(station), std::string::npos) << station;
            for (const auto& [row, value] : cells)
                EXPECT_NE(all.find(value), std::string::npos) << station << " " << row << " " << value;
        }
        return;
    }

    // The DXF: its pages side by side, scaled back through the same sheets.
    SheetOptions options;
    options.paper = std::string(r.paper) == "A4" ? SheetPaper::A4 : SheetPaper::A3;
    options.horizontalScale = r.horizontal;
    options.verticalScale = r.vertical;
    const SheetSet set = BuildSheets(profile, options, ground.get());
    ASSERT_EQ(set.pages.size(), r.pages);
    std::ifstream in(output, std::ios::binary);
    DxfTexts dxf;
    ASSERT_TRUE(DL_Dxf().in(in, &dxf));
    const double pitch = set.pages.front().width + output::kDxfPageGap, height = set.pages.front().height;
    std::vector<std::vector<test::TextAt>> perPage(r.pages);
    for (const auto& t : dxf.texts) {
        const auto i = static_cast<std::size_t>(std::floor(t.x / pitch));
        ASSERT_LT(i, r.pages);
        perPage[i].push_back({t.text, t.x - i * pitch, height - t.y, t.angle});
    }
    std::map<std::string, std::map<std::string, std::string>> band;
    for (std::size_t i = 0; i < r.pages; ++i) {
        const std::vector<std::string> wants = {"第 " + std::to_string(i + 1) + " 页 共 " + pages + " 页", "S-7"};
        for (const auto& want : wants)
            EXPECT_TRUE(std::any_of(perPage[i].begin(), perPage[i].end(), [&](const auto& t) { return t.text == want; }))
                << "sheet " << i + 1 << " lacks " << want;
        for (auto [station, cells] : test::ReadBands(perPage[i])) {
            cells.erase("x");
            cells.erase("里程桩号");
            band[station] = cells;
        }
    }
    std::map<long, double> drawn;  // mm of road → elevation
    for (const auto& line : dxf.design)
        for (const auto& p : line) {
            const auto i = static_cast<std::size_t>(std::floor(p.x / pitch));
            for (const auto& [s, z] : test::ScaleBack(set.frames.at(i), p.x - i * pitch, height - p.y))
                drawn[std::lround(s * 1000)] = z;
        }
    for (const auto& [station, cells] : listing) {
        if (!band.count(station) && givesWay(station)) continue;
        EXPECT_EQ(band[station], cells) << station;
        const double s = profile.InternalOf(*ParseStation(station));
        const auto at = drawn.find(std::lround(s * 1000));
        ASSERT_NE(at, drawn.end()) << station;
        EXPECT_NEAR(at->second, std::stod(cells.at("设计高程")), 0.0005 + 1e-9) << station;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, ProfileSheetCli,
    testing::Values(SheetRun{"pdf_a3_2000", "pdf", "A3", 2000, 200, 5}, SheetRun{"dxf_a3_2000", "dxf", "A3", 2000, 200, 5},
                    SheetRun{"pdf_a4_1000", "pdf", "A4", 1000, 100, 13}, SheetRun{"dxf_a4_1000", "dxf", "A4", 1000, 200, 13},
                    SheetRun{"pdf_a3_2000_ground", "pdf", "A3", 2000, 200, 5, true},
                    SheetRun{"dxf_a3_2000_ground", "dxf", "A3", 2000, 200, 5, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileSheetCliRefusal, unusable_options_leave_no_file) {
    const fs::path folder = fs::temp_directory_path() / ("tarnvel_sheet_refused_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string profile = (folder / "road.csv").string(), output = (folder / "out.pdf").string();
    std::ofstream(profile, std::ios::binary) << io::ProfileCsvBytes(Road());
    const std::vector<std::vector<std::string>> cases = {
        {"--horizontal-scale", "1500"}, {"--vertical-scale", "10"}, {"--paper", "A2"},
        {"--from", "K2+000", "--to", "K1+000"}, {"--to", "K9+000"}};
    for (const auto& extra : cases) {
        std::vector<std::string> args = {"profile", "sheet", profile, "--output", output};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto run = test::RunCli(TARNVEL_CLI, args);
        EXPECT_NE(run.status, 0) << extra.front();
        EXPECT_FALSE(run.err.empty()) << extra.front();
        EXPECT_FALSE(fs::exists(output)) << extra.front();
    }
    fs::remove_all(folder);
}

// An SVG holds the first sheet; the command says once, on stderr, how many
// it left out, and still succeeds.
TEST(ProfileSheetCliSvg, the_first_sheet_is_written_and_the_rest_are_counted_once) {
    const fs::path folder = fs::temp_directory_path() / ("tarnvel_sheet_svg_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string profile = (folder / "road.csv").string(), output = (folder / "first.SVG").string();
    std::ofstream(profile, std::ios::binary) << io::ProfileCsvBytes(Road());
    SheetOptions options;
    options.horizontalScale = 500;
    options.verticalScale = 100;
    const std::size_t sheets = BuildSheets(test::Resolved(Road()), options).pages.size();
    ASSERT_GT(sheets, 2u);
    const auto run = test::RunCli(TARNVEL_CLI, {"profile", "sheet", profile, "--output", output, "--horizontal-scale",
                                                "500", "--vertical-scale", "100"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string note = "其余 " + std::to_string(sheets - 1) + " 张未写入";
    EXPECT_NE(run.err.find(note), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(note), run.err.rfind(note)) << run.err;
    std::ifstream in(output, std::ios::binary);
    const std::string svg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(svg.find("第 1 页 共 " + std::to_string(sheets) + " 页"), std::string::npos);
    fs::remove_all(folder);
}

// A LandXML alignment with curves and spirals gets its 直线及平曲线 band, and
// --elements-table its table after the sheets; geometry that cannot be drawn
// is named on stderr and the sheets are written without the band.
TEST(ProfileSheetCliHorizontal, the_band_comes_from_the_file_and_bad_geometry_is_named) {
    const fs::path folder = fs::temp_directory_path() / ("tarnvel_sheet_band_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string fixture = std::string(TARNVEL_IO_TEST_DATA) + "/buildingsmart_stn02_chain.xml";
    std::ifstream in(fixture, std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string bad = good;
    const std::size_t rot = bad.find("rot=\"cw\" radius=\"999");
    ASSERT_NE(rot, std::string::npos);
    bad.replace(rot, 8, "rot=\"up\"");
    const struct {
        const char* name;
        const std::string& bytes;
        bool band;
        const char* warning;
    } cases[] = {{"good", good, true, nullptr},
                 {"bad", bad, false, "平面线形第7个元素（Curve）的转向“up”不可用"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string profile = (folder / (std::string(c.name) + ".xml")).string();
        std::ofstream(profile, std::ios::binary) << c.bytes;
        const std::string pdf = (folder / "out.pdf").string();
        const auto plain = test::RunCli(TARNVEL_CLI, {"profile", "sheet", profile, "--output", pdf});
        ASSERT_EQ(plain.status, 0) << plain.err;
        EXPECT_EQ(plain.err.find(c.warning ? c.warning : "平面线形") != std::string::npos, c.warning != nullptr)
            << plain.err;
        std::size_t sheets = 0;
        while (const auto text = PdfPageText(pdf, sheets + 1)) {
            ++sheets;
            EXPECT_EQ(text->find("直线及平曲线") != std::string::npos, c.band) << "page " << sheets;
        }
        ASSERT_GT(sheets, 1u);
        EXPECT_EQ(PdfPageText(pdf, 1)->find("R=1000") != std::string::npos, c.band);
        const auto table = test::RunCli(TARNVEL_CLI, {"profile", "sheet", profile, "--output", pdf, "--elements-table"});
        ASSERT_EQ(table.status, 0) << table.err;
        const auto last = PdfPageText(pdf, sheets + 1);
        ASSERT_TRUE(last);
        EXPECT_NE(last->find("竖曲线要素表"), std::string::npos);
        EXPECT_NE(last->find("最高/最低点桩号"), std::string::npos);
        EXPECT_FALSE(PdfPageText(pdf, sheets + 2));
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace tarnvel
