#include "io/exact_number.h"

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

}  // namespace tarnvel::io
