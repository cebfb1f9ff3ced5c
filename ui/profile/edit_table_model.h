#pragma once
// An editable table of texts, the common ground of the PVI table and the
// chain table. The model keeps each cell as the user typed it; reading the
// texts as numbers is the business of the table that owns the columns, which
// reports back what it could not read as marks. Every change goes through the
// undo stack as one command: a typed cell, a pasted block, rows inserted or
// removed. Loading a file replaces the whole content outside the stack.

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QUndoStack;

namespace tarnvel::ui::profile {

// A cell (or, with column -1, a whole row) that is wrong, and why.
struct CellMark {
    int row = 0;
    int column = -1;
    QString message;
};

class EditTableModel : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EditTableModel)

public:
    EditTableModel(QStringList headers, QUndoStack& undo, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A typed cell: one undo command (none when the text is unchanged).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    const std::vector<QStringList>& Rows() const { return rows_; }
    // The columns of typed texts; computed columns (below) come after them.
    int TextColumnCount() const { return static_cast<int>(headers_.size()); }
    const QString& Cell(int row, int column) const { return rows_[row][column]; }

    // ---- Edits, each one undo command ---------------------------------------
    // Writes `block` with its top-left cell at (row, column). Rows past the end
    // are added; cells past the last column are dropped.
    void WriteBlock(int row, int column, std::vector<QStringList> block, const QString& commandText);
    void InsertEmptyRows(int row, int count);
    void RemoveRowRange(int row, int count);

    // ---- Computed columns -------------------------------------------------------
    // Columns after the typed ones whose texts follow from something else
    // (the PVI table's 坡度 and 坡长, from the resolved profile). Typing into
    // one hands the text to `edit`, which makes its own edit of the typed
    // columns (or refuses it: false); pastes and emptied cells never reach them.
    struct ComputedColumns {
        QStringList headers;
        std::function<QString(int row, int column)> text;  // column counted from the first computed one
        std::function<bool(int row, int column, const QString& typed)> edit;
    };
    void SetComputedColumns(ComputedColumns columns);
    // Their texts changed (a new profile): the views repaint them.
    void RefreshComputed();

    // ---- Outside the undo stack -----------------------------------------------
    void ReplaceAll(std::vector<QStringList> rows);

    // The marks to show: each replaces the last set whole. The cells of a
    // marked row or cell get a warm colour and the message as tooltip.
    void SetMarks(std::vector<CellMark> marks);
    const std::vector<CellMark>& Marks() const { return marks_; }

signals:
    // After any change of the texts: an edit, its undo or redo, a load.
    void Edited();

private:
    friend class BlockCommand;
    friend class RowsCommand;

    // The raw operations the commands perform.
    void PutBlock(int row, int column, const std::vector<QStringList>& block);
    void PutRows(int row, const std::vector<QStringList>& rows);
    std::vector<QStringList> TakeRows(int row, int count);
    QStringList EmptyRow() const;
    const CellMark* MarkAt(int row, int column) const;

    QStringList headers_;
    QUndoStack& undo_;
    std::vector<QStringList> rows_;
    std::vector<CellMark> marks_;
    ComputedColumns computed_;
    // For each row the index into marks_ of its first mark (or -1), so that
    // painting a cell does not search the whole list.
    std::vector<int> firstMark_;
};

}  // namespace tarnvel::ui::profile
