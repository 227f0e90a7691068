// The process implementations the process contract runs against, each with a
// way to start a process under a chosen image name and see how it ended.
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/memory/memory_processes.h"
#include "tests/support/backends.h"
#ifdef _WIN32
#include "text/win32/wide_text.h"
#include "platform/win32/win32_processes.h"
#include "tests/support/child_process.h"
#endif

namespace zsetup::testing {

class ProcessRig {
public:
    virtual ~ProcessRig() = default;
    virtual Processes& processes() = 0;
    // Starts a process with that image name; its id.
    virtual std::uint32_t Start(const std::string& image) = 0;
    // Waits until the process has ended; its exit code.
    virtual std::uint32_t ExitCode(std::uint32_t id) = 0;
    // A program that can be launched under that image name.
    virtual std::string Program(const std::string& image) = 0;
};

class MemoryProcessRig : public ProcessRig {
public:
    Processes& processes() override { return processes_; }
    std::uint32_t Start(const std::string& image) override { return processes_.Start(image); }
    std::uint32_t ExitCode(std::uint32_t id) override {
        for (const auto& t : processes_.Terminations())
            if (t.id == id) return t.exit_code;
        throw std::runtime_error("the process did not end");
    }
    std::string Program(const std::string& image) override { return "C:\\programs\\" + image; }

private:
    MemoryProcesses processes_;
};

#ifdef _WIN32
// Copies of the idle program, each image name in a folder of its own per test.
class Win32ProcessRig : public ProcessRig {
public:
    Processes& processes() override { return processes_; }
    std::uint32_t Start(const std::string& image) override {
        const std::string folder = FreshPath("processes");
        CreateDirectoryW(GbkToWide(folder).c_str(), nullptr);
        auto child = std::make_unique<ChildProcess>(folder + "\\" + image);
        const std::uint32_t id = child->id();
        children_[id] = std::move(child);
        return id;
    }
    std::uint32_t ExitCode(std::uint32_t id) override { return children_.at(id)->WaitExitCode(); }
    std::string Program(const std::string& image) override {
        const std::string folder = FreshPath("launch");
        CreateDirectoryW(GbkToWide(folder).c_str(), nullptr);
        CopyIdleProgram(folder + "\\" + image);
        return folder + "\\" + image;
    }

private:
    Win32Processes processes_;
    std::map<std::uint32_t, std::unique_ptr<ChildProcess>> children_;
};
#endif

using ProcessBackend = Backend<ProcessRig>;

inline std::vector<ProcessBackend> ProcessBackends() {
    std::vector<ProcessBackend> b = {{"memory", [] { return std::make_unique<MemoryProcessRig>(); }}};
#ifdef _WIN32
    b.push_back({"win32", [] { return std::make_unique<Win32ProcessRig>(); }});
#endif
    return b;
}

}  // namespace zsetup::testing
