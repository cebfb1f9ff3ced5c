#pragma once
// The window's editable tables as the user meets them: a titled box with
// 添加行 / 插入行 / 删除行 buttons above the table, and what those buttons
// and the edit menu's items do to it, each one undo step.

#include <QString>

#include <functional>

class QGroupBox;
class QObject;
class QPushButton;
class QUndoStack;
class QWidget;

namespace tarnvel::ui::profile {

class EditTableView;

// What the 添加行 / 插入行 / 删除行 buttons and menu items do to a table.
enum class RowsAction { AddAtEnd, InsertAbove, DeleteSelected };

QPushButton* SmallButton(const QString& name, const QString& caption, QWidget* parent);

// A titled box around `view` with its three row buttons, named prefix+"Add",
// prefix+"Insert" and prefix+"Delete".
QGroupBox* TableBox(const QString& title, const QString& prefix, EditTableView* view, QObject* context,
                    const std::function<void(EditTableView*, RowsAction)>& rowsCommand);

// Adds a row after the last one, inserts rows above the selection, or
// deletes the selected rows (one undo step however many ranges they form).
// A new row's first cell is put into editing, so that typing goes there and
// Enter does not add yet more rows through the button that kept the focus.
void RowsCommand(QUndoStack& undo, EditTableView* view, RowsAction command);

}  // namespace tarnvel::ui::profile
