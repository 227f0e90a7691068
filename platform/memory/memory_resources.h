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

    // Both valid until the resource is added again.
    std::unique_ptr<ByteSource> RcDataInPlace(const std::string& name) override {
        opened.push_back("image:" + Upper(name));
        return Source(data_, name);
    }
    // The program's file holds what its image holds, unless a test gave it
    // other bytes (a file replaced after the program started).
    std::unique_ptr<ByteSource> RcDataFromFile(const std::string& name) override {
        opened.push_back("file:" + Upper(name));
        return file_data_.count(Upper(name)) ? Source(file_data_, name) : Source(data_, name);
    }

    std::string ProgramManifest() override { return manifest; }

    void Add(const std::string& name, std::vector<std::uint8_t> bytes) { data_[Upper(name)] = std::move(bytes); }
    void PutInFile(const std::string& name, std::vector<std::uint8_t> bytes) {
        file_data_[Upper(name)] = std::move(bytes);
    }

    std::string manifest;             // none by default: a machine install's program
    std::vector<std::string> opened;  // "image:NAME" or "file:NAME", as the sources were asked for

private:
    using Table = std::map<std::string, std::vector<std::uint8_t>>;
    static std::unique_ptr<ByteSource> Source(const Table& table, const std::string& name) {
        auto it = table.find(Upper(name));
        if (it == table.end()) return nullptr;
        return std::make_unique<MemorySource>(it->second.data(), it->second.size());
    }

    // Resource names are stored upper-cased, as resource compilers do.
    static std::string Upper(std::string name) {
        for (char& c : name)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return name;
    }

    Table data_, file_data_;
};

}  // namespace zsetup
