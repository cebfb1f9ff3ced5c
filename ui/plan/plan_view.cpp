#include "ui/plan/plan_view.h"

#include <algorithm>
#include <cmath>

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "core/calculator/number_text.h"
#include "core/drawing/plot_page.h"
#include "core/text/output_vocabulary.h"
#include "output/page_painter.h"
#include "ui/profile/plot/plot_scene.h"

namespace tarnvel::ui {
namespace {

constexpr double k = kPlotMmPerPixel;
// Beyond these a view shows nothing useful and, far enough, loses precision.
constexpr double kMinScale = 1e-6, kMaxScale = 1e3;  // pixels per unit
constexpr double kClickSlop = 3;     // pixels a press may move and still be a click
constexpr double kPickDistance = 8;  // pixels from the centre line that pick it
// 坐标反算 under the mouse reaches as far as the command line's default.
constexpr double kReadoutReach = 500;
// A marked station nearer the edge than this is brought into view.
constexpr double kRevealMargin = 24;

}  // namespace

PlanView::PlanView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PlanView"));
    setMouseTracking(true);
    setFocusPolicy(Qt::WheelFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(240, 160);
}

PlanView::~PlanView() = default;

void PlanView::SetRoad(std::shared_ptr<const Plan> plan, std::shared_ptr<const Profile> profile,
                       std::shared_ptr<const GroundLine> ground) {
    profile_ = std::move(profile);
    ground_ = std::move(ground);
    if (plan == plan_) return;
    plan_ = std::move(plan);
    figure_ = plan_ ? MakePlanFigure(*plan_) : PlanFigure{};
    if (marked_ && !(plan_ && *marked_ >= plan_->StartStation() && *marked_ <= plan_->EndStation())) marked_.reset();
    hoverFoot_.reset();
    if (!plan_) hasView_ = false;
    else if (!hasView_ || followFit_ || !figure_.extent.Meets(Viewport().Visible())) fitAll();
    Changed();
}

PlanViewport PlanView::Viewport() const {
    PlanViewport view;
    view.frame = {0, 0, width() * k, height() * k};
    view.centre = centre_;
    view.mmPerUnit = pixelsPerUnit_ * k;
    return view;
}

void PlanView::fitAll() {
    hasView_ = plan_ != nullptr;
    followFit_ = true;
    if (!plan_) return;
    const PlanViewport fit = FitPlanViewport(figure_, {0, 0, std::max(1, width()) * k, std::max(1, height()) * k});
    centre_ = fit.centre;
    pixelsPerUnit_ = fit.mmPerUnit / k;
    Changed();
}

void PlanView::ShowStation(double internal) {
    if (!plan_ || !(internal >= plan_->StartStation() && internal <= plan_->EndStation())) return;
    marked_ = internal;
    Reveal(plan_->At(internal).at);
    Changed();
}

void PlanView::Reveal(const PlanPoint& p) {
    const PagePoint at = Viewport().ToPage(p);
    const double x = at.x / k, y = at.y / k;
    if (x >= kRevealMargin && x <= width() - kRevealMargin && y >= kRevealMargin && y <= height() - kRevealMargin) return;
    centre_ = p;
    followFit_ = false;
}

void PlanView::Changed() {
    page_.reset();
    update();
}

void PlanView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!plan_) {
        painter.setFont(output::PageFont(14));
        painter.setPen(QColor(128, 128, 128));
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("尚无平面线形：请输入交点表，或打开含平面线形的 LandXML 文件。"));
        return;
    }
    if (!page_) {
        PlanViewOptions options;
        options.textHeight = kPlotTextHeight;
        options.marked = marked_;
        page_ = PlanViewPage(*plan_, figure_, Viewport(), width() * k, height() * k, options);
    }
    output::PaintPage(painter, *page_, QRectF(rect()));
    if (hoverFoot_) {
        const PagePoint p = Viewport().ToPage(*hoverFoot_);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(QColor(0, 128, 0), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(p.x / k, p.y / k), 4, 4);
    }
}

void PlanView::resizeEvent(QResizeEvent*) {
    if (followFit_) fitAll();
    Changed();
}

void PlanView::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0 || !plan_) return;
    event->accept();
    const double scale = std::clamp(pixelsPerUnit_ * std::pow(1.25, steps), kMinScale, kMaxScale);
    // The world point under the mouse stays there.
    const QPointF at = event->position();
    const PlanPoint fixed = Viewport().ToWorld({at.x() * k, at.y() * k});
    pixelsPerUnit_ = scale;
    const PlanPoint moved = Viewport().ToWorld({at.x() * k, at.y() * k});
    centre_ = {centre_.north + fixed.north - moved.north, centre_.east + fixed.east - moved.east};
    followFit_ = false;
    Changed();
    UpdateReadout(at);
}

void PlanView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragFrom_ = event->position();
    pressedAt_ = event->position();
    setCursor(Qt::ClosedHandCursor);
}

void PlanView::mouseMoveEvent(QMouseEvent* event) {
    if (dragFrom_) {
        const QPointF delta = event->position() - *dragFrom_;
        dragFrom_ = event->position();
        centre_ = {centre_.north + delta.y() / pixelsPerUnit_, centre_.east - delta.x() / pixelsPerUnit_};
        followFit_ = false;
        Changed();
    }
    UpdateReadout(event->position());
}

void PlanView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragFrom_) return;
    dragFrom_.reset();
    unsetCursor();
    const QPointF moved = event->position() - pressedAt_;
    if (std::hypot(moved.x(), moved.y()) > kClickSlop || !plan_) return;
    const QPointF at = event->position();
    const PlanFoot foot = plan_->Inverse(Viewport().ToWorld({at.x() * k, at.y() * k}), kPickDistance / pixelsPerUnit_);
    if (foot.fault != InverseFault::None) return;
    marked_ = foot.internal;
    Changed();
    emit StationChosen(foot.internal);
}

void PlanView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) fitAll();
}

void PlanView::leaveEvent(QEvent*) {
    if (hoverFoot_) update();
    hoverFoot_.reset();
    emit readoutChanged(QString());
}

std::optional<PlanReadout> PlanView::ReadoutAt(QPointF position) const {
    if (!plan_) return std::nullopt;
    PlanReadout readout;
    readout.at = Viewport().ToWorld({position.x() * k, position.y() * k});
    const PlanFoot foot = plan_->Inverse(readout.at, kReadoutReach);
    if (foot.fault != InverseFault::None) return readout;
    readout.foot = foot;
    if (profile_) {
        try {
            const double s = profile_->InternalOf(plan_->LabelOf(foot.internal));
            readout.elevation = profile_->At(profile_->OnProfile(s)).elevation;
        } catch (const StationError&) {
            // The profile does not reach this station: no elevation.
        }
    }
    return readout;
}

QString PlanView::ReadoutText(const PlanReadout& readout) const {
    const TextOptions options;
    const int decimals = ColumnDecimals(ColumnKind::Length, options);
    std::string text = "X " + FixedText(readout.at.north, decimals) + "  Y " + FixedText(readout.at.east, decimals);
    if (readout.foot) {
        text += "  桩号 " + FormatStation(plan_->LabelOf(readout.foot->internal), StationStyle::K,
                                          ColumnDecimals(ColumnKind::Station, options));
        const double offset = readout.foot->offset;
        text += "  偏距 ";
        text += offset < 0 ? "左 " : offset > 0 ? "右 " : "";
        text += FixedText(std::fabs(offset), decimals);
    }
    if (readout.elevation)
        text += "  设计高程 " + FixedText(*readout.elevation, ColumnDecimals(ColumnKind::Elevation, options));
    return QString::fromStdString(text);
}

void PlanView::UpdateReadout(QPointF position) {
    const std::optional<PlanReadout> readout = ReadoutAt(position);
    std::optional<PlanPoint> foot;
    if (readout && readout->foot) foot = plan_->At(readout->foot->internal).at;
    if (foot != hoverFoot_) {
        hoverFoot_ = foot;
        update();
    }
    emit readoutChanged(readout ? ReadoutText(*readout) : QString());
}

}  // namespace tarnvel::ui
