// Units of length through all four readers (the ground table, the ground
// ProfSurf, the PVI table, the PVI ProfAlign): what each converts exactly,
// what each refuses, naming the column. One table of cases.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/profile/units.h"
#include "io/ground_files.h"
#include "io/profile_files.h"

namespace tarnvel::io {
namespace {

enum class Reader { GroundCsv, GroundXml, PviCsv, PviXml };

struct UnitCase {
    const char* name;
    Reader reader;
    std::string bytes;
    // Read: the unit, and the second point as held (station, elevation).
    std::optional<LengthUnit> unit;
    double station = 0, elevation = 0;
    // Refused: words the message must hold (the column, the unit).
    std::vector<std::string> refusal{};
};

std::string Xml(const std::string& units, const std::string& profile) {
    return "<LandXML>" + units + "<Alignments><Alignment name=\"A\"><Profile name=\"P\">" + profile +
           "</Profile></Alignment></Alignments></LandXML>";
}
const std::string kProfAlign = "<ProfAlign name=\"D\"><PVI>0 1000</PVI><PVI>20000 1500</PVI></ProfAlign>";
const std::string kProfSurf = "<ProfSurf name=\"EG\"><PntList2D>0 1000 1234 1250</PntList2D></ProfSurf>";
std::string Metric(const char* unit) { return std::string("<Units><Metric linearUnit=\"") + unit + "\"/></Units>"; }

struct Outcome {
    std::optional<std::string> failure;
    std::optional<LengthUnit> unit;
    double station = 0, elevation = 0;
};

Outcome Read(const UnitCase& c) {
    Outcome out;
    const auto ground = [&](const Result<GroundReading>& r) {
        if (!r.ok()) return out.failure = r.failure().message, out;
        out.unit = r.value().unit;
        out.station = r.value().model.points.at(1).station.value;
        out.elevation = r.value().model.points.at(1).elevation;
        return out;
    };
    const auto profile = [&](const Result<ProfileModel>& r) {
        if (!r.ok()) return out.failure = r.failure().message, out;
        out.unit = r.value().unit;
        out.station = r.value().points.at(1).station.value;
        out.elevation = r.value().points.at(1).elevation;
        return out;
    };
    switch (c.reader) {
        case Reader::GroundCsv: return ground(ParseGroundCsv(c.bytes, "g.csv"));
        case Reader::GroundXml: return ground(ParseLandXmlGround(c.bytes, "", "g.xml"));
        case Reader::PviCsv: return profile(ParseProfileCsv(c.bytes, "p.csv"));
        case Reader::PviXml: return profile(ParseLandXml(c.bytes, "", "p.xml"));
    }
    return out;
}

const std::vector<UnitCase>& Cases() {
    static const std::vector<UnitCase> cases = {
        // Converted exactly: whole millimetres give the nearest double to their metres.
        {"ground_csv_mm", Reader::GroundCsv, "桩号[mm],地面高程[mm]\n0,1000\n1234,1250\n", LengthUnit::Metre, 1.234, 1.25},
        {"ground_csv_km_in_one_column_holds_for_both", Reader::GroundCsv, "桩号,地面高程(km)\n0,1\n1.5,0.0125\n",
         LengthUnit::Metre, 1500, 12.5},
        {"ground_csv_feet_word", Reader::GroundCsv, "station[feet],ground[feet]\n0,1\n5,2\n", LengthUnit::Foot, 5, 2},
        {"ground_csv_us_survey_foot_with_blanks", Reader::GroundCsv, "桩号(US survey foot),地面高程\n0,1\n5,2\n",
         LengthUnit::USSurveyFoot, 5, 2},
        {"ground_csv_full_width_brackets_chinese_word", Reader::GroundCsv, "桩号（米）,地面高程（公里）\n0,1\n5,2\n", {}, 0,
         0, {"“桩号（米）”列", "“地面高程（公里）”列", "千米（km）", "米（m）"}},
        {"ground_csv_two_units_in_one_cell", Reader::GroundCsv, "桩号,地面高程[m][mm]\n0,1\n5,2\n", {}, 0, 0,
         {"“地面高程[m][mm]”列", "米（m）", "毫米（mm）"}},
        {"ground_csv_unknown_word", Reader::GroundCsv, "桩号,地面高程[yd]\n0,1\n5,2\n", {}, 0, 0,
         {"“地面高程[yd]”列", "“yd”"}},
        {"ground_csv_inches_are_known_and_refused", Reader::GroundCsv, "桩号,地面高程(inch)\n0,1\n5,2\n", {}, 0, 0,
         {"英寸（in）", "无法精确换算"}},
        {"ground_csv_a_note_in_brackets_is_no_unit", Reader::GroundCsv,
         "桩号(K),地面高程(实测)[m]\n0,1\n5,2\n", LengthUnit::Metre, 5, 2},
        {"ground_csv_unit_of_an_unused_column_is_its_own", Reader::GroundCsv,
         "桩号,偏距[mm],地面高程\n0,5,1\n5,5,2\n", std::nullopt, 5, 2},
        {"ground_xml_millimeter", Reader::GroundXml, Xml(Metric("millimeter"), kProfAlign + kProfSurf),
         LengthUnit::Metre, 1.234, 1.25},
        {"ground_xml_kilometer", Reader::GroundXml, Xml(Metric("kilometer"), kProfAlign + kProfSurf),
         LengthUnit::Metre, 1234000, 1250000},
        {"ground_xml_unknown_name", Reader::GroundXml, Xml(Metric("yard"), kProfAlign + kProfSurf), {}, 0, 0,
         {"“yard”"}},
        {"pvi_csv_km", Reader::PviCsv, "桩号[km],高程[km]\n0,1\n20,1.5\n", LengthUnit::Metre, 20000, 1500},
        {"pvi_csv_mm_and_chain_table_in_it", Reader::PviCsv,
         "桩号(mm),高程(mm)\n0,1000\n20000,1500\n\n断链前桩号(mm),断链后桩号(mm)\n10000,9000\n", LengthUnit::Metre, 20, 1.5},
        {"pvi_csv_chain_table_in_another_unit", Reader::PviCsv,
         "桩号(mm),高程(mm)\n0,1000\n20000,1500\n\n断链前桩号(m),断链后桩号(m)\n10,9\n", {}, 0, 0,
         {"毫米（mm）", "米（m）"}},
        {"pvi_csv_columns_disagree", Reader::PviCsv, "桩号[m],高程[mm],曲线长\n0,1\n5,2\n", {}, 0, 0,
         {"“桩号[m]”列", "“高程[mm]”列"}},
        {"pvi_xml_millimeter", Reader::PviXml, Xml(Metric("millimeter"), kProfAlign), LengthUnit::Metre, 20, 1.5},
        {"pvi_xml_centimeter", Reader::PviXml, Xml(Metric("centimeter"), kProfAlign), LengthUnit::Metre, 200, 15},
        {"pvi_xml_elevations_in_another_unit_are_refused", Reader::PviXml,
         Xml("<Units><Metric linearUnit=\"millimeter\" elevationUnit=\"meter\"/></Units>", kProfAlign), {}, 0, 0,
         {"“linearUnit”属性", "毫米（mm）", "“elevationUnit”属性为米（m）"}},
        {"pvi_xml_mile_is_refused", Reader::PviXml,
         Xml("<Units><Imperial linearUnit=\"mile\"/></Units>", kProfAlign), {}, 0, 0, {"英里（mi）"}},
    };
    return cases;
}

// Shown by its name when a case fails.
void PrintTo(const UnitCase& c, std::ostream* os) { *os << c.name; }

class Units : public ::testing::TestWithParam<UnitCase> {};

TEST_P(Units, are_converted_exactly_or_refused_by_name) {
    const UnitCase& c = GetParam();
    const Outcome got = Read(c);
    if (!c.refusal.empty()) {
        ASSERT_TRUE(got.failure) << "read as " << got.station;
        for (const std::string& word : c.refusal) EXPECT_NE(got.failure->find(word), std::string::npos) << *got.failure;
        return;
    }
    ASSERT_FALSE(got.failure) << *got.failure;
    EXPECT_EQ(got.unit, c.unit);
    EXPECT_EQ(got.station, c.station);
    EXPECT_EQ(got.elevation, c.elevation);
}

INSTANTIATE_TEST_SUITE_P(Readers, Units, ::testing::ValuesIn(Cases()), [](const auto& info) {
    return std::string(info.param.name);
});

}  // namespace
}  // namespace tarnvel::io
