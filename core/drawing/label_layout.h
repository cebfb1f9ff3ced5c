#pragma once
// Which labels of a drawing to show in a view, and where: a label that would
// not lie wholly inside the frame is left out, and so is one that would cover
// a label placed before it. PVI labels are placed first, then the start and
// end points, high and low points, grades, so that the most important text wins.

#include <cstddef>
#include <functional>
#include <vector>

#include "core/drawing/profile_drawing.h"
#include "core/drawing/view_transform.h"

namespace tarnvel {

struct PlacedLabel {
    std::size_t label = 0;  // index into ProfileDrawing::labels
    DeviceRect box;         // where its text goes, lines stacked from the top
};

// `width(i)` is the width in pixels of label i's widest line, asked only for
// labels inside the frame; every line is `lineHeight` pixels high.
using LabelWidth = std::function<double(std::size_t label)>;
std::vector<PlacedLabel> PlaceLabels(const ProfileDrawing& drawing, const ViewTransform& transform,
                                     const DeviceRect& frame, const LabelWidth& width, double lineHeight);

}  // namespace tarnvel
