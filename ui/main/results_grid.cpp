#include "ui/main/results_grid.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QPalette>
#include <QTableWidget>

#include <array>
#include <string>

#include "core/calculator/curve.h"
#include "core/calculator/number_text.h"

namespace tarnvel::ui {
namespace {

// Each label starts with one ordinary blank; the blanks inside are part of them.
const std::array<const char*, kGridRows> kLabels{
    " 名  称", " 切线长T=", " 外距长E=", " 曲线长L=", " 起点ZY =", " 止点YZ =", " 高程H  =",
};
constexpr const char* kValueHeader = " 结  果";

// Column widths and row height in pixels: the seven rows and two columns just
// fill the grid's 128 × 129 pixel place inside its one-pixel frame.
constexpr int kLabelColumnWidth = 63;
constexpr int kValueColumnWidth = 63;
constexpr int kRowHeight = 18;

bool IsFixed(int row, int col) { return row == 0 || col == 0; }

// Makes (row, col) the current cell without selecting it, the way the grid's
// writes have always moved their cursor: the selection stays the user's.
void SetCurrentCell(QTableWidget& grid, int row, int col) {
    grid.selectionModel()->setCurrentIndex(grid.model()->index(row, col),
                                           QItemSelectionModel::NoUpdate);
}

void SetCurrentText(QTableWidget& grid, const QString& text) {
    QTableWidgetItem* item = grid.item(grid.currentRow(), grid.currentColumn());
    item->setText(text);
    item->setToolTip(text);
}

QString ValueText(double value) {
    return QString::fromStdString(NumberToText(RoundTo3(value)));
}

}  // namespace

QTableWidget* CreateResultsGrid(QWidget* parent) {
    auto* grid = new QTableWidget(kGridRows, kGridCols, parent);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    // Tab leaves the grid for the next control instead of walking its cells.
    grid->setTabKeyNavigation(false);
    grid->setWordWrap(false);
    // A value wider than its cell ends in "…" and shows whole as the cell's
    // tooltip: the grid keeps its size, and no value is cut without a sign.
    grid->setTextElideMode(Qt::ElideRight);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid->setColumnWidth(0, kLabelColumnWidth);
    grid->setColumnWidth(1, kValueColumnWidth);
    for (int row = 0; row < kGridRows; ++row) grid->setRowHeight(row, kRowHeight);

    // The area beyond the last cell is grey; the cells draw their own colours.
    QPalette palette = grid->palette();
    const QColor cellBackground = palette.color(QPalette::Base);
    const QColor fixedBackground = palette.color(QPalette::Button);
    const QColor fixedText = palette.color(QPalette::ButtonText);
    palette.setColor(QPalette::Base, QColor(128, 128, 128));
    grid->setPalette(palette);

    for (int row = 0; row < kGridRows; ++row) {
        for (int col = 0; col < kGridCols; ++col) {
            auto* item = new QTableWidgetItem();
            if (IsFixed(row, col)) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(fixedBackground);
                item->setForeground(fixedText);
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                item->setBackground(cellBackground);
            }
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            grid->setItem(row, col, item);
        }
    }
    return grid;
}

void SetUpResultsGrid(QTableWidget& grid) {
    SetCurrentCell(grid, 0, 0);
    SetCurrentText(grid, QString::fromUtf8(kLabels[0]));
    SetCurrentCell(grid, 0, 1);
    SetCurrentText(grid, QString::fromUtf8(kValueHeader));
    for (int row = 1; row < kGridRows; ++row) {
        SetCurrentCell(grid, row, 0);
        SetCurrentText(grid, QString::fromUtf8(kLabels[row]));
    }
    for (int row = 1; row < kGridRows; ++row) {
        SetCurrentCell(grid, row, 1);
        SetCurrentText(grid, QString());
    }
}

void FillResultsGrid(QTableWidget& grid, double T, double E, double L, double ZY, double YZ,
                     double H) {
    const std::array<double, kGridRows - 1> values{T, E, L, ZY, YZ, H};
    for (int row = 1; row < kGridRows; ++row) {
        SetCurrentCell(grid, row, 1);
        SetCurrentText(grid, ValueText(values[row - 1]));
    }
}

void FillResultsGrid(QTableWidget& grid, const CurveState& results) {
    const CurveElements& e = results.elements;
    FillResultsGrid(grid, e.T, e.E, e.L, e.ZY, e.YZ, results.H);
}

}  // namespace tarnvel::ui
