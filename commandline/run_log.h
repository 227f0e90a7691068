// The log of a run (/LOG=): every message a box showed or would have shown,
// and one line per file, registry value and link written, in the order they
// came. Held as GBK lines; written out as UTF-8 at the end of the run.
#pragma once

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"

namespace zsetup {

class RunLog {
public:
    // A box's text; its further lines are indented under the first.
    void Message(const std::string& text);
    void File(const std::string& path);
    // key from the root, with or without its leading backslash.
    void RegistryValue(RegRoot root, const std::string& key, const std::string& name);
    void Link(const std::string& path);
    // The access list given to the product's folder, or that it could not be.
    void FolderAccess(const std::string& folder, bool protected_like_program_files);
    // A junction or symbolic link in the product's folder that the run did not write through.
    void LinkNotFollowed(const std::string& path);

    const std::vector<std::string>& lines() const { return lines_; }
    // The lines in UTF-8, each ending in CR LF. A byte sequence that is no
    // GBK stays as it is rather than losing the line.
    std::string Utf8() const;
    // False when the file cannot be written.
    bool Save(Files& files, const std::string& path) const;

private:
    std::vector<std::string> lines_;
};

}  // namespace zsetup
