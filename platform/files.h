// The file system as the wizard reaches it. Paths are GBK, Windows-style
// ("C:\dir\file"); the implementation converts them itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zsetup {

// Attribute bits, as Windows numbers them.
inline constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
// A junction, symbolic link or mount point: Attributes names the link itself.
inline constexpr std::uint32_t kFileAttributeReparsePoint = 0x400;

class Files {
public:
    virtual ~Files() = default;
    // The attributes, or nothing when they cannot be read (no such path). For
    // a link, its own attributes: a folder's link is a reparse point.
    virtual std::optional<std::uint32_t> Attributes(const std::string& path) = 0;
    // A relative path is taken from the current directory.
    virtual bool MakeDirectory(const std::string& path) = 0;
    // Makes the path the process's current directory: 0, or the system's
    // error code when it cannot be entered.
    virtual std::uint32_t SetCurrentDir(const std::string& path) = 0;
    virtual std::string CurrentDir() = 0;

    // Creates the file or truncates an existing one and writes all bytes.
    // False when the folder is missing, the file is read-only, a folder, or
    // held open by another process; a partly written file may then remain.
    virtual bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) = 0;
    // Fills `out` with up to `capacity` next bytes and gives their count; 0 at the end.
    using Filler = std::function<std::size_t(std::uint8_t* out, std::size_t capacity)>;
    // As WriteWholeFile, with the bytes taken from `fill` a piece at a time
    // (a file larger than memory). What `fill` throws passes through, the file
    // then left partly written.
    virtual bool WriteFileFrom(const std::string& path, const Filler& fill) = 0;
    // Nothing when the file is missing or cannot be opened for reading.
    virtual std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    // Renames from onto to in one step, replacing a file already there, so
    // to holds either its old or its new bytes, never a mix; the rename is
    // on the disk when it returns. Meant for two paths in one folder.
    virtual bool MoveReplacing(const std::string& from, const std::string& to) = 0;
    // Puts the file's bytes on the disk now, not when the system gets to it:
    // a rename that follows then survives a power cut with them.
    virtual bool FlushToDisk(const std::string& path) = 0;
    // Creates a new empty file named TempFileName(some number) in the
    // folder, where no file of that name was, and gives its path; nothing
    // when the folder is missing or not writable.
    virtual std::optional<std::string> MakeTempFile(const std::string& folder) = 0;

    // Removes an empty folder; false when it is missing or holds anything.
    virtual bool RemoveFolder(const std::string& path) = 0;
    // The names of what lies in the folder (files and folders, not "." and
    // ".."), in no set order; empty when it is missing.
    virtual std::vector<std::string> FolderEntries(const std::string& folder) = 0;
    // Copies a file to a name that is free; false when to exists already.
    virtual bool CopyFileTo(const std::string& from, const std::string& to) = 0;
    // Asks Windows to remove the file or empty folder when it next starts
    // (what cannot go now: a program still running, a file held open).
    virtual bool RemoveAtRestart(const std::string& path) = 0;
    // The user's folder for temporary files, without a trailing backslash.
    virtual std::string TempFolder() = 0;
    // Gives the folder the access Program Files has, for it and what comes to
    // lie below it: owned by Administrators, a protected list (nothing
    // inherited from above) granting Administrators and SYSTEM full control
    // and Users read and execute. False when it cannot (a drive that keeps no
    // access lists, a missing folder).
    virtual bool ProtectFolder(const std::string& path) = 0;
};

// A temporary file's name: "~zsetup" and eight hex digits, ".tmp". A run
// killed halfway leaves one beside a target; the next run and the
// uninstaller know it by this name.
std::string TempFileName(std::uint32_t number);
bool IsTempFileName(std::string_view name);

// True when the attributes can be read and include the directory attribute.
inline bool DirectoryExists(Files& files, const std::string& path) {
    auto a = files.Attributes(path);
    return a && (*a & kFileAttributeDirectory);
}

}  // namespace zsetup
