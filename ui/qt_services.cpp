#include "ui/seams.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

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

class QtFileDialog final : public FileDialog {
public:
    QString ChooseSaveFile(QWidget* parent, const QString& filter, QString* selectedFilter,
                           const QString& start) override {
        return QFileDialog::getSaveFileName(parent, QString(), start, filter, selectedFilter);
    }
    QString ChooseOpenFile(QWidget* parent, const QString& filter, QString* selectedFilter,
                           const QString& start) override {
        return QFileDialog::getOpenFileName(parent, QString(), start, filter, selectedFilter);
    }
};

class QtProgramLauncher final : public ProgramLauncher {
public:
    bool StartDetached(const QString& program, const QStringList& arguments) override {
        return QProcess::startDetached(program, arguments);
    }
};

}  // namespace

Services DefaultServices() {
    static QtMessageBox messages;
    static QtFileDialog files;
    static QtProgramLauncher launcher;
    return Services{messages, files, launcher};
}

}  // namespace tarnvel::ui
