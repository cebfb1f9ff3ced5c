#include "ui/chinese_file_list.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QLocale>

namespace tarnvel::ui {
namespace {

// The columns of QFileSystemModel that show a number or a date.
constexpr int kSizeColumn = 1;  // folders and drives have no size
constexpr int kDateModifiedColumn = 3;

}  // namespace

QVariant ChineseFileList::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || files == nullptr || !index.isValid()) return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    switch (index.column()) {
    case kSizeColumn:
        if (files->fileInfo(source).isFile()) return QLocale().formattedDataSize(files->size(source));
        break;
    case kDateModifiedColumn:
        if (const QDateTime modified = files->lastModified(source); modified.isValid())
            return QLocale().toString(modified, QLocale::ShortFormat);
        break;
    default: break;
    }
    return QIdentityProxyModel::data(index, role);
}

void UseChineseFileList(QFileDialog& dialog) { dialog.setProxyModel(new ChineseFileList(&dialog)); }

}  // namespace tarnvel::ui
