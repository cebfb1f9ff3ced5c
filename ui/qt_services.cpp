#include "ui/seams.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>

namespace tarnvel::ui {
namespace {

class QtMessageBox final : public MessageBox {
public:
    void ShowInfo(QWidget* parent, const QString& prompt) override {
        QMessageBox box(QMessageBox::Information, QStringLiteral("提示"), prompt,
                        QMessageBox::Ok, parent);
        box.exec();
    }
};

class QtFileDialog final : public FileDialog {
public:
    QString ChooseSaveFile(QWidget* parent, const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, QString(), QString(), filter);
    }
    QString ChooseOpenFile(QWidget* parent, const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
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
