// The horizontal geometry of the real alignments, checked against the values
// their publishers give, and the ways a CoordGeom can fail to be drawable.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "core/text/messages.h"
#include "io/landxml_horizontal.h"
#include "tests/io/scratch_folder.h"

namespace tarnvel::io {
namespace {

std::string DataFile(const char* name) { return testing::ReadBytes(std::string(TARNVEL_IO_TEST_DATA) + "/" + name); }

struct Expected {
    HorizontalKind kind;
    double start, end;
    char turn;  // 'L', 'R' or '-' for a line
    double radiusStart, radiusEnd;
};
constexpr double kInf = kStraightRadius;
constexpr auto L = HorizontalKind::Line, A = HorizontalKind::Arc, S = HorizontalKind::Spiral;

TEST(LandXmlHorizontal, real_alignments_give_the_published_stations_radii_and_turns) {
    // M3: each element's published staStart; STN02: staStart −153.1 plus the
    // published lengths, ending at the alignment's length 1458.59457166952.
    const struct {
        const char* file;
        std::vector<Expected> pieces;
    } cases[] = {
        {"inframodel_m3_road.xml",
         {{L, 0, 77.312302, '-', kInf, kInf},
          {A, 77.312302, 211.700973, 'R', 250, 250},
          {L, 211.700973, 297.366877, '-', kInf, kInf},
          {A, 297.366877, 455.641577, 'L', 500, 500},
          {L, 455.641577, 510.200957, '-', kInf, kInf},
          {A, 510.200957, 674.520639, 'R', 250, 250},
          {L, 674.520639, 777.394233, '-', kInf, kInf},
          {A, 777.394233, 840.134018, 'R', 200, 200},
          {L, 840.134018, 841.887451, '-', kInf, kInf},
          {A, 841.887451, 934.299091, 'L', 150, 150},
          {L, 934.299091, 935.800329, '-', kInf, kInf},
          {A, 935.800329, 1004.744306, 'R', 200, 200},
          {L, 1004.744306, 1027.054571, '-', kInf, kInf},
          {A, 1027.054571, 1209.702474, 'R', 400, 400},
          {L, 1209.702474, 1266.246238, '-', kInf, kInf}}},
        {"buildingsmart_stn02_chain.xml",
         {{L, -153.1, 234.623276, '-', kInf, kInf},
          {S, 234.623276, 274.623276, 'L', kInf, 1000},
          {A, 274.623276, 468.087747, 'L', 1000, 1000},
          {S, 468.087747, 508.087747, 'L', 1000, kInf},
          {L, 508.087747, 547.069263, '-', kInf, kInf},
          {S, 547.069263, 587.069263, 'R', kInf, 1000},
          {A, 587.069263, 696.501013, 'R', 1000, 1000},
          {S, 696.501013, 736.501013, 'R', 1000, kInf},
          {L, 736.501013, 876.272071, '-', kInf, kInf},
          {L, 876.272071, 926.785061, '-', kInf, kInf},
          {S, 926.785061, 986.785061, 'R', kInf, 600},
          {A, 986.785061, 1159.607469, 'R', 600, 600},
          {S, 1159.607469, 1219.607469, 'R', 600, kInf},
          {L, 1219.607469, 1305.494572, '-', kInf, kInf}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const Result<HorizontalReading> read = ParseLandXmlHorizontal(DataFile(c.file), "", c.file);
        ASSERT_TRUE(read.ok()) << read.failure().message;
        ASSERT_FALSE(read.value().problem) << DescribeHorizontalProblem(*read.value().problem);
        ASSERT_TRUE(read.value().alignment);
        const auto& pieces = read.value().alignment->pieces;
        ASSERT_EQ(pieces.size(), c.pieces.size());
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            SCOPED_TRACE(i);
            const Expected& e = c.pieces[i];
            EXPECT_EQ(pieces[i].kind, e.kind);
            EXPECT_NEAR(pieces[i].start, e.start, 2e-6);
            EXPECT_NEAR(pieces[i].end, e.end, 2e-6);
            if (e.turn != '-') {
                EXPECT_EQ(pieces[i].turn, e.turn == 'L' ? HorizontalTurn::Left : HorizontalTurn::Right);
            }
            for (const auto& [got, want] : {std::pair{pieces[i].radiusStart, e.radiusStart},
                                           std::pair{pieces[i].radiusEnd, e.radiusEnd}}) {
                if (std::isinf(want)) EXPECT_TRUE(std::isinf(got)) << got;
                else EXPECT_NEAR(got, want, 1e-6);
            }
        }
    }
}

std::string OneAlignment(const std::string& geometry, const std::string& staStart = "100") {
    return "<LandXML><Alignments><Alignment name=\"A\" staStart=\"" + staStart + "\"><CoordGeom>" + geometry +
           "</CoordGeom></Alignment><Alignment name=\"B\"/></Alignments></LandXML>";
}

TEST(LandXmlHorizontal, lengths_come_from_coordinates_and_bad_geometry_is_named) {
    // The M3 road's first arc (R 250, cw, 134.388671 m) without its length
    // and radius, and a line without its length.
    const std::string arc =
        "<Curve rot=\"cw\"><Start>6782630.601476 21530272.408535</Start><Center>6782524.780882 21530498.907987</Center>"
        "<End>6782731.653013 21530358.537330</End></Curve>";
    const std::string line = "<Line><Start>0 0</Start><End>30 40</End></Line>";
    const std::string spiral = "<Spiral length=\"40\" rot=\"ccw\" radiusStart=\"INF\" radiusEnd=\"500\"/>";
    const struct {
        std::string geometry;
        std::vector<double> ends;  // the pieces' ends when it reads
        const char* problem;       // the message, when it does not
        std::string staStart = "100";
    } cases[] = {
        {line + arc + spiral, {150, 150 + 134.388671, 150 + 134.388671 + 40}, nullptr},
        {"<Feature/>" + line, {}, nullptr},  // the placeholder line alone: no geometry
        {"", {}, nullptr},
        {line + "<Curve length=\"10\" rot=\"cw\" radius=\"-250\"/>", {}, "平面线形第2个元素（Curve）的半径“-250”不是正数。"},
        {line + "<Curve length=\"10\" radius=\"250\"/>", {}, "平面线形第2个元素（Curve）未给出转向：须为 cw（右转）或 ccw（左转）。"},
        {"<Spiral length=\"40\" rot=\"cw\" radiusStart=\"INF\" radiusEnd=\"INF\"/>" + line, {},
         "平面线形第1个元素（Spiral）两端半径均为无穷大，不是缓和曲线。"},
        {line + "<Spiral rot=\"cw\" radiusStart=\"INF\" radiusEnd=\"300\"/>", {},
         "平面线形第2个元素（Spiral）未给出长度，也无法由坐标算出。"},
        {line + "<Line length=\"nan\"/>", {}, "平面线形第2个元素（Line）的长度“nan”不可用。"},
        {line + "<Spiral length=\"4\" rot=\"cw\" radiusStart=\"0\" radiusEnd=\"INF\"/>", {},
         "平面线形第2个元素（Spiral）的端点半径“0”不可用：须为正数，或以 INF 表示直线端。"},
        {line + "<IrregularLine length=\"5\"/>", {}, "平面线形第2个元素（IrregularLine）不是直线、圆曲线或缓和曲线，无法绘制。"},
        {line + "<Line length=\"1e13\"/>", {}, "平面线形第2个元素（Line）的桩号“10000000000150”超出可用范围。"},
        // Taken as 0, a staStart that does not read would shift the band.
        {line + arc, {}, "线路的起点桩号（staStart）“1OO”不是数，平面线形无法绘制。", "1OO"},
        // A placeholder length would shift every element after it.
        {line + "<Curve length=\"0\"" + arc.substr(6) + line, {},
         "平面线形第2个元素（Curve）的长度“0”与坐标不符：由坐标算得 134.389。"},
        // Beyond the rounding of the file's numbers: here a centimetre.
        {"<Line length=\"50.011\"><Start>0.000 0.000</Start><End>30.000 40.000</End></Line>" + arc, {},
         "平面线形第1个元素（Line）的长度“50.011”与坐标不符：由坐标算得 50。"},
        {"<Line length=\"50.009\"><Start>0.000 0.000</Start><End>30.000 40.000</End></Line>" + arc, {150.009, 150.009 + 134.388671}, nullptr},
        {line + "<Spiral length=\"9.98\" rot=\"cw\" radiusStart=\"INF\" radiusEnd=\"300\"><Start>30.000 40.000</Start><End>40.000 40.000</End></Spiral>", {},
         "平面线形第2个元素（Spiral）的长度“9.98”短于起点到终点的距离 10。"},
        // Labelled to the millimetre, it would read R=0.
        {line + "<Curve length=\"10\" rot=\"cw\" radius=\"1e-300\"/>", {}, "平面线形第2个元素（Curve）的半径“1e-300”小于 0.001，无法绘制。"},
        {line + "<Spiral length=\"4\" rot=\"cw\" radiusStart=\"INF\" radiusEnd=\"0.0004\"/>", {},
         "平面线形第2个元素（Spiral）的半径“0.0004”小于 0.001，无法绘制。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.geometry);
        const Result<HorizontalReading> read = ParseLandXmlHorizontal(OneAlignment(c.geometry, c.staStart), "A", "a.xml");
        ASSERT_TRUE(read.ok());
        if (c.problem) {
            ASSERT_TRUE(read.value().problem);
            EXPECT_FALSE(read.value().alignment);
            EXPECT_EQ(DescribeHorizontalProblem(*read.value().problem), c.problem);
            continue;
        }
        ASSERT_FALSE(read.value().problem) << DescribeHorizontalProblem(*read.value().problem);
        if (c.ends.empty()) {
            EXPECT_FALSE(read.value().alignment);
            continue;
        }
        ASSERT_TRUE(read.value().alignment);
        const auto& pieces = read.value().alignment->pieces;
        ASSERT_EQ(pieces.size(), c.ends.size());
        EXPECT_EQ(pieces.front().start, 100);
        for (std::size_t i = 0; i < pieces.size(); ++i) EXPECT_NEAR(pieces[i].end, c.ends[i], 1e-5);
        EXPECT_NEAR(pieces[1].radiusStart, 250, 1e-5);
    }
    // Another alignment of the file has none.
    const Result<HorizontalReading> other = ParseLandXmlHorizontal(OneAlignment(line + arc), "B", "a.xml");
    ASSERT_TRUE(other.ok());
    EXPECT_FALSE(other.value().alignment || other.value().problem);
}

}  // namespace
}  // namespace tarnvel::io
