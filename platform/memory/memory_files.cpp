#include "platform/memory/memory_files.h"

namespace zsetup {

MemoryFiles::MemoryFiles(std::vector<std::string> drives) {
    for (const std::string& d : drives) dirs_.insert(Key(d));
}

// Lower-cased, without trailing backslashes: "C:\A\" and "c:\a" are one folder.
std::string MemoryFiles::Key(const std::string& path) {
    std::string k = path;
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

void MemoryFiles::AddFile(const std::string& path) { files_.insert(Key(path)); }

}  // namespace zsetup
