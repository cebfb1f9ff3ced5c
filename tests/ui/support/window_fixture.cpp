#include "tests/ui/support/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>

#include <algorithm>

namespace tarnvel::ui::testing {

void WindowTest::SetUp() {
    watchdog_ = std::make_unique<ModalWatchdog>();
    window_ = std::make_unique<Tarnvel>(Services{messages, files, launcher});
    window_->SetQuitFunction([this] { ++quitRequests; });
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
}

void WindowTest::TearDown() {
    window_.reset();
    // Windows the test opened without an owner (the About window) go too.
    for (QWidget* top : QApplication::topLevelWidgets()) top->close();
    QCoreApplication::processEvents();
    watchdog_.reset();
}

QWidget* WindowTest::Control(const QString& name) {
    auto* widget = window_->findChild<QWidget*>(name);
    EXPECT_NE(widget, nullptr) << "no control named " << name.toStdString();
    return widget;
}

void WindowTest::Click(const QString& name) {
    QWidget* widget = Control(name);
    if (!widget) return;
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void WindowTest::ChooseMenuItem(const QString& actionName) {
    auto* action = window_->findChild<QAction*>(actionName);
    ASSERT_NE(action, nullptr) << "no menu item named " << actionName.toStdString();
    action->trigger();
}

void WindowTest::TypeInto(const QString& boxName, const QString& text) {
    QWidget* box = Control(boxName);
    if (!box) return;
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (text.isEmpty()) {
        QTest::keyClick(box, Qt::Key_Delete);
    } else if (!ascii) {
        // What a Chinese input method does: it commits the composed text.
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(box, &commit);
    } else {
        QTest::keyClicks(box, text);
    }
}

void WindowTest::EmptyBox(const QString& boxName) { TypeInto(boxName, QString()); }

void WindowTest::PressTab() {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "no control has the focus";
    QTest::keyClick(focus, Qt::Key_Tab);
}

QString WindowTest::TextOf(const QString& boxName) {
    if (boxName == QLatin1String("Text7")) return window_->ListingText();
    auto* box = ControlAs<QLineEdit>(boxName);
    return box ? box->text() : QString();
}

QString WindowTest::Cell(int row, int col) {
    const QTableWidgetItem* item = window_->findChild<QTableWidget*>(QStringLiteral("MSFlexGrid1"))->item(row, col);
    return item ? item->text() : QString();
}

QString WindowTest::FocusName() {
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

}  // namespace tarnvel::ui::testing
