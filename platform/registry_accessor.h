// The one way the wizard reads and writes the registry: a selectable root and
// at most one open key, the current key. A path with a leading backslash is
// taken from the root; one without it below the current key when one is open.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/registry.h"

namespace zsetup {

// A failed registry read or write; what() is the text the user sees.
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class RegistryAccessor {
public:
    RegistryAccessor(Registry& registry, std::uint32_t access, RegRoot root = RegRoot::CurrentUser)
        : registry_(registry), access_(access), root_(root) {}

    // Closes the current key only when the root actually changes.
    void SetRoot(RegRoot root);
    RegRoot root() const { return root_; }

    // On success the key becomes the current key and the previous one is
    // closed; on failure the current key stays as it was.
    bool OpenKey(const std::string& path, bool create);
    void CloseKey();
    bool HasCurrentKey() const { return key_ != nullptr; }
    // Path of the current key below the root, without a leading backslash.
    const std::string& CurrentPath() const { return current_path_; }

    // Writes into the current key; a failure (also: no current key) throws
    // "Failed to set data for '<name>'".
    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, std::int32_t value);
    void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

    // A missing string reads as empty; data of another type than REG_SZ or
    // REG_EXPAND_SZ throws "Invalid data type for '<name>'".
    std::string ReadString(const std::string& name);
    // A missing integer throws "Failed to get data for '<name>'", one of
    // another type "Invalid data type for '<name>'".
    std::int32_t ReadInteger(const std::string& name);
    bool ReadBool(const std::string& name) { return ReadInteger(name) != 0; }

private:
    void Write(const std::string& name, const RegValue& value);
    std::optional<RegValue> Query(const std::string& name);

    Registry& registry_;
    std::uint32_t access_;
    RegRoot root_;
    std::unique_ptr<RegistryKey> key_;
    std::string current_path_;
};

}  // namespace zsetup
