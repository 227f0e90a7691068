// The map of setup.exe, in one place for the builder that writes it, the
// installer that runs from it and the uninstaller that undoes what it did.
//
// setup.exe is the stub program (x86 or x64) with these RT_RCDATA resources:
//
//   SETUPINI         the record, SetupConfig's 207160 bytes, as a packed blob
//                    (packed_blob.h: a 4-byte length, then a zlib stream)
//   SETUPPACK        the payload: every file's bytes back to back in file
//                    table order, as one packed blob
//   SETUPDIGEST      SHA-256 of SETUPPACK's packed bytes (32 bytes), so the
//                    installer may read the payload from its own file
//   PROTOCOL         the licence text, GBK
//   SETUPFILES       only past 256 files: the file rows after the record's,
//                    packed ("ZSFT", version, count, rows; extra_files.h)
//   SETUPMAKER       only with a maker profile: "ZSMK", a version byte and
//                    tagged fields (maker_profile.h)
//   LICENCEART       only with the maker's pictures: the JPEGs of page 1
//   FINISHART        and page 5
//
// and the version information (RT_VERSION), the icons (the maker's replace
// the stub's) and the manifest of the stub. The built-in uninstaller, carried
// as the file row "\uninstall.exe", is known by its ZSETUPUNINSTALL resource.
//
// An install leaves, besides the product's files, the copies below in the
// install folder (each resource byte for byte as built), the registry values
// of `installed::Values` under the product's, the maker's and the uninstall
// entry's keys, the table's own values (registry_placement.h), and the links
// on the desktop and in the program group. Texts and paths are GBK; key
// paths are from the root, without a leading backslash.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "package/setup_config.h"

namespace zsetup {

inline constexpr char kConfigResource[] = "SETUPINI";
inline constexpr char kPayloadResource[] = "SETUPPACK";
inline constexpr char kPayloadDigestResource[] = "SETUPDIGEST";
inline constexpr char kLicenceResource[] = "PROTOCOL";
inline constexpr char kExtraFilesResource[] = "SETUPFILES";
inline constexpr char kMakerResource[] = "SETUPMAKER";
inline constexpr char kLicenceArtResource[] = "LICENCEART";
inline constexpr char kFinishArtResource[] = "FINISHART";
inline constexpr char kUninstallerMarkResource[] = "ZSETUPUNINSTALL";

// The formats of our own resources open with a mark and a version.
inline constexpr char kExtraFilesMark[] = "ZSFT";
inline constexpr std::uint32_t kExtraFilesVersion = 1;
inline constexpr char kMakerMark[] = "ZSMK";
inline constexpr std::uint8_t kMakerProfileVersion = 1;

// A file row whose installed name holds "*." is not installed at all: it is
// a marker, never a path, and exempt from the name checks. The run skips it,
// the uninstaller leaves it, the readers neither list nor extract it.
bool IsSkippedName(std::string_view installed_name);
inline bool IsSkippedRow(const FileEntry& row) { return IsSkippedName(row.Name.text()); }

// The words the manifest and the reports use for the row kinds.
const char* KindWord(ShortcutKind kind);
const char* KindWord(RegistryKind kind);
std::optional<ShortcutKind> ShortcutKindNamed(std::string_view word);
std::optional<RegistryKind> RegistryKindNamed(std::string_view word);

// Which uninstaller a package carries as "\uninstall.exe".
inline constexpr char kUninstallerBuiltIn[] = "built-in";
inline constexpr char kUninstallerOwn[] = "own";
inline constexpr char kUninstallerNone[] = "none";

namespace installed {

// The record's copy (SETUPINI as built) in the install folder, and the
// uninstaller beside it.
inline constexpr char kRecordCopy[] = "\\Z_nt.cx";
inline constexpr char kUninstaller[] = "\\uninstall.exe";
// SETUPFILES as built, left only by a package that has it.
inline constexpr char kExtraFilesCopy[] = "\\Z_files.cx";
// SETUPMAKER as built, left only by a package that has one: the uninstaller
// speaks as that maker.
inline constexpr char kMakerCopy[] = "\\Z_maker.cx";

// "卸载" + the product name, in the program group.
std::string UninstallLinkName(const SetupConfig& config);

// The install's own keys under HKEY_LOCAL_MACHINE.
enum class Key {
    kCompany,    // "Software\" + CompanyKeyName: the maker's, shared by its products
    kProduct,    // the company key + "\" + DefaultFolderName
    kUninstall,  // "Software\Microsoft\Windows\CurrentVersion\Uninstall\" + the product name
};
std::string KeyPath(Key key, const SetupConfig& config);
inline std::string CompanyKey(const SetupConfig& c) { return KeyPath(Key::kCompany, c); }
inline std::string ProductKey(const SetupConfig& c) { return KeyPath(Key::kProduct, c); }
inline std::string UninstallKey(const SetupConfig& c) { return KeyPath(Key::kUninstall, c); }

// The values a start-up reads back from the product's key, in this order.
inline constexpr char kSetupValue[] = "Setup";
inline constexpr char kVersionValue[] = "Version";
inline constexpr char kFolderValue[] = "Folder";

// One value the install writes: a text (REG_SZ), a Boolean (REG_DWORD 1 or
// 0) or a number (REG_DWORD).
struct Value {
    Key key;
    std::string name;
    std::variant<std::string, bool, std::uint32_t> data;
};

// SHA-256 of each copy the install left in the folder, as 64 lowercase hex
// digits; empty for a copy it did not leave. They are kept in the uninstall
// entry's key, which only administrators may write, so the elevated
// uninstaller believes no copy a user could have replaced or planted.
struct CopyDigests {
    std::string record, extra_files, maker;
};
inline constexpr char kRecordDigestValue[] = "ZsetupRecordSha256";
inline constexpr char kExtraFilesDigestValue[] = "ZsetupFilesSha256";
inline constexpr char kMakerDigestValue[] = "ZsetupMakerSha256";
inline constexpr char kInstallLocationValue[] = "InstallLocation";

// What a maker may ask the uninstall entry to say besides the design's values,
// as Programs and Features and deployment tools read them.
struct CompleteEntry {
    std::string display_icon;            // a program (or icon file) whose first icon is shown
    std::uint32_t size_kib = 0;          // EstimatedSize
    std::string install_date;            // yyyymmdd, the day of the install
    std::string help_link, update_link;  // given by the maker, or empty
};

// Every value the install writes under its own keys, in the order it writes
// them, for the record as the run has it (InstallFolder chosen), the
// digests of the copies it left and, when the maker asks, the complete
// entry. The uninstaller removes these by name: a value added here is
// written and removed alike.
std::vector<Value> Values(const SetupConfig& config, const CopyDigests& digests,
                          const std::optional<CompleteEntry>& complete = std::nullopt);
// KiB of the files the rows install, rounded up: the entry's EstimatedSize.
std::uint32_t InstalledKib(const SetupConfig& config, const std::vector<FileEntry>& extra_rows);

}  // namespace installed
}  // namespace zsetup
