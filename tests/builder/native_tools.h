// Running host tools (objdump, wrestool, our own zsetup) from native tests
// and handling the files they read and write.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace zsetup::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string ReadFileText(const std::string& path) {
    const Bytes bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out) << path;
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
    WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

inline std::string WriteTemp(const Bytes& bytes, const std::string& name) {
    const std::string path = ::testing::TempDir() + name;
    WriteFile(path, std::string(bytes.begin(), bytes.end()));
    return path;
}

struct ToolRun {
    int status;  // the exit code, or -1 when the tool did not run or end normally
    std::string output;
};

// Runs a shell command; stdout and stderr together.
inline ToolRun Capture(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    if (!pipe) return {-1, {}};
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) output.append(buffer, n);
    const int status = pclose(pipe.release());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

// wrestool -l: "--type=10 --name='SETUPINI' --language=0 [offset=0x... size=17]".
inline std::map<std::string, std::size_t> ListedRcData(const std::string& wrestool, const std::string& path) {
    const ToolRun run = Capture(wrestool + " -l '" + path + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    std::map<std::string, std::size_t> sizes;
    std::istringstream lines(run.output);
    const std::string prefix = "--type=10 --name='";
    for (std::string line; std::getline(lines, line);) {
        const std::size_t size = line.find("size=");
        if (line.rfind(prefix, 0) != 0 || size == std::string::npos) continue;
        sizes[line.substr(prefix.size(), line.find('\'', prefix.size()) - prefix.size())] =
            std::stoul(line.substr(size + 5));
    }
    return sizes;
}

}  // namespace zsetup::testing
