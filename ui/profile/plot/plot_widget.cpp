#include "ui/profile/plot/plot_widget.h"

#include <algorithm>
#include <cmath>

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "core/drawing/plot_axes.h"
#include "core/drawing/plot_page.h"
#include "ui/profile/plot/plot_scene.h"

namespace tarnvel::ui {
namespace {

constexpr double kMinExaggeration = 1, kMaxExaggeration = 1000;
// Scales beyond these show nothing useful and, far enough, lose precision.
constexpr double kMinScale = 1e-6, kMaxScale = 1e3;  // pixels per unit of station
// A margin inside the frame keeps the end points and their labels clear of
// it; a point is "in view" only inside it.
constexpr double kFrameMargin = 24;

DeviceRect ToDeviceRect(const QRectF& r) { return {r.left(), r.top(), r.width(), r.height()}; }

bool Intersects(const WorldBox& a, const WorldBox& b) {
    return a.minStation <= b.maxStation && b.minStation <= a.maxStation && a.minElevation <= b.maxElevation &&
           b.minElevation <= a.maxElevation;
}

DeviceRect Inner(const DeviceRect& frame) {
    const double mx = std::min(kFrameMargin, frame.width / 4), my = std::min(kFrameMargin, frame.height / 4);
    return {frame.left + mx, frame.top + my, std::max(1.0, frame.width - 2 * mx),
            std::max(1.0, frame.height - 2 * my)};
}

// The lowest and highest elevation of the design line between two internal
// stations inside the profile. Grades are straight and every curve has its
// one high or low point listed, so the extremes lie at the two stations, at
// a curve's ends or its high or low point, or at a PVI without a curve.
std::pair<double, double> LineRange(const Profile& profile, double from, double to) {
    double low = std::min(profile.At(from).elevation, profile.At(to).elevation);
    double high = std::max(profile.At(from).elevation, profile.At(to).elevation);
    auto take = [&](double station, double elevation) {
        if (station > from && station < to) {
            low = std::min(low, elevation);
            high = std::max(high, elevation);
        }
    };
    const auto& rows = profile.Elements();
    // Curves do not overlap: their ends increase along the road.
    auto row = std::lower_bound(rows.begin(), rows.end(), from,
                                [](const CurveElementsRow& r, double s) { return r.endStation < s; });
    for (; row != rows.end() && row->startStation <= to; ++row) {
        if (row->kind == CurveKind::None) {
            take(row->pviStation, row->pviElevation);
            continue;
        }
        take(row->startStation, row->startElevation);
        take(row->endStation, row->endElevation);
        if (row->extremeStation && row->extremeElevation) take(*row->extremeStation, *row->extremeElevation);
    }
    return {low, high};
}

}  // namespace

PlotWidget::PlotWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ProfilePlot"));
    setMouseTracking(true);
    setFocusPolicy(Qt::WheelFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(240, 160);
    transform_ = ViewTransform::Fit({}, {0, 0, 1, 1}, 10);
}

PlotWidget::~PlotWidget() = default;

void PlotWidget::setProfile(std::shared_ptr<const Profile> profile, std::shared_ptr<const GroundLine> ground) {
    if (!profile) ground.reset();
    if (profile == profile_ && ground == ground_) return;
    // A new profile from outside ends any drag: its base is gone.
    if (edit_) unsetCursor();
    edit_.reset();
    profile_ = std::move(profile);
    ground_ = std::move(ground);
    Rebuild();
    if (selectedPvi_ >= static_cast<int>(profile_ ? profile_->Elements().size() : 0)) selectedPvi_ = -1;
    if (query_ && !(profile_ && *query_ >= profile_->StartStation() && *query_ <= profile_->EndStation()))
        query_.reset();

    hover_.reset();
    if (!profile_) {
        hasView_ = false;
    } else if (!hasView_ || followFit_ ||
               !Intersects(Extent(), transform_.Visible(PlotFrame(ToDeviceRect(QRectF(rect())))))) {
        fitAll();
    }
    update();
}

void PlotWidget::Rebuild() {
    scene_.reset();
    drawing_ = {};
    plotGround_ = {};
    if (profile_) {
        try {
            drawing_ = BuildDrawing(*profile_);
            if (ground_) plotGround_ = MakeDrawnGround(*profile_, *ground_);
        } catch (const std::exception&) {
            // A resolved profile answers every station it spans; should it
            // not, the plot shows nothing rather than half a drawing.
            profile_.reset();
            ground_.reset();
            drawing_ = {};
            plotGround_ = {};
        }
    }
    if (profile_) scene_ = std::make_unique<PlotScene>(*profile_, drawing_, ground_ ? &plotGround_ : nullptr);
}

const Page* PlotWidget::laidOutPage() const {
    if (!scene_ || scene_->LaidOut().lines.empty()) return nullptr;
    return &scene_->LaidOut();
}

WorldBox PlotWidget::Extent() const { return PlotExtent(drawing_, ground_ ? &plotGround_ : nullptr); }

void PlotWidget::fitAll() {
    hasView_ = profile_ != nullptr;
    followFit_ = true;
    ChangeView(FitPlotView(Extent(), ToDeviceRect(QRectF(rect())), transform_.Exaggeration()));
}

void PlotWidget::setExaggeration(double exaggeration) {
    if (!std::isfinite(exaggeration)) return;
    exaggeration = std::clamp(exaggeration, kMinExaggeration, kMaxExaggeration);
    if (exaggeration == transform_.Exaggeration()) return;
    ViewTransform t = transform_;
    const QPointF centre = QRectF(rect()).center();
    t.SetExaggerationAbout({centre.x(), centre.y()}, exaggeration);
    ChangeView(t);
    if (followFit_) fitAll();
    emit exaggerationChanged(exaggeration);
}

void PlotWidget::setSelectedPvi(int pvi) {
    if (pvi < 0 || !profile_ || pvi >= static_cast<int>(profile_->Elements().size())) pvi = -1;
    if (pvi == selectedPvi_) return;
    selectedPvi_ = pvi;
    update();
}

void PlotWidget::showPvi(int pvi) {
    setSelectedPvi(pvi);
    if (selectedPvi_ < 0) return;
    const CurveElementsRow& row = profile_->Elements()[static_cast<std::size_t>(selectedPvi_)];
    Reveal({row.pviStation, row.pviElevation});
}

void PlotWidget::setQueryStation(std::optional<double> internal, bool reveal) {
    if (internal && !(profile_ && *internal >= profile_->StartStation() && *internal <= profile_->EndStation()))
        internal.reset();
    if (internal != query_) {
        query_ = internal;
        update();
    }
    if (query_ && reveal) Reveal({*query_, profile_->At(*query_).elevation});
}

void PlotWidget::Reveal(WorldPoint point) {
    const DeviceRect inner = Inner(PlotFrame(ToDeviceRect(QRectF(rect()))));
    const DevicePoint d = transform_.ToDevice(point);
    if (d.x >= inner.left && d.x <= inner.left + inner.width && d.y >= inner.top && d.y <= inner.top + inner.height)
        return;
    ViewTransform t = transform_;
    t.PanBy(inner.left + inner.width / 2 - d.x, inner.top + inner.height / 2 - d.y);
    MoveView(t);
}

void PlotWidget::KeepLineInView(ViewTransform& t) const {
    if (!profile_) return;
    const DeviceRect inner = Inner(PlotFrame(ToDeviceRect(QRectF(rect()))));
    const WorldBox visible = t.Visible(inner);
    const double from = std::max(visible.minStation, profile_->StartStation());
    const double to = std::min(visible.maxStation, profile_->EndStation());
    if (!(from <= to)) return;  // the road lies beside the view: nothing to keep
    const auto [low, high] = LineRange(*profile_, from, to);
    const double top = t.ToDevice({from, high}).y, bottom = t.ToDevice({from, low}).y;
    const double innerTop = inner.top, innerBottom = inner.top + inner.height;
    double dy = 0;
    if (bottom - top <= inner.height) {  // fits: wholly inside
        if (top < innerTop) dy = innerTop - top;
        else if (bottom > innerBottom) dy = innerBottom - bottom;
    } else {  // taller: no empty band above or below the line
        if (top > innerTop) dy = innerTop - top;
        else if (bottom < innerBottom) dy = innerBottom - bottom;
    }
    if (dy != 0) t.PanBy(0, dy);
}

void PlotWidget::setViewTransform(const ViewTransform& transform) { MoveView(transform); }

void PlotWidget::MoveView(const ViewTransform& transform) {
    followFit_ = false;
    ChangeView(transform);
}

void PlotWidget::ChangeView(const ViewTransform& transform) {
    if (transform == transform_) return;
    transform_ = transform;
    emit viewChanged();
    update();
}

void PlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!scene_) {
        painter.fillRect(rect(), Qt::white);
        painter.setFont(output::PageFont(14));
        painter.setPen(QColor(128, 128, 128));
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("尚无纵断面：请在变坡点表中输入，或打开 LandXML / CSV 文件。"));
        return;
    }
    scene_->Layout(transform_, QRectF(rect()), selectedPvi_);
    scene_->PaintCached(painter);
    PaintControlMarks(painter, transform_, scene_->Frame(), controls_);
    if (query_) PaintQuery(painter, *query_);
    if (hover_) PaintCursor(painter, *hover_);
    if (isDragging()) PaintDragLabel(painter);
}

void PlotWidget::setControls(std::vector<ControlMark> marks) {
    controls_ = std::move(marks);
    update();
}

void PlotWidget::resizeEvent(QResizeEvent*) {
    if (followFit_) fitAll();
}

void PlotWidget::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0) return;
    const double factor = std::pow(1.25, steps);
    event->accept();
    if (event->modifiers() & Qt::ControlModifier) {  // Ctrl + wheel: the exaggeration
        setExaggeration(transform_.Exaggeration() * factor);
        return;
    }
    const double scale = std::clamp(transform_.Scale() * factor, kMinScale, kMaxScale);
    ViewTransform t = transform_;
    const QPointF at = event->position();
    t.ZoomAbout({at.x(), at.y()}, scale / transform_.Scale());
    KeepLineInView(t);
    MoveView(t);
    UpdateReadout(at);
}

void PlotWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (EditPress(event)) return;
    dragFrom_ = event->position();
    pressedAt_ = event->position();
    setCursor(Qt::ClosedHandCursor);
}

void PlotWidget::mouseMoveEvent(QMouseEvent* event) {
    if (EditMove(event)) {
        UpdateReadout(event->position());
        return;
    }
    if (dragFrom_) {
        const QPointF delta = event->position() - *dragFrom_;
        dragFrom_ = event->position();
        ViewTransform t = transform_;
        t.PanBy(delta.x(), delta.y());
        MoveView(t);
    }
    UpdateReadout(event->position());
}

void PlotWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && EditRelease(event)) return;
    if (event->button() != Qt::LeftButton || !dragFrom_) return;
    dragFrom_.reset();
    unsetCursor();
    const QPointF moved = event->position() - pressedAt_;
    if (std::hypot(moved.x(), moved.y()) > kClickSlop) return;
    const int pvi = PviNear(event->position());
    if (pvi < 0) return;
    setSelectedPvi(pvi);
    emit pviClicked(pvi);
}

void PlotWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !EditDoubleClick(event)) fitAll();
}

void PlotWidget::leaveEvent(QEvent*) {
    if (hover_) update();
    hover_.reset();
    emit cursorReadoutCleared();
}

// A thin vertical line at the mouse and a ring where it meets the design
// line, and the ground line where there is ground.
void PlotWidget::PaintCursor(QPainter& painter, double station) const {
    const ProfileValue value = profile_->At(station);
    const DevicePoint p = transform_.ToDevice({station, value.elevation});
    const QRectF frame = scene_->Frame();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipRect(frame);
    painter.setPen(QPen(QColor(0, 128, 0), 0, Qt::DotLine));
    painter.drawLine(QPointF(p.x, frame.top()), QPointF(p.x, frame.bottom()));
    painter.setPen(QPen(QColor(0, 128, 0), 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(p.x, p.y), 4, 4);
    if (const std::optional<double> z = ground_ ? ground_->At(station) : std::nullopt) {
        const DevicePoint g = transform_.ToDevice({station, *z});
        painter.drawEllipse(QPointF(g.x, g.y), 3, 3);
    }
}

// The queried station: a dashed vertical line across the frame and a filled
// dot on the design line, in a colour of its own.
void PlotWidget::PaintQuery(QPainter& painter, double station) const {
    const ProfileValue value = profile_->At(station);
    const DevicePoint p = transform_.ToDevice({station, value.elevation});
    const QRectF frame = scene_->Frame();
    const QColor colour(200, 0, 160);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipRect(frame);
    painter.setPen(QPen(colour, 1, Qt::DashLine));
    painter.drawLine(QPointF(p.x, frame.top()), QPointF(p.x, frame.bottom()));
    painter.setPen(QPen(colour, 1.5));
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(p.x, p.y), 4.5, 4.5);
    painter.restore();
}

void PlotWidget::UpdateReadout(QPointF position) {
    if (!profile_) return;
    const double station = transform_.ToWorld({position.x(), position.y()}).station;
    if (!(station >= profile_->StartStation() && station <= profile_->EndStation())) {
        if (hover_) update();
        hover_.reset();
        emit cursorReadoutCleared();
        return;
    }
    hover_ = station;
    update();
    const ProfileValue value = profile_->At(station);
    const QString label = QString::fromStdString(FormatStation(profile_->LabelOf(station), StationStyle::K, 3));
    emit cursorReadout(label, value.elevation, value.grade, ground_ ? ground_->At(station) : std::nullopt);
}

int PlotWidget::PviNear(QPointF position) const {
    int best = -1;
    double bestDistance = kPickDistance;
    for (const auto& m : drawing_.markers) {
        if (m.kind != MarkerKind::Pvi) continue;
        const DevicePoint p = transform_.ToDevice(m.at);
        const double d = std::hypot(p.x - position.x(), p.y - position.y());
        if (d <= bestDistance) {
            bestDistance = d;
            best = m.pvi;
        }
    }
    return best;
}

}  // namespace tarnvel::ui
