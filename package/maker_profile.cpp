#include "package/maker_profile.h"

#include <algorithm>

#include "base/little_endian.h"
#include "package/config_validation.h"
#include "package/errors.h"
#include "text/gbk.h"

namespace zsetup {
namespace {

constexpr std::size_t kHeaderBytes = 5;
constexpr std::size_t kFieldHeaderBytes = 3;

enum Tag : std::uint8_t {
    kPageTitle = 1,
    kCredit,
    kAlreadyInstalled,
    kChecksumQuestion,
    kQuitQuestion,
    kCaption,
    kFolderExample,
    kSite,
    kSiteText,
    kTutorialText,
    kTutorialAddress,
    kProcesses,
    kRunFile,
    kFlags,
    kFolderRoot,
    kHelpLink,
    kUpdateLink,
    kCompleteEntry,
};

enum Flag : std::uint8_t {
    kLicenceInline = 1,
    kNoTutorial = 2,
    kKeepFolderClosed = 4,
};
constexpr std::uint8_t kAllFlags = kLicenceInline | kNoTutorial | kKeepFolderClosed;

// How a text is checked beyond its GBK form and limit.
enum class Shape { Line, Message, Site, Address };

struct TextField {
    Tag tag;
    const char* name;
    std::size_t limit;
    Shape shape;
    std::optional<std::string> MakerProfile::*member;
};

const TextField kTextFields[] = {
    {kPageTitle, "page title", kMakerLineBytes, Shape::Line, &MakerProfile::page_title},
    {kCredit, "credit", kMakerLineBytes, Shape::Line, &MakerProfile::credit},
    {kAlreadyInstalled, "installed question", kMakerQuestionBytes, Shape::Message, &MakerProfile::already_installed},
    {kChecksumQuestion, "checksum question", kMakerQuestionBytes, Shape::Message, &MakerProfile::checksum_question},
    {kQuitQuestion, "cancel question", kMakerQuitBytes, Shape::Message, &MakerProfile::quit_question},
    {kCaption, "caption", kMakerLineBytes, Shape::Line, &MakerProfile::caption},
    {kFolderExample, "folder example", kTextBytes, Shape::Line, &MakerProfile::folder_example},
    {kSite, "site", kMakerAddressBytes, Shape::Site, &MakerProfile::site},
    {kSiteText, "site text", kMakerLineBytes, Shape::Line, &MakerProfile::site_text},
    {kTutorialText, "tutorial text", kMakerLineBytes, Shape::Line, &MakerProfile::tutorial_text},
    {kTutorialAddress, "tutorial address", kMakerAddressBytes, Shape::Address, &MakerProfile::tutorial_address},
    {kHelpLink, "help link", kMakerAddressBytes, Shape::Address, &MakerProfile::help_link},
    {kUpdateLink, "update link", kMakerAddressBytes, Shape::Address, &MakerProfile::update_link},
};

[[noreturn]] void Refuse(const std::string& why) { throw PackageError(std::string(kMakerResource) + ": " + why); }

// GBK text without control characters (but the line breaks a message may hold).
bool IsShownText(const std::string& s, bool line_breaks) {
    if (!IsGbkText(s)) return false;
    for (std::size_t i = 0; i < s.size(); i += GbkCharLength(s, i)) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c < 0x20 && !(line_breaks && (c == '\r' || c == '\n'))) || c == 0x7F) return false;
    }
    return true;
}

// "http://" or "https://", then what follows: for a site a host with an
// optional port and nothing more; for an address any visible ASCII but a
// double quote, so it stays one argument of the browser.
bool IsAddress(const std::string& s, bool host_only) {
    std::size_t rest = 0;
    if (s.compare(0, 7, "http://") == 0) rest = 7;
    else if (s.compare(0, 8, "https://") == 0) rest = 8;
    else return false;
    if (rest == s.size()) return false;
    return std::all_of(s.begin() + static_cast<std::ptrdiff_t>(rest), s.end(), [&](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        if (host_only)
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
                   c == ':';
        return c > 0x20 && c < 0x7F && c != '"';
    });
}

void CheckText(const TextField& field, const std::string& text) {
    const std::string name = field.name;
    if (text.size() > field.limit)
        Refuse(name + ": " + std::to_string(text.size()) + " bytes, at most " + std::to_string(field.limit));
    if (!IsShownText(text, field.shape == Shape::Message))
        Refuse(name + (field.shape == Shape::Message ? ": not GBK text" : ": not GBK text of one line"));
    if (field.shape == Shape::Site && !IsAddress(text, true)) Refuse(name + ": not http:// or https:// and a host");
    if (field.shape == Shape::Address && !IsAddress(text, false)) Refuse(name + ": not an http:// or https:// address");
}

void CheckProcesses(const std::vector<std::string>& names) {
    if (names.size() > kMakerMostProcesses)
        Refuse("programs: " + std::to_string(names.size()) + " names, at most " + std::to_string(kMakerMostProcesses));
    for (const std::string& name : names) {
        if (name.size() > kMakerProcessBytes)
            Refuse("programs: a name of " + std::to_string(name.size()) + " bytes, at most " +
                   std::to_string(kMakerProcessBytes));
        const std::string why = FileNameProblem(name);
        if (!why.empty()) Refuse("programs: \"" + name + "\" " + why);
    }
}

void CheckProfile(const MakerProfile& p) {
    for (const TextField& field : kTextFields)
        if (const auto& text = p.*field.member) CheckText(field, *text);
    if (p.processes) CheckProcesses(*p.processes);
    if (p.run_file && (*p.run_file < 0 || *p.run_file >= kMaxRows)) Refuse("run file: no row of the file table");
    if (!p.complete_entry && (p.entry_icon || p.help_link || p.update_link))
        Refuse("uninstall entry: an icon or link, yet not the complete entry");
    if (p.entry_icon && (*p.entry_icon < 0 || *p.entry_icon >= kMaxRows))
        Refuse("uninstall entry: the icon is no row of the file table");
    if (p.no_tutorial && (p.tutorial_text || p.tutorial_address))
        Refuse("tutorial: no check box, yet its text or address");
}

void AddField(std::vector<std::uint8_t>& out, Tag tag, const std::string& bytes) {
    out.push_back(tag);
    out.push_back(static_cast<std::uint8_t>(bytes.size() & 0xFF));
    out.push_back(static_cast<std::uint8_t>(bytes.size() >> 8));
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// Program names one after another, each ended by a zero byte.
std::string JoinNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) joined += name + '\0';
    return joined;
}

std::vector<std::string> SplitNames(const std::string& joined) {
    if (!joined.empty() && joined.back() != '\0') Refuse("programs: the last name is not ended");
    std::vector<std::string> names;
    for (std::size_t start = 0; start < joined.size();) {
        const std::size_t end = joined.find('\0', start);
        names.push_back(joined.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

}  // namespace

bool MakerProfile::operator==(const MakerProfile& o) const {
    for (const TextField& field : kTextFields)
        if (this->*field.member != o.*field.member) return false;
    return no_tutorial == o.no_tutorial && processes == o.processes && licence_inline == o.licence_inline &&
           run_file == o.run_file && keep_folder_closed == o.keep_folder_closed && folder_root == o.folder_root &&
           complete_entry == o.complete_entry && entry_icon == o.entry_icon;
}

std::vector<std::uint8_t> WriteMakerProfile(const MakerProfile& p) {
    CheckProfile(p);
    std::vector<std::uint8_t> out(kMakerMark, kMakerMark + 4);
    out.push_back(kMakerProfileVersion);
    for (const TextField& field : kTextFields)
        if (const auto& text = p.*field.member) AddField(out, field.tag, *text);
    if (p.processes) AddField(out, kProcesses, JoinNames(*p.processes));
    if (p.run_file) {
        std::string index(2, '\0');
        WriteLe16(reinterpret_cast<std::uint8_t*>(index.data()), static_cast<std::uint16_t>(*p.run_file));
        AddField(out, kRunFile, index);
    }
    const std::uint8_t flags = (p.licence_inline ? kLicenceInline : 0) | (p.no_tutorial ? kNoTutorial : 0) |
                               (p.keep_folder_closed ? kKeepFolderClosed : 0);
    if (flags) AddField(out, kFlags, std::string(1, static_cast<char>(flags)));
    if (p.folder_root != FolderRoot::kDrive)
        AddField(out, kFolderRoot, std::string(1, static_cast<char>(p.folder_root)));
    if (p.complete_entry) {
        std::string icon;
        if (p.entry_icon) {
            icon.assign(2, '\0');
            WriteLe16(reinterpret_cast<std::uint8_t*>(icon.data()), static_cast<std::uint16_t>(*p.entry_icon));
        }
        AddField(out, kCompleteEntry, icon);
    }
    return out;
}

MakerProfile ReadMakerProfile(const std::uint8_t* data, std::size_t size) {
    if (size < kHeaderBytes || !std::equal(kMakerMark, kMakerMark + 4, data)) Refuse("not a maker profile");
    if (data[4] != kMakerProfileVersion) Refuse("version " + std::to_string(data[4]) + " is not known");
    MakerProfile p;
    std::vector<bool> seen(256);
    for (std::size_t at = kHeaderBytes; at < size;) {
        if (size - at < kFieldHeaderBytes) Refuse("a field is cut short");
        const std::uint8_t tag = data[at];
        const std::size_t length = ReadLe16(data + at + 1);
        at += kFieldHeaderBytes;
        if (size - at < length) Refuse("field " + std::to_string(tag) + " is cut short");
        if (seen[tag]) Refuse("field " + std::to_string(tag) + " comes twice");
        seen[tag] = true;
        const std::string bytes(reinterpret_cast<const char*>(data + at), length);
        at += length;
        const auto text = std::find_if(std::begin(kTextFields), std::end(kTextFields),
                                       [&](const TextField& f) { return f.tag == tag; });
        if (text != std::end(kTextFields)) {
            p.*text->member = bytes;
        } else if (tag == kProcesses) {
            p.processes = SplitNames(bytes);
        } else if (tag == kRunFile) {
            if (length != 2) Refuse("run file: not a 2-byte row number");
            p.run_file = ReadLe16(data + at - 2);
        } else if (tag == kFlags) {
            if (length != 1 || (data[at - 1] & ~kAllFlags)) Refuse("flags: not known");
            p.licence_inline = data[at - 1] & kLicenceInline;
            p.no_tutorial = data[at - 1] & kNoTutorial;
            p.keep_folder_closed = data[at - 1] & kKeepFolderClosed;
        } else if (tag == kFolderRoot) {
            // Written only when not the drive: the drive's byte is no profile's.
            if (length != 1 || data[at - 1] != static_cast<std::uint8_t>(FolderRoot::kProgramFiles))
                Refuse("folder root: not known");
            p.folder_root = FolderRoot::kProgramFiles;
        } else if (tag == kCompleteEntry) {
            // Empty, or the 2-byte row of the icon's file.
            if (length != 0 && length != 2) Refuse("uninstall entry: not a 2-byte row number");
            p.complete_entry = true;
            if (length == 2) p.entry_icon = ReadLe16(data + at - 2);
        } else {
            Refuse("field " + std::to_string(tag) + " is not known");
        }
    }
    CheckProfile(p);
    return p;
}

std::string MakerProfileProblem(const MakerProfile& p, const SetupConfig& record) {
    const std::pair<const char*, std::optional<int>> rows[] = {{"run file", p.run_file},
                                                               {"uninstall entry icon", p.entry_icon}};
    for (const auto& [what, row] : rows)
        if (row && (*row >= record.FileCount || IsSkippedRow(record.Files[*row])))
            return std::string(kMakerResource) + ": " + what + ": row " + std::to_string(*row) +
                   " is not an installed file";
    return {};
}

}  // namespace zsetup
