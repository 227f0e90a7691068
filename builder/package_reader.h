// Reads a filled program back: the record, the payload and the licence, for
// inspect, extract and verify.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "package/maker_profile.h"
#include "package/setup_config.h"

namespace zsetup {

struct PackageContents {
    std::unique_ptr<SetupConfig> record;
    std::size_t record_bytes = 0;  // SETUPINI's unpacked length
    std::vector<std::uint8_t> payload;
    std::optional<std::string> licence;  // GBK, when PROTOCOL is there
    std::uint32_t computed_checksum = 0;
    bool has_maker = false;             // SETUPMAKER is there
    std::optional<MakerProfile> maker;  // when it reads soundly
    std::string maker_refusal;          // why not, otherwise
};

// Throws PeError for a file that is not a program it can read, PackageError
// when SETUPINI or SETUPPACK is missing or does not unpack.
PackageContents ReadPackage(const std::vector<std::uint8_t>& image);

// Which uninstaller the package carries as "\uninstall.exe": "built-in"
// (zsetup-uninstall, known by its ZSETUPUNINSTALL resource), "own" (the
// product's), or "none".
std::string UninstallerKind(const PackageContents& contents);

// What the stub would refuse or get wrong: the record's problems, the maker
// profile's, a record of
// the wrong length, a checksum that does not match. Empty for a sound package.
std::vector<std::string> VerifyProblems(const PackageContents& contents);

}  // namespace zsetup
