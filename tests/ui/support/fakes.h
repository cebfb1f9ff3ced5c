#pragma once
// Stand-ins for the seams: they record what the window asked for and
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
    // Recorded in `prompts` as well, and in `warnings`.
    void ShowWarning(QWidget* parent, const QString& prompt) override;
    SaveChoice AskSaveChanges(QWidget* parent, const QString& prompt) override;

    QStringList prompts;            // every prompt shown, in order
    QStringList warnings;           // those shown with the warning icon
    std::vector<QWidget*> parents;  // the parent given with each prompt
    QStringList questions;          // every save question asked, in order
    // Answers to the save questions, taken front first; an empty queue
    // answers 取消, which loses nothing.
    std::deque<SaveChoice> saveAnswers;
};

class FakeFileDialog final : public FileDialog {
public:
    enum class Kind { Save, Open };
    struct Call {
        Kind kind;
        QString filter;
        QString start;      // the folder or suggested path the dialog opens at
        QString preselected;  // the filter preselected, if any
    };

    QString ChooseSaveFile(QWidget* parent, const QString& filter, QString* selectedFilter = nullptr,
                           const QString& start = QString()) override;
    QString ChooseOpenFile(QWidget* parent, const QString& filter, QString* selectedFilter = nullptr,
                           const QString& start = QString()) override;

    // Answers, taken front first; an empty queue answers as a cancelled dialog.
    std::deque<QString> answers;
    // The filter picked with each answer, taken front first; when the queue
    // is empty the preselected entry (else the first of the offered filter) is
    // picked, as the real dialog does.
    std::deque<QString> pickedFilters;
    std::vector<Call> calls;

private:
    QString Next(const QString& filter, QString* selectedFilter);
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

class FakeSheetPreview final : public SheetPreview {
public:
    struct Shown {
        QWidget* parent;
        std::vector<Page> pages;
        QString title;
    };

    void Show(QWidget* parent, const std::vector<Page>& pages, const QString& title) override;

    std::vector<Shown> shown;  // every preview asked for, in order
};

}  // namespace tarnvel::ui::testing
