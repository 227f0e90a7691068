// What the uninstaller goes by, as the install left it in the product's
// folder: the record's packed copy ("Z_nt.cx"), the file rows past its 256
// ("Z_files.cx", read only beside a full record: beside a smaller one it is an
// earlier, larger version's) and the maker's profile ("Z_maker.cx"). Read from
// their bytes, so the reading is the same in the uninstaller, in native tests
// and under the fuzzer, and a check of the bytes can be added in one place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "package/maker_profile.h"
#include "package/setup_config.h"
#include "package/setup_map.h"

namespace zsetup {

struct InstalledCopy {
    std::string source;                              // how a message names it: its path
    std::optional<std::vector<std::uint8_t>> bytes;  // none when there is no such file
};

struct InstalledCopies {
    InstalledCopy record, extra_files, maker;
};

struct InstalledRecord {
    std::unique_ptr<SetupConfig> record;
    std::vector<FileEntry> extra_files;  // the rows past the record's 256
    MakerProfile maker;                  // empty when the install left none
};

// Nothing when there is no record copy (the product is not installed).
// Throws PackageError with the text the user sees when a copy is damaged: a
// record copy that does not unpack to exactly a record's 207160 bytes, a file
// table that does not unpack (or announces more than the largest table), a
// record and table that fail validation (at most `most` problems listed), a
// maker profile that is not sound or names no installed file. Running out of
// memory on a copy is said the same way, never thrown as std::bad_alloc.
std::optional<InstalledRecord> ReadInstalledRecord(const InstalledCopies& copies, std::size_t most);

// Of the program names a maker's profile asks to end, those that are the file
// name of an installed file of the product (letter case aside): the
// uninstaller ends the product's own programs, never another's.
std::vector<std::string> InstalledPrograms(const std::vector<std::string>& names, const SetupConfig& record,
                                           const std::vector<FileEntry>& extra_files);

// SHA-256 of a copy's bytes, as the install keeps it (installed::CopyDigests).
std::string CopyDigest(const std::vector<std::uint8_t>& bytes);

// What the uninstall entry, which only administrators may write, says of the
// install: its folder (InstallLocation) and the digests of its copies (none
// from an install made before they were kept).
struct InstalledEntry {
    std::string folder;
    installed::CopyDigests digests;
};

// Throws PackageError with the text the user sees unless the copies are the
// ones the install left: the entry exists and names `folder` (letter case
// aside), and, where it holds a record digest, each copy is there exactly
// when the entry has a digest for it and has that digest. A planted
// "Z_maker.cx" or a rewritten record is refused before anything is read from it.
void CheckCopiesAgainstEntry(const InstalledCopies& copies, const std::optional<InstalledEntry>& entry,
                             const std::string& folder);

}  // namespace zsetup
