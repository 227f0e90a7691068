#include "platform/memory/memory_registry.h"

#include <algorithm>

#include "text/gbk.h"

namespace zsetup {

class MemoryRegistry::Key : public RegistryKey {
public:
    Key(MemoryRegistry& owner, KeyId id, std::string shown, bool can_write)
        : owner_(owner), id_(std::move(id)), shown_(std::move(shown)), can_write_(can_write) {}

    bool SetValue(const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data) override {
        if (!can_write_ || owner_.read_only_.count(id_.first)) return false;
        auto it = owner_.keys_.find(id_);
        if (it == owner_.keys_.end()) return false;
        it->second.values[FoldAsciiCase(name)] = RegValue{type, data};
        owner_.write_log_.push_back(std::string(RegRootName(id_.first)) + "\\" + shown_ + "\\" + name);
        return true;
    }

    std::optional<RegValue> QueryValue(const std::string& name) override {
        auto it = owner_.keys_.find(id_);
        if (it == owner_.keys_.end()) return std::nullopt;
        auto v = it->second.values.find(FoldAsciiCase(name));
        if (v == it->second.values.end()) return std::nullopt;
        return v->second;
    }

    bool DeleteValue(const std::string& name) override {
        auto it = owner_.keys_.find(id_);
        if (!can_write_ || owner_.read_only_.count(id_.first) || it == owner_.keys_.end()) return false;
        return it->second.values.erase(FoldAsciiCase(name)) > 0;
    }

    std::size_t ValueCount() override {
        auto it = owner_.keys_.find(id_);
        return it == owner_.keys_.end() ? 0 : it->second.values.size();
    }

    std::size_t SubkeyCount() override { return owner_.ChildCount(id_); }

private:
    MemoryRegistry& owner_;
    KeyId id_;
    std::string shown_;
    bool can_write_;
};

// Windows ignores empty components: "a\\b\" names a\b.
std::string MemoryRegistry::Normalise(const std::string& path) {
    std::string out;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = FindFirstSeparator(path, start);
        if (end == std::string::npos) end = path.size();
        if (end > start) out += (out.empty() ? "" : "\\") + path.substr(start, end - start);
        start = end + 1;
    }
    return out;
}

std::unique_ptr<RegistryKey> MemoryRegistry::OpenKey(RegRoot root, const std::string& path, bool create,
                                                     std::uint32_t access) {
    const std::string shown = Normalise(path);
    const KeyId id{root, FoldAsciiCase(shown)};
    if (id.second.empty()) keys_[id];  // the root always exists
    if (!keys_.count(id)) {
        if (!create || read_only_.count(root)) return nullptr;
        // Creating a key creates its missing parents too.
        for (std::size_t at = FindFirstSeparator(id.second); at != std::string::npos;
             at = FindFirstSeparator(id.second, at + 1))
            keys_[{root, id.second.substr(0, at)}];
        keys_[id];
    }
    const bool can_write = (access & kKeySetValue) != 0;
    return std::make_unique<Key>(*this, id, shown, can_write);
}

std::size_t MemoryRegistry::ChildCount(const KeyId& id) const {
    std::size_t n = 0;
    for (const auto& [other, node] : keys_) {
        if (other.first != id.first || other.second.empty() || other == id) continue;
        const std::string& path = other.second;
        const std::string prefix = id.second.empty() ? std::string() : id.second + "\\";
        if (path.compare(0, prefix.size(), prefix) == 0 && FindFirstSeparator(path, prefix.size()) == std::string::npos)
            ++n;
    }
    return n;
}

bool MemoryRegistry::DeleteKey(RegRoot root, const std::string& path) {
    const KeyId id{root, FoldAsciiCase(Normalise(path))};
    if (id.second.empty() || read_only_.count(root) || !keys_.count(id) || ChildCount(id) > 0) return false;
    keys_.erase(id);
    return true;
}

void MemoryRegistry::SetWritable(RegRoot root, bool writable) {
    if (writable) read_only_.erase(root);
    else read_only_.insert(root);
}

std::vector<std::string> MemoryRegistry::Listing() const {
    std::vector<std::string> lines;
    for (const auto& [id, node] : keys_) {
        if (id.second.empty() && node.values.empty()) continue;  // the roots are always there
        const std::string key = std::string(RegRootName(id.first)) + "\\" + id.second;
        lines.push_back("key " + key);
        for (const auto& [name, value] : node.values)
            lines.push_back("value " + key + " " + name + " = " + std::to_string(value.type) + ":" +
                            std::string(value.data.begin(), value.data.end()));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

}  // namespace zsetup
