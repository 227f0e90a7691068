// A folder of the builder's own in the system's temporary folder, removed
// with everything in it when the build is done, whether it worked or not:
// where the signing command works on copies, never on the installed stub and
// uninstaller themselves.
#pragma once

#include <filesystem>

namespace zsetup {

class TemporaryFolder {
public:
    // Throws std::runtime_error when no folder can be made.
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace zsetup
