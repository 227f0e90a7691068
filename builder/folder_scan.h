// The files a [[folder]] row stands for: its source folder walked to the
// bottom, through links, with its include and exclude patterns applied.
//   - A link to a file is installed as a file with the link's name and the
//     bytes of what it points at; a link to a folder is walked like a folder.
//     A link that points at nothing, or back at a folder that holds it, is a
//     problem.
//   - An empty folder cannot be installed (the installer makes folders only
//     for the files in them): it is listed so the caller can say so.
//   - Anything else (a device, a pipe, a socket) is a problem.
// What the folders are read in does not matter: the caller sorts.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zsetup {

struct FolderFilter {
    std::vector<std::string> include;  // empty: every file
    std::vector<std::string> exclude;
};

struct FolderFile {
    std::string relative;        // UTF-8, '/' between folders: "img/logo.png"
    std::filesystem::path path;  // where its bytes are read from
};

struct FolderScan {
    std::vector<FolderFile> files;
    std::vector<std::string> empty_folders;  // relative, "" for the source folder itself
    std::vector<std::string> problems;       // each a whole sentence naming the path
};

FolderScan ScanFolder(const std::filesystem::path& source, const FolderFilter& filter);

}  // namespace zsetup
