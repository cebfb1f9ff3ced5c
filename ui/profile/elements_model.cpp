#include "ui/profile/elements_model.h"

#include <QBrush>
#include <QColor>

#include "core/text/messages.h"

#include <algorithm>
#include <string_view>
#include <vector>
#include <cmath>
#include <utility>

#include "core/profile/profile.h"
#include "core/text/output_vocabulary.h"

namespace tarnvel::ui::profile {
namespace {

// The window shows the 竖曲线要素表 of every other output, less the point
// number, which is the row's header; stations in K notation, three decimals.
std::vector<ElementsColumn> WindowColumns() {
    std::vector<ElementsColumn> columns;
    for (const ElementsColumn& column : ElementsColumns())
        if (column.kind != ColumnKind::PointNumber) columns.push_back(column);
    return columns;
}

const std::vector<ElementsColumn>& Columns() {
    static const std::vector<ElementsColumn> columns = WindowColumns();
    return columns;
}

TextOptions WindowTextOptions() {
    TextOptions options;
    options.stations = StationStyle::K;
    return options;
}

}  // namespace

ElementsModel::ElementsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ElementsModel::SetProfile(std::shared_ptr<const Profile> profile) {
    // The count before is the count of the snapshot still held, never of the
    // profile that replaced it.
    const int before = rowCount();
    const int after = profile ? static_cast<int>(profile->Elements().size()) : 0;
    if (before != after) {
        beginResetModel();
        profile_ = std::move(profile);
        endResetModel();
        return;
    }
    // Same rows: the selection and the scroll position stay where they are.
    profile_ = std::move(profile);
    if (after > 0) emit dataChanged(index(0, 0), index(after - 1, columnCount() - 1));
}

int ElementsModel::RowOfPoint(int point) const {
    if (!profile_) return -1;
    const auto& rows = profile_->Elements();
    const auto found = std::lower_bound(rows.begin(), rows.end(), point,
                                        [](const CurveElementsRow& row, int p) { return static_cast<int>(row.point) < p; });
    if (found == rows.end() || static_cast<int>(found->point) != point) return -1;
    return static_cast<int>(found - rows.begin());
}

int ElementsModel::PointOfRow(int row) const {
    if (!profile_ || row < 0 || row >= rowCount()) return -1;
    return static_cast<int>(profile_->Elements()[row].point);
}

int ElementsModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !profile_) return 0;
    return static_cast<int>(profile_->Elements().size());
}

int ElementsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Columns().size());
}

QVariant ElementsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) {
        // The point's number, as the other tables of elements give it.
        const int point = PointOfRow(section);
        return point >= 0 ? QVariant(point + 1) : QVariant(section + 1);
    }
    if (section < 0 || section >= columnCount()) return {};
    const std::string_view header = Columns()[static_cast<std::size_t>(section)].chinese;
    return QString::fromUtf8(header.data(), static_cast<qsizetype>(header.size()));
}

void ElementsModel::SetViolations(std::vector<CriterionViolation> violations) {
    if (violations.empty() && violations_.empty()) return;
    violations_ = std::move(violations);
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

QVariant ElementsModel::data(const QModelIndex& index, int role) const {
    if (!profile_ || !index.isValid() || index.column() >= columnCount()) return {};
    const ElementsColumn& column = Columns()[static_cast<std::size_t>(index.column())];
    if (role == Qt::TextAlignmentRole)
        return column.kind == ColumnKind::Word ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::BackgroundRole || role == Qt::ToolTipRole) {
        QString tip;
        for (const CriterionViolation& v : violations_) {
            if (v.point != profile_->Elements()[index.row()].point) continue;
            if (!tip.isEmpty()) tip += QLatin1Char('\n');
            tip += QString::fromStdString(DescribeCriterionViolation(v, profile_->Model().unit));
        }
        if (tip.isEmpty()) return {};
        return role == Qt::ToolTipRole ? QVariant(tip) : QVariant(QBrush(QColor(255, 205, 195)));
    }
    if (role != Qt::DisplayRole) return {};
    static const TextOptions options = WindowTextOptions();
    const CellContext context{*profile_, options, false};
    return QString::fromStdString(CellText(column, profile_->Elements()[index.row()], context));
}

}  // namespace tarnvel::ui::profile
