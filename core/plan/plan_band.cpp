// The 直线及平曲线 band of a sheet drawn from a resolved plan: the band needs
// only where each element starts and ends, which way it turns and its radii,
// so the plan's elements map onto the band's pieces one for one, in the same
// internal stations the profile uses.

#include <cmath>

#include "core/plan/plan.h"

namespace tarnvel {
namespace {

double RadiusOf(double curvature) { return curvature == 0 ? kStraightRadius : 1 / std::fabs(curvature); }

}  // namespace

HorizontalAlignment HorizontalOf(const Plan& plan) {
    HorizontalAlignment band;
    band.pieces.reserve(plan.Elements().size());
    for (const PlanElement& e : plan.Elements()) {
        HorizontalPiece piece;
        piece.start = e.start;
        piece.end = e.End();
        switch (e.kind) {
        case PlanElementKind::Line: piece.kind = HorizontalKind::Line; break;
        case PlanElementKind::Arc: piece.kind = HorizontalKind::Arc; break;
        case PlanElementKind::Spiral: piece.kind = HorizontalKind::Spiral; break;
        }
        if (e.kind != PlanElementKind::Line) {
            // A spiral is straight at one end: the other end's curvature says the way.
            piece.turn = e.k0 + e.k1 > 0 ? HorizontalTurn::Right : HorizontalTurn::Left;
            piece.radiusStart = RadiusOf(e.k0);
            piece.radiusEnd = RadiusOf(e.k1);
        }
        band.pieces.push_back(piece);
    }
    return band;
}

}  // namespace tarnvel
