// Any text at all: the number reader never fails, never gives a non-finite
// value, and the number printer's text is stable when read back.

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/calculator/number_text.h"
#include "fuzz/fuzz_check.h"

namespace {

using tarnvel::fuzz::Check;

bool IsNumberChar(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'E';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnvel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const double value = TextToNumber(text);
    Check(std::isfinite(value));

    const std::string printed = NumberToText(value);
    Check(!printed.empty() && printed.size() <= 24);
    for (char c : printed) Check(IsNumberChar(c));
    Check(printed != "-0");
    // The printed text reads back as a number that prints the same way (the
    // 15-digit rounding is stable for every normal double).
    if (std::isnormal(value) || value == 0) Check(NumberToText(TextToNumber(printed)) == printed);

    const double rounded = RoundTo3(value);
    Check(std::isfinite(rounded));
    Check(!(rounded == 0 && std::signbit(rounded)));
    // The same multiple of 0.001 as exact decimal printing gives.
    std::array<char, 400> buf{};
    const auto end = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                                   std::chars_format::fixed, 3).ptr;
    double reference = 0;
    std::from_chars(buf.data(), end, reference);
    Check(rounded == reference);
    return 0;
}
