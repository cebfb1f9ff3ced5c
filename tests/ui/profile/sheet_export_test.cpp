// 文件 > 导出图纸: the dialog's choices reach the sheets, the sheets reach the
// file (PDF, DXF) or the preview, and a refusal writes nothing.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

#include <algorithm>
#include <memory>
#include <string>

#include "core/drawing/sheet.h"
#include "core/drawing/drawn_ground.h"
#include "core/text/messages.h"
#include "io/gbk.h"
#include "tests/ui/profile/profile_fixture.h"
#include "ui/profile/edit_table_model.h"
#include "ui/profile/profile_document.h"
#include "ui/profile/sheet_export_dialog.h"

namespace tarnvel::ui::testing {
namespace {

// 1.5 km with two curves, and a ground that the design crosses.
std::vector<QStringList> RoadRows() {
    return {{"K0+000", "100", "", "", "", "", ""},
            {"K0+400", "108", "", "3000", "", "", ""},
            {"K0+900", "102", "", "4000", "", "", ""},
            {"K1+500", "106", "", "", "", "", ""}};
}
constexpr char kGroundCsv[] = "桩号,地面高程\r\nK0+000,101\r\nK0+700,103\r\nK1+500,104\r\n";

// The text of a PDF (one page, or all with 0), or nothing without poppler.
std::optional<QString> PdfText(const QString& pdf, int page = 0) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) return std::nullopt;
    QStringList args;
    if (page > 0) args << "-f" << QString::number(page) << "-l" << QString::number(page);
    QProcess process;
    process.start(pdftotext, args << pdf << "-");
    if (!process.waitForFinished() || process.exitCode() != 0) return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

class SheetExportTest : public ProfileWindowTest {
protected:
    void SetUp() override {
        ProfileWindowTest::SetUp();
        PasteRows(RoadRows());
        QFile ground(Path("ground.csv"));
        ASSERT_TRUE(ground.open(QIODevice::WriteOnly));
        ground.write(kGroundCsv);
        ground.close();
        ASSERT_EQ(window().Document().ImportGround(Path("ground.csv")), QString());
        ASSERT_TRUE(window().Document().CurrentGround());
    }

    // Opens 导出图纸 and gives its form.
    profile::SheetExportDialog* OpenDialog() {
        auto* action = window().findChild<QAction*>(QStringLiteral("ExportSheet"));
        EXPECT_NE(action, nullptr);
        if (action) action->trigger();
        auto* dialog = window().findChild<profile::SheetExportDialog*>(QStringLiteral("SheetExportDialog"));
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }
    template <class Widget>
    Widget* Field(profile::SheetExportDialog* dialog, const char* name) {
        auto* widget = dialog->findChild<Widget*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    // The sheets the window should give for these choices, built directly.
    SheetSet Expected(const SheetOptions& options) {
        const auto profile = window().CurrentProfile();
        const auto line = window().Document().CurrentGround();
        const DrawnGround ground = MakeDrawnGround(*profile, *line);
        return BuildSheets(*profile, options, &ground);
    }
};

// A3 at 1:2000 splits the 1.5 km road into three sheets; the name typed, else
// the filter picked, decides the format.
TEST_F(SheetExportTest, the_sheets_are_written_as_pdf_and_dxf_with_the_entered_title_block) {
    SheetOptions options;
    options.verticalScale = 100;
    const std::size_t pages = Expected(options).pages.size();
    ASSERT_EQ(pages, 3u);
    const QString total = QStringLiteral(" 页 共 %1 页").arg(pages);

    const struct {
        const char* typed;
        const char* filter;  // picked; empty: the first offered
        const char* written;
    } cases[] = {{"sheets.pdf", "", "sheets.pdf"}, {"cad", "DXF 图纸(*.dxf)", "cad.dxf"}, {"first.svg", "", "first.svg"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        profile::SheetExportDialog* dialog = OpenDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isVisible());
        Field<QLineEdit>(dialog, "SheetVerticalScale")->setText(QStringLiteral("100"));
        Field<QLineEdit>(dialog, "SheetProject")->setText(QStringLiteral("测试公路改建工程"));
        Field<QLineEdit>(dialog, "SheetDesigner")->setText(QStringLiteral("张工"));
        files.answers = {Path(QString::fromUtf8(c.typed))};
        if (*c.filter) files.pickedFilters = {QString::fromUtf8(c.filter)};
        Field<QPushButton>(dialog, "SheetExportButton")->click();
        const bool svg = QByteArray(c.written).endsWith(".svg");
        // An SVG holds the first sheet, and the window says once how many it left out.
        ASSERT_EQ(messages.prompts.size(), svg ? 1 : 0) << messages.prompts.join('\n').toStdString();
        if (svg) {
            EXPECT_TRUE(messages.prompts.front().contains(QStringLiteral("其余 2 张"))) << messages.prompts.front().toStdString();
        }
        // The dialog stays, for the other format, and says where the sheets went.
        EXPECT_TRUE(dialog->isVisible());
        const QLabel* written = Field<QLabel>(dialog, "SheetWritten");
        ASSERT_NE(written, nullptr);
        EXPECT_TRUE(written->text().contains(QString::fromUtf8(c.written)));
        const QByteArray bytes = ReadAll(Path(QString::fromUtf8(c.written)));
        ASSERT_FALSE(bytes.isEmpty());

        if (svg) {
            EXPECT_TRUE(QString::fromUtf8(bytes).contains(QStringLiteral("第 1") + total));
            messages.prompts.clear();
            messages.warnings.clear();
            continue;
        }
        if (QByteArray(c.written).endsWith(".dxf")) {
            // Each sheet's title block, once, in the CAD file's own encoding.
            const QString text = QString::fromStdString(io::GbkToUtf8(bytes.toStdString()));
            for (std::size_t p = 1; p <= pages; ++p)
                EXPECT_EQ(text.count(QStringLiteral("第 %1").arg(p) + total), 1) << p;
            EXPECT_EQ(text.count(QStringLiteral("测试公路改建工程")), static_cast<qsizetype>(pages));
            EXPECT_TRUE(text.contains(QStringLiteral("地面高程")));
            continue;
        }
        EXPECT_TRUE(bytes.startsWith("%PDF"));
        for (std::size_t p = 1; p <= pages; ++p) {
            const auto text = PdfText(Path(QString::fromUtf8(c.written)), static_cast<int>(p));
            if (!text) GTEST_SKIP() << "pdftotext (poppler-utils) is not available";
            for (const QString& want : {QStringLiteral("第 %1").arg(p) + total, QStringLiteral("测试公路改建工程"),
                                        QStringLiteral("张工"), QStringLiteral("地面高程")})
                EXPECT_TRUE(text->contains(want)) << "page " << p << " lacks " << want.toStdString();
        }
        EXPECT_FALSE(PdfText(Path(QString::fromUtf8(c.written)), static_cast<int>(pages) + 1))
            << "more pages than the sheets";
    }

    // The names, the drawing number and the drawing's choices are kept for
    // the next run (the preview takes them as well); the date is not.
    profile::SheetExportDialog* open = OpenDialog();
    ASSERT_NE(open, nullptr);
    Field<QLineEdit>(open, "SheetDrawingNumber")->setText(QStringLiteral("S3-2"));
    const bool elements = Field<QCheckBox>(open, "SheetElementsTable")->isChecked();
    Field<QCheckBox>(open, "SheetElementsTable")->setChecked(!elements);
    Field<QComboBox>(open, "SheetHorizontalScale")->setCurrentIndex(
        Field<QComboBox>(open, "SheetHorizontalScale")->findData(1000));
    Field<QLineEdit>(open, "SheetDate")->setText(QStringLiteral("1999-01-01"));
    Field<QPushButton>(open, "SheetPreviewButton")->click();
    ResetWindow(MakeWindow());
    window().show();
    PasteRows(RoadRows());
    profile::SheetExportDialog* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Field<QLineEdit>(dialog, "SheetProject")->text(), QStringLiteral("测试公路改建工程"));
    EXPECT_EQ(Field<QLineEdit>(dialog, "SheetDesigner")->text(), QStringLiteral("张工"));
    EXPECT_EQ(Field<QLineEdit>(dialog, "SheetVerticalScale")->text(), QStringLiteral("100"));
    EXPECT_EQ(Field<QLineEdit>(dialog, "SheetDrawingNumber")->text(), QStringLiteral("S3-2"));
    EXPECT_EQ(Field<QCheckBox>(dialog, "SheetElementsTable")->isChecked(), !elements);
    EXPECT_EQ(Field<QComboBox>(dialog, "SheetHorizontalScale")->currentData().toInt(), 1000);
    EXPECT_NE(Field<QLineEdit>(dialog, "SheetDate")->text(), QStringLiteral("1999-01-01"));
}

TEST_F(SheetExportTest, unusable_choices_are_refused_in_words_and_nothing_is_written) {
    const std::string tooFlat = DescribeSheetProblem({SheetProblemKind::VerticalScale, 5, {}});
    const struct {
        const char* name;
        const char* box;
        const char* text;
        QString says;  // a part of the warning
    } cases[] = {
        {"exaggeration beyond 50", "SheetVerticalScale", "5", QString::fromStdString(tooFlat)},
        {"exaggeration below 1", "SheetVerticalScale", "2500", QStringLiteral("须在 1 至 50 之间")},
        {"scale not a number", "SheetVerticalScale", "1:200", QStringLiteral("须在 1 至 50 之间")},
        {"station unreadable", "SheetFrom", "K0+1x0", QStringLiteral("起点桩号“K0+1x0”")},
        {"end before start", "SheetTo", "K0+000", QStringLiteral("K0+000")},
    };
    profile::SheetExportDialog* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages.warnings.clear();
        files.calls.clear();
        auto* box = Field<QLineEdit>(dialog, c.box);
        const QString before = box->text();
        box->setText(QString::fromUtf8(c.text));
        files.answers = {Path("refused.pdf")};
        Field<QPushButton>(dialog, "SheetExportButton")->click();
        Field<QPushButton>(dialog, "SheetPreviewButton")->click();
        ASSERT_EQ(messages.warnings.size(), 2);
        EXPECT_TRUE(messages.warnings.front().contains(c.says)) << messages.warnings.front().toStdString();
        EXPECT_EQ(messages.parents.back(), dialog) << "the warning stands over the dialog";
        EXPECT_TRUE(files.calls.empty()) << "no file is asked for";
        EXPECT_TRUE(preview.shown.empty());
        EXPECT_TRUE(dialog->isVisible()) << "the choices stay for correcting";
        box->setText(before);
    }
    EXPECT_FALSE(QFile::exists(Path("refused.pdf")));

    // A place that cannot be written: the warning names it, the dialog stays.
    messages.warnings.clear();
    files.answers = {Path("none/sheets.pdf")};
    Field<QPushButton>(dialog, "SheetExportButton")->click();
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings.front().contains(Path("none/sheets.pdf"))) << messages.warnings.front().toStdString();
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(SheetExportTest, the_preview_shows_the_pages_that_would_be_written) {
    profile::SheetExportDialog* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    Field<QComboBox>(dialog, "SheetPaper")->setCurrentIndex(1);
    auto* horizontal = Field<QComboBox>(dialog, "SheetHorizontalScale");
    horizontal->setCurrentIndex(horizontal->findText(QStringLiteral("1:5000")));
    Field<QLineEdit>(dialog, "SheetVerticalScale")->setText(QStringLiteral("500"));
    Field<QLineEdit>(dialog, "SheetFrom")->setText(QStringLiteral("K0+300"));
    Field<QLineEdit>(dialog, "SheetProject")->setText(QStringLiteral("预览工程"));
    Field<QCheckBox>(dialog, "SheetShadeFillCut")->setChecked(false);
    Field<QPushButton>(dialog, "SheetPreviewButton")->click();
    ASSERT_EQ(preview.shown.size(), 1u);
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join('\n').toStdString();
    EXPECT_TRUE(files.calls.empty()) << "a preview writes nothing";
    const auto& shown = preview.shown.front();
    EXPECT_EQ(shown.parent, dialog);

    SheetOptions options;
    options.paper = SheetPaper::A4;
    options.horizontalScale = 5000;
    options.verticalScale = 500;
    options.from = ParseStation("K0+300");
    options.project = "预览工程";
    options.shadeFillCut = false;
    options.date = Field<QLineEdit>(dialog, "SheetDate")->text().toStdString();
    const SheetSet expected = Expected(options);
    ASSERT_EQ(shown.pages.size(), expected.pages.size());
    for (std::size_t p = 0; p < expected.pages.size(); ++p) {
        EXPECT_EQ(shown.pages[p].width, expected.pages[p].width) << "the paper chosen";
        ASSERT_EQ(shown.pages[p].texts.size(), expected.pages[p].texts.size()) << p;
        for (std::size_t t = 0; t < expected.pages[p].texts.size(); ++t)
            EXPECT_EQ(shown.pages[p].texts[t].text, expected.pages[p].texts[t].text);
        EXPECT_EQ(shown.pages[p].areas.size(), expected.pages[p].areas.size()) << "no fill or cut shading";
    }
}

// The sheets of a LandXML design file carry the 直线及平曲线 band of its
// alignment; once the profile is saved as CSV there is no geometry to draw.
TEST_F(ProfileWindowTest, sheets_of_a_landxml_file_carry_its_horizontal_geometry) {
    ASSERT_TRUE(window().OpenFile(QStringLiteral(TARNVEL_IO_TEST_DATA "/buildingsmart_stn02_chain.xml")));
    auto* action = window().findChild<QAction*>(QStringLiteral("ExportSheet"));
    ASSERT_NE(action, nullptr);
    action->trigger();
    auto* dialog = window().findChild<profile::SheetExportDialog*>(QStringLiteral("SheetExportDialog"));
    ASSERT_NE(dialog, nullptr);
    auto* previewButton = dialog->findChild<QPushButton*>(QStringLiteral("SheetPreviewButton"));
    ASSERT_NE(previewButton, nullptr);
    const auto bandTexts = [&] {
        std::vector<std::string> found;
        for (const Page& page : preview.shown.back().pages)
            for (const PageText& text : page.texts)
                if (text.text == "直线及平曲线" || text.text.starts_with("R=")) found.push_back(text.text);
        return found;
    };

    previewButton->click();
    ASSERT_EQ(preview.shown.size(), 1u);
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join('\n').toStdString();
    const std::vector<std::string> withBand = bandTexts();
    EXPECT_NE(std::find(withBand.begin(), withBand.end(), "直线及平曲线"), withBand.end());

    // Saved as CSV, the plan goes along as the 交点表 beside it and so does the band.
    ASSERT_EQ(window().Document().Save(Path("stn02.csv"), io::ProfileFormat::Csv), QString());
    previewButton->click();
    ASSERT_EQ(preview.shown.size(), 2u);
    EXPECT_EQ(bandTexts(), withBand);
    // With the 交点表 emptied the road has no plan: the row and its R= notes
    // go, the vertical curves' R= stay.
    profile::EditTableModel& plan = window().Document().PlanModel();
    plan.RemoveRowRange(0, plan.rowCount());
    previewButton->click();
    ASSERT_EQ(preview.shown.size(), 3u);
    const std::vector<std::string> without = bandTexts();
    EXPECT_EQ(std::find(without.begin(), without.end(), "直线及平曲线"), without.end());
    EXPECT_LT(without.size() + 1, withBand.size());
}

}  // namespace
}  // namespace tarnvel::ui::testing
