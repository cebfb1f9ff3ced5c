#include "ui/profile/column_fit.h"

#include <QAbstractItemModel>
#include <QTableView>
#include <QTimer>

#include "ui/profile/edit_table_view.h"

namespace tarnvel::ui::profile {

void KeepColumnsFitted(QTableView* view) {
    QAbstractItemModel* model = view->model();
    if (model == nullptr) return;
    // A paste changes many cells at once: the refit runs once, after the
    // edit has been handled, on the table as it then is.
    auto* pending = new QTimer(view);
    pending->setSingleShot(true);
    pending->setInterval(0);
    QObject::connect(pending, &QTimer::timeout, view, [view] { FitColumnsToSample(view, ColumnFit::Widen); });
    const auto refit = [pending] { pending->start(); };
    QObject::connect(model, &QAbstractItemModel::modelReset, pending, refit);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, pending, refit);
    QObject::connect(model, &QAbstractItemModel::dataChanged, pending, refit);
    QObject::connect(model, &QAbstractItemModel::layoutChanged, pending, refit);
}

}  // namespace tarnvel::ui::profile
