// A validation's outcome as the case tables give it: no problem (nullptr),
// or exactly one, with this message.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "package/config_validation.h"

namespace zsetup::testing {

inline void ExpectProblem(const std::vector<ConfigProblem>& problems, const char* expected) {
    if (expected == nullptr) {
        EXPECT_TRUE(problems.empty()) << DescribeProblems(problems);
        return;
    }
    ASSERT_EQ(problems.size(), 1u) << DescribeProblems(problems);
    EXPECT_EQ(problems[0].message, expected);
}

}  // namespace zsetup::testing
