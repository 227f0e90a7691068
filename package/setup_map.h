// The names an installation leaves on the machine besides the product's own
// files, in one place for the installer that writes them and the uninstaller
// that takes them away. Texts and paths are GBK; key paths are from the root
// of HKEY_LOCAL_MACHINE, without a leading backslash.
#pragma once

#include <string>

#include "package/setup_config.h"

namespace zsetup::installed {

// The record's copy in the install folder, and the uninstaller beside it.
inline constexpr char kRecordCopy[] = "\\Z_nt.cx";
inline constexpr char kUninstaller[] = "\\uninstall.exe";
// The file rows past the record's 256 (extra_files.h): the SETUPFILES
// resource as built, left only by a package that has them.
inline constexpr char kExtraFilesCopy[] = "\\Z_files.cx";
// The maker's profile (maker_profile.h), the SETUPMAKER resource as built,
// left only by a package that has one: the uninstaller speaks as that maker.
inline constexpr char kMakerCopy[] = "\\Z_maker.cx";

// "卸载" + the product name, in the program group.
std::string UninstallLinkName(const SetupConfig& config);
// "Software\Microsoft\Windows\CurrentVersion\Uninstall\" + the product name.
std::string UninstallKey(const SetupConfig& config);
// "Software\" + CompanyKeyName, and that + "\" + DefaultFolderName.
std::string CompanyKey(const SetupConfig& config);
std::string ProductKey(const SetupConfig& config);

}  // namespace zsetup::installed
