// In-process stand-in for the shell: a scripted folder-picker answer, the
// ShellExecute requests it was given, link files kept by file name inside a
// MemoryFiles, saved only where their folder exists, as on Windows, and the
// Program Files folders of a machine and the user's own.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/memory/memory_files.h"
#include "platform/shell.h"

namespace zsetup {

class MemoryShell : public Shell {
public:
    struct PickerRequest {
        int csidl_root;
        std::string title;
    };
    struct ExecuteRequest {
        std::string verb;
        std::string file;
        std::string parameters;
        std::string directory;
        int show;
    };

    explicit MemoryShell(MemoryFiles& files) : files_(files) {}

    // What the folder picker returns from now on ("" is a cancel, the default).
    void AnswerFolderPicker(std::string folder) { picker_answer_ = std::move(folder); }

    std::string BrowseForFolder(int csidl_root, const std::string& title) override;
    bool Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                 const std::string& directory, int show) override;
    void SaveLink(const std::string& link_file, const ShellLink& link) override;
    // Windows' rule: a 32-bit program on a machine with an "(x86)" folder gets that one.
    std::string ProgramFilesFolder() override;
    std::string UserProgramsFolder() override { return user_programs_; }
    void SetUserPrograms(std::string folder) { user_programs_ = std::move(folder); }

    // The machine's Program Files folders (a 32-bit Windows has no x86 one:
    // ""), and the width of the program asking: by default a 32-bit program
    // on 64-bit Windows.
    void SetProgramFiles(std::string native, std::string x86) {
        program_files_ = std::move(native);
        program_files_x86_ = std::move(x86);
    }
    void SetProgramBits(int bits) { program_bits_ = bits; }

    const std::vector<PickerRequest>& PickerRequests() const { return picker_requests_; }
    const std::vector<ExecuteRequest>& ExecuteRequests() const { return execute_requests_; }
    // Every link file asked for, saved or not.
    const std::vector<std::string>& LinkRequests() const { return link_requests_; }
    // The link saved under that file name, exactly as given.
    std::optional<ShellLink> Link(const std::string& link_file) const;

private:
    MemoryFiles& files_;
    std::string picker_answer_;
    std::vector<PickerRequest> picker_requests_;
    std::vector<ExecuteRequest> execute_requests_;
    std::vector<std::string> link_requests_;
    std::map<std::string, ShellLink> links_;
    std::string program_files_ = "C:\\Program Files";
    std::string program_files_x86_ = "C:\\Program Files (x86)";
    int program_bits_ = 32;
    std::string user_programs_ = "C:\\Users\\me\\AppData\\Local\\Programs";
};

}  // namespace zsetup
