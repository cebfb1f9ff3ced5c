#include "ui/plan/coordinate_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>

#include <algorithm>
#include <cmath>
#include <string>

#include "core/calculator/number_text.h"
#include "core/profile/ground_line.h"
#include "core/profile/profile.h"
#include "core/text/check_text.h"
#include "core/text/messages.h"
#include "core/text/plan_text.h"
#include "io/atomic_write.h"
#include "io/stakeout_files.h"
#include "ui/plan/plan_query.h"
#include "ui/profile/cell_text.h"
#include "ui/profile/column_fit.h"
#include "ui/profile/edit_table_view.h"
#include "ui/profile/listing_panel.h"
#include "ui/profile/write_path.h"
#include "ui/qt_text.h"

namespace tarnvel::ui::plan {
namespace {

using profile::ParseCellNumber;
using profile::ParseCellStation;

// As the profile's listing: labels in K notation, three decimals, the CR LF
// of the files the surveyors exchange.
const TextOptions& CoordinateTextOptions() {
    static const TextOptions options = [] {
        TextOptions o;
        o.decimals = 3;
        o.stations = StationStyle::K;
        o.lineEnd = "\r\n";
        return o;
    }();
    return options;
}

}  // namespace

CoordinateModel::CoordinateModel(QObject* parent) : QAbstractTableModel(parent) {}

void CoordinateModel::SetRows(std::vector<PlanListingRow> stations, std::vector<double> offsets,
                              std::vector<std::optional<double>> elevations, bool withElevation) {
    beginResetModel();
    stations_ = std::move(stations);
    offsets_ = offsets.empty() ? std::vector<double>{0} : std::move(offsets);
    elevations_ = std::move(elevations);
    withElevation_ = withElevation;
    endResetModel();
}

int CoordinateModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(stations_.size() * offsets_.size());
}

int CoordinateModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(std::size(kPlanPointColumns)) - (withElevation_ ? 0 : 1);
}

namespace {

// The columns shown: every column of the point line, 设计高程 only with a profile.
PlanPointColumn ColumnAt(int section, bool withElevation) {
    const PlanPointColumn column = kPlanPointColumns[static_cast<std::size_t>(section)];
    if (withElevation || column < PlanPointColumn::Elevation) return column;
    return kPlanPointColumns[static_cast<std::size_t>(section) + 1];
}

}  // namespace

QVariant CoordinateModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= columnCount()) return {};
    const std::string_view name = PlanPointColumnName(ColumnAt(section, withElevation_), false);
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QVariant CoordinateModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const PlanPointColumn column = ColumnAt(index.column(), withElevation_);
    if (role == Qt::TextAlignmentRole && column != PlanPointColumn::Note)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    const std::size_t station = StationOf(index.row());
    const PlanListingRow& row = stations_[station];
    PlanPointLine line;
    line.label = row.label;
    line.offset = offsets_[static_cast<std::size_t>(index.row()) % offsets_.size()];
    line.at = line.offset == 0 ? row.pose.at : OffsetPoint(row.pose, line.offset);
    line.azimuth = row.pose.azimuth;
    // The design elevation is the centre line's: beside it the cross-section decides.
    if (line.offset == 0 && station < elevations_.size()) line.elevation = elevations_[station];
    line.kind = row.kind;
    line.keys = row.keys;
    std::string text;
    AppendPlanPointCell(text, column, false, line, CoordinateTextOptions());
    return QString::fromStdString(text);
}

int CoordinateModel::RowNear(double internal) const {
    if (stations_.empty()) return -1;
    const auto after = std::lower_bound(stations_.begin(), stations_.end(), internal,
                                        [](const PlanListingRow& r, double at) { return r.internal < at; });
    auto nearest = after;
    if (after == stations_.end() || (after != stations_.begin() && internal - (after - 1)->internal < after->internal - internal))
        nearest = after - 1;
    return static_cast<int>(static_cast<std::size_t>(nearest - stations_.begin()) * offsets_.size());
}

std::vector<StakeoutPoint> CoordinateModel::StakeoutPoints() const {
    std::vector<StakeoutPoint> points;
    points.reserve(stations_.size() * offsets_.size());
    for (std::size_t i = 0; i < stations_.size(); ++i)
        ForEachStakeoutPoint(stations_[i], offsets_, i < elevations_.size() ? elevations_[i] : std::nullopt,
                             [&](const StakeoutPoint& p) { points.push_back(p); });
    return points;
}

CoordinatePanel::CoordinatePanel(Services services, QWidget* parent) : QWidget(parent), services_(services) {
    setObjectName(QStringLiteral("CoordinatePanel"));
    using profile::NamedBox;
    using profile::NamedButton;
    from_ = NamedBox(this, "CoordFrom", "起点桩号");
    to_ = NamedBox(this, "CoordTo", "终点桩号");
    step_ = NamedBox(this, "CoordStep", "间距");
    profile::SizeRangeBoxes(from_, to_, step_);
    keyPoints_ = new QCheckBox(QStringLiteral("含主点"), this);
    keyPoints_->setObjectName(QStringLiteral("CoordKeyPoints"));
    keyPoints_->setChecked(true);
    left_ = NamedBox(this, "CoordLeft", "如 7.5,12");
    right_ = NamedBox(this, "CoordRight", "如 7.5,12");
    sameSides_ = new QCheckBox(QStringLiteral("两侧相同"), this);
    sameSides_->setObjectName(QStringLiteral("CoordSameSides"));
    encoding_ = new QComboBox(this);
    encoding_->setObjectName(QStringLiteral("CoordStakeoutEncoding"));
    encoding_->addItems({QStringLiteral("UTF-8"), QStringLiteral("GBK")});
    QPushButton* run = NamedButton(this, "CoordRun", "列表");
    QPushButton* copy = NamedButton(this, "CoordCopy", "复制");
    QPushButton* csv = NamedButton(this, "CoordExportCsv", "导出CSV");
    QPushButton* stakeCsv = NamedButton(this, "CoordExportStakeoutCsv", "导出放样CSV");
    QPushButton* stakeDxf = NamedButton(this, "CoordExportStakeoutDxf", "导出放样DXF");
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("CoordStatus"));
    status_->setWordWrap(true);
    model_ = new CoordinateModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("CoordinateTable"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    profile::SetUpListingTable(table_);
    // A label behind a long chain ("K23+430.000(1)") is never cut to "K23+430.…".
    profile::KeepColumnsFitted(table_);
    query_ = new PlanQuery(this);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("从"), this), 0, 0);
    layout->addWidget(from_, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("到"), this), 0, 2);
    layout->addWidget(to_, 0, 3);
    layout->addWidget(new QLabel(QStringLiteral("间距"), this), 0, 4);
    layout->addWidget(step_, 0, 5);
    layout->addWidget(keyPoints_, 0, 6);
    layout->addWidget(new QLabel(QStringLiteral("左边桩"), this), 1, 0);
    layout->addWidget(left_, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("右边桩"), this), 1, 2);
    layout->addWidget(right_, 1, 3);
    layout->addWidget(sameSides_, 1, 4, 1, 3);
    layout->addWidget(run, 2, 0, 1, 2);
    layout->addWidget(copy, 2, 2);
    layout->addWidget(csv, 2, 3);
    layout->addWidget(encoding_, 2, 4);
    layout->addWidget(stakeCsv, 2, 5);
    layout->addWidget(stakeDxf, 2, 6);
    layout->addWidget(status_, 3, 0, 1, 7);
    layout->addWidget(table_, 4, 0, 1, 7);
    layout->addWidget(query_, 5, 0, 1, 7);
    layout->setRowStretch(4, 1);

    connect(run, &QPushButton::clicked, this, &CoordinatePanel::List);
    connect(copy, &QPushButton::clicked, this, &CoordinatePanel::CopyAll);
    connect(csv, &QPushButton::clicked, this, &CoordinatePanel::ExportCsv);
    connect(stakeCsv, &QPushButton::clicked, this, &CoordinatePanel::ExportStakeoutCsv);
    connect(stakeDxf, &QPushButton::clicked, this, &CoordinatePanel::ExportStakeoutDxf);
    connect(step_, &QLineEdit::returnPressed, this, &CoordinatePanel::List);
    // 两侧相同: the right side follows the left.
    connect(sameSides_, &QCheckBox::toggled, this, [this](bool same) {
        right_->setEnabled(!same);
        if (same) right_->setText(left_->text());
    });
    connect(left_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (sameSides_->isChecked()) right_->setText(text);
    });
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { RowChosen(current); });
    connect(query_, &PlanQuery::StationChosen, this, [this](double internal) {
        ShowStation(internal);
        emit StationChosen(internal);
    });
}

void CoordinatePanel::SetRoad(std::shared_ptr<const Plan> plan, std::shared_ptr<const Profile> profile,
                              std::shared_ptr<const GroundLine> ground) {
    plan_ = std::move(plan);
    profile_ = std::move(profile);
    ground_ = profile_ ? std::move(ground) : nullptr;
    query_->SetRoad(plan_, profile_, ground_);
    if (plan_) {
        const auto onRoute = [this](const Station& label) {
            try {
                plan_->OnRoute(plan_->InternalOf(label));
                return true;
            } catch (const StationError&) {
                return false;
            }
        };
        profile::FollowRangeBox(from_, offeredFrom_, profile::ExactStationText(plan_->LabelOf(plan_->StartStation())),
                                onRoute);
        profile::FollowRangeBox(to_, offeredTo_, profile::ExactStationText(plan_->LabelOf(plan_->EndStation())), onRoute);
        if (!listed_) status_->setText(QStringLiteral("选好范围、间距和边桩后按“列表”。"));
    } else {
        status_->setText(QStringLiteral("尚无平面线形：输入或打开交点表后，这里列出逐桩坐标。"));
    }
    if (listed_) Run(true);
}

std::optional<std::vector<double>> CoordinatePanel::Offsets(QString* why) const {
    std::vector<double> offsets = {0};
    const auto side = [&](const QLineEdit* box, double sign, const QString& name) {
        static const QRegularExpression separators(QStringLiteral("[,，、;；\\s]+"));
        for (const QString& piece : box->text().split(separators, Qt::SkipEmptyParts)) {
            QString reason;
            const auto distance = ParseCellNumber(piece, &reason);
            if (!distance) {
                *why = name + QStringLiteral("“") + piece + QStringLiteral("”：") + reason;
                return false;
            }
            if (!(*distance > 0)) {
                *why = name + QStringLiteral("“") + piece + QStringLiteral("”：边桩距离应大于零。");
                return false;
            }
            offsets.push_back(sign * *distance);
        }
        return true;
    };
    if (!side(left_, -1, QStringLiteral("左边桩")) || !side(right_, 1, QStringLiteral("右边桩"))) return std::nullopt;
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    if (const auto alike = OffsetsNamedAlike(offsets, CoordinateTextOptions())) {
        *why = QStringLiteral("边桩 %1 与 %2 在三位小数下相同，放样点会同名。")
                   .arg(QString::fromStdString(NumberToText(std::fabs(alike->first))),
                        QString::fromStdString(NumberToText(std::fabs(alike->second))));
        return std::nullopt;
    }
    return offsets;
}

void CoordinatePanel::List() {
    listed_ = true;
    Run(false);
}

void CoordinatePanel::Run(bool quiet) {
    auto refuse = [&](const QString& why) {
        model_->SetRows({}, {}, {}, profile_ != nullptr);
        status_->setText(why);
        if (!quiet) services_.messages.ShowInfo(this, why);
    };
    if (!plan_) return refuse(QStringLiteral("尚无平面线形，无法列表。"));
    QString why;
    const auto from = ParseCellStation(from_->text(), &why);
    if (!from) return refuse(QStringLiteral("起点桩号：") + why);
    const auto to = ParseCellStation(to_->text(), &why);
    if (!to) return refuse(QStringLiteral("终点桩号：") + why);
    const auto step = ParseCellNumber(step_->text(), &why);
    if (!step) return refuse(QStringLiteral("间距：") + why);
    std::optional<std::vector<double>> offsets = Offsets(&why);
    if (!offsets) return refuse(why);
    ProfileRange range;
    range.from = *from;
    range.to = *to;
    range.step = *step;
    range.keyPoints = keyPoints_->isChecked();
    // The profile listing's limit holds for the rows shown, 边桩 included.
    const std::uint64_t maxStations = std::max<std::uint64_t>(1, profile::ListingPanel::kMaxRows / offsets->size());
    std::vector<PlanListingRow> rows;
    std::vector<std::optional<double>> elevations;
    const ProfileListingResult result = ListPlan(*plan_, range, maxStations, [&](const PlanListingRow& row) {
        rows.push_back(row);
        if (!profile_) return;
        try {
            elevations.push_back(RoadElevationAt(*profile_, *plan_, row.internal));
        } catch (const StationError&) {
            elevations.push_back(std::nullopt);
        }
    });
    // The limit counts the table's rows, 边桩 included, not the stations.
    if (result.fault == ListingFault::TooManyRows)
        return refuse(QStringLiteral("列表超过上限 %1 行（每个桩号 %2 行，即最多 %3 个桩号），请缩小范围或加大间距。")
                          .arg(profile::ListingPanel::kMaxRows)
                          .arg(offsets->size())
                          .arg(maxStations));
    if (!result.ok) return refuse(QString::fromStdString(DescribeProfileListing(result)));
    const std::size_t outside =
        static_cast<std::size_t>(std::count(elevations.begin(), elevations.end(), std::nullopt));
    model_->SetRows(std::move(rows), std::move(*offsets), std::move(elevations), profile_ != nullptr);
    QString said = QStringLiteral("共 %1 行。").arg(model_->rowCount());
    if (outside > 0) said += QStringLiteral("%1 个桩号不在纵断面范围内，其设计高程为空。").arg(outside);
    status_->setText(said);
}

void CoordinatePanel::RowChosen(const QModelIndex& current) {
    if (showing_ || !current.isValid()) return;
    emit StationChosen(model_->Stations()[model_->StationOf(current.row())].internal);
}

void CoordinatePanel::ShowStation(double internal) {
    const int row = model_->RowNear(internal);
    if (row < 0) return;
    showing_ = true;
    table_->selectionModel()->setCurrentIndex(model_->index(row, 0),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table_->scrollTo(model_->index(row, 0));
    showing_ = false;
}

QString CoordinatePanel::TableText() const { return profile::WholeTableText(*model_); }

bool CoordinatePanel::HasRows() {
    if (model_->rowCount() > 0) return true;
    services_.messages.ShowInfo(this, QStringLiteral("没有逐桩坐标，请先点击“列表”。"));
    return false;
}

void CoordinatePanel::CopyAll() {
    if (HasRows()) QApplication::clipboard()->setText(TableText());
}

namespace {

// Where an export goes: chosen through the dialog, never the open document.
std::string ExportPath(const Services& services, QWidget* parent, const QString& documentPath, const QString& filter,
                       const QString& extension, const QString& ending) {
    const QString path = profile::ChooseWritePath(services, parent, filter, extension,
                                                  profile::SuggestedPath(documentPath, ending), documentPath);
    return path.isEmpty() ? std::string() : NativePath(path);
}

}  // namespace

void CoordinatePanel::ExportCsv() {
    if (!HasRows()) return;
    const std::string path = ExportPath(services_, this, documentPath_, QStringLiteral("CSV 文件(*.csv)"),
                                        QStringLiteral("csv"), QStringLiteral("-逐桩坐标.csv"));
    if (path.empty()) return;
    // As the profile's listing: a byte-order mark for the spreadsheets, the
    // table's own headers and cells.
    std::string bytes = "\xEF\xBB\xBF";
    const int columns = model_->columnCount();
    const auto line = [&](const auto& cell) {
        for (int c = 0; c < columns; ++c) {
            if (c > 0) bytes += ',';
            bytes += CsvCellText(cell(c).toStdString());
        }
        bytes += "\r\n";
    };
    line([&](int c) { return model_->headerData(c, Qt::Horizontal).toString(); });
    for (int r = 0; r < model_->rowCount(); ++r) line([&](int c) { return model_->data(model_->index(r, c)).toString(); });
    if (const auto failure = io::WriteFileAtomically(path, bytes))
        services_.messages.ShowWarning(this, QString::fromStdString(failure->message));
}

void CoordinatePanel::ExportStakeoutCsv() {
    if (!HasRows()) return;
    const std::string path = ExportPath(services_, this, documentPath_, QStringLiteral("CSV 文件(*.csv)"),
                                        QStringLiteral("csv"), QStringLiteral("-放样.csv"));
    if (path.empty()) return;
    const io::StakeoutEncoding encoding =
        encoding_->currentIndex() == 1 ? io::StakeoutEncoding::Gbk : io::StakeoutEncoding::Utf8;
    if (const auto failure = io::WriteStakeoutCsv(path, model_->StakeoutPoints(), encoding, CoordinateTextOptions()))
        services_.messages.ShowWarning(this, QString::fromStdString(failure->message));
}

void CoordinatePanel::ExportStakeoutDxf() {
    if (!HasRows()) return;
    const std::string path = ExportPath(services_, this, documentPath_, QStringLiteral("DXF 文件(*.dxf)"),
                                        QStringLiteral("dxf"), QStringLiteral("-放样.dxf"));
    if (path.empty()) return;
    if (const auto failure = io::WriteStakeoutDxf(path, model_->StakeoutPoints(), CoordinateTextOptions()))
        services_.messages.ShowWarning(this, QString::fromStdString(failure->message));
}

}  // namespace tarnvel::ui::plan
