#include "ui/profile/elements_model.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/profile/profile.h"
#include "ui/profile/cell_text.h"

namespace tarnvel::ui::profile {
namespace {

enum Column {
    kStation, kElevation, kGradeIn, kGradeOut, kShape, kKind, kRadius, kLength, kTangentIn, kTangentOut,
    kExternal, kStartStation, kStartElevation, kEndStation, kEndElevation, kExtremeStation, kExtremeElevation,
    kColumns
};

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
    if (after > 0) emit dataChanged(index(0, 0), index(after - 1, kColumns - 1));
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

int ElementsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant ElementsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    static const char* const kHeaders[kColumns] = {
        "变坡点桩号", "变坡点高程", "前坡度(%)", "后坡度(%)", "凹凸", "类型", "半径R", "曲线长L", "前切线长T1",
        "后切线长T2", "外距E", "起点桩号", "起点高程", "终点桩号", "终点高程", "最高/最低点桩号", "最高/最低点高程"};
    return section >= 0 && section < kColumns ? QString::fromUtf8(kHeaders[section]) : QVariant();
}

QVariant ElementsModel::data(const QModelIndex& index, int role) const {
    if (!profile_ || !index.isValid()) return {};
    if (role == Qt::TextAlignmentRole) {
        return index.column() == kShape || index.column() == kKind ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) return {};
    const CurveElementsRow& e = profile_->Elements()[index.row()];
    const bool curve = e.kind != CurveKind::None;
    auto label = [&](double internal) { return StationText(profile_->LabelOf(internal)); };
    switch (index.column()) {
    case kStation: return label(e.pviStation);
    case kElevation: return FixedCellText(e.pviElevation);
    case kGradeIn: return FixedCellText(e.gradeIn);
    case kGradeOut: return FixedCellText(e.gradeOut);
    case kShape:
        if (e.gradeIn == e.gradeOut) return QString();
        return e.crest ? QStringLiteral("凸形") : QStringLiteral("凹形");
    case kKind: return curve ? QString::fromUtf8(CurveKindName(e.kind)) : QStringLiteral("无");
    case kRadius: return curve ? FixedCellText(e.radius) : QString();
    case kLength: return curve ? FixedCellText(e.length) : QString();
    case kTangentIn: return curve ? FixedCellText(e.tangentIn) : QString();
    case kTangentOut: return curve ? FixedCellText(e.tangentOut) : QString();
    case kExternal: return curve ? FixedCellText(e.external) : QString();
    case kStartStation: return curve ? label(e.startStation) : QString();
    case kStartElevation: return curve ? FixedCellText(e.startElevation) : QString();
    case kEndStation: return curve ? label(e.endStation) : QString();
    case kEndElevation: return curve ? FixedCellText(e.endElevation) : QString();
    case kExtremeStation: return e.extremeStation ? label(*e.extremeStation) : QString();
    case kExtremeElevation: return e.extremeElevation ? FixedCellText(*e.extremeElevation) : QString();
    default: return {};
    }
}

}  // namespace tarnvel::ui::profile
