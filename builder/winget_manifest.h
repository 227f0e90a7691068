// The Windows Package Manager's manifest of a build (schema 1.6.0), written
// by zsetup build --winget DIR: <Id>.yaml (the version), <Id>.installer.yaml
// and <Id>.locale.zh-CN.yaml (the default locale: the product's texts are
// Simplified Chinese). Everything but setup.exe's digest is known, and
// checked, before the build starts.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "builder/manifest.h"
#include "package/sha256.h"
#include "pe/pe_machine.h"

namespace zsetup {

// --winget-id and --winget-url, over [winget]'s identifier and url.
struct WingetOverrides {
    std::optional<std::string> identifier, url;
};

// What the three files say besides setup.exe's digest; texts in UTF-8.
struct WingetPackage {
    std::string identifier;  // PackageIdentifier: [winget] identifier, or Publisher.Product formed from the names
    std::string version;     // PackageVersion: product.version
    std::string publisher;   // Publisher: product.author
    std::string name;        // PackageName: product.name
    std::string license;     // License: [winget] license
    std::string short_description;  // [winget] short_description, or product.introduction on one line
    std::string url;                // InstallerUrl: [winget] url
    PeMachine arch = PeMachine::kI386;
    std::string scope;         // "machine" (HKLM, for everyone) or "user" (HKCU, the user who installs)
    std::string product_code;  // the uninstall entry's key name, as Windows' list of programs has it
};

inline constexpr char kWingetLocale[] = "zh-CN";

// Throws InputError listing, a line each, every reason the manifest cannot
// be written: no identifier can be formed and none is given, an identifier or
// address of the wrong form, no address, no licence name, and texts the
// schema refuses.
WingetPackage WingetPackageOf(const Manifest& manifest, const WingetOverrides& overrides);

struct WingetFile {
    std::string name;  // "<Id>.installer.yaml"
    std::string text;  // UTF-8
};

// The three files, for setup.exe of that SHA-256.
std::vector<WingetFile> WingetFiles(const WingetPackage& package, const Sha256Digest& setup);

// The three files written into folder, made when missing; each written whole
// or not at all.
void WriteWingetManifest(const std::filesystem::path& folder, const WingetPackage& package, const Sha256Digest& setup);

}  // namespace zsetup
