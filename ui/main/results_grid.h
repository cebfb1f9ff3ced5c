#pragma once
// The 7 × 2 results grid of the single-point calculation. Row 0 and column 0
// are fixed label cells; column 1, rows 1 to 6, holds T, E, L, ZY, YZ and H.

class QTableWidget;
class QWidget;

namespace tarnvel {
struct CurveState;
}

namespace tarnvel::ui {

inline constexpr int kGridRows = 7;
inline constexpr int kGridCols = 2;

// A grid of the right shape with empty cells, fixed cells drawn as headers.
QTableWidget* CreateResultsGrid(QWidget* parent);

// Writes the header row, the six labels and empty value cells; the current
// cell is left at row 6, column 1.
void SetUpResultsGrid(QTableWidget& grid);

// Writes the six values, each rounded to three decimals, into column 1; the
// labels are not written again. The current cell is left at row 6, column 1.
void FillResultsGrid(QTableWidget& grid, double T, double E, double L, double ZY, double YZ,
                     double H);
void FillResultsGrid(QTableWidget& grid, const CurveState& results);

}  // namespace tarnvel::ui
