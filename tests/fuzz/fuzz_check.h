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

// A target passes over the inputs of a fault already handed on (known-faults/)
// so it keeps finding new ones; ZSETUP_FUZZ_KNOWN_FAULTS=1 checks them too,
// as when replaying known-faults/ to see whether a fix holds.
inline bool KnownFaultsChecked() {
    static const bool checked = std::getenv("ZSETUP_FUZZ_KNOWN_FAULTS") != nullptr;
    return checked;
}

}  // namespace zsetup::fuzz
