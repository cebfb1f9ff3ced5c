#include "ui/profile/edit_table_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>

#include <QStyle>

#include <algorithm>
#include <set>
#include <vector>

#include "ui/profile/cell_text.h"
#include "ui/profile/edit_table_model.h"

namespace tarnvel::ui::profile {

EditTableView::EditTableView(QWidget* parent) : QTableView(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

void EditTableView::SetEditModel(EditTableModel* model) {
    model_ = model;
    setModel(model);
}

QString SelectedBlockText(const QTableView& view, bool withHeader) {
    const QAbstractItemModel* model = view.model();
    const QItemSelectionModel* selection = view.selectionModel();
    if (!model || !selection) return QString();
    const QModelIndexList cells = selection->selectedIndexes();
    if (cells.isEmpty()) return QString();
    int top = model->rowCount(), left = model->columnCount(), bottom = -1, right = -1;
    for (const QModelIndex& cell : cells) {
        top = std::min(top, cell.row());
        bottom = std::max(bottom, cell.row());
        left = std::min(left, cell.column());
        right = std::max(right, cell.column());
    }
    std::vector<QStringList> rows;
    if (withHeader) {
        QStringList header;
        for (int c = left; c <= right; ++c) header.append(model->headerData(c, Qt::Horizontal).toString());
        rows.push_back(header);
    }
    for (int r = top; r <= bottom; ++r) {
        QStringList row;
        for (int c = left; c <= right; ++c) {
            const QModelIndex index = model->index(r, c);
            row.append(selection->isSelected(index) ? index.data(Qt::DisplayRole).toString() : QString());
        }
        rows.push_back(row);
    }
    return TabBlockText(rows);
}

void FitColumnsToSample(QTableView* view, ColumnFit fit) {
    const QAbstractItemModel* model = view->model();
    if (model == nullptr) return;
    const int rows = model->rowCount();
    constexpr int kEnds = 50, kSpread = 100;
    std::vector<int> sample;
    for (int row = 0; row < std::min(rows, kEnds); ++row) sample.push_back(row);
    for (int row = std::max(kEnds, rows - kEnds); row < rows; ++row) sample.push_back(row);
    if (rows > 2 * kEnds) {
        for (int i = 1; i < kSpread; ++i)
            sample.push_back(kEnds + static_cast<int>(static_cast<qint64>(rows - 2 * kEnds) * i / kSpread));
    }
    const QFontMetrics metrics(view->font());
    // What a cell needs beside its text: the delegate's margins and the grid line.
    // One digit more than measured: the font a cell is painted in may set
    // its text a pixel or two wider than these metrics, and a station cut to
    // "K0+025.0…" is worse than a little room.
    const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1) +
                        (view->showGrid() ? 1 : 0) + metrics.horizontalAdvance(QLatin1Char('0'));
    QHeaderView* header = view->horizontalHeader();
    for (int column = 0; column < model->columnCount(); ++column) {
        if (view->isColumnHidden(column)) continue;
        int width = header->sectionSizeHint(column);
        if (fit == ColumnFit::Widen) width = std::max(width, view->columnWidth(column));
        for (const int row : sample) {
            const QString text = model->index(row, column).data(Qt::DisplayRole).toString();
            if (!text.isEmpty()) width = std::max(width, metrics.horizontalAdvance(text) + margins);
        }
        view->setColumnWidth(column, width);
    }
}

void AddBlockCopy(QTableView* view, bool withHeader) {
    auto* copy = new QAction(view);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    view->addAction(copy);
    QObject::connect(copy, &QAction::triggered, view, [view, withHeader] {
        const QString text = SelectedBlockText(*view, withHeader);
        if (!text.isEmpty()) QApplication::clipboard()->setText(text);
    });
}

QString EditTableView::SelectionText() const { return SelectedBlockText(*this); }

void EditTableView::CopySelection() const {
    const QString text = SelectionText();
    if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

void EditTableView::PasteText(const QString& text) {
    if (!model_) return;
    std::vector<QStringList> block = ParseTabBlock(text);
    if (block.empty()) return;
    const QModelIndex at = currentIndex();
    const int row = at.isValid() ? at.row() : 0;
    int column = at.isValid() ? at.column() : 0;
    if (blockReader_) {
        if (std::optional<std::vector<QStringList>> read = blockReader_(block)) {
            if (read->empty()) return;
            block = std::move(*read);
            column = 0;
        }
    }
    model_->WriteBlock(row, column, std::move(block), QStringLiteral("粘贴"));
}

void EditTableView::Paste() { PasteText(QApplication::clipboard()->text()); }

void EditTableView::EmptySelectedCells() {
    if (!model_) return;
    const QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty()) return;
    int top = model_->rowCount(), left = model_->columnCount(), bottom = -1, right = -1;
    for (const QModelIndex& cell : cells) {
        top = std::min(top, cell.row());
        bottom = std::max(bottom, cell.row());
        left = std::min(left, cell.column());
        right = std::max(right, cell.column());
    }
    right = std::min(right, model_->TextColumnCount() - 1);  // computed cells are not emptied
    if (left > right) return;
    // One command over the bounding rectangle; unselected cells keep their text.
    std::vector<QStringList> block;
    for (int r = top; r <= bottom; ++r) {
        QStringList row;
        for (int c = left; c <= right; ++c)
            row.append(selectionModel()->isSelected(model_->index(r, c)) ? QString() : model_->Cell(r, c));
        block.push_back(row);
    }
    model_->WriteBlock(top, left, std::move(block), QStringLiteral("清空单元格"));
}

QList<int> EditTableView::SelectedRows() const {
    std::set<int> rows;
    for (const QModelIndex& cell : selectionModel()->selectedIndexes()) rows.insert(cell.row());
    if (rows.empty() && currentIndex().isValid()) rows.insert(currentIndex().row());
    return QList<int>(rows.begin(), rows.end());
}

void EditTableView::keyPressEvent(QKeyEvent* event) {
    if (state() != QAbstractItemView::EditingState) {
        if (event->matches(QKeySequence::Copy)) {
            CopySelection();
            return;
        }
        if (event->matches(QKeySequence::Paste)) {
            Paste();
            return;
        }
        if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
            EmptySelectedCells();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

ChoiceDelegate::ChoiceDelegate(QStringList choices, QObject* parent)
    : QStyledItemDelegate(parent), choices_(std::move(choices)) {}

QWidget* ChoiceDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QStringLiteral("KindEditor"));
    combo->addItem(QString());  // empty: the kind follows from the numbers given
    combo->addItems(choices_);
    return combo;
}

void ChoiceDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* combo = static_cast<QComboBox*>(editor);
    const int found = combo->findText(index.data(Qt::EditRole).toString());
    combo->setCurrentIndex(std::max(found, 0));
}

void ChoiceDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
}

}  // namespace tarnvel::ui::profile
