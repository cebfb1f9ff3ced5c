#include "output/drawing_svg.h"

#include <algorithm>
#include <optional>

#include "output/page_svg.h"
#include "core/drawing/plot_page.h"

namespace tarnvel {

std::string DrawingSvg(const Profile& profile, const ProfileDrawing& drawing, const SvgPage& page,
                       const GroundLine* ground) {
    const DeviceRect device{0, 0, static_cast<double>(std::max(page.width, 1)),
                            static_cast<double>(std::max(page.height, 1))};
    std::optional<DrawnGround> plotGround;
    if (ground) plotGround = MakeDrawnGround(profile, *ground);
    const DrawnGround* g = plotGround ? &*plotGround : nullptr;
    const Page plot = PlotPage(profile, drawing, FitPlotView(PlotExtent(drawing, g), device, page.exaggeration), device,
                               kNoPvi, g);
    return PageSvg(plot, SvgOptions{1 / kPlotMmPerPixel});
}

}  // namespace tarnvel
