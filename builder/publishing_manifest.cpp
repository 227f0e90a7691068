#include "builder/publishing_manifest.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "builder/manifest_error.h"
#include "builder/manifest_text.h"
#include "builder/signing.h"
#include "builder/winget_rules.h"

namespace zsetup {
namespace {

int LineOf(const toml::node* n) { return n ? static_cast<int>(n->source().begin.line) : 0; }

// root[name] as a table, its unknown keys reported; nothing when absent or no table.
const toml::table* Table(const toml::table& root, std::string_view name, std::initializer_list<std::string_view> keys,
                         const ProblemSink& problem) {
    const toml::node* node = root.get(name);
    if (!node) return nullptr;
    const toml::table* table = node->as_table();
    if (!table) {
        problem(LineOf(node), std::string(name) + ": expected a [" + std::string(name) + "] table");
        return nullptr;
    }
    for (const auto& [key, value] : *table)
        if (std::find(keys.begin(), keys.end(), key.str()) == keys.end())
            problem(LineOf(&value), std::string(name) + "." + std::string(key.str()) + ": unknown key");
    return table;
}

// table[key] as a text, kept when `check` finds nothing wrong with it.
std::optional<std::string> Text(const toml::table& table, const std::string& full_key, std::string_view key,
                                const ProblemSink& problem, std::string (*check)(std::string_view)) {
    const toml::node* node = table.get(key);
    if (!node) return std::nullopt;
    if (!node->is_string()) {
        problem(LineOf(node), full_key + ": expected a text in double quotes");
        return std::nullopt;
    }
    const std::string& text = node->as_string()->get();
    if (const std::string why = check(text); !why.empty()) {
        problem(LineOf(node), full_key + ": " + why);
        return std::nullopt;
    }
    return text;
}

std::string LicenseProblem(std::string_view text) {
    const std::string why = LengthProblem(text, kWingetLicenseFewest, kWingetLicenseMost);
    return why.empty() ? why : Quoted(text) + " " + why;
}

std::string DescriptionProblem(std::string_view text) {
    const std::string why = LengthProblem(text, kWingetDescriptionFewest, kWingetDescriptionMost);
    return why.empty() ? why : Quoted(text) + " " + why;
}

}  // namespace

PublishingTables ReadPublishingTables(const toml::table& root, const std::string& manifest_file,
                                      const ProblemSink& problem) {
    PublishingTables out;
    if (const toml::table* sign = Table(root, "sign", {"command"}, problem)) {
        const toml::node* node = sign->get("command");
        if (!node) {
            problem(LineOf(sign), "sign.command: missing, it is required in a [sign] table");
        } else if (!node->is_string()) {
            problem(LineOf(node), "sign.command: expected a text in double quotes");
        } else if (const std::string why = SignCommandProblem(node->as_string()->get()); !why.empty()) {
            problem(LineOf(node), "sign.command: " + why);
        } else {
            out.sign =
                SignCommand{node->as_string()->get(), ManifestPlace(manifest_file, LineOf(node)) + "sign.command"};
        }
    }
    if (const toml::table* winget =
            Table(root, "winget", {"identifier", "url", "license", "short_description"}, problem)) {
        WingetKeys& w = out.winget;
        w.identifier = Text(*winget, "winget.identifier", "identifier", problem, WingetIdentifierProblem);
        w.url = Text(*winget, "winget.url", "url", problem, WingetUrlProblem);
        w.license = Text(*winget, "winget.license", "license", problem, LicenseProblem);
        w.short_description =
            Text(*winget, "winget.short_description", "short_description", problem, DescriptionProblem);
    }
    return out;
}

}  // namespace zsetup
