#pragma once
// Editing a profile as its grades and grade lengths (坡度, 坡长), as the PVI
// table offers them beside stations and elevations. Each edit moves the
// later points together, so that what the designer did not touch stays: a
// new grade raises or lowers everything after it by one height (the later
// grades stay), a new length moves everything after it along the road (the
// later lengths stay).

#include <cstddef>
#include <optional>

#include "core/profile/profile.h"

namespace tarnvel {

// The grade (%) and horizontal length from point i to point i + 1, as the
// resolver computes them.
double GradeAfter(const Profile& profile, std::size_t i);
double LengthAfter(const Profile& profile, std::size_t i);

// The model with the grade after point i set to `grade` (%): point i + 1
// and every point after it raised by the same height. Nothing for a point
// without a grade after it or a grade that is not finite.
std::optional<ProfileModel> WithGradeAfter(const Profile& profile, std::size_t i, double grade);

// The model with the length from point i to point i + 1 set to `length`:
// point i + 1 and every point after it moved along the road by the same
// distance, their labels taken through the chain table (a point carried past
// a chain break gets the label of its new place). Nothing for a length that
// is not positive and finite, or a point without a length after it.
std::optional<ProfileModel> WithLengthAfter(const Profile& profile, std::size_t i, double length);

}  // namespace tarnvel
