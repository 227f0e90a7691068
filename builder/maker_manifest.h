// The manifest's [maker] table: the maker profile and the artwork files. Every
// key is optional; a manifest without the table builds a package without a
// profile, which behaves as the built-in maker's.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include <toml++/toml.h>

#include "package/maker_profile.h"

namespace zsetup {

// An artwork file, with where the manifest names it for messages.
struct MakerArt {
    std::filesystem::path path;
    std::string key;  // "maker.icon"
    int line = 0;
};

struct MakerManifest {
    std::optional<MakerProfile> profile;  // none without a [maker] table
    std::optional<MakerArt> licence_picture;
    std::optional<MakerArt> finish_picture;
    std::optional<MakerArt> icon;
};

using ProblemSink = std::function<void(int line, const std::string& message)>;

// Reads root's [maker] table; index_of_name maps the file table's installed
// names (as NameCaseKey gives them) to their rows. Every problem goes to the sink.
MakerManifest ReadMakerTable(const toml::table& root, const std::filesystem::path& base,
                             const std::map<std::string, int>& index_of_name, const ProblemSink& problem);

// Reads root's [uninstall_entry] table, which asks for the complete uninstall
// entry: into the profile, made for it when the manifest has no [maker].
void ReadUninstallEntryTable(const toml::table& root, const std::map<std::string, int>& index_of_name,
                             const ProblemSink& problem, std::optional<MakerProfile>& profile);

}  // namespace zsetup
