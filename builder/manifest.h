// The product manifest: a TOML file in UTF-8 naming the record's texts, the
// files and folders with their installed names, the shortcuts, the registry
// values and the licence text. Reading it walks the [[folder]] rows' folders,
// reads the licence and checks everything that can be checked without opening
// a source file, reporting every problem at once; what is sound but likely a
// mistake is a warning.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "builder/maker_manifest.h"
#include "builder/manifest_error.h"
#include "builder/publishing_manifest.h"
#include "package/install_scope.h"
#include "pe/pe_machine.h"
#include "package/setup_config.h"

namespace zsetup {

// The most a manifest may be: room for 65,536 [[file]] rows of about 120
// bytes, while a huge file is refused before it is read.
inline constexpr std::uint64_t kMostManifestBytes = std::uint64_t{8} << 20;

struct SourceFile {
    std::filesystem::path path;  // resolved against the manifest's folder
    std::string key;             // "file[3].source" or "folder[0].source \"img/a.png\"", for messages
    int line = 0;                // of the row in the manifest, 0 when unknown
};

struct Manifest {
    std::filesystem::path file;
    // Texts and tables filled in; file offsets, sizes and PackChecksum are
    // left for the packer, which learns them from the sources.
    std::unique_ptr<SetupConfig> record;
    // The file rows past the record's 256 (extra_files.h), after them in table order.
    std::vector<FileEntry> extra_files;
    std::vector<SourceFile> sources;  // one per row of the file table, in table order
    std::vector<SourceFile> folders;  // the [[folder]] rows' source folders
    SourceFile licence;
    std::string licence_text;           // GBK, as PROTOCOL carries it
    bool built_in_uninstaller = false;  // the last file row is zsetup-uninstall.exe
    // The kind of program the build makes: --arch, else the `arch` key, else x86.
    PeMachine arch = PeMachine::kI386;
    int arch_line = 0;  // the `arch` key's line when the key chose it
    // The `scope` key: a machine install (the default) or one for the user
    // who runs setup.exe, whose stub and built-in uninstaller run as that user.
    InstallScope scope = InstallScope::kMachine;
    // "manifest.toml:LINE: warning: key: what", each naming what it is about.
    std::vector<std::string> warnings;
    // "manifest.toml:LINE: note: key: what": how an input was read, where not as
    // expected; for the user's information, never refused by --strict.
    std::vector<std::string> notes;
    MakerManifest maker;  // the [maker] table
    // The [sign] command and the [winget] keys, over which the command line wins.
    PublishingTables publishing;
};

struct ManifestOptions {
    // The default install date: SOURCE_DATE_EPOCH when set, else today.
    std::optional<std::time_t> source_date_epoch;
    std::time_t now = 0;
    // --arch: the kind of program to build, over the manifest's `arch` key.
    std::optional<PeMachine> arch;
    // The built-in uninstaller (zsetup-uninstall.exe) for a build of that
    // kind, added as "\uninstall.exe" unless the manifest carries its own or
    // says `uninstaller = false`. Asked once the kind is known, which may be
    // the manifest's to say.
    std::function<std::filesystem::path(PeMachine)> uninstaller;
};

// Throws ManifestError listing every problem, one per line, each as
// "manifest.toml:LINE: key: what" (without LINE where none is known).
Manifest ReadManifest(const std::filesystem::path& file, const ManifestOptions& options);

// "yyyymmdd" of a moment, in UTC.
std::string DateText(std::time_t t);

// SOURCE_DATE_EPOCH's value; throws ManifestError when it is not a count of seconds.
std::optional<std::time_t> SourceDateEpoch(const char* value);

}  // namespace zsetup
