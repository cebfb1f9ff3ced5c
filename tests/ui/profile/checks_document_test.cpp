// The document's control table and criteria, on the shared check cases: the
// same checks as the core and tarnvel-cli, marked in the tables, undone, and
// kept with the profile in both file formats.

#include <QFile>
#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

#include "io/control_files.h"
#include "tests/check_cases.h"
#include "ui/profile/control_table.h"
#include "ui/profile/profile_document.h"
#include "ui/profile/pvi_table.h"

namespace tarnvel::ui::profile {
namespace {

bool HasMark(const EditTableModel& model, int row, int column, const char* words) {
    for (const CellMark& m : model.Marks())
        if (m.row == row && m.column == column && m.message.contains(QString::fromUtf8(words))) return true;
    return false;
}

TEST(ProfileDocumentChecks, controls_and_criteria_are_checked_marked_undone_and_kept_with_the_profile) {
    const test::CheckCase c = test::CheckCases().front();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ProfileDocument document;
    document.PviModel().ReplaceAll(PviRowsOf(c.design.points));
    document.ControlTable().WriteBlock(0, 0, ControlRowsOf(c.controls), QStringLiteral("粘贴"));
    ASSERT_TRUE(document.CurrentProfile());

    // The same checks as the core's, the violated bounds marked and the first one named.
    const ControlReport expected = CheckControls(*document.CurrentProfile(), c.controls);
    ASSERT_EQ(document.ControlChecks().checks.size(), expected.checks.size());
    for (std::size_t i = 0; i < expected.checks.size(); ++i) {
        EXPECT_EQ(document.ControlChecks().checks[i].margin, expected.checks[i].margin);
        EXPECT_EQ(document.ControlChecks().checks[i].status, expected.checks[i].status);
    }
    EXPECT_TRUE(HasMark(document.ControlTable(), 1, kControlUpper, "高于最高高程 0.469 米"));
    EXPECT_TRUE(HasMark(document.ControlTable(), 3, kControlLower, "低于最低高程 0.1 米"));
    EXPECT_EQ(document.ControlTable().Marks().size(), 2u);
    EXPECT_TRUE(document.ControlSummary().startsWith(QStringLiteral("2个控制点不满足。桥面, 左幅（K0+400）")))
        << document.ControlSummary().toStdString();

    // Criteria: one undo step, marked where the tables show the grade and the curve.
    document.SetCriteria(c.criteria);
    EXPECT_EQ(document.Violations().size(), 5u);
    EXPECT_TRUE(HasMark(document.PviModel(), 1, kPviRadius, "凸形竖曲线最小半径"));
    EXPECT_TRUE(HasMark(document.PviModel(), 0, kPviElevation, "最大纵坡"));
    EXPECT_EQ(document.MarkCount(), 0) << "a violated criterion is no fault of the table";
    document.UndoStack().undo();
    EXPECT_TRUE(document.Violations().empty());
    EXPECT_TRUE(document.PviModel().Marks().empty());
    document.UndoStack().redo();
    ASSERT_EQ(document.Violations().size(), 5u);

    // Kept with the profile: beside a CSV file, inside a LandXML one.
    for (const auto format : {io::ProfileFormat::Csv, io::ProfileFormat::LandXml}) {
        const bool csv = format == io::ProfileFormat::Csv;
        SCOPED_TRACE(csv ? "CSV" : "LandXML");
        const QString path = dir.filePath(csv ? QStringLiteral("road.csv") : QStringLiteral("road.xml"));
        ASSERT_EQ(document.Save(path, format), QString());
        if (csv) {
            EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("road-控制标高.csv"))));
        }
        ProfileDocument reopened;
        ASSERT_EQ(reopened.Open(path), QString());
        EXPECT_EQ(reopened.OpenNotice(), QString());
        EXPECT_EQ(reopened.ControlTable().Rows(), ControlRowsOf(c.controls));
        EXPECT_EQ(reopened.Criteria(), c.criteria);
        EXPECT_EQ(reopened.Violations().size(), 5u);
    }

    // Cleared and saved, the companion goes, so that the controls do not come back.
    document.ControlTable().RemoveRowRange(0, document.ControlTable().rowCount());
    document.SetCriteria({});
    ASSERT_EQ(document.Save(dir.filePath(QStringLiteral("road.csv")), io::ProfileFormat::Csv), QString());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("road-控制标高.csv"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("road-设计标准.csv"))));

    // Tables this document never read are not its to remove: saved without
    // controls or criteria beside a stranger's, both stay as they were.
    for (const QString& name : {QStringLiteral("other-控制标高.csv"), QStringLiteral("other-设计标准.csv")}) {
        QFile stranger(dir.filePath(name));
        ASSERT_TRUE(stranger.open(QIODevice::WriteOnly));
        stranger.write("kept\n");
    }
    ASSERT_EQ(document.Save(dir.filePath(QStringLiteral("other.csv")), io::ProfileFormat::Csv), QString());
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("other-控制标高.csv"))));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("other-设计标准.csv"))));
}

TEST(ProfileDocumentChecks, grade_and_length_cells_move_the_later_points_in_one_undo_step) {
    ProfileDocument document;
    document.PviModel().ReplaceAll(PviRowsOf(test::CheckCases().front().design.points));
    EditTableModel& pvi = document.PviModel();
    const int grade = pvi.TextColumnCount(), length = grade + 1;
    ASSERT_EQ(pvi.columnCount(), kPviColumns + 2);
    EXPECT_EQ(pvi.index(0, grade).data().toString(), QStringLiteral("2.0000"));
    EXPECT_EQ(pvi.index(1, length).data().toString(), QStringLiteral("400.000"));
    EXPECT_EQ(pvi.index(3, grade).data().toString(), QString()) << "the end has no grade after it";
    const std::vector<QStringList> before = pvi.Rows();
    const struct {
        const char* name;
        int row, column;
        const char* typed;
        std::vector<QStringList> cells;  // station and elevation of every point after
    } edits[] = {
        {"grade after the start: the rest rises with it", 0, grade, "2.5",
         {{"K0+000.000", "100"}, {"K0+400.000", "110"}, {"K0+800.000", "104"}, {"K1+000.000", "105"}}},
        {"length after the first PVI: the rest moves along the road", 1, length, "350",
         {{"K0+000.000", "100"}, {"K0+400.000", "108"}, {"K0+750.000", "102"}, {"K0+950.000", "103"}}},
    };
    for (const auto& e : edits) {
        SCOPED_TRACE(e.name);
        ASSERT_TRUE(pvi.setData(pvi.index(e.row, e.column), QString::fromUtf8(e.typed)));
        for (int r = 0; r < pvi.rowCount(); ++r) {
            EXPECT_EQ(pvi.Cell(r, kPviStation), e.cells[r][0]) << r;
            EXPECT_EQ(pvi.Cell(r, kPviElevation), e.cells[r][1]) << r;
        }
        EXPECT_EQ(pvi.index(2, grade).data().toString(), QStringLiteral("0.5000")) << "a later grade stays";
        document.UndoStack().undo();
        EXPECT_EQ(pvi.Rows(), before);
    }
    EXPECT_FALSE(pvi.setData(pvi.index(0, grade), QStringLiteral("x")));
    EXPECT_FALSE(pvi.setData(pvi.index(0, length), QStringLiteral("-5")));
    EXPECT_EQ(pvi.Rows(), before);
}

// A block pasted with its header is read in the header's unit, as a control
// file is; a unit the profile does not hold is not pasted as its numbers.
TEST(ProfileDocumentChecks, a_pasted_block_is_read_in_the_unit_its_header_states) {
    const std::vector<QStringList> centimetres{{"桩号[cm]", "最低高程(厘米)", "名称"}, {"120000", "10150", "涵洞"}};
    EXPECT_EQ(ControlColumnsOfBlock(centimetres, LengthUnit::Metre),
              (std::vector<QStringList>{{"K1+200.000", "101.5", "", "涵洞"}}));
    EXPECT_EQ(ControlColumnsOfBlock({{"桩号[ft]", "最低高程[ft]"}, {"100", "5"}}, LengthUnit::Metre), std::nullopt);
    EXPECT_EQ(ControlColumnsOfBlock({{"桩号", "最低高程[yd]"}, {"100", "5"}}, LengthUnit::Metre), std::nullopt);
}

}  // namespace
}  // namespace tarnvel::ui::profile
