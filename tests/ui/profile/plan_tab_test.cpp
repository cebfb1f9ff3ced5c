// The tab 平面 of the road window: one click from the profile, its 交点表
// edited through the window's undo, the 直线、曲线及转角表 following, and the
// places the plan view and the 逐桩坐标 panel go.

#include <QAction>
#include <QLineEdit>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QUndoStack>

#include "core/profile/station.h"
#include "tests/ui/profile/profile_fixture.h"
#include "ui/plan/plan_view.h"
#include "ui/profile/plot/plot_widget.h"
#include "ui/profile/edit_table_view.h"
#include "ui/profile/plan_table.h"
#include "ui/profile/profile_document.h"

namespace tarnvel::ui::testing {
namespace {

TEST_F(ProfileWindowTest, the_plan_tab_edits_the_intersections_and_shows_their_curve_table) {
    ASSERT_TRUE(window().OpenFile(DataFile("buildingsmart_stn02_chain.xml")));
    auto* tabs = Control<QTabWidget>("RoadTabs");
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("纵断面"));
    tabs->setCurrentIndex(1);

    auto* intersections = Control<profile::EditTableView>("IntersectionTable");
    auto* curves = Control<QTableView>("CurveTable");
    const int points = intersections->model()->rowCount();
    ASSERT_GT(points, 2);
    ASSERT_EQ(curves->model()->rowCount(), points);  // start, JDs, end
    const QString radius = curves->model()->index(1, 6).data().toString();

    // JD1's radius typed; the table follows; 撤销 brings it back.
    intersections->model()->setData(intersections->model()->index(1, profile::kPlanRadius), QStringLiteral("900"));
    EXPECT_EQ(curves->model()->index(1, 6).data().toString(), QStringLiteral("900.000"));
    window().findChild<QAction*>(QStringLiteral("UndoEdit"))->trigger();
    EXPECT_EQ(curves->model()->index(1, 6).data().toString(), radius);

    // A JD chosen in the 交点表 is chosen in the curve table.
    intersections->setCurrentIndex(intersections->model()->index(2, 0));
    EXPECT_EQ(curves->currentIndex().row(), 2);

    // 删除行 from the buttons above the 交点表, one undo step.
    intersections->selectionModel()->setCurrentIndex(intersections->model()->index(points - 1, 0),
                                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Control<QPushButton>("PlanDelete")->click();
    EXPECT_EQ(intersections->model()->rowCount(), points - 1);
    window().UndoStack().undo();
    EXPECT_EQ(intersections->model()->rowCount(), points);
    EXPECT_TRUE(window().Document().PlanIsCurrent());

    // One station in both views: the profile's query marks the plan, and a
    // station chosen on the plan marks the profile.
    auto* map = Control<PlanView>("PlanView");
    auto* plot = Control<PlotWidget>("ProfilePlot");
    const double start = window().Document().CurrentPlan()->StartStation();
    const Station label = window().Document().CurrentPlan()->LabelOf(start + 50);
    Control<QLineEdit>("QueryStation")->setText(QString::fromStdString(FormatStation(label, StationStyle::K, 3)));
    ASSERT_TRUE(map->markedStation());
    EXPECT_NEAR(*map->markedStation(), start + 50, 1e-9);
    emit map->StationChosen(start + 80);
    ASSERT_TRUE(plot->queryStation());
    EXPECT_NEAR(*plot->queryStation(), start + 80, 1e-9);

    // A JD chosen in the curve table is shown at its QZ, a PVI chosen in its table at its station.
    const CurveTableRow& jd2 = window().Document().CurrentPlan()->CurveTable().at(1);
    curves->setCurrentIndex(curves->model()->index(static_cast<int>(jd2.point), 0));
    ASSERT_TRUE(map->markedStation());
    EXPECT_NEAR(*map->markedStation(), jd2.qz, 1e-9);
    const auto profile = window().Document().CurrentProfile();
    Control<QTableView>("PviTable")->setCurrentIndex(window().Document().PviModel().index(2, 0));
    EXPECT_NEAR(*map->markedStation(), profile->InternalOf(profile->Model().points[2].station), 1e-9);
}

}  // namespace
}  // namespace tarnvel::ui::testing
