// Takes an installed product away: exactly what the installation run wrote,
// as the record it left in the folder describes it, and nothing the user
// added. Files of the file table (and of the rows past its 256), the
// record's copies, the uninstaller and what a run killed halfway left
// (temporary files, known by their name);
// their folders, deepest first, each only when empty; the links on the
// desktop and in the program group, and the group when empty; the values
// the run wrote under the product's and the maker's keys and the uninstall
// entry; and the table's registry values where they still hold what was
// written, with the keys left empty. A link (junction, symbolic link) found
// on the way to a file or folder is never entered: what lies behind it may
// be anyone's.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "package/install_scope.h"
#include "package/setup_config.h"
#include "platform/platform.h"

namespace zsetup {

struct RemovalResult {
    std::vector<std::string> at_restart;  // held open now: they go when Windows next starts
    std::vector<std::string> kept;        // folders that hold what the user put there
    std::vector<std::string> failed;      // what could neither go nor wait for the restart
    std::vector<std::string> links;       // links found where the run made folders: neither entered nor removed
    bool Complete() const { return at_restart.empty() && kept.empty() && failed.empty() && links.empty(); }
};

enum class RemovalStage { kFiles, kLinks, kRegistry };

class ProductRemoval {
public:
    // The record must have passed ValidateConfig: no name leaves its folder.
    // self: the running uninstaller, which cannot remove its own file; it and
    // the folder that then holds nothing else go once it has ended
    // (HandOverSelfRemoval).
    // extra_files: the rows past the record's 256 (extra_files.h), if any.
    // processes: the product's programs, ended first.
    // scope: whom the install was for, which decides the root of its keys.
    ProductRemoval(Platform& platform, const SetupConfig& record, const std::vector<FileEntry>& extra_files,
                   std::vector<std::string> processes, std::string folder, std::string self, InstallScope scope);

    // Ends the product's running programs first. progress(stage, percent)
    // comes after every step.
    RemovalResult Run(const std::function<void(RemovalStage, int)>& progress);

private:
    void RemoveFile(const std::string& path, RemovalResult& result);
    // False, with the link listed, when a link lies on the way to the path or is the folder itself.
    bool ReachedWithoutLinks(const std::string& path, bool is_folder, RemovalResult& result);
    void RemoveFolders(std::vector<std::string> folders, RemovalResult& result);
    void RemoveLinks(RemovalResult& result);
    void RemoveRegistry();
    void RemoveTableValues();
    bool DeleteIfEmpty(RegRoot root, const std::string& path);
    // Deletes the key, and its parents, while they are empty and the product's or the maker's to delete.
    void PruneEmptyKeys(RegRoot root, std::string path);

    Platform& platform_;
    const SetupConfig& record_;
    const std::vector<FileEntry>& extra_files_;
    std::vector<std::string> processes_;
    std::string folder_;
    std::string self_;
    InstallScope scope_;
};

}  // namespace zsetup
