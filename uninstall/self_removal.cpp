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

bool HandOverSelfRemoval(Platform& platform) {
    Files& files = platform.files;
    Processes& processes = platform.processes;
    const std::string self = processes.CurrentProgram();
    const std::string folder = files.TempFolder() + "\\zsetup-uninstall-" + std::to_string(processes.CurrentId());
    if (!DirectoryExists(files, folder) && !files.MakeDirectory(folder)) return false;
    const std::string copy = folder + installed::kUninstaller;
    files.RemoveFile(copy);  // left by an earlier run that had the same id
    if (!files.CopyFileTo(self, copy)) return false;
    const std::string arguments = "/CLEANUP=" + std::to_string(processes.CurrentId()) + " /IN=" + self;
    return processes.Launch(copy, arguments).has_value();
}

void FinishSelfRemoval(Platform& platform, std::uint32_t first, const std::string& first_path) {
    Files& files = platform.files;
    platform.processes.WaitForExit(first, kWaitForFirstMs);
    if (!files.RemoveFile(first_path) && files.Attributes(first_path)) files.RemoveAtRestart(first_path);
    // The product's folder, unless something the user put there keeps it.
    files.RemoveFolder(FolderOf(first_path));
    const std::string self = platform.processes.CurrentProgram();
    files.RemoveAtRestart(self);
    files.RemoveAtRestart(FolderOf(self));
}

}  // namespace zsetup
