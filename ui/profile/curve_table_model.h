#pragma once
// The 直线、曲线及转角表 (read-only): one row per JD of the plan shown, with the
// start and end points, in the cells and words of the output vocabulary
// (core/text/plan_text.h), so that the window shows the digits the command
// line prints. A route kept as elements shows its element list instead.

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace tarnvel {
class Plan;
}

namespace tarnvel::ui::profile {

class CurveTableModel : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CurveTableModel)

public:
    explicit CurveTableModel(QObject* parent = nullptr);

    // The plan shown (null: none).
    void SetPlan(const std::shared_ptr<const Plan>& plan);
    // The row of a JD (its index among the table's points), -1 for none.
    int RowOfPoint(int point) const;
    // The internal station a row stands for on the plan: a JD's curve middle
    // (QZ), the start or the end, an element's middle; nothing for no row.
    std::optional<double> MiddleOfRow(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList headers_;
    std::vector<QStringList> rows_;
    bool fromTable_ = false;
    std::shared_ptr<const Plan> plan_;
};

}  // namespace tarnvel::ui::profile
