#pragma once
// A drawing laid out for one view: the page of the plot (core/drawing/
// plot_page.h) built again only when the view, the size or the selection
// changes, and painted by the page backend. The widget, the PNG and the PDF
// sheet all paint through it, so they show what the SVG writes.

#include <QFont>
#include <QPixmap>
#include <QRectF>

#include "core/drawing/page.h"
#include "core/drawing/plot_page.h"
#include "core/drawing/profile_drawing.h"
#include "core/drawing/view_transform.h"
#include "core/profile/profile.h"
#include "output/page_painter.h"

class QPainter;

namespace tarnvel::ui {

// The whole profile fitted into `page` at the given exaggeration, painted
// once: the PNG and the PDF sheet. A ground line, checked against this
// profile, is drawn with its fill and cut.
void PaintFittedPlot(QPainter& painter, const Profile& profile, const ProfileDrawing& drawing,
                     const QRectF& page, double exaggeration, const GroundLine* ground = nullptr);

class PlotScene {
public:
    // The profile, the drawing and the ground (nullptr: none) must outlive the scene.
    PlotScene(const Profile& profile, const ProfileDrawing& drawing, const DrawnGround* ground = nullptr);

    // The page is the whole area; the plot frame inside it leaves room for the axes.
    void Layout(const ViewTransform& transform, const QRectF& page, int selectedPvi = kNoPvi);
    void Paint(QPainter& painter) const;
    // As Paint, from an image of the page kept until the next layout: a
    // repaint for the mouse cursor or an expose costs one copy. Only for a
    // screen, whose pixels the image matches.
    void PaintCached(QPainter& painter) const;

    QRectF Frame() const { return frame_; }
    const Page& LaidOut() const { return page_; }

private:
    const Profile& profile_;
    const ProfileDrawing& drawing_;
    const DrawnGround* ground_;
    bool laidOut_ = false;
    ViewTransform transform_;
    int selected_ = kNoPvi;
    QRectF rect_, frame_;
    Page page_;
    mutable QPixmap cache_;
};

}  // namespace tarnvel::ui
