// An in-process file system for native tests: drives, folders and files by
// path without letter case, as Windows names them. A folder is created only
// when its parent exists and the path is free, as CreateDirectory does; a
// read-only file or one held open by another process (SetLocked) refuses
// what Windows refuses. A link (AddLink) stands for a junction: a path
// through it reaches its target, and deleting through it deletes there.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

namespace zsetup {

// Thrown by a step of MemoryFiles.KillAtStep: the process died there. Not a
// std::exception, so that no handler of the program takes it for an error.
struct ProcessKilled {};

class MemoryFiles : public Files {
public:
    // Drive roots such as "C:\" exist from the start.
    explicit MemoryFiles(const std::vector<std::string>& drives = {"C:"});

    std::optional<std::uint32_t> Attributes(const std::string& path) override;
    bool MakeDirectory(const std::string& path) override;
    std::uint32_t SetCurrentDir(const std::string& path) override;
    std::string CurrentDir() override { return current_; }
    bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) override;
    bool WriteFileFrom(const std::string& path, const Filler& fill) override;
    std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool MoveReplacing(const std::string& from, const std::string& to) override;
    bool FlushToDisk(const std::string& path) override;
    std::optional<std::string> MakeTempFile(const std::string& folder) override;
    bool RemoveFolder(const std::string& path) override;
    std::vector<std::string> FolderEntries(const std::string& folder) override;
    bool CopyFileTo(const std::string& from, const std::string& to) override;
    bool RemoveAtRestart(const std::string& path) override;
    std::string TempFolder() override { return kTempFolder; }
    bool ProtectFolder(const std::string& path) override;

    // The temporary folder, made with drive C:.
    static constexpr const char* kTempFolder = "C:\\Temp";

    // Puts a file in place whether or not its folder exists.
    void AddFile(const std::string& path, std::vector<std::uint8_t> bytes = {});
    // A junction at `link` (its folder must exist) leading to the folder `target`.
    void AddLink(const std::string& link, const std::string& target);
    void SetReadOnly(const std::string& path, bool read_only);
    // As if another process held the file open without sharing it.
    void SetLocked(const std::string& path, bool locked);
    // Whether ProtectFolder was given this folder (a drive that keeps no
    // access lists: SetKeepsNoAccessLists).
    bool IsProtected(const std::string& path) const { return protected_.count(Key(path)) != 0; }
    void SetKeepsNoAccessLists(bool none) { no_access_lists_ = none; }
    // Every directory created, in order, as given.
    const std::vector<std::string>& Created() const { return created_; }
    // Every rename onto a file that was there, as "from -> to", and whether
    // from's bytes had been flushed to the disk before it.
    struct Replacement {
        std::string from, to;
        bool flushed;
    };
    const std::vector<Replacement>& Replacements() const { return replacements_; }
    // The process dies at the step-th change from now (0: the next one):
    // making a folder or file, writing (half the bytes then stay), renaming,
    // removing, protecting. ProcessKilled is thrown in its place.
    void KillAtStep(std::size_t step) { kill_in_ = step; }
    // How many changes were made: the steps a kill can come at.
    std::size_t Steps() const { return steps_; }
    // Every path asked to go at the next restart, in order, as given.
    const std::vector<std::string>& RemovalsAtRestart() const { return removals_at_restart_; }
    // Whether anything lies in the folder.
    bool HoldsAnything(const std::string& folder) const;
    // Every folder ("dir key"), link ("link key -> target") and file ("file key = bytes"), sorted: two
    // listings compare equal when the file systems hold the same.
    std::vector<std::string> Listing() const;

private:
    struct File {
        std::vector<std::uint8_t> bytes;
        bool read_only = false;
        bool locked = false;
        bool flushed = false;
    };

    // Relative paths are taken from the current directory.
    std::string Absolute(const std::string& path) const;
    // The path as stored: absolute, folded, and led through every link on
    // the way, not through the last part when that is a link itself.
    std::string Key(const std::string& path) const;
    // The key, led through its last part too when that is a link.
    std::string Entered(const std::string& path) const;
    static std::string Parent(const std::string& key);
    // The file at key may be created, truncated or replaced.
    bool CanReplace(const std::string& key) const;
    File& Existing(const std::string& path);
    // Counts a change; throws ProcessKilled when the kill falls on it.
    void Step();
    // Counts a write; on the kill, leaves half the bytes in the file and throws.
    void WriteStep(const std::string& key, const std::vector<std::uint8_t>& bytes);

    std::set<std::string> dirs_;
    std::map<std::string, std::string> links_;  // key -> target key
    std::map<std::string, File> files_;
    std::vector<std::string> created_;
    std::vector<std::string> removals_at_restart_;
    std::map<std::string, std::string> shown_;  // key -> the path as it was made (for its name's case)
    std::string current_ = "C:\\";
    unsigned temp_serial_ = 0;
    std::set<std::string> protected_;
    bool no_access_lists_ = false;
    std::vector<Replacement> replacements_;
    std::optional<std::size_t> kill_in_;
    std::size_t steps_ = 0;
};

}  // namespace zsetup
