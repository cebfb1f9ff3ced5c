#include "core/calculator/curve.h"

#include <cmath>

namespace tarnvel {

// Each formula is evaluated step by step in exactly the written grouping; the
// quantity names are the ones the user sees in a failure message.
void ComputeCurveElements(const CurveParameters& p, CurveElements& elements) {
    // L = |I1/100 - I2/100| * R
    const double i1 = CheckedDiv(p.GradeI1, 100, Quantity::CurveLength);
    const double i2 = CheckedDiv(p.GradeI2, 100, Quantity::CurveLength);
    elements.L = CheckedMul(std::fabs(CheckedSub(i1, i2, Quantity::CurveLength)), p.RadiusR, Quantity::CurveLength);

    // T = (0.005 * R) * |I1 - I2|, computed on its own although it is L / 2
    const double halfPercentR = CheckedMul(0.005, p.RadiusR, Quantity::TangentLength);
    elements.T = CheckedMul(halfPercentR, std::fabs(CheckedSub(p.GradeI1, p.GradeI2, Quantity::TangentLength)),
                            Quantity::TangentLength);

    // E = (T^2 / 2) / R, from the stored T
    const double tSquared = CheckedMul(elements.T, elements.T, Quantity::External);
    elements.E = CheckedDiv(CheckedDiv(tSquared, 2, Quantity::External), p.RadiusR, Quantity::External);

    elements.ZY = CheckedSub(p.PviStation, elements.T, Quantity::CurveStart);
    elements.YZ = CheckedAdd(p.PviStation, elements.T, Quantity::CurveEnd);
}

double ElevationAt(const CurveParameters& p, const CurveElements& el, double k) {
    // A crest curve (second grade lower) lies below its tangents.
    const double s = p.GradeI2 < p.GradeI1 ? -1.0 : 1.0;

    // All three distances are computed, and checked, before any is used.
    const double d1 = CheckedSub(k, el.ZY, Quantity::Elevation);
    const double d2 = CheckedSub(el.YZ, k, Quantity::Elevation);
    const double dk = CheckedSub(k, p.PviStation, Quantity::Elevation);

    const double x1 = k >= el.ZY ? d1 : 0.0;
    const double x2 = k > el.YZ ? 0.0 : d2;

    // The grade change point itself belongs to the side of the first grade.
    const bool beyondPvi = k > p.PviStation;
    const double i = beyondPvi ? p.GradeI2 : p.GradeI1;
    const double x = beyondPvi ? x2 : x1;

    const double a = CheckedDiv(CheckedMul(i, dk, Quantity::Elevation), 100, Quantity::Elevation);
    const double b = CheckedDiv(CheckedMul(CheckedMul(x, x, Quantity::Elevation), s, Quantity::Elevation), 2, Quantity::Elevation);
    const double tangent = CheckedAdd(p.PviElevation, a, Quantity::Elevation);
    const double ordinate = CheckedDiv(b, p.RadiusR, Quantity::Elevation);
    return CheckedAdd(tangent, ordinate, Quantity::Elevation);
}

void CalculateAt(const CurveParameters& p, double k, CurveState& state) {
    ComputeCurveElements(p, state.elements);
    state.H = ElevationAt(p, state.elements, k);
}

}  // namespace tarnvel
