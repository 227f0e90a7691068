// The Windows shell through the W functions, converting GBK explicitly.
#pragma once

#include "platform/shell.h"

namespace zsetup {

class Win32Shell : public Shell {
public:
    // Needs COM initialised on the calling thread, as the wizard's thread has.
    std::string BrowseForFolder(int csidl_root, const std::string& title) override;
    bool Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                 const std::string& directory, int show) override;
    void SaveLink(const std::string& link_file, const ShellLink& link) override;
    std::string ProgramFilesFolder() override;
    std::string UserProgramsFolder() override;
};

}  // namespace zsetup
