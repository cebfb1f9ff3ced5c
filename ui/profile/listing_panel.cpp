#include "ui/profile/listing_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDate>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <string>
#include <string_view>

#include "core/text/profile_text.h"
#include "io/atomic_write.h"
#include "io/result_report.h"
#include "ui/profile/cell_text.h"
#include "ui/profile/edit_table_view.h"
#include "ui/profile/profile_settings.h"
#include "core/text/messages.h"
#include "ui/profile/write_path.h"
#include "ui/qt_text.h"

namespace tarnvel::ui::profile {
namespace {

// The options every form of the listing shares, on screen and in the files:
// labels in K notation, three decimals, the CR LF of the files the surveyors
// exchange.
// With a ground line, the ground columns as well.
const TextOptions& ListingTextOptions(bool ground) {
    static const auto make = [](bool withGround) {
        TextOptions o;
        o.decimals = 3;
        o.stations = StationStyle::K;
        o.lineEnd = "\r\n";
        o.ground = withGround;
        return o;
    };
    static const TextOptions plain = make(false), grounded = make(true);
    return ground ? grounded : plain;
}

}  // namespace

QLineEdit* NamedBox(QWidget* parent, const char* name, const char* placeholder) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(name));
    edit->setPlaceholderText(QString::fromUtf8(placeholder));
    return edit;
}

QPushButton* NamedButton(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setAutoDefault(false);
    return b;
}

void SizeRangeBoxes(QLineEdit* from, QLineEdit* to, QLineEdit* step) {
    step->setText(QStringLiteral("20"));
    // Wide enough for a K-notation label with its millimetres.
    const int stationWidth = from->fontMetrics().horizontalAdvance(QStringLiteral("K00+000.000000")) + 16;
    from->setMinimumWidth(stationWidth);
    to->setMinimumWidth(stationWidth);
    step->setMaximumWidth(step->fontMetrics().horizontalAdvance(QStringLiteral("00000.0")) + 16);
}

void SetUpListingTable(QTableView* table) {
    // Ctrl+C copies a block with its header, as 复制 copies the whole table.
    AddBlockCopy(table, true);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setStretchLastSection(true);
    // However small the window, the header and a few rows stay in sight.
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() +
                            4 * table->verticalHeader()->defaultSectionSize() + 2 * table->frameWidth());
}

ListingModel::ListingModel(QObject* parent) : QAbstractTableModel(parent) {}

void ListingModel::SetRows(std::shared_ptr<const Profile> profile, std::vector<ProfileListingRow> rows, bool ground) {
    beginResetModel();
    ground_ = ground;
    profile_ = std::move(profile);
    rows_ = std::move(rows);
    endResetModel();
}

int ListingModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ListingModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ListingColumns(ground_).size());
}

QVariant ListingModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= columnCount()) return {};
    return FromUtf8(ListingColumns(ground_)[static_cast<std::size_t>(section)].chinese);
}

QVariant ListingModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !profile_ || index.column() >= columnCount()) return {};
    const ListingColumn& column = ListingColumns(ground_)[static_cast<std::size_t>(index.column())];
    if (role == Qt::TextAlignmentRole && column.kind != ColumnKind::Word)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    const CellContext context{*profile_, ListingTextOptions(ground_), false};
    return QString::fromStdString(CellText(column, rows_[static_cast<std::size_t>(index.row())], context));
}

ListingPanel::ListingPanel(Services services, QWidget* parent) : QWidget(parent), services_(services) {
    setObjectName(QStringLiteral("ListingPanel"));
    from_ = NamedBox(this, "ListFrom", "起点桩号");
    to_ = NamedBox(this, "ListTo", "终点桩号");
    step_ = NamedBox(this, "ListStep", "间距");
    SizeRangeBoxes(from_, to_, step_);
    keyPoints_ = new QCheckBox(QStringLiteral("含特征点"), this);
    keyPoints_->setObjectName(QStringLiteral("ListKeyPoints"));
    keyPoints_->setChecked(true);
    QPushButton* run = NamedButton(this, "ListRun", "列表");
    QPushButton* copy = NamedButton(this, "ListCopy", "复制");
    QPushButton* csv = NamedButton(this, "ListExportCsv", "导出CSV");
    QPushButton* report = NamedButton(this, "ListExportReport", "导出报告");
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("ListStatus"));
    status_->setWordWrap(true);
    model_ = new ListingModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("ListingTable"));
    table_->setModel(model_);
    SetUpListingTable(table_);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("从"), this), 0, 0);
    layout->addWidget(from_, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("到"), this), 0, 2);
    layout->addWidget(to_, 0, 3);
    layout->addWidget(new QLabel(QStringLiteral("间距"), this), 0, 4);
    layout->addWidget(step_, 0, 5);
    layout->addWidget(keyPoints_, 0, 6);
    layout->addWidget(run, 1, 0, 1, 2);
    layout->addWidget(copy, 1, 2, 1, 2);
    layout->addWidget(csv, 1, 4);
    layout->addWidget(report, 1, 5, 1, 2);
    layout->addWidget(status_, 2, 0, 1, 7);
    layout->addWidget(table_, 3, 0, 1, 7);
    layout->setRowStretch(3, 1);

    connect(run, &QPushButton::clicked, this, &ListingPanel::List);
    connect(copy, &QPushButton::clicked, this, &ListingPanel::CopyAll);
    connect(csv, &QPushButton::clicked, this, &ListingPanel::ExportCsv);
    connect(report, &QPushButton::clicked, this, [this] { ExportReport(QDate::currentDate()); });
    connect(step_, &QLineEdit::returnPressed, this, &ListingPanel::List);
}

void ListingPanel::SetProfile(std::shared_ptr<const Profile> profile) { SetProfile(std::move(profile), nullptr); }

void ListingPanel::SetProfile(std::shared_ptr<const Profile> profile, std::shared_ptr<const GroundLine> ground) {
    profile_ = std::move(profile);
    ground_ = profile_ ? std::move(ground) : nullptr;
    if (profile_) FollowRange();
    if (listed_) Run(true);
}

void FollowRangeBox(QLineEdit* box, QString& offered, const QString& end,
                    const std::function<bool(const Station&)>& onRoad) {
    const QString typed = box->text().trimmed();
    bool keep = false;
    if (!typed.isEmpty() && typed != offered) {
        QString why;
        if (const auto label = ParseCellStation(typed, &why)) keep = onRoad(*label);
    }
    if (!keep) box->setText(end);
    offered = end;
}

void ListingPanel::FollowRange() {
    const auto onProfile = [this](const Station& label) {
        try {
            profile_->OnProfile(profile_->InternalOf(label));
            return true;
        } catch (const StationError&) {
            return false;
        }
    };
    FollowRangeBox(from_, offeredFrom_, ExactStationText(profile_->LabelOf(profile_->StartStation())), onProfile);
    FollowRangeBox(to_, offeredTo_, ExactStationText(profile_->LabelOf(profile_->EndStation())), onProfile);
}

void ListingPanel::Clear() {
    listed_ = false;
    from_->clear();
    to_->clear();
    offeredFrom_.clear();
    offeredTo_.clear();
    status_->clear();
    model_->SetRows(profile_, {});
}

void ListingPanel::List() {
    listed_ = true;
    Run(false);
}

void ListingPanel::Run(bool quiet) {
    auto refuse = [&](const QString& why) {
        model_->SetRows(profile_, {});
        status_->setText(why);
        if (!quiet) services_.messages.ShowInfo(this, why);
    };
    if (!profile_) return refuse(QStringLiteral("纵断面尚无有效数据，无法列表。"));
    QString why;
    ProfileRange range;
    const auto from = ParseCellStation(from_->text(), &why);
    if (!from) return refuse(QStringLiteral("起点桩号：") + why);
    const auto to = ParseCellStation(to_->text(), &why);
    if (!to) return refuse(QStringLiteral("终点桩号：") + why);
    const auto step = ParseCellNumber(step_->text(), &why);
    if (!step) return refuse(QStringLiteral("间距：") + why);
    range.from = *from;
    range.to = *to;
    range.step = *step;
    range.keyPoints = keyPoints_->isChecked();
    range.ground = ground_.get();
    std::vector<ProfileListingRow> rows;
    const ProfileListingResult result =
        ListProfile(*profile_, range, kMaxRows, [&](const ProfileListingRow& row) { rows.push_back(row); });
    if (!result.ok) return refuse(QString::fromStdString(DescribeProfileListing(result)));
    model_->SetRows(profile_, std::move(rows), ground_ != nullptr);
    status_->setText(QStringLiteral("共 %1 行。").arg(model_->rowCount()));
}

QString WholeTableText(const QAbstractItemModel& model) {
    std::vector<QStringList> rows;
    QStringList header;
    const int columns = model.columnCount();
    for (int c = 0; c < columns; ++c) header.append(model.headerData(c, Qt::Horizontal).toString());
    rows.push_back(header);
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < columns; ++c) cells.append(model.data(model.index(r, c)).toString());
        rows.push_back(cells);
    }
    return TabBlockText(rows);
}

QString ListingPanel::TableText() const { return WholeTableText(*model_); }

void ListingPanel::CopyAll() {
    if (model_->rowCount() == 0) {
        services_.messages.ShowInfo(this, QStringLiteral("没有可复制的列表，请先点击“列表”。"));
        return;
    }
    QApplication::clipboard()->setText(TableText());
}

void ListingPanel::ExportCsv() {
    if (model_->rowCount() == 0 || !profile_) {
        services_.messages.ShowInfo(this, QStringLiteral("没有可导出的列表，请先点击“列表”。"));
        return;
    }
    const QString path = ChooseWritePath(services_, this, QStringLiteral("CSV 文件(*.csv)"), QStringLiteral("csv"),
                                         SuggestedPath(documentPath_, QStringLiteral("-列表.csv")), documentPath_);
    if (path.isEmpty()) return;
    const TextOptions& options = ListingTextOptions(model_->HasGround());
    // The byte-order mark lets spreadsheets on the surveyors' desktops read
    // the Chinese as UTF-8. The headers are the ones the table shows.
    std::string bytes = "\xEF\xBB\xBF" + ListingCsvHeader(options, true);
    for (const ProfileListingRow& row : model_->Rows()) AppendListingCsv(bytes, *profile_, row, options);
    if (const auto failure = io::WriteFileAtomically(NativePath(path), bytes))
        services_.messages.ShowWarning(this, MessageOf(*failure));
}

void ListingPanel::SetReportProject(const QString& name) { reportProject_ = name; }

void ListingPanel::ExportReport(const QDate& today) {
    if (model_->rowCount() == 0 || !profile_) {
        services_.messages.ShowInfo(this, QStringLiteral("没有可导出的列表，请先点击“列表”。"));
        return;
    }
    const QString path = ChooseWritePath(services_, this, QStringLiteral("文本文件(*.txt);;所有文件(*.*)"),
                                         QStringLiteral("txt"), SuggestedPath(documentPath_, QStringLiteral("-报告.txt")),
                                         documentPath_);
    if (path.isEmpty()) return;
    const TextOptions& options = ListingTextOptions(model_->HasGround());
    std::string listing = ListingTextHeader(options);
    for (const ProfileListingRow& row : model_->Rows()) AppendListingText(listing, *profile_, row, options);
    // The report puts its own line end after the listing.
    while (listing.size() >= 2 && listing.compare(listing.size() - 2, 2, "\r\n") == 0) listing.resize(listing.size() - 2);
    // The heading says what was listed: the range as the rows give it.
    const std::vector<ProfileListingRow>& rows = model_->Rows();
    io::ProfileReportHeading heading;
    heading.project = reportProject_.toStdString();
    heading.profile = profile_->Model().name;
    heading.range = StationText(rows.front().label, options) + " 至 " + StationText(rows.back().label, options);
    heading.date = today.toString(QStringLiteral("yyyy-MM-dd")).toStdString();
    io::ReportSignatures signatures;
    if (signatures_) {
        signatures.designer = signatures_->Text(ProfileSettings::kDesigner).toStdString();
        signatures.checker = signatures_->Text(ProfileSettings::kChecker).toStdString();
        signatures.approver = signatures_->Text(ProfileSettings::kApprover).toStdString();
    }
    if (const auto failure = io::WriteProfileReport(NativePath(path), heading, listing, signatures))
        services_.messages.ShowWarning(this, MessageOf(*failure));
}

}  // namespace tarnvel::ui::profile
