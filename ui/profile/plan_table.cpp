#include "ui/profile/plan_table.h"

#include "core/text/messages.h"
#include "io/plan_files.h"
#include "ui/profile/cell_text.h"

namespace tarnvel::ui::profile {

QStringList PlanHeaders() {
    return {QStringLiteral("交点号"), QStringLiteral("X(北)"), QStringLiteral("Y(东)"),  QStringLiteral("半径R"),
            QStringLiteral("Ls1"),    QStringLiteral("Ls2"),   QStringLiteral("桩号")};
}

PlanReading ReadPlanRows(const std::vector<QStringList>& rows) {
    PlanReading reading;
    reading.table.points.reserve(rows.size());
    const int count = static_cast<int>(rows.size());
    for (int row = 0; row < count; ++row) {
        const QStringList& cells = rows[static_cast<std::size_t>(row)];
        const bool end = row == 0 || row + 1 == count;
        IntersectionPoint point;
        point.name = cells[kPlanName].trimmed().toStdString();
        QString why;
        const auto number = [&](int column, double& into, bool required) {
            if (!required && cells[column].trimmed().isEmpty()) return;
            if (const auto value = ParseCellNumber(cells[column], &why)) into = *value;
            else reading.marks.push_back({row, column, why});
        };
        number(kPlanNorth, point.at.north, true);
        number(kPlanEast, point.at.east, true);
        if (!end && cells[kPlanRadius].trimmed().isEmpty())
            reading.marks.push_back({row, kPlanRadius, QStringLiteral("交点要有半径。")});
        number(kPlanRadius, point.radius, false);
        number(kPlanSpiralIn, point.spiralIn, false);
        number(kPlanSpiralOut, point.spiralOut, false);
        if (end && (point.radius != 0 || point.spiralIn != 0 || point.spiralOut != 0)) {
            const int column = point.radius != 0 ? kPlanRadius : point.spiralIn != 0 ? kPlanSpiralIn : kPlanSpiralOut;
            reading.marks.push_back({row, column, row == 0 ? QStringLiteral("第一行是起点，起点没有曲线。")
                                                           : QStringLiteral("最后一行是终点，终点没有曲线。")});
        }
        if (row == 0 || !cells[kPlanStation].trimmed().isEmpty()) {
            if (const auto station = ParseCellStation(cells[kPlanStation], &why)) {
                if (row == 0) reading.table.start = *station;
                else point.station = *station;
            } else {
                reading.marks.push_back({row, kPlanStation, row == 0 && cells[kPlanStation].trimmed().isEmpty()
                                                                ? QStringLiteral("起点要有桩号。")
                                                                : why});
            }
        }
        reading.table.points.push_back(std::move(point));
    }
    return reading;
}

std::vector<QStringList> PlanRowsOf(const IntersectionTable& table) {
    std::vector<QStringList> rows;
    rows.reserve(table.points.size());
    for (std::size_t i = 0; i < table.points.size(); ++i) {
        const IntersectionPoint& p = table.points[i];
        const bool end = i == 0 || i + 1 == table.points.size();
        QStringList cells(kPlanColumns);
        cells[kPlanName] = QString::fromStdString(p.name);
        cells[kPlanNorth] = ExactNumberCell(p.at.north);
        cells[kPlanEast] = ExactNumberCell(p.at.east);
        // The ends' curve cells stay empty, as the 交点表 CSV leaves them.
        const auto curve = [&](double value) { return end && value == 0 ? QString() : ExactNumberCell(value); };
        cells[kPlanRadius] = curve(p.radius);
        cells[kPlanSpiralIn] = curve(p.spiralIn);
        cells[kPlanSpiralOut] = curve(p.spiralOut);
        if (i == 0) cells[kPlanStation] = ExactStationText(table.start);
        else if (p.station) cells[kPlanStation] = ExactStationText(*p.station);
        rows.push_back(std::move(cells));
    }
    return rows;
}

std::optional<std::vector<QStringList>> PlanColumnsOfBlock(const std::vector<QStringList>& block, LengthUnit unit) {
    const std::string text = TabBlockText(block).toStdString();
    const io::Result<IntersectionTable> read = io::ParseIntersectionCsv(text, "剪贴板");
    if (!read.ok() || read.value().unit != unit) return std::nullopt;
    return PlanRowsOf(read.value());
}

CellMark PlanMarkOf(const PlanProblem& problem) {
    CellMark mark{static_cast<int>(problem.point), -1, QString::fromStdString(DescribePlanProblem(problem))};
    switch (problem.field) {
    case PlanField::North: mark.column = kPlanNorth; break;
    case PlanField::East: mark.column = kPlanEast; break;
    case PlanField::Radius: mark.column = kPlanRadius; break;
    case PlanField::SpiralIn: mark.column = kPlanSpiralIn; break;
    case PlanField::SpiralOut: mark.column = kPlanSpiralOut; break;
    case PlanField::Station: mark.column = kPlanStation; break;
    case PlanField::Whole:
    case PlanField::Point:
    case PlanField::Chain:
    case PlanField::Element: break;
    }
    return mark;
}

}  // namespace tarnvel::ui::profile
