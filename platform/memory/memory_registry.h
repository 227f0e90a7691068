// An in-process registry for native tests that behaves like Windows': keys
// and value names without letter case, missing parents created with the key,
// writes refused where the caller has no right (SetWritable) or asked for no
// KEY_SET_VALUE.
#pragma once

#include <map>
#include <memory>
#include <set>

#include "platform/registry.h"

namespace zsetup {

class MemoryRegistry : public Registry {
public:
    std::unique_ptr<RegistryKey> OpenKey(RegRoot root, const std::string& path, bool create,
                                         std::uint32_t access) override;
    bool DeleteKey(RegRoot root, const std::string& path) override;

    // Without the right, keys under the root can be opened but not created,
    // and values cannot be set (as HKLM for a user who is not an administrator).
    void SetWritable(RegRoot root, bool writable);

    // Every value set, in order: "ROOT\path\name".
    const std::vector<std::string>& WriteLog() const { return write_log_; }
    // Every key and value, sorted: two listings compare equal when the
    // registries hold the same.
    std::vector<std::string> Listing() const;

private:
    class Key;
    struct Node {
        std::map<std::string, RegValue> values;  // by lower-cased name
    };
    using KeyId = std::pair<RegRoot, std::string>;  // lower-cased path

    static std::string Normalise(const std::string& path);
    std::size_t ChildCount(const KeyId& id) const;

    std::map<KeyId, Node> keys_;
    std::set<RegRoot> read_only_;
    std::vector<std::string> write_log_;
};

}  // namespace zsetup
