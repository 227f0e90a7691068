#include "builder/temporary_folder.h"

#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace zsetup {

TemporaryFolder::TemporaryFolder() {
    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::temp_directory_path(ec);
    if (ec) throw std::runtime_error("Cannot find the temporary folder: " + ec.message());
    // A name no one can have made before us: a folder that is already there
    // is someone else's, and another name is drawn.
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "zsetup-%08x%08x", random(), random());
        const std::filesystem::path candidate = parent / name;
        if (!std::filesystem::create_directory(candidate, ec)) {
            if (ec) throw std::runtime_error("Cannot make a folder in \"" + parent.u8string() + "\": " + ec.message());
            continue;
        }
        // Only the builder's user may look at or change what it signs.
        path_ = candidate;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        if (!ec) return;
        const std::string why = ec.message();
        std::filesystem::remove(path_, ec);
        throw std::runtime_error("Cannot keep \"" + path_.u8string() + "\" to the builder's user: " + why);
    }
    throw std::runtime_error("Cannot make a folder of its own in \"" + parent.u8string() + "\"");
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;  // best effort: what the build reports matters more
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace zsetup
