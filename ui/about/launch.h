#pragma once
// Starting the desktop's own programs: the text editor (with the greeting), the
// calculator and the web page.
//
// Each stands in for a program of the desktop the calculator was first made
// for, so each is looked up among a short list of well-known Linux programs,
// in order, the first one on PATH winning; an environment variable names the
// program to use instead (a command line: program and its own arguments).
// The lookup is a pure function of the PATH text and the variables, so that
// it can be tried on a folder of stand-in programs. Every failure reaches the
// user as one Chinese sentence naming what was tried, through `report`; the
// functions return whether the program was started.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include "ui/seams.h"

namespace tarnvel::ui {

// Receives the message for the user when something could not be started.
using ReportFunction = std::function<void(const QString&)>;

enum class ProgramKind { TextEditor, Calculator, UrlOpener };

// A well-known program and the arguments it gets before the caller's own: a
// documented way to open maximized or in a window of its own, where it has one.
struct KnownProgram {
    QString name;
    QStringList leadingArguments;
};

// The candidates of a kind, in the order they are tried.
QList<KnownProgram> KnownPrograms(ProgramKind kind);
// "TARNVEL_EDITOR", "TARNVEL_CALCULATOR", "TARNVEL_BROWSER".
QString OverrideVariable(ProgramKind kind);
// "文本编辑器", "计算器", "网页浏览器": how the messages name the kind.
QString KindName(ProgramKind kind);

// What the lookup reads: the PATH text and the three override variables.
struct ProgramSearch {
    QString path;
    QString editor;
    QString calculator;
    QString browser;

    static ProgramSearch FromEnvironment();
    QString OverrideFor(ProgramKind kind) const;
};

struct FoundProgram {
    QString program;        // absolute path of the executable; empty when none
    QStringList arguments;  // to go before the caller's own arguments
    QString error;          // the message for the user when none was found

    bool Found() const { return !program.isEmpty(); }
};

// The program to start for `kind`. An override that is set (not blank) is used
// alone: when it names nothing that can run, that is the error, rather than a
// silent fall-back the user did not ask for.
FoundProgram FindProgram(ProgramKind kind, const ProgramSearch& search);

// Finds the program of `kind` and starts it with `arguments` after its leading
// ones, without waiting; asks for a maximized window where the program has a
// documented way to. On failure tells `report` and starts nothing.
bool LaunchMaximized(ProgramLauncher& launcher, const ProgramSearch& search, ProgramKind kind,
                     const QStringList& arguments, const ReportFunction& report);

// "   欢迎使用记事本文档，更多测量资料请访问：" followed by the address, no line break.
QString Greeting(const QString& webAddress);

// The per-user folder of greeting files (~/.local/share/tarnvel/notepad).
QString DefaultGreetingFolder();

// Writes the greeting (UTF-8, nothing else) to a new file of its own in
// `folder`, creating the folder when needed. Returns the file's path, or an
// empty text with the user's message in `error`.
QString WriteGreetingFile(const QString& folder, const QString& greeting, QString* error);

// Removes greeting files of earlier uses that are older than an hour and still
// hold nothing but a greeting. A file the user has written into is kept: it
// may hold notes saved from the editor.
void RemoveStaleGreetingFiles(const QString& folder, const QDateTime& now);

// "记事本": a new editor on a new file holding the greeting. Nothing is typed
// into any window, so the greeting cannot land anywhere else.
bool OpenTextEditorWithGreeting(ProgramLauncher& launcher, const ProgramSearch& search,
                                const QString& greetingFolder, const ReportFunction& report);
// "计算器".
bool OpenCalculator(ProgramLauncher& launcher, const ProgramSearch& search,
                    const ReportFunction& report);
// "联机帮助" and the About window's lines: the maker's page in the browser.
bool OpenWebPage(ProgramLauncher& launcher, const ProgramSearch& search,
                 const ReportFunction& report);
// A section of the manual ("profile-window": the anchor of its heading).
bool OpenManualSection(ProgramLauncher& launcher, const ProgramSearch& search, const QString& section,
                       const ReportFunction& report);

}  // namespace tarnvel::ui
