#pragma once
// A drawing laid out for one view: device-space paths of the visible lines
// and markers, the labels that fit, the axis ticks. Built again only when the
// view or the page changes; painting it is a few path draws and cached texts.
// The widget, the PNG and the PDF sheet all paint through it.

#include <string>
#include <unordered_map>
#include <vector>

#include <QFont>
#include <QLineF>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QStaticText>
#include <QString>

#include "core/drawing/label_layout.h"
#include "core/drawing/plot_axes.h"
#include "core/profile/profile.h"
#include "core/drawing/profile_drawing.h"
#include "core/drawing/view_transform.h"

class QPainter;

namespace tarnvel::ui {

// The fonts the main window asks for, at a fixed pixel size.
QFont PlotFont(int pixelSize = 12);

// The whole profile fitted into `page` at the given exaggeration, painted
// once: the PNG and the PDF sheet.
void PaintFittedPlot(QPainter& painter, const Profile& profile, const ProfileDrawing& drawing,
                     const QRectF& page, double exaggeration, const QFont& font);

// Widths of label lines in one font, kept by the widget across drawings: an
// edit builds a new drawing whose labels are nearly all the texts measured
// before, and measuring text is the dearest part of laying a large profile out.
using TextWidths = std::unordered_map<std::string, double>;

class PlotScene {
public:
    // The profile, the drawing and the widths (when given) must outlive the
    // scene; the widths must be of this font.
    PlotScene(const Profile& profile, const ProfileDrawing& drawing, const QFont& font,
              TextWidths* knownWidths = nullptr);

    // The page is the whole area; the plot frame inside it leaves room for the axes.
    void Layout(const ViewTransform& transform, const QRectF& page);
    void Paint(QPainter& painter, int selectedPvi) const;

    QRectF Frame() const { return frame_; }

private:
    struct Text {
        QPointF at;  // top left
        QStaticText text;
    };

    double LabelWidth(std::size_t label) const;
    const QStaticText& LineText(std::size_t label, std::size_t line) const;
    void PaintSelected(QPainter& painter, int pvi) const;

    const Profile& profile_;
    const ProfileDrawing& drawing_;
    QFont font_;
    double lineHeight_ = 14;

    // Measured and laid out once per drawing, on first need.
    mutable std::vector<double> widths_;
    TextWidths* knownWidths_ = nullptr;
    mutable std::vector<std::vector<QStaticText>> lines_;

    bool laidOut_ = false;
    ViewTransform transform_;
    QRectF page_, frame_;
    // Separate polylines and points, not one path: filling a path of a
    // thousand subpaths costs the rasterizer every edge on every scan line.
    std::vector<QPolygonF> design_, tangents_, extremes_;
    std::vector<QPointF> pviMarks_;
    std::vector<QLineF> ticks_;
    double designWidth_ = 1.6;
    std::vector<PlacedLabel> labels_;
    std::vector<Text> axisTexts_;
    QPainterPath grid_;
    QPainterPath chainLines_;
    std::vector<Text> chainTexts_;
};

}  // namespace tarnvel::ui
