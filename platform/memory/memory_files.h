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

    void AddFile(const std::string& path);
    // Every directory created, in order, as given.
    const std::vector<std::string>& Created() const { return created_; }

private:
    static std::string Key(const std::string& path);
    static std::string Parent(const std::string& key);

    std::set<std::string> dirs_;
    std::set<std::string> files_;
    std::vector<std::string> created_;
};

}  // namespace zsetup
