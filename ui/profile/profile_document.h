#pragma once
// The open road as a document, without any widget: the plan (the 交点表, or a
// route read as elements), the PVI table, the chain table that both share and
// the ground table (the texts as typed), the undo stack every edit goes through,
// the profile those tables resolve to, and where the document came from and
// goes to. The window, its tables, the plot, the query and the listing only
// observe it; load, save, new and every edit act here, so all of it runs
// under test without a screen.
//
// The resolved profile is handed out as an immutable snapshot: an edit makes
// a new one and never changes or frees the one a view is still showing.

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/plan/plan.h"
#include "core/profile/design_check.h"
#include "core/profile/ground_line.h"
#include "core/profile/horizontal.h"
#include "core/profile/profile.h"
#include "io/file_identity.h"
#include "io/profile_files.h"
#include "ui/profile/edit_table_model.h"

class QUndoStack;

namespace tarnvel::ui::profile {

// Named for the profile it first held; it now holds the whole road.
class ProfileDocument : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProfileDocument)

public:
    explicit ProfileDocument(QObject* parent = nullptr);
    ~ProfileDocument() override;

    QUndoStack& UndoStack() { return *undo_; }
    EditTableModel& PviModel() { return *pvi_; }
    EditTableModel& ChainModel() { return *chain_; }
    const EditTableModel& PviModel() const { return *pvi_; }
    const EditTableModel& ChainModel() const { return *chain_; }
    EditTableModel& GroundTable() { return *groundRows_; }
    const EditTableModel& GroundTable() const { return *groundRows_; }
    // The control table (控制标高), its controls as read (all of them only
    // when every cell reads) and their check against the profile shown.
    EditTableModel& ControlTable() { return *controlRows_; }
    const EditTableModel& ControlTable() const { return *controlRows_; }
    const std::vector<ControlPoint>& Controls() const { return controls_; }
    const ControlReport& ControlChecks() const { return controlReport_; }
    // The first control the design violates, in words for the status line,
    // and how many there are; empty and 0 when every control holds.
    QString ControlSummary() const;
    // The designer's criteria (设计标准) and what the profile shown violates,
    // marked in the PVI table. Setting them is one undo step (`asEdit`;
    // otherwise, as from the settings at start, no edit at all); a save keeps
    // them with the profile, and a profile that keeps none leaves them as
    // they were when it is opened.
    const DesignCriteria& Criteria() const { return criteria_; }
    void SetCriteria(const DesignCriteria& criteria, bool asEdit = true);
    const std::vector<CriterionViolation>& Violations() const { return violations_; }

    // ---- The plan (平面) ----------------------------------------------------
    // The 交点表 as typed, one row per point (start, JDs, end), edited through
    // the same undo stack and stationed by the same chain table as the profile.
    EditTableModel& PlanModel() { return *planRows_; }
    const EditTableModel& PlanModel() const { return *planRows_; }
    // The last valid plan: the 交点表's when it has rows, else the route read
    // from the file as elements where no 交点表 expresses it (read-only);
    // null when there is none. An immutable snapshot, as the profile.
    std::shared_ptr<const Plan> CurrentPlan() const { return plan_; }
    // True when CurrentPlan() is what the tables say now (not the last valid
    // one kept while cells are marked).
    bool PlanIsCurrent() const { return planCurrent_; }
    // The plan is a route of elements kept as read: no 交点表 to edit.
    bool PlanIsElements() const { return elementList_.has_value() && planRows_->rowCount() == 0; }
    // What the status line says of the plan: why there is none or why it is
    // not current, or how it was read; empty when the 交点表 resolves.
    const QString& PlanStatus() const { return planStatus_; }
    // The 交点表 as read, when every cell reads (it may still not resolve).
    const std::optional<IntersectionTable>& PlanTable() const { return planTable_; }

    // The last valid profile; null before there has been one and after a new
    // document whose tables do not resolve.
    std::shared_ptr<const Profile> CurrentProfile() const { return profile_; }
    // The tables as read, when every cell reads (the profile may still be
    // invalid): what a save writes.
    const std::optional<ProfileModel>& TableModel() const { return tableModel_; }
    // Why the tables give no profile now (empty when they do), and how many
    // cells and rows are marked.
    const QString& TableProblem() const { return tableProblem_; }
    int MarkCount() const { return markCount_; }
    bool IsModified() const;

    // Where it came from and where "保存" writes (empty: ask for a path).
    const QString& SourcePath() const { return sourcePath_; }
    const QString& SavePath() const { return savePath_; }
    io::ProfileFormat SaveFormat() const { return saveFormat_; }
    // The profiles of the LandXML file loaded ("ALIGNMENT/PROFILE"), and the one shown.
    const QStringList& ProfileNames() const { return profileNames_; }
    const QString& ChosenProfile() const { return chosenProfile_; }
    LengthUnit Unit() const { return unit_; }

    // The ground line (地面线) as the ground table reads, when it has rows and
    // every cell reads; kept across edits of the profile. And, when it checks
    // against the profile shown, the line itself, an immutable snapshot
    // published together with the profile. Null while there is no ground or
    // it does not read or fit; GroundStatus() says why.
    const std::optional<GroundModel>& Ground() const { return groundModel_; }
    std::shared_ptr<const GroundLine> CurrentGround() const { return ground_; }
    const QString& GroundStatus() const { return groundProblem_; }
    // What the last Open or Choose has to tell besides a success: why a
    // ground line stored with the profile was not loaded. Empty otherwise.
    const QString& OpenNotice() const { return openNotice_; }

    // The road's plan as the sheets' 直线及平曲线 band, whichever way it was
    // entered. Nothing without a plan, or while the 交点表 has marked cells
    // (a sheet never shows a plan the tables no longer say); `notice`
    // receives why (the sheets then go without the band).
    std::optional<HorizontalAlignment> Horizontal(QString* notice) const;

    // ---- Commands -------------------------------------------------------
    // Each returns the user's message on failure (empty on success) and then
    // leaves the document as it was.
    // The file's first profile; the others are listed in ProfileNames().
    QString Open(const QString& path);
    // Another profile of the file open now.
    QString Choose(const QString& profileName);
    // The tables as they read, even when the profile is not valid yet; a cell
    // that does not read at all stops the save, as it has no number to write.
    QString Save(const QString& path, io::ProfileFormat format);
    // Why Save would refuse now (a cell of a table, the ground's included,
    // that does not read); empty when it may write.
    QString SaveRefusal() const;
    // Empty tables, no file, no history.
    void New();
    // A ground CSV table or the ProfSurf of a LandXML file, put in the ground
    // table in place of its rows as one undoable edit. Refused (nothing
    // changes) when the file does not read, its unit is not the profile's, or
    // it does not fit the profile shown.
    QString ImportGround(const QString& path);
    // Empties the ground table, one undoable edit.
    void ClearGround();

signals:
    // A new profile snapshot (or none) to show.
    void ProfileChanged();
    // A new plan snapshot (or none) to show.
    void PlanChanged();
    // The 交点表's marks and the plan's status were read again. Apart from
    // Recomputed, so that an edit of the plan does not redo the profile's views.
    void PlanRecomputed();
    // The marks and the problem of the tables were read again.
    void Recomputed();
    // The whole document was replaced (a load or a new one): views start afresh.
    void Replaced();
    // The file, the chosen profile or the modified state changed.
    void FileChanged();

private:
    // Reads both tables, resolves once, marks the cells at fault.
    void Recompute();
    // Reads the 交点表 (or takes the elements read) with the chain table,
    // resolves the plan, marks the 交点表's cells at fault.
    void RecomputePlan();
    // The plan stored with the profile at `path` (the alignment's CoordGeom
    // and 交点表 in a LandXML file, the companion 交点表 of a CSV one) as rows
    // of the 交点表, or as elements kept in elementList_; sets planStatus_.
    std::vector<QStringList> StoredPlanRows(const QString& path, bool landXml, const ProfileModel& model);
    QString Load(const QString& path, const QString& profileName);
    // `shown`, when given, is what the new PVI and chain rows read as: it is
    // taken as their reading instead of reading them again.
    void Replace(std::vector<QStringList> pviRows, std::vector<QStringList> chainRows,
                 std::vector<QStringList> groundRows, std::optional<ProfileModel> shown = std::nullopt,
                 std::vector<QStringList> controlRows = {}, std::vector<QStringList> planRows = {});
    // Reads the ground table into groundModel_ and the marks of its cells.
    void ReadGroundTable();
    // Reads the ground table again after an edit of it, then checks it.
    void RecomputeGround();
    // Checks the ground model against the profile now shown and marks the
    // ground table.
    void CheckGround();
    // Replaces the ground table's rows by `rows` as one undoable edit.
    void ReplaceGroundRows(std::vector<QStringList> rows, const QString& commandText);
    // Reads the control table again after an edit of it, then checks it.
    void RecomputeControls();
    // Checks the controls as read against the profile now shown and marks
    // the control table.
    void CheckControlTable();
    // The control table stored with the profile at `path` (the companion of
    // a CSV profile) as rows; sets openNotice_ when it cannot be loaded.
    // And the criteria kept with it, in `criteria`.
    std::vector<QStringList> StoredControlRows(const QString& path, bool landXml, const QString& profileName,
                                               const ProfileModel& model, std::optional<DesignCriteria>& criteria);
    // The PVI table's computed columns 坡度(%) and 坡长 (column 0 and 1 after
    // the typed ones): the grade and length after each point, and an edit of
    // one as a move of the later points (core/profile/grade_edit.h).
    QString GradeCellText(int row, int column) const;
    bool EditGrade(int row, int column, const QString& typed);
    friend class CriteriaCommand;
    void ApplyCriteria(const DesignCriteria& criteria);
    // The ground line stored with the profile at `path` (the ProfSurf beside
    // a LandXML profile, the companion table of a CSV one) as rows of the
    // ground table; sets openNotice_ when there is one that cannot be loaded.
    std::vector<QStringList> StoredGroundRows(const QString& path, bool landXml, const QString& profileName,
                                              const ProfileModel& model);

    QUndoStack* undo_ = nullptr;
    EditTableModel* pvi_ = nullptr;
    EditTableModel* chain_ = nullptr;
    EditTableModel* groundRows_ = nullptr;
    EditTableModel* controlRows_ = nullptr;
    EditTableModel* planRows_ = nullptr;

    std::shared_ptr<const Plan> plan_;
    bool planCurrent_ = false;
    std::optional<IntersectionTable> planTable_;
    std::optional<ElementList> elementList_;  // a route of elements no 交点表 expresses
    QString planStatus_;
    QString planReadNote_;  // how the plan was read, kept while it shows

    std::shared_ptr<const Profile> profile_;
    std::optional<ProfileModel> tableModel_;
    QString tableProblem_;
    int markCount_ = 0;

    QString sourcePath_;
    QString savePath_;
    io::ProfileFormat saveFormat_ = io::ProfileFormat::LandXml;
    QStringList profileNames_;
    QString chosenProfile_;
    std::string modelName_;  // the profile's name and unit as the file gave them
    std::string alignment_;  // the LandXML alignment the profile was read from
    LengthUnit unit_ = LengthUnit::Metre;
    std::optional<GroundModel> groundModel_;
    std::vector<CellMark> groundReadMarks_;  // the ground table's cells that do not read
    std::shared_ptr<const GroundLine> ground_;
    QString groundProblem_;
    QString openNotice_;
    // The tables this document read beside its CSV profile (or wrote there),
    // by file: the only ones a save without that table may remove. One that
    // was there but did not load, or sits beside a LandXML file, stays.
    struct CompanionsRead {
        std::optional<io::FileIdentity> ground, controls, criteria, intersections;
    };
    CompanionsRead companionsRead_;
    std::vector<ControlPoint> controls_;
    std::vector<CellMark> controlReadMarks_;
    ControlReport controlReport_;
    DesignCriteria criteria_;
    std::vector<CriterionViolation> violations_;
    bool holdRecompute_ = false;  // both tables are being replaced
    // The points and chains a file gave, standing for the reading of the rows
    // just made from them until the next Recompute takes them.
    std::optional<ProfileModel> shownModel_;
};

}  // namespace tarnvel::ui::profile
