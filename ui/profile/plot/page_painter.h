#pragma once
// Draws a page of primitives with QPainter: the screen, PNG and PDF backend.

#include <QRectF>

#include "core/drawing/page.h"

class QPainter;

namespace tarnvel::ui {

// Draws `page` into `target` (the painter's own units), scaled uniformly so
// that the whole page fits and centred in the spare direction.
void PaintPage(QPainter& painter, const Page& page, const QRectF& target);

}  // namespace tarnvel::ui
