#include "package/installed_record.h"

#include <cstdint>
#include <new>
#include <set>

#include "package/config_blob.h"
#include "package/config_validation.h"
#include "package/errors.h"
#include "package/extra_files.h"
#include "package/packed_blob.h"
#include "package/sha256.h"
#include "text/gbk.h"

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

void CheckCopy(const InstalledCopy& copy, const std::string& digest) {
    if (!copy.bytes && digest.empty()) return;
    if (!copy.bytes) throw PackageError(copy.source + ": the install left it and it is gone");
    if (digest.empty()) throw PackageError(copy.source + ": the install did not leave it");
    if (CopyDigest(*copy.bytes) != digest) throw PackageError(copy.source + ": it is not the copy the install left");
}

}  // namespace

std::vector<std::string> InstalledPrograms(const std::vector<std::string>& names, const SetupConfig& record,
                                           const std::vector<FileEntry>& extra_files) {
    std::set<std::string> installed;
    const AllFileRows rows(record, extra_files);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (IsSkippedRow(rows[i])) continue;
        const std::string name = rows[i].Name.text();
        const std::size_t cut = FindLastSeparator(name);
        installed.insert(FoldAsciiCase(cut == std::string::npos ? name : name.substr(cut + 1)));
    }
    std::vector<std::string> kept;
    for (const std::string& name : names)
        if (installed.count(FoldAsciiCase(name))) kept.push_back(name);
    return kept;
}

std::string CopyDigest(const std::vector<std::uint8_t>& bytes) {
    Sha256 sha;
    sha.Add(bytes.data(), bytes.size());
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : sha.Finish()) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

void CheckCopiesAgainstEntry(const InstalledCopies& copies, const std::optional<InstalledEntry>& entry,
                             const std::string& folder) {
    if (!entry || FoldAsciiCase(entry->folder) != FoldAsciiCase(folder))
        throw PackageError("the uninstall entry of this product does not name the folder " + folder);
    const installed::CopyDigests& digests = entry->digests;
    // An install made before the digests were kept: its entry and folder agree, and that is all there is.
    if (digests.record.empty()) return;
    CheckCopy(copies.record, digests.record);
    CheckCopy(copies.extra_files, digests.extra_files);
    CheckCopy(copies.maker, digests.maker);
}

std::optional<InstalledRecord> ReadInstalledRecord(const InstalledCopies& copies, std::size_t most) {
    if (!copies.record.bytes) return std::nullopt;
    try {
        return Read(copies, most);
    } catch (const std::bad_alloc&) {
        throw PackageError("not enough memory to read " + copies.record.source + " and the files beside it");
    }
}

}  // namespace zsetup
