#include "package/registry_placement.h"

namespace zsetup {

std::vector<PlacedRegistryRow> PlaceRegistryRows(const SetupConfig& config, InstallScope scope) {
    std::vector<PlacedRegistryRow> placed;
    bool have_current = false;
    bool current_user = false;
    std::string current;
    for (const RegistryEntry& row : config.RegistryRows()) {
        const bool user = row.CurrentUser != 0;
        if (have_current && user != current_user) have_current = false;  // another root: from its root
        const std::string path = row.KeyPath.text();
        std::string full;
        if (!path.empty() && path[0] == '\\') full = path.substr(1);
        else if (have_current && !current.empty()) full = path.empty() ? current : current + "\\" + path;
        else full = path;
        placed.push_back({&row, user || scope == InstallScope::kUser, full});
        have_current = true;
        current_user = user;
        current = full;
    }
    return placed;
}

}  // namespace zsetup
