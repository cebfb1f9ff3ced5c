#pragma once
// 导出图纸: the choices of the 纵断面图 sheets as a form — paper, scales,
// station range, the title block, fill/cut shading and the elements table.
// The dialog only reads the form into SheetOptions and keeps the names between
// runs; the window builds, previews and writes the sheets when asked. It is
// not modal, so the profile can still be looked at and edited while it is
// open; each request takes the profile as it is at that moment.

#include <QDialog>

#include <optional>
#include <utility>
#include <vector>

#include "core/drawing/sheet.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnvel::ui::profile {

class ProfileSettings;

class SheetExportDialog : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SheetExportDialog)

public:
    // `canPreview` false: the 预览 button is left out.
    SheetExportDialog(ProfileSettings& settings, bool canPreview, QWidget* parent = nullptr);
    ~SheetExportDialog() override;

    // The form as sheet options, or nothing with the reason in `why`. The
    // scales and the range are checked where the sheets are built; here only
    // that each box reads.
    std::optional<SheetOptions> Options(QString* why) const;
    // Keeps the title block (but the date) and the drawing's choices for the next run.
    void RememberNames() const;
    // Says under the form that the sheets were written to `path`.
    void ShowWritten(const QString& path);

signals:
    void previewRequested();
    void exportRequested();

private:
    // The title block's boxes whose text is kept, by settings key.
    std::vector<std::pair<QString, QLineEdit*>> KeptNames() const;

    ProfileSettings& settings_;
    QComboBox* paper_ = nullptr;
    QComboBox* horizontal_ = nullptr;
    QLineEdit* vertical_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QLineEdit* project_ = nullptr;
    QLineEdit* unit_ = nullptr;
    QLineEdit* number_ = nullptr;
    QLineEdit* designer_ = nullptr;
    QLineEdit* checker_ = nullptr;
    QLineEdit* approver_ = nullptr;
    QLineEdit* date_ = nullptr;
    QCheckBox* shade_ = nullptr;
    QCheckBox* elements_ = nullptr;
    QLabel* written_ = nullptr;
};

}  // namespace tarnvel::ui::profile
