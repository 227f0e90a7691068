#include "builder/package_builder.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <system_error>

#include "builder/file_count.h"
#include "builder/file_io.h"
#include "builder/maker_artwork.h"
#include "builder/manifest_text.h"
#include "builder/program_manifest.h"
#include "pe/pe_image.h"
#include "pe/resource_writer.h"
#include "builder/version_info.h"
#include "package/setup_map.h"
#include "package/config_validation.h"
#include "package/extra_files.h"
#include "package/packed_blob.h"
#include "package/payload_sum.h"
#include "package/payload_stream.h"
#include "package/sha256.h"
#include "text/encoding.h"

namespace zsetup {
namespace {

constexpr std::size_t kReadChunk = 1 << 20;

std::string Where(const Manifest& m, const SourceFile& source) {
    return ManifestPlace(m.file.u8string(), source.line) + source.key + ": ";
}

// Every source's size, in table order; all unreadable ones reported at once.
std::vector<std::uint64_t> SourceSizes(const Manifest& m) {
    std::vector<std::uint64_t> sizes;
    std::string problems;
    for (const SourceFile& source : m.sources) {
        std::uint64_t size = 0;
        std::string why;
        try {
            size = InputFile(source.path).size();
        } catch (const InputError& e) {
            std::error_code ec;
            why = std::filesystem::is_directory(source.path, ec)
                      ? "cannot read \"" + source.path.u8string() + "\": it is a folder; a [[folder]] row installs one"
                      : e.what();
        } catch (const std::runtime_error& e) {
            std::error_code ec;
            why = std::filesystem::exists(source.path, ec)
                      ? e.what()
                      : "cannot read \"" + source.path.u8string() + "\" (no such file)";
        }
        if (!why.empty()) problems += Where(m, source) + why + "\n";
        sizes.push_back(size);
    }
    if (!problems.empty()) throw ManifestError(problems.substr(0, problems.size() - 1));
    return sizes;
}

// Each source's bytes in table order, in pieces; throws when a source is no
// longer the size it had.
template <typename PieceFn>
void ReadSources(const Manifest& m, const std::vector<std::uint64_t>& sizes, std::vector<std::uint8_t>& chunk,
                 PieceFn piece) {
    for (std::size_t i = 0; i < m.sources.size(); ++i) {
        InputFile in(m.sources[i].path);
        std::uint64_t left = sizes[i];
        while (left > 0) {
            const std::size_t got =
                in.Read(chunk.data(), static_cast<std::size_t>(std::min<std::uint64_t>(left, chunk.size())));
            if (got == 0) break;
            piece(i, chunk.data(), got);
            left -= got;
        }
        std::uint8_t more = 0;
        if (left > 0 || in.Read(&more, 1) != 0)
            throw std::runtime_error("\"" + m.sources[i].path.u8string() + "\" changed while it was being packed");
    }
}

// What chose the kind of program the build makes: the manifest's key, or
// --arch (given, or x86 by default).
std::string ArchChoice(const Manifest& m) {
    const std::string name = ArchName(m.arch);
    if (m.arch_line > 0)
        return "arch = \"" + name + "\" (" + m.file.u8string() + ":" + std::to_string(m.arch_line) + ")";
    return "--arch " + name;
}

// "a 64-bit (x64) program; --arch x86 needs a 32-bit one (give --stub, or --arch x64)"
std::string OfTheOtherKind(const Manifest& m, PeMachine found, const char* option) {
    return std::string("a ") + BitsName(found) + " (" + ArchName(found) + ") program; " + ArchChoice(m) + " needs a " +
           BitsName(m.arch) + " one (give " + option + ", or --arch " + ArchName(found) + ")";
}

// A filled program collected in memory.
class MemoryOutput : public ByteSink {
public:
    void Append(const std::uint8_t* data, std::size_t size) override { bytes.insert(bytes.end(), data, data + size); }
    void Overwrite(std::uint64_t offset, const std::uint8_t* data, std::size_t size) override {
        std::copy(data, data + size, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    std::vector<std::uint8_t> bytes;
};

}  // namespace

void CheckUninstallerKind(const Manifest& m) {
    if (!m.built_in_uninstaller) return;
    const SourceFile& source = m.sources.back();
    std::vector<std::uint8_t> program;
    try {
        program = ReadWholeFile(source.path);
    } catch (const std::runtime_error& e) {
        throw ManifestError(Where(m, source) + e.what());
    }
    const std::optional<PeMachine> kind = ProgramMachine(program);
    if (kind == m.arch) return;
    const std::string shown = Where(m, source) + "\"" + source.path.u8string() + "\" is ";
    if (!kind)
        throw ManifestError(shown + "not an x86 or x64 Windows program; " + ArchChoice(m) + " needs a " +
                            BitsName(m.arch) + " one (give --uninstaller)");
    throw ManifestError(shown + OfTheOtherKind(m, *kind, "--uninstaller"));
}

void CheckStubProgram(const std::vector<std::uint8_t>& stub, const Manifest& m) {
    const PeImage image = ParsePeImage(stub);
    if (image.machine != m.arch) throw InputError("it is " + OfTheOtherKind(m, image.machine, "--stub"));
    if (image.characteristics & kImageFileDll) throw InputError("it is a DLL, not a program");
    if (image.subsystem != kSubsystemWindowsGui)
        throw InputError("it is a console program; the installer must be a Windows GUI program");
}

void BuildSetup(Manifest& m, const std::vector<std::uint8_t>& stub, const ProgressFn& progress, ByteSink& out,
                unsigned threads) {
    CheckStubProgram(stub, m);
    SetupConfig& record = *m.record;
    const std::vector<std::uint64_t> sizes = SourceSizes(m);
    CheckUninstallerKind(m);
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        FileEntry& row = FileRowAt(record, m.extra_files, i);
        row.Offset = static_cast<std::int32_t>(total);
        row.Size = static_cast<std::int32_t>(sizes[i]);
        total += sizes[i];
        if (total > kMostPayloadBytes)
            throw ManifestError(m.file.u8string() + ": the payload is over 2 GiB (" + std::to_string(total) +
                                " bytes by " + m.sources[i].key + "), at most " + std::to_string(kMostPayloadBytes));
    }
    std::vector<RcDataItem> pictures = MakerPictures(m);
    std::optional<IconResources> icon = MakerIcon(m);

    // The record needs the payload's checksum, and the payload is packed
    // straight into the output: the sources are read twice, once to sum them
    // and once to pack them, so the packed payload is never held.
    std::uint32_t sum = 0;
    std::vector<std::uint8_t> chunk(kReadChunk);
    ReadSources(m, sizes, chunk,
                [&](std::size_t, const std::uint8_t* data, std::size_t size) { sum += PackByteSum(data, size); });
    record.PackChecksum = static_cast<std::int32_t>(sum);

    // The stub refuses a record that fails these checks; never write one.
    const auto problems = ValidateConfig(record, m.extra_files, total);
    if (!problems.empty()) throw std::runtime_error("The record built is not valid:\n" + DescribeProblems(problems));

    const std::vector<std::uint8_t> config = record.ToBytes();
    std::vector<RcDataItem> items;
    items.push_back({kConfigResource, PackBlob(config.data(), config.size())});
    items.push_back({kLicenceResource, std::vector<std::uint8_t>(m.licence_text.begin(), m.licence_text.end())});
    // Only a product past the record's 256 files carries the extra table.
    if (!m.extra_files.empty()) {
        const std::vector<std::uint8_t> table = ExtraFilesBytes(m.extra_files);
        items.push_back({kExtraFilesResource, PackBlob(table.data(), table.size())});
    }
    if (m.maker.profile) {
        const std::string problem = MakerProfileProblem(*m.maker.profile, record);
        if (!problem.empty()) throw std::runtime_error("The maker profile built is not valid:\n" + problem);
        items.push_back({kMakerResource, WriteMakerProfile(*m.maker.profile)});
    }
    for (RcDataItem& picture : pictures) items.push_back(std::move(picture));
    // Explorer shows the program's first icon group: the maker's replaces the
    // stub's. A per-user package's setup.exe runs as the user who starts it.
    const auto edits = [&](ResourceTree& tree) {
        if (icon) ReplaceIcons(tree, std::move(*icon));
        if (m.scope == InstallScope::kUser) SetManifestScope(tree, m.scope);
    };
    // The packed payload's digest, known once it is written, lets the stub
    // read the payload from its file and know those are the bytes it was
    // started with.
    RcDataStreamWriter writer(stub, std::move(items),
                              {{kRtVersion, kVersionInfoId, kLangChineseSimplified, VersionInfoResource(record)}},
                              kPayloadResource, out, edits,
                              RcDataItem{kPayloadDigestResource, std::vector<std::uint8_t>(Sha256Digest{}.size())});
    Sha256 digest;
    BlobPacker packer(
        total,
        [&](const std::uint8_t* data, std::size_t size) {
            writer.Append(data, size);
            digest.Add(data, size);
        },
        threads);
    std::uint32_t packed_sum = 0;
    ReadSources(m, sizes, chunk, [&](std::size_t file, const std::uint8_t* data, std::size_t size) {
        packer.Add(data, size);
        packed_sum += PackByteSum(data, size);
        if (progress) progress({file, m.sources.size(), packer.added(), total});
    });
    if (packed_sum != sum) throw std::runtime_error("A source changed while it was being packed");
    packer.Finish();
    const Sha256Digest packed_digest = digest.Finish();
    writer.Fill(std::vector<std::uint8_t>(packed_digest.begin(), packed_digest.end()));
    writer.Finish();
    if (progress) progress({m.sources.size(), m.sources.size(), packer.added(), total});
}

std::vector<std::uint8_t> BuildSetup(Manifest& m, const std::vector<std::uint8_t>& stub, const ProgressFn& progress) {
    MemoryOutput out;
    BuildSetup(m, stub, progress, out, 0);
    return std::move(out.bytes);
}

}  // namespace zsetup
