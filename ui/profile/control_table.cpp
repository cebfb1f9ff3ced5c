#include "ui/profile/control_table.h"

#include <string>

#include "core/text/messages.h"
#include "io/control_files.h"
#include "io/table_reading.h"
#include "ui/profile/cell_text.h"

namespace tarnvel::ui::profile {

QStringList ControlHeaders() {
    return {QStringLiteral("桩号"), QStringLiteral("最低高程"), QStringLiteral("最高高程"), QStringLiteral("名称")};
}

ControlRowsReading ReadControlRows(const std::vector<QStringList>& rows) {
    ControlRowsReading reading;
    reading.controls.reserve(rows.size());
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        ControlPoint control;
        control.row = static_cast<std::size_t>(row) + 1;  // as the table numbers its rows
        QString why;
        if (const auto station = ParseCellStation(rows[row][kControlStation], &why)) control.station = *station;
        else reading.marks.push_back({row, kControlStation, why});
        for (const auto& [column, bound] : {std::pair{kControlLower, &control.lower}, std::pair{kControlUpper, &control.upper}}) {
            if (rows[row][column].trimmed().isEmpty()) continue;  // no bound on that side
            if (const auto value = ParseCellNumber(rows[row][column], &why)) *bound = *value;
            else reading.marks.push_back({row, column, why});
        }
        control.name = rows[row][kControlName].trimmed().toStdString();
        reading.controls.push_back(std::move(control));
    }
    return reading;
}

std::vector<QStringList> ControlRowsOf(const std::vector<ControlPoint>& controls) {
    std::vector<QStringList> rows;
    rows.reserve(controls.size());
    for (const ControlPoint& c : controls)
        rows.push_back({ExactStationText(c.station), c.lower ? ExactNumberCell(*c.lower) : QString(),
                        c.upper ? ExactNumberCell(*c.upper) : QString(), QString::fromStdString(c.name)});
    return rows;
}

std::vector<CellMark> ControlMarksOf(const std::vector<ControlPoint>& controls, const ControlReport& report,
                                     LengthUnit unit) {
    std::vector<CellMark> marks;
    for (const ControlProblem& p : report.problems) {
        const int column = p.kind == ControlProblemKind::BoundsCrossed || p.kind == ControlProblemKind::NoBound
                               ? -1
                               : kControlStation;
        marks.push_back({static_cast<int>(p.point), column, QString::fromStdString(DescribeControlProblem(p))});
    }
    for (const ControlCheck& check : report.checks) {
        if (check.status == ControlStatus::Ok) continue;
        marks.push_back({static_cast<int>(check.point),
                         check.status == ControlStatus::Below ? kControlLower : kControlUpper,
                         QString::fromStdString(DescribeControlViolation(controls[check.point], check, unit))});
    }
    std::stable_sort(marks.begin(), marks.end(), [](const CellMark& a, const CellMark& b) { return a.row < b.row; });
    return marks;
}

std::optional<std::vector<QStringList>> ControlColumnsOfBlock(const std::vector<QStringList>& block, LengthUnit unit) {
    for (int r = 0; r < static_cast<int>(block.size()) && r <= static_cast<int>(io::kTableTitleRows); ++r) {
        std::vector<std::string> cells;
        for (const QString& cell : block[r]) cells.push_back(cell.toStdString());
        const std::optional<io::ControlColumns> columns = io::FindControlColumns(cells);
        if (!columns) continue;
        // Lengths in the header's unit, as the ground table's block reads them.
        const std::optional<HeldUnit> held = columns->unit ? HeldAs(*columns->unit) : HeldUnit{unit, 0};
        if (columns->unitProblem.fault != UnitFault::None || !held || held->unit != unit) return std::nullopt;
        const auto cell = [](const QStringList& row, std::optional<std::size_t> column) {
            return column ? row.value(static_cast<qsizetype>(*column)).trimmed() : QString();
        };
        std::vector<QStringList> picked;
        for (std::size_t below = r + 1; below < block.size(); ++below) {
            const QStringList& row = block[below];
            QStringList cells{HeldStationCell(cell(row, columns->station), held->powerOfTen),
                              HeldNumberCell(cell(row, columns->lower), held->powerOfTen),
                              HeldNumberCell(cell(row, columns->upper), held->powerOfTen), cell(row, columns->name)};
            if (cells.join(QString()).isEmpty()) continue;  // a blank line is no control
            picked.push_back(std::move(cells));
        }
        return picked;
    }
    return std::nullopt;
}

}  // namespace tarnvel::ui::profile
