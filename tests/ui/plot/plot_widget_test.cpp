// The plot widget driven as a user does, offscreen: wheel, drag, click,
// hover; and the plot and sheet exports written and read back.

#include <functional>
#include <memory>
#include <optional>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "core/drawing/plot_axes.h"
#include "core/drawing/sheet.h"
#include "output/pages_pdf.h"
#include "ui/profile/plot/plot_export.h"
#include "ui/profile/plot/plot_widget.h"
#include "core/text/messages.h"

namespace tarnvel::ui {
namespace {

using output::WritePagesPdf;

ProfilePoint Point(double station, double elevation, double radius = 0) {
    return {Station{station, 0}, elevation,
            radius > 0 ? CurveSpec{CurveKind::ParabolaRadius, radius, 0, 0, 0} : CurveSpec{}};
}

// Six PVIs, a long chain in the middle.
Profile SmallProfile() {
    ProfileModel model{"主线", LengthUnit::Metre,
                       {Point(0, 100), Point(300, 106, 5000), Point(700, 102, 8000), Point(1000, 105, 6000),
                        Point(1400, 99, 4000), Point(1700, 104, 5000), Point(2000, 101, 6000), Point(2400, 103)},
                       {{1200, 1150}}};
    // Labels beyond the break are 50 lower than the internal stations.
    for (std::size_t i = 4; i < model.points.size(); ++i) model.points[i].station.value -= 50;
    std::vector<ProfileProblem> problems;
    auto profile = Profile::Resolve(model, &problems);
    if (!profile) throw std::runtime_error(problems.empty() ? "invalid" : DescribeProfileProblem(problems.front()));
    return *profile;
}

// The plot takes the document's snapshots.
std::shared_ptr<const Profile> Shared(std::optional<Profile> profile) {
    return profile ? std::make_shared<const Profile>(std::move(*profile)) : nullptr;
}

class PlotWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        plot.resize(1000, 500);
        plot.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&plot));
        plot.setProfile(Shared(SmallProfile()));
    }
    QPointF DeviceOf(double station, double elevation) const {
        const DevicePoint d = plot.viewTransform().ToDevice({station, elevation});
        return {d.x, d.y};
    }
    void Wheel(QPointF at, int delta) {
        QWheelEvent event(at, plot.mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(&plot, &event);
    }
    PlotWidget plot;
};

TEST_F(PlotWidgetTest, fit_all_shows_every_pvi_inside_the_frame) {
    const QRectF frame = [&] {
        const DeviceRect f = PlotFrame({0, 0, 1000, 500});
        return QRectF(f.left, f.top, f.width, f.height);
    }();
    Wheel({500, 250}, 600);  // zoomed in far: most PVIs are off screen
    plot.fitAll();
    for (const auto& e : plot.profile()->Elements())
        EXPECT_TRUE(frame.contains(DeviceOf(e.pviStation, e.pviElevation))) << e.pviStation;
    EXPECT_EQ(plot.exaggeration(), 10);
}

TEST_F(PlotWidgetTest, wheel_zooms_about_the_mouse_and_drag_pans_without_selecting) {
    QSignalSpy clicked(&plot, &PlotWidget::pviClicked);
    const QPointF at(420, 230);
    const WorldPoint under = plot.viewTransform().ToWorld({at.x(), at.y()});
    const double scale = plot.viewTransform().Scale();
    Wheel(at, 240);
    EXPECT_NEAR(plot.viewTransform().Scale(), scale * 1.25 * 1.25, scale * 1e-12);
    const QPointF still = DeviceOf(under.station, under.elevation);
    EXPECT_NEAR(still.x(), at.x(), 1e-6);
    EXPECT_NEAR(still.y(), at.y(), 1e-6);

    QTest::mousePress(&plot, Qt::LeftButton, {}, at.toPoint());
    QTest::mouseMove(&plot, (at + QPointF(60, -25)).toPoint());
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, (at + QPointF(60, -25)).toPoint());
    const QPointF moved = DeviceOf(under.station, under.elevation);
    EXPECT_NEAR(moved.x(), at.x() + 60, 1e-6);
    EXPECT_NEAR(moved.y(), at.y() - 25, 1e-6);
    EXPECT_EQ(clicked.count(), 0);
}

TEST_F(PlotWidgetTest, click_on_a_pvi_selects_it_and_hover_reads_the_design_line) {
    QSignalSpy clicked(&plot, &PlotWidget::pviClicked);
    QSignalSpy readout(&plot, &PlotWidget::cursorReadout);
    const auto& elements = plot.profile()->Elements();
    // The PVI beyond the long chain: its label carries the occurrence.
    const auto& e = elements.at(4);
    const QPoint marker = DeviceOf(e.pviStation, e.pviElevation).toPoint();
    QTest::mouseClick(&plot, Qt::LeftButton, {}, marker + QPoint(2, -1));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 4);
    EXPECT_EQ(plot.selectedPvi(), 4);

    struct Hover {
        double station;  // internal
        const char* label;
    };
    for (const Hover h : {Hover{150, "K0+150.000"}, Hover{1180, "K1+130.000(2)"}, Hover{1320, "K1+270.000"}}) {
        readout.clear();
        const double x = DeviceOf(h.station, 0).x();
        QTest::mouseMove(&plot, QPoint(qRound(x), 200));
        ASSERT_EQ(readout.count(), 1) << h.label;
        // The station is the one under the mouse, to the pixel; elevation and
        // grade are the profile's at that very station.
        const double station = plot.viewTransform().ToWorld({static_cast<double>(qRound(x)), 200}).station;
        const ProfileValue value = plot.profile()->At(station);
        EXPECT_EQ(readout.at(0).at(0).toString().toStdString(),
                  FormatStation(plot.profile()->LabelOf(station), StationStyle::K, 3));
        EXPECT_EQ(readout.at(0).at(1).toDouble(), value.elevation);
        EXPECT_EQ(readout.at(0).at(2).toDouble(), value.grade);
        EXPECT_NEAR(station, h.station, 1 / plot.viewTransform().Scale());
    }
}

TEST_F(PlotWidgetTest, an_edit_keeps_the_users_view_and_a_new_road_is_fitted) {
    Wheel({400, 250}, 360);
    const ViewTransform zoomed = plot.viewTransform();
    // One elevation changed, as after an edit of the PVI table.
    ProfileModel edited = plot.profile()->Model();
    edited.points[2].elevation += 0.5;
    auto editedProfile = Profile::Resolve(edited);
    ASSERT_TRUE(editedProfile);
    plot.setProfile(Shared(std::move(editedProfile)));
    EXPECT_EQ(plot.viewTransform(), zoomed);
    plot.resize(900, 450);
    EXPECT_EQ(plot.viewTransform(), zoomed);

    // Fitted again, the view follows the size.
    QTest::mouseDClick(&plot, Qt::LeftButton, {}, QPoint(300, 200));
    const ViewTransform fitted = plot.viewTransform();
    EXPECT_NE(fitted, zoomed);
    plot.resize(1000, 500);
    EXPECT_NE(plot.viewTransform(), fitted);

    // A road 100 km further on lies outside any zoomed view: it is fitted.
    Wheel({400, 250}, 360);
    ProfileModel far = edited;
    far.chains.clear();
    for (auto& p : far.points) p.station = {p.station.value + 100'000, 0};
    auto farProfile = Profile::Resolve(far);
    ASSERT_TRUE(farProfile);
    plot.setProfile(Shared(std::move(farProfile)));
    const DeviceRect frame = PlotFrame({0, 0, 1000, 500});
    for (const auto& e : plot.profile()->Elements()) {
        const QPointF d = DeviceOf(e.pviStation, e.pviElevation);
        EXPECT_TRUE(QRectF(frame.left, frame.top, frame.width, frame.height).contains(d)) << e.pviStation;
    }
}

TEST_F(PlotWidgetTest, the_design_line_is_drawn_where_it_is_at_any_zoom) {
    // From the whole road down to a millimetre over a pixel at 1000 times:
    // the rest of the road then lies millions of pixels away.
    for (double span : {3000.0, 1.0, 0.001}) {
        const double s = 150, z = plot.profile()->At(s).elevation;
        const DeviceRect frame = PlotFrame({0, 0, 1000, 500});
        plot.setExaggeration(span < 1 ? 1000 : 10);
        plot.setViewTransform(ViewTransform::Fit({s - span / 2, s + span / 2, z, z}, frame, plot.exaggeration()));
        const QImage image = plot.grab().toImage();
        const QPoint centre = DeviceOf(s, z).toPoint();
        int dark = 0;
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx) dark += qGray(image.pixel(centre + QPoint(dx, dy))) < 100;
        EXPECT_GT(dark, 0) << "span " << span;
    }
}

TEST_F(PlotWidgetTest, exaggeration_is_clamped_and_announced_and_an_empty_plot_paints) {
    QSignalSpy changed(&plot, &PlotWidget::exaggerationChanged);
    for (const auto& [asked, got] : {std::pair{25.0, 25.0}, {0.0, 1.0}, {1e9, 1000.0}}) {
        plot.setExaggeration(asked);
        EXPECT_EQ(plot.exaggeration(), got);
        EXPECT_EQ(plot.viewTransform().Exaggeration(), got);
    }
    EXPECT_EQ(changed.count(), 3);
    plot.setProfile(nullptr);
    EXPECT_EQ(plot.selectedPvi(), -1);
    EXPECT_FALSE(plot.grab().isNull());
}

QRectF FrameOf(const PlotWidget& plot) {
    const DeviceRect f = PlotFrame({0, 0, static_cast<double>(plot.width()), static_cast<double>(plot.height())});
    return {f.left, f.top, f.width, f.height};
}

// A place chosen away from the view is brought into the frame at the same
// scale and marked; chosen again while in view, the view stays.
TEST_F(PlotWidgetTest, a_chosen_pvi_or_queried_station_off_screen_is_brought_into_view) {
    const Profile& profile = *plot.profile();
    const auto& pvi5 = profile.Elements().at(5);
    const struct {
        const char* name;
        std::function<void()> choose;
        WorldPoint shown;
    } cases[] = {
        {"PVI chosen in a table", [&] { plot.showPvi(5); }, {pvi5.pviStation, pvi5.pviElevation}},
        {"station queried near the end", [&] { plot.setQueryStation(2350.0); }, {2350, profile.At(2350).elevation}},
        {"station queried behind the long chain", [&] { plot.setQueryStation(1180.0); },
         {1180, profile.At(1180).elevation}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        plot.setQueryStation(std::nullopt);
        // Zoomed in at the start: a few metres of road fill the frame.
        const double z = profile.At(20).elevation;
        plot.setViewTransform(ViewTransform::Fit({10, 30, z, z}, PlotFrame({0, 0, 1000, 500}), 10));
        const double scale = plot.viewTransform().Scale();
        ASSERT_FALSE(FrameOf(plot).contains(DeviceOf(c.shown.station, c.shown.elevation)));
        c.choose();
        EXPECT_TRUE(FrameOf(plot).contains(DeviceOf(c.shown.station, c.shown.elevation)));
        EXPECT_EQ(plot.viewTransform().Scale(), scale);
        const ViewTransform shown = plot.viewTransform();
        c.choose();
        EXPECT_EQ(plot.viewTransform(), shown);
    }
    EXPECT_EQ(plot.selectedPvi(), 5);

    // The query mark is drawn on the design line in a colour of its own.
    const QImage image = plot.grab().toImage();
    const QPoint at = DeviceOf(1180, profile.At(1180).elevation).toPoint();
    int marked = 0;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
            const QColor c = image.pixelColor(at + QPoint(dx, dy));
            marked += c.red() > 150 && c.green() < 80 && c.blue() > 110;
        }
    EXPECT_GT(marked, 10);

    // A station the profile does not reach, or a profile that no longer
    // reaches the mark, leaves no mark.
    plot.setQueryStation(9000.0);
    EXPECT_FALSE(plot.queryStation());
    plot.setQueryStation(2350.0);
    ProfileModel shorter = profile.Model();
    shorter.points.back().station.value -= 100;  // the road now ends at 2300
    plot.setProfile(Shared(Profile::Resolve(shorter)));
    ASSERT_TRUE(plot.profile());
    EXPECT_FALSE(plot.queryStation());
}

// 10,000 PVIs over 2,000 km: fitted, the line is a band two pixels high, and
// a wheel zoom about a point well above or below it would throw the line
// millions of pixels away. Each step keeps part of the line in the frame.
TEST(PlotZoom, zooming_into_a_long_road_keeps_the_design_line_in_the_frame) {
    ProfileModel model{"长线", LengthUnit::Metre, {}, {}};
    for (int i = 0; i <= 10'000; ++i)
        model.points.push_back(Point(i * 200.0, 100 + 0.05 * i + (i % 2) * 2.0, i == 0 || i == 10'000 ? 0 : 3000));
    auto profile = Profile::Resolve(model);
    ASSERT_TRUE(profile);
    PlotWidget plot;
    plot.resize(1000, 500);
    plot.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plot));
    plot.setProfile(Shared(std::move(profile)));
    const QRectF frame = FrameOf(plot);
    const struct {
        const char* name;
        QPointF mouse;
    } cases[] = {{"above the line", {300, frame.top() + 4}},
                 {"below the line", {700, frame.bottom() - 4}},
                 {"at the middle", {500, frame.center().y()}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        plot.fitAll();
        const double under = plot.viewTransform().ToWorld({c.mouse.x(), c.mouse.y()}).station;
        for (int step = 0; step < 40; ++step) {
            QWheelEvent wheel(c.mouse, plot.mapToGlobal(c.mouse), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(&plot, &wheel);
            const ViewTransform& t = plot.viewTransform();
            // The line sampled across the frame, every 10 pixels.
            int inside = 0;
            for (double x = frame.left(); x <= frame.right(); x += 10) {
                const double station = t.ToWorld({x, 0}).station;
                if (station < plot.profile()->StartStation() || station > plot.profile()->EndStation()) continue;
                const DevicePoint d = t.ToDevice({station, plot.profile()->At(station).elevation});
                inside += d.y >= frame.top() && d.y <= frame.bottom();
            }
            ASSERT_GT(inside, 0) << "step " << step;
        }
        // Only the elevations moved: the station under the mouse stayed.
        EXPECT_NEAR(plot.viewTransform().ToWorld({c.mouse.x(), c.mouse.y()}).station, under, 1e-3);
    }
}

// The text of one page of a PDF, or nothing where poppler's pdftotext is missing.
std::optional<QString> PdfPageText(const std::string& pdf, int page) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) return std::nullopt;
    QProcess process;
    process.start(pdftotext, {"-f", QString::number(page), "-l", QString::number(page), QString::fromStdString(pdf), "-"});
    if (!process.waitForFinished()) return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(PlotExport, png_svg_and_pdf_are_written_whole_or_not_at_all) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Profile profile = SmallProfile();
    const std::string png = dir.filePath("plot.png").toStdString();
    const std::string svg = dir.filePath("plot.svg").toStdString();
    const std::string pdf = dir.filePath("sheet.pdf").toStdString();
    EXPECT_FALSE(WritePlotPng(png, profile, {1200, 700, 10}));
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(1200, 700));
    EXPECT_FALSE(WritePlotSvg(svg, profile, {1200, 700, 10}));
    QFile svgFile(QString::fromStdString(svg));
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svgFile.readAll().contains("K0+300.000"));

    SheetOptions sheet;
    sheet.paper = SheetPaper::A4;
    sheet.project = "测试项目";
    sheet.date = "2026-12-07";
    const SheetSet sheets = BuildSheets(profile, sheet);
    ASSERT_FALSE(sheets.problem);
    EXPECT_FALSE(WritePagesPdf(pdf, sheets.pages, "纵断面图 主线"));
    QFile pdfFile(QString::fromStdString(pdf));
    ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdfFile.read(5) == "%PDF-");

    // A folder that does not exist: a failure naming the file, and no file.
    const std::string missing = dir.filePath("none/plot.png").toStdString();
    for (const auto& failure : {WritePlotPng(missing, profile, {}), WritePlotSvg(missing, profile, {}),
                                WritePagesPdf(missing, sheets.pages, "")}) {
        ASSERT_TRUE(failure);
        EXPECT_NE(failure->message.find(missing), std::string::npos) << failure->message;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(missing)));
    // A size no image can have is refused before anything is written.
    EXPECT_TRUE(WritePlotPng(png + "2", profile, {0, 700, 10}));

    // The title block and the bands, on the first sheet.
    if (const auto text = PdfPageText(pdf, 1)) {
        const std::string first = "第 1 页 共 " + std::to_string(sheets.pages.size()) + " 页";
        for (const std::string& wanted : {std::string("测试项目"), std::string("2026-12-07"), std::string("纵断面图"),
                                          std::string("设计高程"), std::string("K0+300"), first})
            EXPECT_TRUE(text->contains(QString::fromStdString(wanted))) << wanted;
    }
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm is not installed";
    const QString page = dir.filePath(QStringLiteral("page"));
    EXPECT_EQ(QProcess::execute(pdftoppm, {"-png", "-r", "40", "-f", "1", "-l", "1", "-singlefile",
                                           QString::fromStdString(pdf), page}),
              0);
    const QImage first(page + ".png");
    ASSERT_FALSE(first.isNull());
    // Landscape, and something drawn on it.
    EXPECT_GT(first.width(), first.height());
    int dark = 0;
    for (int y = 0; y < first.height(); ++y)
        for (int x = 0; x < first.width(); ++x) dark += qGray(first.pixel(x, y)) < 128;
    EXPECT_GT(dark, first.width());
}

TEST(PlotExport, a_long_road_continues_on_further_sheets_to_its_end) {
    ProfileModel model{"长路", LengthUnit::Metre, {}, {}};
    for (int i = 0; i <= 121; ++i)
        model.points.push_back(Point(i * 400.0, 100 + (i % 2) * 6.0, i == 0 || i == 121 ? 0 : 3000));
    const auto profile = Profile::Resolve(model);
    ASSERT_TRUE(profile);
    SheetOptions options;
    options.horizontalScale = 5000;
    const SheetSet sheets = BuildSheets(*profile, options);
    ASSERT_FALSE(sheets.problem);
    QTemporaryDir dir;
    const std::string pdf = dir.filePath("sheet.pdf").toStdString();
    ASSERT_FALSE(WritePagesPdf(pdf, sheets.pages, "纵断面图 长路"));
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (pdfinfo.isEmpty()) GTEST_SKIP() << "pdfinfo is not installed";
    QProcess info;
    info.start(pdfinfo, {QString::fromStdString(pdf)});
    ASSERT_TRUE(info.waitForFinished());
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    const auto pages = text.section(QStringLiteral("Pages:"), 1).trimmed().section(QLatin1Char('\n'), 0, 0).toInt();
    // 48.4 km at 1:5000 do not fit on one sheet: one PDF page per sheet, the
    // last one ending with the road.
    ASSERT_GE(pages, 2) << text.toStdString();
    EXPECT_EQ(static_cast<std::size_t>(pages), sheets.pages.size());
    const auto last = PdfPageText(pdf, pages);
    ASSERT_TRUE(last);
    const std::string end = SheetStation(profile->LabelOf(profile->EndStation()));
    for (const std::string& wanted : {end, "第 " + std::to_string(pages) + " 页 共 " + std::to_string(pages) + " 页"})
        EXPECT_TRUE(last->contains(QString::fromStdString(wanted))) << wanted;
}

}  // namespace
}  // namespace tarnvel::ui
