#include "platform/memory/memory_files.h"

namespace zsetup {

MemoryFiles::MemoryFiles(std::vector<std::string> drives) {
    for (const std::string& d : drives) dirs_.insert(Key(d));
}

std::string MemoryFiles::Absolute(const std::string& path) const {
    const bool absolute = (path.size() >= 2 && path[1] == ':') || (!path.empty() && path[0] == '\\');
    if (absolute || path.empty()) return path;
    return current_ + (current_.back() == '\\' ? "" : "\\") + path;
}

// Absolute, lower-cased, without trailing backslashes: "C:\A\" and "c:\a"
// are one folder.
std::string MemoryFiles::Key(const std::string& path) const {
    std::string k = Absolute(path);
    for (char& c : k)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    while (!k.empty() && k.back() == '\\') k.pop_back();
    return k;
}

std::string MemoryFiles::Parent(const std::string& key) {
    const auto at = key.rfind('\\');
    return at == std::string::npos ? std::string() : key.substr(0, at);
}

std::optional<std::uint32_t> MemoryFiles::Attributes(const std::string& path) {
    const std::string k = Key(path);
    if (dirs_.count(k)) return kFileAttributeDirectory;
    if (files_.count(k)) return 0x20;  // FILE_ATTRIBUTE_ARCHIVE
    return std::nullopt;
}

bool MemoryFiles::MakeDirectory(const std::string& path) {
    const std::string k = Key(path);
    if (k.empty() || dirs_.count(k) || files_.count(k) || !dirs_.count(Parent(k))) return false;
    dirs_.insert(k);
    created_.push_back(path);
    return true;
}

std::uint32_t MemoryFiles::SetCurrentDir(const std::string& path) {
    const std::string k = Key(path);
    if (!dirs_.count(k)) return files_.count(k) ? 267 : 2;  // ERROR_DIRECTORY, ERROR_FILE_NOT_FOUND
    current_ = Absolute(path);
    while (current_.size() > 3 && current_.back() == '\\') current_.pop_back();
    if (current_.size() == 2) current_ += '\\';
    return 0;
}

void MemoryFiles::AddFile(const std::string& path) { files_.insert(Key(path)); }

}  // namespace zsetup
