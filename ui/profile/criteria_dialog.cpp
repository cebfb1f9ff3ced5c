#include "ui/profile/criteria_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/text/messages.h"
#include "ui/profile/cell_text.h"

namespace tarnvel::ui::profile {

CriteriaDialog::CriteriaDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CriteriaDialog"));
    setWindowTitle(QStringLiteral("设计标准"));
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(QStringLiteral("请填写您所依据的标准中的数值，不需要的项目留空。"
                                           "这些数值完全由您给定：本程序不附带任何标准的数值。"),
                            this);
    note->setObjectName(QStringLiteral("CriteriaNote"));
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < std::size(kCriteria); ++i) {
        const Criterion c = kCriteria[i];
        const bool grade = c == Criterion::MaxGrade || c == Criterion::MinGrade;
        boxes_[i] = new QLineEdit(this);
        boxes_[i]->setObjectName(BoxName(c));
        boxes_[i]->setPlaceholderText(QStringLiteral("不检查"));
        form->addRow(QString::fromUtf8(CriterionName(c)) + (grade ? QStringLiteral("（%）") : QStringLiteral("（长度单位同纵断面）")),
                     boxes_[i]);
    }
    layout->addLayout(form);
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("CriteriaProblem"));
    problem_->setStyleSheet(QStringLiteral("color: #c00000"));
    problem_->setWordWrap(true);
    layout->addWidget(problem_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* exportButton = buttons->addButton(QStringLiteral("导出…"), QDialogButtonBox::ActionRole);
    exportButton->setObjectName(QStringLiteral("CriteriaExport"));
    exportButton->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("CriteriaOk"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        QString why;
        if (!Criteria(&why)) {
            problem_->setText(why);
            return;
        }
        problem_->clear();
        emit applyRequested();
        accept();
    });
    connect(exportButton, &QPushButton::clicked, this, &CriteriaDialog::exportRequested);
}

CriteriaDialog::~CriteriaDialog() = default;

QString CriteriaDialog::BoxName(Criterion criterion) {
    return QStringLiteral("Criterion_") + QString::fromUtf8(CriterionKey(criterion));
}

void CriteriaDialog::SetCriteria(const DesignCriteria& criteria) {
    for (std::size_t i = 0; i < std::size(kCriteria); ++i) {
        const std::optional<double> limit = CriterionLimit(criteria, kCriteria[i]);
        boxes_[i]->setText(limit ? ExactNumberCell(*limit) : QString());
    }
    problem_->clear();
}

std::optional<DesignCriteria> CriteriaDialog::Criteria(QString* why) const {
    DesignCriteria criteria;
    for (std::size_t i = 0; i < std::size(kCriteria); ++i) {
        const Criterion c = kCriteria[i];
        const QString text = boxes_[i]->text().trimmed();
        if (text.isEmpty()) continue;
        QString error;
        const std::optional<double> value = ParseCellNumber(text, &error);
        if (!value || !CriterionValueUsable(c, *value)) {
            *why = QString::fromUtf8(CriterionName(c)) + QStringLiteral("“%1”不可用：").arg(text) +
                   (value ? QStringLiteral("须为不小于零的数%1。")
                                .arg(c == Criterion::MaxGrade ? QStringLiteral("（最大纵坡须大于零）") : QString())
                          : error);
            return std::nullopt;
        }
        CriterionLimit(criteria, c) = *value;
    }
    return criteria;
}

}  // namespace tarnvel::ui::profile
