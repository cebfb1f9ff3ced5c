#pragma once
// The list of Qt's own file dialog, with its dates and sizes written in the
// program's locale (Chinese, set at start-up) instead of the system's: Qt's
// file model formats both for the system locale, so that on a German or
// English system the dialog would say "07.12.26" or "7 Dec" beside Chinese
// captions. Everything else, and sorting by the real dates and sizes, is the
// file model's own.

#include <QIdentityProxyModel>

class QFileDialog;

namespace tarnvel::ui {

class ChineseFileList final : public QIdentityProxyModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChineseFileList)

public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};

// Gives a file dialog the list above (when Qt draws the dialog itself; a
// platform's own dialog speaks the platform's language).
void UseChineseFileList(QFileDialog& dialog);

}  // namespace tarnvel::ui
