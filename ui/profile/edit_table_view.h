#pragma once
// The view of an EditTableModel: copy and paste of rectangular blocks as a
// spreadsheet writes them (tab-separated lines), Delete to empty the selected
// cells; each paste or deletion is one undo command. And a delegate that
// offers a fixed list of words (the curve kinds) in a combo box.

#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>
#include <optional>
#include <vector>

namespace tarnvel::ui::profile {

class EditTableModel;

// The bounding rectangle of the selected cells of any table as tab-separated
// text (cells inside it that are not selected stay empty), with the column
// headers of the block as its first line when `withHeader` is set.
QString SelectedBlockText(const QTableView& view, bool withHeader = false);
// Ctrl+C in a read-only table (elements, listing) copies the selected block
// the same way, ready to paste into a spreadsheet.
void AddBlockCopy(QTableView* view, bool withHeader = false);

// Sets each column as wide as its header and the widest text among a sample
// of rows: the first and the last rows and some spread evenly between.
// Measuring every cell (QTableView::resizeColumnsToContents) costs seconds
// on a long table; the rows of a profile differ little in width, and the
// last ones (the longest stations) are always in the sample. `Widen` keeps a
// column that is already wider as it is.
enum class ColumnFit { Exact, Widen };
void FitColumnsToSample(QTableView* view, ColumnFit fit = ColumnFit::Exact);

class EditTableView : public QTableView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EditTableView)

public:
    explicit EditTableView(QWidget* parent = nullptr);

    void SetEditModel(EditTableModel* model);
    // A table that knows its columns by their headers (the ground table) may
    // read a pasted block itself: when `reader` gives rows, they go into the
    // table from the first column of the current row, whichever cell is current.
    using BlockReader = std::function<std::optional<std::vector<QStringList>>(const std::vector<QStringList>&)>;
    void SetBlockReader(BlockReader reader) { blockReader_ = std::move(reader); }

    // The selected cells' bounding rectangle as tab-separated text.
    QString SelectionText() const;
    void CopySelection() const;
    // Writes the clipboard's block with its top-left cell at the current cell
    // (the first cell when there is none); rows past the end are added.
    void PasteText(const QString& text);
    void Paste();
    void EmptySelectedCells();

    // Rows of the selection, at least the current row; none when the table is empty.
    QList<int> SelectedRows() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    EditTableModel* model_ = nullptr;
    BlockReader blockReader_;
};

class ChoiceDelegate : public QStyledItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChoiceDelegate)

public:
    ChoiceDelegate(QStringList choices, QObject* parent = nullptr);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    QStringList choices_;
};

}  // namespace tarnvel::ui::profile
