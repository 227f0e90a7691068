#include "builder/folder_scan.h"

#include <algorithm>
#include <set>
#include <system_error>

#include "builder/glob.h"
#include "builder/manifest_text.h"

namespace zsetup {
namespace {

namespace fs = std::filesystem;

bool AnyMatches(const std::vector<std::string>& patterns, const std::string& relative) {
    return std::any_of(patterns.begin(), patterns.end(),
                       [&](const std::string& p) { return GlobMatches(p, relative); });
}

// Whether path is folder or lies below it; both as canonical() gives them.
bool Within(const fs::path& path, const fs::path& folder) {
    return std::mismatch(folder.begin(), folder.end(), path.begin(), path.end()).first == folder.end();
}

// A folder's entry and its name, which it is sorted by.
struct Entry {
    std::string name;  // UTF-8
    fs::directory_entry entry;
};

class Walker {
public:
    Walker(const fs::path& source, const FolderFilter& filter, FolderScan& out) : filter_(filter), out_(out) {
        std::error_code ec;
        root_ = fs::canonical(source, ec);
    }

    // The source folder, as it is and as it really is.
    void WalkSource(const fs::path& source) { Walk(source, root_, "", 0); }

private:
    // The folder's entries, in name order so the problems come out the same
    // each time. real: the folder with every link resolved.
    void Walk(const fs::path& folder, const fs::path& real, const std::string& relative, std::size_t depth) {
        if (depth > kMostFolderDepth) {
            return Stop(Quoted(relative) + " lies more than " + std::to_string(kMostFolderDepth) +
                        " folders below the source, where no file fits an installed name of 131 bytes; the walk "
                        "stopped there");
        }
        if (!real.empty() && !holding_.insert(real.native()).second) {
            Problem(relative, "is a link back to a folder that holds it");
            return;
        }
        std::error_code ec;
        std::vector<Entry> entries;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            entries.push_back({it->path().filename().u8string(), *it});
        if (ec) Problem(relative, "cannot be read (" + ec.message() + ")");
        else if (entries.empty()) out_.empty_folders.push_back(relative);
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
        for (const Entry& entry : entries) {
            if (stopped_) break;
            Visit(entry, real, relative.empty() ? entry.name : relative + "/" + entry.name, depth);
        }
        if (!real.empty()) holding_.erase(real.native());
    }

    // What the listing says of an entry is taken as it is; only a link costs
    // a look at what it points at.
    void Visit(const Entry& named, const fs::path& folder_real, const std::string& relative, std::size_t depth) {
        if (AnyMatches(filter_.exclude, relative)) return;  // a folder with everything in it
        if (++entries_ > kMostFolderEntries) {
            return Stop("holds more than " + std::to_string(kMostFolderEntries) +
                        " files and folders; the walk stopped at " + Quoted(relative) +
                        "; exclude what is not shipped, or give a folder that holds only the product");
        }
        const fs::directory_entry& entry = named.entry;
        std::error_code ec;
        const bool link = entry.is_symlink(ec);
        if (!entry.exists(ec)) {  // through links
            Problem(relative,
                    link ? "is a link to \"" + fs::read_symlink(entry.path(), ec).u8string() + "\", which is not there"
                         : "cannot be read (" + ec.message() + ")");
            return;
        }
        const fs::path real = link ? fs::canonical(entry.path(), ec) : fs::path();
        if (link && !filter_.follow_links && !Within(real, root_)) {
            out_.skipped_links.push_back({relative, fs::read_symlink(entry.path(), ec).u8string()});
            return;
        }
        if (entry.is_directory(ec)) {
            Walk(entry.path(), link ? real : folder_real / entry.path().filename(), relative, depth + 1);
        } else if (!entry.is_regular_file(ec)) {
            Problem(relative, "is neither a file nor a folder");
        } else if (filter_.include.empty() || AnyMatches(filter_.include, relative)) {
            out_.files.push_back({relative, entry.path()});
        }
    }

    void Problem(const std::string& relative, const std::string& what) {
        out_.problems.push_back("\"" + (relative.empty() ? std::string(".") : relative) + "\" " + what);
    }

    // Past a bound only the bound is said: what was found so far is a part.
    void Stop(const std::string& why) {
        stopped_ = true;
        out_.files.clear();
        out_.empty_folders.clear();
        out_.skipped_links.clear();
        out_.problems = {why};
    }

    const FolderFilter& filter_;
    FolderScan& out_;
    fs::path root_;                            // the source as it really is
    std::set<fs::path::string_type> holding_;  // the folders being walked, as they really are
    std::size_t entries_ = 0;
    bool stopped_ = false;
};

}  // namespace

FolderScan ScanFolder(const fs::path& source, const FolderFilter& filter) {
    FolderScan scan;
    Walker(source, filter, scan).WalkSource(source);
    return scan;
}

}  // namespace zsetup
