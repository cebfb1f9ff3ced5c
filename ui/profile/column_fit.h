#pragma once
// Columns that keep fitting their contents: whenever a table's model is
// refilled (a file or ground line imported, rows pasted, a cell typed, the
// elements listed afresh) each column is widened to its header and the
// widest text of a sample of rows. Columns only grow, so a column the user
// widened by hand stays as wide, and a table never shows "K…" for a station
// that once fitted.

class QTableView;

namespace tarnvel::ui::profile {

// Refits `view`'s columns after every refill of its model (the model set at
// the time of the call).
void KeepColumnsFitted(QTableView* view);

}  // namespace tarnvel::ui::profile
