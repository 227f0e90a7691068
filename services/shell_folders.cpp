#include "services/shell_folders.h"

#include "platform/registry_accessor.h"

namespace zsetup {

namespace {

std::string ReadShellFolder(Registry& registry, const std::string& name) {
    RegistryAccessor accessor(registry, kGenericRead | kKeyQueryValue, RegRoot::CurrentUser);
    if (!accessor.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", false)) return {};
    return accessor.ReadString(name);
}

}  // namespace

std::string GetDesktopDir(Registry& registry) { return ReadShellFolder(registry, "Desktop"); }

std::string GetProgramsDir(Registry& registry) { return ReadShellFolder(registry, "Programs"); }

}  // namespace zsetup
