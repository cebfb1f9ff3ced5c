#include "ui/profile/plot/plot_scene.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <QFontMetricsF>
#include <QPainter>

namespace tarnvel::ui {
namespace {

const QColor kGrid(216, 216, 216);
const QColor kTangent(96, 96, 96);
const QColor kGrade(0, 64, 128);
const QColor kChain(192, 0, 0);
const QColor kExtreme(31, 95, 191);
const QColor kSelected(230, 120, 0);

DeviceRect ToDeviceRect(const QRectF& r) { return {r.left(), r.top(), r.width(), r.height()}; }
QPointF ToQt(DevicePoint p) { return {p.x, p.y}; }

// Points closer than this to the last one kept add nothing visible.
constexpr double kMinStep = 0.5;
// How far beyond the frame lines are still handed to the painter.
constexpr double kGuard = 10'000;

bool Overlaps(const DrawingPolyline& line, const WorldBox& visible) {
    return !line.points.empty() && line.points.back().station >= visible.minStation &&
           line.points.front().station <= visible.maxStation;
}

// Cuts a segment to the box (Liang and Barsky); false when nothing of it is inside.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& box) {
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) || !std::isfinite(b.y())) return false;
    const QPointF d = b - a;
    double t0 = 0, t1 = 1;
    auto edge = [&](double p, double q) {
        if (p == 0) return q >= 0;
        const double t = q / p;
        if (p < 0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
        return true;
    };
    if (!edge(-d.x(), a.x() - box.left()) || !edge(d.x(), box.right() - a.x()) || !edge(-d.y(), a.y() - box.top()) ||
        !edge(d.y(), box.bottom() - a.y()))
        return false;
    const QPointF start = a;
    if (t0 > 0) a = start + d * t0;
    if (t1 < 1) b = start + d * t1;
    return true;
}

// The polyline in device pixels, cut to the guard box: far outside the
// frame device coordinates outgrow the rasterizer's fixed-point numbers, so
// nothing beyond the box reaches it. Points closer than kMinStep to the one
// before are dropped. Usually one polyline comes out; more where the line
// leaves the box and comes back.
void AppendPolyline(std::vector<QPolygonF>& out, const DrawingPolyline& line, const ViewTransform& t,
                    const QRectF& guard) {
    QPolygonF current;
    std::optional<QPointF> pending;  // a dropped point, kept should the polyline end on it
    auto flush = [&] {
        if (pending) current << *pending;
        pending.reset();
        if (current.size() >= 2) out.push_back(std::move(current));
        current = QPolygonF();
    };
    bool continuing = false;  // the last segment ended inside the box
    QPointF a = ToQt(t.ToDevice(line.points.front()));
    for (std::size_t i = 1; i < line.points.size(); ++i) {
        const QPointF b = ToQt(t.ToDevice(line.points[i]));
        QPointF ca = a, cb = b;
        if (ClipSegment(ca, cb, guard)) {
            if (!continuing || ca != a) {
                flush();
                current << ca;
            }
            const QPointF last = current.last();
            if (std::fabs(cb.x() - last.x()) < kMinStep && std::fabs(cb.y() - last.y()) < kMinStep) {
                pending = cb;
            } else {
                current << cb;
                pending.reset();
            }
            continuing = cb == b;
        } else {
            flush();
            continuing = false;
        }
        a = b;
    }
    flush();
}

constexpr qsizetype kRunPoints = 64;

// Markers closer than this to the last one of their kind would be drawn on
// top of it.
constexpr double kMarkerSpacing = 2;

QPolygonF Triangle(MarkerKind kind, QPointF p) {
    const double s = kind == MarkerKind::HighPoint ? -1 : 1;  // the tip points away from the curve
    return QPolygonF({p, {p.x() - 4, p.y() - s * 7}, {p.x() + 4, p.y() - s * 7}});
}

QStaticText MakeText(const QString& text, const QFont& font) {
    QStaticText t(text);
    t.setTextFormat(Qt::PlainText);
    t.setPerformanceHint(QStaticText::AggressiveCaching);
    t.prepare(QTransform(), font);
    return t;
}

}  // namespace

QFont PlotFont(int pixelSize) {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("AR PL UMing")});
    font.setPixelSize(pixelSize);
    return font;
}

PlotScene::PlotScene(const Profile& profile, const ProfileDrawing& drawing, const QFont& font,
                     TextWidths* knownWidths)
    : profile_(profile),
      drawing_(drawing),
      font_(font),
      lineHeight_(QFontMetricsF(font).height()),
      widths_(drawing.labels.size(), -1),
      knownWidths_(knownWidths),
      lines_(drawing.labels.size()) {}

double PlotScene::LabelWidth(std::size_t label) const {
    if (widths_[label] < 0) {
        const QFontMetricsF metrics(font_);
        double w = 0;
        for (const auto& line : drawing_.labels[label].lines) {
            if (knownWidths_) {
                const auto [known, added] = knownWidths_->try_emplace(line, 0.0);
                if (added) known->second = metrics.horizontalAdvance(QString::fromStdString(line));
                w = std::max(w, known->second);
            } else {
                w = std::max(w, metrics.horizontalAdvance(QString::fromStdString(line)));
            }
        }
        widths_[label] = w;
    }
    return widths_[label];
}

const QStaticText& PlotScene::LineText(std::size_t label, std::size_t line) const {
    auto& texts = lines_[label];
    if (texts.empty())
        for (const auto& l : drawing_.labels[label].lines) texts.push_back(MakeText(QString::fromStdString(l), font_));
    return texts[line];
}

void PlotScene::Layout(const ViewTransform& transform, const QRectF& page) {
    if (laidOut_ && transform == transform_ && page == page_) return;
    laidOut_ = true;
    transform_ = transform;
    page_ = page;
    frame_ = [&] {
        const DeviceRect f = PlotFrame(ToDeviceRect(page));
        return QRectF(f.left, f.top, f.width, f.height);
    }();
    const DeviceRect frame = ToDeviceRect(frame_);
    const WorldBox visible = transform.Visible(frame);

    grid_ = chainLines_ = QPainterPath();
    design_.clear();
    tangents_.clear();
    extremes_.clear();
    pviMarks_.clear();
    ticks_.clear();
    const QRectF guard = frame_.adjusted(-kGuard, -kGuard, kGuard, kGuard);
    std::vector<QPolygonF> pieces;
    for (const auto& line : drawing_.lines) {
        if (!Overlaps(line, visible)) continue;
        auto& into = line.role == LineRole::Design ? design_ : tangents_;
        pieces.clear();
        AppendPolyline(pieces, line, transform, guard);
        for (auto& polyline : pieces) {
            // Pieces that meet end to start are joined into runs of modest
            // size: fewer calls than one per piece, while a single polyline
            // for the whole road would make the stroker hand the rasterizer
            // one outline with every edge of it on each scan line.
            if (line.role == LineRole::Design && !into.empty() && into.back().size() < kRunPoints &&
                into.back().last() == polyline.first()) {
                into.back().append(polyline.mid(1));
            } else {
                into.push_back(std::move(polyline));
            }
        }
    }
    // Where the road is packed into a few pixels per kilometre the thick pen
    // shows nothing more and costs the stroker twice as much as a plain one.
    qsizetype points = 0;
    for (const auto& line : design_) points += line.size();
    designWidth_ = static_cast<double>(points) > 2 * frame_.width() ? 1.0 : 1.6;

    const QRectF near = frame_.adjusted(-10, -10, 10, 10);
    QPointF lastPvi(-1e9, 0), lastTick(-1e9, 0), lastExtreme(-1e9, 0);
    auto spaced = [](QPointF& last, QPointF p) {
        if (std::fabs(p.x() - last.x()) < kMarkerSpacing && std::fabs(p.y() - last.y()) < kMarkerSpacing) return false;
        last = p;
        return true;
    };
    for (const auto& m : drawing_.markers) {
        const QPointF p = ToQt(transform.ToDevice(m.at));
        if (!near.contains(p)) continue;
        switch (m.kind) {
            case MarkerKind::Pvi:
                if (spaced(lastPvi, p)) pviMarks_.push_back(p);
                break;
            case MarkerKind::CurveStart:
            case MarkerKind::CurveEnd:
                if (spaced(lastTick, p)) ticks_.emplace_back(p.x(), p.y() - 6, p.x(), p.y() + 6);
                break;
            case MarkerKind::HighPoint:
            case MarkerKind::LowPoint:
                if (spaced(lastExtreme, p)) extremes_.push_back(Triangle(m.kind, p));
                break;
        }
    }
    labels_ = PlaceLabels(drawing_, transform, frame, [this](std::size_t i) { return LabelWidth(i); }, lineHeight_);

    axisTexts_.clear();
    const QFontMetricsF metrics(font_);
    auto addText = [&](std::vector<Text>& to, const QString& s, double x, double y, Qt::Alignment align) {
        const double w = metrics.horizontalAdvance(s);
        double left = x;
        if (align & Qt::AlignHCenter) left -= w / 2;
        if (align & Qt::AlignRight) left -= w;
        double top = y;
        if (align & Qt::AlignVCenter) top -= lineHeight_ / 2;
        to.push_back({{left, top}, MakeText(s, font_)});
    };
    const PlotAxes axes = AxesFor(profile_, transform, frame);
    for (const auto& t : axes.stations) {
        const double x = transform.ToDevice({t.position, 0}).x;
        grid_.moveTo(x, frame_.top());
        grid_.lineTo(x, frame_.bottom());
        addText(axisTexts_, QString::fromStdString(t.text), x, frame_.bottom() + 4, Qt::AlignHCenter);
    }
    for (const auto& t : axes.elevations) {
        const double y = transform.ToDevice({0, t.position}).y;
        grid_.moveTo(frame_.left(), y);
        grid_.lineTo(frame_.right(), y);
        addText(axisTexts_, QString::fromStdString(t.text), frame_.left() - 6, y, Qt::AlignRight | Qt::AlignVCenter);
    }
    addText(axisTexts_, QStringLiteral("桩号"), frame_.center().x(), frame_.bottom() + 4 + lineHeight_, Qt::AlignHCenter);
    addText(axisTexts_, QStringLiteral("高程 (%1)").arg(QString::fromStdString(drawing_.unit)), frame_.left() - 6,
            frame_.top() - 4 - lineHeight_, Qt::AlignRight);

    chainTexts_.clear();
    for (const auto& c : drawing_.chainMarks) {
        const double x = transform.ToDevice({c.station, 0}).x;
        if (x < frame_.left() || x > frame_.right()) continue;
        chainLines_.moveTo(x, frame_.top());
        chainLines_.lineTo(x, frame_.bottom());
        addText(chainTexts_, QString::fromStdString(c.back + "=" + c.ahead), x, frame_.top() - 2 - 2 * lineHeight_,
                Qt::AlignHCenter);
        addText(chainTexts_, QString::fromStdString(c.description), x, frame_.top() - 2 - lineHeight_, Qt::AlignHCenter);
    }
}

void PlotScene::Paint(QPainter& painter, int selectedPvi) const {
    painter.save();
    painter.setFont(font_);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(page_, Qt::white);

    painter.setPen(QPen(kGrid, 0.6));
    painter.drawPath(grid_);
    painter.setPen(Qt::black);
    for (const auto& t : axisTexts_) painter.drawStaticText(t.at, t.text);
    painter.setPen(kChain);
    for (const auto& t : chainTexts_) painter.drawStaticText(t.at, t.text);

    painter.setClipRect(frame_);
    QPen chainPen(kChain, 1, Qt::DashLine);
    painter.setPen(chainPen);
    painter.drawPath(chainLines_);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kTangent, 0.8, Qt::DashLine));
    for (const auto& line : tangents_) painter.drawPolyline(line);
    painter.setPen(QPen(Qt::black, designWidth_));
    for (const auto& line : design_) painter.drawPolyline(line);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLines(ticks_.data(), static_cast<int>(ticks_.size()));
    painter.setBrush(Qt::white);
    for (const auto& p : pviMarks_) painter.drawEllipse(p, 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kExtreme);
    for (const auto& t : extremes_) painter.drawPolygon(t);

    if (selectedPvi >= 0) PaintSelected(painter, selectedPvi);

    for (const auto& placed : labels_) {
        const auto& label = drawing_.labels[placed.label];
        painter.setPen(label.role == LabelRole::Grade ? kGrade : Qt::black);
        if (label.pvi == selectedPvi && label.role == LabelRole::Pvi) painter.setPen(kSelected);
        for (std::size_t i = 0; i < label.lines.size(); ++i) {
            const QStaticText& text = LineText(placed.label, i);
            double x = placed.box.left;
            if (label.hAlign == HAlign::Centre) x += (placed.box.width - text.size().width()) / 2;
            if (label.hAlign == HAlign::Right) x += placed.box.width - text.size().width();
            painter.drawStaticText(QPointF(x, placed.box.top + lineHeight_ * static_cast<double>(i)), text);
        }
    }
    painter.setClipping(false);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame_);
    painter.restore();
}

void PlotScene::PaintSelected(QPainter& painter, int pvi) const {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kSelected, 3));
    std::vector<QPolygonF> lines;
    const QRectF guard = frame_.adjusted(-kGuard, -kGuard, kGuard, kGuard);
    for (const auto& line : drawing_.lines)
        if (line.pvi == pvi && line.role == LineRole::Design) AppendPolyline(lines, line, transform_, guard);
    for (const auto& line : lines) painter.drawPolyline(line);
    painter.setPen(QPen(kSelected, 2));
    for (const auto& m : drawing_.markers)
        if (m.pvi == pvi && m.kind == MarkerKind::Pvi) painter.drawEllipse(ToQt(transform_.ToDevice(m.at)), 5, 5);
}

void PaintFittedPlot(QPainter& painter, const Profile& profile, const ProfileDrawing& drawing,
                     const QRectF& page, double exaggeration, const QFont& font) {
    const DeviceRect frame = PlotFrame(ToDeviceRect(page));
    // A margin inside the frame keeps the end points and their labels clear of it.
    constexpr double margin = 24;
    const DeviceRect inner{frame.left + margin, frame.top + margin, std::max(1.0, frame.width - 2 * margin),
                           std::max(1.0, frame.height - 2 * margin)};
    PlotScene scene(profile, drawing, font);
    scene.Layout(ViewTransform::Fit(drawing.extent, inner, exaggeration), page);
    scene.Paint(painter, -1);
}

}  // namespace tarnvel::ui
