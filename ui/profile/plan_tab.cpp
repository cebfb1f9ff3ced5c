#include "ui/profile/plan_tab.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/profile/column_fit.h"
#include "ui/profile/curve_table_model.h"
#include "ui/profile/edit_table_model.h"
#include "ui/profile/edit_table_view.h"
#include "ui/profile/plan_table.h"
#include "ui/plan/coordinate_panel.h"
#include "ui/plan/plan_view.h"
#include "ui/profile/profile_document.h"
#include "ui/profile/table_box.h"

namespace tarnvel::ui::profile {
namespace {


}  // namespace

PlanTab::PlanTab(ProfileDocument& document, const Services& services,
                 const std::function<void(EditTableView*, RowsAction)>& rowsCommand, QWidget* parent)
    : QWidget(parent), document_(document), curveModel_(new CurveTableModel(this)) {
    setObjectName(QStringLiteral("PlanTab"));
    planView_ = new EditTableView;
    planView_->setObjectName(QStringLiteral("IntersectionTable"));
    planView_->SetEditModel(&document.PlanModel());
    // A 交点表 copied from a spreadsheet with its header lands in the right columns.
    planView_->SetBlockReader(
        [this](const std::vector<QStringList>& block) { return PlanColumnsOfBlock(block, document_.Unit()); });
    QGroupBox* planBox = TableBox(QStringLiteral("交点表"), QStringLiteral("Plan"), planView_, this, rowsCommand);

    curveView_ = new QTableView;
    curveView_->setObjectName(QStringLiteral("CurveTable"));
    curveView_->setModel(curveModel_);
    curveView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    curveView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    AddBlockCopy(curveView_, true);
    auto* curveBox = new QGroupBox(QStringLiteral("直线、曲线及转角表"));
    (new QVBoxLayout(curveBox))->addWidget(curveView_);

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("PlanStatus"));
    status_->setWordWrap(false);  // one line: a wrapped label asks the scrolled tab for height it lacks

    auto* tables = new QSplitter(Qt::Vertical);
    tables->setObjectName(QStringLiteral("PlanTablesSplitter"));
    tables->addWidget(planBox);
    tables->addWidget(curveBox);
    viewSplitter_ = new QSplitter(Qt::Vertical);
    viewSplitter_->setObjectName(QStringLiteral("PlanViewSplitter"));
    map_ = new PlanView;
    map_->setObjectName(QStringLiteral("PlanView"));
    coordinates_ = new plan::CoordinatePanel(services);
    coordinates_->setObjectName(QStringLiteral("CoordinatePanel"));
    auto* mapBox = new QGroupBox(QStringLiteral("平面图"));
    (new QVBoxLayout(mapBox))->addWidget(map_);
    auto* coordinatesBox = new QGroupBox(QStringLiteral("逐桩坐标"));
    (new QVBoxLayout(coordinatesBox))->addWidget(coordinates_);
    viewSplitter_->addWidget(mapBox);
    viewSplitter_->addWidget(coordinatesBox);
    viewSplitter_->setStretchFactor(0, 3);
    viewSplitter_->setStretchFactor(1, 2);
    auto* main = new QSplitter(Qt::Horizontal);
    main->setObjectName(QStringLiteral("PlanSplitter"));
    main->addWidget(tables);
    main->addWidget(viewSplitter_);
    main->setStretchFactor(0, 2);
    main->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(main, 1);
    layout->addWidget(status_);

    // A point chosen in the 交点表 is shown in the 直线、曲线及转角表 (its rows: the start, the JDs, the end).
    connect(planView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
        const int row = curveModel_->RowOfPoint(current.row());
        if (row < 0) return;
        curveView_->selectRow(row);
        curveView_->scrollTo(curveModel_->index(row, 0));
    });
    // A JD chosen in the 直线、曲线及转角表 is shown on the plan at its curve's middle (QZ).
    connect(curveView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
        if (const auto station = curveModel_->MiddleOfRow(current.row())) map_->ShowStation(*station);
    });
    connect(&document, &ProfileDocument::PlanChanged, this, &PlanTab::ShowPlan);
    connect(&document, &ProfileDocument::ProfileChanged, this, &PlanTab::ShowRoad);
    connect(&document, &ProfileDocument::FileChanged, this,
            [this] { coordinates_->SetDocumentPath(document_.SourcePath()); });
    // A station picked in the drawing or the 逐桩坐标表 is shown in the other and told to the window.
    connect(map_, &PlanView::StationChosen, this, [this](double internal) {
        coordinates_->ShowStation(internal);
        emit StationChosen(internal);
    });
    connect(coordinates_, &plan::CoordinatePanel::StationChosen, this, [this](double internal) {
        map_->ShowStation(internal);
        emit StationChosen(internal);
    });
    connect(&document, &ProfileDocument::PlanRecomputed, this, &PlanTab::ShowStatus);
    connect(&document, &ProfileDocument::Replaced, this, [this] { FitColumnsToSample(planView_); });
    KeepColumnsFitted(planView_);
    KeepColumnsFitted(curveView_);
    ShowPlan();
    ShowStatus();
}

void PlanTab::ShowPlan() {
    curveModel_->SetPlan(document_.CurrentPlan());
    FitColumnsToSample(curveView_);
    ShowRoad();
}

void PlanTab::ShowRoad() {
    map_->SetRoad(document_.CurrentPlan(), document_.CurrentProfile(), document_.CurrentGround());
    coordinates_->SetRoad(document_.CurrentPlan(), document_.CurrentProfile(), document_.CurrentGround());
}

void PlanTab::ShowStation(double internal) {
    map_->ShowStation(internal);
    coordinates_->ShowStation(internal);
}

void PlanTab::ShowStatus() {
    QString text = document_.PlanStatus();
    if (text.isEmpty()) {
        if (document_.CurrentPlan())
            text = QStringLiteral("%1个交点").arg(document_.CurrentPlan()->CurveTable().size());
        else
            text = QStringLiteral("没有平面：请在交点表中输入或粘贴交点，或导入含平面线形的 LandXML 文件。");
    } else if (document_.CurrentPlan() && !document_.PlanIsCurrent()) {
        text += QStringLiteral("  其余部分显示最后一次有效的平面。");
    }
    status_->setText(text);
}

}  // namespace tarnvel::ui::profile
