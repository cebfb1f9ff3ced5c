#pragma once
// The failure of a checked arithmetic step, and the checked steps themselves.

#include <stdexcept>

namespace tarnvel {

enum class ArithmeticFault { Overflow, DivisionByZero, InvalidOperation };

// What was being computed; the message module names it in the user's words.
enum class Quantity { CurveLength, TangentLength, External, CurveStart, CurveEnd, Elevation, Station };

class ArithmeticError : public std::runtime_error {
public:
    ArithmeticError(ArithmeticFault fault, Quantity quantity);

    ArithmeticFault fault() const { return fault_; }
    Quantity quantity() const { return quantity_; }

private:
    ArithmeticFault fault_;
    Quantity quantity_;
};

// Each checked step takes finite operands (every value the program computes
// with is finite) and throws when the exact result has no finite double.
double CheckedAdd(double a, double b, Quantity quantity);
double CheckedSub(double a, double b, Quantity quantity);
double CheckedMul(double a, double b, Quantity quantity);
double CheckedDiv(double a, double b, Quantity quantity);

}  // namespace tarnvel
