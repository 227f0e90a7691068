// The two kinds of Windows program zsetup fills and reads: 32-bit (i386,
// PE32) and 64-bit (AMD64, PE32+), and the names the command line, the
// manifest and the reports give them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zsetup {

enum class PeMachine { kI386, kAmd64 };

// "x86" or "x64", as `--arch` and the manifest's `arch` key write them.
inline const char* ArchName(PeMachine m) { return m == PeMachine::kAmd64 ? "x64" : "x86"; }

// "32-bit" or "64-bit".
inline const char* BitsName(PeMachine m) { return m == PeMachine::kAmd64 ? "64-bit" : "32-bit"; }

// "x64 (64-bit)" or "x86 (32-bit)", as the reports and refusals show it.
inline std::string ArchDescription(PeMachine m) { return std::string(ArchName(m)) + " (" + BitsName(m) + ")"; }

// The kind of that name, or nothing for another text.
inline std::optional<PeMachine> ArchNamed(std::string_view name) {
    if (name == "x86") return PeMachine::kI386;
    if (name == "x64") return PeMachine::kAmd64;
    return std::nullopt;
}

}  // namespace zsetup
