// The shell implementations the shell contract runs against, each with the
// file system it writes into and a reader for the links it saved.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/memory/memory_files.h"
#include "platform/memory/memory_shell.h"
#include "tests/support/backends.h"
#ifdef _WIN32
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_shell.h"
#include "tests/support/link_reader.h"
#endif

namespace zsetup::testing {

class ShellRig {
public:
    virtual ~ShellRig() = default;
    virtual Files& files() = 0;
    virtual Shell& shell() = 0;
    virtual std::optional<ShellLink> ReadLink(const std::string& link_file) = 0;
    // Whether a link's target path reads back as saved.
    virtual bool KeepsTarget(const std::string&) { return true; }
};

class MemoryShellRig : public ShellRig {
public:
    // A program of this test's own width asks, as on Windows.
    MemoryShellRig() { shell_.SetProgramBits(static_cast<int>(sizeof(void*) * 8)); }
    Files& files() override { return files_; }
    Shell& shell() override { return shell_; }
    std::optional<ShellLink> ReadLink(const std::string& link_file) override { return shell_.Link(link_file); }

private:
    MemoryFiles files_;
    MemoryShell shell_{files_};
};

#ifdef _WIN32
class Win32ShellRig : public ShellRig {
public:
    Files& files() override { return files_; }
    Shell& shell() override { return shell_; }
    std::optional<ShellLink> ReadLink(const std::string& link_file) override { return ReadLinkFile(link_file); }
    bool KeepsTarget(const std::string& target) override { return TargetSurvivesAnsiCodePage(target); }

private:
    Win32Files files_;
    Win32Shell shell_;
};
#endif

using ShellBackend = Backend<ShellRig>;

inline std::vector<ShellBackend> ShellBackends() {
    std::vector<ShellBackend> b = {{"memory", [] { return std::make_unique<MemoryShellRig>(); }}};
#ifdef _WIN32
    b.push_back({"win32", [] { return std::make_unique<Win32ShellRig>(); }});
#endif
    return b;
}

}  // namespace zsetup::testing
