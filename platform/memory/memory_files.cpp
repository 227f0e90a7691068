#include "platform/memory/memory_files.h"

#include "text/gbk.h"

#include <algorithm>
#include <stdexcept>

namespace zsetup {

MemoryFiles::MemoryFiles(const std::vector<std::string>& drives) {
    for (const std::string& d : drives) dirs_.insert(Key(d));
    if (dirs_.count(Key("C:"))) dirs_.insert(Key(kTempFolder));
}

std::string MemoryFiles::Absolute(const std::string& path) const {
    const bool absolute = (path.size() >= 2 && path[1] == ':') || (!path.empty() && path[0] == '\\');
    if (absolute || path.empty()) return path;
    return current_ + (current_.back() == '\\' ? "" : "\\") + path;
}

// Absolute, ASCII letters lower-cased (FoldAsciiCase), without
// trailing backslashes, and without the blanks and dots Windows drops from the
// end of a name: "C:\A\", "c:\a " and "c:\a." are one folder, and "D: " is
// drive D:.
std::string MemoryFiles::Key(const std::string& path) const {
    std::string k = FoldAsciiCase(Absolute(path));
    // A trail byte 0x5C at the end is part of a character, not a separator.
    const auto separator_at = [&](std::size_t i) { return FindLastSeparator(k) == i; };
    while (!k.empty() && (separator_at(k.size() - 1) || k.back() == ' ' ||
                          (k.back() == '.' && k.size() > 1 && k[k.size() - 2] != '.' && !separator_at(k.size() - 2))))
        k.pop_back();
    if (links_.empty()) return k;
    // Each link on the way is replaced by its target, from the left; the
    // count bounds a loop of links.
    for (int hops = 0; hops < 32; ++hops) {
        bool replaced = false;
        for (std::size_t at = FindFirstSeparator(k); at != std::string::npos; at = FindFirstSeparator(k, at + 1)) {
            const auto link = links_.find(k.substr(0, at));
            if (link == links_.end()) continue;
            k = link->second + k.substr(at);
            replaced = true;
            break;
        }
        if (!replaced) break;
    }
    return k;
}

std::string MemoryFiles::Entered(const std::string& path) const {
    std::string k = Key(path);
    for (int hops = 0; hops < 32; ++hops) {
        const auto link = links_.find(k);
        if (link == links_.end()) break;
        k = Key(link->second);
    }
    return k;
}

std::string MemoryFiles::Parent(const std::string& key) {
    const auto at = FindLastSeparator(key);
    return at == std::string::npos ? std::string() : key.substr(0, at);
}

std::optional<std::uint32_t> MemoryFiles::Attributes(const std::string& path) {
    const std::string k = Key(path);
    if (links_.count(k)) return kFileAttributeDirectory | kFileAttributeReparsePoint;
    if (dirs_.count(k)) return kFileAttributeDirectory;
    auto f = files_.find(k);
    if (f == files_.end()) return std::nullopt;
    constexpr std::uint32_t kArchive = 0x20;
    return f->second.read_only ? kArchive | kFileAttributeReadOnly : kArchive;
}

void MemoryFiles::Step() {
    ++steps_;
    if (!kill_in_) return;
    if (*kill_in_ == 0) {
        kill_in_.reset();
        throw ProcessKilled{};
    }
    --*kill_in_;
}

void MemoryFiles::WriteStep(const std::string& key, const std::vector<std::uint8_t>& bytes) {
    try {
        Step();
    } catch (const ProcessKilled&) {
        files_[key] = File{{bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2)}};
        throw;
    }
}

bool MemoryFiles::MakeDirectory(const std::string& path) {
    const std::string k = Key(path);
    if (k.empty() || dirs_.count(k) || files_.count(k) || links_.count(k) || !dirs_.count(Parent(k))) return false;
    Step();
    dirs_.insert(k);
    shown_[k] = Absolute(path);
    created_.push_back(path);
    return true;
}

std::uint32_t MemoryFiles::SetCurrentDir(const std::string& path) {
    const std::string k = Entered(path);
    if (!dirs_.count(k)) return files_.count(k) ? 267 : 2;  // ERROR_DIRECTORY, ERROR_FILE_NOT_FOUND
    current_ = Absolute(path);
    while (current_.size() > 3 && current_.back() == '\\') current_.pop_back();
    if (current_.size() == 2) current_ += '\\';
    return 0;
}

bool MemoryFiles::CanReplace(const std::string& key) const {
    if (key.empty() || dirs_.count(key) || links_.count(key) || !dirs_.count(Parent(key))) return false;
    auto f = files_.find(key);
    return f == files_.end() || (!f->second.read_only && !f->second.locked);
}

bool MemoryFiles::WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::string k = Key(path);
    if (!CanReplace(k)) return false;
    WriteStep(k, bytes);
    files_[k] = File{bytes};
    shown_.emplace(k, Absolute(path));
    return true;
}

bool MemoryFiles::WriteFileFrom(const std::string& path, const Filler& fill) {
    if (!CanReplace(Key(path))) return false;
    std::vector<std::uint8_t> bytes;
    std::uint8_t piece[4096];
    for (std::size_t got; (got = fill(piece, sizeof piece)) != 0;) bytes.insert(bytes.end(), piece, piece + got);
    return WriteWholeFile(path, bytes);
}

std::optional<std::vector<std::uint8_t>> MemoryFiles::ReadWholeFile(const std::string& path) {
    auto f = files_.find(Key(path));
    if (f == files_.end() || f->second.locked) return std::nullopt;
    return f->second.bytes;
}

bool MemoryFiles::RemoveFile(const std::string& path) {
    auto f = files_.find(Key(path));
    if (f == files_.end() || f->second.read_only || f->second.locked) return false;
    Step();
    files_.erase(f);
    return true;
}

bool MemoryFiles::MoveReplacing(const std::string& from, const std::string& to) {
    const std::string source = Key(from), target = Key(to);
    auto f = files_.find(source);
    if (f == files_.end() || f->second.locked) return false;
    if (!CanReplace(target)) return false;
    Step();
    if (files_.count(target)) replacements_.push_back({from, to, f->second.flushed});
    File moved = std::move(f->second);
    files_.erase(f);
    files_[target] = std::move(moved);
    shown_.emplace(target, Absolute(to));
    return true;
}

bool MemoryFiles::FlushToDisk(const std::string& path) {
    auto f = files_.find(Key(path));
    if (f == files_.end() || f->second.read_only || f->second.locked) return false;
    f->second.flushed = true;
    return true;
}

std::optional<std::string> MemoryFiles::MakeTempFile(const std::string& folder) {
    if (!dirs_.count(Entered(folder))) return std::nullopt;
    const std::string base = folder.empty() || folder.back() == '\\' ? folder : folder + "\\";
    for (int tries = 0; tries < 0xFFFF; ++tries) {
        const std::string name = TempFileName(++temp_serial_);
        const std::string k = Key(base + name);
        if (dirs_.count(k) || files_.count(k)) continue;
        Step();
        files_.emplace(k, File{});
        shown_.emplace(k, Absolute(base + name));
        return base + name;
    }
    return std::nullopt;
}

void MemoryFiles::AddFile(const std::string& path, std::vector<std::uint8_t> bytes) {
    files_[Key(path)].bytes = std::move(bytes);
    shown_.emplace(Key(path), Absolute(path));
}

MemoryFiles::File& MemoryFiles::Existing(const std::string& path) {
    auto f = files_.find(Key(path));
    if (f == files_.end()) throw std::logic_error("MemoryFiles: no file " + path);
    return f->second;
}

void MemoryFiles::AddLink(const std::string& link, const std::string& target) {
    const std::string k = Key(link);
    if (!dirs_.count(Parent(k)) || dirs_.count(k) || files_.count(k) || links_.count(k))
        throw std::logic_error("MemoryFiles: no place for a link at " + link);
    links_[k] = Key(target);
    shown_[k] = Absolute(link);
}

void MemoryFiles::SetReadOnly(const std::string& path, bool read_only) { Existing(path).read_only = read_only; }

void MemoryFiles::SetLocked(const std::string& path, bool locked) { Existing(path).locked = locked; }

bool MemoryFiles::HoldsAnything(const std::string& folder) const {
    const std::string k = Entered(folder);
    const auto inside = [&k](const std::string& other) { return other != k && Parent(other) == k; };
    return std::any_of(dirs_.begin(), dirs_.end(), inside) ||
           std::any_of(links_.begin(), links_.end(), [&](const auto& l) { return inside(l.first); }) ||
           std::any_of(files_.begin(), files_.end(), [&](const auto& f) { return inside(f.first); });
}

std::vector<std::string> MemoryFiles::FolderEntries(const std::string& folder) {
    const std::string k = Entered(folder);
    std::vector<std::string> names;
    const auto add = [&](const std::string& key, const std::string& shown) {
        if (key != k && Parent(key) == k) names.push_back(shown.substr(FindLastSeparator(shown) + 1));
    };
    const auto shown = [this](const std::string& key) {
        const auto it = shown_.find(key);
        return it == shown_.end() ? key : it->second;
    };
    for (const std::string& dir : dirs_) add(dir, shown(dir));
    for (const auto& [key, target] : links_) add(key, shown(key));
    for (const auto& [key, file] : files_) add(key, shown(key));
    return names;
}

bool MemoryFiles::RemoveFolder(const std::string& path) {
    const std::string k = Key(path);
    // As RemoveDirectory does with a junction: the link goes, its target stays.
    if (links_.erase(k)) return true;
    if (!dirs_.count(k) || Parent(k).empty() || HoldsAnything(path)) return false;
    if (k == Key(current_)) return false;  // Windows holds the process's current folder open
    Step();
    dirs_.erase(k);
    return true;
}

bool MemoryFiles::CopyFileTo(const std::string& from, const std::string& to) {
    const auto source = files_.find(Key(from));
    const std::string target = Key(to);
    if (source == files_.end() || source->second.locked || files_.count(target) || dirs_.count(target) ||
        !dirs_.count(Parent(target)))
        return false;
    WriteStep(target, source->second.bytes);
    files_[target].bytes = source->second.bytes;
    shown_.emplace(target, Absolute(to));
    return true;
}

bool MemoryFiles::ProtectFolder(const std::string& path) {
    if (no_access_lists_ || !dirs_.count(Key(path))) return false;
    Step();
    protected_.insert(Key(path));
    return true;
}

bool MemoryFiles::RemoveAtRestart(const std::string& path) {
    const std::string k = Key(path);
    if (!files_.count(k) && !dirs_.count(k)) return false;
    removals_at_restart_.push_back(path);
    return true;
}

std::vector<std::string> MemoryFiles::Listing() const {
    std::vector<std::string> lines;
    for (const std::string& dir : dirs_) lines.push_back("dir " + dir);
    for (const auto& [key, target] : links_) lines.push_back("link " + key + " -> " + target);
    for (const auto& [key, file] : files_)
        lines.push_back("file " + key + " = " + std::string(file.bytes.begin(), file.bytes.end()));
    std::sort(lines.begin(), lines.end());
    return lines;
}

}  // namespace zsetup
