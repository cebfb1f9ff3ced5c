#include "ui/profile/curve_table_model.h"

#include "core/plan/plan.h"
#include "core/text/plan_text.h"

namespace tarnvel::ui::profile {

CurveTableModel::CurveTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void CurveTableModel::SetPlan(const std::shared_ptr<const Plan>& plan) {
    beginResetModel();
    rows_.clear();
    headers_.clear();
    fromTable_ = plan && plan->FromTable();
    plan_ = plan;
    if (plan) {
        // Stations in K notation, as the window's other tables show them.
        TextOptions options;
        options.stations = StationStyle::K;
        // A route kept as elements has no JDs: its elements are listed instead.
        const std::vector<std::vector<std::string>> cells =
            plan->FromTable() ? CurveTableRows(*plan, options) : ElementListRows(*plan, options);
        for (const std::string& title : cells.front()) headers_.append(QString::fromStdString(title));
        rows_.reserve(cells.size() - 1);
        for (std::size_t i = 1; i < cells.size(); ++i) {
            QStringList row;
            for (const std::string& cell : cells[i]) row.append(QString::fromStdString(cell));
            // The end row stops after its coordinates: the rest of it is empty.
            while (row.size() < headers_.size()) row.append(QString());
            rows_.push_back(std::move(row));
        }
    }
    endResetModel();
}

int CurveTableModel::RowOfPoint(int point) const {
    // Row 0 is the start, then one row per JD, then the end: the table's points.
    return fromTable_ && point >= 0 && point < static_cast<int>(rows_.size()) ? point : -1;
}

std::optional<double> CurveTableModel::MiddleOfRow(int row) const {
    if (!plan_ || row < 0 || row >= static_cast<int>(rows_.size())) return std::nullopt;
    if (!fromTable_) {
        const auto& elements = plan_->Elements();
        if (row >= static_cast<int>(elements.size())) return std::nullopt;
        const PlanElement& e = elements[static_cast<std::size_t>(row)];
        return e.start + e.length / 2;
    }
    if (row == 0) return plan_->StartStation();
    if (row + 1 == static_cast<int>(rows_.size())) return plan_->EndStation();
    for (const CurveTableRow& jd : plan_->CurveTable())
        if (jd.point == static_cast<std::size_t>(row)) return jd.length > 0 ? jd.qz : jd.station;
    return std::nullopt;
}

int CurveTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CurveTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant CurveTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    return rows_[static_cast<std::size_t>(index.row())].value(index.column());
}

QVariant CurveTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return headers_.value(section);
    return section + 1;
}

}  // namespace tarnvel::ui::profile
