// The lookup of the desktop's programs, the launcher and the greeting file.

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/about/fakes.h"
#include "ui/about/launch.h"
#include "ui/about/web_address.h"

namespace tarnvel::ui {
namespace {

using testing::FakeBin;
using testing::FakeLauncher;

// ---- Which program is chosen ------------------------------------------------

enum class Entry { Program, PlainFile, Folder };

struct LookupCase {
    std::string name;
    ProgramKind kind;
    std::vector<std::pair<QString, Entry>> bin;  // what lies in the PATH folder
    QString overrideText;                         // "@" stands for the PATH folder
    QString expectedProgram;                      // empty: nothing found
    QStringList expectedArguments;
};

void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.name; }

class LookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(LookupTest, picks_the_first_runnable_candidate) {
    const LookupCase& c = GetParam();
    FakeBin bin;
    for (const auto& [name, entry] : c.bin) {
        switch (entry) {
        case Entry::Program: bin.AddProgram(name); break;
        case Entry::PlainFile: bin.AddPlainFile(name); break;
        case Entry::Folder: bin.AddFolder(name); break;
        }
    }
    ProgramSearch search;
    search.path = QStringLiteral("/nonexistent-folder:") + bin.Path();
    QString overrideText = c.overrideText;
    overrideText.replace(QLatin1Char('@'), bin.Path());
    switch (c.kind) {
    case ProgramKind::TextEditor: search.editor = overrideText; break;
    case ProgramKind::Calculator: search.calculator = overrideText; break;
    case ProgramKind::UrlOpener: search.browser = overrideText; break;
    }

    const FoundProgram found = FindProgram(c.kind, search);
    if (c.expectedProgram.isEmpty()) {
        EXPECT_FALSE(found.Found()) << found.program.toStdString();
        EXPECT_FALSE(found.error.isEmpty());
    } else {
        ASSERT_TRUE(found.Found()) << found.error.toStdString();
        EXPECT_EQ(found.program, bin.FilePath(c.expectedProgram));
        EXPECT_EQ(found.arguments, c.expectedArguments);
        EXPECT_TRUE(found.error.isEmpty());
    }
}

const auto P = Entry::Program;
const auto F = Entry::PlainFile;
const auto D = Entry::Folder;

INSTANTIATE_TEST_SUITE_P(
    Lookup, LookupTest,
    ::testing::Values(
        LookupCase{"editor_list_order_wins_over_folder_order", ProgramKind::TextEditor,
                   {{"leafpad", P}, {"kate", P}, {"mousepad", P}}, "", "kate", {}},
        LookupCase{"gedit_is_asked_for_a_window_of_its_own", ProgramKind::TextEditor,
                   {{"gedit", P}, {"kate", P}}, "", "gedit", {"--new-window"}},
        LookupCase{"a_file_that_cannot_run_is_passed_over", ProgramKind::TextEditor,
                   {{"gnome-text-editor", F}, {"xed", P}}, "", "xed", {}},
        LookupCase{"a_folder_of_that_name_is_passed_over", ProgramKind::Calculator,
                   {{"gnome-calculator", D}, {"xcalc", P}}, "", "xcalc", {}},
        LookupCase{"no_editor_at_all", ProgramKind::TextEditor, {{"vi", P}}, "", "", {}},
        LookupCase{"calculator_first_of_list", ProgramKind::Calculator,
                   {{"xcalc", P}, {"gnome-calculator", P}}, "", "gnome-calculator", {}},
        LookupCase{"url_opener_prefers_xdg_open", ProgramKind::UrlOpener,
                   {{"firefox", P}, {"xdg-open", P}}, "", "xdg-open", {}},
        LookupCase{"chromium_is_asked_to_open_maximized", ProgramKind::UrlOpener,
                   {{"chromium", P}}, "", "chromium", {"--start-maximized", "--new-window"}},
        LookupCase{"override_by_name_beats_the_list", ProgramKind::TextEditor,
                   {{"gedit", P}, {"myedit", P}}, "myedit", "myedit", {}},
        LookupCase{"override_keeps_its_own_arguments", ProgramKind::TextEditor,
                   {{"kate", P}}, "kate -n --encoding \"UTF-8\"", "kate", {"-n", "--encoding", "UTF-8"}},
        LookupCase{"override_by_absolute_path", ProgramKind::Calculator, {{"calc", P}},
                   "@/calc", "calc", {}},
        LookupCase{"missing_override_does_not_fall_back", ProgramKind::TextEditor,
                   {{"gedit", P}}, "no-such-editor", "", {}},
        LookupCase{"override_path_that_cannot_run", ProgramKind::UrlOpener,
                   {{"browser", F}, {"xdg-open", P}}, "@/browser", "", {}},
        LookupCase{"blank_override_is_no_override", ProgramKind::Calculator,
                   {{"kcalc", P}}, "   ", "kcalc", {}}),
    [](const ::testing::TestParamInfo<LookupCase>& info) { return info.param.name; });

TEST(Lookup, skips_empty_path_entries_instead_of_searching_the_current_folder) {
    FakeBin bin;
    bin.AddProgram(QStringLiteral("xcalc"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(bin.Path()));
    ProgramSearch search;
    search.path = QStringLiteral("::/nonexistent-folder:");
    const FoundProgram found = FindProgram(ProgramKind::Calculator, search);
    QDir::setCurrent(previous);
    EXPECT_FALSE(found.Found()) << found.program.toStdString();
}

TEST(Lookup, an_earlier_path_folder_wins) {
    FakeBin first;
    FakeBin second;
    first.AddProgram(QStringLiteral("xcalc"));
    second.AddProgram(QStringLiteral("xcalc"));
    ProgramSearch search;
    search.path = first.Path() + QLatin1Char(':') + second.Path();
    EXPECT_EQ(FindProgram(ProgramKind::Calculator, search).program, first.FilePath("xcalc"));
}

// ---- What the user is told --------------------------------------------------

TEST(Lookup, the_message_for_nothing_found_names_every_program_tried_and_the_variable) {
    FakeBin bin;
    ProgramSearch search;
    search.path = bin.Path();
    for (ProgramKind kind : {ProgramKind::TextEditor, ProgramKind::Calculator, ProgramKind::UrlOpener}) {
        const QString error = FindProgram(kind, search).error;
        EXPECT_TRUE(error.startsWith(QStringLiteral("无法启动") + KindName(kind))) << error.toStdString();
        for (const KnownProgram& candidate : KnownPrograms(kind)) {
            EXPECT_TRUE(error.contains(candidate.name)) << candidate.name.toStdString();
        }
        EXPECT_TRUE(error.contains(OverrideVariable(kind))) << error.toStdString();
    }
}

TEST(Lookup, the_message_for_a_missing_override_names_the_variable_and_the_program) {
    ProgramSearch search;
    search.browser = QStringLiteral("netsurf --private");
    const QString error = FindProgram(ProgramKind::UrlOpener, search).error;
    EXPECT_TRUE(error.contains(QStringLiteral("TARNVEL_BROWSER"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("“netsurf”"))) << error.toStdString();
}

// ---- Launching ----------------------------------------------------------------

// A PATH folder of stand-ins, a recording launcher, the messages for the user
// and a folder for greeting files.
class LaunchTest : public ::testing::Test {
protected:
    ProgramSearch Search() const {
        ProgramSearch search;
        search.path = bin.Path();
        return search;
    }
    ReportFunction Report() {
        return [this](const QString& message) { messages << message; };
    }
    bool Notepad() { return OpenTextEditorWithGreeting(launcher, Search(), folder.path(), Report()); }
    bool Calculator() { return OpenCalculator(launcher, Search(), Report()); }

    FakeBin bin;
    FakeLauncher launcher;
    QStringList messages;
    QTemporaryDir folder;
};

TEST_F(LaunchTest, starts_the_found_program_with_its_leading_then_the_callers_arguments) {
    bin.AddProgram(QStringLiteral("chromium"));
    EXPECT_TRUE(LaunchMaximized(launcher, Search(), ProgramKind::UrlOpener,
                                {QStringLiteral("file:///x.html")}, Report()));
    ASSERT_EQ(launcher.launches.size(), 1u);
    EXPECT_EQ(launcher.launches[0].program, bin.FilePath("chromium"));
    EXPECT_EQ(launcher.launches[0].arguments,
              (QStringList{"--start-maximized", "--new-window", "file:///x.html"}));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(LaunchTest, a_missing_program_is_reported_and_nothing_is_started) {
    EXPECT_FALSE(Calculator());
    EXPECT_TRUE(launcher.launches.empty());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("gnome-calculator")));
}

TEST_F(LaunchTest, a_start_that_fails_is_reported_with_the_program_tried) {
    bin.AddProgram(QStringLiteral("kcalc"));
    launcher.fail = true;
    EXPECT_FALSE(Calculator());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(bin.FilePath("kcalc"))) << messages[0].toStdString();
}

TEST_F(LaunchTest, the_web_page_is_the_installed_manual_as_one_argument) {
    bin.AddProgram(QStringLiteral("xdg-open"));
    ASSERT_TRUE(OpenWebPage(launcher, Search(), Report()));
    ASSERT_EQ(launcher.launches.size(), 1u);
    EXPECT_EQ(launcher.launches[0].program, bin.FilePath("xdg-open"));
    ASSERT_EQ(launcher.launches[0].arguments.size(), 1);
    const QUrl address(launcher.launches[0].arguments[0]);
    EXPECT_EQ(address.scheme(), QStringLiteral("file"));
    EXPECT_TRUE(QFileInfo(address.toLocalFile()).isFile()) << address.toString().toStdString();
    EXPECT_TRUE(address.toLocalFile().endsWith(QStringLiteral("/share/tarnvel/manual/index.html")));
}

TEST_F(LaunchTest, three_uses_start_three_programs) {
    bin.AddProgram(QStringLiteral("galculator"));
    for (int use = 0; use < 3; ++use) {
        EXPECT_TRUE(Calculator());
    }
    EXPECT_EQ(launcher.launches.size(), 3u);
}

// ---- The greeting -------------------------------------------------------------

// Three blanks, the greeting with its full-width comma (U+FF0C) and colon
// (U+FF1A) in UTF-8, then the address; no byte-order mark, no line break.
const QByteArray kGreetingBytes =
    "   \xe6\xac\xa2\xe8\xbf\x8e\xe4\xbd\xbf\xe7\x94\xa8\xe8\xae\xb0\xe4\xba\x8b\xe6\x9c\xac"
    "\xe6\x96\x87\xe6\xa1\xa3\xef\xbc\x8c\xe6\x9b\xb4\xe5\xa4\x9a\xe6\xb5\x8b\xe9\x87\x8f"
    "\xe8\xb5\x84\xe6\x96\x99\xe8\xaf\xb7\xe8\xae\xbf\xe9\x97\xae\xef\xbc\x9a";

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

TEST_F(LaunchTest, the_editor_opens_a_new_file_holding_exactly_the_greeting) {
    bin.AddProgram(QStringLiteral("mousepad"));
    ASSERT_TRUE(Notepad());
    ASSERT_EQ(launcher.launches.size(), 1u);
    EXPECT_EQ(launcher.launches[0].program, bin.FilePath("mousepad"));
    ASSERT_EQ(launcher.launches[0].arguments.size(), 1);
    const QString file = launcher.launches[0].arguments[0];
    EXPECT_EQ(QFileInfo(file).absolutePath(), QFileInfo(folder.path()).absoluteFilePath());
    EXPECT_EQ(ReadAll(file), kGreetingBytes + WebAddress().toUtf8());
}

TEST_F(LaunchTest, three_editor_uses_open_three_editors_on_three_files) {
    bin.AddProgram(QStringLiteral("gedit"));
    QStringList files;
    for (int use = 0; use < 3; ++use) {
        ASSERT_TRUE(Notepad());
        EXPECT_EQ(launcher.launches.back().arguments.first(), QStringLiteral("--new-window"));
        files << launcher.launches.back().arguments.last();
    }
    files.removeDuplicates();
    EXPECT_EQ(files.size(), 3);
    for (const QString& file : files) {
        EXPECT_EQ(ReadAll(file), kGreetingBytes + WebAddress().toUtf8());
    }
}

TEST_F(LaunchTest, a_missing_editor_leaves_no_file_and_starts_nothing) {
    EXPECT_FALSE(Notepad());
    EXPECT_TRUE(launcher.launches.empty());
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(LaunchTest, a_failed_editor_start_removes_the_file_it_wrote) {
    bin.AddProgram(QStringLiteral("kwrite"));
    launcher.fail = true;
    EXPECT_FALSE(Notepad());
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(LaunchTest, a_greeting_folder_that_cannot_be_made_is_reported_and_starts_nothing) {
    bin.AddProgram(QStringLiteral("kwrite"));
    const QString blocker = QDir(folder.path()).filePath(QStringLiteral("file"));
    QFile(blocker).open(QIODevice::WriteOnly);
    EXPECT_FALSE(OpenTextEditorWithGreeting(launcher, Search(), blocker + QStringLiteral("/notepad"),
                                            Report()));
    EXPECT_TRUE(launcher.launches.empty());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(blocker)) << messages[0].toStdString();
}

// ---- Cleaning up greeting files ---------------------------------------------

struct StaleCase {
    std::string name;
    QString fileName;
    QByteArray content;
    int ageMinutes;
    bool removed;
};

void PrintTo(const StaleCase& c, std::ostream* os) { *os << c.name; }

class StaleGreetingTest : public ::testing::TestWithParam<StaleCase> {};

TEST_P(StaleGreetingTest, only_old_untouched_greetings_go) {
    const StaleCase& c = GetParam();
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(c.fileName);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.content);
    }
    const QDateTime now = QFileInfo(path).lastModified().addSecs(qint64{c.ageMinutes} * 60);
    RemoveStaleGreetingFiles(folder.path(), now);
    EXPECT_EQ(!QFileInfo::exists(path), c.removed);
}

const QByteArray kOldGreeting = kGreetingBytes + "file:///usr/share/tarnvel/manual/index.html";

INSTANTIATE_TEST_SUITE_P(
    Cleanup, StaleGreetingTest,
    ::testing::Values(
        StaleCase{"old_untouched_greeting", "记事本-a1b2c3.txt", kOldGreeting, 61, true},
        StaleCase{"recent_greeting_may_still_be_opening", "记事本-a1b2c3.txt", kOldGreeting, 30, false},
        StaleCase{"old_greeting_with_notes_added", "记事本-a1b2c3.txt",
                  kOldGreeting + "\n桩号 16780 复测", 600, false},
        StaleCase{"old_file_replaced_by_notes", "记事本-a1b2c3.txt", "K16780 396.713", 600, false},
        StaleCase{"old_greeting_under_another_name", "notes.txt", kOldGreeting, 600, false},
        StaleCase{"old_large_file_of_that_name", "记事本-a1b2c3.txt",
                  kOldGreeting + QByteArray(5000, 'x'), 600, false}),
    [](const ::testing::TestParamInfo<StaleCase>& info) { return info.param.name; });

// ---- A real process -----------------------------------------------------------

// Waits until `path` holds `lines` lines, or five seconds have passed.
QByteArray WaitForLines(const QString& path, int lines) {
    QElapsedTimer timer;
    timer.start();
    QByteArray content;
    while (timer.elapsed() < 5000) {
        content = ReadAll(path);
        if (content.count('\n') >= lines) {
            break;
        }
        QTest::qWait(20);
    }
    return content;
}

TEST_F(LaunchTest, a_real_editor_process_receives_the_greeting_file) {
    const QString log = QDir(folder.path()).filePath(QStringLiteral("log"));
    // The stand-in editor copies the file it was given into the log.
    bin.AddProgram(QStringLiteral("leafpad"),
                   "cat \"$1\" >> '" + log.toUtf8() + "'\necho >> '" + log.toUtf8() + "'\n");
    ASSERT_TRUE(OpenTextEditorWithGreeting(DefaultServices().launcher, Search(), folder.path(),
                                           Report()))
        << messages.join("\n").toStdString();
    EXPECT_EQ(WaitForLines(log, 1), kGreetingBytes + WebAddress().toUtf8() + "\n");
}

TEST_F(LaunchTest, three_uses_of_a_real_calculator_run_it_three_times) {
    const QString log = QDir(folder.path()).filePath(QStringLiteral("log"));
    bin.AddProgram(QStringLiteral("xcalc"), "echo started >> '" + log.toUtf8() + "'\n");
    for (int use = 0; use < 3; ++use) {
        ASSERT_TRUE(OpenCalculator(DefaultServices().launcher, Search(), Report()));
    }
    EXPECT_EQ(WaitForLines(log, 3), QByteArray("started\nstarted\nstarted\n"));
}

TEST_F(LaunchTest, a_real_program_that_cannot_be_executed_is_reported) {
    // Marked executable, but its interpreter does not exist: the start fails.
    const QString path = bin.AddProgram(QStringLiteral("xcalc"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("#!/nonexistent/interpreter\n");
    }
    EXPECT_FALSE(OpenCalculator(DefaultServices().launcher, Search(), Report()));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(path)) << messages[0].toStdString();
}

}  // namespace
}  // namespace tarnvel::ui
