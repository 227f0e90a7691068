// Reparse points (junctions, symbolic links, mount points) on the way into
// the product's folder. A user who may write there can swap a folder for a
// link to anywhere; an elevated program that followed it would write or
// delete there.
#pragma once

#include <optional>
#include <string>

#include "platform/files.h"

namespace zsetup {

// Whether the path itself is a reparse point (not what it leads to).
bool IsLink(Files& files, const std::string& path);

// The first folder on the way from `folder` to `path`, below `folder` and
// above `path`, that is a reparse point; nothing when there is none or when
// `path` does not lie below `folder`. `folder` has no trailing backslash.
std::optional<std::string> FirstLinkBelow(Files& files, const std::string& folder, const std::string& path);

}  // namespace zsetup
