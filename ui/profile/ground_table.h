#pragma once
// The ground table (地面线): one row per surveyed point, the station label as
// typed and the ground elevation. Reading it gives a GroundModel whose points
// are the rows in order (so a problem found for point i lies in row i), or
// the cells that could not be read.

#include <QStringList>

#include <optional>
#include <vector>

#include "core/profile/chain.h"
#include "core/profile/ground_line.h"
#include "ui/profile/edit_table_model.h"

namespace tarnvel::ui::profile {

enum GroundColumn { kGroundStation, kGroundElevation, kGroundColumns };

QStringList GroundHeaders();

struct GroundRowsReading {
    GroundModel model;  // complete only when `marks` is empty
    std::vector<CellMark> marks;
};

GroundRowsReading ReadGroundRows(const std::vector<QStringList>& rows);

// The rows that show `model` again, its stations as labels: internal
// stations (LandXML) are labelled through `chainage`.
std::vector<QStringList> GroundRowsOf(const GroundModel& model, const Chainage& chainage);

// Where a problem found by GroundLine::Make lies in the table.
CellMark GroundMarkOf(const GroundProblem& problem);

// A block pasted from a spreadsheet survey: when one of its first rows is a
// header naming the station and ground columns (any other columns beside
// them, title rows above), the two columns of the rows below it, in the
// table's order, in the document's `unit`: millimetres, centimetres and
// kilometres are converted to metres as the file readers convert them.
// Nothing for a block without such a header, nor for one whose header states
// a unit the document cannot take (feet into metres, "[yd]"): that block is
// pasted as it is, header and all, and its cells are marked.
std::optional<std::vector<QStringList>> GroundColumnsOfBlock(const std::vector<QStringList>& block, LengthUnit unit);

}  // namespace tarnvel::ui::profile
