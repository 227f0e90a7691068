#include "services/shortcuts.h"

#include "services/shell_folders.h"
#include "text/gbk.h"

namespace zsetup {

std::string LinkFile(const std::string& folder, const std::string& link_name) {
    return folder + "\\" + link_name + ".lnk";
}

std::string ProgramGroupFolder(Registry& registry, const std::string& group) {
    const std::string programs = GetProgramsDir(registry);
    return programs.empty() ? std::string() : programs + "\\" + group;
}

std::string CreateShellLink(Shell& shell, const std::string& target, const std::string& link_name,
                            const std::string& folder, const std::string& arguments) {
    ShellLink link;
    link.target = target;
    link.arguments = arguments;
    link.icon_path = target;
    link.icon_index = 0;
    link.working_directory = PathPart(target);
    std::string file = LinkFile(folder, link_name);
    shell.SaveLink(file, link);
    return file;
}

std::string Shortcuts::CreateDesktopShortcut(const std::string& target, const std::string& link_name,
                                             const std::string& arguments) {
    const std::string desktop = GetDesktopDir(registry_);
    if (desktop.empty() || !DirectoryExists(files_, desktop)) return {};
    return CreateShellLink(shell_, target, link_name, desktop, arguments);
}

std::string Shortcuts::CreateProgramsShortcut(const std::string& group, const std::string& target,
                                              const std::string& link_name, const std::string& arguments) {
    const std::string programs = GetProgramsDir(registry_);
    if (programs.empty() || !DirectoryExists(files_, programs)) return {};
    // The group is made and entered relative to Programs; only entering it can fail the call.
    files_.SetCurrentDir(programs);
    files_.MakeDirectory(group);
    if (const std::uint32_t code = files_.SetCurrentDir(group))
        throw InOutError("Cannot open the program group folder '" + programs + "\\" + group + "' (system error " +
                             std::to_string(code) + ")",
                         code);
    return CreateShellLink(shell_, target, link_name, programs + "\\" + group, arguments);
}

}  // namespace zsetup
