#pragma once
// An edit asked for on the plot (a PVI dragged, a curve resized, a PVI added
// or removed) applied to the PVI table as one command on the document's undo
// stack, writing the cells a typed edit would: the station and elevation of a
// moved point, the curve cells of a resized curve, a whole row for a new one.

#include "core/profile/grade_edit.h"

namespace tarnvel::ui::profile {

class ProfileDocument;

void ApplyPointEdit(ProfileDocument& document, const PointEdit& edit);

}  // namespace tarnvel::ui::profile
