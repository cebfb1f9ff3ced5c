#include "ui/profile/plot/plot_scene.h"

#include <optional>

#include <QPainter>

#include "core/drawing/plot_axes.h"
#include "core/drawing/plot_page.h"
#include "output/page_painter.h"

namespace tarnvel::ui {
namespace {

DeviceRect ToDeviceRect(const QRectF& r) { return {r.left(), r.top(), r.width(), r.height()}; }

}  // namespace

PlotScene::PlotScene(const Profile& profile, const ProfileDrawing& drawing, const DrawnGround* ground)
    : profile_(profile), drawing_(drawing), ground_(ground) {}

void PlotScene::Layout(const ViewTransform& transform, const QRectF& page, int selectedPvi) {
    if (laidOut_ && transform == transform_ && page == rect_ && selectedPvi == selected_) return;
    laidOut_ = true;
    transform_ = transform;
    rect_ = page;
    selected_ = selectedPvi;
    const DeviceRect f = PlotFrame(ToDeviceRect(page));
    frame_ = QRectF(f.left, f.top, f.width, f.height);
    page_ = PlotPage(profile_, drawing_, transform, ToDeviceRect(page), selectedPvi, ground_);
    cache_ = QPixmap();
}

void PlotScene::Paint(QPainter& painter) const {
    painter.fillRect(rect_, Qt::white);
    output::PaintPage(painter, page_, rect_);
}

void PlotScene::PaintCached(QPainter& painter) const {
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize pixels = (rect_.size() * ratio).toSize();
    if (pixels.isEmpty()) return;
    if (cache_.size() != pixels || cache_.devicePixelRatioF() != ratio) {
        cache_ = QPixmap(pixels);
        cache_.setDevicePixelRatio(ratio);
        QPainter image(&cache_);
        image.translate(-rect_.topLeft());
        Paint(image);
    }
    painter.drawPixmap(rect_.topLeft(), cache_);
}

void PaintFittedPlot(QPainter& painter, const Profile& profile, const ProfileDrawing& drawing, const QRectF& page,
                     double exaggeration, const GroundLine* ground) {
    std::optional<DrawnGround> plotGround;
    if (ground) plotGround = MakeDrawnGround(profile, *ground);
    const DrawnGround* g = plotGround ? &*plotGround : nullptr;
    PlotScene scene(profile, drawing, g);
    scene.Layout(FitPlotView(PlotExtent(drawing, g), ToDeviceRect(page), exaggeration), page);
    scene.Paint(painter);
}

}  // namespace tarnvel::ui
