// The plan widgets offscreen, through fake seams: the 逐桩坐标表 of the shared
// stakeout case (its rows, its copy with the header, its 放样数据 file the
// same rows the command line writes), a station shown from elsewhere, and
// the query round trip station + offset → X, Y → station + offset with H and
// 填挖 from a profile and its ground.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "core/calculator/number_text.h"
#include "core/profile/ground_line.h"
#include "core/text/stakeout_text.h"
#include "io/gbk.h"
#include "tests/io/scratch_folder.h"
#include "tests/plan_cases.h"
#include "tests/profile_builders.h"
#include "tests/ui/support/fakes.h"
#include "tests/ui/support/modal_watchdog.h"
#include "ui/plan/coordinate_panel.h"
#include "ui/plan/plan_query.h"

namespace tarnvel::ui::plan {
namespace {

using testing::FakeFileDialog;
using testing::FakeLauncher;
using testing::FakeMessageBox;

class PlanWidgetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const test::StakeoutCase c = test::StakeoutRouteCase();
        plan = std::make_shared<const Plan>(*Plan::Resolve(c.table));
        // 1 % from K23+000, through the same long chain.
        ProfileModel model{"grade", LengthUnit::Metre, {test::Point(23000, 100), test::Point(24000, 110)}, {{23450, 23430}}};
        profile = std::make_shared<const Profile>(test::Resolved(model));
        GroundModel ground{"ground", GroundStations::Labels, {{{23300, 0}, 101, 0}, {{23500, 0}, 107, 0}}};
        groundLine = std::make_shared<const GroundLine>(*GroundLine::Make(ground, *profile));
        panel = std::make_unique<CoordinatePanel>(Services{messages, files, launcher});
        panel->resize(900, 600);
        panel->show();
    }

    template <class Widget>
    Widget* Find(const char* name) {
        auto* widget = panel->findChild<Widget*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Type(const char* box, const QString& text) { Find<QLineEdit>(box)->setText(text); }
    void Click(const char* button) { Find<QPushButton>(button)->click(); }
    QString Cell(int row, int column) { return panel->Model().data(panel->Model().index(row, column)).toString(); }

    // The shared case's range with 边桩 of 20 m on both sides.
    void ListTheCase() {
        const test::StakeoutCase c = test::StakeoutRouteCase();
        Type("CoordFrom", QString::fromUtf8(c.from.data(), static_cast<qsizetype>(c.from.size())));
        Type("CoordTo", QString::fromUtf8(c.to.data(), static_cast<qsizetype>(c.to.size())));
        Type("CoordStep", QStringLiteral("10"));
        Find<QCheckBox>("CoordKeyPoints")->setChecked(false);
        Find<QCheckBox>("CoordSameSides")->setChecked(true);
        Type("CoordLeft", QStringLiteral("20"));
        Click("CoordRun");
    }

    FakeMessageBox messages;
    FakeFileDialog files;
    FakeLauncher launcher;
    testing::ModalWatchdog watchdog;
    io::testing::ScratchFolder folder;
    std::shared_ptr<const Plan> plan;
    std::shared_ptr<const Profile> profile;
    std::shared_ptr<const GroundLine> groundLine;
    std::unique_ptr<CoordinatePanel> panel;
};

TEST_F(PlanWidgetsTest, the_table_lists_copies_and_exports_the_points_the_command_line_writes) {
    panel->SetRoad(plan, nullptr, nullptr);
    // The range boxes offer the route's ends so that they read back as the ends themselves.
    const auto box = [&](const char* name) {
        return plan->InternalOf(*ParseStation(Find<QLineEdit>(name)->text().toStdString()));
    };
    EXPECT_EQ(box("CoordFrom"), plan->StartStation());
    EXPECT_EQ(box("CoordTo"), plan->EndStation());
    ListTheCase();
    // A new snapshot of the road lists again with the range the user typed.
    panel->SetRoad(std::make_shared<const Plan>(*plan), nullptr, nullptr);
    ASSERT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join('\n').toStdString();
    const test::StakeoutCase c = test::StakeoutRouteCase();
    ASSERT_EQ(panel->Model().rowCount(), static_cast<int>(c.names.size()));
    ASSERT_EQ(panel->Model().columnCount(), 6);  // no 设计高程 without a profile
    // K23+400 left, centre, right: rows 3, 4, 5 in the published places.
    for (int i = 0; i < 3; ++i) {
        const test::CasePoint& want = c.known[static_cast<std::size_t>(i)].second;
        EXPECT_EQ(Cell(3 + i, 0), QStringLiteral("K23+400.000"));
        EXPECT_NEAR(Cell(3 + i, 1).toDouble(), want.offset, 1e-9);
        EXPECT_NEAR(Cell(3 + i, 2).toDouble(), want.north, c.tolerance);
        EXPECT_NEAR(Cell(3 + i, 3).toDouble(), want.east, c.tolerance);
    }

    Click("CoordCopy");
    const QStringList lines = QApplication::clipboard()->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), static_cast<int>(c.names.size()) + 1);
    EXPECT_EQ(lines[0], QStringLiteral("桩号\t偏距\tX(北)\tY(东)\t方位角\t备注"));
    EXPECT_TRUE(lines[14].startsWith(QStringLiteral("K23+430.000(1)\t0.000\t"))) << lines[14].toStdString();

    // 放样数据 in GBK: the very rows of the shared case, as the command line writes them.
    Find<QComboBox>("CoordStakeoutEncoding")->setCurrentIndex(1);
    files.answers.push_back(QString::fromStdString(folder.File("放样")));
    Click("CoordExportStakeoutCsv");
    const std::string bytes = io::testing::ReadBytes(folder.File("放样.csv"));
    const QStringList rows = QString::fromStdString(io::GbkToUtf8(bytes)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), static_cast<int>(c.names.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList cells = rows[i].split(',');
        ASSERT_EQ(cells.size(), 5);
        EXPECT_EQ(cells[0].toStdString(), c.names[static_cast<std::size_t>(i)]);
        EXPECT_EQ(cells[1], QString());
        EXPECT_EQ(cells[2], Cell(i, 3));  // east is the table's Y
        EXPECT_EQ(cells[3], Cell(i, 2));
    }

    // Side stakes that would share a name are refused with the reason, the table emptied.
    Find<QCheckBox>("CoordSameSides")->setChecked(false);
    Type("CoordRight", QStringLiteral("20, 20.0001"));
    Click("CoordRun");
    ASSERT_EQ(messages.prompts.size(), 1);
    EXPECT_TRUE(messages.prompts[0].contains(QStringLiteral("同名"))) << messages.prompts[0].toStdString();
    EXPECT_EQ(panel->Model().rowCount(), 0);
}

TEST_F(PlanWidgetsTest, stations_shown_and_chosen_meet_in_the_table) {
    panel->SetRoad(plan, profile, groundLine);
    ListTheCase();
    ASSERT_EQ(panel->Model().columnCount(), 7);
    // H on the centre row only.
    EXPECT_EQ(Cell(1, 5), QString::fromStdString(FixedText(100 + 390 * 10.0 / 1020, 3)));
    EXPECT_EQ(Cell(0, 5), QString());

    QSignalSpy chosen(panel.get(), &CoordinatePanel::StationChosen);
    const double k23410 = plan->InternalOf({23410, 0});
    panel->ShowStation(k23410 + 0.2);
    auto* table = Find<QTableView>("CoordinateTable");
    EXPECT_EQ(table->currentIndex().row(), 6);  // K23+410's first row
    EXPECT_EQ(chosen.count(), 0);               // shown, not chosen
    table->setCurrentIndex(panel->Model().index(13, 0));
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_DOUBLE_EQ(chosen.at(0).at(0).toDouble(), plan->InternalOf({23430, 1}));
}

TEST_F(PlanWidgetsTest, the_query_goes_from_station_to_point_and_back) {
    panel->SetRoad(plan, profile, groundLine);
    PlanQuery& query = panel->Query();
    QSignalSpy chosen(panel.get(), &CoordinatePanel::StationChosen);
    struct Case {
        const char* station;
        const char* offset;
        double internalStation;  // a label without occurrence
        int occurrence;
    };
    const Case cases[] = {{"K23+400", "-20", 23400, 0}, {"K23+300", "", 23300, 0}, {"K23+440(2)", "7.5", 23440, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.station);
        Type("PlanQueryStation", QString::fromUtf8(c.station));
        Type("PlanQueryOffset", QString::fromUtf8(c.offset));
        ASSERT_TRUE(query.PointAnswer()) << query.PointText().toStdString();
        const PlanAnswer there = *query.PointAnswer();
        Type("PlanQueryNorth", QString::fromStdString(FixedText(there.at.north, 4)));
        Type("PlanQueryEast", QString::fromStdString(FixedText(there.at.east, 4)));
        ASSERT_TRUE(query.StationAnswer()) << query.StationText().toStdString();
        const PlanAnswer back = *query.StationAnswer();
        EXPECT_NEAR(back.internal, there.internal, 1e-4);
        EXPECT_NEAR(back.offset, there.offset, 1e-4);
        EXPECT_EQ(back.label.occurrence, c.occurrence);
        // The same H both ways, and 填挖 against the ground where it reaches.
        ASSERT_TRUE(there.elevation && back.elevation);
        EXPECT_NEAR(*back.elevation, *there.elevation, 1e-4);
        EXPECT_TRUE(query.StationText().contains(QStringLiteral("中桩设计高程")));
    }
    // K23+300: the design (10 m over the 1020 m the long chain makes) above the ground's 101 m.
    Type("PlanQueryStation", QStringLiteral("K23+300"));
    Type("PlanQueryOffset", QString());
    const QString fill = QStringLiteral("填 %1 m").arg(QString::fromStdString(FixedText(100 + 300 * 10.0 / 1020 - 101, 3)));
    EXPECT_TRUE(query.PointText().contains(fill)) << query.PointText().toStdString();
    EXPECT_GT(chosen.count(), 0);
    // Off the route: said in words, nothing chosen.
    const int before = chosen.count();
    Type("PlanQueryNorth", QStringLiteral("0"));
    Type("PlanQueryEast", QStringLiteral("0"));
    EXPECT_FALSE(query.StationAnswer());
    EXPECT_TRUE(query.StationText().contains(QStringLiteral("超过"))) << query.StationText().toStdString();
    EXPECT_EQ(chosen.count(), before);
}

}  // namespace
}  // namespace tarnvel::ui::plan
