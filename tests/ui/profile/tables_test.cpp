// The PVI and chain tables: what a cell reads as, edits and their undo,
// spreadsheet paste and copy, and the marks on what does not read.

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QUndoStack>

#include "tests/ui/profile/profile_fixture.h"
#include "ui/profile/cell_text.h"
#include "ui/profile/chain_table.h"
#include "ui/profile/edit_table_view.h"
#include "ui/profile/pvi_table.h"

namespace tarnvel::ui::testing {
namespace {

using profile::kPviElevation;
using profile::kPviKind;
using profile::kPviLength;
using profile::kPviRadius;
using profile::kPviStation;

// One row of a table read alone: the columns that must be marked (empty:
// the row reads), and for a row that reads, its point.
struct RowCase {
    const char* name;
    QStringList cells;
    std::vector<int> marked;
    CurveKind kind = CurveKind::None;
    double station = 0, elevation = 0, radius = 0, length = 0;
};

TEST(PviRows, read_strictly_and_never_as_zero) {
    const CurveKind R = CurveKind::ParabolaRadius;
    const QString kindR = profile::KindText(R);
    const QString kindNone = profile::KindText(CurveKind::None);
    const RowCase cases[] = {
        {"k_notation_and_full_width", {"K1+２00.5", "１２.５", "", "", "", "", ""}, {}, CurveKind::None, 1200.5, 12.5},
        {"plus_sign_and_blanks", {" 350 ", " +7.25 ", "", "", "", "", ""}, {}, CurveKind::None, 350, 7.25},
        {"radius_alone_is_a_parabola_by_r", {"100", "5", "", "3000", "", "", ""}, {}, R, 100, 5, 3000},
        {"length_alone_is_a_parabola_by_l", {"100", "5", "", "", "80", "", ""}, {}, CurveKind::ParabolaLength, 100, 5, 0, 80},
        {"named_kind", {"100", "5", kindR, "2500", "", "", ""}, {}, R, 100, 5, 2500},
        {"empty_elevation", {"100", "", "", "", "", "", ""}, {kPviElevation}},
        {"comma_decimal", {"100", "12,5", "", "", "", "", ""}, {kPviElevation}},
        {"trailing_text", {"100", "12.5m", "", "", "", "", ""}, {kPviElevation}},
        {"not_finite", {"100", "inf", "", "", "", "", ""}, {kPviElevation}},
        {"bad_station", {"K1+2x0", "5", "", "", "", "", ""}, {kPviStation}},
        {"metres_past_999_in_k", {"K0+1000", "5", "", "", "", "", ""}, {kPviStation}},
        {"unknown_kind", {"100", "5", "抛物", "3000", "", "", ""}, {kPviKind}},
        {"radius_and_length_without_kind", {"100", "5", "", "3000", "80", "", ""}, {kPviKind}},
        {"radius_beside_no_curve", {"100", "5", kindNone, "3000", "", "", ""}, {kPviRadius}},
        {"kind_without_its_number", {"100", "5", kindR, "", "", "", ""}, {kPviRadius}},
        {"bad_radius", {"100", "5", "", "3千", "", "", ""}, {kPviRadius}},
    };
    for (const RowCase& c : cases) {
        SCOPED_TRACE(c.name);
        const profile::PviReading reading = profile::ReadPviRows({c.cells});
        std::vector<int> marked;
        for (const profile::CellMark& mark : reading.marks) {
            marked.push_back(mark.column);
            EXPECT_FALSE(mark.message.isEmpty());
        }
        EXPECT_EQ(marked, c.marked);
        if (!c.marked.empty()) continue;
        const ProfilePoint& point = reading.points.at(0);
        EXPECT_EQ(point.curve.kind, c.kind);
        EXPECT_EQ(point.station.value, c.station);
        EXPECT_EQ(point.elevation, c.elevation);
        EXPECT_EQ(point.curve.radius, c.radius);
        EXPECT_EQ(point.curve.length, c.length);
    }
}

TEST(PviRows, written_rows_read_back_to_the_same_points) {
    std::vector<ProfilePoint> points(4);
    points[0] = {Station{0.0004, 0}, 100.123456789012, {}};
    points[1] = {Station{5350, 2}, 99.5, {CurveKind::Circular, 4000, 0, 0, 0}};
    points[2] = {Station{5600, 0}, 98, {CurveKind::Unsymmetric, 0, 0, 40, 70}};
    points[3] = {Station{6000.25, 0}, -3, {}};
    const profile::PviReading reading = profile::ReadPviRows(profile::PviRowsOf(points));
    EXPECT_TRUE(reading.marks.empty());
    EXPECT_EQ(reading.points, points);

    const std::vector<ChainBreak> breaks = {{5400.5, 5350}, {7000, 7012.125}};
    const profile::ChainReading chains = profile::ReadChainRows(profile::ChainRowsOf(breaks));
    EXPECT_TRUE(chains.marks.empty());
    EXPECT_EQ(chains.breaks, breaks);
}

TEST(TabBlock, splits_spreadsheet_text_on_either_line_end_and_pads_short_rows) {
    const struct {
        const char* name;
        QString text;
        std::vector<QStringList> rows;
    } cases[] = {
        {"crlf", "a\tb\r\nc\td\r\n", {{"a", "b"}, {"c", "d"}}},
        {"lf_no_last_end", "a\tb\nc\td", {{"a", "b"}, {"c", "d"}}},
        {"short_row_padded", "a\tb\tc\nd\n", {{"a", "b", "c"}, {"d", "", ""}}},
        {"empty_cells_kept", "\t\tx\r\n", {{"", "", "x"}}},
        {"quoted_cell_with_tab_and_break", "1\t\"a\tb\r\nc \"\"d\"\"\"\r\n2\t3\r\n",
         {{"1", "a\tb\r\nc \"d\""}, {"2", "3"}}},
        {"unclosed_quote_kept_as_typed", "5\"\t\"6\n", {{"5\"", "\"6"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(profile::ParseTabBlock(c.text), c.rows);
    }
    EXPECT_EQ(profile::TabBlockText({{"a", "b"}, {"", "d"}}), "a\tb\r\n\td\r\n");
}

TEST_F(ProfileWindowTest, every_edit_is_one_undo_step_and_redo_restores_it) {
    QUndoStack& undo = window().UndoStack();
    PasteRows(TwoCurveRows());
    const std::vector<QStringList> pasted = Pvi().Rows();
    ASSERT_EQ(Pvi().rowCount(), 4);
    EXPECT_EQ(undo.count(), 1) << "a paste is one command";

    TypeCell(1, kPviElevation, "104.5");
    Pvi().InsertEmptyRows(2, 2);
    Pvi().RemoveRowRange(0, 1);
    ASSERT_EQ(undo.count(), 4);
    const std::vector<QStringList> edited = Pvi().Rows();
    EXPECT_EQ(edited.size(), 5u);
    EXPECT_EQ(edited[0][kPviElevation], "104.5");

    for (int i = 0; i < 3; ++i) undo.undo();
    EXPECT_EQ(Pvi().Rows(), pasted);
    undo.undo();
    EXPECT_EQ(Pvi().rowCount(), 0) << "undoing the paste removes the rows it added";
    for (int i = 0; i < 4; ++i) undo.redo();
    EXPECT_EQ(Pvi().Rows(), edited);

    // Typing the text a cell already holds is no edit.
    TypeCell(0, kPviElevation, edited[0][kPviElevation]);
    EXPECT_EQ(undo.count(), 4);
}

TEST_F(ProfileWindowTest, deleting_rows_apart_is_one_step_that_undoes_whole) {
    PasteRows(TwoCurveRows());
    const std::vector<QStringList> pasted = Pvi().Rows();
    auto* view = Control<profile::EditTableView>("PviTable");
    ASSERT_NE(view, nullptr);
    QItemSelection rows(Pvi().index(0, 0), Pvi().index(0, 1));
    rows.select(Pvi().index(2, 3), Pvi().index(2, 3));
    view->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    Control<QPushButton>("PviDelete")->click();
    ASSERT_EQ(Pvi().rowCount(), 2);
    EXPECT_EQ(Pvi().Cell(0, kPviStation), "K0+200");
    EXPECT_EQ(Pvi().Cell(1, kPviStation), "K0+800");
    window().UndoStack().undo();
    EXPECT_EQ(Pvi().Rows(), pasted);
}

TEST_F(ProfileWindowTest, paste_from_a_spreadsheet_at_the_current_cell_and_copy_back_out) {
    PasteRows(TwoCurveRows());
    auto* view = Control<profile::EditTableView>("PviTable");
    ASSERT_NE(view, nullptr);
    // Two rows from a spreadsheet over row 3 and a new row 4.
    view->setCurrentIndex(Pvi().index(3, kPviStation));
    QApplication::clipboard()->setText("K0+800\t104.5\r\nK1+000\t103\r\n");
    view->setFocus();
    QTest::keySequence(view, QKeySequence::Paste);
    ASSERT_EQ(Pvi().rowCount(), 5);
    EXPECT_EQ(Pvi().Cell(3, kPviElevation), "104.5");
    EXPECT_EQ(Pvi().Cell(4, kPviStation), "K1+000");
    EXPECT_EQ(window().UndoStack().count(), 2);
    ASSERT_TRUE(window().CurrentProfile() != nullptr);
    EXPECT_EQ(window().CurrentProfile()->EndStation(), 1000);

    view->selectionModel()->select(QItemSelection(Pvi().index(1, kPviStation), Pvi().index(2, kPviElevation)),
                                   QItemSelectionModel::ClearAndSelect);
    QTest::keySequence(view, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), "K0+200\t104\r\nK0+500\t101\r\n");

    // Delete empties the selected cells in one command.
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(Pvi().Cell(2, kPviElevation), "");
    window().UndoStack().undo();
    EXPECT_EQ(Pvi().Cell(2, kPviElevation), "101");
}

TEST_F(ProfileWindowTest, a_bad_cell_is_marked_and_the_rest_keeps_the_last_valid_profile) {
    PasteRows(TwoCurveRows());
    ASSERT_TRUE(window().CurrentProfile() != nullptr);
    const auto elements = Control<QAbstractItemView>("ElementsTable")->model();
    ASSERT_EQ(elements->rowCount(), 2);
    const QString radiusBefore = elements->index(1, 6).data().toString();

    TypeCell(2, kPviRadius, "3O00");  // a letter O for a zero
    EXPECT_FALSE(MarkOf(Pvi(), 2, kPviRadius).isEmpty());
    EXPECT_TRUE(Pvi().data(Pvi().index(2, kPviRadius), Qt::BackgroundRole).isValid());
    EXPECT_EQ(window().CurrentProfile()->Elements()[1].radius, 3000) << "never read as 0";
    EXPECT_EQ(elements->index(1, 6).data().toString(), radiusBefore);

    // Reads, but the curve now overlaps its neighbour: Resolve's message on the row.
    TypeCell(2, kPviRadius, "30000");
    bool marked = false;
    for (const profile::CellMark& mark : Pvi().Marks()) marked |= mark.row == 2 && mark.message.contains("重叠");
    EXPECT_TRUE(marked);
    EXPECT_EQ(window().CurrentProfile()->Elements()[1].radius, 3000);

    TypeCell(2, kPviRadius, "2500");
    EXPECT_TRUE(Pvi().Marks().empty());
    EXPECT_EQ(window().CurrentProfile()->Elements()[1].radius, 2500);
    EXPECT_EQ(elements->index(1, 6).data().toString(), "2500.000");
}

TEST_F(ProfileWindowTest, chain_table_cells_are_marked_like_the_pvi_table) {
    PasteRows(TwoCurveRows());
    profile::EditTableModel& chains = window().ChainModel();
    chains.WriteBlock(0, 0, {{"K0+400", "K0+390(2)"}}, QStringLiteral("粘贴"));
    EXPECT_FALSE(MarkOf(chains, 0, profile::kChainAhead).isEmpty());
    chains.WriteBlock(0, 0, {{"K0+400", "K0+350"}}, QStringLiteral("粘贴"));
    EXPECT_TRUE(chains.Marks().empty());
    ASSERT_TRUE(window().CurrentProfile() != nullptr);
    EXPECT_EQ(window().CurrentProfile()->Chains().Breaks().size(), 1u);
    EXPECT_EQ(window().CurrentProfile()->EndStation(), 850) << "a long chain of 50 lengthens the road";
}

}  // namespace
}  // namespace tarnvel::ui::testing

namespace tarnvel::ui::testing {
namespace {

// Columns sized from a sample: every text of the first and last rows fits
// whole, as does the header, however long the table.
TEST(ColumnWidths, fit_the_header_and_the_first_and_last_rows_of_a_long_table) {
    QUndoStack undo;
    profile::EditTableModel model({QStringLiteral("桩号"), QStringLiteral("一个很长很长的表头")}, undo);
    std::vector<QStringList> rows;
    for (int i = 0; i < 100'000; ++i) rows.push_back({QString::number(i), QStringLiteral("1")});
    rows.front()[1] = QStringLiteral("第一行的一段很长的文字");
    rows.back()[0] = QStringLiteral("K99+999.999(2)");
    model.ReplaceAll(std::move(rows));
    QTableView view;
    view.setModel(&model);
    profile::FitColumnsToSample(&view);
    const QFontMetrics metrics(view.font());
    const int room = 2 * (view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1);
    const struct {
        int row, column;
    } widest[] = {{0, 1}, {99'999, 0}};
    for (const auto& w : widest) {
        const QString text = model.Cell(w.row, w.column);
        EXPECT_GE(view.columnWidth(w.column) - room, metrics.horizontalAdvance(text)) << text.toStdString();
    }
    for (int column = 0; column < 2; ++column)
        EXPECT_GE(view.columnWidth(column), view.horizontalHeader()->sectionSizeHint(column));
}

}  // namespace
}  // namespace tarnvel::ui::testing
