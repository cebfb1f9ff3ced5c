// The About window: its face, its clicks and how it closes.

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/about/fakes.h"
#include "ui/about/about_window.h"
#include "ui/about/web_address.h"

namespace tarnvel::ui {
namespace {

using testing::FakeBin;
using testing::FakeLauncher;

// A shown About window whose web page opens through a recording launcher and
// a stand-in xdg-open.
class AboutWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        bin.AddProgram(QStringLiteral("xdg-open"));
        Open();
    }
    void TearDown() override {
        delete window.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void Open() {
        ProgramSearch search;
        search.path = bin.Path();
        window = new AboutWindow(launcher, search,
                                 [this](const QString& message) { messages << message; });
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.data()));
    }

    // A press and release of the left button at `point` of the window, found
    // by the platform's own hit test as a real click would be.
    void ClickAt(QPoint point) {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, point);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    bool Closed() const { return window.isNull() || !window->isVisible(); }

    QRect Geometry(const char* name) const {
        QWidget* child = window->findChild<QWidget*>(QString::fromLatin1(name));
        return child ? child->geometry() : QRect();
    }

    FakeBin bin;
    FakeLauncher launcher;
    QStringList messages;
    QPointer<AboutWindow> window;
};

TEST_F(AboutWindowTest, is_a_frameless_ownerless_window_of_its_designed_size) {
    EXPECT_EQ(window->objectName(), QStringLiteral("关于本软件"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("关于"));
    EXPECT_EQ(window->parentWidget(), nullptr);
    EXPECT_TRUE(window->isWindow());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(window->isModal());
    EXPECT_TRUE(window->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(window->size(), QSize(211, 150));  // 3165 × 2250 twips
    EXPECT_FALSE(window->windowIcon().isNull());
}

struct ControlCase {
    const char* name;
    const char* parent;
    QString text;  // null: not checked here
    QRect pixels;  // the designed twips divided by 15
};

TEST_F(AboutWindowTest, every_control_has_its_text_place_and_size) {
    const ControlCase cases[] = {
        {"Label2", "关于本软件", QStringLiteral("版本：V 1.00.00"), {10, 15, 100, 13}},
        {"Label4", "关于本软件", QString(), {10, 31, 167, 13}},
        {"Frame1", "关于本软件", QStringLiteral("关于"), {10, 47, 193, 41}},
        {"Label3", "Frame1", QStringLiteral("本软件为Tarnvel！"), {16, 16, 169, 16}},
        {"Label6", "关于本软件", QString(), {10, 95, 120, 13}},
        {"Label5", "关于本软件", QString(), {10, 111, 120, 13}},
        {"Label7", "关于本软件", QString(), {10, 126, 200, 13}},
        {"Shape1", "关于本软件", QString(), {0, 0, 211, 150}},
        {"Label1", "关于本软件", QString(), {3, -4, 206, 152}},
    };
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget* control = window->findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget()->objectName(), QString::fromUtf8(c.parent));
        EXPECT_EQ(control->geometry(), c.pixels);
        EXPECT_EQ(control->focusPolicy(), Qt::NoFocus);
        if (c.text.isNull()) {
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(control)) {
            EXPECT_EQ(label->text(), c.text);
        } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
            EXPECT_EQ(frame->title(), c.text);
        }
    }
}

TEST_F(AboutWindowTest, contact_lines_have_their_fixed_openings) {
    const struct {
        const char* name;
        QString opening;
    } cases[] = {
        {"Label1", QString()},
        {"Label4", QStringLiteral("版权所有")},
        {"Label6", QStringLiteral("Q  Q：")},
        {"Label5", QStringLiteral("邮箱：")},
        {"Label7", QStringLiteral("网址：")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* label = window->findChild<QLabel*>(QString::fromLatin1(c.name));
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->text().startsWith(c.opening)) << label->text().toStdString();
        EXPECT_EQ(label->text().isEmpty(), c.opening.isEmpty());
    }
}

TEST_F(AboutWindowTest, every_text_fits_its_label) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        SCOPED_TRACE(label->objectName().toStdString());
        const QFontMetrics metrics(label->font());
        EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
            << label->text().toStdString();
    }
}

TEST_F(AboutWindowTest, the_address_line_shows_the_web_address_or_its_shortened_form) {
    auto* label = window->findChild<QLabel*>(QStringLiteral("Label7"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->toolTip(), WebAddress());
    const QString shown = label->text().mid(3);
    if (shown != WebAddress()) {
        // Shortened in the middle: both ends of the address stay readable.
        const int ellipsis = shown.indexOf(QChar(0x2026));
        ASSERT_GT(ellipsis, 0) << shown.toStdString();
        EXPECT_TRUE(WebAddress().startsWith(shown.left(ellipsis)));
        EXPECT_TRUE(WebAddress().endsWith(shown.mid(ellipsis + 1)));
    }
}

TEST_F(AboutWindowTest, background_lies_behind_everything_and_frame_in_front) {
    const QObjectList& order = window->children();  // back to front
    auto at = [&](const char* name) {
        return order.indexOf(window->findChild<QWidget*>(QString::fromLatin1(name)));
    };
    for (const char* name : {"Shape1", "Label2", "Label4", "Label5", "Label6", "Label7", "Frame1"}) {
        EXPECT_GT(at(name), at("Label1")) << name;
    }
    for (const char* name : {"Label1", "Shape1", "Label2", "Label4", "Label5", "Label6", "Label7"}) {
        EXPECT_LT(at(name), at("Frame1")) << name;
    }
}

// ---- Clicks ---------------------------------------------------------------

struct ClickCase {
    std::string name;
    QPoint point;       // in the window
    const char* target;  // the control the platform finds there
};

void PrintTo(const ClickCase& c, std::ostream* os) { *os << c.name; }

class AboutClickTest : public AboutWindowTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(AboutClickTest, a_line_opens_the_web_page_and_closes_the_window) {
    const ClickCase& c = GetParam();
    QWidget* hit = window->childAt(c.point);
    ASSERT_NE(hit, nullptr);
    ASSERT_EQ(hit->objectName(), QString::fromLatin1(c.target));

    ClickAt(c.point);

    ASSERT_EQ(launcher.launches.size(), 1u);
    EXPECT_EQ(launcher.launches[0].program, bin.FilePath("xdg-open"));
    EXPECT_EQ(launcher.launches[0].arguments, QStringList{WebAddress()});
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(Closed());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AboutClickTest,
    ::testing::Values(ClickCase{"version", {20, 20}, "Label2"},
                      ClickCase{"ownership", {20, 36}, "Label4"},
                      ClickCase{"description_inside_the_frame", {40, 70}, "Label3"},
                      ClickCase{"messenger", {20, 100}, "Label6"},
                      ClickCase{"email", {20, 116}, "Label5"},
                      ClickCase{"address", {20, 131}, "Label7"},
                      ClickCase{"empty_background", {190, 20}, "Label1"},
                      ClickCase{"background_along_the_outline", {105, 1}, "Label1"}),
    [](const ::testing::TestParamInfo<ClickCase>& info) { return info.param.name; });

TEST_F(AboutWindowTest, the_frame_outside_its_line_does_nothing) {
    for (QPoint point : {QPoint(20, 50), QPoint(11, 80), QPoint(200, 70), QPoint(100, 86)}) {
        SCOPED_TRACE(point.x() * 1000 + point.y());
        QWidget* hit = window->childAt(point);
        ASSERT_NE(hit, nullptr);
        ASSERT_EQ(hit->objectName(), QStringLiteral("Frame1"));
        ClickAt(point);
    }
    EXPECT_TRUE(launcher.launches.empty());
    EXPECT_FALSE(Closed());
}

TEST_F(AboutWindowTest, a_press_that_ends_off_the_line_is_no_click) {
    auto* label = window->findChild<QLabel*>(QStringLiteral("Label2"));
    QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, {20, 20});
    QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, {20, 60});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(launcher.launches.empty());
    EXPECT_FALSE(Closed());
}

TEST_F(AboutWindowTest, a_failed_launch_keeps_the_window_open_and_is_reported) {
    launcher.fail = true;
    ClickAt({20, 20});
    EXPECT_EQ(launcher.launches.size(), 1u);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(bin.FilePath("xdg-open"))) << messages[0].toStdString();
    EXPECT_FALSE(Closed());

    // And the next click, once the page can be opened, still works.
    launcher.fail = false;
    ClickAt({20, 20});
    EXPECT_EQ(launcher.launches.size(), 2u);
    EXPECT_TRUE(Closed());
}

TEST_F(AboutWindowTest, no_url_opener_at_all_keeps_the_window_open) {
    QFile::remove(bin.FilePath("xdg-open"));
    ClickAt({190, 20});
    EXPECT_TRUE(launcher.launches.empty());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("xdg-open")));
    EXPECT_FALSE(Closed());
}

TEST_F(AboutWindowTest, escape_closes_without_opening_anything) {
    QTest::keyClick(window.data(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(launcher.launches.empty());
    EXPECT_TRUE(window.isNull());
}

TEST_F(AboutWindowTest, other_keys_leave_it_open) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_A}) {
        QTest::keyClick(window.data(), key);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(launcher.launches.empty());
    EXPECT_FALSE(Closed());
}

}  // namespace
}  // namespace tarnvel::ui
