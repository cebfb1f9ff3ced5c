#pragma once
// Draws a page of primitives with QPainter: the screen, PNG and PDF backend.
// Qt Gui only, so that the command line can write PDF without the window.

#include <QFont>
#include <QRectF>

#include "core/drawing/page.h"

class QPainter;

namespace tarnvel::output {

// Draws `page` into `target` (the painter's own units), scaled uniformly so
// that the whole page fits and centred in the spare direction.
void PaintPage(QPainter& painter, const Page& page, const QRectF& target);

// The fonts every painted page and the plot's own marks ask for, at a fixed
// pixel size.
QFont PageFont(int pixelSize = 12);

}  // namespace tarnvel::output
