#pragma once
// The place, size, caption and tab position of every control of the main
// window, in one table. Places are twips (1/1440 inch) measured from the
// top-left corner of the client area, or of the containing frame (its caption
// band included), and become pixels in exactly one function.

#include <QRect>
#include <QSize>

#include <span>
#include <string_view>

#include "ui/look.h"

namespace tarnvel::ui::layout {

inline constexpr int kClientWidthTwips = 4710;
inline constexpr int kClientHeightTwips = 3030;

struct ControlPlace {
    std::string_view name;       // objectName of the control
    std::string_view container;  // objectName of its frame; empty for the client area
    std::string_view caption;    // caption or stored text (UTF-8); empty for none
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int tabIndex = 0;  // place in the tab order; every control has a distinct one
};

// Every positioned control of the window, in no particular order.
std::span<const ControlPlace> Controls();

// The row of the named control. The name must be one of the table's.
const ControlPlace& Find(std::string_view name);

QRect PixelRect(const ControlPlace& place);
QSize ClientSizePixels();

}  // namespace tarnvel::ui::layout
