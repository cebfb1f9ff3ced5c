// Designing the grade line on the plot of the real window, as a user does:
// PVIs and curves dragged with the mouse (snapped, slid, cancelled), a PVI
// added by a double click and removed with Delete; each gesture one undo
// step on the PVI table, and the 填挖 summary following the drag.

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QMouseEvent>
#include <QToolButton>
#include <QUndoStack>

#include <cmath>

#include "core/profile/pvi_edit.h"
#include "tests/ui/profile/profile_fixture.h"
#include "ui/profile/plot/plot_widget.h"
#include "ui/profile/profile_document.h"
#include "ui/profile/pvi_table.h"

namespace tarnvel::ui::testing {
namespace {

class GradeLineTest : public ProfileWindowTest {
protected:
    void SetUp() override {
        ProfileWindowTest::SetUp();
        PasteRows(TwoCurveRows());
        // Flat ground at 102.5: fill over the crest, cut in the sag.
        window().Document().GroundTable().WriteBlock(0, 0, {{"K0+000", "102.5"}, {"K0+800", "102.5"}},
                                                     QStringLiteral("粘贴"));
        plot = Control<PlotWidget>(QStringLiteral("ProfilePlot"));
        ASSERT_TRUE(plot->profile() && plot->ground());
        plot->setFocus();
    }
    QPoint At(double station, double elevation) const {
        const DevicePoint d = plot->viewTransform().ToDevice({station, elevation});
        return QPointF(d.x, d.y).toPoint();
    }
    // A move with the left button held, with modifiers (QTest's move has none).
    void Move(QPoint to, Qt::KeyboardModifiers modifiers = {}) {
        QMouseEvent event(QEvent::MouseMove, QPointF(to), plot->mapToGlobal(QPointF(to)), Qt::NoButton,
                          Qt::LeftButton, modifiers);
        QApplication::sendEvent(plot, &event);
    }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mousePress(plot, Qt::LeftButton, {}, from);
        Move(from + (to - from) / 3, modifiers);
        Move(to, modifiers);
        QTest::mouseRelease(plot, Qt::LeftButton, modifiers, to);
    }
    QString Summary() { return Control<QPlainTextEdit>(QStringLiteral("FillCutSummary"))->toPlainText(); }

    PlotWidget* plot = nullptr;
};

TEST_F(GradeLineTest, a_snapped_drag_gives_round_grades_and_one_undo_step_and_the_summary_follows_it) {
    QUndoStack& undo = window().UndoStack();
    const int steps = undo.count();
    const std::vector<QStringList> before = Pvi().Rows();
    const QString summaryBefore = Summary();
    ASSERT_TRUE(summaryBefore.contains(QStringLiteral("填挖交界"))) << summaryBefore.toStdString();

    QTest::mousePress(plot, Qt::LeftButton, {}, At(200, 104));
    Move(At(215, 104.6));
    Move(At(233.7, 105.31));
    // While dragging: a draft on the plot, the tables untouched, the summary already following.
    ASSERT_TRUE(plot->isDragging());
    EXPECT_NE(plot->profile(), window().CurrentProfile());
    EXPECT_EQ(Pvi().Rows(), before);
    EXPECT_NE(Summary(), summaryBefore);
    const QString summaryDragged = Summary();
    QTest::mouseRelease(plot, Qt::LeftButton, {}, At(233.7, 105.31));

    ASSERT_EQ(undo.count(), steps + 1);
    const CurveElementsRow& moved = window().CurrentProfile()->Elements().at(0);
    EXPECT_EQ(moved.pviStation, 230) << "the station snapped to the 10 m step";
    EXPECT_NEAR(moved.gradeIn * 100, std::round(moved.gradeIn * 100), 1e-9) << "a grade of whole 0.01 %";
    EXPECT_EQ(Pvi().Cell(1, profile::kPviStation).toStdString(), "K0+230.000");
    EXPECT_EQ(Pvi().Cell(1, profile::kPviRadius).toStdString(), "2000") << "the curve kept";
    EXPECT_EQ(plot->profile(), window().CurrentProfile());
    EXPECT_EQ(Summary(), summaryDragged) << "the summary of the draft is the summary of the result";

    undo.undo();
    EXPECT_EQ(Pvi().Rows(), before);
    EXPECT_EQ(Summary(), summaryBefore);
}

TEST_F(GradeLineTest, escape_cancels_a_drag_and_ctrl_slides_along_the_grade_before) {
    QUndoStack& undo = window().UndoStack();
    const int steps = undo.count();
    const std::vector<QStringList> before = Pvi().Rows();
    const auto committed = window().CurrentProfile();

    QTest::mousePress(plot, Qt::LeftButton, {}, At(500, 101));
    Move(At(540, 98));
    ASSERT_TRUE(plot->isDragging());
    QTest::keyClick(plot, Qt::Key_Escape);
    EXPECT_FALSE(plot->isDragging());
    EXPECT_EQ(plot->profile(), committed);
    Move(At(560, 97));
    QTest::mouseRelease(plot, Qt::LeftButton, {}, At(560, 97));
    EXPECT_EQ(undo.count(), steps);
    EXPECT_EQ(Pvi().Rows(), before);
    EXPECT_EQ(plot->profile(), committed);

    // Ctrl: the −1 % grade before the sag PVI stays whatever the mouse does vertically.
    Drag(At(500, 101), At(563, 90), Qt::ControlModifier);
    ASSERT_EQ(undo.count(), steps + 1);
    // Copies: the next drag replaces the profile these rows belong to.
    const CurveElementsRow slid = window().CurrentProfile()->Elements().at(1);
    EXPECT_EQ(slid.pviStation, 560);
    EXPECT_NEAR(slid.gradeIn, -1, 1e-9);
    EXPECT_NEAR(slid.pviElevation, 100.4, 1e-9);
    // Shift: no snapping, the station to the millimetre wherever the mouse was.
    Drag(At(560, 100.4), At(583, 100), Qt::ShiftModifier | Qt::AltModifier);
    const CurveElementsRow free = window().CurrentProfile()->Elements().at(1);
    EXPECT_NE(std::fmod(free.pviStation, 10), 0);
    EXPECT_NEAR(free.gradeOut, slid.gradeOut, 1e-9) << "Alt keeps the grade after";

    // While a cell is at fault the plot shows the last valid profile, whose
    // points need not be the rows: a drag then writes nothing.
    Pvi().InsertEmptyRows(1, 1);
    const std::vector<QStringList> faulty = Pvi().Rows();
    const int faultySteps = undo.count();
    Drag(At(free.pviStation, free.pviElevation), At(free.pviStation + 30, free.pviElevation + 2));
    EXPECT_EQ(Pvi().Rows(), faulty);
    EXPECT_EQ(undo.count(), faultySteps);
    EXPECT_EQ(plot->profile(), window().CurrentProfile());
    EXPECT_TRUE(window().statusBar()->currentMessage().startsWith(QStringLiteral("表格中有问题")))
        << window().statusBar()->currentMessage().toStdString();
}

TEST_F(GradeLineTest, a_dragged_curve_middle_gives_a_round_radius) {
    // The crest at K0+200: R 2000, its middle 0.225 below the PVI.
    Drag(At(200, 103.775), At(200, 103.2));
    const QString radius = Pvi().Cell(1, profile::kPviRadius);
    bool ok = false;
    const double r = radius.toDouble(&ok);
    ASSERT_TRUE(ok) << radius.toStdString();
    EXPECT_GT(r, 2000);
    EXPECT_EQ(std::fmod(r, 100), 0) << r;
    EXPECT_EQ(Pvi().Cell(1, profile::kPviStation).toStdString(), "K0+200") << "the PVI stays, its cell as typed";
}

TEST_F(GradeLineTest, double_click_adds_a_pvi_on_the_line_and_delete_removes_it) {
    QUndoStack& undo = window().UndoStack();
    const int steps = undo.count();
    const auto original = window().CurrentProfile();
    const std::vector<QStringList> before = Pvi().Rows();

    QTest::mouseDClick(plot, Qt::LeftButton, {}, At(350, 102.5));
    ASSERT_EQ(Pvi().rowCount(), 5);
    EXPECT_EQ(undo.count(), steps + 1);
    EXPECT_EQ(Pvi().Cell(2, profile::kPviStation).toStdString(), "K0+350.000");
    EXPECT_EQ(Pvi().Cell(2, profile::kPviElevation).toStdString(), "102.5");
    EXPECT_EQ(Pvi().Cell(3, profile::kPviStation).toStdString(), "K0+500") << "the rows below moved down as typed";
    for (double s = 0; s <= 800; s += 25)
        EXPECT_NEAR(window().CurrentProfile()->At(s).elevation, original->At(s).elevation, 1e-9) << s;
    EXPECT_EQ(plot->selectedPvi(), 1);

    // On a curve nothing is added.
    QTest::mouseDClick(plot, Qt::LeftButton, {}, At(205, original->At(205).elevation));
    EXPECT_EQ(Pvi().rowCount(), 5);

    // The new PVI is selected: the arrows nudge it, Delete removes it, each one step.
    plot->setFocus();
    QTest::keyClick(plot, Qt::Key_Right);
    EXPECT_EQ(Pvi().Cell(2, profile::kPviStation).toStdString(), "K0+360.000");
    QTest::keyClick(plot, Qt::Key_Delete);
    EXPECT_EQ(undo.count(), steps + 3);
    EXPECT_EQ(Pvi().Rows(), before);
    undo.undo();
    undo.undo();
    undo.undo();
    EXPECT_EQ(Pvi().Rows(), before);
}

TEST_F(GradeLineTest, the_snapping_choices_are_remembered) {
    auto* snap = Control<QToolButton>(QStringLiteral("PlotSnap"));
    auto* station = Control<QComboBox>(QStringLiteral("PlotStationStep"));
    ASSERT_TRUE(snap->isChecked());
    station->setCurrentIndex(station->findData(20.0));
    snap->setChecked(false);
    EXPECT_EQ(plot->snap().stationStep, 20);
    EXPECT_FALSE(plot->snap().on);
    ResetWindow(MakeWindow());
    auto* again = window().findChild<PlotWidget*>(QStringLiteral("ProfilePlot"));
    EXPECT_EQ(again->snap().stationStep, 20);
    EXPECT_FALSE(again->snap().on);
}

}  // namespace
}  // namespace tarnvel::ui::testing
