// A property a fuzz target checks. When it does not hold the input is a
// finding: say which property broke and abort, so libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace zsetup::fuzz {

inline void Require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "fuzz property broken: %s\n", property);
    std::abort();
}

}  // namespace zsetup::fuzz
