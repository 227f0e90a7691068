#include "package/installed_record.h"

#include <cstdint>
#include <new>

#include "package/config_blob.h"
#include "package/config_validation.h"
#include "package/errors.h"
#include "package/extra_files.h"
#include "package/packed_blob.h"

namespace zsetup {
namespace {

// The copy is the SETUPINI resource as built: exactly one record. A shorter
// one would read as empty tables and leave their links and values behind.
std::unique_ptr<SetupConfig> UnpackRecordCopy(const std::vector<std::uint8_t>& bytes, const std::string& source) {
    try {
        const std::uint32_t length = BlobInflater(bytes.data(), bytes.size()).unpacked_length();
        if (length != SetupConfig::kSize)
            throw PackageError("it unpacks to " + std::to_string(length) + " bytes, a record is " +
                               std::to_string(SetupConfig::kSize));
    } catch (const PackageError& e) {
        throw PackageError(source + ": " + e.what());
    }
    return UnpackNamedConfig(bytes.data(), bytes.size(), source);
}

InstalledRecord Read(const InstalledCopies& copies, std::size_t most) {
    InstalledRecord out;
    out.record = UnpackRecordCopy(*copies.record.bytes, copies.record.source);
    const auto& table = copies.extra_files.bytes;
    if (table && out.record->FileCount == kMaxRows)
        out.extra_files = UnpackExtraFiles(table->data(), table->size(), copies.extra_files.source);
    const auto problems = ValidateConfig(*out.record, out.extra_files, UINT64_MAX);  // no payload here
    if (!problems.empty()) throw PackageError(DescribeProblems(problems, most));
    // The package's maker, as its install left it: checked like the record.
    if (const auto& profile = copies.maker.bytes) {
        out.maker = ReadMakerProfile(profile->data(), profile->size());
        if (const std::string problem = MakerProfileProblem(out.maker, *out.record); !problem.empty())
            throw PackageError(problem);
    }
    return out;
}

}  // namespace

std::optional<InstalledRecord> ReadInstalledRecord(const InstalledCopies& copies, std::size_t most) {
    if (!copies.record.bytes) return std::nullopt;
    try {
        return Read(copies, most);
    } catch (const std::bad_alloc&) {
        throw PackageError("not enough memory to read " + copies.record.source + " and the files beside it");
    }
}

}  // namespace zsetup
