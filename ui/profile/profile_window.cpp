#include "ui/profile/profile_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <utility>

#include "ui/about/launch.h"
#include "ui/profile/cell_text.h"
#include "ui/profile/chain_table.h"
#include "ui/profile/column_fit.h"
#include "ui/profile/control_table.h"
#include "ui/profile/edit_table_model.h"
#include "ui/profile/edit_table_view.h"
#include "ui/profile/elements_model.h"
#include "ui/profile/fill_cut_panel.h"
#include "ui/profile/ground_table.h"
#include "ui/profile/listing_panel.h"
#include "ui/profile/plot/plot_widget.h"
#include "ui/plan/plan_export.h"
#include "ui/plan/plan_view.h"
#include "ui/profile/plan_tab.h"
#include "ui/profile/plot_snap_bar.h"
#include "ui/profile/point_edit.h"
#include "ui/profile/profile_document.h"
#include "ui/profile/profile_settings.h"
#include "ui/profile/pvi_table.h"
#include "ui/profile/query_panel.h"
#include "ui/profile/write_path.h"
#include "ui/profile/table_box.h"
#include "core/text/messages.h"
#include "io/control_files.h"

namespace tarnvel::ui {

using namespace profile;


ProfileWindow::ProfileWindow(Services services, const QString& settingsFile, QWidget* parent)
    : QMainWindow(parent),
      services_(services),
      settings_(std::make_unique<ProfileSettings>(settingsFile)),
      document_(new ProfileDocument(this)) {
    setObjectName(QStringLiteral("ProfileWindow"));
    CreateWidgets();
    CreateMenus();
    RestoreSettings();
    // The criteria the user last entered, until a profile brings its own.
    if (const QByteArray kept = settings_->Value(QStringLiteral("criteria")); !kept.isEmpty()) {
        const io::Result<DesignCriteria> criteria = io::ParseCriteriaCsv(kept.toStdString(), "settings");
        if (criteria.ok()) document_->SetCriteria(criteria.value(), false);
    }
    connect(document_, &ProfileDocument::ProfileChanged, this, &ProfileWindow::ShowProfile);
    connect(document_, &ProfileDocument::Recomputed, this, &ProfileWindow::ShowStatus);
    connect(document_, &ProfileDocument::Replaced, listing_, &ListingPanel::Clear);
    connect(document_, &ProfileDocument::FileChanged, this, [this] {
        ShowTitle();
        ShowStatus();
        listing_->SetDocumentPath(document_->SourcePath());
    });
    ShowProfile();
    ShowTitle();
    ShowStatus();
}

std::shared_ptr<const Profile> ProfileWindow::CurrentProfile() const { return document_->CurrentProfile(); }
QUndoStack& ProfileWindow::UndoStack() { return document_->UndoStack(); }
EditTableModel& ProfileWindow::PviModel() { return document_->PviModel(); }
EditTableModel& ProfileWindow::ChainModel() { return document_->ChainModel(); }

ProfileWindow::~ProfileWindow() {
    // The widgets and models are deleted after this body, by QWidget; what
    // they signal then (the undo stack emptied, a selection cleared) must not
    // reach the handlers of a window that is no longer one.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void ProfileWindow::CreateWidgets() {
    elementsModel_ = new ElementsModel(this);

    pviView_ = new EditTableView;
    pviView_->setObjectName(QStringLiteral("PviTable"));
    pviView_->SetEditModel(&document_->PviModel());
    pviView_->setItemDelegateForColumn(kPviKind, new ChoiceDelegate(KindChoices(), pviView_));
    chainView_ = new EditTableView;
    chainView_->setObjectName(QStringLiteral("ChainTable"));
    chainView_->SetEditModel(&document_->ChainModel());
    groundView_ = new EditTableView;
    groundView_->setObjectName(QStringLiteral("GroundTable"));
    groundView_->SetEditModel(&document_->GroundTable());
    // A survey copied from a spreadsheet with its header row (and offsets,
    // codes, remarks beside) lands in the right columns.
    groundView_->SetBlockReader(
        [this](const std::vector<QStringList>& block) { return GroundColumnsOfBlock(block, document_->Unit()); });

    auto rows = [this](EditTableView* view, RowsAction command) { RowsCommand(document_->UndoStack(), view, command); };
    QGroupBox* pviBox = TableBox(QStringLiteral("变坡点表"), QStringLiteral("Pvi"), pviView_, this, rows);
    QGroupBox* chainBox = TableBox(QStringLiteral("断链表"), QStringLiteral("Chain"), chainView_, this, rows);
    QGroupBox* groundBox = TableBox(QStringLiteral("地面线"), QStringLiteral("Ground"), groundView_, this, rows);
    groundBox->setObjectName(QStringLiteral("GroundBox"));
    controlView_ = new EditTableView;
    controlView_->setObjectName(QStringLiteral("ControlTable"));
    controlView_->SetEditModel(&document_->ControlTable());
    controlView_->SetBlockReader(
        [this](const std::vector<QStringList>& block) { return ControlColumnsOfBlock(block, document_->Unit()); });
    QGroupBox* controlBox = TableBox(QStringLiteral("控制标高"), QStringLiteral("Control"), controlView_, this, rows);
    controlBox->setObjectName(QStringLiteral("ControlBox"));

    elementsView_ = new QTableView;
    elementsView_->setObjectName(QStringLiteral("ElementsTable"));
    elementsView_->setModel(elementsModel_);
    elementsView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A block of rows (Shift+arrows, Ctrl+A) copies with its header.
    elementsView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    elementsView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    AddBlockCopy(elementsView_, true);
    elementsView_->verticalHeader()->setDefaultSectionSize(elementsView_->fontMetrics().height() + 6);
    auto* elementsBox = new QGroupBox(QStringLiteral("竖曲线要素表"));
    (new QVBoxLayout(elementsBox))->addWidget(elementsView_);

    plot_ = new PlotWidget;
    plot_->setObjectName(QStringLiteral("ProfilePlot"));

    // The chooser of a file's profiles and the plot's controls, above the plot.
    auto* sheetBar = new QWidget;
    sheetBar->setObjectName(QStringLiteral("SheetPanel"));
    auto* sheetLayout = new QHBoxLayout(sheetBar);
    sheetLayout->setContentsMargins(0, 0, 0, 0);
    profileChooser_ = new QComboBox(sheetBar);
    profileChooser_->setObjectName(QStringLiteral("ProfileChooser"));
    profileChooser_->setToolTip(QStringLiteral("文件中有多个纵断面：选择要计算的一个"));
    profileChooser_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* chooserLabel = new QLabel(QStringLiteral("纵断面："), sheetBar);
    chooserLabel->setObjectName(QStringLiteral("ProfileChooserLabel"));
    profileChooser_->setVisible(false);
    chooserLabel->setVisible(false);
    connect(profileChooser_, &QComboBox::activated, this, &ProfileWindow::ChooseProfile);
    connect(profileChooser_, &QComboBox::currentIndexChanged, chooserLabel,
            [chooserLabel, this] { chooserLabel->setVisible(profileChooser_->count() > 1); });
    sheetLayout->addWidget(chooserLabel);
    sheetLayout->addWidget(profileChooser_);
    sheetLayout->addStretch(1);
    // The vertical exaggeration of the plot, which the pictures take over.
    auto* exaggeration = new QDoubleSpinBox(sheetBar);
    exaggeration->setObjectName(QStringLiteral("PlotExaggeration"));
    exaggeration->setRange(1, 1000);
    exaggeration->setDecimals(0);
    exaggeration->setSuffix(QStringLiteral(" 倍"));
    exaggeration->setValue(plot_->exaggeration());
    exaggeration->setToolTip(QStringLiteral("竖向放大倍数"));
    connect(exaggeration, &QDoubleSpinBox::valueChanged, plot_, &PlotWidget::setExaggeration);
    connect(plot_, &PlotWidget::exaggerationChanged, exaggeration, [exaggeration](double value) {
        const QSignalBlocker block(exaggeration);
        exaggeration->setValue(value);
    });
    sheetLayout->addWidget(new QLabel(QStringLiteral("竖向放大："), sheetBar));
    sheetLayout->addWidget(exaggeration);
    auto* fit = SmallButton(QStringLiteral("PlotFitAll"), QStringLiteral("全图"), sheetBar);
    connect(fit, &QPushButton::clicked, plot_, &PlotWidget::fitAll);
    sheetLayout->addWidget(fit);
    sheetLayout->addWidget(MakeSnapBar(*plot_, *settings_, sheetBar));

    auto* plotArea = new QWidget;
    auto* plotLayout = new QVBoxLayout(plotArea);
    plotLayout->setContentsMargins(0, 0, 0, 0);
    plotLayout->addWidget(sheetBar);
    plotLayout->addWidget(plot_, 1);

    query_ = new QueryPanel;
    listing_ = new ListingPanel(services_);
    listing_->SetSignatureSource(settings_.get());
    auto* queryBox = new QGroupBox(QStringLiteral("查询与列表"));
    auto* queryLayout = new QVBoxLayout(queryBox);
    queryLayout->addWidget(query_);
    queryLayout->addWidget(listing_, 1);

    leftSplitter_ = new QSplitter(Qt::Vertical);
    leftSplitter_->setObjectName(QStringLiteral("LeftSplitter"));
    leftSplitter_->addWidget(pviBox);
    leftSplitter_->addWidget(chainBox);
    leftSplitter_->addWidget(groundBox);
    leftSplitter_->addWidget(controlBox);
    leftSplitter_->setStretchFactor(0, 4);
    leftSplitter_->setStretchFactor(1, 1);
    leftSplitter_->setStretchFactor(2, 3);
    leftSplitter_->setStretchFactor(3, 1);
    lowerSplitter_ = new QSplitter(Qt::Horizontal);
    lowerSplitter_->setObjectName(QStringLiteral("LowerSplitter"));
    lowerSplitter_->addWidget(elementsBox);
    lowerSplitter_->addWidget(queryBox);
    fillCut_ = new FillCutPanel;
    auto* fillCutBox = new QGroupBox(QStringLiteral("填挖汇总"));
    (new QVBoxLayout(fillCutBox))->addWidget(fillCut_);
    lowerSplitter_->addWidget(fillCutBox);
    lowerSplitter_->setStretchFactor(0, 3);
    lowerSplitter_->setStretchFactor(1, 2);
    lowerSplitter_->setStretchFactor(2, 2);
    rightSplitter_ = new QSplitter(Qt::Vertical);
    rightSplitter_->setObjectName(QStringLiteral("RightSplitter"));
    rightSplitter_->addWidget(plotArea);
    rightSplitter_->addWidget(lowerSplitter_);
    rightSplitter_->setStretchFactor(0, 3);
    rightSplitter_->setStretchFactor(1, 2);
    mainSplitter_ = new QSplitter(Qt::Horizontal);
    mainSplitter_->setObjectName(QStringLiteral("MainSplitter"));
    mainSplitter_->addWidget(leftSplitter_);
    mainSplitter_->addWidget(rightSplitter_);
    mainSplitter_->setStretchFactor(0, 2);
    mainSplitter_->setStretchFactor(1, 5);
    // On a small screen (640×480) the window may be made smaller than its
    // parts need: they then scroll rather than being squeezed over each other.
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("ProfileScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(mainSplitter_);
    // The road's two views, one click apart: the profile as it always was, and the plan.
    tabs_ = new QTabWidget;
    tabs_->setObjectName(QStringLiteral("RoadTabs"));
    tabs_->setDocumentMode(true);  // no frame: the profile's layout keeps its room
    tabs_->addTab(scroll, QStringLiteral("纵断面"));
    planTab_ = new PlanTab(*document_, services_, rows);
    auto* planScroll = new QScrollArea;  // as the profile's: a small screen scrolls the plan's parts
    planScroll->setObjectName(QStringLiteral("PlanScroll"));
    planScroll->setFrameShape(QFrame::NoFrame);
    planScroll->setWidgetResizable(true);
    planScroll->setWidget(planTab_);
    tabs_->addTab(planScroll, QStringLiteral("平面"));
    setCentralWidget(tabs_);
    // First sizes: the tables wide enough for their columns, the plot the rest.
    mainSplitter_->setSizes({470, 930});
    rightSplitter_->setSizes({520, 330});
    lowerSplitter_->setSizes({330, 330, 270});

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("ProfileStatus"));
    statusBar()->addWidget(status_, 1);
    auto* readout = new QLabel;
    readout->setObjectName(QStringLiteral("PlotReadout"));
    statusBar()->addPermanentWidget(readout);
    connect(plot_, &PlotWidget::cursorReadout, readout,
            [readout](const QString& station, double elevation, double grade, std::optional<double> ground) {
        QString text = QStringLiteral("%1  高程 %2  纵坡 %3%").arg(station, FixedCellText(elevation), GradeCellText(grade));
        if (ground) {
            // Fill (填) where the design lies above the ground, cut (挖) below.
            const double amount = elevation - *ground;
            text += QStringLiteral("  地面高程 %1  %2 %3")
                        .arg(FixedCellText(*ground), amount < 0 ? QStringLiteral("挖") : QStringLiteral("填"),
                             FixedCellText(std::abs(amount)));
        }
        readout->setText(text);
    });
    connect(plot_, &PlotWidget::cursorReadoutCleared, readout, &QLabel::clear);
    connect(planTab_->Map(), &PlanView::readoutChanged, readout, &QLabel::setText);

    connect(pviView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { SelectPoint(current.row(), pviView_); });
    connect(elementsView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { SelectPoint(elementsModel_->PointOfRow(current.row()), elementsView_); });
    // The queried station is marked on the plot, and brought into view when typed.
    connect(query_, &QueryPanel::stationAnswered, plot_, &PlotWidget::setQueryStation);
    connect(query_, &QueryPanel::stationCleared, plot_, [plot = plot_] { plot->setQueryStation(std::nullopt); });
    // One station in both views: the profile's query is marked on the plan,
    // and a station chosen on the plan is marked on the profile.
    connect(query_, &QueryPanel::stationAnswered, planTab_, [this](double internal) { planTab_->ShowStation(internal); });
    connect(planTab_, &PlanTab::StationChosen, plot_, [plot = plot_](double internal) { plot->setQueryStation(internal); });
    connect(plot_, &PlotWidget::pviClicked, this, [this](int pvi) { SelectPoint(elementsModel_->PointOfRow(pvi), plot_); });
    // The grade line designed on the plot: each gesture one edit of the PVI
    // table, the 填挖 summary following every draft of a drag.
    connect(plot_, &PlotWidget::pointEdited, this, [this](const PointEdit& edit) {
        if (const QString refused = ApplyPointEdit(*document_, edit); !refused.isEmpty()) {
            statusBar()->showMessage(refused, 8000);
            return;
        }
        if (edit.kind != PointEdit::Kind::Remove) SelectPoint(static_cast<int>(edit.point), nullptr);
    });
    connect(plot_, &PlotWidget::draftChanged, fillCut_,
            [this](const std::shared_ptr<const Profile>& draft) {
        fillCut_->SetProfile(draft, plot_->ground(), plot_->profile() == draft ? &plot_->plotGround() : nullptr);
    });
    connect(plot_, &PlotWidget::editRefused, this, [this](const QString& why) { statusBar()->showMessage(why, 8000); });
    for (QTableView* view : {static_cast<QTableView*>(pviView_), static_cast<QTableView*>(chainView_),
                             static_cast<QTableView*>(groundView_), static_cast<QTableView*>(controlView_), elementsView_})
        KeepColumnsFitted(view);
    resize(1400, 900);
}

void ProfileWindow::CreateMenus() {
    auto menu = [&](const char* name, const char* caption) {
        QMenu* m = menuBar()->addMenu(QString::fromUtf8(caption));
        m->setObjectName(QString::fromUtf8(name));
        return m;
    };
    auto item = [&](QMenu* m, const char* name, const char* caption, auto handler) {
        QAction* action = m->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    QMenu* file = menu("ProfileFileMenu", "文件");
    item(file, "NewProfile", "新建", [this] { New_Click(); })->setShortcut(QKeySequence::New);
    item(file, "ImportProfile", "导入…", [this] { Import_Click(); })->setShortcut(QKeySequence::Open);
    item(file, "ImportGround", "导入地面线…", [this] { ImportGround_Click(); });
    item(file, "ClearGround", "清除地面线", [this] { document_->ClearGround(); });
    recentMenu_ = file->addMenu(QStringLiteral("最近的文件"));
    recentMenu_->setObjectName(QStringLiteral("RecentFiles"));
    item(file, "SaveProfile", "保存", [this] { Save_Click(); })->setShortcut(QKeySequence::Save);
    item(file, "ExportProfile", "导出…", [this] { SaveAs_Click(); });
    file->addSeparator();
    item(file, "ExportSheet", "导出图纸…", [this] { ExportSheet_Click(); });
    item(file, "ExportPng", "导出PNG图片…", [this] { ExportPng_Click(); });
    item(file, "ExportSvg", "导出SVG图片…", [this] { ExportSvg_Click(); });
    AddPlanExportMenu(file, this, [this](int scale) {
        ExportPlanDrawing(this, services_, document_->CurrentPlan(), scale,
                          SuggestedPath(document_->SourcePath(), QStringLiteral(".dxf")));
    });
    file->addSeparator();
    item(file, "CloseProfile", "关闭", [this] { close(); });

    QMenu* edit = menu("ProfileEditMenu", "编辑");
    QUndoStack& stack = document_->UndoStack();
    QAction* undo = stack.createUndoAction(this, QStringLiteral("撤销"));
    undo->setObjectName(QStringLiteral("UndoEdit"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = stack.createRedoAction(this, QStringLiteral("重做"));
    redo->setObjectName(QStringLiteral("RedoEdit"));
    // Both the desktop's usual keys: Ctrl+Y as on Windows, Ctrl+Shift+Z.
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    // The table last used: the chain or ground table while it has the focus, else the PVI table.
    auto focused = [this] {
        if (planTab_->IntersectionView()->hasFocus()) return planTab_->IntersectionView();
        if (chainView_->hasFocus()) return chainView_;
        if (controlView_->hasFocus()) return controlView_;
        return groundView_->hasFocus() ? groundView_ : pviView_;
    };
    item(edit, "CopyCells", "复制", [focused] { focused()->CopySelection(); });
    item(edit, "PasteCells", "粘贴", [focused] { focused()->Paste(); });
    edit->addSeparator();
    item(edit, "AddRow", "添加行", [&stack, focused] { RowsCommand(stack, focused(), RowsAction::AddAtEnd); });
    item(edit, "InsertRow", "插入行", [&stack, focused] { RowsCommand(stack, focused(), RowsAction::InsertAbove); });
    item(edit, "DeleteRow", "删除行", [&stack, focused] { RowsCommand(stack, focused(), RowsAction::DeleteSelected); });
    edit->addSeparator();
    item(edit, "DesignCriteria", "设计标准…", [this] { Criteria_Click(); });

    QMenu* help = menu("ProfileHelpMenu", "帮助");
    item(help, "ProfileManual", "纵断面计算帮助", [this] { Help_Click(); })->setShortcut(QKeySequence::HelpContents);
    UpdateRecentMenu();
}

void ProfileWindow::AddRows_Click() { RowsCommand(document_->UndoStack(), pviView_, RowsAction::AddAtEnd); }
void ProfileWindow::InsertRows_Click() { RowsCommand(document_->UndoStack(), pviView_, RowsAction::InsertAbove); }
void ProfileWindow::DeleteRows_Click() { RowsCommand(document_->UndoStack(), pviView_, RowsAction::DeleteSelected); }

void ProfileWindow::Help_Click() {
    OpenManualSection(services_.launcher, ProgramSearch::FromEnvironment(), QStringLiteral("profile-window"),
                      [this](const QString& message) { services_.messages.ShowWarning(this, message); });
}

void ProfileWindow::RestoreSettings() {
    if (const QByteArray geometry = settings_->Value(QStringLiteral("geometry")); !geometry.isEmpty())
        restoreGeometry(geometry);
    for (QSplitter* splitter : {mainSplitter_, leftSplitter_, rightSplitter_, lowerSplitter_}) {
        const QByteArray state = settings_->Value(splitter->objectName());
        // A state saved when the splitter had fewer panes (before the ground
        // table) would leave the new pane shut: such a state is not used.
        const QByteArray panes = settings_->Value(splitter->objectName() + QStringLiteral("Panes"));
        const bool sameLayout = panes.isEmpty() ? splitter->count() == 2 : panes.toInt() == splitter->count();
        if (!state.isEmpty() && sameLayout) splitter->restoreState(state);
    }
}

void ProfileWindow::SaveSettings() {
    settings_->SetValue(QStringLiteral("geometry"), saveGeometry());
    for (QSplitter* splitter : {mainSplitter_, leftSplitter_, rightSplitter_, lowerSplitter_}) {
        settings_->SetValue(splitter->objectName(), splitter->saveState());
        settings_->SetValue(splitter->objectName() + QStringLiteral("Panes"), QByteArray::number(splitter->count()));
    }
}

void ProfileWindow::closeEvent(QCloseEvent* event) {
    if (!MaybeSave()) {
        event->ignore();
        return;
    }
    SaveSettings();
    event->accept();
}

void ProfileWindow::ShowProfile() {
    const std::shared_ptr<const Profile> profile = document_->CurrentProfile();
    elementsModel_->SetProfile(profile);
    const std::shared_ptr<const GroundLine> ground = document_->CurrentGround();
    plot_->setProfile(profile, ground);
    query_->SetProfile(profile, ground);
    listing_->SetProfile(profile, ground);
    fillCut_->SetProfile(profile, ground, plot_->profile() == profile ? &plot_->plotGround() : nullptr);
    // The highlight follows the PVI, wherever its element row now is.
    const QModelIndex current = pviView_->currentIndex();
    const int element = current.isValid() ? elementsModel_->RowOfPoint(current.row()) : -1;
    plot_->setSelectedPvi(element);
}

void ProfileWindow::ShowStatus() {
    const ProfileDocument& doc = *document_;
    const std::shared_ptr<const Profile> profile = doc.CurrentProfile();
    QString text;
    if (doc.TableProblem().isEmpty() && profile) {
        const Profile& p = *profile;
        text = QStringLiteral("%1个点，%2 至 %3，单位：%4")
                   .arg(p.Model().points.size())
                   .arg(EndLabelText(p, ProfileEnd::Start), EndLabelText(p, ProfileEnd::End),
                        QString::fromUtf8(LengthUnitName(p.Model().unit)));
        // What the resolver adjusted (touching curves made to meet), as the
        // command line notes it.
        for (const ProfileProblem& note : p.Notes())
            text += QStringLiteral("  注意：") + QString::fromStdString(DescribeProfileProblem(note));
    } else if (doc.MarkCount() > 0) {
        text = QStringLiteral("表格中有%1处问题（已标红，鼠标停在单元格上可看原因），例如：%2")
                   .arg(doc.MarkCount())
                   .arg(doc.TableProblem());
        if (profile) text += QStringLiteral("  其余部分显示最后一次有效的纵断面。");
    } else {
        text = doc.TableProblem();
    }
    if (doc.GroundTable().rowCount() > 0) {
        // The ground line stays with the document while an edit leaves it
        // unreadable or outside the profile; the status line says why it is not shown.
        if (doc.CurrentGround()) text += QStringLiteral("  地面线：%1个点").arg(doc.Ground()->points.size());
        else if (!doc.GroundStatus().isEmpty()) text += QStringLiteral("  地面线未显示：") + doc.GroundStatus().section(QLatin1Char('\n'), 0, 1);
    }
    if (const QString controls = doc.ControlSummary(); !controls.isEmpty()) text += QStringLiteral("  控制标高：") + controls;
    if (const auto& violations = doc.Violations(); !violations.empty())
        text += QStringLiteral("  设计标准：%1处不满足，如").arg(violations.size()) +
                QString::fromStdString(DescribeCriterionViolation(violations.front(), doc.Unit()));
    ShowControls();
    if (!doc.SourcePath().isEmpty()) text = doc.SourcePath() + QStringLiteral("  ") + text;
    if (doc.IsModified()) text = QStringLiteral("【已修改】") + text;
    status_->setText(text);
}

void ProfileWindow::ShowControls() {
    std::vector<ControlMark> marks;
    for (const ControlCheck& check : document_->ControlChecks().checks) {
        const ControlPoint& c = document_->Controls()[check.point];
        marks.push_back({check.station, c.lower, c.upper, QString::fromStdString(c.name), check.status != ControlStatus::Ok});
    }
    plot_->setControls(std::move(marks));
    elementsModel_->SetViolations(document_->Violations());
}

void ProfileWindow::ShowTitle() {
    // "[*]" is where the desktop shows the modified mark.
    const QString path = document_->SourcePath();
    setWindowTitle(path.isEmpty() ? QStringLiteral("纵断面计算[*]")
                                  : QFileInfo(path).fileName() + QStringLiteral("[*] - 纵断面计算"));
    setWindowModified(document_->IsModified());
}

void ProfileWindow::SelectPoint(int point, const QObject* from) {
    if (selecting_ || point < 0) return;
    selecting_ = true;
    const EditTableModel& pvi = document_->PviModel();
    if (from != pviView_ && point < pvi.rowCount()) {
        pviView_->selectionModel()->setCurrentIndex(pvi.index(point, 0),
                                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        pviView_->scrollTo(pvi.index(point, 0));
    }
    const int element = elementsModel_->RowOfPoint(point);
    if (from != elementsView_) {
        if (element >= 0) {
            elementsView_->selectionModel()->setCurrentIndex(
                elementsModel_->index(element, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            elementsView_->scrollTo(elementsModel_->index(element, 0));
        } else {
            elementsView_->selectionModel()->clearSelection();
        }
    }
    // Chosen in a table: the plot brings it into view; clicked in the plot, it is there.
    if (from == plot_) plot_->setSelectedPvi(element);
    else plot_->showPvi(element);
    // The same place on the plan.
    if (const auto profile = document_->CurrentProfile(); profile && point < static_cast<int>(profile->Model().points.size()))
        planTab_->ShowStation(profile->InternalOf(profile->Model().points[static_cast<std::size_t>(point)].station));
    selecting_ = false;
}

}  // namespace tarnvel::ui
