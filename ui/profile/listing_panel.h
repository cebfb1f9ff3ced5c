#pragma once
// The range listing: from, to, interval and key points on or off give a
// table of stations (label, elevation, grade, note) that can be copied, and
// exported as CSV (UTF-8 with byte-order mark) or as the GBK text report.
// The listing follows the profile: after an edit it is listed again with the
// same range, or emptied with the reason when the range no longer fits.

#include <QAbstractTableModel>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

#include "core/profile/profile_listing.h"
#include "ui/seams.h"

class QCheckBox;
class QDate;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tarnvel::ui::profile {

class ProfileSettings;

// The controls every listing panel makes: a box and a button found by their
// object names (a button never the dialog's default); the range boxes sized
// for a K label with its millimetres and an interval (20 m offered); and a
// read-only table that copies with its header (Ctrl+C), rows as high as the
// font, its header and a few rows in sight however small the window.
QLineEdit* NamedBox(QWidget* parent, const char* name, const char* placeholder);
QPushButton* NamedButton(QWidget* parent, const char* name, const char* caption);
void SizeRangeBoxes(QLineEdit* from, QLineEdit* to, QLineEdit* step);
void SetUpListingTable(QTableView* table);
// A whole table as tab-separated text with its header row, CR LF ends.
QString WholeTableText(const QAbstractItemModel& model);

// A range box after the road it lists changed. The end offered is written so
// that it reads back as the end itself: a listing to the end then ends with
// the end point, not a millimetre short of it. A box still holding what was
// offered last (`offered`) follows the road as it grows or shrinks; a
// station the user typed stays while `onRoad` says it lies on the road.
void FollowRangeBox(QLineEdit* box, QString& offered, const QString& end,
                    const std::function<bool(const Station&)>& onRoad);

class ListingModel : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListingModel)

public:
    explicit ListingModel(QObject* parent = nullptr);

    // `ground`: the rows carry a ground line, and the table its columns.
    void SetRows(std::shared_ptr<const Profile> profile, std::vector<ProfileListingRow> rows, bool ground = false);
    bool HasGround() const { return ground_; }
    const std::vector<ProfileListingRow>& Rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const Profile> profile_;
    std::vector<ProfileListingRow> rows_;
    bool ground_ = false;
};

class ListingPanel : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListingPanel)

public:
    // More rows than this are refused: the table would take more memory than
    // it helps to scroll through.
    static constexpr std::uint64_t kMaxRows = 200000;

    ListingPanel(Services services, QWidget* parent = nullptr);

    // The profile listed; null while there is none. Lists again when a
    // listing is shown.
    void SetProfile(std::shared_ptr<const Profile> profile);
    // With its ground line (null: none), checked against the same profile:
    // the listing then has the ground columns and the zero points (填挖交界).
    void SetProfile(std::shared_ptr<const Profile> profile, std::shared_ptr<const GroundLine> ground);
    // The document's file, where the exports are offered to go.
    void SetDocumentPath(const QString& path) { documentPath_ = path; }
    const ListingModel& Model() const { return *model_; }

    // The whole table as tab-separated text with a header row, CR LF ends.
    QString TableText() const;

    // Empties the table and the range boxes, for a new document.
    void Clear();
    void List();
    void CopyAll();
    void ExportCsv();
    // The GBK report of the rows shown, its heading dated `today`.
    void ExportReport(const QDate& today);
    // The project the report's heading names (the profile file's name when
    // there is no other).
    void SetReportProject(const QString& name);
    // Where the report's footer takes its signatures: the names kept for the
    // sheets' title block. Without settings the footer stays blank.
    void SetSignatureSource(const ProfileSettings* settings) { signatures_ = settings; }

private:
    // Lists with the boxes' range; `quiet` puts a refusal in the status line
    // only (an edit elsewhere must not raise a message box).
    void Run(bool quiet);
    // The range boxes after the profile changed: see the definition.
    void FollowRange();

    Services services_;
    std::shared_ptr<const Profile> profile_;
    std::shared_ptr<const GroundLine> ground_;
    QString reportProject_;
    const ProfileSettings* signatures_ = nullptr;
    QString documentPath_;
    QString offeredFrom_, offeredTo_;  // the ends last written into the range boxes
    bool listed_ = false;  // the user asked for a listing
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QLineEdit* step_ = nullptr;
    QCheckBox* keyPoints_ = nullptr;
    QLabel* status_ = nullptr;
    QTableView* table_ = nullptr;
    ListingModel* model_ = nullptr;
};

}  // namespace tarnvel::ui::profile
