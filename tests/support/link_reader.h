// Reads a .lnk file back through IShellLinkW, independently of the shell
// adapter that wrote it.
#pragma once

#include <optional>
#include <string>

#include "platform/shell.h"

namespace zsetup::testing {

// Nothing when the file cannot be loaded as a link. Texts come back as GBK.
std::optional<ShellLink> ReadLinkFile(const std::string& link_file);

// Wine's shell keeps a link's target path only in the ANSI code page (no
// Unicode path beside it), so under another code page than 936 a target with
// Chinese characters comes back as question marks; every other text of the
// link is stored as Unicode and survives.
bool TargetSurvivesAnsiCodePage(const std::string& target);

}  // namespace zsetup::testing
