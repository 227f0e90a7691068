// Copies of the idle program started under chosen image names, for the tests
// that list and terminate processes under Wine.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/win32/unique_handle.h"

namespace zsetup::testing {

// Copies the idle program to path (GBK) unless a file is there already.
void CopyIdleProgram(const std::string& path);

class ChildProcess {
public:
    // Copies the idle program to path (GBK) and starts it.
    explicit ChildProcess(const std::string& path);
    // Ends it if it still runs and waits for that.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    std::uint32_t id() const { return id_; }
    bool Running() const;
    // Waits until it has ended (at most 30 s) and gives its exit code.
    std::uint32_t WaitExitCode() const;

private:
    UniqueHandle process_;
    std::uint32_t id_ = 0;
};

}  // namespace zsetup::testing
