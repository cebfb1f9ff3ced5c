#pragma once
// The 交点表: one row per point of the route (the start, the JDs, the end)
// with its name, X (north), Y (east), R, Ls1, Ls2 and the 桩号 (required on
// the start row, compared on the others). Reading it gives the points of an
// IntersectionTable, or the cells that could not be read.

#include <QStringList>

#include <optional>
#include <vector>

#include "core/plan/plan.h"
#include "ui/profile/edit_table_model.h"

namespace tarnvel::ui::profile {

enum PlanColumn { kPlanName, kPlanNorth, kPlanEast, kPlanRadius, kPlanSpiralIn, kPlanSpiralOut, kPlanStation, kPlanColumns };

QStringList PlanHeaders();

struct PlanReading {
    IntersectionTable table;  // points and start; complete only when `marks` is empty
    std::vector<CellMark> marks;
};

// Empty curve cells are no curve (0); the JDs between the ends need their R.
PlanReading ReadPlanRows(const std::vector<QStringList>& rows);

// The rows that show `table` again (numbers in their canonical text).
std::vector<QStringList> PlanRowsOf(const IntersectionTable& table);

// A block pasted from a spreadsheet 交点表 with its header row (title rows
// above it, other columns beside it, as the 交点表 CSV reader takes them):
// its rows in this table's columns, when the whole block reads as a 交点表 in
// `unit`. Nothing otherwise: the block is then pasted as it is.
std::optional<std::vector<QStringList>> PlanColumnsOfBlock(const std::vector<QStringList>& block, LengthUnit unit);

// Where a problem found by Plan::Resolve lies in the 交点表.
CellMark PlanMarkOf(const PlanProblem& problem);

}  // namespace tarnvel::ui::profile
