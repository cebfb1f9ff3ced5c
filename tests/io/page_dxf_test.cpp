// The DXF sheets read back with dxflib's own reader, as a CAD program would
// read them: the layers, the design line scaled back from millimetres to the
// profile's elevations, and the band table's texts in the drawing's code page.

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <clocale>
#include <cmath>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "core/calculator/number_text.h"
#include "core/drawing/sheet.h"
#include "core/profile/profile_listing.h"
#include "io/gbk.h"
#include "io/page_dxf.h"
#include "tests/profile_builders.h"
#include "tests/sheet_reading.h"

namespace tarnvel::io {
namespace {

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

TEST(PageDxf, sheets_read_back_as_layers_design_line_and_bands) {
    const Profile profile = test::Resolved({"主线", LengthUnit::Metre,
                                            {Point(0, 100), Point(800, 108, ByRadius(6000)),
                                             Point(1700, 96, ByRadius(8000)), Point(3000, 99)},
                                            {}});
    const SheetGround ground = test::TestGround(profile, {100, 900, 2000, 2900}, {99, 110, 95, 100});
    const SheetSet set = BuildSheets(profile, {}, &ground);
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

}  // namespace
}  // namespace tarnvel::io
