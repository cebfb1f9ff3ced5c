#pragma once
// The road window (纵断面计算): a road's profile as tables, a plot, a station
// query and a listing in the tab 纵断面; its plan (交点表 and 直线、曲线及转角表,
// plan_tab) in the tab 平面.
//
// The window shows a ProfileDocument (profile_document.h): the PVI table and
// the chain table and the ground table (地面线) hold the texts as typed, every edit of them is one command
// on the document's undo stack, and after each edit the document resolves the
// tables once. When that gives a profile, everything else (the elements
// table, the plot, the query and the listing) is shown from its snapshot;
// when it does not, the cells and rows at fault are marked and the rest keeps
// showing the last valid profile.
//   profile_document          the document: tables, undo, profile, paths
//   pvi_table / chain_table / ground_table  the columns of each table and how they read
//   edit_table_model / _view  editable texts with undo, copy and paste
//   elements_model            the curve elements table (read-only)
//   query_panel, listing_panel  station query; range listing and its exports
//   fill_cut_panel            the 填挖 summary, following every edit and drag
//   plot_snap_bar, point_edit the plot's snapping controls; its edits applied to the table
//   profile_file_commands.cpp import, save, recent files, sheets, PNG / SVG
//   sheet_export_dialog       the choices of the 纵断面图 sheets
//   profile_settings          size, splitters and recent files between runs
// Every dialog goes through the seams (ui/seams.h), so the whole window runs
// under test without a person at the screen.

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/drawing/sheet.h"
#include "core/profile/profile.h"
#include "io/profile_files.h"
#include "ui/seams.h"

class QComboBox;
class QLabel;
class QMenu;
class QSplitter;
class QTabWidget;
class QTableView;
class QUndoStack;

namespace tarnvel::ui {

class PlotWidget;

namespace profile {
class EditTableModel;
class EditTableView;
class ElementsModel;
class FillCutPanel;
class ListingPanel;
class ProfileDocument;
class SheetExportDialog;
class CriteriaDialog;
class PlanTab;
class ProfileSettings;
class QueryPanel;
}  // namespace profile

class ProfileWindow : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProfileWindow)

public:
    // `settingsFile` empty: the user's settings; tests give a file of their own.
    explicit ProfileWindow(Services services, const QString& settingsFile = QString(), QWidget* parent = nullptr);
    ~ProfileWindow() override;

    // Loads a LandXML or CSV file (by its content; the first profile of a
    // LandXML file that holds several, the others offered in the chooser).
    // On failure says why and changes nothing.
    bool OpenFile(const QString& path);

    profile::ProfileDocument& Document() { return *document_; }
    // The last valid profile, if there has been one.
    std::shared_ptr<const Profile> CurrentProfile() const;
    QUndoStack& UndoStack();
    profile::EditTableModel& PviModel();
    profile::EditTableModel& ChainModel();

    // ---- Menu commands ------------------------------------------------------
    // Defined in profile_file_commands.cpp.
    // Asks about unsaved changes first.
    void New_Click();
    void Import_Click();
    // The ground table's rows replaced by the file's points, one undoable step.
    void ImportGround_Click();
    bool Save_Click();
    bool SaveAs_Click();
    // Opens the 导出图纸 dialog (or brings it forward); its 预览 and 导出
    // buttons build the sheets from the profile as it then is.
    void ExportSheet_Click();
    // 设计标准 (criteria_commands.cpp): the dialog, applying its form to the
    // document and the settings, and exporting it as a criteria file.
    void Criteria_Click();
    void ApplyCriteria();
    void ExportCriteria();
    void ExportPng_Click();
    void ExportSvg_Click();

    void AddRows_Click();
    void InsertRows_Click();
    void DeleteRows_Click();
    // The manual's section on this window, in the desktop's browser.
    void Help_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateWidgets();
    void CreateMenus();
    void RestoreSettings();
    void SaveSettings();

    void ShowProfile();
    void ShowStatus();
    // The control points over the plot, as the document checked them.
    void ShowControls();
    void ShowTitle();
    // After a load or a new document: the chooser, column widths and plot afresh.
    void ShowNewDocument();

    // Selection kept the same in the PVI table, the elements table and the plot.
    void SelectPoint(int point, const QObject* from);

    // Defined in profile_file_commands.cpp.
    // True when the window may drop its document: no unsaved changes, or the
    // user saved them or chose not to.
    bool MaybeSave();
    // True when the profile passes its checks, or the user chose to save it
    // as it is all the same.
    bool ConfirmUncheckedSave();
    bool WriteTo(const QString& path, io::ProfileFormat format);
    void ChooseProfile(int index);
    void UpdateRecentMenu();
    // The profile to export as a picture or sheet, or null after telling why.
    std::shared_ptr<const Profile> ProfileForExport();
    // Asks for a path to write, in the document's folder with its name and
    // `extension` suggested; the extension rule of io/output_name.h applied.
    // Empty when cancelled.
    QString ChooseOutputPath(const QString& filter, const QString& extension);
    // The sheets the dialog asks for with their document title, or nothing
    // after saying why.
    // Makes the sheets of the dialog's choices and hands them to `use`; false,
    // with the user told why, when they cannot be made.
    bool WithSheets(const std::function<void(SheetPages& sheets, const QString& title)>& use);
    void PreviewSheets();
    void WriteSheets();

    Services services_;
    std::unique_ptr<profile::ProfileSettings> settings_;
    profile::ProfileDocument* document_ = nullptr;

    profile::ElementsModel* elementsModel_ = nullptr;
    profile::EditTableView* pviView_ = nullptr;
    profile::EditTableView* chainView_ = nullptr;
    profile::EditTableView* groundView_ = nullptr;
    profile::EditTableView* controlView_ = nullptr;
    QTableView* elementsView_ = nullptr;
    PlotWidget* plot_ = nullptr;
    profile::QueryPanel* query_ = nullptr;
    profile::ListingPanel* listing_ = nullptr;
    profile::FillCutPanel* fillCut_ = nullptr;  // 填挖汇总
    QTabWidget* tabs_ = nullptr;          // 纵断面 | 平面
    profile::PlanTab* planTab_ = nullptr;  // the 交点表, 直线、曲线及转角表 and the plan's slots
    QSplitter* mainSplitter_ = nullptr;   // tables | plot and the rest
    QSplitter* leftSplitter_ = nullptr;   // PVI table / chain table
    QSplitter* rightSplitter_ = nullptr;  // plot / elements and listing
    QSplitter* lowerSplitter_ = nullptr;  // elements / query and listing
    profile::SheetExportDialog* sheetDialog_ = nullptr;  // made when first asked for
    profile::CriteriaDialog* criteriaDialog_ = nullptr;  // the same
    QComboBox* profileChooser_ = nullptr;  // the profiles of a LandXML file holding several
    QLabel* status_ = nullptr;
    QMenu* recentMenu_ = nullptr;

    bool selecting_ = false;                  // a selection is being passed on
};

}  // namespace tarnvel::ui
