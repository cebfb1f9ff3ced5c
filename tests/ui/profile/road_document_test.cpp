// The road document without a widget: the plan beside the profile, kept in
// one LandXML file or as the CSV companion, edited on the one undo stack.

#include <QFile>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <cmath>
#include <memory>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

#include "core/text/messages.h"
#include "io/plan_files.h"
#include "io/profile_files.h"
#include "tests/io/scratch_folder.h"
#include "tests/plan_cases.h"
#include "ui/profile/cell_text.h"
#include "ui/profile/curve_table_model.h"
#include "ui/profile/ground_table.h"
#include "ui/profile/edit_table_model.h"
#include "ui/profile/plan_table.h"
#include "ui/profile/profile_document.h"
#include "ui/profile/pvi_table.h"

namespace tarnvel::ui::profile {
namespace {

QString DataFile(const char* name) { return QStringLiteral(TARNVEL_IO_TEST_DATA "/") + QString::fromUtf8(name); }
QString Q(const std::string& path) { return QString::fromStdString(path); }

// A road of a published 交点表 with a profile of two grades over its length
// and a ground line, typed into a new document.
void TypeRoad(ProfileDocument& document, const test::PlanCase& c) {
    const std::optional<Plan> plan = Plan::Resolve(test::TableOf(c));
    ASSERT_TRUE(plan) << c.name;
    const double start = plan->StartStation(), end = plan->EndStation(), middle = (start + end) / 2;
    document.PlanModel().WriteBlock(0, 0, PlanRowsOf(test::TableOf(c)), QStringLiteral("粘贴"));
    // In the texts a file reads back to, so that a save and an open must give them again.
    std::vector<ProfilePoint> points(3);
    points[0] = {{start, 0}, 100, {}};
    points[1] = {{middle, 0}, 104, {CurveKind::ParabolaRadius, 3000}};
    points[2] = {{end, 0}, 101, {}};
    document.PviModel().WriteBlock(0, 0, PviRowsOf(points), QStringLiteral("粘贴"));
    GroundModel ground;
    ground.points = {{{start, 0}, 99.5}, {{middle, 0}, 103.75}, {{end, 0}, 100.25}};
    document.GroundTable().WriteBlock(0, 0, GroundRowsOf(ground, Chainage()), QStringLiteral("粘贴"));
    ASSERT_EQ(document.TableProblem(), QString()) << c.name;
    ASSERT_TRUE(document.PlanIsCurrent()) << document.PlanStatus().toStdString();
}

// What a save must bring back: the three tables' texts, one line a row.
std::string TextOf(const EditTableModel& model) {
    std::string text;
    for (const QStringList& row : model.Rows())
        text += row.mid(0, model.TextColumnCount()).join(QLatin1Char('|')).toStdString() + "\n";
    return text;
}
struct RoadTexts {
    std::string plan, pvi, ground;
    friend bool operator==(const RoadTexts&, const RoadTexts&) = default;
    friend std::ostream& operator<<(std::ostream& out, const RoadTexts& t) {
        return out << "交点表:\n" << t.plan << "变坡点:\n" << t.pvi << "地面线:\n" << t.ground;
    }
};
RoadTexts TextsOf(const ProfileDocument& d) { return {TextOf(d.PlanModel()), TextOf(d.PviModel()), TextOf(d.GroundTable())}; }

TEST(RoadDocument, a_typed_road_saves_and_reopens_the_same_in_landxml_and_as_csv_companions) {
    for (const test::PlanCase& c : test::PublishedPlanCases()) {
        SCOPED_TRACE(std::string(c.name));
        ProfileDocument typed;
        TypeRoad(typed, c);
        const RoadTexts before = TextsOf(typed);
        io::testing::ScratchFolder folder;
        for (const auto& [name, format] : {std::pair{"road.xml", io::ProfileFormat::LandXml},
                                           std::pair{"road.csv", io::ProfileFormat::Csv}}) {
            SCOPED_TRACE(name);
            ASSERT_EQ(typed.Save(Q(folder.File(name)), format), QString());
            ProfileDocument opened;
            ASSERT_EQ(opened.Open(Q(folder.File(name))), QString());
            EXPECT_EQ(TextsOf(opened), before);
            ASSERT_TRUE(opened.CurrentPlan());
            EXPECT_EQ(opened.CurrentPlan()->Elements().size(), typed.CurrentPlan()->Elements().size());
            EXPECT_EQ(opened.CurrentPlan()->EndStation(), typed.CurrentPlan()->EndStation());
        }
        EXPECT_TRUE(QFile::exists(Q(folder.File("road-交点表.csv"))));
    }
}

TEST(RoadDocument, a_landxml_road_saves_back_to_the_same_plan_profile_and_ground_beside_what_else_the_file_holds) {
    // The published file with more beside the road: another profile and a
    // second ground line in its Profile, another alignment.
    QFile source(DataFile("buildingsmart_stn02_chain.xml"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    std::string bytes = source.readAll().toStdString();
    const std::size_t profileEnd = bytes.find("</Profile>");
    ASSERT_NE(profileEnd, std::string::npos);
    bytes.insert(profileEnd,
                 "<ProfAlign name=\"second\"><PVI>0 1</PVI><PVI>100 2</PVI></ProfAlign>"
                 "<ProfSurf name=\"EG\"><PntList2D>-150 1 1300 2</PntList2D></ProfSurf>"
                 "<ProfSurf name=\"EG2\"><PntList2D>-150 3 1300 4</PntList2D></ProfSurf>");
    const std::size_t name = bytes.rfind("Alignments>");
    const std::size_t close = bytes.rfind("</", name);
    const std::string prefix = bytes.substr(close + 2, name - close - 2);  // the file's namespace prefix, if any
    bytes.insert(close, "<" + prefix + "Alignment name=\"other\" length=\"1\"/>");
    io::testing::ScratchFolder folder;
    const std::string path = folder.File("road.xml");
    { std::ofstream(path, std::ios::binary) << bytes; }

    ProfileDocument document;
    ASSERT_EQ(document.Open(Q(path)), QString());
    // The route of spirals and arcs becomes a 交点表, stationed through the file's break.
    ASSERT_GT(document.PlanModel().rowCount(), 2);
    ASSERT_TRUE(document.PlanIsCurrent()) << document.PlanStatus().toStdString();
    ASSERT_EQ(document.GroundTable().rowCount(), 2);
    const std::shared_ptr<const Plan> read = document.CurrentPlan();
    const RoadTexts before = TextsOf(document);
    const QStringList profiles = document.ProfileNames();
    ASSERT_EQ(document.Save(Q(path), io::ProfileFormat::LandXml).toStdString(), "");

    ProfileDocument opened;
    ASSERT_EQ(opened.Open(Q(path)), QString());
    EXPECT_EQ(TextsOf(opened), before);
    EXPECT_EQ(opened.ProfileNames(), profiles);  // the alignment keeps its name, the other profile stays
    ASSERT_TRUE(opened.CurrentPlan());
    ASSERT_EQ(opened.CurrentPlan()->Elements().size(), read->Elements().size());
    for (std::size_t i = 0; i < read->Elements().size(); ++i)
        EXPECT_NEAR(opened.CurrentPlan()->Elements()[i].start, read->Elements()[i].start, 1e-6) << i;
    std::ifstream in(path, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto names = io::ListLandXmlAlignments(bytes, "road.xml");
    const auto kept = io::ListLandXmlAlignments(written, path);
    ASSERT_TRUE(kept.ok());
    EXPECT_EQ(kept.value(), names.value());
    // The ground shown replaced the one it was read from; the other stays.
    EXPECT_EQ(written.find("name=\"EG\""), std::string::npos);
    EXPECT_NE(written.find("name=\"EG2\""), std::string::npos);
}

TEST(RoadDocument, editing_a_jd_moves_plan_band_and_listing_together_and_undo_restores_them) {
    ProfileDocument document;
    const test::PlanCase c = test::PublishedPlanCases().front();
    TypeRoad(document, c);
    CurveTableModel listing;
    QObject::connect(&document, &ProfileDocument::PlanChanged, &listing,
                     [&] { listing.SetPlan(document.CurrentPlan()); });
    listing.SetPlan(document.CurrentPlan());
    QString notice;
    const auto band = [&] { return document.Horizontal(&notice); };
    const std::shared_ptr<const Plan> before = document.CurrentPlan();
    const std::optional<HorizontalAlignment> bandBefore = band();
    ASSERT_TRUE(bandBefore);
    ASSERT_EQ(bandBefore->pieces.size(), before->Elements().size());
    const QString tangentBefore = listing.index(1, 9).data().toString();

    // JD1's radius made smaller: its tangents, the stations after it and the band change.
    EditTableModel& plan = document.PlanModel();
    plan.setData(plan.index(1, kPlanRadius), QStringLiteral("700"));
    ASSERT_TRUE(document.PlanIsCurrent()) << document.PlanStatus().toStdString();
    EXPECT_NE(document.CurrentPlan(), before);
    EXPECT_NE(document.CurrentPlan()->EndStation(), before->EndStation());
    EXPECT_NE(listing.index(1, 9).data().toString(), tangentBefore);
    ASSERT_TRUE(band());
    EXPECT_NE(band()->pieces.back().end, bandBefore->pieces.back().end);
    EXPECT_EQ(band()->pieces.back().end, document.CurrentPlan()->EndStation());

    document.UndoStack().undo();
    EXPECT_EQ(document.CurrentPlan()->EndStation(), before->EndStation());
    EXPECT_EQ(listing.index(1, 9).data().toString(), tangentBefore);
    EXPECT_EQ(band()->pieces.back().end, bandBefore->pieces.back().end);
}

TEST(RoadDocument, a_bad_cell_is_marked_with_its_reason_while_the_profile_keeps_computing) {
    ProfileDocument document;
    TypeRoad(document, test::PublishedPlanCases().front());
    EditTableModel& plan = document.PlanModel();
    struct Case {
        const char* name;
        int column;
        const char* text;
        bool saves;  // the cell reads, only the plan does not resolve
    } cases[] = {{"unreadable radius", kPlanRadius, "1200m", false},
                 {"negative radius", kPlanRadius, "-5", true},
                 {"spiral on the start row", -1, "", false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const std::shared_ptr<const Plan> valid = document.CurrentPlan();
        const int row = k.column < 0 ? 0 : 1, column = k.column < 0 ? kPlanSpiralIn : k.column;
        plan.setData(plan.index(row, column), k.column < 0 ? QStringLiteral("50") : QString::fromUtf8(k.text));
        EXPECT_FALSE(document.PlanIsCurrent());
        EXPECT_EQ(document.CurrentPlan(), valid);  // the last valid plan still shown
        ASSERT_FALSE(plan.Marks().empty());
        EXPECT_EQ(plan.Marks().front().row, row);
        EXPECT_EQ(plan.Marks().front().column, column);
        EXPECT_FALSE(plan.Marks().front().message.isEmpty());
        EXPECT_TRUE(document.CurrentProfile());
        EXPECT_EQ(document.TableProblem(), QString());
        QString notice;
        EXPECT_FALSE(document.Horizontal(&notice));  // no stale plan on a sheet
        EXPECT_FALSE(notice.isEmpty());
        EXPECT_EQ(document.SaveRefusal().isEmpty(), k.saves);
        document.UndoStack().undo();
        EXPECT_TRUE(document.PlanIsCurrent());
    }
}

TEST(RoadDocument, a_profile_without_a_plan_saves_no_invented_line) {
    io::testing::ScratchFolder folder;
    ProfileDocument document;
    ASSERT_EQ(document.Open(DataFile("buildingsmart_al01_overlap.xml")), QString());
    EXPECT_FALSE(document.CurrentPlan());
    const QStringList names = document.ProfileNames();
    const std::string path = folder.File("profile.xml");
    ASSERT_EQ(document.Save(Q(path), io::ProfileFormat::LandXml).toStdString(), "");
    // What the schema makes the file hold is no route to any reader of Tarnvel's.
    const io::Result<ElementList> elements = io::ReadLandXmlElementsFile(path, {});
    ASSERT_TRUE(elements.ok());
    EXPECT_TRUE(elements.value().elements.empty());
    ProfileDocument opened;
    ASSERT_EQ(opened.Open(Q(path)), QString());
    EXPECT_FALSE(opened.CurrentPlan());
    EXPECT_EQ(opened.PlanModel().rowCount(), 0);
    QString notice;
    EXPECT_FALSE(opened.Horizontal(&notice));
    EXPECT_EQ(notice, QString());
    EXPECT_EQ(opened.ProfileNames(), names);  // the alignment keeps its name
    // A CSV profile without a plan writes no 交点表 beside it.
    ASSERT_EQ(opened.Save(Q(folder.File("profile.csv")), io::ProfileFormat::Csv), QString());
    EXPECT_FALSE(QFile::exists(Q(folder.File("profile-交点表.csv"))));
}


// A 交点表 copied from a spreadsheet: with a header the reader knows, its
// columns are found whatever their order and whatever stands beside them.
TEST(RoadDocument, a_pasted_block_with_a_header_lands_in_the_table_columns) {
    const struct {
        const char* name;
        const char* block;
        LengthUnit unit;
        std::optional<std::vector<QStringList>> rows;
    } cases[] = {
        {"title row, columns in another order, a column beside",
         "某公路交点表\n交点号\t桩号\t备注\tY\tX\tR\tLs\nQD\tK1+000\t起\t500\t100\t\t\n"
         "JD1\t\t\t800\t400\t300\t40\nZD\t\t\t900\t900\t\t\n",
         LengthUnit::Metre,
         std::vector<QStringList>{{"QD", "100", "500", "", "", "", "K1+000.000"},
                                  {"JD1", "400", "800", "300", "40", "40", ""},
                                  {"ZD", "900", "900", "", "", "", ""}}},
        {"millimetres held as metres", "点名\tX(mm)\tY(mm)\tR(mm)\t桩号(mm)\nQD\t1000\t0\t\t0\nJD1\t2000\t2000\t500000\t\nZD\t3000\t0\t\t\n",
         LengthUnit::Metre,
         std::vector<QStringList>{{"QD", "1", "0", "", "", "", "K0+000.000"},
                                  {"JD1", "2", "2", "500", "0", "0", ""},
                                  {"ZD", "3", "0", "", "", "", ""}}},
        {"no header: pasted as it is", "JD1\t400\t800\t300\n", LengthUnit::Metre, std::nullopt},
        {"feet into a table in metres", "点名\tX[ft]\tY[ft]\tR[ft]\t桩号[ft]\nQD\t1\t0\t\t0\nZD\t3\t0\t\t\n",
         LengthUnit::Metre, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlanColumnsOfBlock(ParseTabBlock(QString::fromUtf8(c.block)), c.unit), c.rows);
    }
}

// A compound curve (two radii without a straight between) is no 交点表: the
// route stays as its elements, shown and saved, never lost to a CSV.
TEST(RoadDocument, a_route_no_intersection_table_expresses_is_kept_as_read_only_elements) {
    const double pi = std::numbers::pi, s30 = std::sin(pi / 6), c30 = std::cos(pi / 6);
    const auto element = [](PlanElementKind kind, PlanPoint start, PlanPoint end, double length, double radius) {
        GivenElement g;
        g.kind = kind;
        g.start = start;
        g.end = end;
        g.length = length;
        g.clockwise = true;
        if (kind == PlanElementKind::Arc) g.radiusStart = g.radiusEnd = radius;
        if (kind == PlanElementKind::Arc) g.center = radius == 100 ? PlanPoint{100, 100} : PlanPoint{0, 100};
        return g;
    };
    ElementList list;
    list.name = "compound";
    list.elements = {element(PlanElementKind::Line, {0, 0}, {100, 0}, 100, 0),
                     element(PlanElementKind::Arc, {100, 0}, {200, 100}, 100 * pi / 2, 100),
                     element(PlanElementKind::Arc, {200, 100}, {200 * c30, 100 + 200 * s30}, 200 * pi / 6, 200),
                     element(PlanElementKind::Line, {200 * c30, 100 + 200 * s30},
                             {200 * c30 - 100 * s30, 100 + 200 * s30 + 100 * c30}, 100, 0)};
    std::vector<PlanProblem> problems;
    const std::optional<Plan> plan = Plan::Resolve(list, &problems);
    ASSERT_TRUE(plan) << (problems.empty() ? "" : DescribePlanProblem(problems.front()));
    ProfileModel model{"p", LengthUnit::Metre, {{{0, 0}, 100, {}}, {{300, 0}, 103, {}}}, {}};
    io::testing::ScratchFolder folder;
    const std::string path = folder.File("road.xml");
    const io::Result<std::string> bytes = io::RoadLandXmlBytes({model, "compound", {}, {}, &*plan, nullptr}, {}, path);
    ASSERT_TRUE(bytes.ok());
    { std::ofstream(path, std::ios::binary) << bytes.value(); }

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ProfileDocument document;
        ASSERT_EQ(document.Open(Q(path)), QString());
        EXPECT_TRUE(document.PlanIsElements());
        EXPECT_EQ(document.PlanModel().rowCount(), 0);
        EXPECT_TRUE(document.PlanStatus().contains(QStringLiteral("只读"))) << document.PlanStatus().toStdString();
        ASSERT_TRUE(document.CurrentPlan());
        EXPECT_EQ(document.CurrentPlan()->Elements().size(), 4u);
        CurveTableModel listing;
        listing.SetPlan(document.CurrentPlan());
        EXPECT_EQ(listing.rowCount(), 4);  // the elements, as the route has no JDs
        QString notice;
        EXPECT_TRUE(document.Horizontal(&notice));
        EXPECT_FALSE(document.Save(Q(folder.File("road.csv")), io::ProfileFormat::Csv).isEmpty());
        EXPECT_FALSE(QFile::exists(Q(folder.File("road.csv"))));
        // Saved as LandXML (into itself), it opens the same in the next round.
        ASSERT_EQ(document.Save(Q(path), io::ProfileFormat::LandXml), QString());
    }
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(RoadDocument, a_kept_table_another_program_left_stale_gives_way_to_the_geometry_and_a_file_in_feet_is_not_written_into) {
    io::testing::ScratchFolder folder;
    ProfileDocument typed;
    TypeRoad(typed, test::PublishedPlanCases().front());
    const std::string path = folder.File("road.xml");
    ASSERT_EQ(typed.Save(Q(path), io::ProfileFormat::LandXml), QString());

    // The table changed by hand, the geometry not: the geometry is the road.
    std::string text = FileText(path);
    const std::size_t radius = text.find("radius=\"816.926\"", text.find("<tarnvel:JD name=\"JD1\""));
    ASSERT_NE(radius, std::string::npos);
    text.replace(radius, 16, "radius=\"700\"");
    { std::ofstream(path, std::ios::binary) << text; }
    ProfileDocument opened;
    ASSERT_EQ(opened.Open(Q(path)), QString());
    ASSERT_TRUE(opened.CurrentPlan());
    EXPECT_TRUE(opened.PlanStatus().contains(QStringLiteral("不一致"))) << opened.PlanStatus().toStdString();
    EXPECT_EQ(opened.CurrentPlan()->Elements().size(), typed.CurrentPlan()->Elements().size());
    EXPECT_NEAR(opened.CurrentPlan()->EndStation(), typed.CurrentPlan()->EndStation(), 1e-6);

    // A LandXML file in feet keeps its numbers: the road in metres is not written into it.
    const std::string feet = folder.File("feet.xml");
    const std::string feetText =
        "<?xml version=\"1.0\"?><LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" version=\"1.2\">"
        "<Units><Imperial linearUnit=\"foot\"/></Units><Surfaces><Surface name=\"EG\"/></Surfaces></LandXML>";
    { std::ofstream(feet, std::ios::binary) << feetText; }
    EXPECT_FALSE(typed.Save(Q(feet), io::ProfileFormat::LandXml).isEmpty());
    EXPECT_EQ(FileText(feet), feetText);
}

}  // namespace
}  // namespace tarnvel::ui::profile
