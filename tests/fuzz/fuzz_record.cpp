// Record validation on arbitrary bytes: the first 8 bytes are the payload
// size (little-endian), the rest is the record as FromBytes takes it (a
// short record ends in zeros). A record that validates must keep every read
// the installer makes inside the record and the payload.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "package/config_validation.h"
#include "package/setup_config.h"
#include "tests/fuzz/fuzz_check.h"

namespace zsetup::fuzz {
namespace {

constexpr std::size_t kPayloadSizeBytes = 8;

std::uint64_t PayloadSize(const std::uint8_t* data) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < kPayloadSizeBytes; ++i) v |= static_cast<std::uint64_t>(data[i]) << (8 * i);
    return v;
}

void CheckAcceptedRecord(const SetupConfig& config, std::uint64_t payload_size) {
    Require(config.FileCount >= 0 && config.FileCount <= kMaxRows, "FileCount in 0..256");
    Require(config.ShortcutCount >= 0 && config.ShortcutCount <= kMaxRows, "ShortcutCount in 0..256");
    Require(config.RegistryCount >= 0 && config.RegistryCount <= kMaxRows, "RegistryCount in 0..256");
    for (const FileEntry& f : config.FileRows()) {
        Require(f.Offset >= 0 && f.Size >= 0, "file slices are not negative");
        Require(static_cast<std::uint64_t>(f.Offset) + static_cast<std::uint64_t>(f.Size) <= payload_size,
                "file slices lie inside the payload");
        Require(InstalledNameProblem(f.Name.text()).empty(), "installed names stay in the target folder");
    }
    for (const ShortcutEntry& s : config.ShortcutRows())
        Require(s.FileIndex >= 0 && static_cast<std::size_t>(s.FileIndex) < config.FileRows().size(),
                "shortcut targets are rows of the file table");
}

}  // namespace
}  // namespace zsetup::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zsetup;
    using namespace zsetup::fuzz;
    if (size < kPayloadSizeBytes) return 0;
    const std::uint64_t payload_size = PayloadSize(data);
    const auto config =
        std::make_unique<SetupConfig>(SetupConfig::FromBytes(data + kPayloadSizeBytes, size - kPayloadSizeBytes));

    const std::vector<ConfigProblem> problems = ValidateConfig(*config, payload_size);
    for (const ConfigProblem& p : problems)
        Require(p.message.compare(0, p.where.size() + 2, p.where + ": ") == 0, "a problem's line starts with where");
    if (problems.empty()) CheckAcceptedRecord(*config, payload_size);
    return 0;
}
