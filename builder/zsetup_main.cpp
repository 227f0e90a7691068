// zsetup: builds an installer from a product manifest and looks into built ones.
//   zsetup build MANIFEST [-o setup.exe] [--stub PATH] [--uninstaller PATH]
//   zsetup inspect setup.exe [--json]
//   zsetup extract setup.exe DIR
//   zsetup verify setup.exe
// Exit codes: 0 done, 1 failure (or, for verify, problems found), 2 bad input.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#ifdef _WIN32
#include <io.h>

#include "text/win32/wide_text.h"
#define ZSETUP_ISATTY _isatty
#define ZSETUP_FILENO _fileno
#else
#include <unistd.h>
#define ZSETUP_ISATTY isatty
#define ZSETUP_FILENO fileno
#endif

#include "builder/extract.h"
#include "builder/file_io.h"
#include "builder/inspect_report.h"
#include "builder/manifest.h"
#include "builder/input_error.h"
#include "builder/manifest_error.h"
#include "builder/manifest_text.h"
#include "builder/package_builder.h"
#include "builder/package_reader.h"
#include "builder/pe_error.h"

namespace {

using namespace zsetup;

constexpr int kFailure = 1;
constexpr int kBadInput = 2;

std::filesystem::path DefaultStub(const char* argv0) {
#ifdef ZSETUP_DEFAULT_STUB
    (void)argv0;
    return std::filesystem::u8path(ZSETUP_DEFAULT_STUB);
#else
    // The Windows build of the builder ships beside the stub.
    return std::filesystem::u8path(argv0).parent_path() / "zsetup-stub.exe";
#endif
}

// Files, bytes and speed on one rewritten line, a few times a second.
class ProgressLine {
public:
    void operator()(const PackProgress& p) {
        const auto now = Clock::now();
        const bool last = p.files_done == p.files_total;
        if (!last && now - shown_ < std::chrono::milliseconds(200)) return;
        shown_ = now;
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const double mb = p.bytes_done / 1048576.0;
        std::fprintf(stderr, "\rpacking: %zu/%zu files, %.1f/%.1f MB, %.1f MB/s   %s", p.files_done, p.files_total, mb,
                     p.bytes_total / 1048576.0, seconds > 0 ? mb / seconds : 0.0, last ? "\n" : "");
    }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point start_ = Clock::now();
    Clock::time_point shown_{};
};

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    if (std::filesystem::exists(a, ec) && std::filesystem::exists(b, ec)) return std::filesystem::equivalent(a, b, ec);
    return std::filesystem::weakly_canonical(a, ec) == std::filesystem::weakly_canonical(b, ec);
}

// The output must not overwrite what the build reads, and its folder must be there.
void CheckOutput(const std::filesystem::path& output, const std::filesystem::path& stub, const Manifest& manifest) {
    const std::string shown = "-o \"" + output.u8string() + "\"";
    const std::filesystem::path folder = output.has_parent_path() ? output.parent_path() : ".";
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        throw InputError(shown + ": the folder \"" + folder.u8string() + "\" does not exist");
    if (SameFile(output, stub)) throw InputError(shown + " is the stub itself; the build would overwrite it");
    if (SameFile(output, manifest.file)) throw InputError(shown + " is the manifest itself");
    if (SameFile(output, manifest.licence.path)) throw InputError(shown + " is the licence, the build reads it");
    for (const SourceFile& source : manifest.sources)
        if (SameFile(output, source.path)) throw InputError(shown + " is " + source.key + ", a file the build reads");
}

int Build(const std::string& manifest_file, std::string output, const std::filesystem::path& stub_file,
          const std::filesystem::path& uninstaller) {
    ManifestOptions options;
    options.source_date_epoch = SourceDateEpoch(std::getenv("SOURCE_DATE_EPOCH"));
    options.now = std::time(nullptr);
    // The built-in uninstaller ships beside the stub.
    options.uninstaller = uninstaller.empty() ? stub_file.parent_path() / "zsetup-uninstall.exe" : uninstaller;
    Manifest manifest = ReadManifest(std::filesystem::u8path(manifest_file), options);
    if (output.empty()) output = "setup.exe";
    CheckOutput(std::filesystem::u8path(output), stub_file, manifest);
    std::vector<std::uint8_t> stub;
    try {
        stub = ReadWholeFile(stub_file);
    } catch (const std::runtime_error& e) {
        std::cerr << "zsetup: the stub: " << e.what() << " (build the win32 tree, or give --stub)\n";
        return kFailure;
    }
    ProgressFn progress;
    if (ZSETUP_ISATTY(ZSETUP_FILENO(stderr))) progress = ProgressLine();
    // Written as it is packed, on every core; renamed into place when done.
    ReplacingFile out(std::filesystem::u8path(output));
    try {
        BuildSetup(manifest, stub, progress, out, 0);
    } catch (const PeError& e) {
        std::cerr << "zsetup: the stub \"" << stub_file.u8string() << "\": " << e.what() << "\n";
        return kFailure;
    } catch (const ManifestError&) {
        throw;
    } catch (const InputError& e) {
        std::cerr << "zsetup: the stub \"" << stub_file.u8string() << "\": " << e.what() << "\n";
        return kBadInput;
    }
    out.Commit();
    return 0;
}

PackageContents Read(const std::string& file) { return ReadPackage(ReadWholeFile(std::filesystem::u8path(file))); }

}  // namespace

int Run(int argc, char** argv) {
    CLI::App app{"zsetup: builds a Windows installer from a product manifest"};
    app.require_subcommand(1);

    std::string manifest, output, stub, uninstaller, setup, folder;
    bool json = false;
    auto* build = app.add_subcommand("build", "Fill the stub with the product a manifest describes");
    build->add_option("MANIFEST", manifest, "The product manifest (TOML)")->required();
    build->add_option("-o,--output", output, "The installer to write (default setup.exe)");
    build->add_option("--stub", stub, "The stub program to fill (default: the one built beside this tool)");
    build->add_option("--uninstaller", uninstaller,
                      "The uninstaller added as \\uninstall.exe (default: zsetup-uninstall.exe beside the stub)");
    auto* inspect = app.add_subcommand("inspect", "Print the record, its tables and the checksums");
    inspect->add_option("SETUP", setup, "A built installer")->required();
    inspect->add_flag("--json", json, "Print JSON");
    auto* extract = app.add_subcommand("extract", "Write the payload's files under their installed names");
    extract->add_option("SETUP", setup, "A built installer")->required();
    extract->add_option("DIR", folder, "The folder to write into")->required();
    auto* verify = app.add_subcommand("verify", "Check the record and the payload checksum");
    verify->add_option("SETUP", setup, "A built installer")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : kBadInput;
    }

    try {
        if (*build)
            return Build(manifest, output, stub.empty() ? DefaultStub(argv[0]) : std::filesystem::u8path(stub),
                         std::filesystem::u8path(uninstaller));
        const PackageContents contents = Read(setup);
        if (*inspect) {
            if (json) WriteJsonReport(contents, std::cout);
            else WriteTextReport(contents, std::cout);
        } else if (*extract) {
            ExtractFiles(contents, std::filesystem::u8path(folder));
        } else if (*verify) {
            const auto problems = VerifyProblems(contents);
            for (const std::string& p : problems) std::cout << p << "\n";
            if (!problems.empty()) return kFailure;
            std::cout << "ok\n";
        }
        return 0;
    } catch (const ManifestError& e) {
        std::cerr << e.what() << "\n";  // each line names its place in the manifest
        return kBadInput;
    } catch (const InputError& e) {
        std::cerr << "zsetup: " << e.what() << "\n";
        return kBadInput;
    } catch (const std::runtime_error& e) {
        std::cerr << "zsetup: " << e.what() << "\n";
        return kFailure;
    }
}

#ifdef _WIN32
// The arguments as UTF-8, once: paths then go through u8path, so no name is
// squeezed through the system's ANSI code page.
int wmain(int argc, wchar_t** wide_argv) {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(zsetup::WideToUtf8(wide_argv[i]));
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    return Run(argc, argv.data());
}
#else
int main(int argc, char** argv) { return Run(argc, argv); }
#endif
