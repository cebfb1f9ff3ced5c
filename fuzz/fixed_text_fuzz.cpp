// Any double and any decimals setting: the fast fixed-point formatter writes
// exactly the bytes of exact decimal printing.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/calculator/number_text.h"
#include "fuzz/fuzz_check.h"
#include "tests/fixed_text_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9) return 0;
    std::uint64_t bits = 0;
    std::memcpy(&bits, data, sizeof bits);
    const double value = std::bit_cast<double>(bits);
    const int decimals = data[8] % 13;
    tarnvel::fuzz::Check(tarnvel::FixedText(value, decimals) ==
                         tarnvel::testing::ReferenceFixedText(value, decimals));
    return 0;
}
