#pragma once
// An edit asked for on the plot (a PVI dragged, a curve resized, a PVI added
// or removed) applied to the PVI table as one command on the document's undo
// stack, writing the cells a typed edit would: the station and elevation of a
// moved point, the curve cells of a resized curve, a whole row for a new one.
// The plot's points are those of the document's profile only while the
// tables read and resolve to it: while a cell is at fault the plot shows the
// last valid profile, whose point i need not be row i, so the edit is then
// refused rather than written into the wrong row.

#include <QString>

#include "core/profile/pvi_edit.h"

namespace tarnvel::ui::profile {

class ProfileDocument;

// The user's message when refused (nothing then changes), empty when applied.
QString ApplyPointEdit(ProfileDocument& document, const PointEdit& edit);

}  // namespace tarnvel::ui::profile
