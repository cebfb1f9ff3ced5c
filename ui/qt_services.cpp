#include "ui/seams.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>

#include "ui/chinese_file_list.h"
#include "output/page_painter.h"
#include "output/pages_pdf.h"

namespace tarnvel::ui {
namespace {

class QtMessageBox final : public MessageBox {
public:
    void ShowInfo(QWidget* parent, const QString& prompt) override {
        QMessageBox box(QMessageBox::Information, QStringLiteral("提示"), prompt,
                        QMessageBox::Ok, parent);
        box.exec();
    }
    void ShowWarning(QWidget* parent, const QString& prompt) override {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("提示"), prompt, QMessageBox::Ok, parent);
        box.exec();
    }
    SaveChoice AskSaveChanges(QWidget* parent, const QString& prompt) override {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("提示"), prompt, QMessageBox::NoButton, parent);
        QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
        QPushButton* discard = box.addButton(QStringLiteral("不保存"), QMessageBox::DestructiveRole);
        QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.setDefaultButton(save);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() == save) return SaveChoice::Save;
        if (box.clickedButton() == discard) return SaveChoice::Discard;
        return SaveChoice::Cancel;
    }
};

// As QFileDialog::getOpenFileName and getSaveFileName do, with the list's
// dates and sizes in Chinese (ui/chinese_file_list.h).
// `start` is a folder, or a file whose folder opens with its name suggested.
QString RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter, QString* selectedFilter,
                      const QString& start) {
    QFileDialog dialog(parent, QString(), start, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (selectedFilter != nullptr && !selectedFilter->isEmpty()) dialog.selectNameFilter(*selectedFilter);
    UseChineseFileList(dialog);
    if (dialog.exec() != QDialog::Accepted) return {};
    if (selectedFilter != nullptr) *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().value(0);
}

class QtFileDialog final : public FileDialog {
public:
    QString ChooseSaveFile(QWidget* parent, const QString& filter, QString* selectedFilter,
                           const QString& start) override {
        return RunFileDialog(parent, QFileDialog::AcceptSave, filter, selectedFilter, start);
    }
    QString ChooseOpenFile(QWidget* parent, const QString& filter, QString* selectedFilter,
                           const QString& start) override {
        return RunFileDialog(parent, QFileDialog::AcceptOpen, filter, selectedFilter, start);
    }
};

class QtProgramLauncher final : public ProgramLauncher {
public:
    bool StartDetached(const QString& program, const QStringList& arguments) override {
        return QProcess::startDetached(program, arguments);
    }
};

// Qt's print preview, painting the pages as the PDF writer does: each at its
// own paper size with no margin, so that a sheet printed from here keeps its
// scales.
class QtSheetPreview final : public SheetPreview {
public:
    void Show(QWidget* parent, const std::vector<Page>& pages, const QString& title) override {
        if (pages.empty()) return;
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(title);
        printer.setFullPage(true);
        printer.setPageLayout(output::PageLayoutOf(pages.front()));
        QPrintPreviewDialog dialog(&printer, parent);
        dialog.setWindowTitle(QStringLiteral("图纸预览 - ") + title);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&pages](QPrinter* target) {
            QPainter painter(target);
            if (!painter.isActive()) return;
            for (std::size_t i = 0; i < pages.size(); ++i) {
                if (i > 0) {
                    target->setPageLayout(output::PageLayoutOf(pages[i]));
                    target->newPage();
                }
                const QRect area = target->pageLayout().paintRectPixels(target->resolution());
                output::PaintPage(painter, pages[i], QRectF(0, 0, area.width(), area.height()));
            }
        });
        dialog.resize(1100, 800);
        dialog.exec();
    }
};

}  // namespace

Services DefaultServices() {
    static QtMessageBox messages;
    static QtFileDialog files;
    static QtProgramLauncher launcher;
    static QtSheetPreview preview;
    return Services{messages, files, launcher, &preview};
}

}  // namespace tarnvel::ui
