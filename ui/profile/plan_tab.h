#pragma once
// The 平面 tab of the road window: the editable 交点表 (one command per edit on
// the document's undo stack, bad cells marked with their reason), the
// read-only 直线、曲线及转角表 computed from it, the plan's status, and the
// places kept for the plan view (planViewSlot) and the 逐桩坐标 panel
// (planPanelSlot), which follow the document through CurrentPlan() and
// PlanChanged().

#include <QWidget>

#include <functional>

class QLabel;
class QSplitter;
class QTableView;

namespace tarnvel::ui::profile {

class CurveTableModel;
class EditTableView;
class ProfileDocument;

class PlanTab : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlanTab)

public:
    // `rowsCommand(view, command)`: add, insert or delete rows, as the
    // window's other tables do (0, 1, 2).
    PlanTab(ProfileDocument& document, const std::function<void(EditTableView*, int)>& rowsCommand,
            QWidget* parent = nullptr);

    EditTableView* IntersectionView() const { return planView_; }
    QTableView* CurveView() const { return curveView_; }
    // The right-hand splitter holding planViewSlot over planPanelSlot: the
    // widgets built elsewhere take the slots' places.
    QSplitter* ViewSplitter() const { return viewSplitter_; }

private:
    void ShowPlan();
    void ShowStatus();

    ProfileDocument& document_;
    EditTableView* planView_ = nullptr;
    QTableView* curveView_ = nullptr;
    CurveTableModel* curveModel_ = nullptr;
    QLabel* status_ = nullptr;
    QSplitter* viewSplitter_ = nullptr;
};

}  // namespace tarnvel::ui::profile
