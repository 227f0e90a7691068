// Reads a filled program back: the record, the file rows past its 256, the
// payload and the licence, for inspect, extract and verify. The program is
// read where needed, never whole, and the payload is read forward a piece at
// a time (PayloadStream, as the installer reads it), so a reader's memory
// does not grow with the product. The program may have been signed after
// the build: its certificate table is noted, not read as part of the package.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/file_bytes.h"
#include "builder/input_error.h"
#include "pe/pe_certificate.h"
#include "pe/pe_machine.h"
#include "package/install_scope.h"
#include "package/maker_profile.h"
#include "package/payload_stream.h"
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
    std::unique_ptr<FileBytes> file;       // the program, read from as the payload is
    PeMachine machine = PeMachine::kI386;  // the program's kind: a 32-bit or a 64-bit installer
    std::unique_ptr<SetupConfig> record;
    std::size_t record_bytes = 0;        // SETUPINI's unpacked length
    std::vector<FileEntry> extra_files;  // SETUPFILES: the rows past the record's 256
    // SETUPPACK, checked to its end once; each row's bytes read from the file
    // as they are asked for.
    std::unique_ptr<PayloadStream> payload;
    std::optional<std::string> licence;  // GBK, when PROTOCOL is there
    std::uint32_t computed_checksum = 0;
    std::optional<CertificateTable> certificate;  // a signature added after the build
    std::uint64_t extra_bytes = 0;                // after the sections, no certificate table
    bool has_maker = false;                       // SETUPMAKER is there
    std::optional<MakerProfile> maker;            // when it reads soundly
    std::string maker_refusal;                    // why not, otherwise
    std::optional<bool> digest_matches;           // SETUPDIGEST against SETUPPACK's bytes, when there
    InstallScope scope = InstallScope::kMachine;  // whom setup.exe installs for, as its manifest says
};

// Throws NotAnInstallerError for a file of another kind, PeError for a
// program it cannot read, PackageError when only one of SETUPINI and
// SETUPPACK is there, one does not unpack (SETUPFILES too, when there), or a
// resource read whole is larger than any zsetup writes; std::runtime_error
// when the file cannot be read.
PackageContents ReadPackage(std::unique_ptr<FileBytes> file);

// The uninstaller a package carries as "\uninstall.exe", read from the payload.
struct PackedUninstaller {
    // "built-in" (zsetup-uninstall, known by its ZSETUPUNINSTALL resource),
    // "own" (the product's), or "none".
    std::string kind;
    bool looked_into = false;                   // false: none, or one larger than any uninstaller, not read
    std::optional<CertificateTable> signature;  // when it is a program that carries one
    std::string signature_damage;               // why its certificate table does not read, when it does not
    std::optional<InstallScope> scope;          // the built-in one's, as its manifest says
};
PackedUninstaller ReadPackedUninstaller(const PackageContents& contents);

// What the stub would refuse or get wrong: the record's problems, the maker
// profile's, a record of the wrong length, a checksum or digest that does not match;
// and data after the sections that no signature explains. Empty for a sound
// package.
std::vector<std::string> VerifyProblems(const PackageContents& contents);
// The same for a caller that has read the packed uninstaller already, which
// may mean unpacking the whole payload.
std::vector<std::string> VerifyProblems(const PackageContents& contents, const PackedUninstaller& uninstaller);

// One line on a signature: "not signed", or "signed, " and its kind, entries
// and size. zsetup does not check a signature; `osslsigncode verify` does.
std::string SignatureSummary(const std::optional<CertificateTable>& signature);
// The same for the uninstaller, or why there is none to say it of.
std::string SignatureSummary(const PackedUninstaller& uninstaller);

}  // namespace zsetup
