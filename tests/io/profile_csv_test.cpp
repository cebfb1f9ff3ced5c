// The CSV PVI table: the spellings spreadsheets and people produce, the
// messages that point at a bad cell, and the files on disk.

#include <gtest/gtest.h>

#include <string>

#include "io/gbk.h"
#include "io/profile_files.h"
#include "tests/io/profile_model_helpers.h"
#include "tests/io/scratch_folder.h"

namespace tarnvel::io {
namespace {

using testing::ByLength;
using testing::ByRadius;
using testing::Arc;
using testing::Point;
using testing::Unsym;

ProfileModel Expected(LengthUnit unit = LengthUnit::Metre) {
    ProfileModel m;
    m.unit = unit;
    m.points = {Point(16770.5, 100),
                Point(16900, 103.2, ByRadius(12000)),
                Point(17100, 101.5, ByLength(80)),
                Point(17300, 104, Unsym(40, 60)),
                Point(17500, 102.25, Arc(9000)),
                Point(17800, 103)};
    return m;
}

struct CsvCase {
    const char* name;
    std::string bytes;
    ProfileModel expected;
};

class CsvRead : public ::testing::TestWithParam<CsvCase> {};

TEST_P(CsvRead, gives_the_table_as_written) {
    const Result<ProfileModel> read = ParseProfileCsv(GetParam().bytes, "t.csv");
    ASSERT_TRUE(read.ok()) << read.failure().message;
    EXPECT_EQ(read.value(), GetParam().expected);
}

const std::string kChinese =
    "桩号,高程,曲线类型,半径,曲线长,前曲线长,后曲线长\n"
    "K16+770.5,100,,,,,\n"
    "K16+900,103.2,抛物线,12000,,,\n"
    "17100,101.5,抛物线,,80,,\n"
    "K17+300,104,非对称抛物线,,,40,60\n"
    "K17+500,102.25,圆曲线,9000,,,\n"
    "K17+800,103,无,,,,\n";

std::string Replace(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

ProfileModel WithChains() {
    ProfileModel m = Expected();
    m.chains = {{17000, 17050.5}, {17400, 17390}};
    return m;
}

// No curve column: the word in 备注 is a remark, the numbers make parabolas.
ProfileModel QuotedExpected() {
    ProfileModel m = Expected(LengthUnit::Foot);
    m.points[4].curve = ByRadius(9000);
    return m;
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, CsvRead,
    ::testing::Values(
        CsvCase{"chinese_headers", kChinese, Expected()},
        CsvCase{"byte_order_mark_and_crlf", "\xEF\xBB\xBF" + Replace(kChinese, "\n", "\r\n"), Expected()},
        CsvCase{"gbk", Utf8ToGbk(kChinese), Expected()}, CsvCase{"tabs", Replace(kChinese, ",", "\t"), Expected()},
        CsvCase{"english_headers_in_another_order_and_case",
                "Elevation,STATION,Curve,Length_In,length out,Radius,Length\r\n"
                "100,16770.5,,,,,\r\n103.2,16900,parabola,,,12000,\r\n101.5,17100,Parabola,,,,80\r\n"
                "104,17300,unsymmetric,40,60,,\r\n102.25,17500,CIRCULAR,,,9000,\r\n103,17800,none,,,,\r\n\r\n\r\n",
                Expected()},
        CsvCase{"quoted_cells_units_in_brackets_and_unused_columns",
                "序号,\"桩号(station)[ft]\",\"高程\n(elevation)\",备注,半径,曲线长,前曲线长,后曲线长\n"
                "1,\"16770.5\",100,\"起点, \"\"A\"\"\",,,,\n2,16900,103.2,,12000,,,\n3,17100,101.5,,,80,,\n"
                "4,17300,104,,,,40,60\n5,17500,102.25,圆曲线,9000,,,\n6,17800,103,,,,,\n,,,,,,,\n",
                QuotedExpected()},
        CsvCase{"title_rows_above_the_header", "K16+770～K17+800 纵断面设计表,,,\n单位：米\n" + kChinese, Expected()},
        CsvCase{"chain_table_after_a_blank_line",
                kChinese + ",,,,,,\n断链前桩号,断链后桩号\nK17+000,K17+050.5\n17400,17390\n", WithChains()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvRead, without_a_curve_column_the_numbers_tell_the_kind) {
    const std::string bytes =
        "Station (m),Elevation "
        "(m),R,L,L_in,L_out\n0,10,,,,\n100,12,3000,,,\n200,11,,40,,\n300,13,,,20,30\n400,12,,,,\n";
    const Result<ProfileModel> read = ParseProfileCsv(bytes, "t.csv");
    ASSERT_TRUE(read.ok()) << read.failure().message;
    ProfileModel m;
    m.points = {Point(0, 10), Point(100, 12, ByRadius(3000)), Point(200, 11, ByLength(40)),
                Point(300, 13, Unsym(20, 30)), Point(400, 12)};
    EXPECT_EQ(read.value(), m);
}

TEST(CsvRoundTrip, every_kind_with_chains_and_feet_reads_back_equal) {
    ProfileModel model = testing::EveryKind();
    model.name.clear();  // a CSV table has no name
    model.unit = LengthUnit::Foot;
    model.chains = {{700, 650.25}, {1000, 1100}};
    model.points[3].station = Station{680, 2};
    model.points[1].elevation = 0.1 + 0.2;  // needs all 17 digits
    const std::string bytes = ProfileCsvBytes(model);
    EXPECT_TRUE(bytes.starts_with("\xEF\xBB\xBF桩号(station)[ft],")) << bytes;
    EXPECT_NE(bytes.find("\r\n\r\n断链前桩号"), std::string::npos) << bytes;
    const Result<ProfileModel> back = ParseProfileCsv(bytes, "t.csv");
    ASSERT_TRUE(back.ok()) << back.failure().message << "\n" << bytes;
    EXPECT_EQ(back.value(), model) << bytes;
}

TEST(CsvFailures, name_the_row_and_the_column) {
    const std::string header = "桩号,高程(m),类型,半径,曲线长\n0,10,,,\n";
    const struct {
        const char* name;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"empty", "\xEF\xBB\xBF\r\n\r\n", "是空的"},
        {"no_station_column", "里程碑,高程\n1,2\n", "没有“桩号（station）”列"},
        {"no_elevation_column", "桩号,标注\n1,2\n", "没有“高程（elevation）”列"},
        {"same_column_twice", "桩号,高程,Station\n", "“Station”与“桩号”是同一列"},
        {"bad_station", header + "K1+2x3,10,,,\n", "第3行“桩号”列："},
        {"empty_elevation", header + "100,,,,\n", "第3行“高程(m)”列为空"},
        {"elevation_with_comma", header + "100,\"12,5\",,,\n", "第3行“高程(m)”列的“12,5”不是数"},
        {"unknown_kind", header + "100,12,缓和曲线,3000,\n", "第3行“类型”列的“缓和曲线”无法识别"},
        {"circle_without_radius", header + "100,12,圆曲线,,40\n", "第3行“半径”列为空"},
        {"none_with_a_radius", header + "100,12,无,3000,\n", "第3行“半径”列有值，但这一行写明没有竖曲线"},
        {"parabola_without_numbers", header + "100,12,抛物线,,\n", "第3行是抛物线竖曲线，但半径和曲线长都没有填写"},
        {"row_counted_past_quoted_line_break", header + "\"100\n\",1,,,\n200,x,,,\n", "第4行“高程(m)”列的“x”不是数"},
        {"open_quote", header + "100,\"12\n", "第3行的引号没有配对"},
        {"chain_with_occurrence", header + "\n断链前桩号,断链后桩号\n5(2),7\n",
         "第5行“断链前桩号”列的“5(2)”不应带出现次数"},
        {"utf16", "\xFF\xFE" + std::string("S\0t\0", 4), "UTF-16"},
        {"binary", std::string("桩号,高程\n1,") + '\0' + "2\n", "二进制数据"},
    };
    for (const auto& c : cases) {
        const Result<ProfileModel> read = ParseProfileCsv(c.bytes, "纵断面.csv");
        ASSERT_FALSE(read.ok()) << c.name;
        EXPECT_EQ(read.failure().kind, FailureKind::NotProfile);
        EXPECT_TRUE(read.failure().message.starts_with("文件“纵断面.csv”")) << read.failure().message;
        EXPECT_NE(read.failure().message.find(c.message), std::string::npos)
            << c.name << ": " << read.failure().message;
    }
}

// ---- Files --------------------------------------------------------------------

TEST(ProfileFiles, written_files_read_back_by_content_not_by_name) {
    testing::ScratchFolder folder;
    ProfileModel model = testing::EveryKind();
    model.points[2].curve = ByLength(200);
    for (ProfileFormat format : {ProfileFormat::LandXml, ProfileFormat::Csv}) {
        const std::string path = folder.File(format == ProfileFormat::Csv ? "p.xml" : "p.csv");  // names that lie
        ASSERT_FALSE(WriteProfileFile(path, model, format).has_value());
        const Result<ProfileModel> back = ReadProfileFile(path);
        ASSERT_TRUE(back.ok()) << back.failure().message;
        ProfileModel expected = model;
        if (format == ProfileFormat::Csv) expected.name.clear();
        EXPECT_EQ(back.value(), expected);
    }
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"p.csv", "p.xml"}));
}

TEST(ProfileFiles, refuse_what_is_not_a_readable_profile) {
    testing::ScratchFolder folder;
    testing::WriteBytes(folder.File("image.csv"), std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    testing::WriteBytes(folder.File("plain.xml"), "桩号,高程\n0,1\n10,2\n");
    const Result<ProfileModel> binary = ReadProfileFile(folder.File("image.csv"));
    ASSERT_FALSE(binary.ok());
    EXPECT_EQ(binary.failure().kind, FailureKind::NotProfile);
    EXPECT_NE(binary.failure().message.find("二进制"), std::string::npos);
    const Result<ProfileModel> missing = ReadProfileFile(folder.File("none.xml"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.failure().kind, FailureKind::File);
    const auto names = ReadLandXmlProfileNames(folder.File("plain.xml"));
    ASSERT_FALSE(names.ok());
    EXPECT_NE(names.failure().message.find("不是LandXML文件"), std::string::npos);
    EXPECT_EQ(ProfileFormatFromPath("/a.b/路线.XML"), ProfileFormat::LandXml);
    EXPECT_EQ(ProfileFormatFromPath("x.Csv"), ProfileFormat::Csv);
    EXPECT_EQ(ProfileFormatFromPath("/a.csv/x"), std::nullopt);
    EXPECT_EQ(SniffProfileFormat("\xEF\xBB\xBF \r\n<LandXML/>"), ProfileFormat::LandXml);
}

}  // namespace
}  // namespace tarnvel::io
