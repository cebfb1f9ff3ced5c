// The control table and the criteria file: the spellings a spreadsheet
// gives them, what the writers make of them and read back, and the
// companion beside a CSV profile.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/control_files.h"
#include "io/gbk.h"
#include "io/ground_files.h"

namespace tarnvel::io {
namespace {

ControlPoint C(Station s, std::optional<double> lower, std::optional<double> upper, std::string name, std::size_t row) {
    return {s, lower, upper, std::move(name), row};
}

TEST(ControlCsv, reads_the_spellings_tables_come_in_and_writes_what_it_reads) {
    const struct {
        const char* name;
        std::string bytes;
        std::vector<ControlPoint> controls;
        std::optional<LengthUnit> unit;
    } cases[] = {
        {"GBK with title rows, either bound empty, a name with a comma",
         Utf8ToGbk("某某公路控制标高\n\n桩号,最低高程,最高高程,名称\nK1+200,101.5,,涵洞最小填土\n"
                   "K1+450(2),,108.25,\"桥面, 左幅\"\n"),
         {C({1200, 0}, 101.5, {}, "涵洞最小填土", 4), C({1450, 2}, {}, 108.25, "桥面, 左幅", 5)},
         std::nullopt},
        {"English header in another order, tabs, byte-order mark, feet",
         "\xEF\xBB\xBFname\tupper[ft]\tstation\tlower[ft]\r\n平交口\t12\t300\t10\r\n",
         {C({300, 0}, 10, 12, "平交口", 2)},
         LengthUnit::Foot},
        {"only a lower bound column, no names", "station,lower\n100,5\n",
         {C({100, 0}, 5, {}, "", 2)}, std::nullopt},
        {"millimetres, read by the one unit table and held as metres", "桩号[mm],最低高程(mm),名称\n1200000,101500,涵洞\n",
         {C({1200, 0}, 101.5, {}, "涵洞", 2)}, LengthUnit::Metre},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Result<ControlReading> read = ParseControlCsv(c.bytes, "c.csv");
        ASSERT_TRUE(read.ok()) << read.failure().message;
        EXPECT_TRUE(read.value().problems.empty());
        EXPECT_EQ(read.value().controls, c.controls);
        EXPECT_EQ(read.value().unit, c.unit);
        // Written and read back: the same controls (rows under one header), the same unit.
        const LengthUnit unit = c.unit.value_or(LengthUnit::Metre);
        Result<ControlReading> again = ParseControlCsv(ControlCsvBytes(c.controls, unit), "c.csv");
        ASSERT_TRUE(again.ok());
        for (std::size_t i = 0; i < c.controls.size(); ++i) {
            ControlPoint expected = c.controls[i];
            expected.row = i + 2;
            EXPECT_EQ(again.value().controls.at(i), expected);
        }
        EXPECT_EQ(again.value().unit.value_or(LengthUnit::Metre), unit);
    }
}

TEST(ControlCsv, refuses_what_is_no_control_table) {
    const struct {
        const char* name;
        std::string bytes;
        const char* words;
    } cases[] = {
        {"a ground table", "桩号,地面高程\n1,2\n", "不是控制标高表"},
        {"empty", "", "是空的"},
        {"UTF-16", std::string("\xFF\xFE", 2) + std::string("s\0", 2), "UTF-16"},
        {"binary", std::string("a\0b", 3), "不是控制标高表"},
        {"an unclosed quote", "桩号,最低高程,名称\n1,2,\"x\n", "第2行的引号没有配对"},
        {"a unit no table knows", "桩号,最低高程[yd]\n1,2\n", "“yd”无法识别"},
        {"the station in feet, the bound in metres", "桩号[ft],最低高程[m]\n1,2\n", "长度单位为"},
    };
    for (const auto& c : cases) {
        const Result<ControlReading> read = ParseControlCsv(c.bytes, "c.csv");
        ASSERT_FALSE(read.ok()) << c.name;
        EXPECT_NE(read.failure().message.find(c.words), std::string::npos) << c.name << ": " << read.failure().message;
    }
}

TEST(CriteriaCsv, every_criterion_round_trips_and_an_empty_value_is_no_criterion) {
    DesignCriteria all{4.5, 0.3, 150, 6500, 3000, 85.5};
    Result<DesignCriteria> read = ParseCriteriaCsv(CriteriaCsvBytes(all), "k.csv");
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value(), all);
    read = ParseCriteriaCsv("设计标准（使用者自定）\ncriterion,value\nmin_grade,\nmax_grade,3\n", "k.csv");
    ASSERT_TRUE(read.ok()) << read.failure().message;
    DesignCriteria expected;
    expected.maxGrade = 3;
    EXPECT_EQ(read.value(), expected);
    const Result<DesignCriteria> twice = ParseCriteriaCsv("criterion,value\nmax_grade,3\nmax_grade,4\n", "k.csv");
    ASSERT_FALSE(twice.ok());
    EXPECT_NE(twice.failure().message.find("第3行的max_grade与第2行重复"), std::string::npos);
}

TEST(Companions, control_and_ground_tables_sit_beside_a_csv_profile) {
    EXPECT_EQ(ControlCompanionPath("/d/road.CSV"), "/d/road-控制标高.csv");
    EXPECT_EQ(GroundCompanionPath("/d/road.csv"), "/d/road-地面线.csv");
    EXPECT_EQ(ControlCompanionPath("/d.x/road"), "/d.x/road-控制标高.csv");
}

}  // namespace
}  // namespace tarnvel::io
