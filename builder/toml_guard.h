// toml++ 3.3.0, Debian 12's, reaches undefined behaviour on some text it
// should simply refuse. Asked whether a character is whitespace it has no
// answer for U+00A1..U+0499, U+2C5E..U+2FFF, U+3001..U+3057 and
// U+FB26..U+FEFE; and it reads on assuming what it has not checked: that a
// table header's name starts with a key character, that an array element
// is not '}', that a digit after a date and a blank starts a longer time.
// No toml++ release fixes these (3.4.0 has them all), so the manifest
// loader runs this check first and refuses such text itself. It also bounds
// what would cost toml++ its stack or much memory: nesting (each part of a
// dotted key is a table of its own, and toml++ reads and frees tables by
// recursion) and the length of a text in quotes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zsetup {

struct TomlTrap {
    int line = 0;
    std::string message;
};

// The first place in UTF-8 TOML text where toml++ 3.3.0 would misbehave,
// with its line: a non-ASCII character outside quotes and comments (TOML
// allows none there; a number runs to the next blank, quotes and all), a
// non-ASCII character after a backslash in a """ string, one toml++ cannot
// classify at the start of a line continued by a backslash, a table header
// without a name, '}' for an array element, a one-digit time after a date;
// more than 128 levels of nesting (dotted keys' and headers' parts, inline
// tables and arrays together), a text in quotes of more than 64 KiB.
// Invalid UTF-8 is left to toml++, which refuses it before reading past it.
std::optional<TomlTrap> FindTomlTrap(std::string_view text);

}  // namespace zsetup
