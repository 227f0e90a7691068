// Shell links (.lnk) for the installed product: on the Desktop and in a
// program group of the Start menu.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace zsetup {

// A folder that could not be entered; carries the system's error code.
class InOutError : public std::runtime_error {
public:
    InOutError(const std::string& what, std::uint32_t code) : std::runtime_error(what), code_(code) {}
    std::uint32_t code() const { return code_; }

private:
    std::uint32_t code_;
};

// The link file a link of that name makes in a folder: folder + "\" +
// link_name + ".lnk" (".lnk" is appended even when the name has it).
std::string LinkFile(const std::string& folder, const std::string& link_name);
// The program group's folder below the user's Programs folder; empty when
// the user has none.
std::string ProgramGroupFolder(Registry& registry, const std::string& group);

// Saves LinkFile(folder, link_name) pointing at the target, with the
// target's own icon and its folder as working directory; gives that file.
std::string CreateShellLink(Shell& shell, const std::string& target, const std::string& link_name,
                            const std::string& folder, const std::string& arguments);

class Shortcuts {
public:
    Shortcuts(Registry& registry, Files& files, Shell& shell) : registry_(registry), files_(files), shell_(shell) {}

    // Each gives the link file it saved.
    // Nothing happens (empty) when the user has no Desktop folder.
    std::string CreateDesktopShortcut(const std::string& target, const std::string& link_name,
                                      const std::string& arguments);

    // Makes the group folder below Programs (an existing one is reused) and
    // leaves it as the process's current directory. Nothing happens when the
    // user has no Programs folder (empty); a group folder that cannot be
    // entered throws InOutError and no link is made.
    std::string CreateProgramsShortcut(const std::string& group, const std::string& target,
                                       const std::string& link_name, const std::string& arguments);

private:
    Registry& registry_;
    Files& files_;
    Shell& shell_;
};

}  // namespace zsetup
