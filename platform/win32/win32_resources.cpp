#include "platform/win32/win32_resources.h"

#include <windows.h>

#include "base/win32/unique_handle.h"
#include "platform/win32/program_path.h"
#include "text/win32/wide_text.h"

namespace zsetup {
namespace {

struct Located {
    const std::uint8_t* bytes;
    DWORD size;
};

// Resource memory belongs to the module, mapped with the program's file: it
// needs no release and stays for the program's life.
std::optional<Located> Locate(const wchar_t* name, const wchar_t* type) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC info = FindResourceW(module, name, type);
    if (!info) return std::nullopt;
    const HGLOBAL loaded = LoadResource(module, info);
    const auto* bytes = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes) return std::nullopt;
    return Located{bytes, SizeofResource(module, info)};
}

std::optional<Located> Locate(const std::string& name) { return Locate(GbkToWide(name).c_str(), RT_RCDATA); }

// Where the image's bytes at `rva` lie in its file: inside one section's raw
// data, or nowhere (bytes the loader fills with zeros).
std::optional<std::uint64_t> FileOffset(std::uint32_t rva, std::uint32_t size) {
    const auto* base = reinterpret_cast<const std::uint8_t*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        const std::uint64_t start = section->VirtualAddress, end = start + section->SizeOfRawData;
        if (rva >= start && std::uint64_t{rva} + size <= end) return section->PointerToRawData + (rva - start);
    }
    return std::nullopt;
}

// A range of an open file, read forward through one buffer.
class FileRange final : public ByteSource {
public:
    FileRange(UniqueHandle file, std::uint64_t start, std::uint64_t size)
        : file_(std::move(file)), start_(start), size_(size) {}

    std::uint64_t size() const override { return size_; }
    void Rewind() override { at_ = 0, placed_ = false; }

    std::size_t Next(const std::uint8_t** bytes, std::size_t most) override {
        const std::uint64_t left = size_ - at_;
        const auto n = static_cast<std::size_t>(most < left ? most : left);
        if (n == 0) return 0;
        if (!placed_) {
            LARGE_INTEGER to;
            to.QuadPart = static_cast<LONGLONG>(start_ + at_);
            if (!SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN)) return 0;
            placed_ = true;
        }
        if (buffer_.size() < n) buffer_.resize(n);
        for (std::size_t got = 0; got < n;) {
            DWORD read = 0;
            if (!ReadFile(file_.get(), buffer_.data() + got, static_cast<DWORD>(n - got), &read, nullptr) ||
                read == 0) {
                placed_ = false;
                return 0;
            }
            got += read;
        }
        at_ += n;
        *bytes = buffer_.data();
        return n;
    }

private:
    UniqueHandle file_;
    std::uint64_t start_, size_, at_ = 0;
    bool placed_ = false;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace

std::optional<std::vector<std::uint8_t>> Win32Resources::RcData(const std::string& name) {
    const auto at = Locate(name);
    if (!at) return std::nullopt;
    return std::vector<std::uint8_t>(at->bytes, at->bytes + at->size);
}

std::unique_ptr<ByteSource> Win32Resources::RcDataInPlace(const std::string& name) {
    const auto at = Locate(name);
    if (!at) return nullptr;
    return std::make_unique<MemorySource>(at->bytes, at->size);
}

std::unique_ptr<ByteSource> Win32Resources::RcDataFromFile(const std::string& name) {
    const auto at = Locate(name);
    if (!at) return nullptr;
    const auto rva =
        static_cast<std::uint32_t>(at->bytes - reinterpret_cast<const std::uint8_t*>(GetModuleHandleW(nullptr)));
    const auto offset = FileOffset(rva, at->size);
    UniqueHandle file = AdoptFileHandle(CreateFileW(ProgramPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    // Bytes the file does not hold, or a file that cannot be opened: the image's own.
    if (!offset || !file) return std::make_unique<MemorySource>(at->bytes, at->size);
    return std::make_unique<FileRange>(std::move(file), *offset, at->size);
}

std::string Win32Resources::ProgramManifest() {
    const auto at = Locate(MAKEINTRESOURCEW(1), RT_MANIFEST);
    if (!at) return {};
    return std::string(reinterpret_cast<const char*>(at->bytes), at->size);
}

}  // namespace zsetup
