#include "core/drawing/label_layout.h"

#include <algorithm>
#include <cmath>

namespace tarnvel {
namespace {

bool Overlap(const DeviceRect& a, const DeviceRect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

bool Contains(const DeviceRect& outer, const DeviceRect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top &&
           inner.left + inner.width <= outer.left + outer.width && inner.top + inner.height <= outer.top + outer.height;
}

DeviceRect BoxOf(const DrawingLabel& label, DevicePoint anchor, double width, double height) {
    double left = anchor.x + label.offsetX;
    if (label.hAlign == HAlign::Centre) left -= width / 2;
    if (label.hAlign == HAlign::Right) left -= width;
    double top = anchor.y + label.offsetY;
    if (label.vAlign == VAlign::Middle) top -= height / 2;
    if (label.vAlign == VAlign::Above) top -= height;
    return {left, top, width, height};
}

// Placed boxes bucketed by cells of the frame, so that a view with thousands
// of labels checks each against its neighbours only.
class Occupancy {
public:
    explicit Occupancy(const DeviceRect& frame)
        : frame_(frame),
          columns_(std::max(1, static_cast<int>(std::ceil(frame.width / kCell)))),
          rows_(std::max(1, static_cast<int>(std::ceil(frame.height / kCell)))),
          cells_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_)) {}

    bool Free(const DeviceRect& box) const {
        const auto [c0, c1, r0, r1] = Cells(box);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                for (const auto& other : cells_[Index(c, r)])
                    if (Overlap(box, other)) return false;
        return true;
    }

    bool TryPlace(const DeviceRect& box) {
        if (!Free(box)) return false;
        const auto [c0, c1, r0, r1] = Cells(box);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) cells_[Index(c, r)].push_back(box);
        return true;
    }

private:
    static constexpr double kCell = 64;

    struct Span {
        int c0, c1, r0, r1;
    };
    Span Cells(const DeviceRect& box) const {
        auto column = [&](double x) {
            return std::clamp(static_cast<int>(std::floor((x - frame_.left) / kCell)), 0, columns_ - 1);
        };
        auto row = [&](double y) {
            return std::clamp(static_cast<int>(std::floor((y - frame_.top) / kCell)), 0, rows_ - 1);
        };
        return {column(box.left), column(box.left + box.width), row(box.top), row(box.top + box.height)};
    }
    std::size_t Index(int c, int r) const {
        return static_cast<std::size_t>(r) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(c);
    }

    DeviceRect frame_;
    int columns_, rows_;
    std::vector<std::vector<DeviceRect>> cells_;
};

}  // namespace

std::vector<PlacedLabel> PlaceLabels(const ProfileDrawing& drawing, const ViewTransform& transform,
                                     const DeviceRect& frame, const LabelWidth& width, double lineHeight) {
    std::vector<PlacedLabel> placed;
    Occupancy occupancy(frame);
    for (LabelRole role : {LabelRole::Pvi, LabelRole::EndPoint, LabelRole::Extreme, LabelRole::Grade}) {
        for (std::size_t i = 0; i < drawing.labels.size(); ++i) {
            const auto& label = drawing.labels[i];
            if (label.role != role) continue;
            const DevicePoint anchor = transform.ToDevice(label.anchor);
            const double height = lineHeight * static_cast<double>(label.lines.size());
            // Where even a sliver of the label is taken, it cannot go there:
            // most labels of a crowded view are refused without being measured.
            if (!occupancy.Free(BoxOf(label, anchor, 1, height))) continue;
            const DeviceRect box = BoxOf(label, anchor, width(i), height);
            // Text cut by the frame is no use on a drawing.
            if (!Contains(frame, box)) continue;
            if (occupancy.TryPlace(box)) placed.push_back({i, box});
        }
    }
    return placed;
}

}  // namespace tarnvel
