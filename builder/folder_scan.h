// The files a [[folder]] row stands for: its source folder walked to the
// bottom, with its include and exclude patterns applied.
//   - A link that stays inside the source is followed: a link to a file is
//     installed as a file with the link's name and the bytes of what it
//     points at; a link to a folder is walked like a folder. A link out of
//     the source is skipped and listed, unless the row follows links (then
//     it is followed like the others). A link that points at nothing, or
//     back at a folder that holds it, is a problem.
//   - An empty folder cannot be installed (the installer makes folders only
//     for the files in them): it is listed so the caller can say so.
//   - Anything else (a device, a pipe, a socket) is a problem.
//   - The walk is bounded: past kMostFolderDepth folders below the source or
//     kMostFolderEntries entries it stops with that one problem.
// What the folders are read in does not matter: the caller sorts.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "builder/file_count.h"

namespace zsetup {

// No file deeper than this has an installed name of at most 131 bytes: each
// folder takes a name of one byte at least and a backslash.
inline constexpr std::size_t kMostFolderDepth = 64;
// Files and folders a row's walk may meet: four times the file limit, so a
// row given a whole disk stops in seconds.
inline constexpr std::size_t kMostFolderEntries = 4 * kMostFiles;

struct FolderFilter {
    std::vector<std::string> include;  // empty: every file
    std::vector<std::string> exclude;
    bool follow_links = false;  // also links out of the source
};

struct FolderFile {
    std::string relative;        // UTF-8, '/' between folders: "img/logo.png"
    std::filesystem::path path;  // where its bytes are read from
};

struct SkippedLink {
    std::string relative;  // the link, as FolderFile::relative
    std::string target;    // what it points at, as written in the link
};

struct FolderScan {
    std::vector<FolderFile> files;
    std::vector<std::string> empty_folders;  // relative, "" for the source folder itself
    std::vector<SkippedLink> skipped_links;  // links out of the source, not followed
    std::vector<std::string> problems;       // each a whole sentence naming the path
};

FolderScan ScanFolder(const std::filesystem::path& source, const FolderFilter& filter);

}  // namespace zsetup
