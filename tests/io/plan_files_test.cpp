// The route files: the 交点表 as drawings and spreadsheets give it, the
// messages that point at a bad cell, the written table read back, and the
// CoordGeom of real LandXML alignments read element by element.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "io/gbk.h"
#include "io/plan_files.h"
#include "tests/io/scratch_folder.h"

namespace tarnvel::io {
namespace {

std::string DataFile(const char* name) { return testing::ReadBytes(std::string(TARNVEL_IO_TEST_DATA) + "/" + name); }

IntersectionPoint Jd(std::string name, double x, double y, double r = 0, double ls1 = 0, double ls2 = 0,
                     std::size_t line = 0, std::optional<Station> station = std::nullopt) {
    return {std::move(name), {x, y}, r, ls1, ls2, line, station};
}

TEST(IntersectionCsv, reads_the_tables_people_keep) {
    // The published table of a class-2 highway (see data/README.md), saved
    // in GBK below two title rows, with the columns of a 直线、曲线及转角表:
    // its E (外距) is no east coordinate beside Y, its JD stations are kept.
    IntersectionTable published;
    published.start = {0, 0};
    published.points = {
        Jd("BP", 3355206.7360, 505412.8240, 0, 0, 0, 4),
        Jd("JD1", 3355419.3625, 504799.1127, 816.926, 85, 85, 5, Station{649.501, 0}),
        Jd("JD2", 3355594.4553, 504541.0977, 3329.645, 0, 0, 6, Station{959.984, 0}),
        Jd("JD3", 3355776.6199, 504321.7551, 255, 70, 70, 7, Station{1244.855, 0}),
        Jd("JD4", 3356457.9837, 504176.9164, 500, 95, 95, 8, Station{1934.292, 0}),
        Jd("JD5", 3357055.2748, 503607.1512, 500, 95, 95, 9, Station{2752.115, 0}),
        Jd("EP", 3357232.3079, 503169.2906, 0, 0, 0, 10, Station{3220.862, 0}),
    };
    // English words, tabs, one Ls for both sides, units in brackets of every
    // kind, quoted names, N/E as the coordinates, and a chain table.
    IntersectionTable english;
    english.start = {10250.5, 0};
    english.points = {Jd("A, start", 100, 200, 0, 0, 0, 2), Jd("P\"1", 400, 600, 300.5, 60, 60, 3),
                      Jd("", 700, 650, 1200, 0, 0, 4), Jd("end", 1000, 1000, 0, 0, 0, 5, Station{11300, 2})};
    english.chains = {{10800, 10790.25}};
    const struct {
        const char* name;
        std::string bytes;
        const IntersectionTable& expected;
    } cases[] = {
        {"gbk_title_rows_k_stations", DataFile("cn_2lane_highway_jd_table_gbk.csv"), published},
        {"tabs_english_one_spiral_column",
         "point\tN [m]\tE [m]\tradius(meters)\tLs\tstation\n\"A, start\"\t100\t200\t\t\tK10+250.5\n"
         "\"P\"\"1\"\t400\t600\t300.5\t60\t\n\t700\t650\t1200\t\t\nend\t1000\t1000\t0\t0\t11300(2)\n\n"
         "station_back\tstation_ahead\nK10+800\t10790.25\n",
         english},
        {"chinese_units_full_width_brackets",
         "\xEF\xBB\xBF序号,点号,北坐标（m）,东坐标（米）,半径（m）,前缓和曲线长,后缓和曲线长,桩号,备注\r\n"
         "1,\"A, start\",100,200,,,,K10+250.500,起点\r\n2,\"P\"\"1\",400,600,300.5,60,60,,\r\n"
         "3,,700,650,1200,0,,,\r\n4,end,1000,1000,,,,K11+300(2),终点\r\n"
         "断链前桩号,断链后桩号\r\nK10+800,K10+790.25\r\n",
         english},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<IntersectionTable> read = ParseIntersectionCsv(c.bytes, "t.csv");
        ASSERT_TRUE(read.ok()) << read.failure().message;
        EXPECT_EQ(read.value(), c.expected);
        // Written and read again: the same table, the lines apart.
        const std::string written = IntersectionCsvBytes(read.value());
        EXPECT_TRUE(written.starts_with(
            "\xEF\xBB\xBF交点号(point),X(north),Y(east),R(radius),Ls1(spiral_in),Ls2(spiral_out),桩号(station)\r\n"));
        Result<IntersectionTable> again = ParseIntersectionCsv(written, "again.csv");
        ASSERT_TRUE(again.ok()) << again.failure().message;
        for (std::size_t i = 0; i < again.value().points.size(); ++i) again.value().points[i].line = read.value().points[i].line;
        EXPECT_EQ(again.value(), read.value());
    }
}

TEST(IntersectionCsv, reads_lengths_in_the_unit_its_header_states) {
    // Millimetres and kilometres are held as metres, as in the PVI table;
    // feet stay feet. Every length moves: coordinates, curves, stations and
    // the chain table.
    IntersectionTable metres;
    metres.start = {1250, 0};
    metres.points = {Jd("A", 125, 250, 0, 0, 0, 2), Jd("B", 375, 500, 250, 62.5, 62.5, 3),
                     Jd("C", 1000, 1000, 0, 0, 0, 4, Station{1375, 0})};
    metres.chains = {{1500, 1375}};
    IntersectionTable feet = metres;
    feet.unit = LengthUnit::Foot;
    const std::string lines = "A,125,250,,,1250\nB,375,500,250,62.5,\nC,1000,1000,,,1375\n\n断链前桩号,断链后桩号\n1500,1375\n";
    const struct {
        const char* name;
        std::string bytes;
        const IntersectionTable& expected;
    } cases[] = {
        {"millimetres", "point,X[mm],Y[mm],R[mm],Ls[mm],station[mm]\nA,125000,250000,,,1250000\n"
                        "B,375000,500000,250000,62500,\nC,1000000,1000000,,,1375000\n\n"
                        "断链前桩号(mm),断链后桩号\n1500000,1375000\n",
         metres},
        {"kilometres_one_column", "交点号,X（公里）,Y,R,Ls,桩号\nA,0.125,0.25,,,1.25\nB,0.375,0.5,0.25,0.0625,\n"
                                  "C,1,1,,,1.375\n\n断链前桩号,断链后桩号\n1.5,1.375\n",
         metres},
        {"feet", "point,X[ft],Y,R,Ls,station(feet)\n" + lines, feet},
        {"metres_named", "point,X(m),Y(米),R,Ls,station\n" + lines, metres},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<IntersectionTable> read = ParseIntersectionCsv(c.bytes, "t.csv");
        ASSERT_TRUE(read.ok()) << read.failure().message;
        EXPECT_EQ(read.value(), c.expected);
    }
    // Written in feet, read back in feet.
    const Result<IntersectionTable> again = ParseIntersectionCsv(IntersectionCsvBytes(feet), "t.csv");
    ASSERT_TRUE(again.ok()) << again.failure().message;
    EXPECT_EQ(again.value().unit, LengthUnit::Foot);
    // Kilometres that overflow once converted are refused, not read as infinity.
    const Result<IntersectionTable> huge = ParseIntersectionCsv("point,X[km],Y[km],R,Ls,station\nA,1e306,0,,,0\nC,1,1,,,\n", "h.csv");
    ASSERT_FALSE(huge.ok());
    EXPECT_EQ(huge.failure().message, "文件“h.csv”的长度换算为米后超出可用范围，未读取。");
}

TEST(IntersectionCsv, full_precision_reads_back_to_the_same_doubles) {
    IntersectionTable table;
    table.start = {0.1 + 0.2, 0};
    table.points = {Jd("QD", 3355206.736000001, 1.0 / 3, 0, 0, 0, 2),
                    Jd("JD1", 1e-7, -2.5e6, 816.92600000000004, 85.1, 0.30000000000000004, 3, Station{649.501, 0}),
                    Jd("ZD", std::nextafter(1000.0, 2000.0), 0, 0, 0, 0, 4)};
    const Result<IntersectionTable> read = ParseIntersectionCsv(IntersectionCsvBytes(table), "t.csv");
    ASSERT_TRUE(read.ok()) << read.failure().message;
    EXPECT_EQ(read.value(), table);
}

TEST(IntersectionCsv, refuses_a_malformed_table_naming_the_line_and_column) {
    const std::string title = "K0-K3 交点表\n\n";  // the header is on line 3
    const std::string header = "交点号,X,Y,R,Ls1,Ls2,桩号\n";
    const std::string start = "QD,100,200,,,,K0+000\n";
    const std::string end = "ZD,900,900,,,,\n";
    const struct {
        const char* name;
        std::string bytes;
        const char* message;  // after the file's name
    } cases[] = {
        {"bad_x", title + header + start + "JD1,4OO,500,300,0,0,\n" + end, "第5行“X”列的“4OO”不是数。"},
        {"empty_y", title + header + start + "JD1,400,,300,0,0,\n" + end, "第5行“Y”列为空。"},
        {"bad_radius", title + header + start + "JD1,400,500,R300,0,0,\n" + end, "第5行“R”列的“R300”不是数。"},
        {"jd_without_radius", title + header + start + "JD1,400,500,,60,60,\n" + end, "第5行“R”列为空：交点要有半径。"},
        {"first_station_missing", title + header + "QD,100,200,,,,\n" + end, "第4行“桩号”列为空。"},
        {"bad_later_station", title + header + start + "JD1,400,500,300,0,0,K1+2x\n" + end,
         "第5行“桩号”列：桩号“K1+2x”无法识别：桩号后有多余的字符。"},
        {"start_with_a_curve", title + header + "QD,100,200,0,40,,0\n" + end, "第4行“Ls1”列有值，但第一行是起点，起点没有曲线。"},
        {"end_with_a_curve", title + header + start + "ZD,900,900,250,,,\n", "第5行“R”列有值，但最后一行是终点，终点没有曲线。"},
        {"unknown_unit", title + "交点号,X(yd),Y(yd),R,Ls,桩号\n" + start,
         "第3行的表头中“X(yd)”列的长度单位“yd”无法识别，未读取：可用的单位有毫米（mm）、厘米（cm）、米（m）、千米（km）、"
         "英尺（ft）、美国测量英尺（ftUS）。"},
        {"inches", "point,X[in],Y[in],R,Ls,station\n" + start,
         "第1行的表头中“X[in]”列的长度单位为英寸（in），无法精确换算，未读取：可用的单位有毫米（mm）、厘米（cm）、米（m）、"
         "千米（km）、英尺（ft）、美国测量英尺（ftUS）。"},
        {"two_units", "point,X[m],Y[m],R[ft],Ls,station\n" + start,
         "第1行的表头中“X[m]”列的长度单位为米（m），而“R[ft]”列为英尺（ft）：桩号、高程和长度须用同一单位，未读取。"},
        {"chain_in_another_unit", header + start + end + "断链前桩号[ft],断链后桩号[ft]\nK1+000,K0+990\n",
         "第4行的表头中“桩号”列的长度单位为米（m），而“断链前桩号[ft]”列为英尺（ft）：桩号、高程和长度须用同一单位，未读取。"},
        {"ls_and_ls1", "交点号,X,Y,R,Ls,Ls1,Ls2,桩号\n" + start, "第1行的表头中既有“Ls”列又有“Ls1”列：两侧缓和曲线相同时只用“Ls”，不同时用“Ls1”和“Ls2”。"},
        {"ls1_alone", "交点号,X,Y,R,前缓和曲线长,桩号\n" + start, "第1行的表头中有“前缓和曲线长”列，却没有“后缓和曲线长（Ls2）”列。"},
        {"no_y_column", "交点号,X,R,桩号\n" + start, "第1行的表头中没有“Y（east）”列，不是交点表。"},
        {"two_x_columns", "交点号,X,北坐标,Y,桩号\n" + start, "第1行的表头中“北坐标”与“X”是同一列，重复了。"},
        {"unclosed_quote", header + start + "\"JD1,400,500,300,0,0,\n" + end, "第3行的引号没有配对。"},
        {"binary", header + std::string("QD,1\0,2,,,,0\n", 13), "含有二进制数据，不是交点表。"},
        {"chain_without_ahead", header + start + end + "断链前桩号\nK1+000\n", "第4行的断链表头要有“断链前桩号”和“断链后桩号”两列。"},
        {"chain_bad", header + start + end + "断链前桩号,断链后桩号\nK1+000,K0+99O\n",
         "第5行“断链后桩号”列：桩号“K0+99O”无法识别：桩号后有多余的字符。"},
        {"empty", "\n\n", "是空的，没有表头和数据。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<IntersectionTable> read = ParseIntersectionCsv(c.bytes, "t.csv");
        ASSERT_FALSE(read.ok());
        EXPECT_EQ(read.failure().kind, FailureKind::NotProfile);
        EXPECT_EQ(read.failure().message, std::string("文件“t.csv”") + c.message);
    }
    // A GBK file counts its lines as a UTF-8 one does, title rows included.
    const Result<IntersectionTable> gbk =
        ParseIntersectionCsv(Utf8ToGbk(title + header + start + "JD1,400,500,三百,0,0,\n" + end), "g.csv");
    ASSERT_FALSE(gbk.ok());
    EXPECT_EQ(gbk.failure().message, "文件“g.csv”第5行“R”列的“三百”不是数。");
}

// ---- LandXML CoordGeom ------------------------------------------------------

TEST(LandXmlElements, real_alignments_read_as_written) {
    // STN02: staStart −153.1, one StaEquation (internal 876.272071272522 →
    // 5350), Line, Spiral, Curve, Spiral, … with their points as published;
    // directions in radians. M3: no spirals, directions in grads.
    const Result<ElementList> stn = ParseLandXmlElements(DataFile("buildingsmart_stn02_chain.xml"), "", "stn02.xml");
    ASSERT_TRUE(stn.ok()) << stn.failure().message;
    const ElementList& s = stn.value();
    EXPECT_EQ(s.name, "Asse_BP");
    EXPECT_EQ(s.startStation, -153.1);
    ASSERT_EQ(s.chains.size(), 1u);
    EXPECT_NEAR(s.chains[0].back, 876.272071272522, 1e-9);
    EXPECT_EQ(s.chains[0].ahead, 5350);
    ASSERT_EQ(s.elements.size(), 14u);
    const GivenElement& line = s.elements[0];
    EXPECT_EQ(line.kind, PlanElementKind::Line);
    EXPECT_EQ(line.start, (PlanPoint{4539403.9473621706, 452270.1882509641}));
    EXPECT_EQ(line.end, (PlanPoint{4539536.8691957239, 452634.41500059579}));
    EXPECT_EQ(line.length, 387.72327629696491);
    EXPECT_EQ(line.direction, 0.34992414568456498);
    EXPECT_EQ(line.line, 11u);
    const GivenElement& spiral = s.elements[1];
    EXPECT_EQ(spiral.kind, PlanElementKind::Spiral);
    EXPECT_FALSE(spiral.clockwise);
    EXPECT_TRUE(std::isinf(spiral.radiusStart));
    EXPECT_EQ(spiral.radiusEnd, 1000.0000000001876);
    EXPECT_EQ(spiral.pi, (PlanPoint{4539546.0114286346, 452659.46615801495}));
    EXPECT_EQ(spiral.index, 2u);
    EXPECT_FALSE(spiral.theta);
    const GivenElement& arc = s.elements[2];
    EXPECT_EQ(arc.kind, PlanElementKind::Arc);
    EXPECT_EQ(arc.center, (PlanPoint{4540483.1869814368, 452310.35331873217}));
    EXPECT_EQ(arc.radiusStart, 1000.0000000001875);
    EXPECT_EQ(arc.radiusEnd, 1000.0000000001875);
    EXPECT_TRUE(s.elements[5].clockwise);
    // Every element starts where the one before ends, to the file's rounding.
    for (const ElementList* list : {&s}) {
        for (std::size_t i = 1; i < list->elements.size(); ++i) {
            const PlanPoint a = list->elements[i - 1].end, b = list->elements[i].start;
            EXPECT_LT(std::hypot(a.north - b.north, a.east - b.east), 1e-6) << i;
        }
    }
    const Result<ElementList> m3 = ParseLandXmlElements(DataFile("inframodel_m3_road.xml"), "M3_RS - CL", "m3.xml");
    ASSERT_TRUE(m3.ok()) << m3.failure().message;
    ASSERT_EQ(m3.value().elements.size(), 15u);
    EXPECT_EQ(m3.value().elements[1].radiusStart, 250);
    EXPECT_TRUE(m3.value().elements[1].clockwise);
    ASSERT_TRUE(m3.value().elements[0].direction);
    EXPECT_NEAR(*m3.value().elements[0].direction, 372.175565 * std::numbers::pi / 200, 1e-12);
}

std::string Route(const std::string& geometry, const std::string& alignment = "A\" staStart=\"100") {
    return "<?xml version=\"1.0\"?>\n<LandXML><CgPoints><CgPoint name=\"p1\">10 20</CgPoint></CgPoints>\n"
           "<Alignments><Alignment name=\"" + alignment + "\"><CoordGeom>\n" + geometry +
           "\n</CoordGeom></Alignment><Alignment name=\"B\"/></Alignments></LandXML>";
}

TEST(LandXmlElements, refuses_what_does_not_read_naming_the_line) {
    const std::string line = "<Line><Start>0 0</Start><End>30 40</End></Line>";
    const struct {
        const char* name;
        std::string bytes;
        std::string_view alignment;
        const char* message;  // after the file's name; nullptr: reads
    } cases[] = {
        {"point_by_reference", Route("<Line dir=\"1.#QNAN\"><Start pntRef=\"p1\"/><End>30 40 5</End></Line>"), "A", nullptr},
        {"unknown_alignment", Route(line), "C", "中没有名为“C”的线路；文件中的线路有：“A”、“B”。"},
        {"no_coord_geom", Route(line), "B", "中的线路“B”没有平面线形（CoordGeom）。"},
        {"bad_sta_start", Route(line, "A\" staStart=\"1OO"), "", "第3行的<Alignment>的staStart属性“1OO”不是数。"},
        {"missing_end", Route("<Line><Start>0 0</Start></Line>"), "", "第4行的<Line>缺少<End>（起终点坐标）。"},
        {"bad_point", Route("<Line><Start>0 0</Start>\n<End>30 forty</End></Line>"), "",
         "第5行的<End>的内容“30 forty”应为“北坐标 东坐标”两个数（可再跟高程）。"},
        {"unknown_reference", Route("<Line><Start pntRef=\"p9\"/><End>1 1</End></Line>"), "",
         "第4行的<Start>引用的点“p9”在文件的CgPoints中找不到。"},
        {"bad_length", Route(line + "\n<Curve rot=\"cw\" radius=\"50\" length=\"1O\"><Start>30 40</Start><End>40 40</End></Curve>"), "",
         "第5行的<Curve>的length属性“1O”不是数。"},
        {"no_rotation", Route("<Curve radius=\"50\"><Start>0 0</Start><End>1 1</End></Curve>"), "",
         "第4行的<Curve>缺少rot属性：须为 cw（右转）或 ccw（左转）。"},
        {"no_radius", Route("<Curve rot=\"cw\"><Start>0 0</Start><End>1 1</End></Curve>"), "",
         "第4行的<Curve>既无radius属性，也无<Center>，半径不明。"},
        {"spiral_end_missing", Route("<Spiral rot=\"cw\" radiusStart=\"INF\"><Start>0 0</Start><End>1 1</End></Spiral>"), "",
         "第4行的<Spiral>缺少radiusEnd属性（直线端写 INF）。"},
        {"cubic_spiral", Route("<Spiral rot=\"cw\" spiType=\"cubic\" radiusStart=\"INF\" radiusEnd=\"9\"><Start>0 0</Start><End>1 1</End></Spiral>"), "",
         "第4行的<Spiral>是“cubic”型缓和曲线：只能读取回旋线（clothoid）。"},
        {"irregular_line", Route(line + "\n<IrregularLine/>"), "", "第5行的<IrregularLine>不是直线（Line）、圆曲线（Curve）或缓和曲线（Spiral），无法读取。"},
        {"millimetres", "<LandXML><Units><Metric linearUnit=\"millimeter\"/></Units>" + Route(line).substr(Route(line).find("<Alignments>")), "",
         "的长度单位为毫米（millimeter）：平面线形（CoordGeom）只能读取以米、英尺或美国测量英尺为单位的文件。"},
        {"no_alignments", "<LandXML/>", "", "中没有线路（Alignments/Alignment）。"},
        {"not_xml", "<LandXML><Alignments>", "", "不是有效的XML文件：第1行结束标签与开始标签不配对。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<ElementList> read = ParseLandXmlElements(c.bytes, c.alignment, "r.xml");
        if (!c.message) {
            ASSERT_TRUE(read.ok()) << read.failure().message;
            EXPECT_EQ(read.value().elements.at(0).start, (PlanPoint{10, 20}));
            EXPECT_EQ(read.value().startStation, 100);
            continue;
        }
        ASSERT_FALSE(read.ok());
        EXPECT_EQ(read.failure().message, std::string("文件“r.xml”") + c.message);
    }
}

TEST(RouteFiles, read_by_content_and_written_atomically) {
    testing::ScratchFolder folder;
    IntersectionTable table;
    table.start = {500, 0};
    table.points = {Jd("QD", 0, 0, 0, 0, 0, 2), Jd("JD1", 300, 400, 250, 50, 40, 3), Jd("ZD", 300, 900, 0, 0, 0, 4)};
    const std::string csv = folder.File("jd.csv");
    ASSERT_FALSE(WriteIntersectionCsvFile(csv, table));
    const Result<RouteFile> fromCsv = ReadRouteFile(csv);
    ASSERT_TRUE(fromCsv.ok()) << fromCsv.failure().message;
    EXPECT_EQ(fromCsv.value().format, ProfileFormat::Csv);
    EXPECT_EQ(std::get<IntersectionTable>(fromCsv.value().route), table);

    const std::string xml = folder.File("route.txt");
    testing::WriteBytes(xml, DataFile("buildingsmart_stn02_chain.xml"));
    const Result<RouteFile> fromXml = ReadRouteFile(xml, "Asse_BP");
    ASSERT_TRUE(fromXml.ok()) << fromXml.failure().message;
    EXPECT_EQ(fromXml.value().format, ProfileFormat::LandXml);
    EXPECT_EQ(std::get<ElementList>(fromXml.value().route).elements.size(), 14u);

    const Result<RouteFile> missing = ReadRouteFile(folder.File("none.csv"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.failure().kind, FailureKind::File);
    // A failed write leaves the table that was there.
    EXPECT_TRUE(WriteIntersectionCsvFile(folder.File("no/such/folder/jd.csv"), table));
    EXPECT_EQ(testing::ReadBytes(csv), IntersectionCsvBytes(table));
}

}  // namespace
}  // namespace tarnvel::io
