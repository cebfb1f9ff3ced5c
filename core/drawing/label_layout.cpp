#include "core/drawing/label_layout.h"

#include <algorithm>
#include <cmath>

namespace tarnvel {
namespace {

// A page has at most this many cells a side; a finer grid buys nothing.
constexpr int kMaxCells = 512;

int CellCount(double length, double cell) {
    const double n = std::ceil(length / cell);
    return std::isfinite(n) ? std::clamp(static_cast<int>(n), 1, kMaxCells) : 1;
}

}  // namespace

PageSpace::PageSpace(const PageBox& area, double cell)
    : area_(area),
      cell_(cell > 0 ? cell : 8),
      columns_(CellCount(area.Width(), cell_)),
      rows_(CellCount(area.Height(), cell_)),
      boxCells_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_)),
      segmentCells_(boxCells_.size()) {
    cell_ = std::max({cell_, area.Width() / columns_, area.Height() / rows_});
}

PageSpace::Span PageSpace::Cells(const PageBox& box) const {
    auto column = [&](double x) {
        const double c = std::floor((x - area_.left) / cell_);
        return std::isfinite(c) ? static_cast<int>(std::clamp(c, 0.0, columns_ - 1.0)) : 0;
    };
    auto row = [&](double y) {
        const double r = std::floor((y - area_.top) / cell_);
        return std::isfinite(r) ? static_cast<int>(std::clamp(r, 0.0, rows_ - 1.0)) : 0;
    };
    return {column(box.left), column(box.right), row(box.top), row(box.bottom)};
}

void PageSpace::AddSegment(PagePoint a, PagePoint b) {
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) return;
    // A long segment is kept as pieces no longer than a cell, so that it
    // sits in the cells it crosses rather than in all of its bounding box.
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    const int pieces = static_cast<int>(std::clamp(std::ceil(length / cell_), 1.0, 4.0 * kMaxCells));
    PagePoint from = a;
    for (int i = 1; i <= pieces; ++i) {
        const PagePoint to = i == pieces ? b : PagePoint{a.x + (b.x - a.x) * i / pieces, a.y + (b.y - a.y) * i / pieces};
        const auto index = static_cast<std::uint32_t>(segments_.size());
        segments_.push_back({from, to});
        const auto [c0, c1, r0, r1] = Cells({std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x),
                                             std::max(from.y, to.y)});
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) segmentCells_[Index(c, r)].push_back(index);
        from = to;
    }
}

void PageSpace::AddPolyline(const std::vector<PagePoint>& points, bool closed) {
    for (std::size_t i = 1; i < points.size(); ++i) AddSegment(points[i - 1], points[i]);
    if (closed && points.size() > 2) AddSegment(points.back(), points.front());
}

void PageSpace::AddBox(const PageBox& box) {
    const auto index = static_cast<std::uint32_t>(boxes_.size());
    boxes_.push_back(box);
    const auto [c0, c1, r0, r1] = Cells(box);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) boxCells_[Index(c, r)].push_back(index);
}

bool PageSpace::FreeOfBoxes(const PageBox& box) const {
    const auto [c0, c1, r0, r1] = Cells(box);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            for (const auto i : boxCells_[Index(c, r)])
                if (box.Overlaps(boxes_[i])) return false;
    return true;
}

bool PageSpace::FreeOfSegments(const PageBox& box) const {
    const auto [c0, c1, r0, r1] = Cells(box);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            for (const auto i : segmentCells_[Index(c, r)])
                if (SegmentMeetsBox(segments_[i].a, segments_[i].b, box)) return false;
    return true;
}

}  // namespace tarnvel
