#include "builder/inspect_report.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "package/setup_map.h"
#include "package/extra_files.h"
#include "text/encoding.h"

namespace zsetup {
namespace {

const char* WhereName(const ShortcutEntry& s) {
    if (!s.InProgramGroup()) return KindWord(ShortcutKind::Desktop);
    return KindWord(s.OnDesktop() ? ShortcutKind::Both : ShortcutKind::Programs);
}

const char* TypeName(const RegistryEntry& e) {
    for (RegistryKind kind : {RegistryKind::Bool, RegistryKind::String, RegistryKind::Integer})
        if (e.Is(kind)) return KindWord(kind);
    return KindWord(RegistryKind::KeyOnly);
}

// The record's text fields in record order, as UTF-8.
std::vector<std::pair<const char*, std::string>> Fields(const SetupConfig& r) {
    return {{"Author", GbkToUtf8(r.Author.text())},
            {"CompanyKeyName", GbkToUtf8(r.CompanyKeyName.text())},
            {"Site", GbkToUtf8(r.Site.text())},
            {"LegalNotice", GbkToUtf8(r.LegalNotice.text())},
            {"Version", GbkToUtf8(r.Version.text())},
            {"ReleaseDate", GbkToUtf8(r.ReleaseDate.text())},
            {"ProductName", GbkToUtf8(r.ProductName.text())},
            {"DefaultFolderName", GbkToUtf8(r.DefaultFolderName.text())},
            {"Category", GbkToUtf8(r.Category.text())},
            {"Introduction", GbkToUtf8(r.Introduction.text())},
            {"InstallDate", GbkToUtf8(r.InstallDate.text())},
            {"SecondDate", GbkToUtf8(r.SecondDate.text())},
            {"InstallFolder", GbkToUtf8(r.InstallFolder.text())}};
}

// A text in double quotes on one line. JSON escapes backslashes too; the
// report leaves Windows paths readable.
std::string Quoted(const std::string& s, bool json) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || (c == '\\' && json)) {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\r' || c == '\n') {
            out += c == '\r' ? "\\r" : "\\n";
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string Json(const std::string& s) { return Quoted(s, true); }
std::string Shown(const std::string& s) { return Quoted(s, false); }

std::string TargetName(const AllFileRows& files, std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= files.size()) return "(no such file)";
    return GbkToUtf8(files[static_cast<std::size_t>(index)].Name.text());
}

std::string RowName(const SetupConfig& r, int row) {
    return std::to_string(row) + " " + (row < r.FileCount ? GbkToUtf8(r.Files[row].Name.text()) : "(no such file)");
}

// The profile's fields that are set, in UTF-8; yes/no for the switches.
std::vector<std::pair<const char*, std::string>> MakerFields(const MakerProfile& p, const SetupConfig& r) {
    std::vector<std::pair<const char*, std::string>> out;
    auto text = [&](const char* name, const std::optional<std::string>& v) {
        if (v) out.emplace_back(name, GbkToUtf8(*v));
    };
    text("page_title", p.page_title);
    text("credit", p.credit);
    text("installed_question", p.already_installed);
    text("checksum_question", p.checksum_question);
    text("cancel_question", p.quit_question);
    text("caption", p.caption);
    text("folder_example", p.folder_example);
    text("site", p.site);
    text("site_text", p.site_text);
    text("tutorial_text", p.tutorial_text);
    text("tutorial_address", p.tutorial_address);
    out.emplace_back("tutorial", p.no_tutorial ? "no" : "yes");
    if (p.processes) {
        std::string names;
        for (const std::string& name : *p.processes) names += (names.empty() ? "" : ", ") + GbkToUtf8(name);
        out.emplace_back("programs", names);
    }
    out.emplace_back("licence_inline", p.licence_inline ? "yes" : "no");
    if (p.run_file) out.emplace_back("run", RowName(r, *p.run_file));
    out.emplace_back("open_folder", p.keep_folder_closed ? "no" : "yes");
    out.emplace_back("folder_root", p.folder_root == FolderRoot::kProgramFiles ? "program_files" : "drive");
    out.emplace_back("uninstall_entry", p.complete_entry ? "complete" : "basic");
    if (p.entry_icon) out.emplace_back("uninstall_entry_icon", RowName(r, *p.entry_icon));
    text("help_link", p.help_link);
    text("update_link", p.update_link);
    return out;
}

}  // namespace

void WriteTextReport(const PackageContents& c, std::ostream& out) {
    const SetupConfig& r = *c.record;
    for (const auto& [name, value] : Fields(r)) out << name << ": " << Shown(value) << "\n";
    out << "PackChecksum: " << static_cast<std::uint32_t>(r.PackChecksum) << "\n";

    const AllFileRows files(r, c.extra_files);
    out << "\nFiles (FileCount " << r.FileCount;
    if (!c.extra_files.empty()) out << ", then " << c.extra_files.size() << " in " << kExtraFilesResource;
    out << "):\n";
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FileEntry& f = files[i];
        out << "  [" << i << "] " << Shown(GbkToUtf8(f.Name.text())) << " offset " << f.Offset << " size " << f.Size
            << "\n";
    }
    out << "\nShortcuts (ShortcutCount " << r.ShortcutCount << "):\n";
    for (std::size_t i = 0; i < r.ShortcutRows().size(); ++i) {
        const ShortcutEntry& s = r.ShortcutRows()[i];
        out << "  [" << i << "] " << Shown(GbkToUtf8(s.Name.text())) << " -> file " << s.FileIndex << " "
            << Shown(TargetName(files, s.FileIndex)) << ", " << WhereName(s) << " (Kind " << int(s.Kind)
            << "), arguments " << Shown(GbkToUtf8(s.Arguments.text())) << "\n";
    }
    out << "\nRegistry (RegistryCount " << r.RegistryCount << "):\n";
    for (std::size_t i = 0; i < r.RegistryRows().size(); ++i) {
        const RegistryEntry& e = r.RegistryRows()[i];
        out << "  [" << i << "] " << (e.CurrentUser ? "HKCU" : "HKLM") << " " << Shown(GbkToUtf8(e.KeyPath.text()))
            << " " << Shown(GbkToUtf8(e.ValueName.text())) << " " << TypeName(e) << " (Kind " << int(e.Kind) << ")";
        if (e.Is(RegistryKind::Bool)) out << " = " << (e.BoolValue ? "true" : "false");
        if (e.Is(RegistryKind::String)) out << " = " << Shown(GbkToUtf8(e.StringValue.text()));
        if (e.Is(RegistryKind::Integer)) out << " = " << e.IntValue;
        out << "\n";
    }
    out << "\nPayload: " << c.payload->size() << " bytes\n";
    out << "Checksum: stored " << static_cast<std::uint32_t>(r.PackChecksum) << ", computed " << c.computed_checksum
        << (static_cast<std::uint32_t>(r.PackChecksum) == c.computed_checksum ? " (match)" : " (MISMATCH)") << "\n";
    out << "Licence (PROTOCOL): " << (c.licence ? std::to_string(c.licence->size()) + " bytes" : "none") << "\n";
    const PackedUninstaller uninstaller = ReadPackedUninstaller(c);
    out << "Uninstaller (\\uninstall.exe): " << uninstaller.kind << "\n";
    out << "Architecture: " << ArchDescription(c.machine) << "\n";
    out << "Scope: " << ScopeWord(c.scope)
        << (c.scope == InstallScope::kUser ? " (for the user who runs it, without elevation)" : " (for every user)")
        << "\n";
    out << "Signature: " << SignatureSummary(c.certificate) << "\n";
    out << "Uninstaller signature: " << SignatureSummary(uninstaller) << "\n";
    if (c.extra_bytes != 0) out << "Extra data after the sections: " << c.extra_bytes << " bytes\n";
    if (!c.has_maker) return;
    out << "\nMaker profile (SETUPMAKER):" << (c.maker ? "" : " refused: " + c.maker_refusal) << "\n";
    if (c.maker)
        for (const auto& [name, value] : MakerFields(*c.maker, r)) out << "  " << name << ": " << Shown(value) << "\n";
}

void WriteJsonReport(const PackageContents& c, std::ostream& out) {
    const SetupConfig& r = *c.record;
    out << "{\n  \"record\": {";
    const char* sep = "\n";
    for (const auto& [name, value] : Fields(r)) {
        out << sep << "    " << Json(name) << ": " << Json(value);
        sep = ",\n";
    }
    out << ",\n    \"PackChecksum\": " << static_cast<std::uint32_t>(r.PackChecksum) << "\n  },\n";
    out << "  \"counts\": {\"FileCount\": " << r.FileCount << ", \"ExtraFileCount\": " << c.extra_files.size()
        << ", \"ShortcutCount\": " << r.ShortcutCount << ", \"RegistryCount\": " << r.RegistryCount << "},\n";

    out << "  \"files\": [";
    sep = "\n";
    const AllFileRows files(r, c.extra_files);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FileEntry& f = files[i];
        out << sep << "    {\"Name\": " << Json(GbkToUtf8(f.Name.text())) << ", \"Offset\": " << f.Offset
            << ", \"Size\": " << f.Size << "}";
        sep = ",\n";
    }
    out << "\n  ],\n  \"shortcuts\": [";
    sep = "\n";
    for (const ShortcutEntry& s : r.ShortcutRows()) {
        out << sep << "    {\"Name\": " << Json(GbkToUtf8(s.Name.text())) << ", \"FileIndex\": " << s.FileIndex
            << ", \"Kind\": " << int(s.Kind) << ", \"Arguments\": " << Json(GbkToUtf8(s.Arguments.text())) << "}";
        sep = ",\n";
    }
    out << "\n  ],\n  \"registry\": [";
    sep = "\n";
    for (const RegistryEntry& e : r.RegistryRows()) {
        out << sep << "    {\"ValueName\": " << Json(GbkToUtf8(e.ValueName.text()))
            << ", \"CurrentUser\": " << (e.CurrentUser ? "true" : "false")
            << ", \"KeyPath\": " << Json(GbkToUtf8(e.KeyPath.text())) << ", \"Kind\": " << int(e.Kind)
            << ", \"BoolValue\": " << (e.BoolValue ? "true" : "false")
            << ", \"StringValue\": " << Json(GbkToUtf8(e.StringValue.text())) << ", \"IntValue\": " << e.IntValue
            << "}";
        sep = ",\n";
    }
    out << "\n  ],\n";
    out << "  \"payload_size\": " << c.payload->size() << ",\n";
    out << "  \"checksum\": {\"stored\": " << static_cast<std::uint32_t>(r.PackChecksum)
        << ", \"computed\": " << c.computed_checksum << "},\n";
    out << "  \"licence_size\": " << (c.licence ? std::to_string(c.licence->size()) : "null") << ",\n";
    const PackedUninstaller uninstaller = ReadPackedUninstaller(c);
    out << "  \"uninstaller\": " << Json(uninstaller.kind) << ",\n";
    out << "  \"architecture\": " << Json(ArchName(c.machine)) << ",\n";
    out << "  \"scope\": " << Json(ScopeWord(c.scope)) << ",\n";
    out << "  \"signature\": " << SignatureJson(c.certificate) << ",\n";
    out << "  \"uninstaller_signature\": " << SignatureJson(uninstaller.signature) << ",\n";
    out << "  \"extra_bytes\": " << c.extra_bytes;
    if (c.has_maker) {
        out << ",\n  \"maker\": {";
        if (!c.maker) out << "\"refused\": " << Json(c.maker_refusal);
        sep = "";
        if (c.maker)
            for (const auto& [name, value] : MakerFields(*c.maker, r)) {
                out << sep << Json(name) << ": " << Json(value);
                sep = ", ";
            }
        out << "}";
    }
    out << "\n}\n";
}

std::string JsonText(const std::string& utf8) { return Json(utf8); }

std::string SignatureJson(const std::optional<CertificateTable>& signature) {
    if (!signature) return "null";
    std::string types;
    for (const CertificateEntry& e : signature->entries) types += (types.empty() ? "" : ", ") + std::to_string(e.type);
    return "{\"entries\": " + std::to_string(signature->entries.size()) + ", \"entry_types\": [" + types +
           "], \"bytes\": " + std::to_string(signature->size) + "}";
}

}  // namespace zsetup
