#pragma once
// The 逐桩坐标表: from, to, interval, key points on or off and 边桩 left and
// right (several each) give one row per station and offset — 桩号, 偏距, X,
// Y, the centre line's azimuth and, with a profile, the design elevation H
// of the centre point. The table copies with its header (Ctrl+C, 复制),
// exports as CSV under the same Chinese headers, and exports its points as
// 放样数据 (CSV in UTF-8 or GBK, or a DXF of named points). The plan query
// sits below it. The panel holds the road as snapshots and lists again with
// the same range when they change.
//
// For the window: construct with the seams, call SetRoad on every change of
// plan, profile or ground, ShowStation for a station chosen elsewhere, and
// connect StationChosen (a row the user selected, or a query's answer).

#include <QAbstractTableModel>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/plan/plan_listing.h"
#include "core/text/stakeout_text.h"
#include "ui/seams.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace tarnvel {
class GroundLine;
class Profile;
}  // namespace tarnvel

namespace tarnvel::ui::plan {

class PlanQuery;

// The rows of a listing at their offsets: row r is station r / n at the
// offset r % n of the n offsets.
class CoordinateModel : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CoordinateModel)

public:
    explicit CoordinateModel(QObject* parent = nullptr);

    // `elevations` holds one entry per station (nothing where the profile
    // does not reach), or is empty without a profile: the table then has no
    // 设计高程 column.
    void SetRows(std::vector<PlanListingRow> stations, std::vector<double> offsets,
                 std::vector<std::optional<double>> elevations, bool withElevation);
    const std::vector<PlanListingRow>& Stations() const { return stations_; }
    std::size_t StationOf(int row) const { return static_cast<std::size_t>(row) / offsets_.size(); }
    // The first row of the station nearest `internal`, -1 without rows.
    int RowNear(double internal) const;
    // The points of the rows, in their order, as 放样数据.
    std::vector<StakeoutPoint> StakeoutPoints() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<PlanListingRow> stations_;
    std::vector<double> offsets_ = {0};
    std::vector<std::optional<double>> elevations_;
    bool withElevation_ = false;
};

class CoordinatePanel : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CoordinatePanel)

public:
    explicit CoordinatePanel(Services services, QWidget* parent = nullptr);

    // The road's snapshots (null plan: no plan; null profile: no
    // elevations; null ground: no 填挖). Lists again when a listing is shown.
    void SetRoad(std::shared_ptr<const Plan> plan, std::shared_ptr<const Profile> profile,
                 std::shared_ptr<const GroundLine> ground);
    // A station chosen elsewhere: its row selected and scrolled into view.
    void ShowStation(double internal);
    // The document's file, where the exports are offered to go.
    void SetDocumentPath(const QString& path) { documentPath_ = path; }

    const CoordinateModel& Model() const { return *model_; }
    PlanQuery& Query() { return *query_; }
    // The whole table as tab-separated text with a header row, CR LF ends.
    QString TableText() const;

    void List();
    void CopyAll();
    void ExportCsv();
    void ExportStakeoutCsv();
    void ExportStakeoutDxf();

signals:
    void StationChosen(double internal);

private:
    void Run(bool quiet);
    // The offsets of the 边桩 boxes with the centre line, left to right, or
    // nothing with the reason in `why`.
    std::optional<std::vector<double>> Offsets(QString* why) const;
    bool HasRows();  // says so to the user when there are none
    void RowChosen(const QModelIndex& current);

    Services services_;
    std::shared_ptr<const Plan> plan_;
    std::shared_ptr<const Profile> profile_;
    std::shared_ptr<const GroundLine> ground_;
    QString documentPath_;
    QString offeredFrom_, offeredTo_;
    bool listed_ = false;
    bool showing_ = false;  // selecting a row for ShowStation, not for the user
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QLineEdit* step_ = nullptr;
    QCheckBox* keyPoints_ = nullptr;
    QLineEdit* left_ = nullptr;
    QLineEdit* right_ = nullptr;
    QCheckBox* sameSides_ = nullptr;
    QComboBox* encoding_ = nullptr;
    QLabel* status_ = nullptr;
    QTableView* table_ = nullptr;
    CoordinateModel* model_ = nullptr;
    PlanQuery* query_ = nullptr;
};

}  // namespace tarnvel::ui::plan
