#pragma once
// Where a text may still go on a page: the lines and marks drawn so far and
// the texts placed so far, bucketed by cells of the page so that a page with
// thousands of them checks each place against its neighbours only. Texts are
// placed one by one, most important first; a place is free when its box
// touches no placed box and no drawn segment passes through it.

#include <cstdint>
#include <vector>

#include "core/drawing/page.h"

namespace tarnvel {

class PageSpace {
public:
    // `area` is where things are kept apart; outside it, cells are shared.
    explicit PageSpace(const PageBox& area, double cell = 8);

    void AddSegment(PagePoint a, PagePoint b);
    void AddPolyline(const std::vector<PagePoint>& points, bool closed = false);
    void AddBox(const PageBox& box);

    bool FreeOfBoxes(const PageBox& box) const;
    bool FreeOfSegments(const PageBox& box) const;
    bool Free(const PageBox& box) const { return FreeOfBoxes(box) && FreeOfSegments(box); }

private:
    struct Span {
        int c0, c1, r0, r1;
    };
    Span Cells(const PageBox& box) const;
    std::size_t Index(int c, int r) const {
        return static_cast<std::size_t>(r) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(c);
    }

    struct Segment {
        PagePoint a, b;
    };
    PageBox area_;
    double cell_;
    int columns_, rows_;
    std::vector<PageBox> boxes_;
    std::vector<Segment> segments_;
    std::vector<std::vector<std::uint32_t>> boxCells_, segmentCells_;
};

}  // namespace tarnvel
