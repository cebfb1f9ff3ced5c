#include "ui/profile/edit_table_model.h"

#include <QBrush>
#include <QColor>
#include <QUndoCommand>
#include <QUndoStack>

#include <algorithm>
#include <utility>

namespace tarnvel::ui::profile {

// A block of cells written over what was there; rows appended for the part
// that reaches past the end are removed again by the undo.
class BlockCommand final : public QUndoCommand {
public:
    BlockCommand(EditTableModel& model, int row, int column, std::vector<QStringList> after,
                 const QString& text)
        : QUndoCommand(text), model_(model), row_(row), column_(column), after_(std::move(after)) {
        const int present = model_.rowCount();
        added_ = std::max(0, row_ + static_cast<int>(after_.size()) - present);
        for (std::size_t r = 0; r < after_.size() && row_ + static_cast<int>(r) < present; ++r) {
            QStringList cells;
            const QStringList& old = model_.rows_[row_ + r];
            for (qsizetype c = 0; c < after_[r].size(); ++c) cells.append(old[column_ + c]);
            before_.push_back(cells);
        }
    }
    void redo() override {
        if (added_ > 0) {
            std::vector<QStringList> empty(added_, model_.EmptyRow());
            model_.PutRows(model_.rowCount(), empty);
        }
        model_.PutBlock(row_, column_, after_);
    }
    void undo() override {
        model_.PutBlock(row_, column_, before_);
        if (added_ > 0) model_.TakeRows(model_.rowCount() - added_, added_);
    }

private:
    EditTableModel& model_;
    int row_, column_;
    int added_ = 0;
    std::vector<QStringList> after_, before_;
};

class RowsCommand final : public QUndoCommand {
public:
    // Insert `rows` at `row`, or (with `remove`) take `count` rows out there.
    RowsCommand(EditTableModel& model, int row, std::vector<QStringList> rows, const QString& text)
        : QUndoCommand(text), model_(model), row_(row), rows_(std::move(rows)), insert_(true) {}
    RowsCommand(EditTableModel& model, int row, int count, const QString& text)
        : QUndoCommand(text), model_(model), row_(row), count_(count), insert_(false) {}
    void redo() override { insert_ ? Insert() : Remove(); }
    void undo() override { insert_ ? Remove() : Insert(); }

private:
    void Insert() { model_.PutRows(row_, rows_); }
    void Remove() {
        rows_ = model_.TakeRows(row_, insert_ ? static_cast<int>(rows_.size()) : count_);
    }

    EditTableModel& model_;
    int row_;
    int count_ = 0;
    std::vector<QStringList> rows_;
    bool insert_;
};

EditTableModel::EditTableModel(QStringList headers, QUndoStack& undo, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)), undo_(undo) {}

int EditTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int EditTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size() + computed_.headers.size());
}

void EditTableModel::SetComputedColumns(ComputedColumns columns) {
    beginResetModel();
    computed_ = std::move(columns);
    endResetModel();
}

void EditTableModel::RefreshComputed() {
    if (computed_.headers.isEmpty() || rows_.empty()) return;
    emit dataChanged(index(0, TextColumnCount()), index(rowCount() - 1, columnCount() - 1));
}

const CellMark* EditTableModel::MarkAt(int row, int column) const {
    if (row >= static_cast<int>(firstMark_.size()) || firstMark_[row] < 0) return nullptr;
    for (std::size_t i = firstMark_[row]; i < marks_.size() && marks_[i].row == row; ++i) {
        if (marks_[i].column == column || marks_[i].column < 0) return &marks_[i];
    }
    return nullptr;
}

QVariant EditTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (index.column() >= TextColumnCount()) {
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return computed_.text(index.row(), index.column() - TextColumnCount());
        if (role == Qt::BackgroundRole) return QBrush(QColor(240, 244, 250));  // derived, not typed
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return rows_[index.row()][index.column()];
    case Qt::BackgroundRole:
        if (MarkAt(index.row(), index.column())) return QBrush(QColor(255, 205, 195));
        return {};
    case Qt::ToolTipRole:
        if (const CellMark* mark = MarkAt(index.row(), index.column())) return mark->message;
        return {};
    default:
        return {};
    }
}

QVariant EditTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal)
        return section < TextColumnCount() ? headers_.value(section) : computed_.headers.value(section - TextColumnCount());
    return section + 1;
}

Qt::ItemFlags EditTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool EditTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    if (index.column() >= TextColumnCount())
        return computed_.edit && computed_.edit(index.row(), index.column() - TextColumnCount(), value.toString());
    const QString text = value.toString();
    if (text == rows_[index.row()][index.column()]) return true;
    WriteBlock(index.row(), index.column(), {QStringList{text}},
               QStringLiteral("编辑第%1行").arg(index.row() + 1));
    return true;
}

void EditTableModel::WriteBlock(int row, int column, std::vector<QStringList> block, const QString& commandText) {
    if (block.empty() || row < 0 || column < 0 || column >= TextColumnCount()) return;
    row = std::min(row, rowCount());
    const qsizetype width = std::min<qsizetype>(block.front().size(), TextColumnCount() - column);
    for (QStringList& cells : block) cells = cells.mid(0, width);
    undo_.push(new BlockCommand(*this, row, column, std::move(block), commandText));
}

void EditTableModel::InsertEmptyRows(int row, int count) {
    if (count <= 0) return;
    row = std::clamp(row, 0, rowCount());
    undo_.push(new RowsCommand(*this, row, std::vector<QStringList>(count, EmptyRow()),
                               QStringLiteral("插入%1行").arg(count)));
}

void EditTableModel::RemoveRowRange(int row, int count) {
    if (row < 0 || count <= 0 || row >= rowCount()) return;
    count = std::min(count, rowCount() - row);
    undo_.push(new RowsCommand(*this, row, count, QStringLiteral("删除%1行").arg(count)));
}

void EditTableModel::ReplaceAll(std::vector<QStringList> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    for (QStringList& cells : rows_) {
        while (cells.size() < columnCount()) cells.append(QString());
    }
    marks_.clear();
    firstMark_.clear();
    endResetModel();
    emit Edited();
}

void EditTableModel::SetMarks(std::vector<CellMark> marks) {
    std::stable_sort(marks.begin(), marks.end(), [](const CellMark& a, const CellMark& b) { return a.row < b.row; });
    if (marks.empty() && marks_.empty()) return;
    // Only the rows between the first and last mark, old or new, repaint.
    int first = rowCount(), last = -1;
    for (const auto* list : {&marks_, &marks}) {
        if (list->empty()) continue;
        first = std::min(first, list->front().row);
        last = std::max(last, list->back().row);
    }
    marks_ = std::move(marks);
    firstMark_.assign(rows_.size(), -1);
    for (std::size_t i = marks_.size(); i-- > 0;) {
        const int row = marks_[i].row;
        if (row >= 0 && row < rowCount()) firstMark_[row] = static_cast<int>(i);
    }
    last = std::min(last, rowCount() - 1);
    if (first <= last) {
        emit dataChanged(index(first, 0), index(last, columnCount() - 1), {Qt::BackgroundRole, Qt::ToolTipRole});
    }
}

QStringList EditTableModel::EmptyRow() const {
    QStringList cells;
    for (int c = 0; c < TextColumnCount(); ++c) cells.append(QString());
    return cells;
}

void EditTableModel::PutBlock(int row, int column, const std::vector<QStringList>& block) {
    if (block.empty()) return;
    for (std::size_t r = 0; r < block.size(); ++r) {
        for (qsizetype c = 0; c < block[r].size(); ++c) rows_[row + r][column + c] = block[r][c];
    }
    const int lastColumn = column + static_cast<int>(block.front().size()) - 1;
    emit dataChanged(index(row, column), index(row + static_cast<int>(block.size()) - 1, lastColumn),
                     {Qt::DisplayRole, Qt::EditRole});
    emit Edited();
}

void EditTableModel::PutRows(int row, const std::vector<QStringList>& rows) {
    if (rows.empty()) return;
    beginInsertRows(QModelIndex(), row, row + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.begin() + row, rows.begin(), rows.end());
    endInsertRows();
    emit Edited();
}

std::vector<QStringList> EditTableModel::TakeRows(int row, int count) {
    std::vector<QStringList> taken(rows_.begin() + row, rows_.begin() + row + count);
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    rows_.erase(rows_.begin() + row, rows_.begin() + row + count);
    endRemoveRows();
    emit Edited();
    return taken;
}

}  // namespace tarnvel::ui::profile
