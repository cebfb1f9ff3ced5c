// The profile window as a whole: selection kept in step, the query, files
// through the dialog seam, the question on close, the sheet and the settings.

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QUndoStack>

#include <functional>
#include <optional>

#include "tests/ui/profile/profile_fixture.h"
#include "tests/ui/support/window_fixture.h"
#include "core/drawing/plot_axes.h"
#include "ui/profile/plot/plot_widget.h"
#include "ui/profile/pvi_table.h"
#include "ui/main/tarnvel.h"

namespace tarnvel::ui::testing {
namespace {

TEST_F(ProfileWindowTest, selecting_a_pvi_selects_it_in_the_other_table_and_the_plot) {
    PasteRows(TwoCurveRows());
    auto* pvi = Control<QAbstractItemView>("PviTable");
    auto* elements = Control<QAbstractItemView>("ElementsTable");
    auto* plot = Control<PlotWidget>("ProfilePlot");
    ASSERT_TRUE(pvi && elements && plot);

    pvi->setCurrentIndex(pvi->model()->index(2, 0));
    EXPECT_EQ(elements->currentIndex().row(), 1);
    EXPECT_EQ(plot->selectedPvi(), 1);

    elements->setCurrentIndex(elements->model()->index(0, 3));
    EXPECT_EQ(pvi->currentIndex().row(), 1);
    EXPECT_EQ(plot->selectedPvi(), 0);

    emit plot->pviClicked(1);
    EXPECT_EQ(pvi->currentIndex().row(), 2);
    EXPECT_EQ(elements->currentIndex().row(), 1);

    // The start point has no curve elements: nothing there is selected.
    pvi->setCurrentIndex(pvi->model()->index(0, 0));
    EXPECT_EQ(plot->selectedPvi(), -1);
    EXPECT_FALSE(elements->selectionModel()->hasSelection());
}

// The plot zoomed in at the start: a PVI chosen in either table and a station
// queried far along are brought into view; the query is marked.
TEST_F(ProfileWindowTest, the_plot_brings_a_chosen_pvi_or_a_queried_station_into_view) {
    PasteRows(TwoCurveRows());
    auto* pvi = Control<QAbstractItemView>("PviTable");
    auto* elements = Control<QAbstractItemView>("ElementsTable");
    auto* plot = Control<PlotWidget>("ProfilePlot");
    auto* query = Control<QLineEdit>("QueryStation");
    ASSERT_TRUE(pvi && elements && plot && query);
    const Profile& profile = *plot->profile();
    const QRectF frame = [&] {
        const DeviceRect f = PlotFrame({0, 0, static_cast<double>(plot->width()), static_cast<double>(plot->height())});
        return QRectF(f.left, f.top, f.width, f.height);
    }();
    auto inView = [&](double station, double elevation) {
        const DevicePoint d = plot->viewTransform().ToDevice({station, elevation});
        return frame.contains(QPointF(d.x, d.y));
    };
    auto zoomAtStart = [&] {
        plot->setViewTransform(ViewTransform::Fit({0, 20, 100, 100.4}, {frame.left(), frame.top(), frame.width(),
                                                                          frame.height()}, plot->exaggeration()));
    };
    const struct {
        const char* name;
        std::function<void()> choose;
        double station, elevation;
    } cases[] = {
        {"elements table", [&] { elements->setCurrentIndex(elements->model()->index(1, 0)); }, 500, 101},
        {"PVI table", [&] { pvi->setCurrentIndex(pvi->model()->index(1, 2)); }, 200, 104},
        {"query", [&] { query->setText(QStringLiteral("K0+780")); }, 780, profile.At(780).elevation},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        zoomAtStart();
        ASSERT_FALSE(inView(c.station, c.elevation));
        c.choose();
        EXPECT_TRUE(inView(c.station, c.elevation));
    }
    ASSERT_TRUE(plot->queryStation());
    EXPECT_EQ(*plot->queryStation(), 780);
    // An edit keeps the mark where the user put it and the view where it is.
    zoomAtStart();
    const ViewTransform view = plot->viewTransform();
    TypeCell(1, 1, QStringLiteral("104.5"));
    EXPECT_EQ(plot->viewTransform(), view);
    EXPECT_EQ(plot->queryStation(), std::optional<double>(780));
    query->setText(QStringLiteral("K0+900"));  // past the end
    EXPECT_FALSE(plot->queryStation());
}

TEST_F(ProfileWindowTest, query_gives_elevation_and_grade_or_the_reason) {
    PasteRows(TwoCurveRows());
    window().ChainModel().WriteBlock(0, 0, {{"K0+650", "K0+600"}}, QStringLiteral("粘贴"));
    const struct {
        const char* station;
        const char* shown;  // a part of the answer
    } cases[] = {
        {"K0+100", "高程 102.000 m    纵坡 2.0000%"},  // the listing's digits
        {"200", "高程 103.775 m    纵坡 0.5000%"},
        {"K0+620(1)", "高程 102.029 m    纵坡 0.8571%"},  // (104 − 101) / (850 − 500) along the road
        {"K0+620", "(2)"},  // behind the long chain the label occurs twice
        {"K0+900", "K0+900"},  // past the end: the reason names the station
        {"K0+2x0", "K0+2x0"},
    };
    auto* box = Control<QLineEdit>("QueryStation");
    auto* answer = Control<QLabel>("QueryResult");
    ASSERT_TRUE(box && answer);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.station);
        box->setText(QString::fromUtf8(c.station));
        EXPECT_TRUE(answer->text().contains(QString::fromUtf8(c.shown))) << answer->text().toStdString();
    }
}

TEST_F(ProfileWindowTest, files_round_trip_in_the_format_of_the_picked_filter) {
    PasteRows(TwoCurveRows());
    window().ChainModel().WriteBlock(0, 0, {{"K0+650", "K0+600"}}, QStringLiteral("粘贴"));
    const struct {
        const char* name;
        const char* filter;
        char firstByte;  // after the UTF-8 byte-order mark, if any
    } cases[] = {{"profile.xml", "LandXML 文件(*.xml)", '<'}, {"profile", "CSV 文件(*.csv)", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        files.answers = {Path(c.name)};
        files.pickedFilters = {QString::fromUtf8(c.filter)};
        Trigger(window(), "ExportProfile");
        QString written = Path(c.name);
        if (!written.contains('.')) written += ".csv";
        QByteArray bytes = ReadAll(written);
        if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_EQ(bytes.front() == '<', c.firstByte == '<');
        EXPECT_TRUE(window().UndoStack().isClean());

        auto other = MakeWindow();
        ASSERT_TRUE(other->OpenFile(written));
        ASSERT_TRUE(other->CurrentProfile() != nullptr);
        // LandXML writes a parabola by its length, so compare the curves' elements.
        const auto& read = other->CurrentProfile()->Elements();
        const auto& saved = window().CurrentProfile()->Elements();
        ASSERT_EQ(read.size(), saved.size());
        for (std::size_t i = 0; i < read.size(); ++i) {
            EXPECT_EQ(read[i].pviStation, saved[i].pviStation);
            EXPECT_EQ(read[i].pviElevation, saved[i].pviElevation);
            EXPECT_DOUBLE_EQ(read[i].length, saved[i].length);
        }
        EXPECT_EQ(other->CurrentProfile()->Model().chains, window().CurrentProfile()->Model().chains);
        EXPECT_EQ(other->PviModel().rowCount(), 4);
    }
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join('\n').toStdString();
}

TEST_F(ProfileWindowTest, a_failed_load_changes_nothing_and_says_why) {
    PasteRows(TwoCurveRows());
    const std::vector<QStringList> rows = Pvi().Rows();
    QFile bad(Path("bad.xml"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("<LandXML><Alignments><Alignment name=\"A\"><Profile><ProfAlign name=\"P\"><PVI>0 x</PVI>");
    bad.close();

    EXPECT_FALSE(window().OpenFile(Path("bad.xml")));
    EXPECT_FALSE(window().OpenFile(Path("missing.csv")));
    ASSERT_EQ(messages.prompts.size(), 2);
    EXPECT_TRUE(messages.prompts[0].contains("bad.xml"));
    EXPECT_TRUE(messages.prompts[1].contains("missing.csv"));
    EXPECT_EQ(Pvi().Rows(), rows);
    EXPECT_EQ(window().UndoStack().count(), 1) << "the edit history is kept";
}

TEST_F(ProfileWindowTest, unsaved_changes_are_asked_about_before_they_are_lost) {
    PasteRows(TwoCurveRows());
    messages.saveAnswers = {SaveChoice::Cancel};
    EXPECT_FALSE(window().close());
    EXPECT_TRUE(window().isVisible());

    // 保存 with a cancelled file dialog does not close either.
    messages.saveAnswers = {SaveChoice::Save};
    EXPECT_FALSE(window().close());

    messages.saveAnswers = {SaveChoice::Save};
    files.answers = {Path("kept.csv")};
    files.pickedFilters = {"CSV 文件(*.csv)"};
    EXPECT_TRUE(window().close());
    EXPECT_FALSE(ReadAll(Path("kept.csv")).isEmpty());
    EXPECT_EQ(messages.questions.size(), 3);

    // A saved window closes without a question; a discarded edit is lost on purpose.
    window().show();
    TypeCell(0, profile::kPviElevation, "99");
    messages.saveAnswers = {SaveChoice::Discard};
    EXPECT_TRUE(window().close());
    EXPECT_EQ(messages.questions.size(), 4);
}

TEST_F(ProfileWindowTest, a_file_whose_profile_does_not_resolve_loads_with_its_marks) {
    // Saved work in progress: the second curve overlaps the first.
    std::vector<QStringList> rows = TwoCurveRows();
    rows[2][profile::kPviRadius] = "30000";
    PasteRows(rows);
    EXPECT_FALSE(window().CurrentProfile() != nullptr);
    files.answers = {Path("overlap.csv")};
    files.pickedFilters = {"CSV 文件(*.csv)"};
    messages.saveAnswers = {SaveChoice::Save};  // saved as it is, though it fails its checks
    Trigger(window(), "ExportProfile");

    // A window showing a valid profile opens it: nothing shows the old one.
    ResetWindow(MakeWindow());
    window().show();
    PasteRows(TwoCurveRows());
    Control<QPushButton>("ListRun")->click();
    ASSERT_TRUE(window().CurrentProfile() != nullptr);
    ASSERT_TRUE(window().OpenFile(Path("overlap.csv")));
    EXPECT_FALSE(window().CurrentProfile() != nullptr);
    EXPECT_FALSE(Pvi().Marks().empty());
    EXPECT_EQ(Control<QAbstractItemView>("ElementsTable")->model()->rowCount(), 0);
    EXPECT_EQ(Control<QAbstractItemView>("ListingTable")->model()->rowCount(), 0);
    EXPECT_FALSE(Control<PlotWidget>("ProfilePlot")->profile());
    window().repaint();

    // Mended, it shows and offers its whole length again.
    TypeCell(2, profile::kPviRadius, "3000");
    EXPECT_TRUE(window().CurrentProfile() != nullptr);
    EXPECT_EQ(Control<QLineEdit>("ListTo")->text(), "K0+800.000");
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join('\n').toStdString();
}

TEST_F(ProfileWindowTest, several_profiles_in_one_file_are_offered_in_the_chooser) {
    PasteRows(TwoCurveRows());
    files.answers = {Path("one.xml")};
    Trigger(window(), "ExportProfile");
    // The same profile twice under two names in one LandXML file.
    QByteArray xml = ReadAll(Path("one.xml"));
    const qsizetype from = xml.indexOf("<Alignment ");
    const qsizetype to = xml.indexOf("</Alignment>") + qsizetype(sizeof("</Alignment>") - 1);
    ASSERT_TRUE(from > 0 && to > from);
    QByteArray second = xml.mid(from, to - from);
    second.replace("name=\"", "name=\"B");
    xml.insert(to, second);
    QFile two(Path("two.xml"));
    ASSERT_TRUE(two.open(QIODevice::WriteOnly));
    two.write(xml);
    two.close();

    ASSERT_TRUE(window().OpenFile(Path("two.xml")));
    auto* chooser = Control<QComboBox>("ProfileChooser");
    ASSERT_NE(chooser, nullptr);
    ASSERT_EQ(chooser->count(), 2);
    EXPECT_FALSE(chooser->isHidden());
    TypeCell(1, profile::kPviElevation, "105");
    messages.saveAnswers = {SaveChoice::Discard};
    chooser->setCurrentIndex(1);
    emit chooser->activated(1);
    EXPECT_EQ(Pvi().Cell(1, profile::kPviElevation), "104");
    EXPECT_TRUE(window().UndoStack().isClean());
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join('\n').toStdString();
}

TEST_F(ProfileWindowTest, the_pdf_sheet_and_pictures_are_written) {
    Trigger(window(), "ExportSheet");
    Control<QPushButton>("SheetExportButton")->click();
    ASSERT_EQ(messages.prompts.size(), 1) << "nothing to draw yet";
    PasteRows(TwoCurveRows());
    Control<QLineEdit>("SheetProject")->setText("测试路 K0+000～K0+800");
    files.answers = {Path("sheet.pdf"), Path("plot.png"), Path("plot.svg")};
    Control<QPushButton>("SheetExportButton")->click();
    Trigger(window(), "ExportPng");
    Trigger(window(), "ExportSvg");
    EXPECT_TRUE(ReadAll(Path("sheet.pdf")).startsWith("%PDF"));
    EXPECT_TRUE(ReadAll(Path("plot.png")).startsWith("\x89PNG"));
    EXPECT_TRUE(ReadAll(Path("plot.svg")).contains("<svg"));
    EXPECT_EQ(messages.prompts.size(), 1) << messages.prompts.join('\n').toStdString();
}

TEST_F(ProfileWindowTest, listing_is_exported_as_csv_with_bom_and_as_the_gbk_report) {
    PasteRows(TwoCurveRows());
    Control<QLineEdit>("ListFrom")->setText("K0+150");
    Control<QLineEdit>("ListTo")->setText("K0+250");
    Control<QLineEdit>("ListStep")->setText("50");
    Control<QPushButton>("ListRun")->click();
    auto* table = Control<QAbstractItemView>("ListingTable");
    // 150, 170 start, 200 PVI, 210 high point, 230 end, 250.
    ASSERT_EQ(table->model()->rowCount(), 6);
    EXPECT_EQ(table->model()->index(3, 3).data().toString(), "最高点");
    EXPECT_EQ(table->model()->index(2, 1).data().toString(), "103.775");

    // Ctrl+C copies the selected rows under their headers, ready for a spreadsheet.
    table->selectionModel()->select(QItemSelection(table->model()->index(1, 0), table->model()->index(2, 1)),
                                    QItemSelectionModel::ClearAndSelect);
    table->setFocus();
    QTest::keySequence(table, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), "桩号\t设计高程\r\nK0+170.000\t103.400\r\nK0+200.000\t103.775\r\n");

    files.answers = {Path("list.csv"), Path("list.txt")};
    Control<QPushButton>("ListExportCsv")->click();
    Control<QPushButton>("ListExportReport")->click();
    const QByteArray csv = ReadAll(Path("list.csv"));
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(csv.contains("103.775"));
    const QByteArray report = ReadAll(Path("list.txt"));
    EXPECT_TRUE(report.startsWith("\r\n\r\n"));
    EXPECT_TRUE(report.contains("103.775"));
    EXPECT_FALSE(report.contains("\xE9\xAB\x98")) << "GBK, not UTF-8";
    EXPECT_EQ(report.count("\n"), report.count("\r\n"));

    // An edit lists again with the same range.
    TypeCell(1, profile::kPviElevation, "105");
    EXPECT_NE(table->model()->index(2, 1).data().toString(), "103.775");
}

TEST_F(ProfileWindowTest, the_offered_range_lists_without_a_change) {
    // Ends off the millimetre: the boxes offer them as they are, so the
    // listing the window offers lies on the profile and reaches both ends.
    std::vector<QStringList> rows = TwoCurveRows();
    rows.front()[profile::kPviStation] = "-0.0004";
    rows.back()[profile::kPviStation] = "K0+800.0006";
    PasteRows(rows);
    EXPECT_EQ(Control<QLineEdit>("ListFrom")->text(), "-K0+000.0004");
    EXPECT_EQ(Control<QLineEdit>("ListTo")->text(), "K0+800.0006");
    Control<QPushButton>("ListRun")->click();
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join('\n').toStdString();
    const QAbstractItemModel& listing = *Control<QAbstractItemView>("ListingTable")->model();
    ASSERT_GT(listing.rowCount(), 40);
    EXPECT_EQ(listing.index(0, 3).data().toString(), "起点");
    EXPECT_EQ(listing.index(listing.rowCount() - 1, 0).data().toString(), "K0+800.001");
    EXPECT_EQ(listing.index(listing.rowCount() - 1, 3).data().toString(), "终点");
}

TEST_F(ProfileWindowTest, size_splitters_and_recent_files_are_remembered) {
    PasteRows(TwoCurveRows());
    files.answers = {Path("recent.csv")};
    files.pickedFilters = {"CSV 文件(*.csv)"};
    Trigger(window(), "ExportProfile");
    auto* splitter = Control<QSplitter>("MainSplitter");
    splitter->setSizes({300, 900});
    const QList<int> sizes = splitter->sizes();
    ASSERT_TRUE(window().close());

    ResetWindow(MakeWindow());
    window().show();
    EXPECT_EQ(Control<QSplitter>("MainSplitter")->sizes(), sizes);
    auto* recent = window().findChild<QAction*>("RecentFile1");
    ASSERT_NE(recent, nullptr);
    recent->trigger();
    EXPECT_EQ(Pvi().rowCount(), 4);
}

// The main window's tools menu opens one profile window, whatever the clicks.
using MainWindowMenu = WindowTest;
TEST_F(MainWindowMenu, opens_one_profile_window) {
    ChooseMenuItem("ProfileWindowMenu");
    ChooseMenuItem("ProfileWindowMenu");
    int open = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == "ProfileWindow" && top->isVisible()) {
            ++open;
            EXPECT_TRUE(top->windowTitle().contains("纵断面计算")) << top->windowTitle().toStdString();
        }
    }
    EXPECT_EQ(open, 1);
}

// Ending the program from the main window asks the profile window first.
TEST(MainWindowQuit, waits_for_the_profile_windows_question) {
    ModalWatchdog watchdog;
    FakeMessageBox messages;
    FakeFileDialog files;
    FakeLauncher launcher;
    Tarnvel main(Services{messages, files, launcher});
    main.findChild<QAction*>("ProfileWindowMenu")->trigger();
    ProfileWindow* profile = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<ProfileWindow*>(top)) profile = window;
    }
    ASSERT_NE(profile, nullptr);
    profile->PviModel().WriteBlock(0, 0, TwoCurveRows(), QStringLiteral("粘贴"));

    messages.saveAnswers = {SaveChoice::Cancel};
    main.findChild<QAction*>("Exit")->trigger();
    EXPECT_EQ(messages.questions.size(), 1);
    EXPECT_TRUE(profile->isVisible()) << "取消 keeps the program and the edits";

    profile->UndoStack().setClean();
    profile->close();
}

}  // namespace
}  // namespace tarnvel::ui::testing
