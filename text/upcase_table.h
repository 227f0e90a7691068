// NTFS's upcase table for the Basic Multilingual Plane: Unicode's simple
// uppercase mapping, as runs of characters sorted by their first. A run maps
// first, first + step, ... (length characters) each to itself + delta,
// modulo 2^16. Written into upcase_table.cpp by scripts/make-upcase-table.py.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zsetup {

struct UpcaseRun {
    std::uint16_t first;
    std::uint16_t delta;
    std::uint8_t length;
    std::uint8_t step;
};

extern const UpcaseRun kUpcaseRuns[];
extern const std::size_t kUpcaseRunCount;

}  // namespace zsetup
