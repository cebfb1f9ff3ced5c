#include "ui/profile/table_box.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/profile/edit_table_model.h"
#include "ui/profile/edit_table_view.h"

namespace tarnvel::ui::profile {

QPushButton* SmallButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QGroupBox* TableBox(const QString& title, const QString& prefix, EditTableView* view, QObject* context,
                    const std::function<void(EditTableView*, RowsAction)>& rowsCommand) {
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    auto* buttons = new QHBoxLayout;
    const struct {
        const char* name;
        const char* caption;
        RowsAction command;
    } kButtons[] = {{"Add", "添加行", RowsAction::AddAtEnd},
                    {"Insert", "插入行", RowsAction::InsertAbove},
                    {"Delete", "删除行", RowsAction::DeleteSelected}};
    for (const auto& b : kButtons) {
        QPushButton* button = SmallButton(prefix + QString::fromUtf8(b.name), QString::fromUtf8(b.caption), box);
        const RowsAction command = b.command;
        QObject::connect(button, &QPushButton::clicked, context, [view, command, rowsCommand] { rowsCommand(view, command); });
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    view->setParent(box);
    layout->addWidget(view);
    return box;
}

void RowsCommand(QUndoStack& undo, EditTableView* view, RowsAction command) {
    auto* model = static_cast<EditTableModel*>(view->model());
    const QList<int> rows = view->SelectedRows();
    auto editFirstCell = [view, model](int row) {
        const QModelIndex cell = model->index(row, 0);
        view->setCurrentIndex(cell);
        view->scrollTo(cell);
        view->setFocus(Qt::OtherFocusReason);
        view->edit(cell);
    };
    switch (command) {
    case RowsAction::AddAtEnd:
        model->InsertEmptyRows(model->rowCount(), 1);
        editFirstCell(model->rowCount() - 1);
        break;
    case RowsAction::InsertAbove: {
        const int at = rows.isEmpty() ? 0 : rows.front();
        model->InsertEmptyRows(at, std::max<int>(1, static_cast<int>(rows.size())));
        editFirstCell(at);
        break;
    }
    case RowsAction::DeleteSelected: {
        if (rows.isEmpty()) return;
        undo.beginMacro(QStringLiteral("删除%1行").arg(rows.size()));
        // From the bottom up, so that the row numbers above stay valid.
        for (qsizetype i = rows.size(); i-- > 0;) {
            qsizetype first = i;
            while (first > 0 && rows[first - 1] == rows[first] - 1) --first;
            model->RemoveRowRange(rows[first], static_cast<int>(i - first + 1));
            i = first;
        }
        undo.endMacro();
        break;
    }
    }
}

}  // namespace tarnvel::ui::profile
