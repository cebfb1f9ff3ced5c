// File > import, save, export, recent files and the pictures and sheets.
//
// The document loads and saves; here are the questions and the dialogs. A
// load reads and checks the whole file before anything changes, so a failed
// load leaves the tables, the undo history and the file name as they were and
// only says why. Every write goes through the io library, which writes a file
// whole or not at all; a failure to read or write shows the warning icon.
//
// "保存" writes back only to a file the document may rewrite whole (a CSV
// file, or a file saved from here); after importing a LandXML file it asks
// for a path like "导出".

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTableView>
#include <QUndoStack>

#include <algorithm>
#include <string>
#include <string_view>

#include "core/drawing/drawn_ground.h"
#include "core/text/messages.h"
#include "io/atomic_write.h"
#include "io/output_name.h"
#include "output/sheet_writer.h"
#include "ui/profile/chain_table.h"
#include "ui/profile/edit_table_model.h"
#include "ui/profile/edit_table_view.h"
#include "ui/profile/listing_panel.h"
#include "ui/profile/plot/plot_export.h"
#include "ui/profile/plot/plot_widget.h"
#include "ui/profile/profile_document.h"
#include "ui/profile/profile_settings.h"
#include "ui/profile/sheet_export_dialog.h"
#include "ui/profile/write_path.h"
#include "ui/profile/profile_window.h"
#include "ui/profile/pvi_table.h"
#include "ui/qt_text.h"

namespace tarnvel::ui {

using profile::ChooseWritePath;
using profile::ProfileDocument;
using profile::SuggestedPath;

namespace {

const QString kLandXmlFilter = QStringLiteral("LandXML 文件(*.xml)");
const QString kCsvFilter = QStringLiteral("CSV 文件(*.csv)");

}  // namespace

bool ProfileWindow::MaybeSave() {
    if (!document_->IsModified()) return true;
    switch (services_.messages.AskSaveChanges(this, QStringLiteral("纵断面已修改，是否保存？"))) {
    case SaveChoice::Save: return Save_Click();
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: return false;
    }
    return false;
}

void ProfileWindow::New_Click() {
    if (!MaybeSave()) return;
    document_->New();
    ShowNewDocument();
}

void ProfileWindow::Import_Click() {
    if (!MaybeSave()) return;
    const QString path = services_.files.ChooseOpenFile(
        this, kLandXmlFilter + QStringLiteral(";;") + kCsvFilter + QStringLiteral(";;所有文件(*)"), nullptr,
        document_->SourcePath());
    if (path.isEmpty()) return;
    OpenFile(path);
}

void ProfileWindow::ImportGround_Click() {
    // Under the CSV filter the dialog offers a CSV name: the ground table's
    // name beside the profile ("road-地面线.csv").
    const QString start = SuggestedPath(document_->SourcePath(), QStringLiteral("-地面线.csv"));
    const QString path = services_.files.ChooseOpenFile(
        this, kCsvFilter + QStringLiteral(";;") + kLandXmlFilter + QStringLiteral(";;所有文件(*)"), nullptr, start);
    if (path.isEmpty()) return;
    if (const QString failure = document_->ImportGround(path); !failure.isEmpty())
        services_.messages.ShowWarning(this, failure);
}

bool ProfileWindow::OpenFile(const QString& path) {
    if (const QString failure = document_->Open(path); !failure.isEmpty()) {
        services_.messages.ShowWarning(this, failure);
        return false;
    }
    ShowNewDocument();
    settings_->AddRecentFile(path);
    UpdateRecentMenu();
    // The profile is open; a ground line stored with it that did not load is told now.
    if (!document_->OpenNotice().isEmpty()) services_.messages.ShowWarning(this, document_->OpenNotice());
    return true;
}

void ProfileWindow::ShowNewDocument() {
    {
        const QStringList& names = document_->ProfileNames();
        const QSignalBlocker block(profileChooser_);
        profileChooser_->clear();
        profileChooser_->addItems(names);
        profileChooser_->setVisible(names.size() > 1);
        profileChooser_->setCurrentIndex(static_cast<int>(names.indexOf(document_->ChosenProfile())));
        if (auto* label = findChild<QWidget*>(QStringLiteral("ProfileChooserLabel"))) label->setVisible(names.size() > 1);
    }
    listing_->SetReportProject(QFileInfo(document_->SourcePath()).completeBaseName());
    for (QTableView* view : {static_cast<QTableView*>(pviView_), static_cast<QTableView*>(chainView_),
                             static_cast<QTableView*>(groundView_), elementsView_})
        profile::FitColumnsToSample(view);
    plot_->fitAll();
}

void ProfileWindow::ChooseProfile(int index) {
    const QString name = profileChooser_->itemText(index);
    if (name.isEmpty() || document_->SourcePath().isEmpty()) return;
    if (!MaybeSave()) {
        // The table stays as it was; so does the chooser.
        const QSignalBlocker block(profileChooser_);
        profileChooser_->setCurrentIndex(profileChooser_->findText(document_->ChosenProfile()));
        return;
    }
    if (const QString failure = document_->Choose(name); !failure.isEmpty()) {
        services_.messages.ShowWarning(this, failure);
        const QSignalBlocker block(profileChooser_);
        profileChooser_->setCurrentIndex(profileChooser_->findText(document_->ChosenProfile()));
        return;
    }
    ShowNewDocument();
    if (!document_->OpenNotice().isEmpty()) services_.messages.ShowWarning(this, document_->OpenNotice());
}

bool ProfileWindow::Save_Click() {
    if (document_->SavePath().isEmpty()) return SaveAs_Click();
    if (!ConfirmUncheckedSave()) return false;
    return WriteTo(document_->SavePath(), document_->SaveFormat());
}

bool ProfileWindow::ConfirmUncheckedSave() {
    // Every cell reads, but the profile does not resolve (a curve too long
    // for its tangents, stations out of order): the file can be written and
    // opened here again, but the command line refuses it. The user decides.
    if (!document_->SaveRefusal().isEmpty() || document_->TableProblem().isEmpty()) return true;
    const QString prompt = QStringLiteral("纵断面未通过检查：%1\n这样保存的文件，命令行（tarnvel-cli）将拒绝计算。仍要保存吗？")
                               .arg(document_->TableProblem());
    return services_.messages.AskSaveChanges(this, prompt) == SaveChoice::Save;
}

bool ProfileWindow::SaveAs_Click() {
    if (const QString refusal = document_->SaveRefusal(); !refusal.isEmpty()) {
        services_.messages.ShowInfo(this, refusal);
        return false;
    }
    if (!ConfirmUncheckedSave()) return false;
    const io::ProfileFormat current = document_->SaveFormat();
    QString picked = current == io::ProfileFormat::Csv ? kCsvFilter : kLandXmlFilter;
    const QString typed = services_.files.ChooseSaveFile(
        this, kLandXmlFilter + QStringLiteral(";;") + kCsvFilter, &picked,
        SuggestedPath(document_->SourcePath(),
                      current == io::ProfileFormat::Csv ? QStringLiteral(".csv") : QStringLiteral(".xml")));
    if (typed.isEmpty()) return false;
    // The typed ".xml" or ".csv" decides, as on the command line; the filter
    // picked only gives the extension of a name typed without one.
    const auto named = io::ProfileOutputName(
        NativePath(typed), picked == kCsvFilter ? io::ProfileFormat::Csv : io::ProfileFormat::LandXml);
    if (!named) return false;
    return WriteTo(QFile::decodeName(QByteArray::fromStdString(named->first)), named->second);
}

bool ProfileWindow::WriteTo(const QString& path, io::ProfileFormat format) {
    if (const QString failure = document_->Save(path, format); !failure.isEmpty()) {
        if (!document_->SaveRefusal().isEmpty()) {
            services_.messages.ShowInfo(this, failure);
        } else {
            services_.messages.ShowWarning(this, failure);
        }
        return false;
    }
    ShowNewDocument();
    settings_->AddRecentFile(path);
    UpdateRecentMenu();
    return true;
}

void ProfileWindow::UpdateRecentMenu() {
    // The menu is rebuilt from within one of its own actions (a recent file
    // opened): the old actions go once that handler has returned.
    for (QAction* old : recentMenu_->actions()) {
        recentMenu_->removeAction(old);
        old->deleteLater();
    }
    const QStringList files = settings_->RecentFiles();
    recentMenu_->setEnabled(!files.isEmpty());
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* action = recentMenu_->addAction(QStringLiteral("%1 %2").arg(i + 1).arg(path));
        action->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        connect(action, &QAction::triggered, this, [this, path] {
            if (!MaybeSave()) return;
            if (!QFileInfo::exists(path)) {
                settings_->RemoveRecentFile(path);
                UpdateRecentMenu();
            }
            OpenFile(path);
        });
    }
}

std::shared_ptr<const Profile> ProfileWindow::ProfileForExport() {
    std::shared_ptr<const Profile> profile = document_->CurrentProfile();
    if (!profile) services_.messages.ShowInfo(this, QStringLiteral("纵断面尚无有效数据，无法导出图形。"));
    return profile;
}

QString ProfileWindow::ChooseOutputPath(const QString& filter, const QString& extension) {
    return ChooseWritePath(services_, this, filter, extension,
                           SuggestedPath(document_->SourcePath(), QLatin1Char('.') + extension), document_->SourcePath());
}

void ProfileWindow::ExportSheet_Click() {
    if (!sheetDialog_) {
        sheetDialog_ = new profile::SheetExportDialog(*settings_, services_.preview != nullptr, this);
        connect(sheetDialog_, &profile::SheetExportDialog::previewRequested, this, &ProfileWindow::PreviewSheets);
        connect(sheetDialog_, &profile::SheetExportDialog::exportRequested, this, &ProfileWindow::WriteSheets);
    }
    sheetDialog_->show();
    sheetDialog_->raise();
    sheetDialog_->activateWindow();
}

bool ProfileWindow::WithSheets(const std::function<void(SheetPages& sheets, const QString& title)>& use) {
    const auto profile = ProfileForExport();
    if (!profile) return false;
    QString why;
    const std::optional<SheetOptions> options = sheetDialog_->Options(&why);
    if (!options) {
        services_.messages.ShowWarning(sheetDialog_, why);
        return false;
    }
    sheetDialog_->RememberNames();
    // The ground only where it fits the profile as it now is; the sheets
    // look it up while they are made, so it is held until then.
    const std::shared_ptr<const GroundLine> line = document_->CurrentGround();
    std::optional<DrawnGround> ground;
    if (line) ground = MakeDrawnGround(*profile, *line);
    // The band of the horizontal geometry when the LandXML file carries one;
    // geometry that cannot be drawn leaves the band out, and the user is told.
    QString notice;
    const std::optional<HorizontalAlignment> horizontal = document_->Horizontal(&notice);
    if (!notice.isEmpty())
        services_.messages.ShowWarning(sheetDialog_, QStringLiteral("平面线形未画入图纸（图中不含直线及平曲线栏）：") + notice);
    SheetPages sheets(*profile, *options, ground ? &*ground : nullptr, horizontal ? &*horizontal : nullptr);
    if (sheets.Problem()) {
        services_.messages.ShowWarning(sheetDialog_, QString::fromStdString(DescribeSheetProblem(*sheets.Problem())));
        return false;
    }
    if (sheets.Count() == 0) return false;
    use(sheets, QStringLiteral("纵断面图 ") + QString::fromStdString(profile->Model().name));
    return true;
}

void ProfileWindow::PreviewSheets() {
    if (!services_.preview) return;
    WithSheets([this](SheetPages& sheets, const QString& title) {
        std::vector<Page> pages(sheets.Count());
        for (Page& page : pages) sheets.Next(page);
        services_.preview->Show(sheetDialog_, pages, title);
    });
}

void ProfileWindow::WriteSheets() {
    WithSheets([this](SheetPages& sheets, const QString& title) {
        // The format follows the name typed, else the filter picked (in the
        // order of output::SheetFormat); an SVG holds the first sheet only.
        const QStringList filters = {QStringLiteral("PDF 图纸(*.pdf)"), QStringLiteral("DXF 图纸(*.dxf)"),
                                     QStringLiteral("SVG 图片，仅第一张(*.svg)")};
        QString picked;
        const QString typed = services_.files.ChooseSaveFile(sheetDialog_, filters.join(QStringLiteral(";;")), &picked,
                                                             SuggestedPath(document_->SourcePath(), QStringLiteral(".pdf")));
        if (typed.isEmpty()) return;
        const auto named = io::ResolveOutputName(NativePath(typed), output::kSheetExtensions,
                                                 static_cast<std::size_t>(std::max<qsizetype>(0, filters.indexOf(picked))));
        if (!named) return;
        const std::string& path = named->path;
        output::SheetsWritten written;
        // The sheets are made one at a time as the file is written.
        if (const auto failure = output::WriteSheets(path, sheets, title.toStdString(), &written)) {
            // The dialog stays open with its choices, for another place or name.
            services_.messages.ShowWarning(sheetDialog_, MessageOf(*failure));
            return;
        }
        for (const std::string& note : output::SheetNotes(written))
            services_.messages.ShowWarning(sheetDialog_, QString::fromStdString(note));
        sheetDialog_->ShowWritten(QFile::decodeName(QByteArray::fromStdString(path)));
    });
}

void ProfileWindow::ExportPng_Click() {
    const auto profile = ProfileForExport();
    if (!profile) return;
    const QString path = ChooseOutputPath(QStringLiteral("PNG 图片(*.png)"), QStringLiteral("png"));
    if (path.isEmpty()) return;
    PlotImageOptions options;
    options.exaggeration = plot_->exaggeration();
    if (const auto failure = WritePlotPng(NativePath(path), *profile, options, document_->CurrentGround().get()))
        services_.messages.ShowWarning(this, MessageOf(*failure));
}

void ProfileWindow::ExportSvg_Click() {
    const auto profile = ProfileForExport();
    if (!profile) return;
    const QString path = ChooseOutputPath(QStringLiteral("SVG 图片(*.svg)"), QStringLiteral("svg"));
    if (path.isEmpty()) return;
    PlotImageOptions options;
    options.exaggeration = plot_->exaggeration();
    if (const auto failure = WritePlotSvg(NativePath(path), *profile, options, document_->CurrentGround().get()))
        services_.messages.ShowWarning(this, MessageOf(*failure));
}

}  // namespace tarnvel::ui
