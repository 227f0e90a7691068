#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <cstring>

#include "text/win32/wide_text.h"

namespace zsetup {

namespace {

HKEY RootHandle(RegRoot root) {
    switch (root) {
    case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    }
    return HKEY_CURRENT_USER;
}

// String data travels as UTF-16 and is handed out as GBK with its zero.
bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

class Win32Key : public RegistryKey {
public:
    explicit Win32Key(HKEY key) : key_(key) {}
    ~Win32Key() override { RegCloseKey(key_); }
    Win32Key(const Win32Key&) = delete;
    Win32Key& operator=(const Win32Key&) = delete;

    bool SetValue(const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data) override {
        const WideString wname = GbkToWide(name);
        if (IsText(type)) {
            std::string text(data.begin(), data.end());
            text = text.substr(0, text.find('\0'));
            WideString wide = GbkToWide(text);
            const DWORD bytes = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
            return RegSetValueExW(key_, wname.c_str(), 0, type, reinterpret_cast<const BYTE*>(wide.c_str()), bytes) ==
                   ERROR_SUCCESS;
        }
        return RegSetValueExW(key_, wname.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())) ==
               ERROR_SUCCESS;
    }

    std::optional<RegValue> QueryValue(const std::string& name) override {
        const WideString wname = GbkToWide(name);
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(key_, wname.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
        std::vector<std::uint8_t> raw(size);
        if (RegQueryValueExW(key_, wname.c_str(), nullptr, &type, raw.data(), &size) != ERROR_SUCCESS)
            return std::nullopt;
        raw.resize(size);
        if (!IsText(type)) return RegValue{type, std::move(raw)};
        WideString wide(raw.size() / sizeof(wchar_t), L'\0');
        if (!wide.empty()) std::memcpy(wide.data(), raw.data(), wide.size() * sizeof(wchar_t));
        wide = wide.substr(0, wide.find(L'\0'));
        std::string gbk = WideToGbk(wide);
        std::vector<std::uint8_t> data(gbk.begin(), gbk.end());
        data.push_back(0);
        return RegValue{type, std::move(data)};
    }

    bool DeleteValue(const std::string& name) override {
        return RegDeleteValueW(key_, GbkToWide(name).c_str()) == ERROR_SUCCESS;
    }

    std::size_t ValueCount() override { return Count().second; }
    std::size_t SubkeyCount() override { return Count().first; }

private:
    std::pair<std::size_t, std::size_t> Count() {
        DWORD subkeys = 0, values = 0;
        if (RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                             nullptr, nullptr) != ERROR_SUCCESS)
            return {0, 0};
        return {subkeys, values};
    }

    HKEY key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::OpenKey(RegRoot root, const std::string& path, bool create,
                                                    std::uint32_t access) {
    const WideString wpath = GbkToWide(path);
    HKEY key = nullptr;
    LONG rc = create ? RegCreateKeyExW(RootHandle(root), wpath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                       nullptr, &key, nullptr)
                     : RegOpenKeyExW(RootHandle(root), wpath.c_str(), 0, access, &key);
    if (rc != ERROR_SUCCESS) return nullptr;
    return std::make_unique<Win32Key>(key);
}

bool Win32Registry::DeleteKey(RegRoot root, const std::string& path) {
    // RegDeleteKeyW refuses a key that has subkeys.
    return !path.empty() && RegDeleteKeyW(RootHandle(root), GbkToWide(path).c_str()) == ERROR_SUCCESS;
}

}  // namespace zsetup
