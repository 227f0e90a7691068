#include "builder/folder_scan.h"

#include <algorithm>
#include <set>
#include <system_error>

#include "builder/glob.h"

namespace zsetup {
namespace {

namespace fs = std::filesystem;

bool AnyMatches(const std::vector<std::string>& patterns, const std::string& relative) {
    return std::any_of(patterns.begin(), patterns.end(),
                       [&](const std::string& p) { return GlobMatches(p, relative); });
}

class Walker {
public:
    Walker(const FolderFilter& filter, FolderScan& out) : filter_(filter), out_(out) {}

    // The folder's entries, in name order so the problems come out the same each time.
    void Walk(const fs::path& folder, const std::string& relative) {
        std::error_code ec;
        const fs::path real = fs::canonical(folder, ec);
        if (!ec && !holding_.insert(real).second) {
            Problem(relative, "is a link back to a folder that holds it");
            return;
        }
        std::vector<fs::path> entries;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            entries.push_back(it->path());
        if (ec) Problem(relative, "cannot be read (" + ec.message() + ")");
        else if (entries.empty()) out_.empty_folders.push_back(relative);
        std::sort(entries.begin(), entries.end());
        for (const fs::path& entry : entries)
            Visit(entry, relative.empty() ? entry.filename().u8string() : relative + "/" + entry.filename().u8string());
        if (!real.empty()) holding_.erase(real);
    }

private:
    void Visit(const fs::path& entry, const std::string& relative) {
        if (AnyMatches(filter_.exclude, relative)) return;  // a folder with everything in it
        std::error_code ec;
        const fs::file_status status = fs::status(entry, ec);  // through links
        if (!fs::exists(status)) {
            const bool link = fs::is_symlink(fs::symlink_status(entry, ec));
            Problem(relative,
                    link ? "is a link to \"" + fs::read_symlink(entry, ec).u8string() + "\", which is not there"
                         : "cannot be read (" + ec.message() + ")");
        } else if (fs::is_directory(status)) {
            Walk(entry, relative);
        } else if (!fs::is_regular_file(status)) {
            Problem(relative, "is neither a file nor a folder");
        } else if (filter_.include.empty() || AnyMatches(filter_.include, relative)) {
            out_.files.push_back({relative, entry});
        }
    }

    void Problem(const std::string& relative, const std::string& what) {
        out_.problems.push_back("\"" + (relative.empty() ? std::string(".") : relative) + "\" " + what);
    }

    const FolderFilter& filter_;
    FolderScan& out_;
    std::set<fs::path> holding_;  // the folders being walked, as they really are
};

}  // namespace

FolderScan ScanFolder(const fs::path& source, const FolderFilter& filter) {
    FolderScan scan;
    Walker(filter, scan).Walk(source, "");
    return scan;
}

}  // namespace zsetup
