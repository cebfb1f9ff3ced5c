#include "ui/profile/sheet_export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/profile/cell_text.h"
#include "ui/profile/profile_settings.h"

namespace tarnvel::ui::profile {
namespace {

QLineEdit* Box(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromUtf8(name));
    return box;
}

std::string Utf8(const QLineEdit* box) { return box->text().trimmed().toStdString(); }

const QString kPaperKey = QStringLiteral("sheet/paper");
const QString kHorizontalKey = QStringLiteral("sheet/horizontalScale");
const QString kVerticalKey = QStringLiteral("sheet/verticalScale");
const QString kShadeKey = QStringLiteral("sheet/shadeFillCut");
const QString kElementsKey = QStringLiteral("sheet/elementsTable");

}  // namespace

SheetExportDialog::SheetExportDialog(ProfileSettings& settings, bool canPreview, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName(QStringLiteral("SheetExportDialog"));
    setWindowTitle(QStringLiteral("导出图纸"));

    auto* drawing = new QGroupBox(QStringLiteral("图幅与比例"), this);
    auto* drawingForm = new QFormLayout(drawing);
    paper_ = new QComboBox(drawing);
    paper_->setObjectName(QStringLiteral("SheetPaper"));
    paper_->addItem(QStringLiteral("A3 横向"), static_cast<int>(SheetPaper::A3));
    paper_->addItem(QStringLiteral("A4 横向"), static_cast<int>(SheetPaper::A4));
    horizontal_ = new QComboBox(drawing);
    horizontal_->setObjectName(QStringLiteral("SheetHorizontalScale"));
    for (const int scale : kSheetHorizontalScales) horizontal_->addItem(QStringLiteral("1:%1").arg(scale), scale);
    horizontal_->setCurrentIndex(horizontal_->findData(SheetOptions{}.horizontalScale));
    vertical_ = Box("SheetVerticalScale", drawing);
    vertical_->setText(QString::number(SheetOptions{}.verticalScale));
    vertical_->setToolTip(QStringLiteral("比例分母；竖向放大倍数（横向比例÷竖向比例）须在 1 至 50 之间"));
    auto* verticalRow = new QHBoxLayout;
    verticalRow->addWidget(new QLabel(QStringLiteral("1:"), drawing));
    verticalRow->addWidget(vertical_, 1);
    from_ = Box("SheetFrom", drawing);
    from_->setPlaceholderText(QStringLiteral("纵断面起点"));
    to_ = Box("SheetTo", drawing);
    to_->setPlaceholderText(QStringLiteral("纵断面终点"));
    shade_ = new QCheckBox(QStringLiteral("填挖着色"), drawing);
    shade_->setObjectName(QStringLiteral("SheetShadeFillCut"));
    shade_->setChecked(SheetOptions{}.shadeFillCut);
    elements_ = new QCheckBox(QStringLiteral("附竖曲线要素表"), drawing);
    elements_->setObjectName(QStringLiteral("SheetElementsTable"));
    elements_->setChecked(SheetOptions{}.elementsTable);
    drawingForm->addRow(QStringLiteral("图幅："), paper_);
    drawingForm->addRow(QStringLiteral("横向比例："), horizontal_);
    drawingForm->addRow(QStringLiteral("竖向比例："), verticalRow);
    drawingForm->addRow(QStringLiteral("起点桩号："), from_);
    drawingForm->addRow(QStringLiteral("终点桩号："), to_);
    drawingForm->addRow(shade_);
    drawingForm->addRow(elements_);

    auto* title = new QGroupBox(QStringLiteral("图签"), this);
    auto* titleForm = new QFormLayout(title);
    project_ = Box("SheetProject", title);
    unit_ = Box("SheetDesignUnit", title);
    number_ = Box("SheetDrawingNumber", title);
    designer_ = Box("SheetDesigner", title);
    checker_ = Box("SheetChecker", title);
    approver_ = Box("SheetApprover", title);
    date_ = Box("SheetDate", title);
    date_->setText(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    titleForm->addRow(QStringLiteral("项目名称："), project_);
    titleForm->addRow(QStringLiteral("设计单位："), unit_);
    titleForm->addRow(QStringLiteral("图号："), number_);
    titleForm->addRow(QStringLiteral("设计："), designer_);
    titleForm->addRow(QStringLiteral("复核："), checker_);
    titleForm->addRow(QStringLiteral("审核："), approver_);
    titleForm->addRow(QStringLiteral("日期："), date_);
    for (QLineEdit* box : {project_, unit_, number_, designer_, checker_, approver_}) box->setMinimumWidth(220);

    for (const auto& [key, box] : KeptNames()) box->setText(settings_.Text(key));
    // The drawing's choices as last used, where they still read.
    if (const int paper = paper_->findData(settings_.Text(kPaperKey).toInt()); paper >= 0 && !settings_.Text(kPaperKey).isEmpty())
        paper_->setCurrentIndex(paper);
    if (const int scale = horizontal_->findData(settings_.Text(kHorizontalKey).toInt()); scale >= 0)
        horizontal_->setCurrentIndex(scale);
    if (const QString vertical = settings_.Text(kVerticalKey); !vertical.isEmpty()) vertical_->setText(vertical);
    for (const auto& [key, check] : {std::pair{kShadeKey, shade_}, std::pair{kElementsKey, elements_}})
        if (const QString kept = settings_.Text(key); !kept.isEmpty()) check->setChecked(kept == QLatin1String("1"));

    auto* buttons = new QDialogButtonBox(this);
    if (canPreview) {
        QPushButton* preview = buttons->addButton(QStringLiteral("预览…"), QDialogButtonBox::ActionRole);
        preview->setObjectName(QStringLiteral("SheetPreviewButton"));
        connect(preview, &QPushButton::clicked, this, &SheetExportDialog::previewRequested);
    }
    QPushButton* write = buttons->addButton(QStringLiteral("导出…"), QDialogButtonBox::AcceptRole);
    write->setObjectName(QStringLiteral("SheetExportButton"));
    write->setDefault(true);
    QPushButton* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("SheetCloseButton"));
    // 导出 asks for the file first; the dialog stays open, so that the same
    // sheets can be written as PDF and then as DXF.
    connect(write, &QPushButton::clicked, this, &SheetExportDialog::exportRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* groups = new QHBoxLayout;
    groups->addWidget(drawing, 1);
    groups->addWidget(title, 1);
    written_ = new QLabel(this);
    written_->setObjectName(QStringLiteral("SheetWritten"));
    written_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(written_);
    layout->addWidget(buttons);
}

SheetExportDialog::~SheetExportDialog() = default;

std::optional<SheetOptions> SheetExportDialog::Options(QString* why) const {
    SheetOptions options;
    options.paper = static_cast<SheetPaper>(paper_->currentData().toInt());
    options.horizontalScale = horizontal_->currentData().toInt();
    bool whole = false;
    const int vertical = vertical_->text().trimmed().toInt(&whole);
    if (!whole || vertical <= 0) {
        *why = QStringLiteral("竖向比例“%1”不是正整数：请填写比例分母，如 200；竖向放大倍数（横向比例÷竖向比例）须在 1 至 50 之间。")
                   .arg(vertical_->text());
        return std::nullopt;
    }
    options.verticalScale = vertical;
    // An empty box stands for the profile's own end.
    const struct {
        QLineEdit* box;
        std::optional<Station>* station;
        const char* name;
    } ends[] = {{from_, &options.from, "起点桩号"}, {to_, &options.to, "终点桩号"}};
    for (const auto& end : ends) {
        if (end.box->text().trimmed().isEmpty()) continue;
        QString problem;
        *end.station = ParseCellStation(end.box->text(), &problem);
        if (!*end.station) {
            *why = QString::fromUtf8(end.name) + QStringLiteral("“") + end.box->text() + QStringLiteral("”：") + problem;
            return std::nullopt;
        }
    }
    options.shadeFillCut = shade_->isChecked();
    options.elementsTable = elements_->isChecked();
    options.project = Utf8(project_);
    options.designUnit = Utf8(unit_);
    options.drawingNumber = Utf8(number_);
    options.designer = Utf8(designer_);
    options.checker = Utf8(checker_);
    options.approver = Utf8(approver_);
    options.date = Utf8(date_);
    return options;
}

void SheetExportDialog::ShowWritten(const QString& path) {
    written_->setText(QStringLiteral("已导出：") + QDir::toNativeSeparators(path));
}

std::vector<std::pair<QString, QLineEdit*>> SheetExportDialog::KeptNames() const {
    // The date belongs to the day's drawing and is not kept.
    return {{QStringLiteral("sheet/project"), project_},   {QStringLiteral("sheet/designUnit"), unit_},
            {QStringLiteral("sheet/drawingNumber"), number_},
            {ProfileSettings::kDesigner, designer_}, {ProfileSettings::kChecker, checker_},
            {ProfileSettings::kApprover, approver_}};
}

void SheetExportDialog::RememberNames() const {
    for (const auto& [key, box] : KeptNames()) settings_.SetText(key, box->text().trimmed());
    settings_.SetText(kPaperKey, QString::number(paper_->currentData().toInt()));
    settings_.SetText(kHorizontalKey, QString::number(horizontal_->currentData().toInt()));
    settings_.SetText(kVerticalKey, vertical_->text().trimmed());
    settings_.SetText(kShadeKey, shade_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    settings_.SetText(kElementsKey, elements_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace tarnvel::ui::profile
