#pragma once
// The control points (控制标高) over the plot: at each control's station a
// short bar at its 最低 bound with a wedge pointing up (the design must lie
// above) and at its 最高 bound with a wedge pointing down, joined by a thin
// line, and the name. A control the design violates is drawn in red.

#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

#include "core/drawing/view_transform.h"

class QPainter;

namespace tarnvel::ui {

struct ControlMark {
    double station = 0;  // internal
    std::optional<double> lower, upper;
    QString name;
    bool violated = false;
};

void PaintControlMarks(QPainter& painter, const ViewTransform& transform, const QRectF& frame,
                       const std::vector<ControlMark>& marks);

}  // namespace tarnvel::ui
