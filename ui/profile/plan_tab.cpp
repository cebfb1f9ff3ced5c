#include "ui/profile/plan_tab.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/profile/column_fit.h"
#include "ui/profile/curve_table_model.h"
#include "ui/profile/edit_table_model.h"
#include "ui/profile/edit_table_view.h"
#include "ui/profile/plan_table.h"
#include "ui/profile/profile_document.h"

namespace tarnvel::ui::profile {
namespace {

// A named empty place for a widget made elsewhere, saying what will be there.
QWidget* Slot(const QString& name, const QString& text) {
    auto* slot = new QLabel(text);
    slot->setObjectName(name);
    slot->setAlignment(Qt::AlignCenter);
    slot->setEnabled(false);
    return slot;
}

}  // namespace

PlanTab::PlanTab(ProfileDocument& document, const std::function<void(EditTableView*, int)>& rowsCommand,
                 QWidget* parent)
    : QWidget(parent), document_(document), curveModel_(new CurveTableModel(this)) {
    setObjectName(QStringLiteral("PlanTab"));
    planView_ = new EditTableView;
    planView_->setObjectName(QStringLiteral("IntersectionTable"));
    planView_->SetEditModel(&document.PlanModel());
    // A 交点表 copied from a spreadsheet with its header lands in the right columns.
    planView_->SetBlockReader(
        [this](const std::vector<QStringList>& block) { return PlanColumnsOfBlock(block, document_.Unit()); });
    auto* planBox = new QGroupBox(QStringLiteral("交点表"));
    auto* planLayout = new QVBoxLayout(planBox);
    auto* buttons = new QHBoxLayout;
    const struct {
        const char* name;
        const char* caption;
        int command;
    } kButtons[] = {{"PlanAdd", "添加行", 0}, {"PlanInsert", "插入行", 1}, {"PlanDelete", "删除行", 2}};
    for (const auto& b : kButtons) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption), planBox);
        button->setObjectName(QString::fromUtf8(b.name));
        button->setAutoDefault(false);
        const int command = b.command;
        connect(button, &QPushButton::clicked, this, [this, command, rowsCommand] { rowsCommand(planView_, command); });
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    planLayout->addLayout(buttons);
    planLayout->addWidget(planView_);

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
    status_->setWordWrap(true);

    auto* tables = new QSplitter(Qt::Vertical);
    tables->setObjectName(QStringLiteral("PlanTablesSplitter"));
    tables->addWidget(planBox);
    tables->addWidget(curveBox);
    viewSplitter_ = new QSplitter(Qt::Vertical);
    viewSplitter_->setObjectName(QStringLiteral("PlanViewSplitter"));
    viewSplitter_->addWidget(Slot(QStringLiteral("planViewSlot"), QStringLiteral("平面图")));
    viewSplitter_->addWidget(Slot(QStringLiteral("planPanelSlot"), QStringLiteral("逐桩坐标")));
    auto* main = new QSplitter(Qt::Horizontal);
    main->setObjectName(QStringLiteral("PlanSplitter"));
    main->addWidget(tables);
    main->addWidget(viewSplitter_);
    main->setStretchFactor(0, 3);
    main->setStretchFactor(1, 2);
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
    connect(&document, &ProfileDocument::PlanChanged, this, &PlanTab::ShowPlan);
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
