#include "core/calculator/arithmetic_error.h"

#include <cmath>

namespace tarnvel {

ArithmeticError::ArithmeticError(ArithmeticFault fault, Quantity quantity)
    : std::runtime_error("arithmetic error"), fault_(fault), quantity_(quantity) {}

namespace {

// With finite operands, an infinite result can only come from overflow and a
// NaN only from an invalid operation, so the result alone tells the fault.
double Checked(double result, Quantity quantity) {
    if (std::isinf(result)) throw ArithmeticError(ArithmeticFault::Overflow, quantity);
    if (std::isnan(result)) throw ArithmeticError(ArithmeticFault::InvalidOperation, quantity);
    return result;
}

}  // namespace

double CheckedAdd(double a, double b, Quantity quantity) { return Checked(a + b, quantity); }
double CheckedSub(double a, double b, Quantity quantity) { return Checked(a - b, quantity); }
double CheckedMul(double a, double b, Quantity quantity) { return Checked(a * b, quantity); }

double CheckedDiv(double a, double b, Quantity quantity) {
    if (b == 0) {
        throw ArithmeticError(a == 0 ? ArithmeticFault::InvalidOperation
                                     : ArithmeticFault::DivisionByZero,
                              quantity);
    }
    return Checked(a / b, quantity);
}

}  // namespace tarnvel
