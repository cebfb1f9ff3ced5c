// The ground table (地面线) in the window: edits and their undo, a survey
// pasted from a spreadsheet, import and clearing, the marks on what does not
// read or fit, and the ground saved with the profile and opened again.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QUndoStack>

#include "tests/ui/profile/profile_fixture.h"
#include "ui/profile/edit_table_view.h"
#include "ui/profile/ground_table.h"
#include "ui/profile/profile_document.h"

namespace tarnvel::ui::testing {
namespace {

using profile::kGroundElevation;
using profile::kGroundStation;

class GroundTableTest : public ProfileWindowTest {
protected:
    profile::EditTableModel& Ground() { return window().Document().GroundTable(); }
    profile::ProfileDocument& Doc() { return window().Document(); }
    // Design K0+000 at 100 rising 2 % to the first curve at K0+170.
    void SetUpDesign() {
        PasteRows(TwoCurveRows());
        ASSERT_TRUE(window().CurrentProfile() != nullptr);
    }
    std::optional<double> GroundAt(double internal) {
        const auto line = Doc().CurrentGround();
        return line ? line->At(internal) : std::nullopt;
    }
};

TEST_F(GroundTableTest, ground_cells_edit_as_one_undo_step_each_and_count_as_changes) {
    SetUpDesign();
    QUndoStack& undo = window().UndoStack();
    undo.setClean();
    Ground().WriteBlock(0, 0, {{"K0+000", "101"}, {"K0+200", "101"}}, QStringLiteral("粘贴"));
    EXPECT_TRUE(Doc().IsModified()) << "a ground edit is a change to save";
    ASSERT_EQ(GroundAt(100), 101.0);

    Ground().setData(Ground().index(1, kGroundElevation), QStringLiteral("103"), Qt::EditRole);
    Ground().InsertEmptyRows(2, 1);
    Ground().setData(Ground().index(2, kGroundStation), QStringLiteral("K0+300"), Qt::EditRole);
    Ground().setData(Ground().index(2, kGroundElevation), QStringLiteral("99"), Qt::EditRole);
    ASSERT_EQ(undo.count(), 6) << "the design, then five ground edits";
    EXPECT_EQ(GroundAt(100), 102.0);
    EXPECT_EQ(GroundAt(250), 101.0);
    const std::vector<QStringList> edited = Ground().Rows();

    // Undo goes back edit by edit to the pasted ground; redo restores it all.
    for (int i = 0; i < 4; ++i) undo.undo();
    EXPECT_EQ(Ground().rowCount(), 2);
    EXPECT_EQ(GroundAt(100), 101.0);
    EXPECT_EQ(GroundAt(250), std::nullopt) << "no ground beyond the survey";
    undo.undo();
    EXPECT_EQ(Ground().rowCount(), 0);
    EXPECT_FALSE(Doc().CurrentGround());
    EXPECT_FALSE(Doc().IsModified());
    for (int i = 0; i < 5; ++i) undo.redo();
    EXPECT_EQ(Ground().Rows(), edited);
    EXPECT_EQ(GroundAt(250), 101.0);

    // A ground edit left unsaved is asked about before the window closes.
    messages.saveAnswers = {SaveChoice::Cancel};
    EXPECT_FALSE(window().close());
    EXPECT_EQ(messages.questions.size(), 1);
}

// A survey copied from a spreadsheet: its header row finds the columns among
// others, whichever cell is current; a block without a header goes where the
// cursor is, as in the PVI table.
TEST_F(GroundTableTest, a_pasted_survey_lands_in_its_columns) {
    SetUpDesign();
    const struct {
        const char* name;
        const char* clipboard;
        int currentColumn;
        std::vector<QStringList> rows;
    } cases[] = {
        {"survey with title, extra columns and a blank line",
         "某某公路地面线测量成果\t\t\t\t\r\n序号\t桩号\t偏距(m)\t地面高程\t备注\r\n1\tK0+000\t0\t101.20\t路中\r\n"
         "\t\t\t\t\r\n2\tＫ０＋１５０\t0.5\t１０２．５\t\"水田，\n边沟\"\r\n",
         kGroundElevation,
         {{"K0+000", "101.20"}, {"Ｋ０＋１５０", "１０２．５"}}},
        {"english header, ground before station", "Ground\tCode\tStation\n101\tA\t0\n102\tB\t150\n", kGroundStation,
         {{"0", "101"}, {"150", "102"}}},
        {"plain block at the current cell", "K0+000\t101\nK0+150\t102\n", kGroundStation,
         {{"K0+000", "101"}, {"K0+150", "102"}}},
        {"millimetres converted as the file readers convert them", "桩号[mm]\t地面高程[mm]\n0\t101200\n150000\t102500\n",
         kGroundStation, {{"K0+000.000", "101.2"}, {"K0+150.000", "102.5"}}},
    };
    auto* view = Control<profile::EditTableView>("GroundTable");
    ASSERT_NE(view, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Doc().ClearGround();
        Ground().InsertEmptyRows(0, 1);
        view->setCurrentIndex(Ground().index(0, c.currentColumn));
        QApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
        const int before = window().UndoStack().count();
        view->Paste();
        EXPECT_EQ(window().UndoStack().count(), before + 1);
        EXPECT_EQ(Ground().Rows(), c.rows);
        EXPECT_TRUE(Ground().Marks().empty()) << Ground().Marks().front().message.toStdString();
        EXPECT_TRUE(Doc().CurrentGround());
    }
}

// A survey in feet pasted beside a design in metres is not taken as metres:
// it lands as written, its header a row that is marked.
TEST_F(GroundTableTest, a_pasted_survey_in_another_unit_is_marked_not_read_as_metres) {
    SetUpDesign();
    auto* view = Control<profile::EditTableView>("GroundTable");
    ASSERT_NE(view, nullptr);
    Ground().InsertEmptyRows(0, 1);
    view->setCurrentIndex(Ground().index(0, kGroundStation));
    QApplication::clipboard()->setText(QStringLiteral("桩号[ft]\t地面高程[ft]\n0\t330\n500\t335\n"));
    view->Paste();
    EXPECT_EQ(Ground().Rows().front(), (QStringList{QStringLiteral("桩号[ft]"), QStringLiteral("地面高程[ft]")}));
    EXPECT_FALSE(Ground().Marks().empty());
}

TEST_F(GroundTableTest, a_row_that_does_not_read_or_fit_is_marked_and_the_design_still_shows) {
    SetUpDesign();
    Ground().WriteBlock(0, 0, {{"K0+000", "101"}, {"K0+200", "101"}, {"K0+300", "100"}}, QStringLiteral("粘贴"));
    ASSERT_TRUE(Doc().CurrentGround());
    const auto elements = Control<QAbstractItemView>("ElementsTable")->model();
    const struct {
        const char* name;
        int row, column;
        const char* text;
        const char* says;
    } cases[] = {
        {"a letter in the station", 1, kGroundStation, "K0+2O0", "K0+2O0"},
        {"an empty elevation", 2, kGroundElevation, "", "请输入"},
        {"beyond the profile's end", 2, kGroundStation, "K0+900", "第3行"},
        {"behind the point before", 2, kGroundStation, "K0+100", "第3行"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<QStringList> good = Ground().Rows();
        Ground().setData(Ground().index(c.row, c.column), QString::fromUtf8(c.text), Qt::EditRole);
        EXPECT_TRUE(MarkOf(Ground(), c.row, c.column).contains(QString::fromUtf8(c.says)))
            << MarkOf(Ground(), c.row, c.column).toStdString();
        EXPECT_TRUE(Ground().data(Ground().index(c.row, c.column), Qt::BackgroundRole).isValid());
        EXPECT_FALSE(Doc().CurrentGround());
        // The design is untouched: the profile, its elements and no mark of its own.
        ASSERT_TRUE(window().CurrentProfile() != nullptr);
        EXPECT_EQ(elements->rowCount(), 2);
        EXPECT_TRUE(Pvi().Marks().empty());
        EXPECT_TRUE(Control<QLabel>("ProfileStatus")->text().contains("地面线未显示"));
        window().UndoStack().undo();
        EXPECT_EQ(Ground().Rows(), good);
        EXPECT_TRUE(Ground().Marks().empty());
        EXPECT_TRUE(Doc().CurrentGround());
    }
    // A cell without a number stops the save before a path is asked for, as
    // it has nothing to write.
    Ground().setData(Ground().index(0, kGroundElevation), QStringLiteral("x"), Qt::EditRole);
    files.answers = {Path("p.xml")};
    Trigger(window(), "ExportProfile");
    ASSERT_FALSE(messages.prompts.isEmpty());
    EXPECT_TRUE(messages.prompts.back().contains("地面线表")) << messages.prompts.back().toStdString();
    EXPECT_TRUE(messages.warnings.isEmpty());
    EXPECT_NE(Doc().Save(Path("p.xml"), io::ProfileFormat::LandXml), QString());
    EXPECT_FALSE(QFile::exists(Path("p.xml")));
}

TEST_F(GroundTableTest, import_fills_the_table_as_one_step_and_clearing_is_one_too) {
    SetUpDesign();
    WriteAll(Path("survey.csv"), "测量成果\r\n桩号,偏距,地面高程\r\nK0+000,0,101\r\nK0+200,0,101.5\r\n");
    Ground().WriteBlock(0, 0, {{"K0+010", "90"}}, QStringLiteral("粘贴"));
    const std::vector<QStringList> typed = Ground().Rows();
    const int before = window().UndoStack().count();
    files.answers = {Path("survey.csv")};
    Trigger(window(), "ImportGround");
    EXPECT_TRUE(messages.warnings.isEmpty()) << messages.warnings.join('\n').toStdString();
    EXPECT_EQ(window().UndoStack().count(), before + 1);
    ASSERT_EQ(Ground().rowCount(), 2);
    EXPECT_EQ(GroundAt(200), 101.5);

    Trigger(window(), "ClearGround");
    EXPECT_EQ(Ground().rowCount(), 0);
    EXPECT_FALSE(Doc().CurrentGround());
    window().UndoStack().undo();
    EXPECT_EQ(GroundAt(200), 101.5);
    window().UndoStack().undo();
    EXPECT_EQ(Ground().Rows(), typed) << "undoing the import gives back the rows it replaced";
}

// A chain break (long chain of 50 at K0+400) so that some labels occur
// twice: the ground must come back at the very same places along the road.
TEST_F(GroundTableTest, the_ground_is_saved_with_the_profile_and_opened_again) {
    SetUpDesign();
    window().ChainModel().WriteBlock(0, 0, {{"K0+400", "K0+350"}}, QStringLiteral("粘贴"));
    Ground().WriteBlock(0, 0,
                        {{"K0+000", "101"}, {"K0+390(1)", "102.25"}, {"K0+360(2)", "103.125"}, {"K0+700", "0.1"}},
                        QStringLiteral("粘贴"));
    const auto saved = Doc().CurrentGround();
    ASSERT_TRUE(saved) << Doc().GroundStatus().toStdString();
    const struct {
        const char* name;
        const char* file;
        io::ProfileFormat format;
        const char* companion;  // the ground table written beside a CSV profile
    } cases[] = {
        {"LandXML ProfSurf", "road.xml", io::ProfileFormat::LandXml, nullptr},
        {"CSV with its ground table", "road.csv", io::ProfileFormat::Csv, "road-地面线.csv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Doc().Save(Path(c.file), c.format), QString());
        EXPECT_FALSE(Doc().IsModified());
        if (c.companion) {
            const QByteArray bytes = ReadAll(Path(QString::fromUtf8(c.companion)));
            EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF桩号(station),地面高程(ground)\r\n")) << bytes.left(60).toStdString();
        }
        auto other = MakeWindow();
        ASSERT_TRUE(other->OpenFile(Path(c.file)));
        const auto opened = other->Document().CurrentGround();
        ASSERT_TRUE(opened);
        EXPECT_EQ(opened->Stations(), saved->Stations());
        EXPECT_EQ(opened->Elevations(), saved->Elevations());
        EXPECT_EQ(other->Document().GroundTable().rowCount(), 4);
        EXPECT_TRUE(other->Document().GroundTable().Marks().empty());
        EXPECT_FALSE(other->Document().IsModified());
    }
    EXPECT_TRUE(messages.warnings.isEmpty()) << messages.warnings.join('\n').toStdString();

    // A companion that does not read: the profile opens, the user is told why.
    WriteAll(Path("road-地面线.csv"), "这不是地面线\r\n");
    {
        auto other = MakeWindow();
        ASSERT_TRUE(other->OpenFile(Path("road.csv")));
        EXPECT_TRUE(other->CurrentProfile() != nullptr);
        EXPECT_EQ(other->Document().GroundTable().rowCount(), 0);
        ASSERT_EQ(messages.warnings.size(), 1);
        EXPECT_TRUE(messages.warnings.front().contains("地面线未载入")) << messages.warnings.front().toStdString();
        // Saved again without ground, the table that did not load is left to be mended.
        ASSERT_EQ(other->Document().Save(Path("road.csv"), io::ProfileFormat::Csv), QString());
        EXPECT_EQ(ReadAll(Path("road-地面线.csv")), "这不是地面线\r\n");
    }
    // A cleared ground saved as CSV takes its companion away, so it cannot come back.
    Doc().ClearGround();
    ASSERT_EQ(Doc().Save(Path("road.csv"), io::ProfileFormat::Csv), QString());
    EXPECT_FALSE(QFile::exists(Path("road-地面线.csv")));
}

}  // namespace
}  // namespace tarnvel::ui::testing
