// The include and exclude patterns of a [[folder]] row. A pattern is matched
// against a path relative to the row's source folder, folders separated by
// '/' ("img/logo.png"):
//   *    any run of characters within one name    ?   one character
//   **   as a whole part between slashes: any number of folders, none too
// A pattern without '/' matches a name at any depth ("*.pdb", "cache"); one
// with '/' matches the path from the source folder down ("img/*.png", a
// leading '/' changes nothing). A pattern that matches a folder matches
// everything in it. Letters compare ignoring ASCII case, as Windows compares
// names. Every other character stands for itself.
#pragma once

#include <string>
#include <string_view>

namespace zsetup {

// Empty when the pattern can be used, otherwise why not (empty, a backslash,
// a "." or ".." part, not UTF-8).
std::string GlobProblem(std::string_view pattern);

// Whether the pattern matches the path or one of the folders it lies in.
// Both are UTF-8; a pattern with a problem matches nothing.
bool GlobMatches(std::string_view pattern, std::string_view relative_path);

}  // namespace zsetup
