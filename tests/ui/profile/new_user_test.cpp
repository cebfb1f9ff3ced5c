// A new user's day in the profile window: typing a profile from nothing,
// importing a ground line, listing, reporting, saving and reopening. What
// they see must read whole and say the same as every other output.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <string>

#include "core/text/messages.h"
#include "io/gbk.h"
#include "tests/ui/profile/profile_fixture.h"
#include "ui/profile/profile_document.h"
#include "ui/profile/pvi_table.h"
#include "ui/profile/sheet_export_dialog.h"

namespace tarnvel::ui::testing {
namespace {

// Every cell of the first rows shows whole: no "K…" for a station.
void ExpectCellsShownWhole(const QTableView& view) {
    const QAbstractItemModel& model = *view.model();
    ASSERT_GT(model.rowCount(), 0) << view.objectName().toStdString();
    for (int r = 0; r < std::min(model.rowCount(), 20); ++r)
        for (int c = 0; c < model.columnCount(); ++c) {
            const QString text = model.index(r, c).data().toString();
            EXPECT_LE(view.fontMetrics().horizontalAdvance(text), view.columnWidth(c))
                << view.objectName().toStdString() << " row " << r << " column " << c << ": " << text.toStdString();
        }
}

// Types a row cell by cell at the end of the PVI table, as a person does.
class NewUserTest : public ProfileWindowTest {
protected:
    void TypeRow(const QStringList& cells) {
        const int row = Pvi().rowCount();
        Pvi().InsertEmptyRows(row, 1);
        for (int c = 0; c < cells.size(); ++c)
            if (!cells[c].isEmpty()) TypeCell(row, c, cells[c]);
        QCoreApplication::processEvents();
    }
};

TEST_F(NewUserTest, after_new_the_tables_fit_what_is_typed_and_imported) {
    Trigger(window(), "NewProfile");
    // Nothing typed yet is a start, not a problem.
    const QString hint = Control<QLabel>("ProfileStatus")->text();
    EXPECT_FALSE(hint.contains(QStringLiteral("问题"))) << hint.toStdString();
    EXPECT_TRUE(hint.contains(QStringLiteral("请导入"))) << hint.toStdString();

    TypeRow({"K0+000", "100"});
    TypeRow({"K0+200", "104", "", "2000"});
    TypeRow({"K1+500", "101"});
    ASSERT_TRUE(window().CurrentProfile());
    ExpectCellsShownWhole(*Control<QTableView>("PviTable"));
    ExpectCellsShownWhole(*Control<QTableView>("ElementsTable"));

    WriteAll(Path("ground.csv"), "桩号,地面高程\r\nK0+000.125,101.5\r\nK0+700.375,103.25\r\nK1+499.875,104.125\r\n");
    files.answers = {Path("ground.csv")};
    Trigger(window(), "ImportGround");
    QCoreApplication::processEvents();
    ASSERT_TRUE(window().Document().CurrentGround());
    ExpectCellsShownWhole(*Control<QTableView>("GroundTable"));
}

TEST_F(NewUserTest, the_listing_range_follows_the_profile_and_keeps_the_users_own_choice) {
    TypeRow({"K0+000", "100"});
    TypeRow({"K0+200", "104"});
    TypeRow({"K0+500", "101", "", "3000"});
    TypeRow({"K2+900", "110"});
    auto list = [&] {
        Control<QPushButton>("ListRun")->click();
        const QAbstractItemModel& listing = *Control<QTableView>("ListingTable")->model();
        return std::pair{listing.index(0, 0).data().toString().toStdString(),
                         listing.index(listing.rowCount() - 1, 0).data().toString().toStdString()};
    };
    EXPECT_EQ(list(), (std::pair<std::string, std::string>("K0+000.000", "K2+900.000")));

    // A start of the user's own stays as the end grows; an end beyond the
    // road once it shrinks follows it.
    Control<QLineEdit>("ListFrom")->setText(QStringLiteral("K0+100"));
    Control<QLineEdit>("ListTo")->setText(QStringLiteral("K2+800"));
    TypeRow({"K3+100", "111"});
    EXPECT_EQ(list(), (std::pair<std::string, std::string>("K0+100.000", "K2+800.000")));
    Pvi().RemoveRowRange(2, 3);
    EXPECT_EQ(list(), (std::pair<std::string, std::string>("K0+100.000", "K0+200.000")));
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join('\n').toStdString();
}

// The query answers on one line with the listing's digits; the listing's
// Ctrl+C copies what 复制 copies; the report is signed with the names given
// for the sheets, else left blank.
TEST_F(NewUserTest, query_listing_copy_and_report_say_what_the_listing_says) {
    PasteRows(TwoCurveRows());
    auto* query = Control<QLineEdit>("QueryStation");
    query->setText(QStringLiteral("K0+210"));
    const QString answer = window().findChild<QLabel*>("QueryResult")->text();
    EXPECT_FALSE(window().findChild<QLabel*>("QueryResult")->wordWrap());
    Control<QLineEdit>("ListFrom")->setText(QStringLiteral("K0+210"));
    Control<QLineEdit>("ListTo")->setText(QStringLiteral("K0+800"));
    Control<QPushButton>("ListRun")->click();
    auto* table = Control<QTableView>("ListingTable");
    const QAbstractItemModel& listing = *table->model();
    ASSERT_EQ(listing.index(0, 0).data().toString(), "K0+210.000");
    for (int column : {1, 2})
        EXPECT_TRUE(answer.contains(QStringLiteral(" ") + listing.index(0, column).data().toString() + QStringLiteral(" ")) ||
                    answer.contains(QStringLiteral(" ") + listing.index(0, column).data().toString() + QStringLiteral("%")))
            << answer.toStdString() << " lacks " << listing.index(0, column).data().toString().toStdString();
    // 到 holds a station to the micrometre.
    const QLineEdit& to = *Control<QLineEdit>("ListTo");
    EXPECT_GE(to.width(), to.fontMetrics().horizontalAdvance(QStringLiteral("K1+266.246171")));

    Control<QPushButton>("ListCopy")->click();
    const QString copied = QApplication::clipboard()->text();
    QApplication::clipboard()->clear();
    table->setFocus();
    table->selectAll();
    QTest::keySequence(table, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), copied);

    const auto footer = [&](const QString& file) {
        files.answers = {Path(file)};
        Control<QPushButton>("ListExportReport")->click();
        const QString text = QString::fromStdString(io::GbkToUtf8(ReadAll(Path(file)).toStdString()));
        return text.section(QStringLiteral("\r\n"), -2, -2);
    };
    EXPECT_EQ(footer("blank.txt"), QStringLiteral("设计：    复核：    审核："));
    Trigger(window(), "ExportSheet");
    auto* dialog = window().findChild<profile::SheetExportDialog*>(QStringLiteral("SheetExportDialog"));
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit*>("SheetDesigner")->setText(QStringLiteral("张工"));
    dialog->findChild<QLineEdit*>("SheetApprover")->setText(QStringLiteral("李总"));
    dialog->findChild<QPushButton*>("SheetPreviewButton")->click();
    EXPECT_EQ(footer("signed.txt"), QStringLiteral("设计：张工    复核：    审核：李总"));
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join('\n').toStdString();
}

TEST_F(NewUserTest, saving_a_profile_that_fails_its_checks_asks_first) {
    std::vector<QStringList> rows = TwoCurveRows();
    rows[1][profile::kPviRadius] = "200000";  // a curve longer than its tangents
    PasteRows(rows);
    ASSERT_FALSE(window().Document().TableProblem().isEmpty());
    const struct {
        SaveChoice answer;
        const char* file;
        bool written;
    } cases[] = {{SaveChoice::Cancel, "kept.csv", false}, {SaveChoice::Discard, "kept2.csv", false},
                 {SaveChoice::Save, "anyway.csv", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        messages.questions.clear();
        messages.saveAnswers = {c.answer};
        files.answers = {Path(QString::fromUtf8(c.file))};
        files.pickedFilters = {QStringLiteral("CSV 文件(*.csv)")};
        Trigger(window(), "SaveProfile");
        ASSERT_EQ(messages.questions.size(), 1);
        EXPECT_TRUE(messages.questions.front().contains(QStringLiteral("未通过检查")));
        EXPECT_EQ(QFile::exists(Path(QString::fromUtf8(c.file))), c.written);
    }
    // Once saved, Ctrl+S to the same file asks again.
    messages.questions.clear();
    Trigger(window(), "SaveProfile");
    EXPECT_EQ(messages.questions.size(), 1);
}

TEST_F(NewUserTest, touching_curves_adjusted_are_noted_and_ground_is_offered_as_csv) {
    ASSERT_TRUE(window().OpenFile(DataFile("buildingsmart_al01_overlap.xml")));
    const auto profile = window().CurrentProfile();
    ASSERT_TRUE(profile);
    ASSERT_EQ(profile->Notes().size(), 1u);
    const QString note = QString::fromStdString(DescribeProfileProblem(profile->Notes().front()));
    EXPECT_TRUE(Control<QLabel>("ProfileStatus")->text().contains(QStringLiteral("注意：") + note))
        << Control<QLabel>("ProfileStatus")->text().toStdString();

    Trigger(window(), "ImportGround");  // cancelled
    ASSERT_FALSE(files.calls.empty());
    EXPECT_TRUE(files.calls.back().start.endsWith(QStringLiteral("buildingsmart_al01_overlap-地面线.csv")))
        << files.calls.back().start.toStdString();
}

TEST_F(NewUserTest, recent_files_are_kept_absolute_and_once) {
    PasteRows(TwoCurveRows());
    files.answers = {Path("road.csv")};
    files.pickedFilters = {QStringLiteral("CSV 文件(*.csv)")};
    Trigger(window(), "ExportProfile");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Path("")));
    const bool opened = window().OpenFile(QStringLiteral("road.csv")) && window().OpenFile(QStringLiteral("./road.csv"));
    QDir::setCurrent(before);
    ASSERT_TRUE(opened);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* first = window().findChild<QAction*>("RecentFile1");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->text().endsWith(QDir(Path("")).canonicalPath() + QStringLiteral("/road.csv"))) << first->text().toStdString();
    EXPECT_EQ(window().findChild<QAction*>("RecentFile2"), nullptr);
}

}  // namespace
}  // namespace tarnvel::ui::testing
