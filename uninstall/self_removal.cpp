#include "uninstall/self_removal.h"

#include "text/gbk.h"
#include "package/setup_map.h"

namespace zsetup {
namespace {

constexpr std::uint32_t kWaitForFirstMs = 60000;

}  // namespace

const std::vector<OptionRule>& UninstallerOptions() {
    static const std::vector<OptionRule> options = {{"/S", OptionRule::kFlag},
                                                    {"/?", OptionRule::kFlag},
                                                    {"/CLEANUP=", OptionRule::kValue},
                                                    {"/IN=", OptionRule::kRestOfLine}};
    return options;
}

std::optional<std::uint32_t> ProcessIdOf(const std::string& text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::uint64_t id = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        id = id * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (id > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<std::uint32_t>(id);
}

namespace {

constexpr char kCopyFolderPrefix[] = "zsetup-uninstall-";

std::string CopyFolder(Platform& platform, std::uint32_t id) {
    return platform.files.TempFolder() + "\\" + kCopyFolderPrefix + std::to_string(id);
}

// Whether path is the copy HandOverSelfRemoval makes: the uninstaller in a
// "zsetup-uninstall-<id>" folder of the temporary folder.
bool IsHandedOverCopy(Platform& platform, const std::string& path) {
    const std::string folder = FolderOf(path);
    const std::string prefix = FoldAsciiCase(platform.files.TempFolder() + "\\" + kCopyFolderPrefix);
    const std::string folded = FoldAsciiCase(folder);
    return folded.rfind(prefix, 0) == 0 && ProcessIdOf(folder.substr(prefix.size())) &&
           FoldAsciiCase(path) == FoldAsciiCase(folder + installed::kUninstaller);
}

}  // namespace

bool HandOverSelfRemoval(Platform& platform) {
    Files& files = platform.files;
    Processes& processes = platform.processes;
    const std::string self = processes.CurrentProgram();
    const std::string folder = CopyFolder(platform, processes.CurrentId());
    if (!DirectoryExists(files, folder) && !files.MakeDirectory(folder)) return false;
    const std::string copy = folder + installed::kUninstaller;
    files.RemoveFile(copy);  // left by an earlier run that had the same id
    if (!files.CopyFileTo(self, copy)) return false;
    const std::string arguments = "/CLEANUP=" + std::to_string(processes.CurrentId()) + " /IN=" + self;
    return processes.Launch(copy, arguments).has_value();
}

bool FinishSelfRemoval(Platform& platform, std::uint32_t first, const std::string& first_path) {
    Files& files = platform.files;
    const std::string self = platform.processes.CurrentProgram();
    // The command line is anyone's to write: only the handed-over copy acts,
    // and only on an uninstaller whose removal has taken its record away.
    const std::string folder = FolderOf(first_path);
    if (!IsHandedOverCopy(platform, self) ||
        FoldAsciiCase(first_path) != FoldAsciiCase(folder + installed::kUninstaller) ||
        files.Attributes(folder + installed::kRecordCopy))
        return false;
    // Started from the program group's link, the first program, and so this
    // copy, had the product's folder as current folder, which keeps it.
    files.SetCurrentDir(FolderOf(self));
    platform.processes.WaitForExit(first, kWaitForFirstMs);
    if (!files.RemoveFile(first_path) && files.Attributes(first_path)) files.RemoveAtRestart(first_path);
    // The product's folder, unless something the user put there keeps it.
    files.RemoveFolder(folder);
    files.RemoveAtRestart(self);
    files.RemoveAtRestart(FolderOf(self));
    return true;
}

}  // namespace zsetup
