// The profile window over its document: what the user sees after edits and
// loads, the names files get, and the handling a user trips over (focus,
// dialogs, title, keys, small screens).

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QUndoStack>

#include "tests/ui/profile/profile_fixture.h"
#include "ui/profile/cell_text.h"
#include "ui/profile/profile_document.h"
#include "ui/profile/pvi_table.h"

namespace tarnvel::ui::testing {
namespace {

// A cell editor of the table has the focus.
bool Editing(const QTableView& table) {
    QWidget* focus = QApplication::focusWidget();
    return focus && table.viewport()->isAncestorOf(focus);
}

// Keys as a person types them: each to whatever has the focus then.
void Type(const QString& text) {
    for (const QChar c : text) QTest::keyClicks(QApplication::focusWidget(), QString(c));
}

// Every row the elements view shows is the current profile's, none blank.
void ExpectElementsShown(QTableView& view, const Profile& profile) {
    const auto& rows = profile.Elements();
    ASSERT_EQ(view.verticalHeader()->count(), static_cast<int>(rows.size()));
    for (int r = 0; r < view.verticalHeader()->count(); ++r) {
        EXPECT_EQ(view.model()->index(r, 0).data().toString(), profile::StationText(profile.LabelOf(rows[r].pviStation)))
            << r;
    }
}

TEST_F(ProfileWindowTest, the_elements_table_follows_inserted_and_deleted_points) {
    ASSERT_TRUE(window().OpenFile(DataFile("inframodel_m3_road.xml")));
    auto* pvi = Control<QTableView>("PviTable");
    auto* elements = Control<QTableView>("ElementsTable");
    ASSERT_TRUE(pvi && elements);
    ASSERT_EQ(elements->verticalHeader()->count(), 11);

    // Row 7, 插入行, then K0+550 Tab 19.0 Enter as typed.
    pvi->setCurrentIndex(pvi->model()->index(6, 0));
    Control<QPushButton>("PviInsert")->click();
    ASSERT_TRUE(Editing(*pvi)) << "the new row's first cell is being edited";
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    Type("K0+550");
    QTest::keyClick(editor, Qt::Key_Tab);
    Type("19.0");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::qWait(10);  // the editor commits Enter through the event loop
    ASSERT_EQ(window().PviModel().Cell(6, profile::kPviStation), "K0+550");
    ASSERT_EQ(window().PviModel().Cell(6, profile::kPviElevation), "19.0");
    ASSERT_EQ(window().CurrentProfile()->Elements().size(), 12u);
    ExpectElementsShown(*elements, *window().CurrentProfile());

    pvi->selectionModel()->select(QItemSelection(pvi->model()->index(2, 0), pvi->model()->index(3, 0)),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Control<QPushButton>("PviDelete")->click();
    ASSERT_EQ(window().CurrentProfile()->Elements().size(), 10u);
    ExpectElementsShown(*elements, *window().CurrentProfile());
}

TEST_F(ProfileWindowTest, new_rows_are_edited_at_once) {
    PasteRows(TwoCurveRows());
    auto* pvi = Control<QTableView>("PviTable");
    for (const char* button : {"PviAdd", "PviInsert", "ChainAdd"}) {
        SCOPED_TRACE(button);
        auto* table = QString::fromUtf8(button).startsWith("Chain") ? Control<QTableView>("ChainTable") : pvi;
        Control<QPushButton>(QString::fromUtf8(button))->click();
        EXPECT_TRUE(Editing(*table)) << "the focus left the button for the new row's editor";
        EXPECT_EQ(table->currentIndex().column(), 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    }
}

// The edit menu's 插入行, 添加行 and 删除行 act on the table as its buttons do.
TEST_F(ProfileWindowTest, the_edit_menu_inserts_adds_and_deletes_rows_as_the_buttons_do) {
    PasteRows(TwoCurveRows());
    auto* pvi = Control<QTableView>("PviTable");
    ASSERT_NE(pvi, nullptr);
    const struct {
        const char* action;
        int selected;          // the row selected before the command
        QStringList stations;  // the table's stations after it
    } steps[] = {
        {"InsertRow", 1, {"K0+000", "", "K0+200", "K0+500", "K0+800"}},
        {"AddRow", 0, {"K0+000", "", "K0+200", "K0+500", "K0+800", ""}},
        {"DeleteRow", 2, {"K0+000", "", "K0+500", "K0+800", ""}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.action);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // leaves a new row's editor
        pvi->setFocus();
        pvi->selectionModel()->select(pvi->model()->index(step.selected, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        Trigger(window(), step.action);
        QStringList stations;
        for (int row = 0; row < Pvi().rowCount(); ++row) stations << Pvi().Cell(row, profile::kPviStation);
        EXPECT_EQ(stations.join(u','), step.stations.join(u','));
    }
}

// The name typed decides the format where it has a known extension; else the
// filter picked gives it. The same for every output of the window.
TEST_F(ProfileWindowTest, written_files_follow_the_typed_extension_else_the_filter) {
    PasteRows(TwoCurveRows());
    Control<QPushButton>("ListRun")->click();
    const struct {
        const char* command;  // an action, or a button of the listing
        const char* typed;
        const char* filter;  // picked; empty: the one offered first
        const char* written;
        const char* starts;  // the first bytes of the file written
    } cases[] = {
        {"ExportProfile", "x.csv", "LandXML 文件(*.xml)", "x.csv", "\xEF\xBB\xBF"},
        {"ExportProfile", "y", "LandXML 文件(*.xml)", "y.xml", "<?xml"},
        {"ExportProfile", "z", "CSV 文件(*.csv)", "z.csv", "\xEF\xBB\xBF"},
        {"ExportSheet", "sheet", "", "sheet.pdf", "%PDF"},
        {"ExportSheet", "cad", "DXF 图纸(*.dxf)", "cad.dxf", "999\r\n"},
        {"ListExportCsv", "list", "", "list.csv", "\xEF\xBB\xBF"},
        {"ListExportReport", "report", "", "report.txt", "\r\n"},
        {"ListExportReport", "report.dat", "所有文件(*.*)", "report.dat", "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        files.answers = {Path(c.typed)};
        if (*c.filter) files.pickedFilters = {QString::fromUtf8(c.filter)};
        if (QString::fromUtf8(c.command).startsWith("List")) {
            Control<QPushButton>(QString::fromUtf8(c.command))->click();
        } else {
            Trigger(window(), c.command);
        }
        // The sheets' dialog asks for the file when told to write.
        if (QString::fromUtf8(c.command) == "ExportSheet") Control<QPushButton>("SheetExportButton")->click();
        EXPECT_TRUE(ReadAll(Path(c.written)).startsWith(c.starts));
    }
    EXPECT_FALSE(QFile::exists(Path("y"))) << "no file without the extension";
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join('\n').toStdString();
}

// An export is an output: it never goes over the profile open in the window
// nor a table saved beside it, whatever the name typed says.
TEST_F(ProfileWindowTest, an_export_never_goes_over_the_open_profile_or_its_tables) {
    PasteRows(TwoCurveRows());
    files.answers = {Path("road.csv")};
    Trigger(window(), "ExportProfile");
    const QByteArray profile = ReadAll(Path("road.csv"));
    ASSERT_TRUE(profile.startsWith("\xEF\xBB\xBF"));
    Control<QPushButton>("ListRun")->click();
    const struct {
        const char* button;
        const char* typed;
        const char* filter;
    } cases[] = {{"ListExportCsv", "road", ""},
                 {"ListExportReport", "road.csv", "所有文件(*.*)"},
                 {"ListExportCsv", "road-交点表", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const qsizetype warned = messages.warnings.size();
        files.answers = {Path(c.typed)};
        if (*c.filter) files.pickedFilters = {QString::fromUtf8(c.filter)};
        Control<QPushButton>(QString::fromUtf8(c.button))->click();
        ASSERT_EQ(messages.warnings.size(), warned + 1);
        EXPECT_TRUE(messages.warnings.back().contains(QStringLiteral("导出不能写在它上面"))) << messages.warnings.back().toStdString();
    }
    EXPECT_EQ(ReadAll(Path("road.csv")), profile);
    EXPECT_FALSE(QFile::exists(Path("road-交点表.csv")));
}

TEST_F(ProfileWindowTest, dialogs_open_beside_the_profile_and_the_title_names_it) {
    ASSERT_TRUE(QFile::copy(DataFile("inframodel_m3_road.xml"), Path("road.xml")));
    ASSERT_TRUE(window().OpenFile(Path("road.xml")));
    EXPECT_TRUE(window().windowTitle().startsWith("road.xml")) << window().windowTitle().toStdString();
    EXPECT_FALSE(window().isWindowModified());

    const struct {
        const char* action;
        const char* start;
    } cases[] = {{"ExportProfile", "road.xml"}, {"ExportSheet", "road.pdf"}, {"ExportSvg", "road.svg"},
                 {"ImportProfile", "road.xml"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action);
        Trigger(window(), c.action);
        if (QString::fromUtf8(c.action) == "ExportSheet") Control<QPushButton>("SheetExportButton")->click();
        ASSERT_FALSE(files.calls.empty());
        EXPECT_EQ(files.calls.back().start, Path(c.start));
    }

    TypeCell(1, profile::kPviElevation, "17");
    EXPECT_TRUE(window().isWindowModified());
    window().UndoStack().undo();
    EXPECT_FALSE(window().isWindowModified());
    // Ctrl+Y redoes, as Ctrl+Shift+Z does.
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
        Control<QTableView>("PviTable")->setFocus();
        QTest::keySequence(&window(), keys);
        EXPECT_EQ(Pvi().Cell(1, profile::kPviElevation), "17") << keys.toString().toStdString();
        window().UndoStack().undo();
    }
}

TEST_F(ProfileWindowTest, a_failed_write_warns_and_new_asks_before_dropping_work) {
    PasteRows(TwoCurveRows());
    files.answers = {Path("none/x.csv")};
    Trigger(window(), "ExportProfile");
    EXPECT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(window().isWindowModified());

    messages.saveAnswers = {SaveChoice::Cancel, SaveChoice::Discard};
    Trigger(window(), "NewProfile");
    EXPECT_EQ(Pvi().rowCount(), 4) << "取消 keeps the work";
    Trigger(window(), "NewProfile");
    EXPECT_EQ(messages.questions.size(), 2);
    EXPECT_EQ(Pvi().rowCount(), 0);
    EXPECT_EQ(window().CurrentProfile(), nullptr);
    EXPECT_EQ(Control<QAbstractItemView>("ElementsTable")->model()->rowCount(), 0);
    EXPECT_FALSE(window().isWindowModified());
}

// The end the status line shows can be queried and listed as shown.
TEST_F(ProfileWindowTest, the_ends_shown_lie_on_the_profile) {
    for (const char* file : {"buildingsmart_stn02_chain.xml", "inframodel_m3_road.xml"}) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(window().OpenFile(DataFile(file)));
        // The end in the status line (rounded to the millimetre toward the
        // inside) and the exact end offered in 到 both query.
        const QString status = Control<QLabel>("ProfileStatus")->text();
        const qsizetype at = status.indexOf(QStringLiteral(" 至 ")) + 3;
        const QString shown = status.mid(at, status.indexOf(QStringLiteral("，"), at) - at);
        for (const QString& end : {shown, Control<QLineEdit>("ListTo")->text()}) {
            Control<QLineEdit>("QueryStation")->setText(end);
            EXPECT_TRUE(Control<QLabel>("QueryResult")->text().startsWith(QStringLiteral("高程")))
                << end.toStdString() << ": " << Control<QLabel>("QueryResult")->text().toStdString();
        }
        Control<QPushButton>("ListRun")->click();
        EXPECT_GT(Control<QAbstractItemView>("ListingTable")->model()->rowCount(), 10);
    }
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join('\n').toStdString();
}

TEST_F(ProfileWindowTest, a_block_of_elements_copies_with_its_header) {
    PasteRows(TwoCurveRows());
    auto* elements = Control<QTableView>("ElementsTable");
    elements->setFocus();
    elements->setCurrentIndex(elements->model()->index(0, 0));
    QTest::keyClick(elements, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keySequence(elements, QKeySequence::Copy);
    const QStringList lines = QApplication::clipboard()->text().split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("变坡点桩号\t变坡点高程\t"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("K0+200.000\t104.000\t"));
    EXPECT_TRUE(lines[2].startsWith("K0+500.000\t101.000\t"));
}

TEST_F(ProfileWindowTest, at_640_by_480_the_listing_fits_and_shows_rows) {
    PasteRows(TwoCurveRows());
    Control<QPushButton>("ListRun")->click();
    window().resize(640, 480);
    QTest::qWait(50);
    ASSERT_EQ(window().size(), QSize(640, 480));
    QList<QWidget*> controls;
    for (const char* name : {"ListFrom", "ListTo", "ListStep", "ListKeyPoints", "ListRun", "ListCopy",
                             "ListExportCsv", "ListExportReport", "QueryStation"}) {
        controls.append(Control<QWidget>(QString::fromUtf8(name)));
    }
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QRect a(controls[i]->mapTo(&window(), QPoint(0, 0)), controls[i]->size());
        EXPECT_GE(controls[i]->width(), controls[i]->minimumSizeHint().width()) << controls[i]->objectName().toStdString();
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            const QRect b(controls[j]->mapTo(&window(), QPoint(0, 0)), controls[j]->size());
            EXPECT_FALSE(a.intersects(b)) << controls[i]->objectName().toStdString() << " over "
                                          << controls[j]->objectName().toStdString();
        }
    }
    auto* listing = Control<QTableView>("ListingTable");
    EXPECT_GE(listing->viewport()->height(), 2 * listing->verticalHeader()->defaultSectionSize());
}

TEST_F(ProfileWindowTest, help_opens_the_manual_at_the_profile_window) {
    Trigger(window(), "ProfileManual");
    // Either a browser was started at the section, or the user was told why not.
    if (launcher.launches.empty()) {
        EXPECT_EQ(messages.warnings.size(), 1);
    } else {
        EXPECT_TRUE(launcher.launches.back().arguments.join(' ').endsWith("index.html#profile-window"))
            << launcher.launches.back().arguments.join(' ').toStdString();
    }
}

}  // namespace
}  // namespace tarnvel::ui::testing
