#pragma once
// 设计标准: the designer's own criteria as a form — maximum and minimum
// grade, minimum grade length, minimum crest and sag radius, minimum curve
// length, each optional. Tarnvel ships no standard's values, and the form
// says so. Not modal, like the sheet dialog: the profile stays in reach. The
// dialog only reads and fills the form; the window applies what it gives.

#include <QDialog>

#include <array>
#include <optional>

#include "core/profile/design_check.h"

class QLabel;
class QLineEdit;

namespace tarnvel::ui::profile {

class CriteriaDialog : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CriteriaDialog)

public:
    explicit CriteriaDialog(QWidget* parent = nullptr);
    ~CriteriaDialog() override;

    void SetCriteria(const DesignCriteria& criteria);
    // The form, or nothing with the first box that does not read in `why`.
    std::optional<DesignCriteria> Criteria(QString* why) const;
    // The boxes' object names: "Criterion_max_grade", … (the file's keys).
    static QString BoxName(Criterion criterion);

signals:
    // 确定: the form reads (the dialog then closes).
    void applyRequested();
    // 导出…: the form as a criteria file.
    void exportRequested();

private:
    std::array<QLineEdit*, std::size(kCriteria)> boxes_{};
    QLabel* problem_ = nullptr;
};

}  // namespace tarnvel::ui::profile
