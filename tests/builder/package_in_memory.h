// A built program read back from memory, as zsetup reads one from its file,
// and a file row's bytes from its payload.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/file_bytes.h"
#include "builder/package_reader.h"

namespace zsetup::testing {

// The bytes, held for as long as the package read from them.
class BytesHeld final : public FileBytes {
public:
    explicit BytesHeld(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)), view_(bytes_) {}
    std::uint64_t size() const override { return view_.size(); }
    void Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) const override {
        view_.Read(offset, out, count);
    }

private:
    std::vector<std::uint8_t> bytes_;
    MemoryBytes view_;
};

inline PackageContents ReadPackage(std::vector<std::uint8_t> image) {
    return zsetup::ReadPackage(std::make_unique<BytesHeld>(std::move(image)));
}

inline std::vector<std::uint8_t> RowBytes(const PackageContents& c, const FileEntry& row) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(row.Size));
    c.payload->Open(row);
    for (std::size_t at = 0; at < bytes.size();) at += c.payload->Read(bytes.data() + at, bytes.size() - at);
    return bytes;
}

}  // namespace zsetup::testing
