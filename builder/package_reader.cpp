#include "builder/package_reader.h"

#include <algorithm>
#include <string>

#include "pe/pe_image.h"
#include "pe/resource_tree.h"
#include "pe/resource_writer.h"
#include "package/config_blob.h"
#include "pe/pe_error.h"
#include "package/config_validation.h"
#include "package/setup_map.h"
#include "text/gbk.h"
#include "package/errors.h"
#include "package/extra_files.h"
#include "package/packed_blob.h"
#include "package/payload_pack.h"
#include "package/payload_stream.h"
#include "package/sha256.h"

namespace zsetup {
namespace {

// The RT_RCDATA entry of that name (ignoring case, first language), taken out of the tree.
std::optional<std::vector<std::uint8_t>> TakeRcData(ResourceTree& tree, const std::string& name) {
    const ResourceKey key = ResourceKey::Name(std::u16string(name.begin(), name.end()));
    for (ResourceType& t : tree) {
        if (!ResourceKeyMatches(t.type, ResourceKey::Id(kRtRcData))) continue;
        for (ResourceEntry& e : t.entries)
            if (ResourceKeyMatches(e.name, key) && !e.languages.empty()) return std::move(e.languages.front().bytes);
    }
    return std::nullopt;
}

// What the stub does with the blob, with the blob's name on the error.
template <typename Unpack>
auto Unpacked(const char* name, Unpack unpack) {
    try {
        return unpack();
    } catch (const PackageError& e) {
        throw PackageError(std::string(name) + " does not unpack: " + e.what());
    }
}

}  // namespace

PackageContents ReadPackage(const std::vector<std::uint8_t>& image) {
    if (!ProgramMachine(image)) throw NotAnInstallerError("it is not an x86 or x64 Windows program");
    const PeImage pe = ParsePeImage(image, AfterSections::kAnything);
    ResourceTree tree = ReadResourceTree(image, pe);
    auto config_blob = TakeRcData(tree, kConfigResource);
    auto pack_blob = TakeRcData(tree, kPayloadResource);
    auto licence = TakeRcData(tree, kLicenceResource);
    auto extra_blob = TakeRcData(tree, kExtraFilesResource);
    auto maker = TakeRcData(tree, kMakerResource);
    auto digest = TakeRcData(tree, kPayloadDigestResource);
    ResourceTree().swap(tree);
    if (!config_blob && !pack_blob) throw NotAnInstallerError("the program carries neither SETUPINI nor SETUPPACK");
    if (!config_blob) throw PackageError("The program carries no SETUPINI resource.");
    if (!pack_blob) throw PackageError("The program carries no SETUPPACK resource.");

    PackageContents c;
    c.machine = pe.machine;
    UnpackedConfig config =
        Unpacked(kConfigResource, [&] { return UnpackConfig(config_blob->data(), config_blob->size()); });
    c.record_bytes = config.unpacked_length;
    c.record = std::move(config.record);
    if (extra_blob)
        c.extra_files = Unpacked(kExtraFilesResource, [&] {
            const std::vector<std::uint8_t> table =
                UnpackBlob(extra_blob->data(), extra_blob->size(), kMostExtraFilesBytes);
            return ParseExtraFiles(table.data(), table.size());
        });
    c.payload = Unpacked(kPayloadResource, [&] { return PayloadPack::FromBlob(*pack_blob); }).TakeBytes();
    c.computed_checksum = PackByteSum(c.payload.data(), c.payload.size());
    if (digest) {
        Sha256 sha;
        sha.Add(pack_blob->data(), pack_blob->size());
        const Sha256Digest computed = sha.Finish();
        c.digest_matches = std::equal(digest->begin(), digest->end(), computed.begin(), computed.end());
    }
    if (licence) c.licence = std::string(licence->begin(), licence->end());
    const FileTail tail = ReadFileTail(image, pe);
    c.certificate = tail.certificate;
    c.extra_bytes = tail.extra_bytes;
    if (maker) {
        c.has_maker = true;
        try {
            c.maker = ReadMakerProfile(maker->data(), maker->size());
        } catch (const PackageError& e) {
            c.maker_refusal = e.what();
        }
    }
    return c;
}

std::string UninstallerKind(const PackageContents& c) {
    const AllFileRows rows(*c.record, c.extra_files);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const FileEntry& row = rows[i];
        if (IsSkippedRow(row) || FoldAsciiCase(row.Name.text()) != installed::kUninstaller) continue;
        if (row.Offset < 0 || row.Size < 0 ||
            static_cast<std::uint64_t>(row.Offset) + static_cast<std::uint64_t>(row.Size) > c.payload.size())
            return kUninstallerOwn;
        const std::vector<std::uint8_t> program(c.payload.begin() + row.Offset,
                                                c.payload.begin() + row.Offset + row.Size);
        try {
            return FindRcData(program, kUninstallerMarkResource) ? kUninstallerBuiltIn : kUninstallerOwn;
        } catch (const PeError&) {
            return kUninstallerOwn;  // not even a program we can read
        }
    }
    return kUninstallerNone;
}

std::vector<std::string> VerifyProblems(const PackageContents& c) {
    std::vector<std::string> problems;
    if (c.record_bytes != SetupConfig::kSize)
        problems.push_back("SETUPINI: unpacks to " + std::to_string(c.record_bytes) + " bytes, the record has " +
                           std::to_string(SetupConfig::kSize));
    for (const ConfigProblem& p : ValidateConfig(*c.record, c.extra_files, c.payload.size()))
        problems.push_back(p.message);
    if (!c.maker_refusal.empty()) problems.push_back(c.maker_refusal);
    if (c.maker) {
        const std::string problem = MakerProfileProblem(*c.maker, *c.record);
        if (!problem.empty()) problems.push_back(problem);
        if (c.maker->licence_inline && !c.licence)
            problems.push_back(std::string(kMakerResource) + ": the licence is shown inline, but there is no PROTOCOL");
    }
    const auto stored = static_cast<std::uint32_t>(c.record->PackChecksum);
    if (stored != c.computed_checksum)
        problems.push_back("PackChecksum: stored " + std::to_string(stored) + ", the payload sums to " +
                           std::to_string(c.computed_checksum));
    if (c.digest_matches == false)
        problems.push_back(std::string(kPayloadDigestResource) +
                           ": not the SHA-256 of SETUPPACK; the installer would read its payload from its image");
    if (c.extra_bytes != 0)
        problems.push_back("the file has " + std::to_string(c.extra_bytes) +
                           " bytes after its sections that no certificate table accounts for: added after the build");
    return problems;
}

std::string SignatureSummary(const PackageContents& c) {
    if (!c.certificate) return "none";
    const auto& entries = c.certificate->entries;
    const bool authenticode = !entries.empty() && std::all_of(entries.begin(), entries.end(), [](const auto& e) {
        return e.type == kCertificatePkcsSignedData;
    });
    return std::string(authenticode ? "Authenticode" : "a certificate table") + ", " + std::to_string(entries.size()) +
           (entries.size() == 1 ? " entry, " : " entries, ") + std::to_string(c.certificate->size) +
           " bytes (not checked here; osslsigncode verify checks it)";
}

}  // namespace zsetup
