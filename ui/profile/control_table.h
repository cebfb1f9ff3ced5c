#pragma once
// The control table (控制标高): one row per control point, the station label
// as typed, its 最低 and 最高 elevations (either may be empty) and a name.
// Reading it gives the controls in row order (control i is row i), or the
// cells that could not be read; checking them against the profile gives the
// marks of the rows the design violates or that cannot be checked.

#include <QStringList>

#include <optional>
#include <vector>

#include "core/profile/design_check.h"
#include "ui/profile/edit_table_model.h"

namespace tarnvel::ui::profile {

enum ControlColumn { kControlStation, kControlLower, kControlUpper, kControlName, kControlColumns };

QStringList ControlHeaders();

struct ControlRowsReading {
    std::vector<ControlPoint> controls;  // complete only when `marks` is empty
    std::vector<CellMark> marks;
};
ControlRowsReading ReadControlRows(const std::vector<QStringList>& rows);

std::vector<QStringList> ControlRowsOf(const std::vector<ControlPoint>& controls);

// The marks of a check: the controls that cannot be checked, and those the
// design violates (the bound's cell, with the margin in the tooltip).
std::vector<CellMark> ControlMarksOf(const std::vector<ControlPoint>& controls, const ControlReport& report,
                                     LengthUnit unit);

// A pasted block with a header naming the station and a bound (title rows
// above, other columns beside): its columns in the table's order.
std::optional<std::vector<QStringList>> ControlColumnsOfBlock(const std::vector<QStringList>& block, LengthUnit unit);

}  // namespace tarnvel::ui::profile
