// Contract tests run one suite over every implementation of a seam: the
// memory stand-in everywhere, the real one too under Wine.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

namespace zsetup::testing {

template <typename Interface>
struct Backend {
    std::string name;
    std::function<std::unique_ptr<Interface>()> make;
};

template <typename Interface>
void PrintTo(const Backend<Interface>& b, std::ostream* os) {
    *os << b.name;
}

template <typename Interface>
std::string BackendName(const ::testing::TestParamInfo<Backend<Interface>>& info) {
    return info.param.name;
}

// Runs of one program (Chinese and English locale) share a Wine prefix: what
// a test creates carries this token to keep the runs apart.
inline const std::string& RunToken() {
    static const std::string token =
        std::to_string(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    return token;
}

// A path on C: of its own for one test: "C:\zsetup-<kind>-<token>-<n>".
inline std::string FreshPath(const std::string& kind) {
    static std::atomic<int> serial{0};
    return "C:\\zsetup-" + kind + "-" + RunToken() + "-" + std::to_string(serial++);
}

}  // namespace zsetup::testing
