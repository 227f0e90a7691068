// MakerProfile: what a package may say of its maker in place of the built-in
// maker: the fixed texts that name it, the message caption, the folder
// example, the site, the tutorial box, the programs ended on Next, the licence
// shown inline, a program started at the finish, whether the folder opens and
// where the proposed folder lies, and whether the uninstall entry is the
// complete one (icon, size, quiet uninstall, links).
// Carried as the optional SETUPMAKER resource. Texts are GBK.
//
// Format: "ZSMK", a version byte (1), then fields to the end, each a tag byte,
// a 16-bit little-endian length and that many bytes. A tag comes at most
// once, in any order; a field left out keeps the built-in value. Readers
// refuse a tag they do not know, so a tag added later (the folder root) is
// written only when it asks for something other than the built-in
// behaviour: a profile that does not use it is the same bytes as before and
// reads in an earlier stub and uninstaller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "package/setup_config.h"
#include "package/setup_map.h"

namespace zsetup {

// Byte limits of the fields.
inline constexpr std::size_t kMakerLineBytes = 64;       // title, credit, caption, site text, tutorial text
inline constexpr std::size_t kMakerQuestionBytes = 255;  // the two start-up questions
inline constexpr std::size_t kMakerQuitBytes = 511;      // the Cancel question
inline constexpr std::size_t kMakerAddressBytes = 255;   // the site, the tutorial address
inline constexpr std::size_t kMakerProcessBytes = 64;    // one program's image name
inline constexpr std::size_t kMakerMostProcesses = 4;

// Where the folder page's proposal lies: the drive ("C:\" or "D:\" + the
// folder name), or the Program Files folder as the installer sees it.
enum class FolderRoot : std::uint8_t { kDrive = 0, kProgramFiles = 1 };

struct MakerProfile {
    std::optional<std::string> page_title;              // page 0's title
    std::optional<std::string> credit;                  // the header's credit line
    std::optional<std::string> already_installed;       // start-up question
    std::optional<std::string> checksum_question;       // start-up question
    std::optional<std::string> quit_question;           // Cancel and closing
    std::optional<std::string> caption;                 // every message box
    std::optional<std::string> folder_example;          // in the full-path message
    std::optional<std::string> site;                    // scheme and host: licence and tutorial pages
    std::optional<std::string> site_text;               // the lower-left address
    std::optional<std::string> tutorial_text;           // the finish page's check box
    std::optional<std::string> tutorial_address;        // what it opens
    bool no_tutorial = false;                           // no such check box at all
    std::optional<std::vector<std::string>> processes;  // ended on every Next; may be empty
    bool licence_inline = false;                        // PROTOCOL on page 1 instead of the link
    std::optional<int> run_file;                        // file table row started at the finish
    bool keep_folder_closed = false;                    // Finish does not open the folder
    FolderRoot folder_root = FolderRoot::kDrive;        // the proposed folder's root
    // The uninstall entry's further values (DisplayIcon, EstimatedSize,
    // QuietUninstallString, NoModify, NoRepair, InstallDate, and the links
    // below where given): written only when asked.
    bool complete_entry = false;
    std::optional<int> entry_icon;           // file table row whose icon the entry shows
    std::optional<std::string> help_link;    // HelpLink
    std::optional<std::string> update_link;  // URLUpdateInfo

    bool operator==(const MakerProfile& other) const;
};

// Throws PackageError for a profile a reader would refuse.
std::vector<std::uint8_t> WriteMakerProfile(const MakerProfile& profile);

// Throws PackageError ("SETUPMAKER: ...") for bytes that are not a sound
// profile: bad header or version, a field cut short, an unknown or repeated
// tag, a text over its limit or not GBK, an address that is not one, a
// program name that is not a file name.
MakerProfile ReadMakerProfile(const std::uint8_t* data, std::size_t size);

// What the profile asks of the record: empty when its run file and entry
// icon are file table rows that are installed, else why not.
std::string MakerProfileProblem(const MakerProfile& profile, const SetupConfig& record);

}  // namespace zsetup
