// The Windows shell as the wizard reaches it: the folder picker, ShellExecute,
// shell-link (.lnk) files and the folders programs are installed to. Texts are GBK; the implementation converts.
#pragma once

#include <stdexcept>
#include <string>

namespace zsetup {

// The shell link object could not be created or lacks an interface.
class ShellLinkError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ShellLink {
    std::string target;
    std::string arguments;
    std::string icon_path;
    int icon_index = 0;
    std::string working_directory;
};

// Shell special-folder identifiers, numbered as Windows numbers them.
inline constexpr int kCsidlDesktop = 0;
// Show commands, numbered as Windows numbers them.
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShow = 5;

class Shell {
public:
    virtual ~Shell() = default;
    // Shows the folder picker rooted at the special folder; the chosen
    // folder's path, or empty when cancelled or without a file-system path.
    virtual std::string BrowseForFolder(int csidl_root, const std::string& title) = 0;
    // ShellExecute with no owner window and the verb ("open", "explore") on
    // a file, folder or address; an empty directory is none. False when the
    // shell reports a failure.
    virtual bool Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                         const std::string& directory, int show) = 0;
    // Writes the link file. When COM cannot be initialised nothing is done;
    // a link object that cannot be made raises ShellLinkError; a failed save
    // is not reported (the file may then be missing).
    virtual void SaveLink(const std::string& link_file, const ShellLink& link) = 0;
    // The Program Files folder as this program sees it (a 32-bit program on
    // 64-bit Windows: the "(x86)" one), without a trailing backslash; empty
    // when the system names none.
    virtual std::string ProgramFilesFolder() = 0;
    // Where Windows puts programs installed for this user only: the user's
    // local application data + "\Programs", without a trailing backslash;
    // empty when the system names none or the path has no GBK form.
    virtual std::string UserProgramsFolder() = 0;
};

}  // namespace zsetup
