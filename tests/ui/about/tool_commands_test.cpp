// The tools and help menu commands, through the real main window.

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QTableWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/about/fakes.h"
#include "tests/ui/support/window_fixture.h"
#include "ui/about/about_window.h"
#include "ui/about/launch.h"
#include "ui/about/web_address.h"

namespace tarnvel::ui::testing {
namespace {

// Everything of the main window a command could disturb, as text.
QStringList Snapshot(Tarnvel& window) {
    QStringList state;
    for (QLineEdit* box : window.findChildren<QLineEdit*>()) {
        state << box->objectName() + QLatin1Char('=') + box->text();
    }
    state << QStringLiteral("Text7=") + window.ListingText();
    for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 2; ++col) {
            const QTableWidgetItem* item = window.findChild<QTableWidget*>(QStringLiteral("MSFlexGrid1"))->item(row, col);
            state << (item ? item->text() : QString());
        }
    }
    for (QWidget* control : {window.findChild<QWidget*>(QStringLiteral("Frame2")), window.findChild<QWidget*>(QStringLiteral("Frame3")),
                             window.findChild<QWidget*>(QStringLiteral("CommandButton1")),
                             window.findChild<QWidget*>(QStringLiteral("CommandButton5"))}) {
        state << control->objectName() + (control->isVisibleTo(&window) ? "+" : "-");
    }
    state << QString::number(window.findChild<QWidget*>(QStringLiteral("CommandButton4"))->isEnabled());
    return state;
}

// The window with a PATH of stand-in programs, no override variables, and
// greeting files kept in Qt's test folder rather than the user's own.
class ToolCommandsTest : public WindowTest {
protected:
    void SetUp() override {
        savedPath_ = qgetenv("PATH");
        for (const char* name : kOverrides) {
            saved_.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
            qunsetenv(name);
        }
        qputenv("PATH", bin.Path().toLocal8Bit());
        QStandardPaths::setTestModeEnabled(true);
        WindowTest::SetUp();
    }
    void TearDown() override {
        WindowTest::TearDown();
        for (const auto& launch : launcher.launches) {
            for (const QString& argument : launch.arguments) {
                if (argument.startsWith(DefaultGreetingFolder())) QFile::remove(argument);
            }
        }
        QStandardPaths::setTestModeEnabled(false);
        qputenv("PATH", savedPath_);
        for (const auto& [name, value, wasSet] : saved_) {
            if (wasSet) qputenv(name, value); else qunsetenv(name);
        }
    }

    void InstallDesktop() {
        bin.AddProgram(QStringLiteral("gedit"));
        bin.AddProgram(QStringLiteral("gnome-calculator"));
        bin.AddProgram(QStringLiteral("xdg-open"));
    }

    QList<AboutWindow*> AboutWindows() {
        QList<AboutWindow*> found;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* about = qobject_cast<AboutWindow*>(top); about && about->isVisible()) {
                found << about;
            }
        }
        return found;
    }

    void ClickAbout(const char* labelName) {
        ASSERT_TRUE(window().AboutWindowShown());
        auto* label = window().AboutWindowShown()->findChild<QLabel*>(QString::fromLatin1(labelName));
        ASSERT_NE(label, nullptr);
        QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    FakeBin bin;

private:
    static constexpr const char* kOverrides[] = {"TARNVEL_EDITOR", "TARNVEL_CALCULATOR",
                                                 "TARNVEL_BROWSER"};
    struct Saved {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    QByteArray savedPath_;
    std::vector<Saved> saved_;
};

// ---- Which command line each item starts, in either mode --------------------

struct MenuCase {
    std::string name;
    const char* action;
    const char* program;
    bool continuous;
};

void PrintTo(const MenuCase& c, std::ostream* os) { *os << c.name; }

class MenuItemTest : public ToolCommandsTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuItemTest, starts_its_program_and_leaves_the_window_alone) {
    const MenuCase& c = GetParam();
    InstallDesktop();
    if (c.continuous) Click(QStringLiteral("Option2"));
    Click(QStringLiteral("CommandButton1"));  // some results to keep (single point only)
    Click(QStringLiteral("CommandButton5"));
    const QStringList before = Snapshot(window());

    ChooseMenuItem(QString::fromLatin1(c.action));

    ASSERT_EQ(launcher.launches.size(), 1u);
    const auto& launch = launcher.launches[0];
    EXPECT_EQ(launch.program, bin.FilePath(QString::fromLatin1(c.program)));
    const QString action = QString::fromLatin1(c.action);
    if (action == QLatin1String("Notepad")) {
        ASSERT_EQ(launch.arguments.size(), 2);
        EXPECT_EQ(launch.arguments[0], QStringLiteral("--new-window"));
        QFile greeting(launch.arguments[1]);
        ASSERT_TRUE(greeting.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(greeting.readAll()),
                  QStringLiteral("   欢迎使用记事本文档，更多测量资料请访问：") + WebAddress());
    } else if (action == QLatin1String("Calc")) {
        EXPECT_TRUE(launch.arguments.isEmpty());
    } else {
        EXPECT_EQ(launch.arguments, QStringList{WebAddress()});
    }
    EXPECT_TRUE(messages.prompts.isEmpty());
    EXPECT_EQ(Snapshot(window()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Menus, MenuItemTest,
    ::testing::Values(MenuCase{"notepad_single_point", "Notepad", "gedit", false},
                      MenuCase{"notepad_continuous", "Notepad", "gedit", true},
                      MenuCase{"calculator_single_point", "Calc", "gnome-calculator", false},
                      MenuCase{"calculator_continuous", "Calc", "gnome-calculator", true},
                      MenuCase{"online_help_single_point", "LianBang", "xdg-open", false},
                      MenuCase{"online_help_continuous", "LianBang", "xdg-open", true}),
    [](const ::testing::TestParamInfo<MenuCase>& info) { return info.param.name; });

class MissingProgramTest : public ToolCommandsTest,
                           public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(MissingProgramTest, is_reported_and_starts_nothing) {
    const auto [action, kindName] = GetParam();
    const QStringList before = Snapshot(window());
    ChooseMenuItem(QString::fromLatin1(action));
    EXPECT_TRUE(launcher.launches.empty());
    ASSERT_EQ(messages.prompts.size(), 1);
    EXPECT_TRUE(messages.prompts[0].startsWith(QStringLiteral("无法启动") + QString::fromUtf8(kindName)))
        << messages.prompts[0].toStdString();
    EXPECT_EQ(messages.parents[0], &window());
    EXPECT_EQ(Snapshot(window()), before);
}

INSTANTIATE_TEST_SUITE_P(Menus, MissingProgramTest,
                         ::testing::Values(std::pair{"Notepad", "文本编辑器"},
                                           std::pair{"Calc", "计算器"},
                                           std::pair{"LianBang", "网页浏览器"}));

TEST_F(ToolCommandsTest, an_override_variable_picks_the_program) {
    InstallDesktop();
    const QString mine = bin.AddProgram(QStringLiteral("my-calc"));
    qputenv("TARNVEL_CALCULATOR", "my-calc --rpn");
    ChooseMenuItem(QStringLiteral("Calc"));
    ASSERT_EQ(launcher.launches.size(), 1u);
    EXPECT_EQ(launcher.launches[0].program, mine);
    EXPECT_EQ(launcher.launches[0].arguments, QStringList{QStringLiteral("--rpn")});
}

TEST_F(ToolCommandsTest, three_uses_start_three_programs) {
    InstallDesktop();
    for (const char* action : {"Calc", "Notepad"}) {
        launcher.launches.clear();
        for (int use = 0; use < 3; ++use) ChooseMenuItem(QString::fromLatin1(action));
        EXPECT_EQ(launcher.launches.size(), 3u) << action;
    }
}

// ---- The About window ---------------------------------------------------------

TEST_F(ToolCommandsTest, about_twice_is_one_ownerless_modeless_window) {
    ChooseMenuItem(QStringLiteral("About"));
    QPointer<QWidget> first = window().AboutWindowShown();
    ChooseMenuItem(QStringLiteral("About"));
    ASSERT_EQ(AboutWindows().size(), 1);
    EXPECT_EQ(AboutWindows()[0], first.data());
    EXPECT_EQ(first->parentWidget(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // The main window still takes input while it is open.
    Click(QStringLiteral("CommandButton1"));
    EXPECT_EQ(Cell(6, 1), QStringLiteral("396.713"));
}

TEST_F(ToolCommandsTest, a_label_click_opens_the_page_closes_and_about_opens_again) {
    InstallDesktop();
    const QStringList before = Snapshot(window());
    ChooseMenuItem(QStringLiteral("About"));
    ClickAbout("Label1");
    ASSERT_EQ(launcher.launches.size(), 1u);
    EXPECT_EQ(launcher.launches[0].program, bin.FilePath("xdg-open"));
    EXPECT_EQ(launcher.launches[0].arguments, QStringList{WebAddress()});
    EXPECT_TRUE(AboutWindows().isEmpty());
    EXPECT_FALSE(window().AboutWindowShown());

    ChooseMenuItem(QStringLiteral("About"));
    ASSERT_EQ(AboutWindows().size(), 1);
    EXPECT_EQ(AboutWindows()[0]->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
              QStringLiteral("版本：V 1.00.00"));
    ClickAbout("Label2");
    EXPECT_EQ(launcher.launches.size(), 2u);
    EXPECT_TRUE(AboutWindows().isEmpty());
    EXPECT_EQ(Snapshot(window()), before);
}

TEST_F(ToolCommandsTest, a_failed_about_launch_is_reported_by_the_main_window_and_keeps_it_open) {
    InstallDesktop();
    launcher.fail = true;
    ChooseMenuItem(QStringLiteral("About"));
    ClickAbout("Label7");
    ASSERT_EQ(messages.prompts.size(), 1);
    EXPECT_EQ(messages.parents[0], &window());
    EXPECT_EQ(AboutWindows().size(), 1);
}

TEST_F(ToolCommandsTest, escape_closes_about_without_a_launch_and_about_opens_again) {
    InstallDesktop();
    ChooseMenuItem(QStringLiteral("About"));
    QTest::keyClick(window().AboutWindowShown(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(launcher.launches.empty());
    EXPECT_TRUE(AboutWindows().isEmpty());
    ChooseMenuItem(QStringLiteral("About"));
    EXPECT_EQ(AboutWindows().size(), 1);
}

}  // namespace
}  // namespace tarnvel::ui::testing
