// Turns a built setup.exe into a hostile or damaged one, through the
// builder's own reader and writer, for the Wine test that shows the stub
// refuses it on page 0 and writes nothing:
//   hostile_package SETUP_EXE CASE OUT_EXE
// CASE: shortcut-climbs, product-climbs, folder-climbs, record-bit-flipped,
// pack-cut-short, checksum-off, pack-huge-length.
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "builder/file_io.h"
#include "pe/resource_writer.h"
#include "package/config_blob.h"
#include "package/packed_blob.h"

namespace {

using namespace zsetup;
using Bytes = std::vector<std::uint8_t>;

Bytes Resource(const Bytes& image, const char* name) {
    auto bytes = FindRcData(image, name);
    if (!bytes) throw std::runtime_error(std::string("no ") + name);
    return *bytes;
}

// The record repacked after a change: a sound blob holding hostile names.
Bytes WithRecord(const Bytes& image, const std::function<void(SetupConfig&)>& change) {
    const Bytes blob = Resource(image, "SETUPINI");
    UnpackedConfig config = UnpackConfig(blob.data(), blob.size());
    change(*config.record);
    const Bytes bytes = config.record->ToBytes();
    return WriteRcData(image, {{"SETUPINI", PackBlob(bytes.data(), bytes.size())}});
}

Bytes WithBlob(const Bytes& image, const char* name, const std::function<void(Bytes&)>& change) {
    Bytes blob = Resource(image, name);
    change(blob);
    return WriteRcData(image, {{name, std::move(blob)}});
}

const std::map<std::string, std::function<Bytes(const Bytes&)>>& Cases() {
    static const std::map<std::string, std::function<Bytes(const Bytes&)>> cases = {
        {"shortcut-climbs",
         [](const Bytes& i) {
             return WithRecord(i, [](SetupConfig& c) { c.Shortcuts[0].Name.assign("..\\..\\..\\..\\x"); });
         }},
        {"product-climbs",
         [](const Bytes& i) { return WithRecord(i, [](SetupConfig& c) { c.ProductName.assign("..\\x"); }); }},
        {"folder-climbs",
         [](const Bytes& i) {
             return WithRecord(i, [](SetupConfig& c) { c.DefaultFolderName.assign("..\\windows\\x"); });
         }},
        {"record-bit-flipped",
         [](const Bytes& i) { return WithBlob(i, "SETUPINI", [](Bytes& b) { b[b.size() / 2] ^= 0x10; }); }},
        {"pack-cut-short",
         [](const Bytes& i) { return WithBlob(i, "SETUPPACK", [](Bytes& b) { b.resize(b.size() - 4); }); }},
        // A sound package whose payload does not sum to what its record says.
        {"checksum-off", [](const Bytes& i) { return WithRecord(i, [](SetupConfig& c) { c.PackChecksum += 1; }); }},
        {"pack-huge-length",
         [](const Bytes& i) { return WithBlob(i, "SETUPPACK", [](Bytes& b) { b[0] = b[1] = b[2] = b[3] = 0xFF; }); }},
    };
    return cases;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || !Cases().count(argv[2])) {
        std::fprintf(stderr, "usage: hostile_package SETUP_EXE CASE OUT_EXE\n");
        return 2;
    }
    try {
        const Bytes image = ReadWholeFile(std::filesystem::u8path(argv[1]));
        WriteFileReplacing(std::filesystem::u8path(argv[3]), Cases().at(argv[2])(image));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "hostile_package: %s\n", e.what());
        return 1;
    }
}
