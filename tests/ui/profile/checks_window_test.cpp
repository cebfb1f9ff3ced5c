// The control table and the designer's criteria in the window, on the shared
// check case: a pasted control table, its marks over the plot and in the
// status line; the criteria dialog applied, refused, exported and remembered.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QUndoStack>

#include "io/control_files.h"
#include "tests/check_cases.h"
#include "tests/ui/profile/profile_fixture.h"
#include "ui/profile/criteria_dialog.h"
#include "ui/profile/edit_table_view.h"
#include "ui/profile/plot/plot_widget.h"
#include "ui/profile/profile_document.h"
#include "ui/profile/pvi_table.h"

namespace tarnvel::ui::testing {
namespace {

class ChecksWindowTest : public ProfileWindowTest {
protected:
    profile::ProfileDocument& Doc() { return window().Document(); }
    void SetUpCase() {
        PasteRows(profile::PviRowsOf(test::CheckCases().front().design.points));
        ASSERT_TRUE(window().CurrentProfile() != nullptr);
    }
    QString Status() { return Control<QLabel>(QStringLiteral("ProfileStatus"))->text(); }
    profile::CriteriaDialog* OpenCriteria() {
        auto* action = window().findChild<QAction*>(QStringLiteral("DesignCriteria"));
        EXPECT_NE(action, nullptr);
        action->trigger();
        return window().findChild<profile::CriteriaDialog*>(QStringLiteral("CriteriaDialog"));
    }
    void Fill(profile::CriteriaDialog* dialog, Criterion criterion, const QString& text) {
        dialog->findChild<QLineEdit*>(profile::CriteriaDialog::BoxName(criterion))->setText(text);
    }
};

TEST_F(ChecksWindowTest, a_pasted_control_table_is_marked_over_the_plot_and_named_in_the_status_line) {
    SetUpCase();
    auto* view = Control<profile::EditTableView>(QStringLiteral("ControlTable"));
    ASSERT_NE(view, nullptr);
    view->setCurrentIndex(QModelIndex());
    QApplication::clipboard()->setText(QStringLiteral(
        "控制标高\t\t\t\t\r\n名称\t桩号\t备注\t最低高程\t最高高程\r\n涵洞最小填土\tK0+100\t\t101.5\t\r\n"
        "桥面\tK0+400\t左幅\t\t106\r\n平交口\tK0+800\t\t102.6\t104\r\n"));
    view->Paste();
    EXPECT_EQ(Doc().ControlTable().Rows(),
              (std::vector<QStringList>{{"K0+100", "101.5", "", "涵洞最小填土"},
                                        {"K0+400", "", "106", "桥面"},
                                        {"K0+800", "102.6", "104", "平交口"}}));
    const auto* plot = Control<PlotWidget>(QStringLiteral("ProfilePlot"));
    ASSERT_EQ(plot->controls().size(), 3u);
    EXPECT_FALSE(plot->controls()[0].violated);
    EXPECT_TRUE(plot->controls()[1].violated);
    EXPECT_TRUE(plot->controls()[2].violated);
    EXPECT_TRUE(Status().contains(QStringLiteral("2个控制点不满足。桥面（K0+400）：设计高程高于最高高程 0.469 米。")))
        << Status().toStdString();
    // Raising the bridge's bound clears its mark; the undo brings it back.
    Doc().ControlTable().setData(Doc().ControlTable().index(1, 2), QStringLiteral("107"));
    EXPECT_FALSE(Control<PlotWidget>(QStringLiteral("ProfilePlot"))->controls()[1].violated);
    window().UndoStack().undo();
    EXPECT_TRUE(plot->controls()[1].violated);
}

TEST_F(ChecksWindowTest, the_criteria_dialog_applies_refuses_exports_and_is_remembered) {
    SetUpCase();
    profile::CriteriaDialog* dialog = OpenCriteria();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->findChild<QLabel*>(QStringLiteral("CriteriaNote"))->text().contains(QStringLiteral("不附带任何标准的数值")));
    Fill(dialog, Criterion::MinCrestRadius, QStringLiteral("12000"));
    Fill(dialog, Criterion::MaxGrade, QStringLiteral("0"));
    dialog->findChild<QPushButton*>(QStringLiteral("CriteriaOk"))->click();
    EXPECT_TRUE(dialog->isVisible()) << "a maximum grade of 0 is refused";
    EXPECT_TRUE(dialog->findChild<QLabel*>(QStringLiteral("CriteriaProblem"))->text().contains(QStringLiteral("最大纵坡")));
    EXPECT_TRUE(Doc().Criteria().Empty());

    Fill(dialog, Criterion::MaxGrade, QString());
    files.answers.push_back(Path(QStringLiteral("标准")));
    dialog->findChild<QPushButton*>(QStringLiteral("CriteriaExport"))->click();
    const io::Result<DesignCriteria> exported = io::ReadCriteriaFile(Path(QStringLiteral("标准.csv")).toStdString());
    ASSERT_TRUE(exported.ok()) << exported.failure().message;
    EXPECT_EQ(exported.value().minCrestRadius, 12000);

    dialog->findChild<QPushButton*>(QStringLiteral("CriteriaOk"))->click();
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_EQ(Doc().Violations().size(), 1u);
    // The crest PVI is the elements table's first row: coloured, the criterion in its tooltip.
    auto* elements = Control<QTableView>(QStringLiteral("ElementsTable"));
    EXPECT_TRUE(elements->model()->index(0, 0).data(Qt::ToolTipRole).toString().contains(QStringLiteral("凸形竖曲线最小半径")));
    EXPECT_TRUE(Status().contains(QStringLiteral("设计标准：1处不满足")));
    EXPECT_TRUE(MarkOf(Pvi(), 1, profile::kPviRadius).contains(QStringLiteral("差 2000 米")));

    // A new window starts with the criteria last applied.
    ResetWindow(MakeWindow());
    EXPECT_EQ(window().Document().Criteria().minCrestRadius, 12000);
    EXPECT_FALSE(window().Document().IsModified());
}

}  // namespace
}  // namespace tarnvel::ui::testing
