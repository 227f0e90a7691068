// The manifest loader on arbitrary file contents: it accepts the manifest or
// throws a ManifestError whose every line names the file, and a manifest it
// accepts gives a record that validation accepts.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>

#include <toml++/toml.h>

#include "builder/manifest.h"
#include "builder/toml_guard.h"
#include "package/config_validation.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

namespace fs = std::filesystem;

// One manifest file per process, rewritten for every input; its folder goes
// when the process ends normally.
class ScratchManifest {
public:
    ScratchManifest() : dir_(fs::temp_directory_path() / ("zsetup-fuzz-manifest-" + std::to_string(getpid()))) {
        fs::create_directories(dir_);
    }
    ~ScratchManifest() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    ScratchManifest(const ScratchManifest&) = delete;
    ScratchManifest& operator=(const ScratchManifest&) = delete;
    fs::path file() const { return dir_ / "product.toml"; }

private:
    fs::path dir_;
};

bool EveryLineNamesTheFile(const std::string& text, const std::string& file) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        if (line.compare(0, file.size() + 1, file + ":") != 0) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zsetup;
    using fuzz::Require;
    static const ScratchManifest scratch;
    const fs::path file = scratch.file();
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    ManifestOptions options;
    options.source_date_epoch = 1796860800;
    try {
        const Manifest m = ReadManifest(file, options);
        Require(ValidateConfig(*m.record, m.extra_files, 0).empty(), "an accepted manifest gives a valid record");
    } catch (const ManifestError& e) {
        const std::string message = e.what();
        Require(EveryLineNamesTheFile(message, file.u8string()), "every problem names the manifest");
    }
    return 0;
}
