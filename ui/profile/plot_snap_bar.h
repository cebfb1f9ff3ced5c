#pragma once
// The snapping controls of the plot, beside its other controls: 吸附 on or
// off, the station step (1, 5, 10, 20) and the grade step (0.01 %, 0.05 %,
// 0.1 %). The choices are handed to the plot as they change and kept in the
// window's settings, so the next session starts with them.

class QWidget;

namespace tarnvel::ui {
class PlotWidget;
namespace profile {
class ProfileSettings;

// The controls in one row, made and connected; `plot` and `settings` must
// outlive them.
QWidget* MakeSnapBar(PlotWidget& plot, ProfileSettings& settings, QWidget* parent);

}  // namespace profile
}  // namespace tarnvel::ui
