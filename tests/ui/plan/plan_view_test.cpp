// The plan view driven as a user does, offscreen: the readout under the
// mouse is 坐标反算 of the point there, a click chooses the station under
// it, the wheel keeps the point under the mouse, a station chosen elsewhere
// is brought into view; and 导出平面图 through the fake file dialog.

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "core/drawing/plot_page.h"
#include "output/page_dxf.h"
#include "tests/io/scratch_folder.h"
#include "tests/plan_cases.h"
#include "tests/ui/support/fakes.h"
#include "ui/plan/plan_export.h"
#include "ui/plan/plan_view.h"

namespace tarnvel::ui {
namespace {

constexpr double k = kPlotMmPerPixel;

std::shared_ptr<const Plan> Class2Route() {
    const std::vector<test::PlanCase> cases = test::PublishedPlanCases();
    std::optional<Plan> plan = Plan::Resolve(test::TableOf(cases.front()));
    if (!plan) throw std::runtime_error("case does not resolve");
    return std::make_shared<const Plan>(std::move(*plan));
}

class PlanViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.resize(900, 600);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        view.SetRoad(plan, nullptr, nullptr);
    }
    QPointF PixelOf(const PlanPoint& p) const {
        const PagePoint page = view.Viewport().ToPage(p);
        return {page.x / k, page.y / k};
    }
    void Send(QEvent::Type type, QPointF at, Qt::MouseButton button = Qt::NoButton) {
        QMouseEvent event(type, at, view.mapToGlobal(at), button, type == QEvent::MouseMove ? Qt::NoButton : button,
                          Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    }
    void Wheel(QPointF at, int delta) {
        QWheelEvent event(at, view.mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(&view, &event);
    }
    std::shared_ptr<const Plan> plan = Class2Route();
    PlanView view;
};

struct Place {
    const char* name;
    double station, offset;
    const char* offsetText;  // "" where the readout has no station
};

TEST_F(PlanViewTest, the_readout_is_the_inverse_of_the_point_under_the_mouse) {
    const Place places[] = {
        {"on a straight, left", 300.25, -7.5, "左 7.500"},
        {"inside JD3's arc, right", 1244.5, 12.0, "右 12.000"},
        {"on JD1's entry spiral", 540.125, 3.25, "右 3.250"},
        {"beyond the readout's reach", 1500, 800, ""},
    };
    QSignalSpy spy(&view, &PlanView::readoutChanged);
    for (const Place& p : places) {
        SCOPED_TRACE(p.name);
        const PlanPoint at = OffsetPoint(plan->At(p.station), p.offset);
        const QPointF pixel = PixelOf(at);
        Send(QEvent::MouseMove, pixel);
        ASSERT_FALSE(spy.isEmpty());
        const QString text = spy.takeLast().at(0).toString();
        const std::optional<PlanReadout> readout = view.ReadoutAt(pixel);
        ASSERT_TRUE(readout);
        EXPECT_NEAR(readout->at.north, at.north, 1e-6);
        EXPECT_NEAR(readout->at.east, at.east, 1e-6);
        if (*p.offsetText == 0) {
            EXPECT_FALSE(readout->foot);
            EXPECT_FALSE(text.contains(QStringLiteral("桩号")));
            continue;
        }
        ASSERT_TRUE(readout->foot);
        const PlanFoot foot = plan->Inverse(at, 500);
        EXPECT_NEAR(readout->foot->internal, foot.internal, 1e-6);
        EXPECT_NEAR(readout->foot->internal, p.station, 1e-6);
        EXPECT_NEAR(readout->foot->offset, p.offset, 1e-6);
        EXPECT_TRUE(text.contains(QString::fromStdString(FormatStation(plan->LabelOf(p.station), StationStyle::K, 3))))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(p.offsetText))) << text.toStdString();
    }
}

TEST_F(PlanViewTest, a_click_on_the_line_chooses_its_station_and_the_wheel_keeps_the_point_under_the_mouse) {
    const double station = 1244.5;
    const PlanPoint qz = plan->At(station).at;
    // Zoomed in about the point, the point stays under the mouse.
    const QPointF before = PixelOf(qz);
    for (int i = 0; i < 6; ++i) Wheel(before, 120);
    const QPointF after = PixelOf(qz);
    EXPECT_NEAR(after.x(), before.x(), 1e-6);
    EXPECT_NEAR(after.y(), before.y(), 1e-6);

    // A click a few pixels beside the line picks the station of its foot.
    QSignalSpy chosen(&view, &PlanView::StationChosen);
    const QPointF beside = PixelOf(OffsetPoint(plan->At(station), 3 / (view.Viewport().mmPerUnit / k)));
    Send(QEvent::MouseButtonPress, beside, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, beside, Qt::LeftButton);
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_NEAR(chosen.front().at(0).toDouble(), station, 1e-6);
    EXPECT_EQ(view.markedStation(), chosen.front().at(0).toDouble());

    // A drag pans and chooses nothing.
    Send(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    Send(QEvent::MouseMove, {200, 150});
    Send(QEvent::MouseButtonRelease, {200, 150}, Qt::LeftButton);
    EXPECT_EQ(chosen.size(), 1);
    EXPECT_NEAR(PixelOf(qz).x(), after.x() + 100, 1e-6);

    // A station chosen elsewhere, far outside the zoomed view, is brought into it and marked.
    view.ShowStation(2700);
    const QPointF shown = PixelOf(plan->At(2700).at);
    EXPECT_TRUE(QRectF(view.rect()).contains(shown));
    EXPECT_EQ(view.markedStation(), 2700);
    QTest::qWait(1);
    view.repaint();
    ASSERT_TRUE(view.laidOutPage());
    const auto& texts = view.laidOutPage()->texts;
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const PageText& t) {
        return t.role == PageRole::Highlight && t.text == "K2+700";
    }));
}

TEST(PlanExport, writes_the_chosen_format_and_tells_every_refusal) {
    io::testing::ScratchFolder folder;
    testing::FakeMessageBox messages;
    testing::FakeFileDialog files;
    testing::FakeLauncher launcher;
    const Services services{messages, files, launcher};
    const auto plan = Class2Route();

    // A name without an extension takes the filter picked.
    files.answers.push_back(QString::fromStdString(folder.File("平面图")));
    files.pickedFilters.push_back(QStringLiteral("DXF 平面图，实际坐标(*.dxf)"));
    const QString written = ExportPlanDrawing(nullptr, services, plan, 1000);
    EXPECT_EQ(written.toStdString(), folder.File("平面图.dxf"));
    EXPECT_EQ(io::testing::ReadBytes(folder.File("平面图.dxf")).substr(0, 3), "999");
    EXPECT_TRUE(messages.prompts.isEmpty());

    // A folder that does not exist, a PDF too large at its scale, and no plan: each told, nothing written.
    files.answers.push_back(QString::fromStdString(folder.File("missing/平面图.svg")));
    EXPECT_TRUE(ExportPlanDrawing(nullptr, services, plan, 1000).isEmpty());
    files.answers.push_back(QString::fromStdString(folder.File("大图.pdf")));
    EXPECT_TRUE(ExportPlanDrawing(nullptr, services, plan, 100).isEmpty());
    EXPECT_TRUE(ExportPlanDrawing(nullptr, services, nullptr, 1000).isEmpty());
    ASSERT_EQ(messages.prompts.size(), 3);
    EXPECT_TRUE(messages.prompts[1].contains(QStringLiteral("超出 PDF 页面")));
    EXPECT_TRUE(messages.prompts[2].contains(QStringLiteral("尚无")));
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"平面图.dxf"}));
}

}  // namespace
}  // namespace tarnvel::ui
