// Any text at all: the station parser never crashes, and a station it accepts,
// written in either form and read back, is the same station to the decimals
// written.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/calculator/number_text.h"
#include "core/profile/station.h"
#include "fuzz/fuzz_check.h"
#include "core/text/messages.h"

using tarnvel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnvel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    Check(std::isfinite(StationBoxToNumber(text)));
    StationTextProblem problem;
    const auto station = ParseStation(text, &problem);
    if (!station) {
        Check(problem.fault != StationTextFault::None && !DescribeStationText(problem).empty());
        return 0;
    }
    Check(std::isfinite(station->value));
    Check(station->occurrence >= 0);

    for (int decimals : {0, 3, 6}) {
        const std::string k = FormatStation(*station, StationStyle::K, decimals);
        const std::string plain = FormatStation(*station, StationStyle::Plain, decimals);
        const auto fromK = ParseStation(k);
        const auto fromPlain = ParseStation(plain);
        Check(fromK.has_value() && fromPlain.has_value());
        // Both forms are the same rounding of the value.
        Check(fromK->value == fromPlain->value);
        Check(fromK->occurrence == station->occurrence);
        // Written again, the rounded value gives the same text.
        Check(FormatStation(*fromK, StationStyle::K, decimals) == k);
        const double unit = std::pow(10.0, -decimals);
        Check(std::fabs(fromK->value - station->value) <= unit / 2 + std::fabs(station->value) * 1e-15);
    }
    const auto canonical = ParseStation(FormatStation(*station, StationStyle::Plain));
    Check(canonical.has_value() && std::isfinite(canonical->value));
    return 0;
}
