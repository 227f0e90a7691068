// zsetup: builds an installer from a product manifest and looks into built ones.
//   zsetup build MANIFEST [-o setup.exe] [--arch x86|x64] [--stub PATH] [--uninstaller PATH] [--strict] [--quiet]
//                [--sign COMMAND] [--winget DIR [--winget-id ID] [--winget-url URL]]
//   zsetup inspect setup.exe [--json]
//   zsetup extract setup.exe DIR
//   zsetup verify setup.exe [--json]
//   zsetup --version
// Exit codes: 0 done, 1 failure (or, for verify, problems found), 2 bad input
// (also: a file that is no zsetup installer; with --strict, a warning).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <optional>
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
#include "builder/program_manifest.h"
#include "builder/signing.h"
#include "builder/temporary_folder.h"
#include "builder/winget_manifest.h"
#include "pe/pe_error.h"
#include "pe/pe_machine.h"
#include "package/errors.h"
#include "package/extra_files.h"

namespace {

using namespace zsetup;

constexpr int kFailure = 1;
constexpr int kBadInput = 2;

#ifdef _WIN32
// The Windows build of the builder ships beside the stub of its own width;
// --stub names the other kind's.
std::filesystem::path DefaultStub(const char* argv0, PeMachine) {
    return std::filesystem::u8path(argv0).parent_path() / "zsetup-stub.exe";
}

std::string StubAdvice(PeMachine) { return "put zsetup-stub.exe beside zsetup.exe, or give --stub"; }
#else
// Where an installed builder keeps the Windows programs of that kind:
// share/zsetup/x86 or x64 beside the bin/ it runs from.
std::filesystem::path InstalledPrograms(const char* argv0, PeMachine kind) {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(std::filesystem::u8path(argv0), ec);
    return (self.parent_path() / ".." / "share" / "zsetup" / ArchName(kind)).lexically_normal();
}

// The stub of that kind where the builder is installed, or, for a builder
// run from its build tree, in the Windows tree of that width.
std::filesystem::path DefaultStub(const char* argv0, PeMachine kind) {
    const std::filesystem::path installed = InstalledPrograms(argv0, kind) / "zsetup-stub.exe";
#ifdef ZSETUP_BUILD_TREE_STUB
    std::error_code ec;
    if (!std::filesystem::exists(installed, ec))
        return std::filesystem::u8path(kind == PeMachine::kAmd64 ? ZSETUP_BUILD_TREE_STUB_X64 : ZSETUP_BUILD_TREE_STUB);
#endif
    return installed;
}

// What to do about a stub that is not there.
std::string StubAdvice(PeMachine kind) {
#ifdef ZSETUP_BUILD_TREE_STUB
    return std::string("build the ") + (kind == PeMachine::kAmd64 ? "win64" : "win32") + " tree, or give --stub";
#else
    return std::string("install zsetup with its ") + ArchName(kind) + " programs, or give --stub";
#endif
}
#endif

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

// Whether path lies inside folder, both as they are on disk.
bool Inside(const std::filesystem::path& path, const std::filesystem::path& folder) {
    std::error_code ec;
    const std::filesystem::path relative =
        std::filesystem::weakly_canonical(path, ec).lexically_relative(std::filesystem::weakly_canonical(folder, ec));
    return !relative.empty() && *relative.begin() != "..";
}

// What the build writes must not lie in a [[folder]] source: the next build would pack `what`.
void CheckNotPacked(const std::string& shown, const std::filesystem::path& path, const Manifest& manifest,
                    const char* what) {
    for (const SourceFile& source : manifest.folders)
        if (Inside(path, source.path))
            throw InputError(shown + " lies in " + source.key + " \"" + source.path.u8string() +
                             "\"; the next build would pack " + what);
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
    CheckNotPacked(shown, output, manifest, "the installer into itself");
}

struct BuildOptions {
    std::string manifest, output;
    std::filesystem::path stub, uninstaller;  // as given; empty: the defaults
    std::optional<PeMachine> arch;            // as given
    std::optional<std::string> sign;          // --sign, over the manifest's [sign] command
    std::optional<std::filesystem::path> winget;
    WingetOverrides winget_keys;
    const char* argv0 = "";
    bool strict = false, quiet = false;

    // The stub filled for a build of that kind.
    std::filesystem::path StubFor(PeMachine kind) const { return stub.empty() ? DefaultStub(argv0, kind) : stub; }
};

// One line for a build that worked: what went in, what came out, how long it took.
void PrintSummary(const std::string& output, const Manifest& m, std::size_t setup_bytes, double seconds) {
    const AllFileRows files(*m.record, m.extra_files);
    std::uint64_t in = 0;
    for (std::size_t i = 0; i < files.size(); ++i) in += static_cast<std::uint32_t>(files[i].Size);
    char ratio[32] = "-";
    if (in > 0) std::snprintf(ratio, sizeof ratio, "%.1f%%", 100.0 * static_cast<double>(setup_bytes) / in);
    std::printf("built \"%s\": %zu files, %llu bytes in, setup %zu bytes (%s), %.2f s\n", output.c_str(), files.size(),
                static_cast<unsigned long long>(in), setup_bytes, ratio, seconds);
}

// The signing command: --sign's, else the manifest's, refused before anything runs.
std::optional<SignCommand> SigningCommand(const BuildOptions& o, const Manifest& manifest) {
    if (!o.sign) return manifest.publishing.sign;
    if (const std::string why = SignCommandProblem(*o.sign); !why.empty()) throw InputError("--sign: " + why);
    return SignCommand{*o.sign, "--sign"};
}

// The filled stub written to file, whole or not at all.
void WriteSetup(Manifest& manifest, const std::vector<std::uint8_t>& stub, const std::filesystem::path& file,
                bool quiet) {
    ProgressFn progress;
    if (!quiet && ZSETUP_ISATTY(ZSETUP_FILENO(stderr))) progress = ProgressLine();
    // Written as it is packed, on every core; renamed into place when done.
    ReplacingFile out(file);
    BuildSetup(manifest, stub, progress, out, 0);
    out.Commit();
}

// Runs fill, telling a stub the writer cannot fill (exit 1) or one that is no
// GUI program of the build's kind (exit 2) as the stub's fault: the exit
// code then, nothing when it went well.
template <typename Fill>
std::optional<int> AsTheStubs(const std::filesystem::path& stub_file, Fill fill) {
    try {
        fill();
    } catch (const PeError& e) {
        std::cerr << "zsetup: the stub \"" << stub_file.u8string() << "\": " << e.what() << "\n";
        return kFailure;
    } catch (const ManifestError&) {
        throw;
    } catch (const InputError& e) {
        std::cerr << "zsetup: the stub \"" << stub_file.u8string() << "\": " << e.what() << "\n";
        return kBadInput;
    }
    return std::nullopt;
}

// A setup.exe written: its winget manifest and the summary.
int Finished(const BuildOptions& o, const Manifest& manifest, const std::optional<WingetPackage>& winget,
             const std::string& output, std::chrono::steady_clock::time_point start) {
    if (winget) WriteWingetManifest(*o.winget, *winget, FileSha256(std::filesystem::u8path(output)));
    if (!o.quiet)
        PrintSummary(output, manifest, std::filesystem::file_size(std::filesystem::u8path(output)),
                     std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return 0;
}

int Build(const BuildOptions& o) {
    const auto start = std::chrono::steady_clock::now();
    ManifestOptions options;
    options.source_date_epoch = SourceDateEpoch(std::getenv("SOURCE_DATE_EPOCH"));
    options.now = std::time(nullptr);
    options.arch = o.arch;
    // The built-in uninstaller ships beside the stub of the build's kind.
    options.uninstaller = [&o](PeMachine kind) {
        return o.uninstaller.empty() ? o.StubFor(kind).parent_path() / "zsetup-uninstall.exe" : o.uninstaller;
    };
    Manifest manifest = ReadManifest(std::filesystem::u8path(o.manifest), options);
    const std::filesystem::path stub_file = o.StubFor(manifest.arch);
    if (!o.quiet)
        for (const std::string& note : manifest.notes) std::cerr << note << "\n";
    for (const std::string& warning : manifest.warnings) std::cerr << warning << "\n";
    if (o.strict && !manifest.warnings.empty()) {
        std::cerr << "zsetup: --strict: " << manifest.warnings.size()
                  << (manifest.warnings.size() == 1 ? " warning" : " warnings") << ", nothing written\n";
        return kBadInput;
    }
    const std::optional<SignCommand> sign = SigningCommand(o, manifest);
    std::optional<WingetPackage> winget;
    if (o.winget) {
        winget = WingetPackageOf(manifest, o.winget_keys);
        CheckNotPacked("--winget \"" + o.winget->u8string() + "\"", *o.winget, manifest, "its winget manifest");
    }
    const std::string output = o.output.empty() ? "setup.exe" : o.output;
    CheckOutput(std::filesystem::u8path(output), stub_file, manifest);
    std::vector<std::uint8_t> stub;
    try {
        stub = ReadWholeFile(stub_file);
    } catch (const InputError& e) {
        std::cerr << "zsetup: the stub: " << e.what() << "\n";
        return kBadInput;
    } catch (const std::runtime_error& e) {
        std::cerr << "zsetup: the stub: " << e.what() << " (" << StubAdvice(manifest.arch) << ")\n";
        return kFailure;
    }
    // What would refuse the build is found before a signing command runs.
    if (auto code = AsTheStubs(stub_file, [&] { CheckStubProgram(stub, manifest); })) return *code;
    // A per-user package's uninstaller runs as the user too: packed from a
    // copy whose manifest says so, the installed one left as it is.
    const bool per_user_uninstaller = manifest.built_in_uninstaller && manifest.scope == InstallScope::kUser;
    if (!sign && !per_user_uninstaller) {
        if (auto code =
                AsTheStubs(stub_file, [&] { WriteSetup(manifest, stub, std::filesystem::u8path(output), o.quiet); }))
            return *code;
        return Finished(o, manifest, winget, output, start);
    }
    CheckUninstallerKind(manifest);
    const TemporaryFolder folder;
    if (per_user_uninstaller) {
        SourceFile& uninstaller = manifest.sources.back();
        const std::filesystem::path copy = folder.path() / "uninstall-as-invoker.exe";
        try {
            WriteProgramForScope(uninstaller.path, copy, manifest.scope);
        } catch (const std::runtime_error& e) {
            std::cerr << "zsetup: the built-in uninstaller \"" << uninstaller.path.u8string() << "\": " << e.what()
                      << "\n";
            return kBadInput;
        }
        uninstaller.path = copy;
    }
    if (!sign) {
        if (auto code =
                AsTheStubs(stub_file, [&] { WriteSetup(manifest, stub, std::filesystem::u8path(output), o.quiet); }))
            return *code;
    } else {
        // The command works on copies of its own: the installed uninstaller
        // stays as it is, and no output is ever written unsigned.
        if (manifest.built_in_uninstaller) SignBuiltInUninstaller(manifest, *sign, folder.path());
        const std::filesystem::path built = folder.path() / "setup.exe";
        if (auto code = AsTheStubs(stub_file, [&] { WriteSetup(manifest, stub, built, o.quiet); })) return *code;
        SignSetup(*sign, built, manifest.arch);
        CopyFileReplacing(built, std::filesystem::u8path(output));
    }
    return Finished(o, manifest, winget, output, start);
}

PackageContents Read(const std::string& file) {
    auto bytes = std::make_unique<FileOnDisk>(std::filesystem::u8path(file));
    try {
        return ReadPackage(std::move(bytes));
    } catch (const NotAnInstallerError& e) {
        throw NotAnInstallerError("\"" + file + "\" is not a zsetup installer: " + e.what());
    }
}

// verify: the problems found, the program's kind, and whether the file and
// the uninstaller it carries are signed.
int Verify(const PackageContents& contents, bool json) {
    const PackedUninstaller uninstaller = ReadPackedUninstaller(contents);
    const auto problems = VerifyProblems(contents, uninstaller);
    if (json) {
        std::cout << "{\"ok\": " << (problems.empty() ? "true" : "false") << ", \"problems\": [";
        for (std::size_t i = 0; i < problems.size(); ++i) std::cout << (i ? ", " : "") << JsonText(problems[i]);
        std::cout << "], \"architecture\": " << JsonText(ArchName(contents.machine))
                  << ", \"signature\": " << SignatureJson(contents.certificate)
                  << ", \"uninstaller_signature\": " << SignatureJson(uninstaller.signature) << "}\n";
    } else {
        for (const std::string& p : problems) std::cout << p << "\n";
        if (problems.empty()) std::cout << "ok\n";
        std::cout << "architecture: " << ArchDescription(contents.machine) << "\n";
        std::cout << "signature: " << SignatureSummary(contents.certificate) << "\n";
        std::cout << "uninstaller signature: " << SignatureSummary(uninstaller) << "\n";
    }
    return problems.empty() ? 0 : kFailure;
}

// An error as inspect --json and verify --json give it: one object on stdout.
int JsonError(const char* kind, const std::string& message, int code) {
    std::cout << "{\"error\": {\"kind\": \"" << kind << "\", \"message\": " << JsonText(message)
              << ", \"exit_code\": " << code << "}}\n";
    return code;
}

}  // namespace

int Run(int argc, char** argv) {
    CLI::App app{"zsetup: builds a Windows installer from a product manifest"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "zsetup " ZSETUP_VERSION);

    BuildOptions b;
    b.argv0 = argv[0];
    std::string arch, stub, uninstaller, setup, folder, sign_command, winget_dir, winget_identifier, winget_address;
    bool json = false;
    auto* build = app.add_subcommand("build", "Fill the stub with the product a manifest describes");
    build->add_option("MANIFEST", b.manifest, "The product manifest (TOML)")->required();
    build->add_option("-o,--output", b.output, "The installer to write (default setup.exe)");
    build
        ->add_option("--arch", arch,
                     "The installer's kind: x86 (32-bit, the default) or x64 (64-bit); over the manifest's arch key")
        ->check(CLI::IsMember({"x86", "x64"}));
    build->add_option("--stub", stub, "The stub program to fill (default: the installed one of --arch's kind)");
    build->add_option("--uninstaller", uninstaller,
                      "The uninstaller added as \\uninstall.exe (default: zsetup-uninstall.exe beside the stub)");
    build->add_flag("--strict", b.strict, "Refuse the build when there are warnings (exit 2)");
    build->add_flag("-q,--quiet", b.quiet, "No progress, notes or summary; warnings and errors still");
    auto* sign = build->add_option("--sign", sign_command,
                                   "Sign the built-in uninstaller and setup.exe with this command line, {file} "
                                   "standing for the file; over the manifest's [sign] command");
    auto* winget = build->add_option("--winget", winget_dir,
                                     "Also write the Windows Package Manager's manifest (1.6.0) of setup.exe into DIR");
    sign->type_name("COMMAND");
    winget->type_name("DIR");
    auto* winget_id =
        build->add_option("--winget-id", winget_identifier, "Its PackageIdentifier, over [winget] identifier");
    winget_id->type_name("ID")->needs(winget);
    auto* winget_url = build->add_option("--winget-url", winget_address, "Its InstallerUrl, over [winget] url");
    winget_url->type_name("URL")->needs(winget);
    auto* inspect = app.add_subcommand("inspect", "Print the record, its tables, the checksums and the signatures");
    inspect->add_option("SETUP", setup, "A built installer")->required();
    inspect->add_flag("--json", json, "Print JSON, errors too");
    auto* extract = app.add_subcommand("extract", "Write the payload's files under their installed names");
    extract->add_option("SETUP", setup, "A built installer")->required();
    extract->add_option("DIR", folder, "The folder to write into")->required();
    auto* verify = app.add_subcommand(
        "verify", "Check the record and the payload checksum; say whether it and its uninstaller are signed");
    verify->add_option("SETUP", setup, "A built installer")->required();
    verify->add_flag("--json", json, "Print JSON, errors too");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : kBadInput;
    }

    // inspect --json and verify --json give their errors as JSON on stdout.
    const bool json_errors = json && (*inspect || *verify);
    const auto fail = [&](const char* kind, const std::string& message, int code) {
        if (json_errors) return JsonError(kind, message, code);
        std::cerr << message << "\n";
        return code;
    };
    try {
        if (*build) {
            b.stub = std::filesystem::u8path(stub);
            b.uninstaller = std::filesystem::u8path(uninstaller);
            if (!arch.empty()) b.arch = ArchNamed(arch);
            if (*sign) b.sign = sign_command;
            if (*winget) b.winget = std::filesystem::u8path(winget_dir);
            if (*winget_id) b.winget_keys.identifier = winget_identifier;
            if (*winget_url) b.winget_keys.url = winget_address;
            return Build(b);
        }
        const PackageContents contents = Read(setup);
        if (*inspect) {
            if (json) WriteJsonReport(contents, std::cout);
            else WriteTextReport(contents, std::cout);
        } else if (*extract) {
            for (const std::string& row : ExtractFiles(contents, std::filesystem::u8path(folder)))
                std::cerr << "zsetup: skipped " << row << "\n";
        } else if (*verify) {
            return Verify(contents, json);
        }
        return 0;
    } catch (const ManifestError& e) {
        return fail("manifest", e.what(), kBadInput);  // each line names its place in the manifest
    } catch (const NotAnInstallerError& e) {
        return fail("not_an_installer", std::string("zsetup: ") + e.what(), kBadInput);
    } catch (const InputError& e) {
        return fail("bad_input", std::string("zsetup: ") + e.what(), kBadInput);
    } catch (const PeError& e) {
        return fail("damaged", std::string("zsetup: ") + e.what(), kFailure);
    } catch (const PackageError& e) {
        return fail("damaged", std::string("zsetup: ") + e.what(), kFailure);
    } catch (const std::runtime_error& e) {
        return fail("failure", std::string("zsetup: ") + e.what(), kFailure);
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
