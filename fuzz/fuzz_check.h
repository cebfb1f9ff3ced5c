#pragma once
// A broken invariant ends the fuzzing run with the input that broke it.

#include <cstdlib>

namespace tarnvel::fuzz {

inline void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace tarnvel::fuzz
