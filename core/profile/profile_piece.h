#pragma once
// The one formula of each piece of a design line, shared by the evaluator and
// by the construction of the curve elements.

#include "core/profile/profile.h"

namespace tarnvel {

// Elevation and grade (percent) of a piece at an internal station, which may
// lie a hair outside the piece.
ProfileValue EvaluatePiece(const ProfilePiece& piece, double s);

}  // namespace tarnvel
