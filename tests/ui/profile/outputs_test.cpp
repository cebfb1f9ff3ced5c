// The window's side of the shared output cases: the 竖曲线要素表, the listing
// table, its copy, its CSV and its GBK report say the digits and words every
// other output says (tests/output_cases.h).

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QAction>

#include <QLabel>
#include <QTest>

#include <algorithm>
#include <string>

#include "io/gbk.h"
#include "tests/output_cases.h"
#include "tests/ui/profile/profile_fixture.h"
#include "ui/profile/listing_panel.h"
#include "ui/profile/plot/plot_widget.h"
#include "ui/profile/query_panel.h"

namespace tarnvel::ui::testing {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

int ColumnOf(const QAbstractItemModel& model, std::string_view header) {
    for (int c = 0; c < model.columnCount(); ++c)
        if (model.headerData(c, Qt::Horizontal).toString() == Q(header)) return c;
    return -1;
}

// The plot's readout with the mouse on the queried station, zoomed in so that
// the pixel under it is the station to far below the last decimal.
QString ReadoutAtQuery(PlotWidget& plot, const QLabel& readout) {
    if (!plot.queryStation()) return QString();
    const double station = *plot.queryStation();
    ViewTransform view = plot.viewTransform();
    view.ZoomAbout(view.ToDevice({station, 0}), 1e4);
    view.PanBy(plot.width() / 2 - view.ToDevice({station, 0}).x, 0);
    plot.setViewTransform(view);
    QTest::mouseMove(&plot, QPoint(plot.width() / 2 + 5, plot.height() / 2));  // a move, not a rest
    QTest::mouseMove(&plot, QPoint(plot.width() / 2, plot.height() / 2));
    return readout.text();
}

TEST_F(ProfileWindowTest, tables_copy_csv_and_report_say_what_every_output_says) {
    QFile csvFile(Path("outputs.csv"));
    ASSERT_TRUE(csvFile.open(QIODevice::WriteOnly));
    csvFile.write(test::kOutputsProfileCsv.data(), static_cast<qint64>(test::kOutputsProfileCsv.size()));
    csvFile.close();
    ASSERT_TRUE(window().OpenFile(Path("outputs.csv")));

    const QAbstractItemModel& elements = *Control<QAbstractItemView>("ElementsTable")->model();
    for (const test::ElementCellCase& c : test::kElementCells) {
        SCOPED_TRACE(std::string(c.header) + " of point " + std::to_string(c.point));
        int row = -1;
        for (int r = 0; r < elements.rowCount(); ++r)
            if (elements.headerData(r, Qt::Vertical).toInt() == c.point) row = r;
        const int column = ColumnOf(elements, c.header);
        ASSERT_GE(row, 0);
        ASSERT_GE(column, 0);
        EXPECT_EQ(elements.index(row, column).data().toString(), Q(c.text));
    }

    // The range offered is the whole profile; listed, it ends with the end point.
    EXPECT_EQ(Control<QLineEdit>("ListTo")->text(), "K1+000.000");
    Control<QLineEdit>("ListFrom")->setText(Q(test::kOutputsListFrom));
    Control<QLineEdit>("ListTo")->setText(Q(test::kOutputsListTo));
    Control<QLineEdit>("ListStep")->setText(Q(test::kOutputsListStep));
    Control<QPushButton>("ListRun")->click();
    const QAbstractItemModel& listing = *Control<QAbstractItemView>("ListingTable")->model();
    ASSERT_GT(listing.rowCount(), 0);
    EXPECT_EQ(listing.index(listing.rowCount() - 1, 3).data().toString(), "终点");

    auto* panel = window().findChild<profile::ListingPanel*>("ListingPanel");
    ASSERT_NE(panel, nullptr);
    panel->CopyAll();
    const QString copied = QApplication::clipboard()->text();
    files.answers = {Path("list.csv"), Path("list.txt")};
    panel->ExportCsv();
    panel->ExportReport(QDate(2026, 12, 7));
    const QByteArray csvBytes = ReadAll(Path("list.csv"));
    const QString csv = QString::fromUtf8(csvBytes);
    const QByteArray report = ReadAll(Path("list.txt"));
    // The window's CSV has the headers the window shows.
    EXPECT_TRUE(csvBytes.startsWith("\xEF\xBB\xBF" + QStringLiteral("桩号,设计高程,纵坡(%),备注\r\n").toUtf8()))
        << csvBytes.left(40).toStdString();
    EXPECT_TRUE(copied.startsWith(QStringLiteral("桩号\t设计高程\t纵坡(%)\t备注\r\n")));
    // The heading names the project (the file), the range and the date.
    for (const char* heading : {"项目：outputs\r\n", "范围：K0+000.000 至 K1+000.000\r\n", "日期：2026-12-07\r\n"})
        EXPECT_TRUE(report.contains(QByteArray::fromStdString(io::Utf8ToGbk(heading)))) << heading;

    for (const test::ListingRowCase& c : test::kListingRows) {
        SCOPED_TRACE(std::string(c.station));
        int row = -1;
        for (int r = 0; r < listing.rowCount(); ++r)
            if (listing.index(r, 0).data().toString() == Q(c.station)) row = r;
        ASSERT_GE(row, 0);
        EXPECT_EQ(listing.index(row, 1).data().toString(), Q(c.elevation));
        EXPECT_EQ(listing.index(row, 2).data().toString(), Q(c.grade));
        EXPECT_EQ(listing.index(row, 3).data().toString(), Q(c.note));
        const QString cells = Q(c.station) + '\t' + Q(c.elevation) + '\t' + Q(c.grade);
        EXPECT_TRUE(copied.contains(cells + '\t' + Q(c.note) + "\r\n")) << cells.toStdString();
        EXPECT_TRUE(csv.contains(QString(cells).replace('\t', ',') + ',' + Q(c.note) + "\r\n"));
        // The report's line leaves out an empty note with its tab.
        const QString line = c.note.empty() ? cells : cells + '\t' + Q(c.note);
        EXPECT_TRUE(report.contains(QByteArray::fromStdString(io::Utf8ToGbk((line + "\r\n").toStdString()))));
        // The query and the plot's readout answer with the listing's digits.
        Control<QLineEdit>("QueryStation")->setText(Q(c.station));
        const QString answer = QStringLiteral("高程 ") + Q(c.elevation) + QStringLiteral(" m    纵坡 ") + Q(c.grade) + '%';
        EXPECT_TRUE(window().findChild<QLabel*>("QueryResult")->text().contains(answer))
            << window().findChild<QLabel*>("QueryResult")->text().toStdString();
        EXPECT_EQ(ReadoutAtQuery(*Control<PlotWidget>("ProfilePlot"), *Control<QLabel>("PlotReadout")),
                  Q(c.station) + QStringLiteral("  高程 ") + Q(c.elevation) + QStringLiteral("  纵坡 ") + Q(c.grade) + '%');
    }
}

// Design K0+000 at 100 rising 2 % to the first curve at K0+170; the ground
// lies level at 101 from K0+000 to K0+200: cut before K0+050, fill after.
TEST_F(ProfileWindowTest, an_imported_ground_line_reaches_the_listing_the_query_and_the_plot) {
    PasteRows(TwoCurveRows());
    QFile bad(Path("bad.csv"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("桩号,地面高程\nK0+000,101\nK0+900,101\n");
    bad.close();
    QFile good(Path("ground.csv"));
    ASSERT_TRUE(good.open(QIODevice::WriteOnly));
    good.write("桩号,地面高程\r\nK0+000,101\r\nK0+200,101\r\n");
    good.close();

    auto* import = window().findChild<QAction*>("ImportGround");
    ASSERT_NE(import, nullptr);
    files.answers = {Path("bad.csv")};
    import->trigger();
    ASSERT_EQ(messages.warnings.size(), 1);
    files.answers = {Path("ground.csv")};
    import->trigger();
    EXPECT_EQ(messages.warnings.size(), 1) << messages.warnings.join('\n').toStdString();

    Control<QLineEdit>("ListFrom")->setText("K0+000");
    Control<QLineEdit>("ListTo")->setText("K0+300");
    Control<QLineEdit>("ListStep")->setText("50");
    Control<QPushButton>("ListRun")->click();
    const QAbstractItemModel& listing = *Control<QAbstractItemView>("ListingTable")->model();
    const int ground = ColumnOf(listing, "地面高程");
    ASSERT_GE(ground, 0);
    const struct {
        const char* station;
        const char* ground;
        const char* fill;
        const char* cut;
        const char* query;
    } rows[] = {
        {"K0+000.000", "101.000", "0.000", "1.000", "挖 1.000"},
        {"K0+100.000", "101.000", "1.000", "0.000", "填 1.000"},
        {"K0+250.000", "", "", "", "此处无地面线"},
    };
    auto* panel = window().findChild<profile::ListingPanel*>("ListingPanel");
    ASSERT_NE(panel, nullptr);
    panel->CopyAll();
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith(QStringLiteral("桩号\t设计高程\t纵坡(%)\t地面高程\t填高\t挖深\t备注\r\n")))
        << copied.left(60).toStdString();
    auto* query = window().findChild<profile::QueryPanel*>("QueryPanel");
    ASSERT_NE(query, nullptr);
    auto* plot = Control<PlotWidget>("ProfilePlot");
    auto* readout = Control<QLabel>("PlotReadout");
    for (const auto& c : rows) {
        SCOPED_TRACE(c.station);
        int row = -1;
        for (int r = 0; r < listing.rowCount(); ++r)
            if (listing.index(r, 0).data().toString() == Q(c.station)) row = r;
        ASSERT_GE(row, 0);
        EXPECT_EQ(listing.index(row, ground).data().toString(), Q(c.ground));
        EXPECT_EQ(listing.index(row, ColumnOf(listing, "填高")).data().toString(), Q(c.fill));
        EXPECT_EQ(listing.index(row, ColumnOf(listing, "挖深")).data().toString(), Q(c.cut));
        Control<QLineEdit>("QueryStation")->setText(Q(c.station));
        EXPECT_TRUE(query->ResultText().contains(Q(c.query))) << query->ResultText().toStdString();

        // The status line says the query's ground and fill or cut, or nothing of ground.
        ASSERT_TRUE(ReadoutAtQuery(*plot, *readout).startsWith(Q(c.station))) << readout->text().toStdString();
        if (*c.ground) {
            EXPECT_TRUE(readout->text().contains(QStringLiteral("地面高程 ") + Q(c.ground))) << readout->text().toStdString();
            EXPECT_TRUE(readout->text().endsWith(Q(c.query))) << readout->text().toStdString();
        } else {
            EXPECT_FALSE(readout->text().contains(QStringLiteral("地面"))) << readout->text().toStdString();
            EXPECT_FALSE(readout->text().contains(QStringLiteral("填"))) << readout->text().toStdString();
        }
    }

    // The plot draws the ground, shades fill and cut and marks the zero point.
    plot->fitAll();
    plot->repaint();
    const Page* page = plot->laidOutPage();
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(plot->ground());
    auto count = [&](PageRole role) {
        return std::count_if(page->lines.begin(), page->lines.end(), [role](const PageLine& l) { return l.role == role; }) +
               std::count_if(page->areas.begin(), page->areas.end(), [role](const PageArea& a) { return a.role == role; });
    };
    EXPECT_GE(count(PageRole::GroundLine), 2);  // the line and the zero mark
    EXPECT_GE(count(PageRole::Fill), 1);
    EXPECT_GE(count(PageRole::Cut), 1);
    // The zero point at K0+050 is listed as 填挖交界.
    bool zero = false;
    for (int r = 0; r < listing.rowCount(); ++r)
        zero = zero || listing.index(r, ColumnOf(listing, "备注")).data().toString().contains(QStringLiteral("填挖交界"));
    EXPECT_TRUE(zero);
}

}  // namespace
}  // namespace tarnvel::ui::testing
