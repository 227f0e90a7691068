// Reads a filled program back: the record, the file rows past its 256, the
// payload and the licence, for
// inspect, extract and verify. The program may have been signed after the
// build: its certificate table is noted, not read as part of the package.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "builder/input_error.h"
#include "pe/pe_certificate.h"
#include "pe/pe_machine.h"
#include "package/maker_profile.h"
#include "package/setup_config.h"

namespace zsetup {

// A file that is no zsetup installer at all: not an x86 or x64 Windows
// program, or one without SETUPINI and SETUPPACK. Bad input (exit 2), not
// damage.
class NotAnInstallerError : public InputError {
public:
    using InputError::InputError;
};

struct PackageContents {
    PeMachine machine = PeMachine::kI386;  // the program's kind: a 32-bit or a 64-bit installer
    std::unique_ptr<SetupConfig> record;
    std::size_t record_bytes = 0;        // SETUPINI's unpacked length
    std::vector<FileEntry> extra_files;  // SETUPFILES: the rows past the record's 256
    std::vector<std::uint8_t> payload;
    std::optional<std::string> licence;  // GBK, when PROTOCOL is there
    std::uint32_t computed_checksum = 0;
    std::optional<CertificateTable> certificate;  // a signature added after the build
    std::size_t extra_bytes = 0;                  // after the sections, no certificate table
    bool has_maker = false;                       // SETUPMAKER is there
    std::optional<MakerProfile> maker;            // when it reads soundly
    std::string maker_refusal;                    // why not, otherwise
    std::optional<bool> digest_matches;           // SETUPDIGEST against SETUPPACK's bytes, when there
};

// Throws NotAnInstallerError for a file of another kind, PeError for a
// program it cannot read, PackageError when only one of SETUPINI and
// SETUPPACK is there or one does not unpack (SETUPFILES too, when there).
PackageContents ReadPackage(const std::vector<std::uint8_t>& image);

// Which uninstaller the package carries as "\uninstall.exe": "built-in"
// (zsetup-uninstall, known by its ZSETUPUNINSTALL resource), "own" (the
// product's), or "none".
std::string UninstallerKind(const PackageContents& contents);

// What the stub would refuse or get wrong: the record's problems, the maker
// profile's, a record of the wrong length, a checksum or digest that does not match;
// and data after the sections that no signature explains. Empty for a sound
// package.
std::vector<std::string> VerifyProblems(const PackageContents& contents);

// One line on the signature: "none", or its kind, entries and size. zsetup
// does not check a signature; `osslsigncode verify` does.
std::string SignatureSummary(const PackageContents& contents);

}  // namespace zsetup
