#pragma once
// Stand-ins for the three seams: they record what the window asked for and
// answer from a script, so no dialog or program ever appears.

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

#include "ui/seams.h"

namespace tarnvel::ui::testing {

class FakeMessageBox final : public MessageBox {
public:
    void ShowInfo(QWidget* parent, const QString& prompt) override;

    QStringList prompts;            // every prompt shown, in order
    std::vector<QWidget*> parents;  // the parent given with each prompt
};

class FakeFileDialog final : public FileDialog {
public:
    enum class Kind { Save, Open };
    struct Call {
        Kind kind;
        QString filter;
    };

    QString ChooseSaveFile(QWidget* parent, const QString& filter) override;
    QString ChooseOpenFile(QWidget* parent, const QString& filter) override;

    // Answers, taken front first; an empty queue answers as a cancelled dialog.
    std::deque<QString> answers;
    std::vector<Call> calls;

private:
    QString Next();
};

class FakeLauncher final : public ProgramLauncher {
public:
    struct Launch {
        QString program;
        QStringList arguments;
    };

    bool StartDetached(const QString& program, const QStringList& arguments) override;

    bool fail = false;  // when set, every launch reports that it could not start
    std::vector<Launch> launches;  // every attempt, failed ones included
};

}  // namespace tarnvel::ui::testing
