// The window's 设计标准 commands: the dialog opened on the document's
// criteria, its form applied to the document (one undo step) and kept in the
// settings for the next profile, and exported as a criteria file.

#include "io/control_files.h"
#include "ui/profile/criteria_dialog.h"
#include "ui/profile/profile_document.h"
#include "ui/profile/profile_settings.h"
#include "ui/profile/profile_window.h"
#include "ui/profile/write_path.h"
#include "ui/qt_text.h"

namespace tarnvel::ui {

void ProfileWindow::Criteria_Click() {
    if (!criteriaDialog_) {
        criteriaDialog_ = new profile::CriteriaDialog(this);
        connect(criteriaDialog_, &profile::CriteriaDialog::applyRequested, this, &ProfileWindow::ApplyCriteria);
        connect(criteriaDialog_, &profile::CriteriaDialog::exportRequested, this, &ProfileWindow::ExportCriteria);
    }
    criteriaDialog_->SetCriteria(document_->Criteria());
    criteriaDialog_->show();
    criteriaDialog_->raise();
    criteriaDialog_->activateWindow();
}

void ProfileWindow::ApplyCriteria() {
    QString why;
    const std::optional<DesignCriteria> criteria = criteriaDialog_->Criteria(&why);
    if (!criteria) return;  // the dialog says why
    document_->SetCriteria(*criteria);
    settings_->SetValue(QStringLiteral("criteria"), QByteArray::fromStdString(io::CriteriaCsvBytes(*criteria)));
}

void ProfileWindow::ExportCriteria() {
    QString why;
    const std::optional<DesignCriteria> criteria = criteriaDialog_->Criteria(&why);
    if (!criteria) {
        services_.messages.ShowInfo(criteriaDialog_, why);
        return;
    }
    const QString path = profile::ChooseWritePath(services_, criteriaDialog_, QStringLiteral("CSV 文件(*.csv)"),
                                                  QStringLiteral("csv"), QStringLiteral("设计标准.csv"),
                                                  document_->SourcePath());
    if (path.isEmpty()) return;
    if (const auto failure = io::WriteCriteriaFile(NativePath(path), *criteria))
        services_.messages.ShowWarning(criteriaDialog_, MessageOf(*failure));
}

}  // namespace tarnvel::ui
