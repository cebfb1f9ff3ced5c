// The SVG backend read back with an XML parser: what a page holds is what
// the document draws, in the page's millimetres, with each look written once.

#include <cmath>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "output/page_svg.h"

namespace tarnvel {
namespace {

double Attr(const pugi::xml_node& node, const char* name) { return std::stod(node.attribute(name).value()); }

TEST(PageSvg, draws_every_primitive_where_the_page_puts_it) {
    Page page{297, 210, {}, {}, {}};
    page.areas.push_back({PageRole::Fill, {{10, 10}, {50, 10}, {30, 40}}});
    page.lines.push_back({PageRole::DesignLine, {{10.004, 100}, {200.5, 80.25}, {280, 120}}, false});
    page.lines.push_back({PageRole::Frame, {{5, 5}, {292, 5}, {292, 205}, {5, 205}}, true});
    page.lines.push_back({PageRole::Grid, {{1, 1}}, false});  // one point: nothing to draw
    struct TextRow {
        PageText text;
        const char* anchor;  // text-anchor written, "" for the default (start)
        double baseline;     // y the baseline must have
    };
    const TextRow rows[] = {
        {{PageRole::Text, {20, 50}, "起点 K0+000 <&\">", 3.0, 0, TextHAlign::Left, TextVAlign::Top}, "", 50 + 3 * 0.88},
        {{PageRole::ChainBreak, {150, 60}, "长链 50.000 m", 2.5, 0, TextHAlign::Centre, TextVAlign::Bottom},
         "middle", 60 - 2.5 * 0.12},
        {{PageRole::Text, {250, 150}, "K1+200", 4.0, 90, TextHAlign::Right, TextVAlign::Middle}, "end",
         150 + 4 * 0.38},
    };
    for (const auto& row : rows) page.texts.push_back(row.text);

    const std::string svg = PageSvg(page);
    pugi::xml_document document;
    const auto parsed = document.load_string(svg.c_str());
    ASSERT_TRUE(parsed) << parsed.description();
    const pugi::xml_node root = document.child("svg");
    EXPECT_STREQ(root.attribute("viewBox").value(), "0 0 297 210");
    EXPECT_STREQ(root.attribute("width").value(), "297mm");

    const auto texts = root.select_nodes("text");
    ASSERT_EQ(texts.size(), std::size(rows));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const pugi::xml_node t = texts[i].node();
        const auto& row = rows[i];
        EXPECT_EQ(std::string(t.child_value()), row.text.text) << i;
        EXPECT_STREQ(t.attribute("text-anchor").value(), row.anchor) << i;
        EXPECT_NEAR(Attr(t, "x"), row.text.anchor.x, 0.006) << i;
        EXPECT_NEAR(Attr(t, "y"), row.baseline, 0.006) << i;
        EXPECT_NEAR(Attr(t, "font-size"), row.text.height, 1e-9) << i;
    }
    // Turned counter-clockwise on the page about its own anchor.
    EXPECT_STREQ(texts[2].node().attribute("transform").value(), "rotate(-90 250 150)");

    const auto polylines = root.select_nodes("polyline");
    ASSERT_EQ(polylines.size(), 1u);
    EXPECT_STREQ(polylines[0].node().attribute("class").value(), "design");
    EXPECT_STREQ(polylines[0].node().attribute("points").value(), "10,100 200.5,80.25 280,120");
    EXPECT_EQ(root.select_nodes("polygon[@class='frame']").size(), 1u);
    EXPECT_EQ(root.select_nodes("path[@class='fill']").size(), 1u);

    // Each role's colour is written once, in the style sheet, never on the elements.
    const std::string style = root.child("style").child_value();
    for (const PageRole role : {PageRole::DesignLine, PageRole::ChainBreak, PageRole::Fill}) {
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%06x", static_cast<unsigned>(StyleOf(role).rgb));
        EXPECT_NE(style.find(colour), std::string::npos) << colour;
    }
    EXPECT_EQ(root.select_nodes("//*[@stroke or @fill][not(self::rect)]").size(), 0u);
    EXPECT_NE(style.find("SimSun"), std::string::npos);
}

TEST(PageSvg, a_plot_made_for_pixels_says_its_size_in_pixels) {
    const std::string svg = PageSvg(Page{400, 225, {}, {}, {}}, SvgOptions{4});
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(svg.c_str()));
    EXPECT_STREQ(document.child("svg").attribute("width").value(), "1600");
    EXPECT_STREQ(document.child("svg").attribute("height").value(), "900");
}

}  // namespace
}  // namespace tarnvel
