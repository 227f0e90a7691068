#include "builder/publishing_manifest.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "builder/manifest_error.h"
#include "builder/signing.h"

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
    return out;
}

}  // namespace zsetup
