// The DXF sheets read back with dxflib's own reader, as a CAD program would
// read them: the layers, the design line scaled back from millimetres to the
// profile's elevations, and the band table's texts in the drawing's code page.

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <optional>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "core/calculator/number_text.h"
#include "core/drawing/plan_drawing.h"
#include "core/drawing/sheet.h"
#include "core/profile/profile_listing.h"
#include "io/gbk.h"
#include "io/landxml_horizontal.h"
#include "io/profile_files.h"
#include "output/page_dxf.h"
#include "tests/io/scratch_folder.h"
#include "tests/plan_cases.h"
#include "tests/profile_builders.h"
#include "tests/sheet_reading.h"

namespace tarnvel::io {
namespace {

using output::kDxfPageGap;
using output::kDxfTextStyle;
using output::PagesDxf;
using test::ByRadius;
using test::Point;

struct ReadBack : DL_CreationAdapter {
    std::map<std::string, std::string> variables;
    std::set<std::string> layers;
    std::vector<std::pair<std::string, std::vector<PagePoint>>> polylines;  // layer, model-space points
    std::vector<std::pair<std::string, test::TextAt>> texts;               // layer, model-space text
    std::map<std::string, std::string> styles;  // name → primary|big font
    int hatches = 0;

    std::string Layer() { return GbkToUtf8(getAttributes().getLayer()); }
    void setVariableString(const std::string& key, const std::string& value, int) override { variables[key] = value; }
    void setVariableInt(const std::string& key, int value, int) override { variables[key] = std::to_string(value); }
    void addLayer(const DL_LayerData& data) override { layers.insert(GbkToUtf8(data.name)); }
    void addTextStyle(const DL_StyleData& data) override { styles[data.name] = data.primaryFontFile + "|" + data.bigFontFile; }
    void addPolyline(const DL_PolylineData&) override { polylines.push_back({Layer(), {}}); }
    void addVertex(const DL_VertexData& v) override { polylines.back().second.push_back({v.x, v.y}); }
    void addHatch(const DL_HatchData& data) override { hatches += data.solid ? 1 : 0; }
    void addText(const DL_TextData& t) override {
        const bool aligned = t.hJustification != 0 || t.vJustification != 0;
        texts.push_back({Layer(), {GbkToUtf8(t.text), aligned ? t.apx : t.ipx, aligned ? t.apy : t.ipy,
                                   t.angle * 180 / std::acos(-1.0)}});
    }
};

ReadBack Read(const std::string& bytes) {
    ReadBack reader;
    std::istringstream stream(bytes);
    DL_Dxf dxf;
    EXPECT_TRUE(dxf.in(stream, &reader));
    return reader;
}

// A plan sheet lies on the survey's map: its 交点 at their coordinates in
// metres (x east, y north), the centre line on a layer per kind of element,
// the texts as tall in metres as the scale makes them.
TEST(PageDxf, a_plan_lies_at_its_real_coordinates) {
    const std::vector<test::PlanCase> cases = test::PublishedPlanCases();
    const test::PlanCase& c = cases.front();
    const std::optional<Plan> plan = Plan::Resolve(test::TableOf(c));
    ASSERT_TRUE(plan);
    const PlanSheet sheet = BuildPlanSheet(*plan, MakePlanFigure(*plan), {1000, "平面图"});
    const ReadBack dxf = Read(PagesDxf({sheet.page}));
    EXPECT_EQ(dxf.variables.at("$INSUNITS"), "6");
    for (const char* layer : {"中线-直线", "中线-圆曲线", "中线-缓和曲线", "交点线", "桩号", "主点"}) EXPECT_TRUE(dxf.layers.count(layer)) << layer;
    EXPECT_FALSE(dxf.layers.count("地面线"));
    for (const test::CaseJd& jd : c.points) {
        bool found = false;
        for (const auto& [layer, points] : dxf.polylines)
            for (const PagePoint& p : points)
                found = found || (layer == "交点线" && std::hypot(p.x - jd.east, p.y - jd.north) <= 0.001);
        EXPECT_TRUE(found) << jd.name;
    }
    // The title's 5 mm at 1:1000 are 5 m.
    const auto title = std::find_if(dxf.texts.begin(), dxf.texts.end(), [](const auto& t) { return t.second.text == "平面图"; });
    ASSERT_NE(title, dxf.texts.end());
    EXPECT_GT(title->second.x, 504000);
    // A profile's sheets stay in millimetres of paper.
    const Profile profile = test::Resolved({"主线", LengthUnit::Metre, {Point(0, 100), Point(800, 108)}, {}});
    EXPECT_EQ(Read(PagesDxf(BuildSheets(profile, {}).pages)).variables.at("$INSUNITS"), "4");
}

TEST(PageDxf, sheets_read_back_as_layers_design_line_and_bands) {
    const Profile profile = test::Resolved({"主线", LengthUnit::Metre,
                                            {Point(0, 100), Point(800, 108, ByRadius(6000)),
                                             Point(1700, 96, ByRadius(8000)), Point(3000, 99)},
                                            {}});
    const auto ground = test::TestGround(profile, {100, 900, 2000, 2900}, {99, 110, 95, 100});
    const SheetSet set = BuildSheets(profile, {}, ground.get());
    ASSERT_FALSE(set.problem);
    const std::string bytes = PagesDxf(set.pages);
    const ReadBack dxf = Read(bytes);

    EXPECT_EQ(dxf.variables.at("$ACADVER"), "AC1015");
    EXPECT_EQ(dxf.variables.at("$DWGCODEPAGE"), "ANSI_936");
    EXPECT_EQ(dxf.styles.at(kDxfTextStyle), "gbenor.shx|gbcbig.shx");
    EXPECT_EQ(dxf.layers, (std::set<std::string>{"0", "图框", "设计线", "地面线", "竖曲线", "资料栏", "文字", "填挖"}));
    EXPECT_GT(dxf.hatches, 0);
    EXPECT_NE(bytes.find("LWPOLYLINE"), std::string::npos);

    // Model space holds the pages side by side; back to one page's millimetres.
    const double pitch = set.pages.front().width + kDxfPageGap, height = set.pages.front().height;
    auto pageOf = [&](double x) { return static_cast<std::size_t>(std::floor(x / pitch)); };

    // The design line at every whole 20 m station, scaled back through its sheet.
    std::map<long, double> drawn;  // station in mm of road → elevation
    for (const auto& [layer, points] : dxf.polylines) {
        if (layer != "设计线") continue;
        for (const auto& p : points) {
            const std::size_t i = pageOf(p.x);
            for (const auto& [s, z] : test::ScaleBack(set.frames.at(i), p.x - i * pitch, height - p.y))
                drawn[std::lround(s * 1000)] = z;
        }
    }
    std::size_t checked = 0;
    ListProfile(profile, {{0, 0}, {3000, 0}, 20, false}, 1000, [&](const ProfileListingRow& row) {
        const auto at = drawn.find(std::lround(row.internal * 1000));
        ASSERT_NE(at, drawn.end()) << row.internal;
        EXPECT_NEAR(at->second, row.value.elevation, 1e-5) << row.internal;
        ++checked;
    });
    EXPECT_EQ(checked, 151u);

    // The band texts of each page are the page's own, character for character.
    std::vector<std::vector<test::TextAt>> perPage(set.pages.size());
    for (const auto& [layer, t] : dxf.texts) {
        EXPECT_EQ(layer, "文字");
        const std::size_t i = pageOf(t.x);
        perPage.at(i).push_back({t.text, t.x - i * pitch, height - t.y, t.angle});
    }
    std::size_t columns = 0;
    for (std::size_t i = 0; i < set.pages.size(); ++i) {
        const test::BandColumns want = test::ReadBands(test::TextsOf(set.pages[i]));
        columns += want.size();
        EXPECT_TRUE(test::ReadBands(perPage[i]) == want) << "page " << i + 1;
    }
    EXPECT_GT(columns, 150u);
}

TEST(PageDxf, a_text_with_line_breaks_stays_one_text) {
    Page page;
    page.texts.push_back({PageRole::Text, {10, 10}, "项目\r\n  0\r\nLINE\n\t甲", 2.5, 0, TextHAlign::Left, TextVAlign::Bottom});
    page.lines.push_back({PageRole::Frame, {{0, 0}, {1, 1}}, false});
    const ReadBack dxf = Read(PagesDxf({page}));
    ASSERT_EQ(dxf.texts.size(), 1u);
    EXPECT_EQ(dxf.texts.front().second.text, "项目    0  LINE  甲");
    EXPECT_EQ(dxf.polylines.size(), 1u);
}

TEST(PageDxf, numbers_do_not_follow_the_process_locale) {
    const Profile profile = test::Resolved({"", LengthUnit::Metre, {Point(0, 10.5), Point(700, 12.25)}, {}});
    const SheetSet set = BuildSheets(profile, {});
    const std::string plain = PagesDxf(set.pages);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no comma-decimal locale";
    const std::string german = PagesDxf(set.pages);
    std::setlocale(LC_ALL, "C");
    EXPECT_TRUE(german == plain);
}

// The 直线及平曲线 band of a real alignment with curves and spirals (STN02),
// read back from the DXF: the band sits in the middle of its row on the
// straights, a step up for a right-hand curve and down for a left-hand one,
// half way along a spiral; every radius and spiral length is written, and
// every end of a curve or spiral is a station of the 里程桩号 row.
TEST(PageDxf, the_horizontal_band_reads_back_as_the_alignment) {
    const std::string bytes = testing::ReadBytes(std::string(TARNVEL_IO_TEST_DATA) + "/buildingsmart_stn02_chain.xml");
    const Result<ProfileModel> model = ParseLandXml(bytes, "", "stn02.xml");
    ASSERT_TRUE(model.ok());
    const Profile profile = test::Resolved(model.value());
    const Result<HorizontalReading> horizontal = ParseLandXmlHorizontal(bytes, "Asse_BP", "stn02.xml");
    ASSERT_TRUE(horizontal.ok() && horizontal.value().alignment);
    const auto& pieces = horizontal.value().alignment->pieces;
    const SheetSet set = BuildSheets(profile, {}, nullptr, &*horizontal.value().alignment);
    ASSERT_FALSE(set.problem);
    const ReadBack dxf = Read(PagesDxf(set.pages));

    const double pitch = set.pages.front().width + kDxfPageGap, height = set.pages.front().height;
    auto pageOf = [&](double x) { return static_cast<std::size_t>(std::floor(x / pitch)); };
    std::vector<std::vector<test::TextAt>> texts(set.pages.size());
    for (const auto& [layer, t] : dxf.texts) {
        const std::size_t i = pageOf(t.x);
        texts.at(i).push_back({t.text, t.x - i * pitch, height - t.y, t.angle});
    }
    // The row's middle, from its name; its band lines are those of 资料栏
    // that stay inside the row.
    double middle = 0;
    for (const auto& t : texts.front())
        if (t.text == "直线及平曲线") middle = t.y;
    ASSERT_GT(middle, 0);
    std::vector<std::vector<std::vector<PagePoint>>> bands(set.pages.size());
    for (const auto& [layer, points] : dxf.polylines) {
        if (layer != "资料栏" || points.empty()) continue;
        const std::size_t i = pageOf(points.front().x);
        std::vector<PagePoint> line;
        for (const auto& p : points) line.push_back({p.x - i * pitch, height - p.y});
        if (std::all_of(line.begin(), line.end(), [&](const PagePoint& p) { return std::abs(p.y - middle) < 5; }))
            bands.at(i).push_back(line);
    }
    // The band's offset from the middle at a station (up is negative).
    auto offset = [&](double s) -> std::optional<double> {
        for (std::size_t i = 0; i < set.frames.size(); ++i) {
            const SheetFrame& f = set.frames[i];
            if (s <= f.from || s >= f.to) continue;
            const double x = f.left + (s - f.from) * f.xPerUnit;
            for (const auto& line : bands[i])
                for (std::size_t k = 0; k + 1 < line.size(); ++k)
                    if (line[k].x <= x && x <= line[k + 1].x && line[k + 1].x - line[k].x > 1e-6)
                        return line[k].y + (x - line[k].x) / (line[k + 1].x - line[k].x) * (line[k + 1].y - line[k].y) - middle;
        }
        return std::nullopt;
    };
    // How far a curve steps: the first arc's, which every other must match.
    double step = 0;
    for (const HorizontalPiece& p : pieces)
        if (p.kind == HorizontalKind::Arc && step == 0) step = std::abs(offset((p.start + p.end) / 2).value_or(0));
    std::multiset<std::string> notes;
    for (const auto& page : texts)
        for (const auto& t : page)
            if (t.text.starts_with("R=") || t.text.starts_with("Ls=")) notes.insert(t.text);
    std::set<std::string> stations;
    for (const auto& page : texts)
        for (const auto& [label, cells] : test::ReadBands(page)) stations.insert(label);
    for (const HorizontalPiece& p : pieces) {
        SCOPED_TRACE(p.start);
        const auto at = offset((p.start + p.end) / 2);
        ASSERT_TRUE(at);
        const double turn = p.turn == HorizontalTurn::Right ? -1 : 1;
        switch (p.kind) {
            case HorizontalKind::Line: EXPECT_NEAR(*at, 0, 1e-6); break;
            case HorizontalKind::Arc:
                EXPECT_NEAR(*at, turn * step, 1e-6);
                EXPECT_TRUE(notes.count("R=" + NumberToText(RoundTo3(p.radiusStart))));
                break;
            case HorizontalKind::Spiral:
                EXPECT_NEAR(*at, turn * step / 2, 1e-6);  // every spiral here follows or precedes an arc
                EXPECT_TRUE(notes.count("Ls=" + NumberToText(RoundTo3(p.Length()))));
                break;
        }
        if (p.kind != HorizontalKind::Line) {
            EXPECT_TRUE(stations.count(SheetStation(profile.LabelOf(p.start))));
            EXPECT_TRUE(stations.count(SheetStation(profile.LabelOf(p.end))));
        }
    }
    EXPECT_GT(step, 1);
    EXPECT_EQ(notes.count("R=1000"), 2u);
    EXPECT_EQ(notes.count("R=600"), 1u);
}

}  // namespace
}  // namespace tarnvel::io
