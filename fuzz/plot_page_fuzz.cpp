// A profile made of fuzzed numbers, with or without a fuzzed ground line,
// drawn and laid out as a plot in a fuzzed window and view: every coordinate
// is finite and on the page, and no placed text covers another.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "core/drawing/plot_page.h"
#include "core/drawing/plot_axes.h"
#include "fuzz/fuzz_check.h"

using tarnvel::fuzz::Check;

namespace {

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint32_t Take(int bytes) {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v = v << 8 | (at_ < size_ ? data_[at_++] : 0u);
        return v;
    }
    // A value between lo and hi, spread over many orders of magnitude when `wide`.
    double Between(double lo, double hi, bool wide = false) {
        const double u = Take(2) / 65535.0;
        if (!wide) return lo + (hi - lo) * u;
        return lo + (hi - lo) * std::pow(u, 8);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnvel;
    Bytes in(data, size);
    ProfileModel model{"f", LengthUnit::Metre, {}, {}};
    const int points = 2 + static_cast<int>(in.Take(1) % 12);
    double station = in.Between(-1e5, 1e5);
    for (int i = 0; i < points; ++i) {
        const bool end = i == 0 || i == points - 1;
        CurveSpec curve;
        if (!end && in.Take(1) % 2) curve = {CurveKind::ParabolaRadius, in.Between(1, 1e6, true), 0, 0, 0};
        model.points.push_back({Station{station, 0}, in.Between(-1e4, 1e6, true) - 5e3, curve});
        station += in.Between(0.001, 1e5, true);
    }
    if (in.Take(1) % 3 == 0) {
        const double at = model.points.front().station.value +
                          (station - model.points.front().station.value) * in.Between(0, 1);
        model.chains.push_back({at, at + in.Between(-500, 500)});
        const auto chains = Chainage::Make(model.chains);
        if (!chains) return 0;
        for (auto& p : model.points) p.station = chains->ToLabel(p.station.value);
    }
    const auto profile = Profile::Resolve(model);
    if (!profile) return 0;

    // A ground line inside the profile, crossing the design wherever the
    // fuzzed elevations take it.
    std::optional<GroundLine> ground;
    DrawnGround plotGround;
    if (const int groundPoints = static_cast<int>(in.Take(1) % 40); groundPoints >= 2) {
        GroundModel groundModel{"g", GroundStations::Internal, {}};
        const double from = profile->StartStation(), length = profile->EndStation() - from;
        double s = from + length * in.Between(0, 0.5);
        for (int i = 0; i < groundPoints && s <= profile->EndStation(); ++i) {
            groundModel.points.push_back({Station{s, 0}, profile->At(s).elevation + in.Between(-50, 50, true) *
                                                                                   (in.Take(1) % 2 ? 1 : -1), 0});
            s += length * in.Between(1e-9, 0.2, true);
        }
        ground = GroundLine::Make(groundModel, *profile);
        if (ground) plotGround = MakeDrawnGround(*profile, *ground);
    }
    const DrawnGround* groundInPlot = ground ? &plotGround : nullptr;

    const DeviceRect device{0, 0, in.Between(16, 3000), in.Between(16, 2000)};
    const ProfileDrawing drawing = BuildDrawing(*profile);
    ViewTransform view = FitPlotView(PlotExtent(drawing, groundInPlot), device, in.Between(1, 1000, true));
    view.ZoomAbout({in.Between(0, device.width), in.Between(0, device.height)}, in.Between(0.01, 1e4, true));
    view.PanBy(in.Between(-5000, 5000), in.Between(-5000, 5000));
    const int selected = static_cast<int>(in.Take(1) % 4) - 1;
    const Page page = PlotPage(*profile, drawing, view, device, selected, groundInPlot);

    const PageBox whole = PageBox{0, 0, page.width, page.height}.Grown(1e-6);
    for (const auto& line : page.lines)
        for (const auto& p : line.points) Check(std::isfinite(p.x) && std::isfinite(p.y) && whole.Contains({p.x, p.y, p.x, p.y}));
    for (const auto& area : page.areas)
        for (const auto& p : area.outline) Check(std::isfinite(p.x) && std::isfinite(p.y) && whole.Contains({p.x, p.y, p.x, p.y}));
    std::vector<PageBox> boxes;
    for (const auto& t : page.texts) {
        const PageBox box = TextBounds(t);
        Check(std::isfinite(box.left) && std::isfinite(box.top) && whole.Contains(box));
        for (const auto& other : boxes) Check(!box.Overlaps(other));
        boxes.push_back(box);
    }
    return 0;
}
