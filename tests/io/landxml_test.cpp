// LandXML profiles: what the reader makes of the forms real files take, that
// a written file reads back to the same model, and the messages of bad files.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "io/landxml_scan.h"
#include "io/profile_files.h"
#include "tests/io/profile_model_helpers.h"
#include "tests/io/scratch_folder.h"
#include "core/text/messages.h"

namespace tarnvel::io {
namespace {

using testing::ByLength;
using testing::Arc;
using testing::Point;
using testing::Unsym;

std::string Wrap(std::string_view root, std::string_view units, std::string_view inside) {
    return "<?xml version=\"1.0\"?>\n" + std::string(root) + std::string(units) + "<Alignments><Alignment name=\"A\">" +
           std::string(inside) + "</Alignment></Alignments></LandXML>";
}

const std::string kMetric = "<Units><Metric linearUnit=\"meter\"/></Units>";
const std::string kThree =
    "<Profile><ProfAlign name=\"P\"><PVI>0 10</PVI><ParaCurve length=\"40\">100 12</ParaCurve><PVI>200 11</PVI>"
    "</ProfAlign></Profile>";

ProfileModel ThreePoints(LengthUnit unit = LengthUnit::Metre) {
    ProfileModel m;
    m.name = "P";
    m.unit = unit;
    m.points = {Point(0, 10), Point(100, 12, ByLength(40)), Point(200, 11)};
    return m;
}

struct ReadCase {
    const char* name;
    std::string xml;
    ProfileModel expected;
};

class LandXmlRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(LandXmlRead, gives_the_model_the_file_states) {
    const Result<ProfileModel> read = ParseLandXml(GetParam().xml, "", "t.xml");
    ASSERT_TRUE(read.ok()) << read.failure().message;
    EXPECT_EQ(read.value(), GetParam().expected);
}

ProfileModel Kinds() {
    ProfileModel m;
    m.name = "K";
    m.points = {Point(0, 10), Point(100, 12, Unsym(30, 50)), Point(200, 11, Arc(2500)), Point(300, 13),
                Point(400, 13)};
    return m;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, LandXmlRead,
    ::testing::Values(
        ReadCase{"namespace_1_2",
                 Wrap("<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\">", kMetric, kThree), ThreePoints()},
        ReadCase{"namespace_1_1",
                 Wrap("<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.1\">", kMetric, kThree), ThreePoints()},
        ReadCase{"namespace_1_0",
                 Wrap("<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.0\">", kMetric, kThree), ThreePoints()},
        ReadCase{"prefixed_elements",
                 "<lx:LandXML xmlns:lx=\"http://www.landxml.org/schema/LandXML-1.2\">"
                 "<lx:Alignments><lx:Alignment name=\"A\"><lx:Profile><lx:ProfAlign name=\"P\">"
                 "<lx:PVI>0 10</lx:PVI><lx:ParaCurve length=\"40\">100 12</lx:ParaCurve><lx:PVI>200 11</lx:PVI>"
                 "</lx:ProfAlign></lx:Profile></lx:Alignment></lx:Alignments></lx:LandXML>",
                 ThreePoints()},
        ReadCase{"whitespace_and_line_breaks_inside_points",
                 Wrap("<LandXML>", kMetric,
                      "<Profile><ProfAlign name=\"P\"><PVI>\n\t0\r\n   10  </PVI><ParaCurve length=\" 40 \">\n100\n12\n"
                      "</ParaCurve><PVI><![CDATA[200]]> 11</PVI><Feature/></ProfAlign></Profile>"),
                 ThreePoints()},
        ReadCase{"feet", Wrap("<LandXML>", "<Units><Imperial linearUnit=\"foot\"/></Units>", kThree),
                 ThreePoints(LengthUnit::Foot)},
        ReadCase{"us_survey_feet", Wrap("<LandXML>", "<Units><Imperial linearUnit=\"USSurveyFoot\"/></Units>", kThree),
                 ThreePoints(LengthUnit::USSurveyFoot)},
        ReadCase{
            "unsymmetric_and_signed_circle_radius",
            Wrap("<LandXML>", kMetric,
                 "<Profile name=\"K\"><ProfAlign><PVI>0 10</PVI><UnsymParaCurve lengthIn=\"30\" lengthOut=\"50\">100 12"
                 "</UnsymParaCurve><CircCurve length=\"1\" radius=\"-2500\">200 11</CircCurve>"
                 "<ParaCurve length=\"0\">300 13</ParaCurve><PVI>400 13</PVI></ProfAlign></Profile>"),
            Kinds()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LandXmlRoundTrip, every_kind_with_chains_and_units_reads_back_equal) {
    for (LengthUnit unit : {LengthUnit::Metre, LengthUnit::Foot, LengthUnit::USSurveyFoot}) {
        ProfileModel model = testing::EveryKind();
        model.points[2].curve = ByLength(160.2);  // a radius has no LandXML form; see below
        model.unit = unit;
        // A long chain (labels 1000.1 to 1010 twice) and a short one.
        model.chains = {{1010, 1000.1}, {1290.7, 1333.3}};
        model.points = {Point(0, 100),
                        Point(300.3, 106, ByLength(120)),
                        Point(600, 100.5, ByLength(160.2)),
                        Point(1005, 104.25, Unsym(60, 90.5), 2),
                        Point(1400.1, 101, Arc(12000)),
                        Point(1700.125, 99.875)};
        const std::string bytes = LandXmlBytes(model);
        const Result<ProfileModel> back = ParseLandXml(bytes, "", "t.xml");
        ASSERT_TRUE(back.ok()) << back.failure().message << "\n" << bytes;
        EXPECT_EQ(back.value(), model) << bytes;
        EXPECT_NE(bytes.find("xmlns=\"http://www.landxml.org/schema/LandXML-1.2\""), std::string::npos);
        EXPECT_NE(bytes.find("<StaEquation staBack=\"1010\" staAhead=\"1000.1\""), std::string::npos) << bytes;
    }
}

// A parabola given by R is written with the length every tool reads, without
// the arithmetic's last bits, and Tarnvel's radius beside it: it comes back
// by R. A length another tool changed since rules over the radius.
TEST(LandXmlRoundTrip, a_parabola_by_radius_keeps_its_radius_beside_a_clean_length) {
    ProfileModel noisy;
    noisy.points = {Point(0, 100.1), Point(300, 106.1, test::ByRadius(6000)), Point(700, 100.5)};  // L = 203.99999999999991
    const struct {
        const char* name;
        ProfileModel model;
        std::size_t point;
        const char* length;  // the ParaCurve's length as written
    } cases[] = {{"whole", noisy, 1, "length=\"204\" tarnvel:radius=\"6000\""},
                 {"repeating", testing::EveryKind(), 2, "length=\"246.6666666667\" tarnvel:radius=\"8000\""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = LandXmlBytes(c.model);
        EXPECT_NE(bytes.find(c.length), std::string::npos) << bytes;
        EXPECT_NE(bytes.find("xmlns:tarnvel="), std::string::npos);
        const Result<ProfileModel> back = ParseLandXml(bytes, "", "t.xml");
        ASSERT_TRUE(back.ok()) << back.failure().message;
        EXPECT_EQ(back.value(), c.model);

        // Another tool moved the length: the parabola is the length's.
        std::string edited = bytes;
        edited.insert(edited.find(c.length) + 8, "1");  // after length="
        const Result<ProfileModel> moved = ParseLandXml(edited, "", "t.xml");
        ASSERT_TRUE(moved.ok()) << moved.failure().message;
        EXPECT_EQ(moved.value().points[c.point].curve.kind, CurveKind::ParabolaLength);
        EXPECT_EQ(moved.value().points[c.point].curve.radius, 0);
    }
}

TEST(LandXmlNames, several_alignments_and_profiles_are_listed_and_chosen) {
    const std::string xml =
        "<LandXML><Alignments>"
        "<Alignment name=\"主线\"><Profile><ProfAlign name=\"设计\"><PVI>0 1</PVI><PVI>10 2</PVI></ProfAlign>"
        "<ProfAlign name=\"比较\"><PVI>0 3</PVI><PVI>10 4</PVI></ProfAlign></Profile></Alignment>"
        "<Alignment name=\"匝道\"><Profile><ProfAlign name=\"设计\"><PVI>0 5</PVI><PVI>10 "
        "6</PVI></ProfAlign></Profile></Alignment>"
        "</Alignments></LandXML>";
    const auto names = ListLandXmlProfiles(xml, "t.xml");
    ASSERT_TRUE(names.ok());
    ASSERT_EQ(names.value().size(), 3u);
    EXPECT_EQ(names.value()[2].alignment, "匝道");
    EXPECT_EQ(names.value()[2].profile, "设计");

    const struct {
        const char* name;
        double firstElevation;  // 0: refused
        const char* message;
    } cases[] = {{"", 1, ""},
                 {"比较", 3, ""},
                 {"匝道/设计", 5, ""},
                 {"主线/设计", 1, ""},
                 {"设计", 0, "有2个纵断面名为“设计”"},
                 {"没有", 0, "“主线/设计”、“主线/比较”、“匝道/设计”"}};
    for (const auto& c : cases) {
        const Result<ProfileModel> read = ParseLandXml(xml, c.name, "t.xml");
        if (c.firstElevation == 0) {
            ASSERT_FALSE(read.ok()) << c.name;
            EXPECT_NE(read.failure().message.find(c.message), std::string::npos) << read.failure().message;
        } else {
            ASSERT_TRUE(read.ok()) << c.name << read.failure().message;
            EXPECT_EQ(read.value().points[0].elevation, c.firstElevation) << c.name;
        }
    }
}

TEST(LandXmlFailures, name_the_file_and_the_place) {
    const struct {
        const char* name;
        std::string xml;
        const char* message;
    } cases[] = {
        {"not_xml", "<LandXML>\n<Alignments>\n</LandXML>", "第3行"},
        {"other_root", "<svg/>", "根元素是<svg>"},
        {"no_profile", "<LandXML/>", "没有纵断面"},
        {"one_number",
         Wrap("<LandXML>", kMetric, "<Profile><ProfAlign>\n<PVI>0 10</PVI>\n<PVI>100</PVI></ProfAlign></Profile>"),
         "第4行的<PVI>的内容“100”应为“桩号 高程”两个数"},
        {"text_in_number", Wrap("<LandXML>", kMetric, "<Profile><ProfAlign><PVI>0 1O</PVI></ProfAlign></Profile>"),
         "“0 1O”"},
        {"missing_length",
         Wrap("<LandXML>", kMetric, "<Profile><ProfAlign><ParaCurve>5 1</ParaCurve></ProfAlign></Profile>"),
         "<ParaCurve>缺少length属性"},
        {"bad_radius",
         Wrap("<LandXML>", kMetric,
              "<Profile><ProfAlign><CircCurve radius=\"NaN\">5 1</CircCurve></ProfAlign></Profile>"),
         "radius属性“NaN”不是数"},
        {"unknown_unit", Wrap("<LandXML>", "<Units><Imperial linearUnit=\"yard\"/></Units>", kThree),
         "长度单位“yard”无法识别"},
        {"equation_disagrees",
         Wrap("<LandXML>", kMetric,
              "<StaEquation staBack=\"100\" staAhead=\"500\" staInternal=\"100\"/>"
              "<StaEquation staBack=\"600\" staAhead=\"700\" staInternal=\"150\"/>" +
                  kThree),
         "按staBack=600推算的内部里程为200，而staInternal为150"},
    };
    for (const auto& c : cases) {
        const Result<ProfileModel> read = ParseLandXml(c.xml, "", "路线.xml");
        ASSERT_FALSE(read.ok()) << c.name;
        EXPECT_EQ(read.failure().kind, FailureKind::NotProfile);
        EXPECT_TRUE(read.failure().message.starts_with("文件“路线.xml”")) << read.failure().message;
        EXPECT_NE(read.failure().message.find(c.message), std::string::npos)
            << c.name << ": " << read.failure().message;
    }
}

// ---- Point lists read in pieces ----------------------------------------------

// Whatever a file holds, reading its point lists piece by piece gives what the
// whole-file DOM gives: the same profile, names and contents, or the same
// message at the same line.
TEST(LandXmlPieces, read_as_the_whole_file_would) {
    const std::string two =
        "<LandXML><Alignments><Alignment name=\"A\"><Profile><ProfAlign name=\"P\"><PVI>0 1</PVI><PVI>10 x</PVI>"
        "</ProfAlign><ProfAlign name=\"E\"/><ProfSurf name=\"G\"><PntList2D>0 1 10 2</PntList2D></ProfSurf>"
        "</Profile></Alignment><Alignment name=\"B\"><Profile><ProfAlign name=\"Q\">\n<PVI>0 5</PVI>\n"
        "<ParaCurve length=\"4\">10 6</ParaCurve>\n<PVI>20 5</PVI></ProfAlign></Profile></Alignment>"
        "</Alignments></LandXML>";
    const struct {
        const char* name;
        std::string xml;
        const char* profile;
        bool inPieces = false;  // read without a DOM node per point
    } cases[] = {
        {"plain", Wrap("<LandXML>", kMetric, kThree), "", true},
        {"prefixed_with_bom",
         "\xEF\xBB\xBF<lx:LandXML xmlns:lx=\"x\"><lx:Alignments><lx:Alignment name=\"A\"><lx:Profile>"
         "<lx:ProfAlign name=\"P\"><lx:PVI>0 10</lx:PVI><lx:PVI>200 11</lx:PVI></lx:ProfAlign></lx:Profile>"
         "</lx:Alignment></lx:Alignments></lx:LandXML>",
         "", true},
        {"comments_cdata_entities_and_quoted_brackets",
         Wrap("<?xml version='1.0' encoding='utf-8'?><LandXML>", kMetric,
              "<Profile><ProfAlign name=\"P\"><!-- </ProfAlign> <PVI>9 9</PVI> --><?note <PVI>?>\n"
              "<PVI>0&#32;10</PVI><Feature note='a > b \"c\" />'><Property value=\"&lt;\"/></Feature>"
              "<ParaCurve length=\"40\"><![CDATA[100]]> 12<!-- c --></ParaCurve>\r\n<PVI>200 11</PVI>"
              "</ProfAlign></Profile>"),
         "", true},
        {"second_of_two_with_a_bad_point_in_the_first", two, "B/Q"},
        {"second_of_two", "<LandXML><Alignments><Alignment name=\"A\"><Profile><ProfAlign name=\"P\"><PVI>0 1</PVI>"
                          "</ProfAlign><ProfAlign name=\"Q\"><PVI>0 2</PVI><PVI>9 3</PVI></ProfAlign></Profile>"
                          "</Alignment></Alignments></LandXML>", "Q", true},
        {"bad_point_in_the_profile_chosen", two, "A/P"},
        {"self_closing_profile", two, "E"},
        {"bad_point_line_number",
         Wrap("<LandXML>", kMetric, "<Profile><ProfAlign>\n<PVI>0 10</PVI>\n<PVI>100</PVI></ProfAlign></Profile>"), ""},
        {"mismatched_tag_inside", Wrap("<LandXML>", kMetric, "<Profile><ProfAlign><PVI>0 10</PVX></ProfAlign></Profile>"),
         ""},
        {"profile_left_open", "<LandXML><Alignments><Alignment><Profile><ProfAlign>\n<PVI>0 10</PVI>", ""},
        {"nested_profile",
         Wrap("<LandXML>", kMetric, "<Profile><ProfAlign><PVI>0 1</PVI><ProfAlign/><PVI>5 1</PVI></ProfAlign></Profile>"),
         ""},
        {"broken_after_the_points", Wrap("<LandXML>", kMetric, kThree + "\n\n<Feature a=\"1></Alignment>"), ""},
        {"document_type", "<!DOCTYPE LandXML>" + Wrap("<LandXML>", kMetric, kThree), ""},
        {"latin1", Wrap("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><LandXML>", kMetric, kThree), ""},
        {"utf16", std::string("<\0L\0", 4), ""},
        {"nul_between_points",
         Wrap("<LandXML>", kMetric,
              std::string("<Profile><ProfAlign><PVI>0 1</PVI>\0<PVI>5 1</PVI><PVI>9 2</PVI></ProfAlign></Profile>", 85)),
         ""},
    };
    for (const auto& c : cases) {
        std::string reference = c.xml;
        const Result<LandXmlContent> whole = ParseLandXmlInPlace(reference, c.profile, "t.xml", {false, 0});
        for (std::size_t piece : {std::size_t{1}, std::size_t{9}, std::size_t{64}, std::size_t{1} << 20}) {
            std::string bytes = c.xml;
            const Result<LandXmlContent> read = ParseLandXmlInPlace(bytes, c.profile, "t.xml", {true, piece});
            const std::string label = std::string(c.name) + ", pieces of " + std::to_string(piece);
            if (c.inPieces) {
                EXPECT_EQ(bytes.find("PVI"), std::string::npos) << label;
            }
            ASSERT_EQ(read.ok(), whole.ok()) << label << (read.ok() ? whole : read).failure().message;
            if (!read.ok()) {
                EXPECT_EQ(read.failure().message, whole.failure().message) << label;
                continue;
            }
            const LandXmlContent& a = read.value();
            const LandXmlContent& b = whole.value();
            EXPECT_EQ(a.model, b.model) << label;
            EXPECT_EQ(a.alignment, b.alignment) << label;
            EXPECT_EQ(a.beyondProfile, b.beyondProfile) << label;
            ASSERT_EQ(a.names.size(), b.names.size()) << label;
            for (std::size_t i = 0; i < a.names.size(); ++i)
                EXPECT_EQ(a.names[i].alignment + "/" + a.names[i].profile,
                          b.names[i].alignment + "/" + b.names[i].profile)
                    << label;
        }
    }
}

// ---- Real files ---------------------------------------------------------------

std::string DataFile(const char* name) { return testing::ReadBytes(std::string(TARNVEL_IO_TEST_DATA) + "/" + name); }

TEST(LandXmlRealFiles, inframodel_road_reads_all_thirteen_points) {
    const Result<ProfileModel> read = ParseLandXml(DataFile("inframodel_m3_road.xml"), "", "m3.xml");
    ASSERT_TRUE(read.ok()) << read.failure().message;
    const ProfileModel& m = read.value();
    EXPECT_EQ(m.name, "M3_RS - CL");
    ASSERT_EQ(m.points.size(), 13u);
    EXPECT_EQ(m.points[1], Point(3.780491, 16.933442));
    EXPECT_EQ(m.points[3], Point(143.344365, 18.366885, Arc(2000)));  // radius="-2000.000000"
    EXPECT_EQ(m.points[12], Point(1266.246171, 19.377));
}

TEST(LandXmlRealFiles, inframodel_road_resolves_and_passes_through_its_points) {
    const Result<ProfileModel> read = ParseLandXml(DataFile("inframodel_m3_road.xml"), "", "m3.xml");
    ASSERT_TRUE(read.ok()) << read.failure().message;
    std::vector<ProfileProblem> problems;
    const std::optional<Profile> profile = Profile::Resolve(read.value(), &problems);
    ASSERT_TRUE(profile.has_value()) << (problems.empty() ? "" : DescribeProfileProblem(problems.front()));
    // The design line meets the grade lines at every point without a curve,
    // and each circle's arc length comes out as the file states it.
    EXPECT_NEAR(profile->At(3.780491).elevation, 16.933442, 1e-9);
    const double fileArcLengths[] = {48.653858,  70.618005, 68.355931, 59.686736, 85.982341,
                                     102.631152, 72.29634,  71.303203, 60.191445};
    ASSERT_EQ(profile->Elements().size(), 11u);
    for (std::size_t i = 0; i < 9; ++i) {
        const CurveElementsRow& row = profile->Elements()[i + 1];
        const double turn = std::fabs(std::atan(row.gradeOut / 100) - std::atan(row.gradeIn / 100));
        EXPECT_NEAR(row.radius * turn, fileArcLengths[i], 2e-3) << "curve " << i + 1;
    }
}

TEST(LandXmlRealFiles, buildingsmart_rail_curves_overlapping_by_rounding_meet_and_keep_their_lengths) {
    const Result<ProfileModel> read = ParseLandXml(DataFile("buildingsmart_al01_overlap.xml"), "", "al01.xml");
    ASSERT_TRUE(read.ok()) << read.failure().message;
    const ProfileModel& m = read.value();
    EXPECT_EQ(m.name, "T50121A");
    ASSERT_EQ(m.points.size(), 11u);
    EXPECT_EQ(m.points[2], Point(16.307166, 456.837297, Arc(9120)));
    EXPECT_EQ(m.points[3], Point(32.281491, 456.638321, Arc(94000)));
    EXPECT_EQ(m.points[6], Point(75.466701, 456.129148, Arc(90000)));

    // The two curves overlap by 0.6 mm, far below anything a designer
    // meant: the profile is accepted, with a note, and they meet halfway.
    std::vector<ProfileProblem> problems;
    const std::optional<Profile> profile = Profile::Resolve(m, &problems);
    ASSERT_TRUE(profile.has_value()) << (problems.empty() ? "" : DescribeProfileProblem(problems.front()));
    ASSERT_EQ(profile->Notes().size(), 1u);
    const ProfileProblem& note = profile->Notes().front();
    EXPECT_EQ(note.code, ProblemCode::CurvesMeetAdjusted);
    EXPECT_EQ(note.point, 3u);
    EXPECT_EQ(note.other, 2u);
    EXPECT_NEAR(note.amount, 0.000608, 0.000005);
    const auto row = [&](std::size_t point) {
        for (const CurveElementsRow& e : profile->Elements())
            if (e.point == point) return e;
        ADD_FAILURE() << "no row for point " << point;
        return CurveElementsRow{};
    };
    EXPECT_NEAR(row(2).endStation, row(3).startStation, 1e-9);
    // The arc lengths the file states, to 2 mm (the meeting lengthens the
    // first by 1 mm); the radii moved by the meeting, by at most 0.02 %.
    const double published[][2] = {{26.807117, 9120}, {5.143179, 94000}};
    for (std::size_t i = 0; i < 2; ++i) {
        const CurveElementsRow e = row(2 + i);
        const double turn = std::fabs(std::atan(e.gradeOut / 100) - std::atan(e.gradeIn / 100));
        EXPECT_NEAR(e.radius * turn, published[i][0], 2e-3) << "curve " << i;
        EXPECT_NEAR(e.radius, published[i][1], published[i][1] * 2e-4) << "curve " << i;
    }
    // Every other point without a curve lies on the design line.
    for (std::size_t i : {0u, 7u, 8u, 10u})
        EXPECT_NEAR(profile->At(m.points[i].station.value).elevation, m.points[i].elevation, 1e-9) << i;
}

TEST(LandXmlRealFiles, buildingsmart_chain_break_maps_stations_to_labels) {
    const Result<ProfileModel> read = ParseLandXml(DataFile("buildingsmart_stn02_chain.xml"), "", "stn02.xml");
    ASSERT_TRUE(read.ok()) << read.failure().message;
    const ProfileModel& m = read.value();
    // Only staAhead and staInternal are given: before the first break the
    // label is the internal station.
    ASSERT_EQ(m.chains.size(), 1u);
    EXPECT_EQ(m.chains[0], (ChainBreak{876.272071272522, 5350}));
    ASSERT_EQ(m.points.size(), 7u);
    EXPECT_EQ(m.points[3].station.value, 876.27206425108523);  // just behind the break
    // The published label of the curve's PVI after the break, and the end.
    EXPECT_NEAR(m.points[4].station.value, 5552.2748961230118, 1e-4);
    EXPECT_NEAR(m.points[6].station.value, 5779.2225, 1e-3);
    // Written and read again: the same labels.
    const Result<ProfileModel> again = ParseLandXml(LandXmlBytes(m), "", "again.xml");
    ASSERT_TRUE(again.ok()) << again.failure().message;
    EXPECT_EQ(again.value(), m);

    // The curve stations the data set publishes for after the break.
    const std::optional<Profile> profile = Profile::Resolve(m);
    ASSERT_TRUE(profile.has_value());
    const double published[][2] = {{5527.2755, 5577.2730}, {5737.2760, 5767.2745}};
    for (int i = 0; i < 2; ++i) {
        const CurveElementsRow& row = profile->Elements()[3 + i];
        EXPECT_NEAR(profile->LabelOf(row.startStation).value, published[i][0], 2e-3);
        EXPECT_NEAR(profile->LabelOf(row.endStation).value, published[i][1], 2e-3);
    }
    // The break and the end as published, to 4 decimals: 0.03 mm into the
    // short chain's gap and a hair past the end read as the break and the end.
    const double atBreak = profile->Chains().BreakInternal(0);
    EXPECT_EQ(profile->AtLabel({876.2721, 0}).elevation, profile->At(atBreak).elevation);
    EXPECT_EQ(profile->AtLabel({5779.2225, 0}).elevation, profile->At(profile->EndStation()).elevation);
    EXPECT_THROW(profile->AtLabel({876.2741, 0}), StationError);
}

}  // namespace
}  // namespace tarnvel::io
