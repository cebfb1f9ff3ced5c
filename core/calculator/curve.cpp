#include "core/calculator/curve.h"

#include <cmath>

namespace tarnvel {

// Each formula is evaluated step by step in exactly the written grouping; the
// quantity names are the ones the user sees in a failure message.
void ComputeCurveElements(const CurveParameters& p, CurveElements& elements) {
    // L = |I1/100 - I2/100| * R
    const double i1 = CheckedDiv(p.GradeI1, 100, "曲线长L");
    const double i2 = CheckedDiv(p.GradeI2, 100, "曲线长L");
    elements.L = CheckedMul(std::fabs(CheckedSub(i1, i2, "曲线长L")), p.RadiusR, "曲线长L");

    // T = (0.005 * R) * |I1 - I2|, computed on its own although it is L / 2
    const double halfPercentR = CheckedMul(0.005, p.RadiusR, "切线长T");
    elements.T = CheckedMul(halfPercentR, std::fabs(CheckedSub(p.GradeI1, p.GradeI2, "切线长T")),
                            "切线长T");

    // E = (T^2 / 2) / R, from the stored T
    const double tSquared = CheckedMul(elements.T, elements.T, "外距长E");
    elements.E = CheckedDiv(CheckedDiv(tSquared, 2, "外距长E"), p.RadiusR, "外距长E");

    elements.ZY = CheckedSub(p.PviStation, elements.T, "起点ZY");
    elements.YZ = CheckedAdd(p.PviStation, elements.T, "止点YZ");
}

double ElevationAt(const CurveParameters& p, const CurveElements& el, double k) {
    // A crest curve (second grade lower) lies below its tangents.
    const double s = p.GradeI2 < p.GradeI1 ? -1.0 : 1.0;

    // All three distances are computed, and checked, before any is used.
    const double d1 = CheckedSub(k, el.ZY, "高程H");
    const double d2 = CheckedSub(el.YZ, k, "高程H");
    const double dk = CheckedSub(k, p.PviStation, "高程H");

    const double x1 = k >= el.ZY ? d1 : 0.0;
    const double x2 = k > el.YZ ? 0.0 : d2;

    // The grade change point itself belongs to the side of the first grade.
    const bool beyondPvi = k > p.PviStation;
    const double i = beyondPvi ? p.GradeI2 : p.GradeI1;
    const double x = beyondPvi ? x2 : x1;

    const double a = CheckedDiv(CheckedMul(i, dk, "高程H"), 100, "高程H");
    const double b = CheckedDiv(CheckedMul(CheckedMul(x, x, "高程H"), s, "高程H"), 2, "高程H");
    const double tangent = CheckedAdd(p.PviElevation, a, "高程H");
    const double ordinate = CheckedDiv(b, p.RadiusR, "高程H");
    return CheckedAdd(tangent, ordinate, "高程H");
}

void CalculateAt(const CurveParameters& p, double k, CurveState& state) {
    ComputeCurveElements(p, state.elements);
    state.H = ElevationAt(p, state.elements, k);
}

}  // namespace tarnvel
