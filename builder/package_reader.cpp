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
#include "package/registry_placement.h"
#include "builder/program_manifest.h"
#include "text/encoding.h"
#include "package/packed_blob.h"
#include "package/payload_stream.h"
#include "package/sha256.h"

namespace zsetup {
namespace {

// Resources read whole are at most this large: the record, the extra table
// (65,280 rows pack to less), the licence, the maker's profile and the
// digest. Only SETUPPACK is streamed.
constexpr std::uint32_t kMostResourceBytes = 32 << 20;
// An "\uninstall.exe" larger than this is no zsetup uninstaller, which is a
// few hundred kilobytes; it is not read to find out.
constexpr std::int32_t kMostUninstallerBytes = 16 << 20;
constexpr std::size_t kPiece = 1 << 20;

// The RT_RCDATA entry of that name (ignoring case, first language).
const LocatedData* FindRcData(const ResourceMap& map, const std::string& name) {
    const ResourceKey key = ResourceKey::Name(std::u16string(name.begin(), name.end()));
    for (const LocatedType& t : map) {
        if (!ResourceKeyMatches(t.type, ResourceKey::Id(kRtRcData))) continue;
        for (const LocatedEntry& e : t.entries)
            if (ResourceKeyMatches(e.name, key) && !e.languages.empty()) return &e.languages.front();
    }
    return nullptr;
}

// The entry's bytes, read whole.
std::optional<std::vector<std::uint8_t>> ReadRcData(const FileBytes& file, const ResourceMap& map,
                                                    const std::string& name) {
    const LocatedData* data = FindRcData(map, name);
    if (!data) return std::nullopt;
    if (data->size > kMostResourceBytes)
        throw PackageError(name + ": " + std::to_string(data->size) + " bytes, more than zsetup ever writes (" +
                           std::to_string(kMostResourceBytes) + ")");
    return file.Read(data->offset, data->size);
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

PackageContents ReadPackage(std::unique_ptr<FileBytes> file) {
    const std::vector<std::uint8_t> headers = ReadHeaderBytes(*file);
    if (!ProgramMachine(headers)) throw NotAnInstallerError("it is not an x86 or x64 Windows program");
    const PeImage pe = ParsePeHeaders(headers, file->size(), AfterSections::kAnything);
    const ResourceMap map = LocateResources(*file, pe);
    const LocatedData* pack = FindRcData(map, kPayloadResource);
    auto config_blob = ReadRcData(*file, map, kConfigResource);
    if (!config_blob && !pack) throw NotAnInstallerError("the program carries neither SETUPINI nor SETUPPACK");
    if (!config_blob) throw PackageError("The program carries no SETUPINI resource.");
    if (!pack) throw PackageError("The program carries no SETUPPACK resource.");
    auto licence = ReadRcData(*file, map, kLicenceResource);
    auto extra_blob = ReadRcData(*file, map, kExtraFilesResource);
    auto maker = ReadRcData(*file, map, kMakerResource);
    auto digest = ReadRcData(*file, map, kPayloadDigestResource);

    PackageContents c;
    c.machine = pe.machine;
    c.scope = ManifestScope(*file, map);
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
    // A digest of another length matches nothing; the payload is checked all the same.
    Sha256Digest expected{};
    const bool digest_sized = digest && digest->size() == expected.size();
    if (digest_sized) std::copy(digest->begin(), digest->end(), expected.begin());
    const FileBytes& bytes = *file;
    c.payload = Unpacked(kPayloadResource, [&] {
        return std::make_unique<PayloadStream>(std::make_unique<RangeSource>(bytes, pack->offset, pack->size),
                                               digest_sized ? &expected : nullptr);
    });
    c.computed_checksum = c.payload->ByteSum();
    if (digest) c.digest_matches = digest_sized && c.payload->DigestMatches();
    if (licence) c.licence = std::string(licence->begin(), licence->end());
    const FileTail tail = ReadFileTail(bytes, pe);
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
    c.file = std::move(file);  // the payload reads from it from now on
    return c;
}

PackedUninstaller ReadPackedUninstaller(const PackageContents& c) {
    const AllFileRows rows(*c.record, c.extra_files);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const FileEntry& row = rows[i];
        if (IsSkippedRow(row) || FoldAsciiCase(row.Name.text()) != installed::kUninstaller) continue;
        PackedUninstaller u{kUninstallerOwn, false, std::nullopt, {}};
        if (row.Offset < 0 || row.Size < 0 || row.Size > kMostUninstallerBytes ||
            static_cast<std::uint64_t>(row.Offset) + static_cast<std::uint64_t>(row.Size) > c.payload->size())
            return u;
        std::vector<std::uint8_t> program(static_cast<std::size_t>(row.Size));
        c.payload->Open(row);
        for (std::size_t at = 0; at < program.size();)
            at += c.payload->Read(program.data() + at, std::min(kPiece, program.size() - at));
        u.looked_into = true;
        // Read as any installer is, so a signed one is still known for ours.
        const MemoryBytes bytes(program);
        std::optional<PeImage> pe;
        try {
            pe = ParsePeHeaders(ReadHeaderBytes(bytes), bytes.size(), AfterSections::kAnything);
            const ResourceMap map = LocateResources(bytes, *pe);
            if (FindRcData(map, kUninstallerMarkResource)) {
                u.kind = kUninstallerBuiltIn;
                u.scope = ManifestScope(bytes, map);
            }
        } catch (const PeError&) {
            return u;  // not even a program we can read: the product's own file, which carries no signature
        }
        try {
            u.signature = ReadFileTail(bytes, *pe).certificate;
        } catch (const PeError& e) {
            u.signature_damage = e.what();
        }
        return u;
    }
    return {kUninstallerNone, false, std::nullopt, {}};
}

std::vector<std::string> VerifyProblems(const PackageContents& c) {
    return VerifyProblems(c, ReadPackedUninstaller(c));
}

std::vector<std::string> VerifyProblems(const PackageContents& c, const PackedUninstaller& uninstaller) {
    std::vector<std::string> problems;
    if (c.record_bytes != SetupConfig::kSize)
        problems.push_back("SETUPINI: unpacks to " + std::to_string(c.record_bytes) + " bytes, the record has " +
                           std::to_string(SetupConfig::kSize));
    for (const ConfigProblem& p : ValidateConfig(*c.record, c.extra_files, c.payload->size()))
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
    if (c.scope == InstallScope::kUser) {
        std::size_t row = 0;
        for (const PlacedRegistryRow& placed : PlaceRegistryRows(*c.record, InstallScope::kMachine)) {
            const std::string why = placed.current_user ? std::string() : UserScopeKeyProblem(placed.key_path);
            if (!why.empty())
                problems.push_back("registry[" + std::to_string(row) + "]: HKLM\\" + GbkToUtf8(placed.key_path) + " " +
                                   why + "; a per-user install writes it there");
            ++row;
        }
    }
    // The uninstaller must find the entry where setup.exe wrote it.
    if (uninstaller.scope && *uninstaller.scope != c.scope)
        problems.push_back(std::string("the built-in uninstaller is for a ") + ScopeWord(*uninstaller.scope) +
                           " install, setup.exe makes a " + ScopeWord(c.scope) + " install");
    return problems;
}

std::string SignatureSummary(const std::optional<CertificateTable>& signature) {
    if (!signature) return "not signed";
    const auto& entries = signature->entries;
    const bool authenticode = !entries.empty() && std::all_of(entries.begin(), entries.end(), [](const auto& e) {
        return e.type == kCertificatePkcsSignedData;
    });
    return std::string("signed, ") + (authenticode ? "Authenticode" : "a certificate table") + ", " +
           std::to_string(entries.size()) + (entries.size() == 1 ? " entry, " : " entries, ") +
           std::to_string(signature->size) + " bytes (not checked here; osslsigncode verify checks it)";
}

std::string SignatureSummary(const PackedUninstaller& u) {
    if (u.kind == kUninstallerNone) return "no \\uninstall.exe";
    if (!u.looked_into) return "not looked into (larger than any uninstaller)";
    if (!u.signature_damage.empty()) return "damaged: " + u.signature_damage;
    return SignatureSummary(u.signature);
}

}  // namespace zsetup
