#include "io/exact_number.h"

#include <cmath>

#include <charconv>
#include <system_error>

namespace tarnvel::io {

std::string ExactNumberText(double value) {
    // Fixed notation of a double needs at most 309 digits before the point
    // and about 770 after it; the shortest round-trip form is far shorter.
    // Not initialised: to_chars writes what is read.
    char buffer[1100];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (error != std::errc()) return "0";
    return std::string(buffer, end);
}

std::string ComputedNumberText(double value) {
    const double tolerance = std::fabs(value) * 1e-12;
    char buffer[64];
    for (int digits = 1; digits < 17; ++digits) {
        const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, digits - 1);
        if (error != std::errc()) break;
        double rounded = 0;
        if (std::from_chars(buffer, end, rounded).ec != std::errc()) break;
        if (std::fabs(rounded - value) <= tolerance) return ExactNumberText(rounded);
    }
    return ExactNumberText(value);
}

}  // namespace tarnvel::io
