// Writes the committed seed inputs of the fuzz targets from the example
// product, a product of 300 files and the writer tests' images:
//   make_fuzz_seeds OUT_DIR [PE_FIXTURE [PE_FIXTURE_X64]]
// OUT_DIR/<target>/ gets the seeds; PE_FIXTURE and PE_FIXTURE_X64 (the mingw
// test programs, build/native/tests/builder/pe_fixture.exe and
// pe_fixture64.exe) are copied in as real images.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/little_endian.h"
#include "builder/manifest.h"
#include "package/extra_files.h"
#include "package/maker_profile.h"
#include "package/packed_blob.h"
#include "tests/pe/test_image.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using zsetup::testing::Layout;

void Write(const fs::path& file, const Bytes& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

Bytes Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The example product's record with its files laid back to back, as the
// builder fills it; returns the payload size.
std::uint64_t DemoRecord(zsetup::SetupConfig& record) {
    const fs::path manifest = fs::path(ZSETUP_SOURCE_DIR) / "examples" / "demo" / "product.toml";
    zsetup::ManifestOptions options;
    options.source_date_epoch = 1796860800;
    record = *zsetup::ReadManifest(manifest, options).record;
    std::int32_t offset = 0;
    for (std::int32_t i = 0; i < record.FileCount; ++i) {
        record.Files[i].Offset = offset;
        record.Files[i].Size = 100 * (i + 1);
        offset += record.Files[i].Size;
    }
    return static_cast<std::uint64_t>(offset);
}

// A full record of 256 files and a table of 44 more, as a product of 300
// files is built.
void LargeProduct(zsetup::SetupConfig& record, std::vector<zsetup::FileEntry>& extra) {
    record = zsetup::SetupConfig::Zero();
    record.ProductName.assign("Large");
    record.DefaultFolderName.assign("Large");
    record.CompanyKeyName.assign("Maker");
    record.FileCount = zsetup::kMaxRows;
    for (int i = 0; i < zsetup::kMaxRows; ++i) record.Files[i].Name.assign("\\lib\\f" + std::to_string(i));
    extra.resize(44);
    for (std::size_t i = 0; i < extra.size(); ++i) extra[i].Name.assign("\\more\\g" + std::to_string(i));
}

Bytes Le32(std::size_t v) {
    Bytes b(4);
    zsetup::WriteLe32(b.data(), static_cast<std::uint32_t>(v));
    return b;
}

// The installed record target's input: which copies are there, the record's
// and the table's lengths, then the three copies.
Bytes InstalledInput(const Bytes& record, const Bytes& table, const Bytes& maker) {
    Bytes input = {static_cast<std::uint8_t>(1 | (table.empty() ? 0 : 2) | (maker.empty() ? 0 : 4))};
    for (const Bytes& part : {Le32(record.size()), Le32(table.size()), record, table, maker})
        input.insert(input.end(), part.begin(), part.end());
    return input;
}

// The example product's maker profile.
zsetup::MakerProfile DemoMaker() {
    const fs::path manifest = fs::path(ZSETUP_SOURCE_DIR) / "examples" / "demo" / "product.toml";
    zsetup::ManifestOptions options;
    options.source_date_epoch = 1796860800;
    const auto profile = zsetup::ReadManifest(manifest, options).maker.profile;
    if (!profile) throw std::runtime_error("the example product has no [maker] table");
    return *profile;
}

// The record target's input: the payload size, then the record without its
// trailing zeros (FromBytes puts them back).
Bytes RecordInput(const zsetup::SetupConfig& record, std::uint64_t payload_size) {
    Bytes input;
    for (int i = 0; i < 8; ++i) input.push_back(static_cast<std::uint8_t>(payload_size >> (8 * i)));
    Bytes bytes = record.ToBytes();
    while (!bytes.empty() && bytes.back() == 0) bytes.pop_back();
    input.insert(input.end(), bytes.begin(), bytes.end());
    return input;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: make_fuzz_seeds OUT_DIR [PE_FIXTURE [PE_FIXTURE_X64]]\n");
        return 2;
    }
    try {
        const fs::path out = argv[1];
        auto record = std::make_unique<zsetup::SetupConfig>(zsetup::SetupConfig::Zero());
        const std::uint64_t payload_size = DemoRecord(*record);
        Write(out / "record" / "demo.bin", RecordInput(*record, payload_size));

        const Bytes image = record->ToBytes();
        Write(out / "blob" / "demo-record.blob", zsetup::PackBlob(image.data(), image.size()));
        const std::string text = "\xD0\xED\xBF\xC9\xD0\xAD\xD2\xE9\r\n";  // GBK, as the licence text is carried
        Write(out / "blob" / "text.blob",
              zsetup::PackBlob(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));

        const auto tree = zsetup::testing::SampleTree();
        Write(out / "pe" / "no-resources.exe", zsetup::testing::MakeImage(Layout::kNoResources, {}));
        Write(out / "pe" / "resources-last.exe", zsetup::testing::MakeImage(Layout::kResourcesLast, tree));
        Write(out / "pe" / "resources-before-reloc.exe",
              zsetup::testing::MakeImage(Layout::kResourcesBeforeReloc, tree));
        // PE32+: the same layouts where a 64-bit program has its fields.
        const auto& pe32plus = zsetup::testing::kPe32PlusImage;
        Write(out / "pe" / "pe32plus-no-resources.exe", zsetup::testing::MakeImage(Layout::kNoResources, {}, pe32plus));
        Write(out / "pe" / "pe32plus-resources-before-reloc.exe",
              zsetup::testing::MakeImage(Layout::kResourcesBeforeReloc, tree, pe32plus));
        if (argc >= 3) Write(out / "pe" / "pe_fixture.exe", Read(argv[2]));
        if (argc == 4) Write(out / "pe" / "pe_fixture64.exe", Read(argv[3]));

        Write(out / "manifest" / "demo.toml", Read(fs::path(ZSETUP_SOURCE_DIR) / "examples" / "demo" / "product.toml"));

        // The uninstaller's copies: the example's record and maker profile, a large product's table.
        const Bytes maker = zsetup::WriteMakerProfile(DemoMaker());
        Bytes maker_input = {static_cast<std::uint8_t>(record->FileCount), 0, 0xFF};
        maker_input.insert(maker_input.end(), maker.begin(), maker.end());
        Write(out / "maker" / "demo.bin", maker_input);
        const Bytes record_copy = zsetup::PackBlob(image.data(), image.size());
        Write(out / "installed_record" / "demo.bin", InstalledInput(record_copy, {}, maker));

        auto large = std::make_unique<zsetup::SetupConfig>(zsetup::SetupConfig::Zero());
        std::vector<zsetup::FileEntry> extra;
        LargeProduct(*large, extra);
        const Bytes table = zsetup::ExtraFilesBytes(extra);
        const Bytes table_copy = zsetup::PackBlob(table.data(), table.size());
        Write(out / "extra_files" / "table.bin", table);
        Write(out / "extra_files" / "table-packed.bin", table_copy);
        const Bytes large_image = large->ToBytes();
        Write(out / "installed_record" / "large.bin",
              InstalledInput(zsetup::PackBlob(large_image.data(), large_image.size()), table_copy, {}));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_fuzz_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
