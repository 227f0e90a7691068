// The maker profile reader on arbitrary bytes: the first two are a record's
// FileCount (16-bit little-endian, signed) and the third a row of it that is
// a marker ("*.", not installed); the rest is the profile as SETUPMAKER and
// "Z_maker.cx" carry it. ReadMakerProfile accepts it or throws a PackageError
// naming SETUPMAKER; what it accepts writes back to a profile that reads the
// same; MakerProfileProblem accepts exactly a run file that is an installed
// row of the record.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "package/errors.h"
#include "package/maker_profile.h"
#include "package/setup_config.h"
#include "tests/fuzz/fuzz_check.h"

namespace zsetup::fuzz {
namespace {

constexpr std::size_t kRecordBytes = 3;

void CheckAccepted(const MakerProfile& p) {
    if (p.processes) {
        Require(p.processes->size() <= kMakerMostProcesses, "at most four programs");
        for (const std::string& name : *p.processes)
            Require(!name.empty() && name.size() <= kMakerProcessBytes, "program names fit their field");
    }
    Require(!p.run_file || (*p.run_file >= 0 && *p.run_file < kMaxRows), "the run file is a record row");
    const std::vector<std::uint8_t> written = WriteMakerProfile(p);
    Require(ReadMakerProfile(written.data(), written.size()) == p, "what is read writes back the same");
}

}  // namespace
}  // namespace zsetup::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zsetup;
    using namespace zsetup::fuzz;
    if (size < kRecordBytes) return 0;
    auto record = std::make_unique<SetupConfig>(SetupConfig::Zero());
    record->FileCount = static_cast<std::int16_t>(data[0] | data[1] << 8);
    for (int i = 0; i < kMaxRows; ++i) record->Files[i].Name.assign("\\f" + std::to_string(i));
    const int marker = data[2];
    record->Files[marker].Name.assign("\\*.*");

    MakerProfile profile;
    try {
        profile = ReadMakerProfile(data + kRecordBytes, size - kRecordBytes);
    } catch (const PackageError& e) {
        Require(std::string(e.what()).rfind("SETUPMAKER: ", 0) == 0, "a refusal names SETUPMAKER");
        return 0;
    }
    CheckAccepted(profile);
    const std::string problem = MakerProfileProblem(profile, *record);
    const bool installed = !profile.run_file || (*profile.run_file < record->FileCount && *profile.run_file != marker);
    Require(problem.empty() == installed, "the run file is accepted exactly when it is an installed row");
    Require(problem.empty() || problem.rfind("SETUPMAKER: ", 0) == 0, "a problem names SETUPMAKER");
    return 0;
}
