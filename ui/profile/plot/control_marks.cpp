#include "ui/profile/plot/control_marks.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/profile/plot/plot_scene.h"

namespace tarnvel::ui {

void PaintControlMarks(QPainter& painter, const ViewTransform& transform, const QRectF& frame,
                       const std::vector<ControlMark>& marks) {
    if (marks.empty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipRect(frame);
    painter.setFont(output::PageFont(11));
    constexpr double kHalf = 7, kWedge = 6;
    for (const ControlMark& m : marks) {
        const QColor colour = m.violated ? QColor(220, 0, 0) : QColor(0, 110, 200);
        painter.setPen(QPen(colour, m.violated ? 2 : 1.5));
        painter.setBrush(colour);
        std::optional<double> top, bottom;
        // `up`: the wedge points up from the bar (a 最低), else down (a 最高).
        const auto bound = [&](double elevation, bool up) {
            const DevicePoint p = transform.ToDevice({m.station, elevation});
            painter.drawLine(QPointF(p.x - kHalf, p.y), QPointF(p.x + kHalf, p.y));
            const double tip = up ? p.y - kWedge : p.y + kWedge;
            QPainterPath wedge;
            wedge.moveTo(p.x - kWedge / 2, p.y);
            wedge.lineTo(p.x + kWedge / 2, p.y);
            wedge.lineTo(p.x, tip);
            wedge.closeSubpath();
            painter.drawPath(wedge);
            top = top ? std::min(*top, std::min(p.y, tip)) : std::min(p.y, tip);
            bottom = bottom ? std::max(*bottom, std::max(p.y, tip)) : std::max(p.y, tip);
        };
        if (m.lower) bound(*m.lower, true);
        if (m.upper) bound(*m.upper, false);
        if (m.lower && m.upper) {
            const double x = transform.ToDevice({m.station, *m.lower}).x;
            painter.setPen(QPen(colour, 1, Qt::DotLine));
            painter.drawLine(QPointF(x, *top), QPointF(x, *bottom));
        }
        if (!m.name.isEmpty() && top) {
            painter.setPen(colour);
            const double x = transform.ToDevice({m.station, m.lower ? *m.lower : *m.upper}).x;
            painter.drawText(QPointF(x + kHalf + 2, *top + 4), m.name);
        }
    }
    painter.restore();
}

}  // namespace tarnvel::ui
