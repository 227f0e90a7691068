#include "platform/registry_accessor.h"

#include "base/little_endian.h"

namespace zsetup {

namespace {

std::string Quote(const std::string& name) { return "'" + name + "'"; }

}  // namespace

void RegistryAccessor::SetRoot(RegRoot root) {
    if (root == root_) return;
    CloseKey();
    root_ = root;
}

bool RegistryAccessor::OpenKey(const std::string& path, bool create) {
    std::string full;
    if (!path.empty() && path[0] == '\\') {
        full = path.substr(1);
    } else if (key_ && !current_path_.empty()) {
        full = path.empty() ? current_path_ : current_path_ + "\\" + path;
    } else {
        full = path;
    }
    std::unique_ptr<RegistryKey> key = registry_.OpenKey(root_, full, create, access_);
    if (!key) return false;
    key_ = std::move(key);
    current_path_ = full;
    return true;
}

void RegistryAccessor::CloseKey() {
    key_.reset();
    current_path_.clear();
}

void RegistryAccessor::Write(const std::string& name, const RegValue& value) {
    if (!key_ || !key_->SetValue(name, value.type, value.data))
        throw RegistryError("Failed to set data for " + Quote(name));
}

void RegistryAccessor::WriteString(const std::string& name, const std::string& value) {
    Write(name, StringValue(value));
}

void RegistryAccessor::WriteInteger(const std::string& name, std::int32_t value) { Write(name, DwordValue(value)); }

std::optional<RegValue> RegistryAccessor::Query(const std::string& name) {
    if (!key_) return std::nullopt;
    return key_->QueryValue(name);
}

std::string RegistryAccessor::ReadString(const std::string& name) {
    std::optional<RegValue> v = Query(name);
    if (!v) return {};
    if (v->type != kRegSz && v->type != kRegExpandSz) throw RegistryError("Invalid data type for " + Quote(name));
    std::string text(v->data.begin(), v->data.end());
    return text.substr(0, text.find('\0'));
}

std::int32_t RegistryAccessor::ReadInteger(const std::string& name) {
    std::optional<RegValue> v = Query(name);
    if (!v) throw RegistryError("Failed to get data for " + Quote(name));
    if (v->type != kRegDword || v->data.size() != 4) throw RegistryError("Invalid data type for " + Quote(name));
    return static_cast<std::int32_t>(ReadLe32(v->data.data()));
}

}  // namespace zsetup
