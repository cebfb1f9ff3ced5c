#include "ui/profile/ground_table.h"

#include <cmath>
#include <string>

#include "core/profile/units.h"
#include "core/text/messages.h"
#include "io/ground_files.h"
#include "ui/profile/cell_text.h"

namespace tarnvel::ui::profile {
namespace {

// How many rows above the header a pasted survey may have as titles.
constexpr int kTitleRows = 5;

}  // namespace

QStringList GroundHeaders() { return {QStringLiteral("桩号"), QStringLiteral("地面高程")}; }

GroundRowsReading ReadGroundRows(const std::vector<QStringList>& rows) {
    GroundRowsReading reading;
    reading.model.stations = GroundStations::Labels;
    reading.model.points.reserve(rows.size());
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        // Row numbers as the table shows them name the points in messages.
        GroundPoint point;
        point.row = static_cast<std::size_t>(row) + 1;
        QString why;
        if (const auto station = ParseCellStation(rows[row][kGroundStation], &why)) {
            point.station = *station;
        } else {
            reading.marks.push_back({row, kGroundStation, why});
        }
        if (const auto elevation = ParseCellNumber(rows[row][kGroundElevation], &why)) {
            point.elevation = *elevation;
        } else {
            reading.marks.push_back({row, kGroundElevation, why});
        }
        reading.model.points.push_back(point);
    }
    return reading;
}

std::vector<QStringList> GroundRowsOf(const GroundModel& model, const Chainage& chainage) {
    std::vector<QStringList> rows;
    rows.reserve(model.points.size());
    for (const GroundPoint& p : model.points) {
        const Station label =
            model.stations == GroundStations::Internal ? chainage.ToLabel(p.station.value) : p.station;
        rows.push_back({ExactStationText(label), ExactNumberCell(p.elevation)});
    }
    return rows;
}

CellMark GroundMarkOf(const GroundProblem& problem) {
    CellMark mark{static_cast<int>(problem.point), kGroundStation, QString::fromStdString(DescribeGroundProblem(problem))};
    switch (problem.kind) {
    case GroundProblemKind::TooFewPoints: mark.row = 0; mark.column = -1; break;
    case GroundProblemKind::ElevationUnreadable:
    case GroundProblemKind::ElevationUnusable: mark.column = kGroundElevation; break;
    default: break;
    }
    return mark;
}

std::optional<std::vector<QStringList>> GroundColumnsOfBlock(const std::vector<QStringList>& block, LengthUnit unit) {
    for (int r = 0; r < static_cast<int>(block.size()) && r <= kTitleRows; ++r) {
        std::vector<std::string> cells;
        for (const QString& cell : block[r]) cells.push_back(cell.toStdString());
        const std::optional<io::GroundColumns> columns = io::FindGroundColumns(cells);
        if (!columns) continue;
        const std::optional<HeldUnit> held = columns->unit ? HeldAs(*columns->unit) : HeldUnit{unit, 0};
        if (columns->unitProblem.fault != UnitFault::None || !held || held->unit != unit) return std::nullopt;
        std::vector<QStringList> picked;
        for (std::size_t below = r + 1; below < block.size(); ++below) {
            const QStringList& row = block[below];
            const QString station = row.value(static_cast<qsizetype>(columns->station)).trimmed();
            const QString ground = row.value(static_cast<qsizetype>(columns->ground)).trimmed();
            // A blank line in the survey is no point.
            if (station.isEmpty() && ground.isEmpty()) continue;
            picked.push_back({HeldStationCell(station, held->powerOfTen), HeldNumberCell(ground, held->powerOfTen)});
        }
        return picked;
    }
    return std::nullopt;
}

}  // namespace tarnvel::ui::profile
