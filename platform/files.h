// The file system as the wizard reaches it. Paths are GBK, Windows-style
// ("C:\dir\file"); the implementation converts them itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zsetup {

inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;

class Files {
public:
    virtual ~Files() = default;
    // The attributes, or nothing when they cannot be read (no such path).
    virtual std::optional<std::uint32_t> Attributes(const std::string& path) = 0;
    // A relative path is taken from the current directory.
    virtual bool MakeDirectory(const std::string& path) = 0;
    // Makes the path the process's current directory: 0, or the system's
    // error code when it cannot be entered.
    virtual std::uint32_t SetCurrentDir(const std::string& path) = 0;
    virtual std::string CurrentDir() = 0;
};

// True when the attributes can be read and include the directory attribute.
inline bool DirectoryExists(Files& files, const std::string& path) {
    auto a = files.Attributes(path);
    return a && (*a & kFileAttributeDirectory);
}

}  // namespace zsetup
