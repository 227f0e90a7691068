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

}  // namespace zsetup
