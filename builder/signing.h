// Signing during the build: the maker's command (--sign, or the manifest's
// [sign] command) holding {file}, run on a copy of the built-in uninstaller
// before it is packed and on setup.exe once it is whole, each in the
// builder's temporary folder. What the command leaves is checked before the
// build goes on: a signed program of the build's kind, and for setup.exe the
// very package that was built.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "builder/input_error.h"
#include "builder/manifest.h"
#include "pe/pe_machine.h"

namespace zsetup {

// Where the command puts the file's name.
inline constexpr char kSignedFileMark[] = "{file}";

// Why a command cannot be used: it names no {file}, or puts it between
// quotes (the builder quotes the name itself). Empty when it can.
std::string SignCommandProblem(std::string_view command);

// A signing command that failed, or left its file missing, unsigned or no
// longer the program it was given: bad input (exit 2). The message quotes
// the end of the command's output, never the command (it may hold a password).
class SignError : public InputError {
public:
    using InputError::InputError;
};

// Runs the command with every {file} replaced by the file's name, quoted for
// the shell, and checks that it ended with 0 and left the file a signed
// program of that kind with nothing after its signature. `what` names the
// file in messages. Throws SignError.
void SignProgram(const SignCommand& command, const std::filesystem::path& file, PeMachine machine,
                 const std::string& what);

// The manifest's built-in uninstaller copied into folder and signed there;
// the manifest's last source then names the signed copy.
void SignBuiltInUninstaller(Manifest& manifest, const SignCommand& command, const std::filesystem::path& folder);

// setup.exe signed where it lies: a signed program that still reads as the
// package it was, every check of `zsetup verify` passed. Throws SignError.
void SignSetup(const SignCommand& command, const std::filesystem::path& setup, PeMachine machine);

}  // namespace zsetup
