#include "builder/signing.h"

#include <memory>
#include <vector>

#include "builder/file_io.h"
#include "builder/package_reader.h"
#include "builder/shell_command.h"
#include "pe/pe_certificate.h"
#include "pe/pe_error.h"
#include "pe/pe_image.h"
#include "package/errors.h"

namespace zsetup {
namespace {

// The output's last lines are where a tool says why it failed.
constexpr std::size_t kQuotedLines = 8;
constexpr std::size_t kQuotedLineBytes = 200;

// The end of the output, a line each, set off from the builder's own words.
std::string QuotedOutput(const std::string& output) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        std::string line = output.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty()) lines.push_back(std::move(line));
        start = end + 1;
    }
    if (lines.empty()) return "\n    (the command wrote nothing)";
    std::string quoted;
    const std::size_t first = lines.size() > kQuotedLines ? lines.size() - kQuotedLines : 0;
    if (first > 0) quoted += "\n    | ... (" + std::to_string(first) + " lines before)";
    for (std::size_t i = first; i < lines.size(); ++i) {
        std::string line = lines[i];
        if (line.size() > kQuotedLineBytes) {
            std::size_t cut = kQuotedLineBytes;
            while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;  // whole characters
            line = line.substr(0, cut) + " ...";
        }
        quoted += "\n    | " + line;
    }
    return quoted;
}

std::string Substituted(const std::string& command, const std::filesystem::path& file) {
    const std::string name = ShellQuoted(file);
    const std::string mark = kSignedFileMark;
    std::string line;
    std::size_t from = 0;
    for (std::size_t at; (at = command.find(mark, from)) != std::string::npos; from = at + mark.size())
        line += command.substr(from, at - from) + name;
    return line + command.substr(from);
}

// What the command left, read as a program; the reason it is not a signed
// one of that kind, or empty.
std::string SignedProgramProblem(const std::filesystem::path& file, PeMachine machine) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return "is gone: the command must leave the signed file under its name (osslsigncode: -out {file}.signed, "
               "then move it over {file})";
    try {
        const FileOnDisk program(file);
        const std::vector<std::uint8_t> headers = ReadHeaderBytes(program);
        if (ProgramMachine(headers) != machine)
            return std::string("is no longer a ") + BitsName(machine) + " (" + ArchName(machine) + ") program";
        const FileTail tail = ReadFileTail(program, ParsePeHeaders(headers, program.size(), AfterSections::kAnything));
        if (!tail.certificate) return "carries no signature, though the command ended with 0";
        if (tail.extra_bytes != 0)
            return "has " + std::to_string(tail.extra_bytes) + " bytes after its signature, which it does not cover";
    } catch (const PeError& e) {
        return std::string("is no program zsetup can read: ") + e.what();
    } catch (const std::runtime_error& e) {
        return std::string("cannot be read: ") + e.what();
    }
    return "";
}

}  // namespace

std::string SignCommandProblem(std::string_view command) {
    const std::string mark = kSignedFileMark;
    if (command.find(mark) == std::string_view::npos)
        return "the command has no " + mark + ", where the builder puts the file to sign (osslsigncode sign ... -in " +
               mark + " -out " + mark + ".signed && mv " + mark + ".signed " + mark + ")";
    for (const char* quote : {"\"", "'"})
        if (command.find(quote + mark + quote) != std::string_view::npos)
            return "write " + mark + " without quotes around it: the builder quotes the file's name itself";
    return "";
}

void SignProgram(const SignCommand& command, const std::filesystem::path& file, PeMachine machine,
                 const std::string& what) {
    const CommandOutcome outcome = RunShellCommand(Substituted(command.text, file));
    if (outcome.exit_code != 0)
        throw SignError(command.origin + ": the command failed on " + what + " (exit code " +
                        std::to_string(outcome.exit_code) +
                        "); nothing written; its output ends:" + QuotedOutput(outcome.output));
    if (const std::string why = SignedProgramProblem(file, machine); !why.empty())
        throw SignError(command.origin + ": after the command, " + what + " " + why + "; nothing written; the " +
                        "command's output ends:" + QuotedOutput(outcome.output));
}

void SignBuiltInUninstaller(Manifest& m, const SignCommand& command, const std::filesystem::path& folder) {
    SourceFile& uninstaller = m.sources.back();
    const std::filesystem::path copy = folder / "uninstall.exe";
    CopyFileReplacing(uninstaller.path, copy);
    SignProgram(command, copy, m.arch, "the built-in uninstaller");
    uninstaller.path = copy;
}

void SignSetup(const SignCommand& command, const std::filesystem::path& setup, PeMachine machine) {
    SignProgram(command, setup, machine, "setup.exe");
    std::vector<std::string> problems;
    try {
        problems = VerifyProblems(ReadPackage(std::make_unique<FileOnDisk>(setup)));
    } catch (const PackageError& e) {
        problems.emplace_back(e.what());
    } catch (const NotAnInstallerError& e) {
        problems.emplace_back(e.what());
    } catch (const PeError& e) {
        problems.emplace_back(e.what());
    }
    if (problems.empty()) return;
    std::string listed;
    for (const std::string& p : problems) listed += "\n    " + p;
    throw SignError(command.origin +
                    ": the signed setup.exe no longer reads as the package built; nothing written:" + listed);
}

}  // namespace zsetup
