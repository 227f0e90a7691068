// A product folder of its own per test: the manifest and the files, folders
// and links it names, under the test's temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/builder/native_tools.h"

namespace zsetup::testing {

class ProductDir {
public:
    ProductDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        for (char& c : name)
            if (c == '/') c = '_';  // parameterized tests: "Table/Suite.Case/label"
        root_ = std::filesystem::path(::testing::TempDir()) / ("zsetup-" + name);
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    std::filesystem::path Path(const std::string& relative) const { return root_ / std::filesystem::u8path(relative); }
    void Write(const std::string& relative, const std::string& bytes) const {
        std::filesystem::create_directories(Path(relative).parent_path());
        WriteFile(Path(relative).string(), bytes);
    }
    std::filesystem::path Manifest(const std::string& text, const std::string& name = "product.toml") const {
        Write(name, text);
        return Path(name);
    }

private:
    std::filesystem::path root_;
};

}  // namespace zsetup::testing
