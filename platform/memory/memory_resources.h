// Named RT_RCDATA resources for native tests, put in place by the test.
#pragma once

#include <map>

#include "platform/resources.h"

namespace zsetup {

class MemoryResources : public Resources {
public:
    std::optional<std::vector<std::uint8_t>> RcData(const std::string& name) override {
        auto it = data_.find(Upper(name));
        if (it == data_.end()) return std::nullopt;
        return it->second;
    }

    // Valid until the resource is added again.
    std::optional<ByteView> RcDataView(const std::string& name) override {
        auto it = data_.find(Upper(name));
        if (it == data_.end()) return std::nullopt;
        return ByteView{it->second.data(), it->second.size()};
    }

    void Add(const std::string& name, std::vector<std::uint8_t> bytes) { data_[Upper(name)] = std::move(bytes); }

private:
    // Resource names are stored upper-cased, as resource compilers do.
    static std::string Upper(std::string name) {
        for (char& c : name)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return name;
    }

    std::map<std::string, std::vector<std::uint8_t>> data_;
};

}  // namespace zsetup
