#pragma once
// The 平面 tab of the road window: the editable 交点表 (one command per edit on
// the document's undo stack, bad cells marked with their reason), the
// read-only 直线、曲线及转角表 computed from it, the plan's status, the plan
// drawing and the 逐桩坐标 panel, both following the document's plan,
// profile and ground. A station chosen in either is shown in the other.

#include <QWidget>

#include <functional>

#include "ui/profile/table_box.h"
#include "ui/seams.h"

class QLabel;
class QSplitter;
class QTableView;

namespace tarnvel::ui {
class PlanView;
}
namespace tarnvel::ui::plan {
class CoordinatePanel;
}

namespace tarnvel::ui::profile {

class CurveTableModel;
class EditTableView;
class ProfileDocument;

class PlanTab : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlanTab)

public:
    // `rowsCommand(view, action)`: add, insert or delete rows, as the
    // window's other tables do.
    PlanTab(ProfileDocument& document, const Services& services,
            const std::function<void(EditTableView*, RowsAction)>& rowsCommand, QWidget* parent = nullptr);

    EditTableView* IntersectionView() const { return planView_; }
    QTableView* CurveView() const { return curveView_; }
    QSplitter* ViewSplitter() const { return viewSplitter_; }
    PlanView* Map() const { return map_; }
    plan::CoordinatePanel* Coordinates() const { return coordinates_; }
    // A station chosen elsewhere (the profile's query): marked in the drawing
    // and selected in the 逐桩坐标表, without StationChosen.
    void ShowStation(double internal);

signals:
    void StationChosen(double internal);

private:
    void ShowPlan();
    void ShowRoad();  // the plan, profile and ground to the drawing and the panel
    void ShowStatus();

    ProfileDocument& document_;
    EditTableView* planView_ = nullptr;
    QTableView* curveView_ = nullptr;
    CurveTableModel* curveModel_ = nullptr;
    QLabel* status_ = nullptr;
    QSplitter* viewSplitter_ = nullptr;
    PlanView* map_ = nullptr;
    plan::CoordinatePanel* coordinates_ = nullptr;
};

}  // namespace tarnvel::ui::profile
