#include "core/calculator/arithmetic_error.h"

#include <cmath>
#include <utility>

namespace tarnvel {

ArithmeticError::ArithmeticError(ArithmeticFault fault, std::string quantity)
    : std::runtime_error("arithmetic error while computing " + quantity),
      fault_(fault),
      quantity_(std::move(quantity)) {}

namespace {

// With finite operands, an infinite result can only come from overflow and a
// NaN only from an invalid operation, so the result alone tells the fault.
double Checked(double result, const char* quantity) {
    if (std::isinf(result)) throw ArithmeticError(ArithmeticFault::Overflow, quantity);
    if (std::isnan(result)) throw ArithmeticError(ArithmeticFault::InvalidOperation, quantity);
    return result;
}

}  // namespace

double CheckedAdd(double a, double b, const char* quantity) { return Checked(a + b, quantity); }
double CheckedSub(double a, double b, const char* quantity) { return Checked(a - b, quantity); }
double CheckedMul(double a, double b, const char* quantity) { return Checked(a * b, quantity); }

double CheckedDiv(double a, double b, const char* quantity) {
    if (b == 0) {
        throw ArithmeticError(a == 0 ? ArithmeticFault::InvalidOperation
                                     : ArithmeticFault::DivisionByZero,
                              quantity);
    }
    return Checked(a / b, quantity);
}

}  // namespace tarnvel
