#pragma once
// A broken invariant ends the fuzzing run with the input that broke it.

#include <cstdlib>
#include <string_view>

namespace tarnvel::fuzz {

inline void Check(bool ok) {
    if (!ok) std::abort();
}

// A message quotes input escaped and short: no byte a terminal acts on but
// the line break, and no input echoed whole.
inline void CheckMessage(std::string_view message) {
    Check(!message.empty() && message.size() < 4096);
    for (const char c : message) Check(static_cast<unsigned char>(c) >= 0x20 || c == '\n');
}

}  // namespace tarnvel::fuzz
