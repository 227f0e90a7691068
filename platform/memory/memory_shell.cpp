#include "platform/memory/memory_shell.h"

#include "text/gbk.h"

namespace zsetup {

std::string MemoryShell::BrowseForFolder(int csidl_root, const std::string& title) {
    picker_requests_.push_back({csidl_root, title});
    return picker_answer_;
}

bool MemoryShell::Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                          const std::string& directory, int show) {
    execute_requests_.push_back({verb, file, parameters, directory, show});
    return true;
}

void MemoryShell::SaveLink(const std::string& link_file, const ShellLink& link) {
    link_requests_.push_back(link_file);
    const std::string folder = FolderOf(link_file);
    // A save into a missing folder fails silently, as IPersistFile::Save's result is not looked at.
    if (!DirectoryExists(files_, folder)) return;
    links_[link_file] = link;
    files_.AddFile(link_file);
}

std::string MemoryShell::ProgramFilesFolder() {
    return program_bits_ == 32 && !program_files_x86_.empty() ? program_files_x86_ : program_files_;
}

std::optional<ShellLink> MemoryShell::Link(const std::string& link_file) const {
    const auto it = links_.find(link_file);
    if (it == links_.end()) return std::nullopt;
    return it->second;
}

}  // namespace zsetup
