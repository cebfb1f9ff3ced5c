#pragma once
// A real main window with fake seams, shown and active, for tests that drive
// it the way a user does: clicks and key presses on controls found by name.
//
//   TEST_F(WindowTest, clear_empties_the_boxes) {
//       Click("CommandButton2");
//       EXPECT_EQ(TextOf("Text1"), "");
//   }

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

#include "tests/ui/support/fakes.h"
#include "tests/ui/support/modal_watchdog.h"
#include "ui/main/tarnvel.h"

class QWidget;

namespace tarnvel::ui::testing {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    Tarnvel& window() { return *window_; }

    // The named child of the window; fails the test when there is none.
    QWidget* Control(const QString& name);
    template <class Widget>
    Widget* ControlAs(const QString& name) {
        auto* widget = qobject_cast<Widget*>(Control(name));
        EXPECT_NE(widget, nullptr) << name.toStdString() << " has an unexpected kind";
        return widget;
    }

    // A left mouse click in the middle of the named control (a hidden or
    // disabled control ignores it, as it would for a user).
    void Click(const QString& name);
    // Chooses the named menu item.
    void ChooseMenuItem(const QString& actionName);
    // Gives the box the focus, selects its text and types `text` over it (a
    // text beyond ASCII comes as an input method commits it).
    void TypeInto(const QString& boxName, const QString& text);
    // Empties the box the way a user does: select all, then Delete.
    void EmptyBox(const QString& boxName);
    // Presses Tab in the control that has the focus.
    void PressTab();

    QString TextOf(const QString& boxName);  // a line box, or Text7 with CR LF ends
    QString Cell(int row, int col);          // a cell of the results grid
    QString FocusName();                     // objectName of the focused control

    FakeMessageBox messages;
    FakeFileDialog files;
    FakeLauncher launcher;
    int quitRequests = 0;  // how often the window asked to end the program

private:
    std::unique_ptr<ModalWatchdog> watchdog_;
    std::unique_ptr<Tarnvel> window_;
};

}  // namespace tarnvel::ui::testing
