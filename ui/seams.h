#pragma once
// Everything that blocks or leaves the process goes through one of these
// seams: the message box, the file dialog, the program launcher and the
// sheets' print preview.
// The program uses the Qt implementations of DefaultServices(); the tests pass
// fakes that record what would have been shown or started, so that no modal
// dialog ever waits for a person.

#include <QString>
#include <QStringList>

#include <vector>

#include "core/drawing/page.h"

class QWidget;

namespace tarnvel::ui {

// The answer to "save the changes?" before a document is closed or replaced.
enum class SaveChoice { Save, Discard, Cancel };

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // A modal box titled "提示" with the information icon and one OK button.
    virtual void ShowInfo(QWidget* parent, const QString& prompt) = 0;
    // The same box with the warning icon: for a file that could not be read
    // or written, or a program that could not be started.
    virtual void ShowWarning(QWidget* parent, const QString& prompt) { ShowInfo(parent, prompt); }
    // A modal question titled "提示" with the buttons 保存, 不保存 and 取消;
    // closing the box counts as 取消.
    virtual SaveChoice AskSaveChanges(QWidget* parent, const QString& prompt) = 0;
};

class FileDialog {
public:
    virtual ~FileDialog() = default;
    // `filter` is in Qt's form ("文本文件(*.txt);;所有文件(*.*)"). Each returns the
    // chosen path, or an empty text when the user cancels. When
    // `selectedFilter` is given it receives the filter the user picked (one
    // entry of `filter`, e.g. "CSV 文件(*.csv)"), so that a format can follow
    // the user's choice rather than the name typed; when it holds one entry
    // on the way in, that entry is preselected. `start` is where the dialog
    // opens: a folder, or a path whose name is suggested.
    virtual QString ChooseSaveFile(QWidget* parent, const QString& filter,
                                   QString* selectedFilter = nullptr, const QString& start = QString()) = 0;
    virtual QString ChooseOpenFile(QWidget* parent, const QString& filter,
                                   QString* selectedFilter = nullptr, const QString& start = QString()) = 0;
};

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // Starts `program` with `arguments` without waiting for it; false when it
    // could not be started.
    virtual bool StartDetached(const QString& program, const QStringList& arguments) = 0;
};

class SheetPreview {
public:
    virtual ~SheetPreview() = default;
    // Shows `pages` one by one, as they will print, in a modal preview
    // titled `title`, from which the user may also print them.
    virtual void Show(QWidget* parent, const std::vector<Page>& pages, const QString& title) = 0;
};

struct Services {
    MessageBox& messages;
    FileDialog& files;
    ProgramLauncher& launcher;
    SheetPreview* preview = nullptr;  // none: the windows offer no preview
};

// The real message box, file dialog, launcher and print preview.
Services DefaultServices();

}  // namespace tarnvel::ui
