#pragma once
// The start-up example's continuous listing (16740 to 16800 by 10), exactly as
// the listing box holds it, for the tests of every part that produces or
// writes it.

#include <string_view>

namespace tarnvel::test {

inline constexpr std::string_view kStartUpListing =
    "里程K   高程H\r\n"
    "16740   395.74\r\n"
    "16750   396.033\r\n"
    "16760   396.293\r\n"
    "16770   396.52\r\n"
    "16780   396.713\r\n"
    "16790   396.873\r\n"
    "16800   397\r\n";

}  // namespace tarnvel::test
