// SetupConfig: the fixed 207160-byte configuration record carried as SETUPINI.
// Its layout is a file format: every offset below is checked at compile time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The record is read and written as its memory image, which is little-endian.
#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the configuration record is laid out for little-endian machines"
#endif

namespace zsetup {

// String[N]: a length byte L and N bytes of storage; readers take bytes 1..L.
// The text is GBK bytes; nothing past L is ever read.
template <std::size_t N>
struct ShortString {
    std::uint8_t length;
    char storage[N];

    static constexpr std::size_t capacity = N;

    std::string text() const {
        std::size_t n = length <= N ? length : N;
        return std::string(storage, n);
    }
    // A longer text is cut after byte N.
    void assign(std::string_view s) {
        std::size_t n = s.size() < N ? s.size() : N;
        length = static_cast<std::uint8_t>(n);
        for (std::size_t i = 0; i < n; ++i) storage[i] = s[i];
    }
};

// Field capacities in bytes.
inline constexpr std::size_t kTextBytes = 128;         // the record's texts, key paths and value names
inline constexpr std::size_t kDateBytes = 8;           // yyyymmdd
inline constexpr std::size_t kFileNameBytes = 131;     // installed names and shortcut names
inline constexpr std::size_t kArgumentsBytes = 130;    // shortcut arguments
inline constexpr std::size_t kStringValueBytes = 130;  // registry string values

// Where a shortcut goes. Stored as a byte: any value other than the first two means both.
enum class ShortcutKind : std::uint8_t { Desktop = 0, Programs = 1, Both = 2 };
// What a registry row writes. Stored as a byte: any other value opens (creates) the key and writes nothing.
enum class RegistryKind : std::uint8_t { Bool = 0, String = 1, Integer = 2, KeyOnly = 3 };

#pragma pack(push, 1)

struct FileEntry {
    ShortString<kFileNameBytes> Name;
    std::int32_t Offset;
    std::int32_t Size;
};

struct ShortcutEntry {
    ShortString<kFileNameBytes> Name;
    std::int32_t FileIndex;
    std::uint8_t Kind;  // a ShortcutKind, or any other byte
    ShortString<kArgumentsBytes> Arguments;

    bool OnDesktop() const { return Kind != static_cast<std::uint8_t>(ShortcutKind::Programs); }
    bool InProgramGroup() const { return Kind != static_cast<std::uint8_t>(ShortcutKind::Desktop); }
};

struct RegistryEntry {
    ShortString<kTextBytes> ValueName;
    std::uint8_t CurrentUser;
    ShortString<kTextBytes> KeyPath;
    std::uint8_t Kind;  // a RegistryKind, or any other byte
    std::uint8_t BoolValue;
    ShortString<kStringValueBytes> StringValue;
    std::int32_t IntValue;

    bool Is(RegistryKind kind) const { return Kind == static_cast<std::uint8_t>(kind); }
};

inline constexpr int kMaxRows = 256;

struct SetupConfig;

// The first Count rows of a table; a count outside 0..256 is clamped so a
// bad record can never be read past its end (validation reports it).
template <typename Row>
class RowView {
public:
    RowView(const Row* rows, std::int32_t count)
        : rows_(rows), count_(count < 0 ? 0 : (count > kMaxRows ? kMaxRows : count)) {}
    const Row* begin() const { return rows_; }
    const Row* end() const { return rows_ + count_; }
    std::size_t size() const { return static_cast<std::size_t>(count_); }
    bool empty() const { return count_ == 0; }
    const Row& operator[](std::size_t i) const { return rows_[i]; }

private:
    const Row* rows_;
    std::int32_t count_;
};

struct SetupConfig {
    static constexpr std::size_t kSize = 207160;

    ShortString<kTextBytes> Author;
    ShortString<kTextBytes> CompanyKeyName;
    ShortString<kTextBytes> Site;
    ShortString<kTextBytes> LegalNotice;
    ShortString<kTextBytes> Version;
    ShortString<kDateBytes> ReleaseDate;
    ShortString<kTextBytes> ProductName;
    ShortString<kTextBytes> DefaultFolderName;
    ShortString<kTextBytes> Category;
    ShortString<kTextBytes> Introduction;
    ShortString<kDateBytes> InstallDate;
    ShortString<kDateBytes> SecondDate;
    ShortString<kTextBytes> InstallFolder;
    std::uint8_t Alignment[3];
    std::int32_t PackChecksum;
    FileEntry Files[kMaxRows];
    std::int32_t FileCount;
    ShortcutEntry Shortcuts[kMaxRows];
    std::int32_t ShortcutCount;
    RegistryEntry RegistryEntries[kMaxRows];
    std::int32_t RegistryCount;

    // A zero-filled record: empty strings, zero counts.
    static SetupConfig Zero();
    // Copies the first 207160 bytes; when fewer are given the rest stays zero.
    static SetupConfig FromBytes(const std::uint8_t* data, std::size_t size);
    std::vector<std::uint8_t> ToBytes() const;

    RowView<FileEntry> FileRows() const { return {Files, FileCount}; }
    RowView<ShortcutEntry> ShortcutRows() const { return {Shortcuts, ShortcutCount}; }
    RowView<RegistryEntry> RegistryRows() const { return {RegistryEntries, RegistryCount}; }

    // Cut to the field's 128 bytes.
    void SetInstallFolder(std::string_view folder) { InstallFolder.assign(folder); }
};

#pragma pack(pop)

static_assert(sizeof(ShortString<128>) == 129);
static_assert(sizeof(FileEntry) == 140);
static_assert(offsetof(FileEntry, Offset) == 132);
static_assert(offsetof(FileEntry, Size) == 136);
static_assert(sizeof(ShortcutEntry) == 268);
static_assert(offsetof(ShortcutEntry, FileIndex) == 132);
static_assert(offsetof(ShortcutEntry, Kind) == 136);
static_assert(offsetof(ShortcutEntry, Arguments) == 137);
static_assert(sizeof(RegistryEntry) == 396);
static_assert(offsetof(RegistryEntry, CurrentUser) == 129);
static_assert(offsetof(RegistryEntry, KeyPath) == 130);
static_assert(offsetof(RegistryEntry, Kind) == 259);
static_assert(offsetof(RegistryEntry, BoolValue) == 260);
static_assert(offsetof(RegistryEntry, StringValue) == 261);
static_assert(offsetof(RegistryEntry, IntValue) == 392);

static_assert(offsetof(SetupConfig, Author) == 0);
static_assert(offsetof(SetupConfig, CompanyKeyName) == 129);
static_assert(offsetof(SetupConfig, Site) == 258);
static_assert(offsetof(SetupConfig, LegalNotice) == 387);
static_assert(offsetof(SetupConfig, Version) == 516);
static_assert(offsetof(SetupConfig, ReleaseDate) == 645);
static_assert(offsetof(SetupConfig, ProductName) == 654);
static_assert(offsetof(SetupConfig, DefaultFolderName) == 783);
static_assert(offsetof(SetupConfig, Category) == 912);
static_assert(offsetof(SetupConfig, Introduction) == 1041);
static_assert(offsetof(SetupConfig, InstallDate) == 1170);
static_assert(offsetof(SetupConfig, SecondDate) == 1179);
static_assert(offsetof(SetupConfig, InstallFolder) == 1188);
static_assert(offsetof(SetupConfig, PackChecksum) == 1320);
static_assert(offsetof(SetupConfig, Files) == 1324);
static_assert(offsetof(SetupConfig, FileCount) == 37164);
static_assert(offsetof(SetupConfig, Shortcuts) == 37168);
static_assert(offsetof(SetupConfig, ShortcutCount) == 105776);
static_assert(offsetof(SetupConfig, RegistryEntries) == 105780);
static_assert(offsetof(SetupConfig, RegistryCount) == 207156);
static_assert(sizeof(SetupConfig) == SetupConfig::kSize);

}  // namespace zsetup
