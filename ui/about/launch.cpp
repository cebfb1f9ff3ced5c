#include "ui/about/launch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "ui/about/web_address.h"

namespace tarnvel::ui {
namespace {

// The opening of every greeting; the web address follows it directly.
const QString kGreetingOpening = QStringLiteral("   欢迎使用记事本文档，更多测量资料请访问：");
// Greeting files are named after the command that writes them.
const QString kGreetingPattern = QStringLiteral("记事本-*.txt");
const QString kGreetingTemplate = QStringLiteral("记事本-XXXXXX.txt");
// An unchanged greeting file is left alone for this long, so that an editor
// that has only just opened it does not find it gone.
constexpr qint64 kGreetingKeepSeconds = 60 * 60;
// No greeting is anywhere near this long; a bigger file holds the user's notes.
constexpr qint64 kGreetingMaxBytes = 4096;

// The executable called `name` in the first folder of `path` that has one.
// Empty entries (the current folder) are skipped: a calculator must not start
// whatever program happens to lie in the folder it was started from.
QString FindOnPath(const QString& name, const QString& path) {
    const QStringList folders = path.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    // Given no folders, findExecutable would search the process's own PATH.
    if (folders.isEmpty()) return {};
    return QStandardPaths::findExecutable(name, folders);
}

// A program named by an override: a path when it holds a slash, else a name
// looked up on PATH.
QString ResolveNamed(const QString& name, const QString& path) {
    if (name.contains(QLatin1Char('/'))) {
        const QFileInfo candidate(name);
        return candidate.isFile() && candidate.isExecutable() ? candidate.absoluteFilePath()
                                                              : QString();
    }
    return FindOnPath(name, path);
}

// Starts a program that has been found; on failure tells `report`.
bool StartFound(ProgramLauncher& launcher, ProgramKind kind, const FoundProgram& found,
                const QStringList& arguments, const ReportFunction& report) {
    if (!launcher.StartDetached(found.program, found.arguments + arguments)) {
        report(QStringLiteral("无法启动%1“%2”：程序没有能够运行。").arg(KindName(kind), found.program));
        return false;
    }
    return true;
}

bool IsUnchangedGreeting(const QFileInfo& info) {
    if (info.size() > kGreetingMaxBytes) {
        return false;
    }
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QString text = QString::fromUtf8(file.readAll());
    return text.startsWith(kGreetingOpening) && !text.contains(QLatin1Char('\n')) &&
           !text.contains(QLatin1Char('\r'));
}

}  // namespace

QList<KnownProgram> KnownPrograms(ProgramKind kind) {
    switch (kind) {
    case ProgramKind::TextEditor:
        // Only gedit documents a switch worth giving: a window of its own even
        // when an instance is running already. None of them documents one for
        // opening maximized.
        return {{QStringLiteral("gnome-text-editor"), {}},
                {QStringLiteral("gedit"), {QStringLiteral("--new-window")}},
                {QStringLiteral("kate"), {}},
                {QStringLiteral("kwrite"), {}},
                {QStringLiteral("mousepad"), {}},
                {QStringLiteral("pluma"), {}},
                {QStringLiteral("xed"), {}},
                {QStringLiteral("featherpad"), {}},
                {QStringLiteral("leafpad"), {}}};
    case ProgramKind::Calculator:
        return {{QStringLiteral("gnome-calculator"), {}}, {QStringLiteral("kcalc"), {}},
                {QStringLiteral("galculator"), {}},       {QStringLiteral("mate-calc"), {}},
                {QStringLiteral("qalculate-gtk"), {}},    {QStringLiteral("xcalc"), {}}};
    case ProgramKind::UrlOpener:
        // The desktop's opener first: it knows the user's chosen browser.
        return {{QStringLiteral("xdg-open"), {}},
                {QStringLiteral("sensible-browser"), {}},
                {QStringLiteral("x-www-browser"), {}},
                {QStringLiteral("firefox"), {QStringLiteral("--new-window")}},
                {QStringLiteral("chromium"),
                 {QStringLiteral("--start-maximized"), QStringLiteral("--new-window")}}};
    }
    return {};
}

QString OverrideVariable(ProgramKind kind) {
    switch (kind) {
    case ProgramKind::TextEditor: return QStringLiteral("TARNVEL_EDITOR");
    case ProgramKind::Calculator: return QStringLiteral("TARNVEL_CALCULATOR");
    case ProgramKind::UrlOpener: return QStringLiteral("TARNVEL_BROWSER");
    }
    return {};
}

QString KindName(ProgramKind kind) {
    switch (kind) {
    case ProgramKind::TextEditor: return QStringLiteral("文本编辑器");
    case ProgramKind::Calculator: return QStringLiteral("计算器");
    case ProgramKind::UrlOpener: return QStringLiteral("网页浏览器");
    }
    return {};
}

ProgramSearch ProgramSearch::FromEnvironment() {
    return ProgramSearch{qEnvironmentVariable("PATH"), qEnvironmentVariable("TARNVEL_EDITOR"),
                         qEnvironmentVariable("TARNVEL_CALCULATOR"),
                         qEnvironmentVariable("TARNVEL_BROWSER")};
}

QString ProgramSearch::OverrideFor(ProgramKind kind) const {
    switch (kind) {
    case ProgramKind::TextEditor: return editor;
    case ProgramKind::Calculator: return calculator;
    case ProgramKind::UrlOpener: return browser;
    }
    return {};
}

FoundProgram FindProgram(ProgramKind kind, const ProgramSearch& search) {
    FoundProgram found;
    const QString overrideText = search.OverrideFor(kind).trimmed();
    if (!overrideText.isEmpty()) {
        QStringList words = QProcess::splitCommand(overrideText);
        const QString name = words.isEmpty() ? overrideText : words.takeFirst();
        found.program = ResolveNamed(name, search.path);
        if (found.Found()) {
            found.arguments = words;
        } else {
            found.error = QStringLiteral("无法启动%1：环境变量 %2 指定的程序“%3”不存在或不能执行。")
                              .arg(KindName(kind), OverrideVariable(kind), name);
        }
        return found;
    }

    QStringList tried;
    for (const KnownProgram& candidate : KnownPrograms(kind)) {
        found.program = FindOnPath(candidate.name, search.path);
        if (found.Found()) {
            found.arguments = candidate.leadingArguments;
            return found;
        }
        tried << candidate.name;
    }
    found.error = QStringLiteral("无法启动%1：在程序搜索路径（PATH）中找不到以下任何一个程序：%2。"
                                 "请安装其中之一，或者用环境变量 %3 指定要使用的程序。")
                      .arg(KindName(kind), tried.join(QStringLiteral("、")), OverrideVariable(kind));
    return found;
}

bool LaunchMaximized(ProgramLauncher& launcher, const ProgramSearch& search, ProgramKind kind,
                     const QStringList& arguments, const ReportFunction& report) {
    const FoundProgram found = FindProgram(kind, search);
    if (!found.Found()) {
        report(found.error);
        return false;
    }
    return StartFound(launcher, kind, found, arguments, report);
}

QString Greeting(const QString& webAddress) {
    return kGreetingOpening + webAddress;
}

QString DefaultGreetingFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/tarnvel/notepad");
}

QString WriteGreetingFile(const QString& folder, const QString& greeting, QString* error) {
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("无法创建文件夹“%1”，记事本没有打开。").arg(folder);
        return {};
    }
    QTemporaryFile file(QDir(folder).filePath(kGreetingTemplate));
    file.setAutoRemove(false);
    if (!file.open()) {
        *error = QStringLiteral("无法在文件夹“%1”中新建记事本文件（%2），记事本没有打开。")
                     .arg(folder, file.errorString());
        return {};
    }
    const QByteArray bytes = greeting.toUtf8();
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    const QString path = file.fileName();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("无法写入记事本文件“%1”（%2），记事本没有打开。")
                     .arg(path, file.errorString());
        QFile::remove(path);
        return {};
    }
    return path;
}

void RemoveStaleGreetingFiles(const QString& folder, const QDateTime& now) {
    const QDateTime cutoff = now.addSecs(-kGreetingKeepSeconds);
    const QFileInfoList files =
        QDir(folder).entryInfoList({kGreetingPattern}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& info : files) {
        if (info.lastModified() < cutoff && IsUnchangedGreeting(info)) {
            QFile::remove(info.absoluteFilePath());
        }
    }
}

bool OpenTextEditorWithGreeting(ProgramLauncher& launcher, const ProgramSearch& search,
                                const QString& greetingFolder, const ReportFunction& report) {
    // Looked up first, so that a missing editor leaves no file behind.
    const FoundProgram found = FindProgram(ProgramKind::TextEditor, search);
    if (!found.Found()) {
        report(found.error);
        return false;
    }
    RemoveStaleGreetingFiles(greetingFolder, QDateTime::currentDateTime());
    QString error;
    const QString file = WriteGreetingFile(greetingFolder, Greeting(WebAddress()), &error);
    if (file.isEmpty()) {
        report(error);
        return false;
    }
    if (!StartFound(launcher, ProgramKind::TextEditor, found, {file}, report)) {
        QFile::remove(file);
        return false;
    }
    return true;
}

bool OpenCalculator(ProgramLauncher& launcher, const ProgramSearch& search,
                    const ReportFunction& report) {
    return LaunchMaximized(launcher, search, ProgramKind::Calculator, {}, report);
}

bool OpenWebPage(ProgramLauncher& launcher, const ProgramSearch& search,
                 const ReportFunction& report) {
    return OpenManualSection(launcher, search, QString(), report);
}

bool OpenManualSection(ProgramLauncher& launcher, const ProgramSearch& search, const QString& section,
                       const ReportFunction& report) {
    // A missing manual would only show up as an error page, or as nothing at
    // all when the opener fails in the background; say so here instead.
    const QString manual = ManualPath();
    if (!QFileInfo(manual).isFile()) {
        report(QStringLiteral("找不到用户手册“%1”，请重新安装本软件。").arg(manual));
        return false;
    }
    const QString address = section.isEmpty() ? WebAddress() : WebAddress() + QLatin1Char('#') + section;
    return LaunchMaximized(launcher, search, ProgramKind::UrlOpener, {address}, report);
}

}  // namespace tarnvel::ui
