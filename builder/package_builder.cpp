#include "builder/package_builder.h"

#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

#include "builder/file_io.h"
#include "builder/maker_artwork.h"
#include "builder/manifest_text.h"
#include "builder/pe_image.h"
#include "builder/resource_writer.h"
#include "package/config_validation.h"
#include "package/packed_blob.h"
#include "package/payload_pack.h"
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
        std::error_code ec;
        const bool is_file = std::filesystem::is_regular_file(source.path, ec);
        const std::uint64_t size = is_file ? std::filesystem::file_size(source.path, ec) : 0;
        if (!is_file || ec || !std::ifstream(source.path, std::ios::binary)) {
            problems += Where(m, source) + "cannot read \"" + source.path.u8string() + "\"" +
                        (std::filesystem::exists(source.path, ec) ? "" : " (no such file)") + "\n";
        }
        sizes.push_back(size);
    }
    if (!problems.empty()) throw ManifestError(problems.substr(0, problems.size() - 1));
    return sizes;
}

std::string LicenceText(const Manifest& m) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadWholeFile(m.licence.path);
    } catch (const std::runtime_error& e) {
        throw ManifestError(Where(m, m.licence) + e.what());
    }
    std::string_view utf8(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);
    std::string gbk;
    if (!Utf8ToGbk(utf8, gbk))
        throw ManifestError(Where(m, m.licence) + "\"" + m.licence.path.u8string() +
                            "\" is not UTF-8 text with a GBK form for every character");
    return gbk;
}

}  // namespace

void CheckStubProgram(const std::vector<std::uint8_t>& stub) {
    const PeImage image = ParsePeImage(stub);
    if (image.characteristics & kImageFileDll) throw InputError("it is a DLL, not a program");
    if (image.subsystem != kSubsystemWindowsGui)
        throw InputError("it is a console program; the installer must be a Windows GUI program");
}

std::vector<std::uint8_t> BuildSetup(Manifest& m, const std::vector<std::uint8_t>& stub, const ProgressFn& progress) {
    CheckStubProgram(stub);
    SetupConfig& record = *m.record;
    const std::vector<std::uint64_t> sizes = SourceSizes(m);
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        record.Files[i].Offset = static_cast<std::int32_t>(total);
        record.Files[i].Size = static_cast<std::int32_t>(sizes[i]);
        total += sizes[i];
        if (total > kMostPayloadBytes)
            throw ManifestError(m.file.u8string() + ": the payload is over 2 GiB (" + std::to_string(total) +
                                " bytes by " + m.sources[i].key + "), at most " + std::to_string(kMostPayloadBytes));
    }
    const std::string licence = LicenceText(m);
    std::vector<RcDataItem> pictures = MakerPictures(m);
    std::optional<IconResources> icon = MakerIcon(m);

    BlobPacker packer(total);
    std::uint32_t sum = 0;
    std::vector<std::uint8_t> chunk(kReadChunk);
    for (std::size_t i = 0; i < m.sources.size(); ++i) {
        std::ifstream in(m.sources[i].path, std::ios::binary);
        std::uint64_t left = sizes[i];
        while (left > 0 && in) {
            in.read(reinterpret_cast<char*>(chunk.data()),
                    static_cast<std::streamsize>(left < chunk.size() ? left : chunk.size()));
            const auto got = static_cast<std::size_t>(in.gcount());
            packer.Add(chunk.data(), got);
            sum += PackByteSum(chunk.data(), got);
            left -= got;
            if (progress) progress({i, m.sources.size(), packer.added(), total});
        }
        if (left > 0 || in.peek() != std::char_traits<char>::eof())
            throw std::runtime_error("\"" + m.sources[i].path.u8string() + "\" changed while it was being packed");
    }
    if (progress) progress({m.sources.size(), m.sources.size(), packer.added(), total});
    record.PackChecksum = static_cast<std::int32_t>(sum);

    // The stub refuses a record that fails these checks; never write one.
    const auto problems = ValidateConfig(record, total);
    if (!problems.empty()) throw std::runtime_error("The record built is not valid:\n" + DescribeProblems(problems));

    const std::vector<std::uint8_t> config = record.ToBytes();
    std::vector<RcDataItem> items;
    items.push_back({"SETUPINI", PackBlob(config.data(), config.size())});
    items.push_back({"SETUPPACK", packer.Finish()});
    items.push_back({"PROTOCOL", std::vector<std::uint8_t>(licence.begin(), licence.end())});
    if (m.maker.profile) {
        const std::string problem = MakerProfileProblem(*m.maker.profile, record);
        if (!problem.empty()) throw std::runtime_error("The maker profile built is not valid:\n" + problem);
        items.push_back({kMakerResource, WriteMakerProfile(*m.maker.profile)});
    }
    for (RcDataItem& picture : pictures) items.push_back(std::move(picture));
    if (!icon) return WriteRcData(stub, std::move(items));
    // Explorer shows the program's first icon group: the maker's replaces the stub's.
    return WriteRcData(stub, std::move(items), [&](ResourceTree& tree) { ReplaceIcons(tree, std::move(*icon)); });
}

}  // namespace zsetup
