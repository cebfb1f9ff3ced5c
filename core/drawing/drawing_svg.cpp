#include "core/drawing/drawing_svg.h"

#include <algorithm>

#include "core/drawing/page_svg.h"
#include "core/drawing/plot_page.h"

namespace tarnvel {

std::string DrawingSvg(const Profile& profile, const ProfileDrawing& drawing, const SvgPage& page) {
    const DeviceRect device{0, 0, static_cast<double>(std::max(page.width, 1)),
                            static_cast<double>(std::max(page.height, 1))};
    const Page plot = PlotPage(profile, drawing, FitPlotView(drawing.extent, device, page.exaggeration), device);
    return PageSvg(plot, SvgOptions{1 / kPlotMmPerPixel});
}

}  // namespace tarnvel
