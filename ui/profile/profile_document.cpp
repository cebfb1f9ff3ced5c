#include "ui/profile/profile_document.h"

#include <QFile>
#include <QUndoStack>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

#include "core/profile/grade_edit.h"
#include "core/text/messages.h"
#include "io/atomic_write.h"
#include "io/control_files.h"
#include "io/ground_files.h"
#include "io/plan_files.h"
#include "ui/profile/cell_text.h"
#include "ui/profile/chain_table.h"
#include "ui/profile/edit_table_model.h"
#include "ui/profile/control_table.h"
#include "ui/profile/ground_table.h"
#include "ui/profile/plan_table.h"
#include "ui/profile/pvi_table.h"
#include "ui/qt_text.h"

namespace tarnvel::ui::profile {
namespace {

QString NameOf(const io::LandXmlProfileName& name) {
    return QString::fromStdString(name.alignment) + QLatin1Char('/') + QString::fromStdString(name.profile);
}

// Every problem of a ground line in one text, a table's in the order of its
// rows, whichever check found them.
// True when no cell of `rows` holds more than blanks.
template <class Rows>
bool NothingTyped(const Rows& rows) {
    for (const auto& row : rows)
        for (const QString& cell : row)
            if (!cell.trimmed().isEmpty()) return false;
    return true;
}

QString GroundProblemsText(std::vector<GroundProblem> problems, std::size_t total) {
    std::stable_sort(problems.begin(), problems.end(),
                     [](const GroundProblem& a, const GroundProblem& b) { return a.row < b.row; });
    QString text = QStringLiteral("地面线未通过检查");
    if (total > 1) text += QStringLiteral("，共 %1 处问题").arg(total);
    text += QStringLiteral("：");
    for (const GroundProblem& problem : problems)
        text += QLatin1Char('\n') + QString::fromStdString(DescribeGroundProblem(problem));
    if (const std::string more = DescribeUnlistedGroundProblems(problems.size(), total); !more.empty())
        text += QLatin1Char('\n') + QString::fromStdString(more);
    return text;
}

// Whether two plans lie in the same place, element by element, within the
// rounding of a file's numbers: a 交点表 kept in a file is taken only while
// the geometry beside it still is the one it gives (another program may
// have changed the geometry and left the table).
bool SamePlace(const Plan& a, const Plan& b) {
    constexpr double kTolerance = 1e-4;
    if (a.Elements().size() != b.Elements().size()) return false;
    for (std::size_t i = 0; i < a.Elements().size(); ++i) {
        const PlanElement& x = a.Elements()[i];
        const PlanElement& y = b.Elements()[i];
        if (x.kind != y.kind || !(std::fabs(x.start - y.start) <= kTolerance) ||
            !(std::fabs(x.length - y.length) <= kTolerance) || !(std::fabs(x.from.north - y.from.north) <= kTolerance) ||
            !(std::fabs(x.from.east - y.from.east) <= kTolerance))
            return false;
    }
    return true;
}

QString PlanProblemText(const PlanProblem& problem) { return QString::fromStdString(DescribePlanProblem(problem)); }

}  // namespace

// A change of the criteria, one undo step like any edit of the tables.
class CriteriaCommand : public QUndoCommand {
public:
    CriteriaCommand(ProfileDocument& document, DesignCriteria before, DesignCriteria after)
        : QUndoCommand(QStringLiteral("设计标准")), document_(document), before_(before), after_(after) {}
    void redo() override { document_.ApplyCriteria(after_); }
    void undo() override { document_.ApplyCriteria(before_); }

private:
    ProfileDocument& document_;
    DesignCriteria before_, after_;
};

QString ProfileDocument::GradeCellText(int row, int column) const {
    // Only for the profile the tables show now, never a stale one.
    if (!profile_ || !tableProblem_.isEmpty() || row + 1 >= static_cast<int>(profile_->Model().points.size()))
        return QString();
    const auto i = static_cast<std::size_t>(row);
    return column == 0 ? FixedCellText(GradeAfter(*profile_, i), 4) : FixedCellText(LengthAfter(*profile_, i));
}

bool ProfileDocument::EditGrade(int row, int column, const QString& typed) {
    if (GradeCellText(row, column).isEmpty()) return false;
    QString why;
    const std::optional<double> value = ParseCellNumber(typed, &why);
    if (!value) return false;
    const auto i = static_cast<std::size_t>(row);
    const std::optional<ProfileModel> moved =
        column == 0 ? WithGradeAfter(*profile_, i, *value) : WithLengthAfter(*profile_, i, *value);
    if (!moved) return false;
    // The column that moves, from the point after the edited one to the end: one undo step.
    std::vector<QStringList> block;
    for (std::size_t k = i + 1; k < moved->points.size(); ++k)
        block.push_back({column == 0 ? ExactNumberCell(moved->points[k].elevation) : ExactStationText(moved->points[k].station)});
    pvi_->WriteBlock(row + 1, column == 0 ? kPviElevation : kPviStation, std::move(block),
                     column == 0 ? QStringLiteral("修改坡度") : QStringLiteral("修改坡长"));
    return true;
}

void ProfileDocument::SetCriteria(const DesignCriteria& criteria, bool asEdit) {
    if (criteria == criteria_) return;
    if (asEdit) undo_->push(new CriteriaCommand(*this, criteria_, criteria));
    else ApplyCriteria(criteria);
}

void ProfileDocument::ApplyCriteria(const DesignCriteria& criteria) {
    criteria_ = criteria;
    Recompute();
}

ProfileDocument::ProfileDocument(QObject* parent)
    : QObject(parent),
      undo_(new QUndoStack(this)),
      pvi_(new EditTableModel(PviHeaders(), *undo_, this)),
      chain_(new EditTableModel(ChainHeaders(), *undo_, this)),
      groundRows_(new EditTableModel(GroundHeaders(), *undo_, this)),
      controlRows_(new EditTableModel(ControlHeaders(), *undo_, this)),
      planRows_(new EditTableModel(PlanHeaders(), *undo_, this)) {
    pvi_->SetComputedColumns({{QStringLiteral("坡度(%)"), QStringLiteral("坡长")},
                              [this](int row, int column) { return GradeCellText(row, column); },
                              [this](int row, int column, const QString& typed) { return EditGrade(row, column, typed); }});
    connect(this, &ProfileDocument::Recomputed, pvi_, &EditTableModel::RefreshComputed);
    connect(pvi_, &EditTableModel::Edited, this, &ProfileDocument::Recompute);
    connect(chain_, &EditTableModel::Edited, this, &ProfileDocument::Recompute);
    // One stationing: the chain table places the plan as it places the profile.
    connect(chain_, &EditTableModel::Edited, this, &ProfileDocument::RecomputePlan);
    connect(planRows_, &EditTableModel::Edited, this, &ProfileDocument::RecomputePlan);
    connect(groundRows_, &EditTableModel::Edited, this, &ProfileDocument::RecomputeGround);
    connect(controlRows_, &EditTableModel::Edited, this, &ProfileDocument::RecomputeControls);
    connect(undo_, &QUndoStack::cleanChanged, this, &ProfileDocument::FileChanged);
    Recompute();
    RecomputePlan();
}

ProfileDocument::~ProfileDocument() {
    // The models and the stack go with this object; what they signal while
    // going must not reach a document that is no longer one.
    pvi_->disconnect(this);
    chain_->disconnect(this);
    groundRows_->disconnect(this);
    controlRows_->disconnect(this);
    planRows_->disconnect(this);
    undo_->disconnect(this);
}

bool ProfileDocument::IsModified() const { return !undo_->isClean(); }

void ProfileDocument::Recompute() {
    if (holdRecompute_) return;
    PviReading pvi;
    ChainReading chains;
    if (shownModel_) {
        // The rows were just written from these numbers in the texts that
        // read back to them exactly: reading a million rows again would only
        // give the same points.
        pvi.points = std::move(shownModel_->points);
        chains.breaks = std::move(shownModel_->chains);
        shownModel_.reset();
        assert(pvi.points == ReadPviRows(pvi_->Rows()).points);
        assert(chains.breaks == ReadChainRows(chain_->Rows()).breaks);
    } else {
        pvi = ReadPviRows(pvi_->Rows());
        chains = ReadChainRows(chain_->Rows());
    }
    std::vector<CellMark> pviMarks = std::move(pvi.marks);
    std::vector<CellMark> chainMarks = std::move(chains.marks);
    std::shared_ptr<const Profile> resolved;
    tableModel_.reset();
    if (pviMarks.empty() && chainMarks.empty()) {
        ProfileModel model;
        model.name = modelName_;
        model.unit = unit_;
        model.points = std::move(pvi.points);
        model.chains = std::move(chains.breaks);
        std::vector<ProfileProblem> problems;
        std::optional<Profile> profile = Profile::Resolve(model, &problems);
        for (const ProfileProblem& problem : problems) {
            if (problem.field == ProfileField::Chain) {
                chainMarks.push_back({static_cast<int>(problem.point), -1, QString::fromStdString(DescribeProfileProblem(problem))});
            } else {
                pviMarks.push_back(PviMarkOf(problem));
            }
        }
        tableModel_ = std::move(model);
        if (profile) resolved = std::make_shared<const Profile>(std::move(*profile));
    }
    markCount_ = static_cast<int>(pviMarks.size() + chainMarks.size());
    tableProblem_.clear();
    if (!resolved) {
        const std::vector<CellMark>& first = pviMarks.empty() ? chainMarks : pviMarks;
        tableProblem_ = first.empty() ? QStringLiteral("表格中没有数据。") : first.front().message;
        if (NothingTyped(pvi_->Rows())) {
            // An empty table is a start, not a fault: nothing is marked.
            tableProblem_ = QStringLiteral("请导入纵断面文件，或在变坡点表中输入或粘贴数据。");
            pviMarks.clear();
            markCount_ = static_cast<int>(chainMarks.size());
        }
    }
    // What the designer's criteria find is marked, not counted among the
    // problems that keep a profile from being drawn.
    violations_ = resolved ? CheckCriteria(*resolved, criteria_) : std::vector<CriterionViolation>();
    for (const CriterionViolation& v : violations_) {
        const bool grade = v.criterion == Criterion::MaxGrade || v.criterion == Criterion::MinGrade ||
                           v.criterion == Criterion::MinGradeLength;
        pviMarks.push_back({static_cast<int>(v.point), grade ? kPviElevation : kPviRadius,
                            QString::fromStdString(DescribeCriterionViolation(v, unit_))});
    }
    pvi_->SetMarks(std::move(pviMarks));
    chain_->SetMarks(std::move(chainMarks));
    if (resolved) {
        // A new snapshot; whoever still holds the old one keeps it intact.
        profile_ = std::move(resolved);
        CheckGround();
        CheckControlTable();
        emit ProfileChanged();
    }
    emit Recomputed();
}

void ProfileDocument::ReadGroundTable() {
    GroundRowsReading reading = ReadGroundRows(groundRows_->Rows());
    groundReadMarks_ = std::move(reading.marks);
    groundModel_.reset();
    // An empty table is no ground line, not one of too few points.
    if (groundReadMarks_.empty() && !reading.model.points.empty()) groundModel_ = std::move(reading.model);
}

void ProfileDocument::RecomputeGround() {
    if (holdRecompute_) return;
    ReadGroundTable();
    CheckGround();
    if (profile_) emit ProfileChanged();
    emit Recomputed();
}

void ProfileDocument::CheckGround() {
    ground_.reset();
    groundProblem_.clear();
    std::vector<CellMark> marks = groundReadMarks_;
    if (!marks.empty()) {
        groundProblem_ = QStringLiteral("地面线表中有%1处无法读取（已标红）：%2").arg(marks.size()).arg(marks.front().message);
    } else if (groundModel_ && profile_) {
        std::vector<GroundProblem> problems;
        std::size_t count = 0;
        std::optional<GroundLine> line = GroundLine::Make(*groundModel_, *profile_, &problems, &count);
        if (line) {
            ground_ = std::make_shared<const GroundLine>(std::move(*line));
        } else {
            for (const GroundProblem& problem : problems) marks.push_back(GroundMarkOf(problem));
            groundProblem_ = GroundProblemsText(std::move(problems), count);
        }
    }
    groundRows_->SetMarks(std::move(marks));
}

void ProfileDocument::ReplaceGroundRows(std::vector<QStringList> rows, const QString& commandText) {
    // One step on the stack, and one reading of the new rows at its end.
    holdRecompute_ = true;
    undo_->beginMacro(commandText);
    if (groundRows_->rowCount() > 0) groundRows_->RemoveRowRange(0, groundRows_->rowCount());
    if (!rows.empty()) groundRows_->WriteBlock(0, 0, std::move(rows), commandText);
    undo_->endMacro();
    holdRecompute_ = false;
    RecomputeGround();
}

void ProfileDocument::ClearGround() {
    if (groundRows_->rowCount() == 0) return;
    ReplaceGroundRows({}, QStringLiteral("清除地面线"));
}

QString ProfileDocument::ImportGround(const QString& path) {
    const io::Result<io::GroundReading> read = io::ReadGroundFile(NativePath(path));
    if (!read.ok()) return QString::fromStdString(read.failure().message);
    const io::GroundReading& reading = read.value();
    if (reading.unit && *reading.unit != unit_) {
        return QStringLiteral("地面线文件的长度单位为%1，与纵断面的%2不同，未导入。")
            .arg(QString::fromUtf8(LengthUnitName(*reading.unit)), QString::fromUtf8(LengthUnitName(unit_)));
    }
    if (!reading.problems.empty()) return GroundProblemsText(reading.problems, reading.problemCount);
    if (profile_) {
        // A ground line that does not fit the profile shown is refused now,
        // while the user still has the file in mind.
        std::vector<GroundProblem> problems;
        std::size_t count = 0;
        if (!GroundLine::Make(reading.model, *profile_, &problems, &count))
            return GroundProblemsText(std::move(problems), count);
    }
    // Internal stations (ProfSurf) are shown as the labels of the profile's chain table.
    std::optional<Chainage> chainage;
    if (profile_) chainage = Chainage::Make(profile_->Model().chains);
    else if (tableModel_) chainage = Chainage::Make(tableModel_->chains);
    else if (chain_->rowCount() == 0) chainage = Chainage();
    if (!chainage && reading.model.stations == GroundStations::Internal)
        return QStringLiteral("断链表有误，无法把地面线的里程换算为桩号，未导入。请先改正断链表。");
    ReplaceGroundRows(GroundRowsOf(reading.model, chainage ? *chainage : Chainage()), QStringLiteral("导入地面线"));
    return QString();
}

void ProfileDocument::Replace(std::vector<QStringList> pviRows, std::vector<QStringList> chainRows,
                              std::vector<QStringList> groundRows, std::optional<ProfileModel> shown,
                              std::vector<QStringList> controlRows, std::vector<QStringList> planRows) {
    // Nothing may go on showing the old profile or plan, even when the new
    // tables do not resolve.
    profile_.reset();
    plan_.reset();
    planCurrent_ = false;
    CheckGround();
    emit Replaced();
    emit ProfileChanged();
    emit PlanChanged();
    // Both tables first, then one reading: the new points with the old chain
    // table (or the other way round) are no profile at all.
    holdRecompute_ = true;
    chain_->ReplaceAll(std::move(chainRows));
    pvi_->ReplaceAll(std::move(pviRows));
    groundRows_->ReplaceAll(std::move(groundRows));
    controlRows_->ReplaceAll(std::move(controlRows));
    planRows_->ReplaceAll(std::move(planRows));
    holdRecompute_ = false;
    // The ground is read first, so that the profile's reading checks it.
    ReadGroundTable();
    CheckGround();
    RecomputeControls();
    shownModel_ = std::move(shown);
    Recompute();
    RecomputePlan();
    // A new document: no undo back into the one before.
    undo_->clear();
    emit FileChanged();
}

QString ProfileDocument::Open(const QString& path) { return Load(path, QString()); }

QString ProfileDocument::Choose(const QString& profileName) {
    if (sourcePath_.isEmpty() || !profileNames_.contains(profileName))
        return QStringLiteral("文件中没有纵断面“%1”。").arg(profileName);
    if (profileName == chosenProfile_) return QString();
    return Load(sourcePath_, profileName);
}

QString ProfileDocument::Load(const QString& path, const QString& profileName) {
    // One parse gives the profile and, for a LandXML file, every profile it
    // holds, which the window offers. A CSV file has no names.
    io::Result<io::ProfileFileContent> loaded =
        io::ReadProfileFileContent(NativePath(path), profileName.toStdString());
    if (!loaded.ok()) return QString::fromStdString(loaded.failure().message);
    ProfileModel& model = loaded.value().content.model;
    QStringList names;
    for (const io::LandXmlProfileName& name : loaded.value().content.names) names.append(NameOf(name));
    // "保存" writes back only to a file this document may rewrite whole: an
    // imported LandXML file usually holds more than the profile (the
    // horizontal alignment, surfaces, other profiles) and writing the profile
    // alone over it would lose the rest.
    const bool landXml = loaded.value().format == io::ProfileFormat::LandXml;
    openNotice_.clear();
    companionsRead_ = {};
    elementList_.reset();
    planReadNote_.clear();
    std::vector<QStringList> groundRows = StoredGroundRows(path, landXml, profileName, model);
    std::optional<DesignCriteria> criteria;
    std::vector<QStringList> controlRows = StoredControlRows(path, landXml, profileName, model, criteria);
    if (criteria) criteria_ = *criteria;
    modelName_ = model.name;
    alignment_ = loaded.value().content.alignment;
    std::vector<QStringList> planRows = StoredPlanRows(path, landXml, model);
    unit_ = model.unit;
    // The first profile stands for "no name given".
    chosenProfile_ = profileName.isEmpty() ? names.value(0) : profileName;
    profileNames_ = std::move(names);
    sourcePath_ = path;
    savePath_ = landXml ? QString() : path;
    saveFormat_ = landXml ? io::ProfileFormat::LandXml : io::ProfileFormat::Csv;
    // The tables are all the document keeps of the file. Its points and
    // chains stand for the tables' first reading, which they are exactly, as
    // the rows hold the texts that read back to them; the rest of the file's
    // content goes before the profile is worked out.
    std::vector<QStringList> pviRows = PviRowsOf(model.points);
    std::vector<QStringList> chainRows = ChainRowsOf(model.chains);
    ProfileModel shown;
    shown.points = std::move(model.points);
    shown.chains = std::move(model.chains);
    loaded.value().content = {};
    Replace(std::move(pviRows), std::move(chainRows), std::move(groundRows), std::move(shown),
            std::move(controlRows), std::move(planRows));
    return QString();
}

std::vector<QStringList> ProfileDocument::StoredGroundRows(const QString& path, bool landXml,
                                                           const QString& profileName, const ProfileModel& model) {
    // A profile whose stored ground does not read still opens, without
    // ground; the user is told why.
    std::optional<GroundModel> stored;
    if (landXml) {
        const io::Result<std::vector<GroundModel>> grounds =
            io::ReadLandXmlGrounds(NativePath(path), profileName.toStdString());
        if (!grounds.ok()) {
            openNotice_ = QStringLiteral("地面线（ProfSurf）未载入：") + QString::fromStdString(grounds.failure().message);
        } else if (!grounds.value().empty()) {
            stored = grounds.value().front();
        }
    } else {
        const std::string companion = io::GroundCompanionPath(NativePath(path));
        if (QFile::exists(QFile::decodeName(QByteArray::fromStdString(companion)))) {
            const io::Result<io::GroundReading> read = io::ReadGroundFile(companion);
            if (!read.ok()) {
                openNotice_ = QStringLiteral("地面线未载入：") + QString::fromStdString(read.failure().message);
            } else if (!read.value().problems.empty()) {
                openNotice_ = QStringLiteral("地面线文件“%1”未载入：").arg(QFile::decodeName(QByteArray::fromStdString(companion))) +
                              GroundProblemsText(read.value().problems, read.value().problemCount);
            } else if (read.value().unit && *read.value().unit != model.unit) {
                openNotice_ = QStringLiteral("地面线文件“%1”的长度单位为%2，与纵断面的%3不同，未载入。")
                                  .arg(QFile::decodeName(QByteArray::fromStdString(companion)),
                                       QString::fromUtf8(LengthUnitName(*read.value().unit)),
                                       QString::fromUtf8(LengthUnitName(model.unit)));
            } else {
                stored = read.value().model;
                companionsRead_.ground = io::IdentityOf(companion);
            }
        }
    }
    if (!stored) return {};
    const std::optional<Chainage> chainage = Chainage::Make(model.chains);
    if (!chainage && stored->stations == GroundStations::Internal) {
        openNotice_ = QStringLiteral("断链表有误，无法把地面线（ProfSurf）的里程换算为桩号，地面线未载入。");
        return {};
    }
    return GroundRowsOf(*stored, chainage ? *chainage : Chainage());
}

std::vector<QStringList> ProfileDocument::StoredControlRows(const QString& path, bool landXml,
                                                            const QString& profileName, const ProfileModel& model,
                                                            std::optional<DesignCriteria>& criteria) {
    const auto notice = [this](const QString& why) {
        openNotice_ += (openNotice_.isEmpty() ? QString() : QStringLiteral("\n")) + why;
    };
    if (landXml) {
        io::Result<io::ProfileChecks> stored = io::ReadLandXmlChecks(NativePath(path), profileName.toStdString(), model);
        if (!stored.ok()) {
            notice(QStringLiteral("控制标高和设计标准未载入：") + QString::fromStdString(stored.failure().message));
            return {};
        }
        criteria = stored.value().criteria;
        return ControlRowsOf(stored.value().controls);
    }
    const std::string criteriaPath = io::CriteriaCompanionPath(NativePath(path));
    if (QFile::exists(QFile::decodeName(QByteArray::fromStdString(criteriaPath)))) {
        io::Result<DesignCriteria> read = io::ReadCriteriaFile(criteriaPath);
        if (read.ok()) {
            criteria = read.value();
            companionsRead_.criteria = io::IdentityOf(criteriaPath);
        } else {
            notice(QStringLiteral("设计标准未载入：") + QString::fromStdString(read.failure().message));
        }
    }
    const std::string companion = io::ControlCompanionPath(NativePath(path));
    const QString shown = QFile::decodeName(QByteArray::fromStdString(companion));
    if (!QFile::exists(shown)) return {};
    const io::Result<io::ControlReading> read = io::ReadControlFile(companion);
    QString why;
    if (!read.ok()) {
        why = QString::fromStdString(read.failure().message);
    } else if (!read.value().problems.empty()) {
        why = QStringLiteral("控制标高表“%1”有无法读取的单元格：").arg(shown) +
              QString::fromStdString(DescribeControlProblem(read.value().problems.front()));
    } else if (read.value().unit && *read.value().unit != model.unit) {
        why = QStringLiteral("控制标高表“%1”的长度单位为%2，与纵断面的%3不同。")
                  .arg(shown, QString::fromUtf8(LengthUnitName(*read.value().unit)),
                       QString::fromUtf8(LengthUnitName(model.unit)));
    }
    if (!why.isEmpty()) {
        notice(QStringLiteral("控制标高未载入：") + why);
        return {};
    }
    companionsRead_.controls = io::IdentityOf(companion);
    return ControlRowsOf(read.value().controls);
}

void ProfileDocument::RecomputeControls() {
    ControlRowsReading reading = ReadControlRows(controlRows_->Rows());
    controlReadMarks_ = std::move(reading.marks);
    controls_.clear();
    if (controlReadMarks_.empty()) controls_ = std::move(reading.controls);
    CheckControlTable();
    emit Recomputed();
}

void ProfileDocument::CheckControlTable() {
    controlReport_ = profile_ ? CheckControls(*profile_, controls_) : ControlReport{};
    std::vector<CellMark> marks = controlReadMarks_;
    const std::vector<CellMark> checked = ControlMarksOf(controls_, controlReport_, unit_);
    marks.insert(marks.end(), checked.begin(), checked.end());
    controlRows_->SetMarks(std::move(marks));
}

QString ProfileDocument::ControlSummary() const {
    if (!controlReadMarks_.empty())
        return QStringLiteral("控制标高表中有%1处无法读取（已标红）").arg(controlReadMarks_.size());
    std::size_t violated = 0;
    const ControlCheck* first = nullptr;
    for (const ControlCheck& check : controlReport_.checks) {
        if (check.status == ControlStatus::Ok) continue;
        if (!first) first = &check;
        ++violated;
    }
    if (!first) {
        if (!controlReport_.problems.empty())
            return QString::fromStdString(DescribeControlProblem(controlReport_.problems.front()));
        return QString();
    }
    QString text = QString::fromStdString(DescribeControlViolation(controls_[first->point], *first, unit_));
    if (violated > 1) text = QStringLiteral("%1个控制点不满足。").arg(violated) + text;
    return text;
}

QString ProfileDocument::SaveRefusal() const {
    if (!tableModel_) return QStringLiteral("表格中有无法读取的单元格（已标红），请改正后再保存。");
    if (!groundReadMarks_.empty())
        return QStringLiteral("地面线表中有无法读取的单元格（已标红），请改正或删除这些行后再保存。");
    if (!controlReadMarks_.empty())
        return QStringLiteral("控制标高表中有无法读取的单元格（已标红），请改正或删除这些行后再保存。");
    if (!planTable_ && !NothingTyped(planRows_->Rows()))
        return QStringLiteral("交点表中有无法读取的单元格（已标红），请改正或删除这些行后再保存。");
    return QString();
}

QString ProfileDocument::Save(const QString& path, io::ProfileFormat format) {
    if (QString refusal = SaveRefusal(); !refusal.isEmpty()) return refusal;
    // The ground goes with the profile: beside it in a LandXML file, as a
    // table of its own beside a CSV file.
    std::vector<GroundModel> grounds;
    if (groundModel_) {
        grounds.push_back(*groundModel_);
        grounds.back().name = "地面线";
    }
    const std::string native = NativePath(path);
    std::optional<io::IoFailure> failure;
    // The plan written is the one the tables say now, never a stale one: a
    // 交点表 that does not resolve goes into a LandXML file as the table alone.
    const Plan* plan = planCurrent_ ? plan_.get() : nullptr;
    std::string alignment = alignment_;
    if (format == io::ProfileFormat::LandXml) {
        if (alignment.empty()) alignment = modelName_.empty() ? std::string("Tarnvel") : modelName_;
        io::RoadFileContent road{*tableModel_, alignment, grounds,
                                 io::ProfileChecks{controls_, criteria_.Empty() ? std::nullopt : std::optional(criteria_)},
                                 plan, planTable_ ? &*planTable_ : nullptr};
        try {
            // Into a LandXML file that is there, keeping what it holds besides this road.
            std::string existing;
            if (QFile::exists(path)) {
                io::Result<std::string> bytes = io::ReadDocumentBytes(native, "LandXML文件");
                if (bytes.ok() && io::SniffProfileFormat(bytes.value()) == io::ProfileFormat::LandXml)
                    existing = std::move(bytes.value());
                else if (!bytes.ok() && !io::LandXmlContentAt(native).empty())
                    failure = bytes.failure();  // a LandXML file it cannot read is not written over
            }
            if (!failure) {
                io::Result<std::string> bytes = io::RoadLandXmlBytes(road, existing, native);
                if (!bytes.ok()) failure = bytes.failure();
                else failure = io::WriteFileAtomically(native, bytes.value());
            }
        } catch (const std::exception&) {
            failure = io::CurrentExceptionFailure(io::FileAction::Write, native);
        }
    } else if (PlanIsElements()) {
        // A 交点表 CSV cannot hold this route: saving would lose the plan.
        return QStringLiteral("平面线形是从文件读入的线元，无法写成交点表（CSV）。请保存为 LandXML 文件。");
    } else {
        // One rule for every table beside the profile: written when the
        // document has it, removed only when it is the file read here.
        io::CompanionWrite ground{io::GroundCompanionPath(native), std::nullopt, companionsRead_.ground};
        io::CompanionWrite controls{io::ControlCompanionPath(native), std::nullopt, companionsRead_.controls};
        io::CompanionWrite criteria{io::CriteriaCompanionPath(native), std::nullopt, companionsRead_.criteria};
        io::CompanionWrite intersections{io::IntersectionCompanionPath(native), std::nullopt,
                                         companionsRead_.intersections};
        try {
            if (planTable_) intersections.bytes = io::IntersectionCsvBytes(*planTable_);
            if (!grounds.empty()) ground.bytes = io::GroundCsvBytes(grounds.front(), tableModel_->unit);
            if (!controls_.empty()) controls.bytes = io::ControlCsvBytes(controls_, tableModel_->unit);
            if (!criteria_.Empty()) criteria.bytes = io::CriteriaCsvBytes(criteria_);
            failure = io::WriteCsvProfileWithCompanions(native, *tableModel_, {ground, controls, criteria, intersections});
        } catch (const std::exception&) {
            failure = io::CurrentExceptionFailure(io::FileAction::Write, native);
        }
        if (!failure) {
            // The tables now beside the profile are this document's own; a
            // stranger's that stayed is not.
            const auto own = [](const io::CompanionWrite& c) {
                return c.bytes ? io::IdentityOf(c.path) : std::nullopt;
            };
            companionsRead_ = {own(ground), own(controls), own(criteria), own(intersections)};
        }
    }
    if (failure) return QString::fromStdString(failure->message);
    // The document is now this file, which holds this one profile.
    savePath_ = path;
    saveFormat_ = format;
    sourcePath_ = path;
    // The alignment keeps its name in the file it was written to.
    alignment_ = format == io::ProfileFormat::LandXml ? alignment : std::string();
    profileNames_.clear();
    chosenProfile_.clear();
    undo_->setClean();
    emit FileChanged();
    return QString();
}

void ProfileDocument::New() {
    sourcePath_.clear();
    savePath_.clear();
    saveFormat_ = io::ProfileFormat::LandXml;
    profileNames_.clear();
    chosenProfile_.clear();
    modelName_.clear();
    alignment_.clear();
    unit_ = LengthUnit::Metre;
    openNotice_.clear();
    companionsRead_ = {};
    elementList_.reset();
    planReadNote_.clear();
    Replace({}, {}, {});
}

std::optional<HorizontalAlignment> ProfileDocument::Horizontal(QString* notice) const {
    notice->clear();
    if (!plan_) {
        if (!NothingTyped(planRows_->Rows())) *notice = planStatus_;
        return std::nullopt;
    }
    if (!planCurrent_) {
        *notice = planStatus_;
        return std::nullopt;
    }
    return HorizontalOf(*plan_);
}

void ProfileDocument::RecomputePlan() {
    if (holdRecompute_) return;
    PlanReading reading = ReadPlanRows(planRows_->Rows());
    std::vector<CellMark> marks = std::move(reading.marks);
    const ChainReading chains = ReadChainRows(chain_->Rows());
    const bool typed = !NothingTyped(planRows_->Rows());
    planTable_.reset();
    planStatus_.clear();
    std::shared_ptr<const Plan> resolved;
    std::vector<PlanProblem> problems;
    if (!typed) {
        marks.clear();  // an empty table is no plan, not one of too few points
        if (elementList_) {
            ElementList list = *elementList_;
            list.chains = chains.breaks;
            std::optional<Plan> plan = chains.marks.empty() ? Plan::Resolve(list, &problems) : std::nullopt;
            if (plan) resolved = std::make_shared<const Plan>(std::move(*plan));
            else if (!problems.empty()) planStatus_ = PlanProblemText(problems.front());
        }
    } else if (marks.empty()) {
        reading.table.unit = unit_;
        reading.table.chains = chains.breaks;
        planTable_ = reading.table;
        if (chains.marks.empty()) {
            std::optional<Plan> plan = Plan::Resolve(*planTable_, &problems);
            // A chain problem is marked in the chain table by the profile.
            for (const PlanProblem& problem : problems) {
                if (problem.field == PlanField::Chain) planStatus_ = PlanProblemText(problem);
                else marks.push_back(PlanMarkOf(problem));
            }
            if (plan) {
                // What the plan notes (a 桩号 the chain of JDs does not give) is marked, not refused.
                for (const PlanProblem& note : plan->Notes()) marks.push_back(PlanMarkOf(note));
                resolved = std::make_shared<const Plan>(std::move(*plan));
            }
        }
    }
    if (typed && !chains.marks.empty()) planStatus_ = QStringLiteral("断链表中有无法读取的单元格，平面无法计算。");
    if (!resolved && planStatus_.isEmpty() && !marks.empty())
        planStatus_ = QStringLiteral("交点表中有%1处问题（已标红），例如：%2").arg(marks.size()).arg(marks.front().message);
    planRows_->SetMarks(std::move(marks));
    const bool hadPlan = plan_ != nullptr;
    planCurrent_ = resolved != nullptr;
    if (resolved) {
        plan_ = std::move(resolved);
        emit PlanChanged();
    } else if (!typed && hadPlan) {
        // The table emptied: no plan at all, not the last one.
        plan_.reset();
        emit PlanChanged();
    }
    if (planCurrent_ && planStatus_.isEmpty()) planStatus_ = planReadNote_;
    emit PlanRecomputed();
}

std::vector<QStringList> ProfileDocument::StoredPlanRows(const QString& path, bool landXml, const ProfileModel& model) {
    const std::string native = NativePath(path);
    if (!landXml) {
        const std::string companion = io::IntersectionCompanionPath(native);
        const QString shown = QFile::decodeName(QByteArray::fromStdString(companion));
        if (!QFile::exists(shown)) return {};
        io::Result<IntersectionTable> read = io::ReadIntersectionCsvFile(companion);
        if (!read.ok()) {
            openNotice_ += (openNotice_.isEmpty() ? QString() : QStringLiteral("\n")) + QStringLiteral("交点表未载入：") +
                           QString::fromStdString(read.failure().message);
            return {};
        }
        if (read.value().unit != model.unit) {
            openNotice_ += (openNotice_.isEmpty() ? QString() : QStringLiteral("\n")) +
                           QStringLiteral("交点表“%1”的长度单位为%2，与纵断面的%3不同，未载入。")
                               .arg(shown, QString::fromUtf8(LengthUnitName(read.value().unit)),
                                    QString::fromUtf8(LengthUnitName(model.unit)));
            return {};
        }
        companionsRead_.intersections = io::IdentityOf(companion);
        // The profile's chain table stations both; the table's own, if it differs, is told.
        if (!read.value().chains.empty() && read.value().chains != model.chains)
            planReadNote_ = QStringLiteral("交点表文件中的断链与纵断面的不同，平面按纵断面的断链表计算。");
        return PlanRowsOf(read.value());
    }
    // A LandXML alignment: its CoordGeom, and the 交点表 kept beside it.
    io::Result<ElementList> elements = io::ReadLandXmlElementsFile(native, alignment_);
    if (!elements.ok()) {
        // A profile without a plan (no CoordGeom) is no fault of the file.
        planStatus_ = QStringLiteral("平面线形未载入：") + QString::fromStdString(elements.failure().message);
        planReadNote_ = planStatus_;
        return {};
    }
    std::optional<Plan> fromElements;
    std::vector<PlanProblem> problems;
    if (!elements.value().elements.empty()) fromElements = Plan::Resolve(elements.value(), &problems);
    io::Result<std::optional<IntersectionTable>> stored = io::ReadLandXmlIntersectionsFile(native, alignment_);
    if (stored.ok() && stored.value()) {
        const std::optional<Plan> fromTable = Plan::Resolve(*stored.value());
        // The table is taken while the geometry beside it is still the one it
        // gives; one that does not resolve was written with the placeholder.
        if (fromTable ? fromElements && SamePlace(*fromTable, *fromElements) : elements.value().elements.empty())
            return PlanRowsOf(*stored.value());
        planReadNote_ = QStringLiteral("文件中保存的交点表与其平面线形（CoordGeom）不一致，已按平面线形读取。");
    } else if (!stored.ok()) {
        planReadNote_ = QStringLiteral("文件中保存的交点表未载入：") + QString::fromStdString(stored.failure().message);
    }
    if (elements.value().elements.empty()) return {};
    if (!fromElements) {
        elementList_ = std::move(elements.value());  // shown with its problem, for the user to see
        return {};
    }
    PlanProblem why;
    if (std::optional<IntersectionTable> table = RecoverIntersections(*fromElements, &why)) {
        table->unit = model.unit;
        return PlanRowsOf(*table);
    }
    planReadNote_ = QStringLiteral("平面线形为线元，无法转换为交点表（") + PlanProblemText(why) +
                    QStringLiteral("），以只读线元显示。");
    elementList_ = std::move(elements.value());
    return {};
}

}  // namespace tarnvel::ui::profile
