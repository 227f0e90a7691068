#include "package/config_blob.h"

#include "package/config_validation.h"
#include "package/errors.h"
#include "package/packed_blob.h"

namespace zsetup {

UnpackedConfig UnpackConfig(const std::uint8_t* blob, std::size_t size) {
    BlobInflater inflater(blob, size);
    UnpackedConfig config;
    config.unpacked_length = inflater.unpacked_length();
    config.record = std::make_unique<SetupConfig>(SetupConfig::Zero());
    auto* bytes = reinterpret_cast<std::uint8_t*>(config.record.get());
    std::size_t at = 0;
    while (at < SetupConfig::kSize) {
        const std::size_t n = inflater.Read(bytes + at, SetupConfig::kSize - at);
        if (n == 0) break;
        at += n;
    }
    inflater.Finish();
    return config;
}

std::unique_ptr<SetupConfig> UnpackNamedConfig(const std::uint8_t* blob, std::size_t size, const std::string& source) {
    try {
        return UnpackConfig(blob, size).record;
    } catch (const PackageError& e) {
        throw PackageError(source + ": " + e.what());
    }
}

std::unique_ptr<SetupConfig> UnpackSoundConfig(const std::uint8_t* blob, std::size_t size, const std::string& source,
                                               std::size_t most, const std::vector<FileEntry>& extra_files) {
    auto record = UnpackNamedConfig(blob, size, source);
    const auto problems = ValidateConfig(*record, extra_files, UINT64_MAX);  // the payload is not known here
    if (!problems.empty()) throw PackageError(DescribeProblems(problems, most));
    return record;
}

}  // namespace zsetup
