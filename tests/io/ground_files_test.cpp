// Ground line files: the CSV ground table as field surveys arrive, the cells
// that do not read (all of them, by row), and LandXML ProfSurf beside the
// design's ProfAlign, read, written and read back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text/messages.h"
#include "io/gbk.h"
#include "io/ground_files.h"
#include "io/profile_files.h"
#include "tests/ground_cases.h"
#include "tests/io/scratch_folder.h"

namespace tarnvel::io {
namespace {

struct Pair {
    Station station;
    double elevation;
    friend bool operator==(const Pair&, const Pair&) = default;
};

std::vector<Pair> Pairs(const GroundModel& model) {
    std::vector<Pair> out;
    for (const GroundPoint& p : model.points) out.push_back({p.station, p.elevation});
    return out;
}

const std::vector<Pair> kSurvey = {{{16770.5, 0}, 100.25}, {{16800, 0}, 101}, {{16850, 2}, 99.875}};

struct CsvCase {
    const char* name;
    std::string bytes;
    std::optional<LengthUnit> unit;
};

TEST(GroundCsv, reads_the_spellings_surveys_come_in) {
    const CsvCase cases[] = {
        {"plain English header", "station,ground\n16770.5,100.25\n16800,101\n16850(2),99.875\n", std::nullopt},
        {"GBK with a title row and extra columns",
         Utf8ToGbk("K16纵断面地面线测量\n序号,桩号,偏距,地面高程,编码,备注\n1,K16+770.5,0,100.25,GP,\"路边, 沟\"\n"
                   "2,K16+800,0,101,GP,\n3,K16+850(2),0,99.875,GP,\n"),
         std::nullopt},
        {"tab separated, byte-order mark, blank lines",
         "\xEF\xBB\xBF里程\t地面标高\r\n\r\n16770.5\t100.25\r\n16800\t101\r\n\r\n16850(2)\t99.875\r\n", std::nullopt},
        {"elevation as the ground where there are no design columns, unit in brackets",
         "sta,elevation[ft]\n16770.5,100.25\n16800,101\n16850(2),99.875\n", LengthUnit::Foot},
        {"full-width digits and a design column beside the ground",
         "桩号,设计高程,地面线高程\n１６７７０．５,1,１００．２５\n16800,1,101\n16850(2),1,99.875\n", std::nullopt},
    };
    for (const CsvCase& c : cases) {
        const Result<GroundReading> read = ParseGroundCsv(c.bytes, "g.csv");
        ASSERT_TRUE(read.ok()) << c.name << ": " << read.failure().message;
        EXPECT_TRUE(read.value().problems.empty()) << c.name;
        EXPECT_EQ(Pairs(read.value().model), kSurvey) << c.name;
        EXPECT_EQ(read.value().unit, c.unit) << c.name;
        EXPECT_EQ(read.value().model.stations, GroundStations::Labels) << c.name;
    }
}

TEST(GroundCsv, every_cell_that_does_not_read_is_named_by_its_row) {
    const std::string bytes = "测量表\n桩号,地面高程\nK0+010,1\nK0+0x0,2\n30,\n40,4,\n,5\n50,五\n";
    const Result<GroundReading> read = ParseGroundCsv(bytes, "g.csv");
    ASSERT_TRUE(read.ok());
    std::vector<std::string> messages;
    for (const GroundProblem& p : read.value().problems) messages.push_back(DescribeGroundProblem(p));
    EXPECT_EQ(messages, (std::vector<std::string>{"地面线第4行的桩号“K0+0x0”无法识别。",
                                                  "地面线第5行（桩号 K0+030）的地面高程为空。",
                                                  "地面线第7行的桩号为空。",
                                                  "地面线第8行（桩号 K0+050）的地面高程“五”不是数。"}));
    EXPECT_EQ(read.value().model.points.size(), 2u);
    EXPECT_EQ(read.value().model.points[1].row, 6u);
}

TEST(GroundCsv, files_that_are_no_ground_table_are_refused_with_a_reason) {
    const struct {
        const char* name;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"a PVI table", "桩号,高程,半径\n0,1,\n100,2,\n", "没有“桩号（station）”和“地面高程（ground）”两列"},
        {"empty", "\n\n", "是空的"},
        {"an unclosed quote", "桩号,地面高程\n\"10,1\n", "第2行的引号没有配对"},
        {"UTF-16", std::string("\xFF\xFE", 2) + std::string("a\0b\0", 4), "UTF-16"},
    };
    for (const auto& c : cases) {
        const Result<GroundReading> read = ParseGroundCsv(c.bytes, "g.csv");
        ASSERT_FALSE(read.ok()) << c.name;
        EXPECT_NE(read.failure().message.find(c.says), std::string::npos) << c.name << ": " << read.failure().message;
    }
}

TEST(GroundCsv, writes_what_reads_back) {
    GroundModel model;
    for (const Pair& p : kSurvey) model.points.push_back({p.station, p.elevation, 0});
    model.points.push_back({{17000.000001, 0}, -0.1, 0});
    for (LengthUnit unit : {LengthUnit::Metre, LengthUnit::USSurveyFoot}) {
        const Result<GroundReading> back = ParseGroundCsv(GroundCsvBytes(model, unit), "g.csv");
        ASSERT_TRUE(back.ok());
        EXPECT_EQ(Pairs(back.value().model), Pairs(model));
        EXPECT_EQ(back.value().unit.value_or(LengthUnit::Metre), unit);
    }
}

TEST(GroundCompanion, is_named_after_the_profile_beside_it) {
    const struct {
        const char* profile;
        const char* companion;
    } cases[] = {
        {"/d/road.csv", "/d/road-地面线.csv"},
        {"/d/道路.CSV", "/d/道路-地面线.csv"},
        {"/d.v2/road", "/d.v2/road-地面线.csv"},
        {"/d/.csv", "/d/.csv-地面线.csv"},
    };
    for (const auto& c : cases) EXPECT_EQ(GroundCompanionPath(c.profile), c.companion) << c.profile;
}

// The profile and its ground table go to the disk together: a profile that
// cannot be written leaves the old ground table, and no temporary behind.
TEST(GroundCompanion, is_written_with_the_profile_or_not_at_all) {
    testing::ScratchFolder folder;
    ProfileModel design = test::GroundCases()[0].design;
    GroundModel ground = test::GroundCases()[0].ground;
    const std::string profile = folder.File("road.csv");
    const std::string companion = folder.File("road-地面线.csv");
    ASSERT_EQ(WriteCsvProfileWithGround(profile, design, &ground, std::nullopt), std::nullopt);
    Result<GroundReading> back = ReadGroundFile(companion);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(Pairs(back.value().model), Pairs(ground));
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"road.csv", "road-地面线.csv"}));

    // The profile's name taken by a folder: nothing changes.
    const std::string blocked = folder.File("blocked.csv");
    std::filesystem::create_directory(blocked);
    std::filesystem::create_directory(blocked + "/inside");
    EXPECT_NE(WriteCsvProfileWithGround(blocked, design, &ground, std::nullopt), std::nullopt);
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"road.csv", "road-地面线.csv", "blocked.csv"}));

    // Without ground a table nobody read stays; the one read with the
    // profile goes, so that a cleared ground does not come back on opening.
    ASSERT_EQ(WriteCsvProfileWithGround(profile, design, nullptr, std::nullopt), std::nullopt);
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"road.csv", "road-地面线.csv", "blocked.csv"}));
    ASSERT_EQ(WriteCsvProfileWithGround(profile, design, nullptr, IdentityOf(companion)), std::nullopt);
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"road.csv", "blocked.csv"}));
}

// A design with a long chain and two ground lines, as one LandXML file.
struct Written {
    ProfileModel design;
    std::vector<GroundModel> grounds;
    std::string bytes;
};

Written WithTwoSurfaces() {
    Written w;
    w.design = test::GroundCases()[5].design;  // behind a long chain
    w.design.name = "设计线";
    GroundModel survey = test::GroundCases()[5].ground;
    survey.name = "原地面";
    for (GroundPoint& p : survey.points) p.row = 0;
    GroundModel other;
    other.name = "清表后";
    other.stations = GroundStations::Internal;
    other.points = {{{0, 0}, 10.5, 0}, {{640.25, 0}, 11.75, 0}};
    w.grounds = {survey, other};
    w.bytes = LandXmlBytes(w.design, {}, w.grounds);
    return w;
}

TEST(GroundLandXml, design_and_ground_round_trip_in_one_profile) {
    const Written w = WithTwoSurfaces();
    const Result<ProfileModel> design = ParseLandXml(w.bytes, "", "p.xml");
    ASSERT_TRUE(design.ok()) << design.failure().message;
    EXPECT_EQ(design.value().chains, w.design.chains);
    ASSERT_EQ(design.value().points.size(), w.design.points.size());
    for (std::size_t i = 0; i < w.design.points.size(); ++i)
        EXPECT_EQ(design.value().points[i].station, w.design.points[i].station) << i;

    // Labels are written as internal stations and read as such; through the
    // profile's chain they are the same places.
    const Profile profile = test::Resolved(design.value());
    const Result<GroundReading> survey = ParseLandXmlGround(w.bytes, "原地面", "p.xml");
    ASSERT_TRUE(survey.ok()) << survey.failure().message;
    EXPECT_EQ(survey.value().model.stations, GroundStations::Internal);
    const std::optional<GroundLine> read = GroundLine::Make(survey.value().model, profile);
    const std::optional<GroundLine> original = GroundLine::Make(w.grounds[0], profile);
    ASSERT_TRUE(read && original);
    EXPECT_EQ(read->Stations(), original->Stations());
    EXPECT_EQ(read->Elevations(), original->Elevations());

    const Result<std::vector<GroundModel>> all = ParseLandXmlGrounds(w.bytes, "设计线", "p.xml");
    ASSERT_TRUE(all.ok());
    ASSERT_EQ(all.value().size(), 2u);
    EXPECT_EQ(all.value()[1], w.grounds[1]);
    // Written again, the file says the same.
    const std::string again = LandXmlBytes(design.value(), {}, all.value());
    EXPECT_EQ(again.substr(again.find("<Alignments")), w.bytes.substr(w.bytes.find("<Alignments")));
}

TEST(GroundLandXml, surfaces_are_chosen_by_name_and_damage_is_named) {
    const Written w = WithTwoSurfaces();
    const struct {
        const char* name;
        std::string bytes;
        std::string surface;
        const char* says;  // empty: reads
    } cases[] = {
        {"first by default", w.bytes, "", ""},
        {"by alignment and name", w.bytes, "设计线/清表后", ""},
        {"unknown name lists the surfaces", w.bytes, "路面", "文件中的地面线有：“设计线/原地面”、“设计线/清表后”"},
        {"odd count",
         "<LandXML><Alignments><Alignment name='a'><Profile><ProfSurf name='s'><PntList2D>0 1 5</PntList2D>"
         "</ProfSurf></Profile></Alignment></Alignments></LandXML>",
         "", "有 3 个数"},
        {"not a number",
         "<LandXML><Alignments><Alignment name='a'><Profile><ProfSurf name='s'><PntList2D>0 1 5 x</PntList2D>"
         "</ProfSurf></Profile></Alignment></Alignments></LandXML>",
         "", "第2点的“x”不是数"},
        {"no surface", "<LandXML/>", "", "没有地面线"},
    };
    for (const auto& c : cases) {
        const Result<GroundReading> read = ParseLandXmlGround(c.bytes, c.surface, "p.xml");
        if (!*c.says) {
            ASSERT_TRUE(read.ok()) << c.name << ": " << read.failure().message;
            EXPECT_EQ(read.value().model.name, c.surface.empty() ? "原地面" : "清表后") << c.name;
            continue;
        }
        ASSERT_FALSE(read.ok()) << c.name;
        EXPECT_NE(read.failure().message.find(c.says), std::string::npos) << c.name << ": " << read.failure().message;
    }
}

}  // namespace
}  // namespace tarnvel::io
