#include "builder/program_manifest.h"

#include <string>

#include "builder/file_io.h"
#include "builder/input_error.h"
#include "package/errors.h"
#include "pe/resource_writer.h"

namespace zsetup {
namespace {

// Manifests Windows reads at start-up have ID 1; the most any is read.
constexpr std::uint32_t kProgramManifestId = 1;
constexpr std::uint32_t kMostManifestBytes = 1 << 20;

}  // namespace

void SetManifestScope(ResourceTree& tree, InstallScope scope) {
    for (ResourceType& type : tree) {
        if (!ResourceKeyMatches(type.type, ResourceKey::Id(kRtManifest))) continue;
        for (ResourceEntry& entry : type.entries) {
            if (!ResourceKeyMatches(entry.name, ResourceKey::Id(kProgramManifestId)) || entry.languages.empty())
                continue;
            try {
                for (ResourceData& data : entry.languages) {
                    const std::string text = ManifestForScope(
                        std::string_view(reinterpret_cast<const char*>(data.bytes.data()), data.bytes.size()), scope);
                    data.bytes.assign(text.begin(), text.end());
                }
            } catch (const PackageError& e) {
                throw InputError(std::string(e.what()) + ", which scope = \"" + ScopeWord(scope) + "\" sets");
            }
            return;
        }
    }
    throw InputError(std::string("the program has no manifest, whose level scope = \"") + ScopeWord(scope) + "\" sets");
}

InstallScope ManifestScope(const FileBytes& file, const ResourceMap& map) {
    for (const LocatedType& type : map) {
        if (!ResourceKeyMatches(type.type, ResourceKey::Id(kRtManifest))) continue;
        for (const LocatedEntry& entry : type.entries) {
            if (!ResourceKeyMatches(entry.name, ResourceKey::Id(kProgramManifestId)) || entry.languages.empty() ||
                entry.languages.front().size > kMostManifestBytes)
                continue;
            const LocatedData& data = entry.languages.front();
            const std::vector<std::uint8_t> bytes = file.Read(data.offset, data.size);
            return ScopeOfManifest(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        }
    }
    return InstallScope::kMachine;
}

void WriteProgramForScope(const std::filesystem::path& from, const std::filesystem::path& to, InstallScope scope) {
    const std::vector<std::uint8_t> program = ReadWholeFile(from);
    WriteFileReplacing(to,
                       WriteRcData(program, {}, {}, [scope](ResourceTree& tree) { SetManifestScope(tree, scope); }));
}

}  // namespace zsetup
