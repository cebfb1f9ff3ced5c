#pragma once
// The failure of a checked arithmetic step, and the checked steps themselves.

#include <stdexcept>
#include <string>

namespace tarnvel {

enum class ArithmeticFault { Overflow, DivisionByZero, InvalidOperation };

class ArithmeticError : public std::runtime_error {
public:
    // `quantity` names what was being computed, in the user's words ("外距长E").
    ArithmeticError(ArithmeticFault fault, std::string quantity);

    ArithmeticFault fault() const { return fault_; }
    const std::string& quantity() const { return quantity_; }

private:
    ArithmeticFault fault_;
    std::string quantity_;
};

// Each checked step takes finite operands (every value the program computes
// with is finite) and throws when the exact result has no finite double.
double CheckedAdd(double a, double b, const char* quantity);
double CheckedSub(double a, double b, const char* quantity);
double CheckedMul(double a, double b, const char* quantity);
double CheckedDiv(double a, double b, const char* quantity);

}  // namespace tarnvel
