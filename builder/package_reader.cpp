#include "builder/package_reader.h"

#include <string>

#include "builder/resource_writer.h"
#include "package/config_blob.h"
#include "builder/pe_error.h"
#include "package/config_validation.h"
#include "package/installed_names.h"
#include "text/gbk.h"
#include "package/errors.h"
#include "package/packed_blob.h"
#include "package/payload_pack.h"

namespace zsetup {
namespace {

std::vector<std::uint8_t> Resource(const std::vector<std::uint8_t>& image, const char* name) {
    auto bytes = FindRcData(image, name);
    if (!bytes) throw PackageError(std::string("The program carries no ") + name + " resource.");
    return std::move(*bytes);
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
    PackageContents c;
    const std::vector<std::uint8_t> config_blob = Resource(image, "SETUPINI");
    UnpackedConfig config = Unpacked("SETUPINI", [&] { return UnpackConfig(config_blob.data(), config_blob.size()); });
    c.record_bytes = config.unpacked_length;
    c.record = std::move(config.record);
    const std::vector<std::uint8_t> pack_blob = Resource(image, "SETUPPACK");
    c.payload = Unpacked("SETUPPACK", [&] { return PayloadPack::FromBlob(pack_blob); }).TakeBytes();
    c.computed_checksum = PackByteSum(c.payload.data(), c.payload.size());
    if (auto licence = FindRcData(image, "PROTOCOL")) c.licence = std::string(licence->begin(), licence->end());
    if (auto maker = FindRcData(image, kMakerResource)) {
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
    for (const FileEntry& row : c.record->FileRows()) {
        if (IsSkippedRow(row) || FoldAsciiCase(row.Name.text()) != installed::kUninstaller) continue;
        if (row.Offset < 0 || row.Size < 0 ||
            static_cast<std::uint64_t>(row.Offset) + static_cast<std::uint64_t>(row.Size) > c.payload.size())
            return "own";
        const std::vector<std::uint8_t> program(c.payload.begin() + row.Offset,
                                                c.payload.begin() + row.Offset + row.Size);
        try {
            return FindRcData(program, "ZSETUPUNINSTALL") ? "built-in" : "own";
        } catch (const PeError&) {
            return "own";  // not even a program we can read
        }
    }
    return "none";
}

std::vector<std::string> VerifyProblems(const PackageContents& c) {
    std::vector<std::string> problems;
    if (c.record_bytes != SetupConfig::kSize)
        problems.push_back("SETUPINI: unpacks to " + std::to_string(c.record_bytes) + " bytes, the record has " +
                           std::to_string(SetupConfig::kSize));
    for (const ConfigProblem& p : ValidateConfig(*c.record, c.payload.size())) problems.push_back(p.message);
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
    return problems;
}

}  // namespace zsetup
