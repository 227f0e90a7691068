// Names for the cases of a table-driven test: each case's label with every
// character that gtest does not allow in a name turned into '_'.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace zsetup::testing {

struct LabelName {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        std::string name = info.param.label;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    }
};

}  // namespace zsetup::testing
