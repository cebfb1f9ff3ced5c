// File > import, save, export, recent files and the pictures and sheet.
//
// A load reads and checks the whole file before the window changes, so a
// failed load leaves the tables, the undo history and the file name as they
// were and only says why. Every write goes through the io library, which
// writes a file whole or not at all.
//
// "保存" writes back only to a file this window may rewrite whole: a CSV
// file, or a file saved from here. An imported LandXML file usually holds
// more than the profile (the horizontal alignment, surfaces, other profiles)
// and writing the profile alone over it would lose the rest, so "保存" then
// asks for a path like "导出".

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QUndoStack>

#include <string>

#include "ui/profile/chain_table.h"
#include "ui/profile/edit_table_model.h"
#include "ui/profile/edit_table_view.h"
#include "ui/profile/listing_panel.h"
#include "ui/profile/plot/plot_export.h"
#include "ui/profile/plot/plot_widget.h"
#include "ui/profile/profile_settings.h"
#include "ui/profile/profile_window.h"
#include "ui/profile/pvi_table.h"

namespace tarnvel::ui {
namespace {

const QString kLandXmlFilter = QStringLiteral("LandXML 文件(*.xml)");
const QString kCsvFilter = QStringLiteral("CSV 文件(*.csv)");

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString MessageOf(const io::IoFailure& failure) { return QString::fromStdString(failure.message); }

QString NameOf(const io::LandXmlProfileName& name) {
    return QString::fromStdString(name.alignment) + QLatin1Char('/') + QString::fromStdString(name.profile);
}

// The path with the filter's extension added when it has none at all.
QString WithSuffix(const QString& path, const QString& suffix) {
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + suffix : path;
}

}  // namespace

bool ProfileWindow::MaybeSave() {
    if (undo_->isClean()) return true;
    switch (services_.messages.AskSaveChanges(this, QStringLiteral("纵断面已修改，是否保存？"))) {
    case SaveChoice::Save: return Save_Click();
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: return false;
    }
    return false;
}

void ProfileWindow::Import_Click() {
    if (!MaybeSave()) return;
    const QString path = services_.files.ChooseOpenFile(
        this, kLandXmlFilter + QStringLiteral(";;") + kCsvFilter + QStringLiteral(";;所有文件(*)"));
    if (path.isEmpty()) return;
    OpenFile(path);
}

bool ProfileWindow::OpenFile(const QString& path) {
    // A LandXML file may hold several profiles: the first is loaded, the
    // chooser offers the others. A CSV file has no names.
    QStringList names;
    if (!LoadProfile(path, QString(), &names)) return false;
    const QSignalBlocker block(profileChooser_);
    profileChooser_->clear();
    profileChooser_->addItems(names);
    profileChooser_->setVisible(names.size() > 1);
    profileChooser_->setCurrentIndex(names.isEmpty() ? -1 : 0);
    if (auto* label = findChild<QWidget*>(QStringLiteral("ProfileChooserLabel"))) label->setVisible(names.size() > 1);
    return true;
}

bool ProfileWindow::LoadProfile(const QString& path, const QString& profileName, QStringList* names) {
    const std::string name = profileName.toStdString();
    const io::Result<io::ProfileFileContent> loaded = io::ReadProfileFileContent(NativePath(path), name);
    if (!loaded.ok()) {
        services_.messages.ShowInfo(this, MessageOf(loaded.failure()));
        return false;
    }
    const ProfileModel& model = loaded.value().content.model;
    const bool landXml = loaded.value().format == io::ProfileFormat::LandXml;
    if (names) {
        for (const io::LandXmlProfileName& n : loaded.value().content.names) names->append(NameOf(n));
    }
    modelName_ = model.name;
    // The first profile stands for "no name given" in the chooser.
    chosenProfile_ = profileName.isEmpty() && !loaded.value().content.names.empty()
                         ? NameOf(loaded.value().content.names.front())
                         : profileName;
    unit_ = model.unit;
    sourcePath_ = path;
    savePath_ = landXml ? QString() : path;
    saveFormat_ = landXml ? io::ProfileFormat::LandXml : io::ProfileFormat::Csv;
    // A new document: no undo back into the one before, and a fresh view.
    // Nothing may go on showing the old profile, even when the new one does
    // not resolve.
    profile_.reset();
    ShowProfile();
    listing_->Clear();
    listing_->SetReportProject(QFileInfo(path).completeBaseName());
    // Both tables first, then one reading: the new points with the old
    // chain table (or the other way round) are no profile at all.
    holdRecompute_ = true;
    chainModel_->ReplaceAll(profile::ChainRowsOf(model.chains));
    pviModel_->ReplaceAll(profile::PviRowsOf(model.points));
    holdRecompute_ = false;
    Recompute();
    undo_->clear();
    for (QTableView* view : {static_cast<QTableView*>(pviView_), static_cast<QTableView*>(chainView_), elementsView_})
        profile::FitColumnsToSample(view);
    plot_->fitAll();
    settings_->AddRecentFile(path);
    UpdateRecentMenu();
    ShowStatus();
    return true;
}

void ProfileWindow::ChooseProfile(int index) {
    const QString name = profileChooser_->itemText(index);
    if (name.isEmpty() || sourcePath_.isEmpty()) return;
    if (!MaybeSave() || !LoadProfile(sourcePath_, name)) {
        // The table stays as it was; so does the chooser.
        const QSignalBlocker block(profileChooser_);
        profileChooser_->setCurrentIndex(profileChooser_->findText(chosenProfile_));
    }
}

bool ProfileWindow::Save_Click() {
    if (savePath_.isEmpty()) return SaveAs_Click();
    return WriteTo(savePath_, saveFormat_);
}

bool ProfileWindow::SaveAs_Click() {
    if (!tableModel_) {
        services_.messages.ShowInfo(this, QStringLiteral("表格中有无法读取的单元格（已标红），请改正后再保存。"));
        return false;
    }
    QString picked;
    QString path = services_.files.ChooseSaveFile(this, kLandXmlFilter + QStringLiteral(";;") + kCsvFilter, &picked);
    if (path.isEmpty()) return false;
    const bool csv = picked == kCsvFilter;
    path = WithSuffix(path, csv ? QStringLiteral("csv") : QStringLiteral("xml"));
    return WriteTo(path, csv ? io::ProfileFormat::Csv : io::ProfileFormat::LandXml);
}

bool ProfileWindow::WriteTo(const QString& path, io::ProfileFormat format) {
    // The tables as they read, even when the profile is not valid yet (two
    // curves overlapping, say): work in progress is kept; only a cell that
    // does not read at all stops the save, as it has no number to write.
    if (!tableModel_) {
        services_.messages.ShowInfo(this, QStringLiteral("表格中有无法读取的单元格（已标红），请改正后再保存。"));
        return false;
    }
    if (const auto failure = io::WriteProfileFile(NativePath(path), *tableModel_, format)) {
        services_.messages.ShowInfo(this, MessageOf(*failure));
        return false;
    }
    savePath_ = path;
    saveFormat_ = format;
    sourcePath_ = path;
    listing_->SetReportProject(QFileInfo(path).completeBaseName());
    // The document is now this file, which holds this one profile.
    {
        const QSignalBlocker block(profileChooser_);
        profileChooser_->clear();
        profileChooser_->setVisible(false);
        if (auto* label = findChild<QWidget*>(QStringLiteral("ProfileChooserLabel"))) label->setVisible(false);
    }
    undo_->setClean();
    settings_->AddRecentFile(path);
    UpdateRecentMenu();
    ShowStatus();
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

const Profile* ProfileWindow::ProfileForExport() {
    if (!profile_) {
        services_.messages.ShowInfo(this, QStringLiteral("纵断面尚无有效数据，无法导出图形。"));
        return nullptr;
    }
    return &*profile_;
}

void ProfileWindow::ExportPdf_Click() {
    const Profile* profile = ProfileForExport();
    if (!profile) return;
    const QString path = services_.files.ChooseSaveFile(this, QStringLiteral("PDF 文件(*.pdf)"));
    if (path.isEmpty()) return;
    SheetOptions options;
    options.projectName = projectName_->text();
    options.date = sheetDate_->text();
    options.size = sheetSize_->currentIndex() == 1 ? SheetSize::A4 : SheetSize::A3;
    options.exaggeration = plot_->exaggeration();
    if (const auto failure = WriteProfileSheetPdf(NativePath(WithSuffix(path, QStringLiteral("pdf"))), *profile, options))
        services_.messages.ShowInfo(this, MessageOf(*failure));
}

void ProfileWindow::ExportPng_Click() {
    const Profile* profile = ProfileForExport();
    if (!profile) return;
    const QString path = services_.files.ChooseSaveFile(this, QStringLiteral("PNG 图片(*.png)"));
    if (path.isEmpty()) return;
    PlotImageOptions options;
    options.exaggeration = plot_->exaggeration();
    if (const auto failure = WritePlotPng(NativePath(WithSuffix(path, QStringLiteral("png"))), *profile, options))
        services_.messages.ShowInfo(this, MessageOf(*failure));
}

void ProfileWindow::ExportSvg_Click() {
    const Profile* profile = ProfileForExport();
    if (!profile) return;
    const QString path = services_.files.ChooseSaveFile(this, QStringLiteral("SVG 图片(*.svg)"));
    if (path.isEmpty()) return;
    PlotImageOptions options;
    options.exaggeration = plot_->exaggeration();
    if (const auto failure = WritePlotSvg(NativePath(WithSuffix(path, QStringLiteral("svg"))), *profile, options))
        services_.messages.ShowInfo(this, MessageOf(*failure));
}

}  // namespace tarnvel::ui
