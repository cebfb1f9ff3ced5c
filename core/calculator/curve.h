#pragma once
// The vertical curve: its elements from the five parameters, and the design
// elevation of any station. Every arithmetic step is checked; a failing step
// throws ArithmeticError and nothing after it runs.

#include "core/calculator/arithmetic_error.h"

namespace tarnvel {

struct CurveParameters {
    double PviStation = 0;    // K0, metres
    double PviElevation = 0;  // H0, metres
    double GradeI1 = 0;       // I1, percent, grade on the side of lower stations
    double GradeI2 = 0;       // I2, percent, grade on the side of higher stations
    double RadiusR = 0;       // R, metres
};

struct CurveElements {
    double T = 0;   // tangent length
    double E = 0;   // external distance
    double L = 0;   // curve length
    double ZY = 0;  // station where the curve starts
    double YZ = 0;  // station where the curve ends
};

// The results a calculation leaves behind: the window keeps the last ones.
struct CurveState {
    CurveElements elements;
    double H = 0;
};

// Computes the elements into `elements` in the order L, T, E, ZY, YZ, storing
// each one as soon as it is known, so that a failure part-way leaves exactly the
// fields before the failing step overwritten.
void ComputeCurveElements(const CurveParameters& p, CurveElements& elements);

// The design elevation at station `k`, from elements just computed from `p`.
double ElevationAt(const CurveParameters& p, const CurveElements& elements, double k);

// One whole calculation at station `k`: elements, then H, stored into `state`
// field by field in the order L, T, E, ZY, YZ, H.
void CalculateAt(const CurveParameters& p, double k, CurveState& state);

}  // namespace tarnvel
