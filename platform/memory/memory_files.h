// An in-process file system for native tests: drives, folders and files by
// path without letter case, as Windows names them. A folder is created only
// when its parent exists and the path is free, as CreateDirectory does.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

namespace zsetup {

class MemoryFiles : public Files {
public:
    // Drive roots such as "C:\" exist from the start.
    explicit MemoryFiles(std::vector<std::string> drives = {"C:"});

    std::optional<std::uint32_t> Attributes(const std::string& path) override;
    bool MakeDirectory(const std::string& path) override;
    std::uint32_t SetCurrentDir(const std::string& path) override;
    std::string CurrentDir() override { return current_; }

    void AddFile(const std::string& path);
    // Every directory created, in order, as given.
    const std::vector<std::string>& Created() const { return created_; }

private:
    // Relative paths are taken from the current directory.
    std::string Absolute(const std::string& path) const;
    std::string Key(const std::string& path) const;
    static std::string Parent(const std::string& key);

    std::set<std::string> dirs_;
    std::set<std::string> files_;
    std::vector<std::string> created_;
    std::string current_ = "C:\\";
};

}  // namespace zsetup
