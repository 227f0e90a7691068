#include "builder/maker_manifest.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "builder/manifest_text.h"
#include "package/errors.h"
#include "text/name_case.h"

namespace zsetup {
namespace {

int LineOf(const toml::node* n) { return n ? static_cast<int>(n->source().begin.line) : 0; }

class MakerReader {
public:
    MakerReader(const toml::table& t, const ProblemSink& problem, std::string table = "maker")
        : t_(t), problem_(problem), prefix_(std::move(table) + ".") {}

    void Report(const toml::node* at, const std::string& message) {
        problem_(at ? LineOf(at) : LineOf(&t_), prefix_ + message);
    }

    // The GBK form of a text key within limit bytes; nothing when absent or bad.
    std::optional<std::string> Text(std::string_view key, std::size_t limit) {
        const toml::node* node = t_.get(key);
        if (!node) return std::nullopt;
        if (!node->is_string()) {
            Report(node, std::string(key) + ": expected a text in double quotes");
            return std::nullopt;
        }
        try {
            return FieldText(prefix_ + std::string(key), node->as_string()->get(), limit);
        } catch (const ManifestError& e) {
            Raw(node, e.what());
            return std::nullopt;
        }
    }

    std::optional<bool> Flag(std::string_view key) {
        const toml::node* node = t_.get(key);
        if (!node) return std::nullopt;
        if (!node->is_boolean()) {
            Report(node, std::string(key) + ": expected true or false");
            return std::nullopt;
        }
        return node->as_boolean()->get();
    }

    void Raw(const toml::node* at, const std::string& message) { problem_(LineOf(at), message); }
    const toml::node* Node(std::string_view key) const { return t_.get(key); }

    // The row of the file a key names by its installed name: one of the
    // first 256, which the profile can name.
    std::optional<int> Row(std::string_view key, const std::map<std::string, int>& index_of_name, const char* what) {
        const auto name = Text(key, kFileNameBytes);
        if (!name) return std::nullopt;
        const toml::node* node = Node(key);
        const std::string shown = std::string(key) + ": " + Quoted(node->as_string()->get()) + " ";
        const auto at = index_of_name.find(NameCaseKey(*name));
        if (at == index_of_name.end()) {
            Report(node, shown + "is not the name of any [[file]]");
        } else if (at->second >= kMaxRows) {
            Report(node, shown + "is file " + std::to_string(at->second + 1) + "; " + what + " one of the first " +
                             std::to_string(kMaxRows) + " only");
        } else {
            return at->second;
        }
        return std::nullopt;
    }

private:
    const toml::table& t_;
    const ProblemSink& problem_;
    std::string prefix_;
};

// The texts that name the maker, as the built-in maker's read with its name;
// each must still fit its field.
void ApplyMakerName(MakerReader& r, MakerProfile& p) {
    const toml::node* node = r.Node("name");
    if (!node) return;
    if (!node->is_string()) return r.Report(node, "name: expected a text in double quotes");
    const std::string name = node->as_string()->get();
    auto fill = [&](std::optional<std::string>& field, const std::string& utf8, std::size_t limit) {
        try {
            field = FieldText("maker.name", utf8, limit);
        } catch (const ManifestError& e) {
            r.Raw(node, e.what());
        }
    };
    fill(p.page_title, name + "安装程序", kMakerLineBytes);
    fill(p.credit, name + " 出品", kMakerLineBytes);
    fill(p.already_installed, "   " + name + "提示：" + name + "软件已经安装,覆盖原来以前的吗？        ",
         kMakerQuestionBytes);
    fill(p.checksum_question, "   " + name + "提示：文件资源校核不完整,继续吗？      ", kMakerQuestionBytes);
}

std::optional<MakerArt> Art(MakerReader& r, std::string_view key, const std::filesystem::path& base) {
    const toml::node* node = r.Node(key);
    if (!node) return std::nullopt;
    if (!node->is_string() || node->as_string()->get().empty()) {
        r.Report(node, std::string(key) + ": expected a path in double quotes");
        return std::nullopt;
    }
    return MakerArt{base / std::filesystem::u8path(node->as_string()->get()), "maker." + std::string(key),
                    LineOf(node)};
}

}  // namespace

MakerManifest ReadMakerTable(const toml::table& root, const std::filesystem::path& base,
                             const std::map<std::string, int>& index_of_name, const ProblemSink& problem) {
    MakerManifest out;
    const toml::node* node = root.get("maker");
    if (!node) return out;
    if (!node->is_table()) {
        problem(LineOf(node), "maker: expected a [maker] table");
        return out;
    }
    const toml::table& t = *node->as_table();
    MakerReader r(t, problem);
    static const std::initializer_list<std::string_view> kKeys = {"name",
                                                                  "page_title",
                                                                  "credit",
                                                                  "installed_question",
                                                                  "checksum_question",
                                                                  "cancel_question",
                                                                  "caption",
                                                                  "folder_example",
                                                                  "site",
                                                                  "site_text",
                                                                  "tutorial",
                                                                  "tutorial_text",
                                                                  "tutorial_address",
                                                                  "programs",
                                                                  "licence_inline",
                                                                  "run",
                                                                  "open_folder",
                                                                  "folder_root",
                                                                  "licence_picture",
                                                                  "finish_picture",
                                                                  "icon"};
    for (const auto& [key, value] : t)
        if (std::find(kKeys.begin(), kKeys.end(), key.str()) == kKeys.end())
            r.Report(&value, std::string(key.str()) + ": unknown key");

    MakerProfile p;
    // The name fills the texts that carry it; a text given whole wins.
    ApplyMakerName(r, p);
    auto set = [&](std::string_view key, std::size_t limit, std::optional<std::string>& field) {
        if (auto text = r.Text(key, limit)) field = *text;
    };
    set("page_title", kMakerLineBytes, p.page_title);
    set("credit", kMakerLineBytes, p.credit);
    set("installed_question", kMakerQuestionBytes, p.already_installed);
    set("checksum_question", kMakerQuestionBytes, p.checksum_question);
    set("cancel_question", kMakerQuitBytes, p.quit_question);
    set("caption", kMakerLineBytes, p.caption);
    set("folder_example", kTextBytes, p.folder_example);
    set("site", kMakerAddressBytes, p.site);
    set("site_text", kMakerLineBytes, p.site_text);
    set("tutorial_text", kMakerLineBytes, p.tutorial_text);
    set("tutorial_address", kMakerAddressBytes, p.tutorial_address);
    // The lower-left address follows the site unless given.
    if (p.site && !p.site_text) {
        const std::size_t host = p.site->find("://");
        if (host != std::string::npos) p.site_text = p.site->substr(host + 3).substr(0, kMakerLineBytes);
    }
    if (auto tutorial = r.Flag("tutorial"); tutorial && !*tutorial) {
        if (p.tutorial_text || p.tutorial_address)
            r.Report(r.Node("tutorial"), "tutorial: false, yet tutorial_text or tutorial_address is given");
        p.no_tutorial = true;
    }
    if (const toml::node* programs = r.Node("programs")) {
        const toml::array* list = programs->as_array();
        if (!list || !std::all_of(list->begin(), list->end(), [](const toml::node& n) { return n.is_string(); })) {
            r.Report(programs, "programs: expected a list of texts in double quotes");
        } else {
            std::vector<std::string> names;
            for (const toml::node& n : *list) {
                try {
                    names.push_back(FieldText("maker.programs", n.as_string()->get(), kMakerProcessBytes));
                } catch (const ManifestError& e) {
                    problem(LineOf(&n), e.what());
                }
            }
            p.processes = names;
        }
    }
    // A maker who says who they are shows their licence too, unless they say not.
    p.licence_inline = r.Flag("licence_inline").value_or(true);
    if (auto open = r.Flag("open_folder")) p.keep_folder_closed = !*open;
    if (const toml::node* root = r.Node("folder_root")) {
        const toml::value<std::string>* word = root->as_string();
        if (word && word->get() == "program_files") p.folder_root = FolderRoot::kProgramFiles;
        else if (!word || word->get() != "drive")
            r.Report(root, "folder_root: expected \"drive\" or \"program_files\"");
    }
    // The profile names a row of the record, which holds the first 256.
    p.run_file = r.Row("run", index_of_name, "the finish page starts");
    // What the installer would refuse, said at the line of the table.
    try {
        WriteMakerProfile(p);
    } catch (const PackageError& e) {
        r.Report(nullptr, std::string(e.what()).substr(std::string(kMakerResource).size() + 2));
    }
    out.profile = p;
    out.licence_picture = Art(r, "licence_picture", base);
    out.finish_picture = Art(r, "finish_picture", base);
    out.icon = Art(r, "icon", base);
    return out;
}

void ReadUninstallEntryTable(const toml::table& root, const std::map<std::string, int>& index_of_name,
                             const ProblemSink& problem, std::optional<MakerProfile>& profile) {
    const toml::node* node = root.get("uninstall_entry");
    if (!node) return;
    if (!node->is_table()) return problem(LineOf(node), "uninstall_entry: expected an [uninstall_entry] table");
    const toml::table& t = *node->as_table();
    MakerReader r(t, problem, "uninstall_entry");
    static const std::initializer_list<std::string_view> kKeys = {"icon", "help_link", "update_link"};
    for (const auto& [key, value] : t)
        if (std::find(kKeys.begin(), kKeys.end(), key.str()) == kKeys.end())
            r.Report(&value, std::string(key.str()) + ": unknown key");
    // Without a [maker] table the profile holds this table alone: the built-in maker's lines.
    MakerProfile& p = profile ? *profile : profile.emplace();
    p.complete_entry = true;
    p.entry_icon = r.Row("icon", index_of_name, "the entry shows the icon of");
    const std::pair<std::string_view, std::optional<std::string> MakerProfile::*> links[] = {
        {"help_link", &MakerProfile::help_link}, {"update_link", &MakerProfile::update_link}};
    for (const auto& [key, member] : links) {
        const auto link = r.Text(key, kMakerAddressBytes);
        if (!link) continue;
        // Checked as the profile checks it, and said at its own line.
        MakerProfile alone;
        alone.complete_entry = true;
        alone.*member = *link;
        try {
            WriteMakerProfile(alone);
            p.*member = *link;
        } catch (const PackageError&) {
            r.Report(r.Node(key), std::string(key) + ": not an http:// or https:// address");
        }
    }
    try {
        WriteMakerProfile(p);
    } catch (const PackageError& e) {
        r.Report(nullptr, std::string(e.what()).substr(std::string(kMakerResource).size() + 2));
    }
}

}  // namespace zsetup
