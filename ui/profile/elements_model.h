#pragma once
// The curve elements table (竖曲线要素表): read-only, one row per PVI of the
// last valid profile, stations shown as labels.

#include <QAbstractTableModel>

#include <memory>
#include <vector>

#include "core/profile/design_check.h"

namespace tarnvel {
class Profile;
}

namespace tarnvel::ui::profile {

class ElementsModel : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ElementsModel)

public:
    explicit ElementsModel(QObject* parent = nullptr);

    // The profile shown (null: none). The model keeps the snapshot, so that
    // the rows it has announced stay valid until it announces others.
    void SetProfile(std::shared_ptr<const Profile> profile);
    // The designer's criteria the profile violates: the rows of their PVIs
    // coloured, each violation with its margin in the tooltip.
    void SetViolations(std::vector<CriterionViolation> violations);

    // The element row of the model point `point` (-1 for the start and end
    // points, which have none), and the way back.
    int RowOfPoint(int point) const;
    int PointOfRow(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const Profile> profile_;
    std::vector<CriterionViolation> violations_;
};

}  // namespace tarnvel::ui::profile
