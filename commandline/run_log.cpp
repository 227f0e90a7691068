#include "commandline/run_log.h"

#include "text/encoding.h"

namespace zsetup {

void RunLog::Message(const std::string& text) {
    // A box breaks lines with CR LF or a lone CR; the log with its own line ends.
    std::string line = "message: ";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            line += text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        lines_.push_back(line);
        line = "  ";
    }
    lines_.push_back(line);
}

void RunLog::File(const std::string& path) { lines_.push_back("file: " + path); }

void RunLog::RegistryValue(RegRoot root, const std::string& key, const std::string& name) {
    const std::string from_root = !key.empty() && key[0] == '\\' ? key.substr(1) : key;
    lines_.push_back(std::string("registry: ") + RegRootName(root) + "\\" + from_root + "\\" + name);
}

void RunLog::Link(const std::string& path) { lines_.push_back("link: " + path); }

void RunLog::FolderAccess(const std::string& folder, bool protected_like_program_files) {
    lines_.push_back((protected_like_program_files ? "access as Program Files: " : "access left as it was: ") + folder);
}

void RunLog::LinkNotFollowed(const std::string& path) { lines_.push_back("link not followed: " + path); }

std::string RunLog::Utf8() const {
    std::string out;
    for (const std::string& line : lines_) out += GbkToUtf8(line) + "\r\n";
    return out;
}

bool RunLog::Save(Files& files, const std::string& path) const {
    const std::string text = Utf8();
    return files.WriteWholeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace zsetup
