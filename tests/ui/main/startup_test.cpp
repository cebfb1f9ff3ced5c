// The window as it first appears: texts, designed state, menus, places and the
// keyboard's path through the controls.

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include <QStyle>
#include <QStyleOptionButton>
#include <QTranslator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLocale>
#include <QTemporaryDir>
#include <QImage>

#include <cstdlib>
#include <vector>

#include "ui/chinese_file_list.h"

#include "tests/ui/support/window_fixture.h"
#include "ui/main/layout.h"
#include "ui/main/qt_translations.h"

namespace tarnvel::ui::testing {
namespace {

using StartUp = WindowTest;

TEST_F(StartUp, input_boxes_hold_the_worked_example) {
    const struct {
        const char* box;
        const char* text;
    } rows[] = {
        {"Text1", "16770"}, {"Text2", "396.67"}, {"Text3", "3.1"},
        {"Text4", "1.1"},   {"Text5", "3000"},   {"Text6", "16780"},
        {"Text8", "16740"}, {"Text9", "16800"},  {"Text10", "10"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TextOf(row.box), QString::fromUtf8(row.text)) << row.box;
    }
    EXPECT_EQ(TextOf("Text7"), "");
    EXPECT_EQ(TextOf("txtFileName"), QStringLiteral("C:\\Documents and Settings\\Administrator\\桌面"));
    EXPECT_TRUE(messages.prompts.isEmpty());
}

// Each option button's caption selects its own button, to its last character,
// although the two buttons' places overlap.
TEST_F(StartUp, a_click_on_either_caption_selects_its_own_button) {
    const struct {
        const char* button;
        const char* other;
    } rows[] = {{"Option1", "Option2"}, {"Option2", "Option1"}};
    for (const auto& row : rows) {
        auto* button = ControlAs<QRadioButton>(row.button);
        ASSERT_NE(button, nullptr);
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect caption = button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
        const QFontMetrics metrics(button->font());
        const QString text = button->text();
        // The first and the last pixel of the caption, and the middle of its
        // last character.
        const int lastMiddle = caption.left() + metrics.horizontalAdvance(text.left(text.size() - 1)) +
                               metrics.horizontalAdvance(text.right(1)) / 2;
        const int lastPixel = caption.left() + metrics.horizontalAdvance(text) - 1;
        for (const int x : {caption.left(), lastMiddle, lastPixel}) {
            Click(row.other);
            ASSERT_TRUE(ControlAs<QRadioButton>(row.other)->isChecked());
            // The click goes to whatever control lies at that point of the frame.
            const QPoint inFrame = button->mapToParent(QPoint(x, caption.center().y()));
            QWidget* hit = button->parentWidget()->childAt(inFrame);
            ASSERT_NE(hit, nullptr);
            QTest::mouseClick(hit, Qt::LeftButton, Qt::NoModifier, hit->mapFromParent(inFrame));
            EXPECT_TRUE(button->isChecked()) << row.button << " at x = " << x << ", hit "
                                             << hit->objectName().toStdString();
        }
    }
}

// A value wider than its cell is cut visibly and readable whole as the cell's
// tooltip; the grid keeps its place and size.
TEST_F(StartUp, results_too_wide_for_the_grid_are_elided_and_shown_whole_as_tooltips) {
    auto* grid = ControlAs<QTableWidget>("MSFlexGrid1");
    ASSERT_NE(grid, nullptr);
    const QRect place = grid->geometry();
    TypeInto("Text1", "1234567.891");
    TypeInto("Text6", "1234567.891");
    Click("CommandButton1");
    const QStringList whole{"30", "0.15", "60", "1234537.891", "1234597.891", "396.52"};
    int tooWide = 0;
    for (int row = 1; row < 7; ++row) {
        const QTableWidgetItem* item = grid->item(row, 1);
        EXPECT_EQ(item->text(), whole[row - 1]);
        EXPECT_EQ(item->toolTip(), whole[row - 1]);
        // What the cell draws: the text as the view elides it to the column.
        const int room = grid->columnWidth(1) - 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
        const QString drawn = QFontMetrics(grid->font()).elidedText(item->text(), grid->textElideMode(), room);
        if (QFontMetrics(grid->font()).horizontalAdvance(item->text()) > room) {
            ++tooWide;
            EXPECT_TRUE(drawn.endsWith(QChar(0x2026))) << whole[row - 1].toStdString() << " drawn as "
                                                      << drawn.toStdString();
        }
    }
    EXPECT_EQ(tooWide, 2) << "ZY and YZ are wider than their cells";
    EXPECT_EQ(grid->geometry(), place);
}

TEST(QtTranslations, standard_buttons_and_dialogs_speak_chinese) {
    const int installed = InstallQtChineseTranslations(*QCoreApplication::instance());
    const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
    const QString lookIn = QCoreApplication::translate("QFileDialog", "Look in:");
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    EXPECT_GE(installed, 1);
    EXPECT_EQ(cancel, QStringLiteral("取消"));
    EXPECT_NE(lookIn, QStringLiteral("Look in:"));
}

// The interface speaks Chinese on any system: run once as it comes and once
// with a German system locale (see CMakeLists.txt). Qt formats the file
// dialog's dates and sizes for the system locale and leaves a folder's type
// in English; the program's file list and translator put both right.
TEST(ChineseInterface, file_dialogs_show_chinese_types_dates_and_sizes_on_any_system) {
    const QLocale before;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QFile file(dir.filePath(QStringLiteral("a.csv")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(1500, 'x'));
    file.close();

    const int installed = UseChineseInterface(*QCoreApplication::instance());
    QFileSystemModel files;
    ChineseFileList list;
    list.setSourceModel(&files);
    const QModelIndex root = files.setRootPath(dir.path());
    const bool listed = QTest::qWaitFor([&] { return files.rowCount(root) == 2; });
    struct Row {
        QString name, size, type, date;
        QString systemDate;
    };
    std::vector<Row> rows;
    for (int r = 0; listed && r < 2; ++r) {
        const QModelIndex name = list.mapFromSource(files.index(r, 0, root));
        auto text = [&](int column) { return list.index(name.row(), column, name.parent()).data().toString(); };
        rows.push_back({text(0), text(1), text(2), text(3), files.index(r, 3, root).data().toString()});
    }
    const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    const QLocale::Language defaultLanguage = QLocale().language();
    QLocale::setDefault(before);
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }

    EXPECT_GE(installed, 1);
    EXPECT_EQ(cancel, QStringLiteral("取消"));
    EXPECT_EQ(defaultLanguage, QLocale::Chinese);
    ASSERT_TRUE(listed);
    const QDateTime modified = QFileInfo(file.fileName()).lastModified();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name.toStdString());
        EXPECT_EQ(row.date, chinese.toString(modified, QLocale::ShortFormat));
        if (QLocale::system().language() == QLocale::German) {
            EXPECT_NE(row.date, row.systemDate);
        }
        if (row.name == QStringLiteral("sub")) {
            EXPECT_EQ(row.type, QStringLiteral("文件夹"));
            EXPECT_EQ(row.size, QString());
        } else {
            EXPECT_EQ(row.size, chinese.formattedDataSize(1500));
            EXPECT_FALSE(row.size.contains(QLatin1Char(','))) << row.size.toStdString();
        }
    }
}

// A frame's caption sits in its top border: the line runs through the
// caption's height, broken behind it, not below it.
TEST_F(StartUp, frame_captions_sit_in_the_top_border) {
    for (const char* name : {"Frame1", "Frame2", "Frame3"}) {
        SCOPED_TRACE(name);
        auto* frame = ControlAs<QGroupBox>(name);
        ASSERT_NE(frame, nullptr);
        // The frame alone, without the controls inside it.
        const QColor background = frame->palette().color(QPalette::Window);
        QImage image(frame->size(), QImage::Format_ARGB32);
        image.fill(background);
        frame->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        auto ink = [&](int x, int y) {
            const QColor c = image.pixelColor(x, y);
            return std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
                       std::abs(c.blue() - background.blue()) > 60;
        };
        // The top line: the first row drawn across the right half, where no caption is.
        int line = -1;
        for (int y = 0; y < image.height() / 2 && line < 0; ++y) {
            bool across = true;
            for (int x = image.width() * 6 / 10; x < image.width() * 9 / 10 && across; ++x) across = ink(x, y);
            if (across) line = y;
        }
        ASSERT_GE(line, 0);
        // The caption's ink, in the left half, off the line's two rows.
        int first = -1, last = -1;
        for (int y = 0; y < image.height() / 2; ++y) {
            if (y == line || y == line + 1) continue;
            for (int x = 6; x < image.width() / 2; ++x) {
                if (!ink(x, y)) continue;
                if (first < 0) first = y;
                last = y;
                break;
            }
        }
        ASSERT_GE(first, 0) << "no caption drawn";
        EXPECT_LT(first, line);
        EXPECT_GT(last, line + 1);
    }
}

TEST_F(StartUp, window_opens_in_single_point_mode) {
    const struct {
        const char* control;
        bool shown;
        bool enabled;
    } rows[] = {
        {"Frame1", true, true},          {"Frame2", true, true},
        {"Frame3", false, true},         {"CommandButton1", true, true},
        {"CommandButton5", false, true}, {"CommandButton2", true, true},
        {"CommandButton3", true, true},  {"CommandButton4", true, false},
        {"txtFileName", false, true},    {"MSFlexGrid1", true, true},
    };
    for (const auto& row : rows) {
        QWidget* widget = Control(row.control);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->isVisible(), row.shown) << row.control;
        EXPECT_EQ(widget->isEnabled(), row.enabled) << row.control;
    }
    EXPECT_TRUE(ControlAs<QRadioButton>("Option1")->isChecked());
    EXPECT_FALSE(ControlAs<QRadioButton>("Option2")->isChecked());
    EXPECT_EQ(window().windowTitle(), "Tarnvel");
}

TEST_F(StartUp, focus_starts_in_the_station_box) { EXPECT_EQ(FocusName(), "Text6"); }

TEST_F(StartUp, captions_read_as_designed) {
    const struct {
        const char* control;
        const char* caption;
    } rows[] = {
        {"Frame1", "计算数据"},         {"Frame2", "计算成果"},       {"Frame3", "计算成果"},
        {"CommandButton1", "点击计算"}, {"CommandButton5", "点击计算"},
        {"CommandButton2", "清空数据"}, {"CommandButton4", "导出数据"},
        {"CommandButton3", "退出程序"}, {"Label1", "变坡点桩号K="},
        {"Label2", "变坡点高程H="},     {"Label3", "第一纵坡I1%="},   {"Label4", "第二纵坡I2%="},
        {"Label5", "竖曲线半径R="},     {"Label6", "计算桩号K  ="},   {"Label7", "起点桩号K="},
        {"Label8", "止点桩号K="},       {"Label9", "计算间距J="},     {"Option1", "单点计算"},
        {"Option2", "连续计算"},
    };
    for (const auto& row : rows) {
        QWidget* widget = Control(row.control);
        ASSERT_NE(widget, nullptr);
        QString caption;
        if (auto* frame = qobject_cast<QGroupBox*>(widget)) caption = frame->title();
        if (auto* label = qobject_cast<QLabel*>(widget)) caption = label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) caption = button->text();
        EXPECT_EQ(caption, QString::fromUtf8(row.caption)) << row.control;
    }
}

// The two mode buttons share one row of their frame: each shows its caption
// whole, neither runs into the other, and the frame's border clips neither.
TEST_F(StartUp, the_mode_buttons_show_their_captions_whole_inside_their_frame) {
    auto* frame = ControlAs<QGroupBox>("Frame1");
    ASSERT_NE(frame, nullptr);
    std::vector<QRect> rects;
    for (const char* name : {"Option1", "Option2"}) {
        SCOPED_TRACE(name);
        auto* button = ControlAs<QRadioButton>(name);
        ASSERT_NE(button, nullptr);
        EXPECT_GE(button->width(), button->sizeHint().width());
        rects.push_back(button->geometry());
        EXPECT_TRUE(frame->contentsRect().contains(button->geometry()))
            << button->geometry().x() << "," << button->geometry().right() << " in " << frame->contentsRect().right();
    }
    EXPECT_FALSE(rects[0].intersects(rects[1]));
}

TEST_F(StartUp, every_control_uses_the_song_font_at_nine_points) {
    for (const layout::ControlPlace& place : layout::Controls()) {
        QWidget* widget = Control(QString::fromUtf8(place.name.data(), place.name.size()));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->font().families().value(0), QStringLiteral("宋体")) << place.name;
        EXPECT_EQ(widget->font().pointSize(), 9) << place.name;
    }
}

TEST_F(StartUp, menus_read_as_designed_without_access_keys_or_shortcuts) {
    const struct {
        const char* menu;
        const char* caption;
        QStringList items;  // objectName=caption
    } rows[] = {
        {"File", "文件", {"Open=导入", "Export=导出", "Exit=退出"}},
        {"GongJu", "工具", {"Notepad=记事本", "Calc=计算器", "ProfileWindowMenu=纵断面计算"}},
        {"BangZhu", "帮助", {"LianBang=联机帮助", "About=关于"}},
    };
    const QList<QAction*> bar = window().menuBar()->actions();
    ASSERT_EQ(bar.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const auto& row = rows[i];
        auto* menu = window().findChild<QMenu*>(row.menu);
        ASSERT_NE(menu, nullptr) << row.menu;
        EXPECT_EQ(bar[i], menu->menuAction()) << "menu bar position " << i;
        EXPECT_EQ(menu->title(), QString::fromUtf8(row.caption));
        QStringList items;
        for (QAction* action : menu->actions()) {
            items.append(action->objectName() + "=" + action->text());
            EXPECT_TRUE(action->shortcut().isEmpty()) << action->objectName().toStdString();
            EXPECT_TRUE(action->isEnabled() && action->isVisible() && !action->isChecked());
            EXPECT_FALSE(action->isSeparator());
        }
        EXPECT_EQ(items, row.items) << row.menu;
        EXPECT_FALSE(menu->title().contains('&'));
    }
}

TEST_F(StartUp, results_grid_holds_its_labels_and_empty_values) {
    const char* labels[] = {" 名  称",   " 切线长T=", " 外距长E=", " 曲线长L=",
                            " 起点ZY =", " 止点YZ =", " 高程H  ="};
    ASSERT_EQ(ControlAs<QTableWidget>("MSFlexGrid1")->rowCount(), 7);
    ASSERT_EQ(ControlAs<QTableWidget>("MSFlexGrid1")->columnCount(), 2);
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(Cell(row, 0), QString::fromUtf8(labels[row])) << "row " << row;
        EXPECT_EQ(Cell(row, 1), row == 0 ? QStringLiteral(" 结  果") : QString()) << "row " << row;
    }
    EXPECT_EQ(ControlAs<QTableWidget>("MSFlexGrid1")->currentRow(), 6);
    EXPECT_EQ(ControlAs<QTableWidget>("MSFlexGrid1")->currentColumn(), 1);
}

// Every control of the layout table sits in its container at its place, and
// stays there when the window grows.
TEST_F(StartUp, controls_stand_at_their_places_and_keep_them_when_the_window_grows) {
    // Independently of the window's conversion: every place is a whole number
    // of pixels at 15 twips each.
    auto pixels = [](const layout::ControlPlace& p) {
        return QRect(p.left / 15, p.top / 15, p.width / 15, p.height / 15);
    };
    auto check = [&](const char* when) {
        for (const layout::ControlPlace& place : layout::Controls()) {
            const QString name = QString::fromUtf8(place.name.data(), place.name.size());
            QWidget* widget = Control(name);
            ASSERT_NE(widget, nullptr);
            const QString container = place.container.empty()
                                          ? QStringLiteral("client")
                                          : QString::fromUtf8(place.container.data(),
                                                              place.container.size());
            EXPECT_EQ(widget->parentWidget()->objectName(), container) << place.name << when;
            EXPECT_EQ(widget->geometry(), pixels(place)) << place.name << when;
        }
    };
    EXPECT_EQ(window().centralWidget()->size(), QSize(314, 202));
    // A few places written out, so that a wrong scale cannot hide in both.
    EXPECT_EQ(ControlAs<QGroupBox>("Frame1")->geometry(), QRect(8, 8, 150, 151));
    EXPECT_EQ(ControlAs<QTableWidget>("MSFlexGrid1")->geometry(), QRect(7, 16, 128, 129));
    EXPECT_EQ(ControlAs<QPushButton>("CommandButton3")->geometry(), QRect(240, 168, 65, 25));
    check(" at first display");

    window().resize(900, 700);
    QTest::qWait(20);
    check(" after growing");
    window().showMaximized();
    QTest::qWait(20);
    check(" when maximized");
}

// The Tab key's path, starting in Text6, until it comes back to Text6.
QStringList TabCycle(WindowTest& test, QWidget* start) {
    start->setFocus(Qt::OtherFocusReason);
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int step = 0; step < 40; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QString name = QApplication::focusWidget()->objectName();
        if (name == visited.first()) return visited;
        visited.append(name);
    }
    (void)test;
    ADD_FAILURE() << "the Tab key never came back: " << visited.join(", ").toStdString();
    return visited;
}

TEST_F(StartUp, tab_cycles_through_the_visible_controls_of_each_mode) {
    const QStringList inputs{"Text6", "Text5", "Text4", "Text3", "Text2", "Text1"};
    const struct {
        const char* option;
        QStringList after;  // what follows Text1
    } rows[] = {
        {"Option1",
         {"CommandButton1", "CommandButton2", "CommandButton3", "MSFlexGrid1", "Option1"}},
        {"Option2",
         {"CommandButton2", "CommandButton3", "CommandButton4", "Option2", "Text7",
          "CommandButton5", "Text8", "Text9", "Text10"}},
        // And back again: the selected option button is the one visited.
        {"Option1",
         {"CommandButton1", "CommandButton2", "CommandButton3", "MSFlexGrid1", "Option1"}},
    };
    for (const auto& row : rows) {
        Click(row.option);
        EXPECT_EQ(TabCycle(*this, Control("Text6")), inputs + row.after) << row.option;
    }
}

TEST_F(StartUp, tab_leaves_the_listing_box_instead_of_typing_a_tab) {
    Click("Option2");
    ControlAs<QPlainTextEdit>("Text7")->setFocus();
    QTest::keyClick(Control("Text7"), Qt::Key_Tab);
    EXPECT_EQ(FocusName(), "CommandButton5");
    EXPECT_EQ(TextOf("Text7"), "");
}

}  // namespace
}  // namespace tarnvel::ui::testing
