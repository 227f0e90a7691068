#include "package/installed_names.h"

namespace zsetup::installed {

std::string UninstallLinkName(const SetupConfig& config) {
    return "\xD0\xB6\xD4\xD8" + config.ProductName.text();  // "卸载" in GBK
}

std::string UninstallKey(const SetupConfig& config) {
    return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + config.ProductName.text();
}

std::string CompanyKey(const SetupConfig& config) { return "Software\\" + config.CompanyKeyName.text(); }

std::string ProductKey(const SetupConfig& config) {
    return CompanyKey(config) + "\\" + config.DefaultFolderName.text();
}

}  // namespace zsetup::installed
