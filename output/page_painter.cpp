#include "output/page_painter.h"

#include <algorithm>

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QString>

namespace tarnvel::output {
namespace {

// Text is shaped once at this size and scaled by the painter to the height the
// page asks for, so that fractional heights stay exact on every device.
constexpr int kShapingPixels = 100;

QColor ColourOf(const RoleStyle& style, double opacity = 1.0) {
    QColor c(static_cast<int>((style.rgb >> 16) & 0xff), static_cast<int>((style.rgb >> 8) & 0xff),
             static_cast<int>(style.rgb & 0xff));
    c.setAlphaF(static_cast<float>(opacity));
    return c;
}

QPolygonF Polygon(const std::vector<PagePoint>& points) {
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const auto& p : points) polygon.append(QPointF(p.x, p.y));
    return polygon;
}

void DrawText(QPainter& painter, const PageText& text, const QFont& font, const QFontMetricsF& metrics) {
    const std::string drawn = DrawnText(text.text);
    const QString s = QString::fromStdString(drawn);
    // The page lays text out at PageTextWidth; a font that runs wider is
    // narrowed to it, so that nothing reaches beyond the box it was given.
    const double wanted = PageTextWidth(drawn, kShapingPixels);
    const double measured = metrics.horizontalAdvance(s);
    const double squeeze = measured > wanted && measured > 0 ? wanted / measured : 1.0;
    const double width = measured * squeeze;
    double x = 0;
    if (text.hAlign == TextHAlign::Centre) x = -width / 2;
    if (text.hAlign == TextHAlign::Right) x = -width;
    // The box is the em, the baseline a fixed share above its bottom, as in
    // every other backend.
    double baseline = -kShapingPixels * kTextDescent;
    if (text.vAlign == TextVAlign::Top) baseline = kShapingPixels * (1 - kTextDescent);
    if (text.vAlign == TextVAlign::Middle) baseline = kShapingPixels * (0.5 - kTextDescent);
    painter.save();
    painter.translate(text.anchor.x, text.anchor.y);
    painter.rotate(-text.angle);
    painter.scale(text.height / kShapingPixels, text.height / kShapingPixels);
    painter.translate(x, baseline);
    painter.scale(squeeze, 1);
    painter.setFont(font);
    painter.setPen(ColourOf(StyleOf(text.role)));
    painter.drawText(QPointF(0, 0), s);
    painter.restore();
}

}  // namespace

QFont PageFont(int pixelSize) {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("AR PL UMing")});
    font.setPixelSize(pixelSize);
    return font;
}

void PaintPage(QPainter& painter, const Page& page, const QRectF& target) {
    if (page.width <= 0 || page.height <= 0 || target.isEmpty()) return;
    const double scale = std::min(target.width() / page.width, target.height() / page.height);
    painter.save();
    painter.translate(target.left() + (target.width() - page.width * scale) / 2,
                      target.top() + (target.height() - page.height * scale) / 2);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing, true);

    painter.setPen(Qt::NoPen);
    for (const auto& area : page.areas) {
        const RoleStyle& style = StyleOf(area.role);
        painter.setBrush(ColourOf(style, style.fillOpacity));
        painter.drawPolygon(Polygon(area.outline));
    }
    painter.setBrush(Qt::NoBrush);
    for (const auto& line : page.lines) {
        const RoleStyle& style = StyleOf(line.role);
        // Never thinner than one device pixel, so that hairlines stay visible on screen.
        QPen pen(ColourOf(style), std::max(style.lineWidth, 1.0 / scale));
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::RoundJoin);
        if (style.dashed) pen.setDashPattern({6, 3});
        painter.setPen(pen);
        const QPolygonF polygon = Polygon(line.points);
        if (line.closed) painter.drawPolygon(polygon);
        else painter.drawPolyline(polygon);
    }
    const QFont font = PageFont(kShapingPixels);
    const QFontMetricsF metrics(font);
    for (const auto& text : page.texts) DrawText(painter, text, font, metrics);
    painter.restore();
}

}  // namespace tarnvel::output
