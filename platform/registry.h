// The raw registry as the wizard reaches it: keys opened under a root by path,
// values set and queried as typed bytes. Names and paths are GBK; string data
// is GBK with its terminating zero. Key and value names compare without
// letter case, as Windows does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/little_endian.h"

namespace zsetup {

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine };

// The root's short name, as reg.exe and regedit write it ("HKLM").
inline const char* RegRootName(RegRoot root) {
    switch (root) {
    case RegRoot::ClassesRoot: return "HKCR";
    case RegRoot::CurrentUser: return "HKCU";
    case RegRoot::LocalMachine: return "HKLM";
    }
    return "";
}

// Data types, numbered as Windows numbers them.
enum RegType : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
};

// Access rights, as Windows numbers them.
enum RegAccess : std::uint32_t {
    kKeyQueryValue = 0x0001,
    kKeySetValue = 0x0002,
    kGenericRead = 0x80000000,
};

struct RegValue {
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    bool operator==(const RegValue& o) const { return type == o.type && data == o.data; }
};

// A string value as it is written and read back: GBK text and its zero.
inline RegValue StringValue(const std::string& text) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    return {kRegSz, std::move(data)};
}

// A 32-bit integer value (REG_DWORD): its two's-complement bits, little-endian.
inline RegValue DwordValue(std::int32_t value) {
    std::vector<std::uint8_t> data(4);
    WriteLe32(data.data(), static_cast<std::uint32_t>(value));
    return {kRegDword, std::move(data)};
}

// An open key; closed when destroyed.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    virtual bool SetValue(const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data) = 0;
    // Nothing when the value does not exist or cannot be read.
    virtual std::optional<RegValue> QueryValue(const std::string& name) = 0;
    // False when the value is missing or the key was opened without KEY_SET_VALUE.
    virtual bool DeleteValue(const std::string& name) = 0;
    // What the key holds now.
    virtual std::size_t ValueCount() = 0;
    virtual std::size_t SubkeyCount() = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    // path is relative to the root, without a leading backslash ("" is the
    // root itself). Null when the key is missing (and create is false) or
    // cannot be opened or created.
    virtual std::unique_ptr<RegistryKey> OpenKey(RegRoot root, const std::string& path, bool create,
                                                 std::uint32_t access) = 0;
    // Deletes the key with its values; false when it is missing, has subkeys
    // or cannot be deleted.
    virtual bool DeleteKey(RegRoot root, const std::string& path) = 0;
};

}  // namespace zsetup
